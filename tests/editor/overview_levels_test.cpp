// Whole levels in the overview: moved, swapped, copied and pasted, each
// asked for, written at once and undone as one step of the image's history.
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>

#include <memory>

#include "leveloverview.h"
#include "levelset.h"
#include "mapfixture.h"
#include "windowsupport.h"

namespace {

class OverviewLevels : public MapTest {
protected:
    LevelOverview *view = nullptr;

    void SetUp() override
    {
        MapTest::SetUp();
        startWithLevel(7);
        showActive();
        view = overview();
    }
    static wmb::LevelRecord record(const QByteArray &image, int level)
    {
        return wmb::levelRecordIn(image.toStdString(), level);
    }
    // A drag from one picture onto another, with Ctrl held for a swap.
    void dragLevel(int from, int to, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(view, Qt::LeftButton, {}, view->pictureRect(from).center());
        QTest::mouseMove(view, view->pictureRect(to).center());
        QTest::mouseRelease(view, Qt::LeftButton, modifiers, view->pictureRect(to).center());
    }
    static void menuCommand(LevelOverview *view, int level, const QString &text)
    {
        std::unique_ptr<QMenu> menu(view->contextMenuFor(level));
        for (QAction *a : menu->actions())
            if (a->text().remove(QLatin1Char('&')) == text)
                return a->trigger();
        ADD_FAILURE() << "no command " << text.toStdString();
    }
    // Keys typed into the overview as the active window.
    void overviewKeys(QKeyCombination combination)
    {
        QApplication::setActiveWindow(view);
        view->setFocus();
        QTest::keyClick(view, combination.key(), combination.keyboardModifiers());
    }
};

TEST_F(OverviewLevels, MoveAsksShiftsTheLevelsBetweenAndUndoRestoresTheFile)
{
    const QByteArray before = romBytes();
    const QImage twelve = view->picture(12);
    pickTile((rom::byteAt(before, rom::mapAt(7)) + 1) & 0xFF);
    clickCell(1);   // level 7 has unsaved changes and lies between 3 and 12
    // Cancel to either question writes nothing.
    for (const bool ok : {false, true}) {
        dialogs.okAnswers = {ok};
        dialogs.saveChoices = {SaveChoice::Cancel};
        dragLevel(12, 3);
        EXPECT_EQ(romBytes(), before);
        EXPECT_TRUE(hasUnsavedChanges());
    }
    // Esc while the button is held cancels the drag: no question.
    QTest::mousePress(view, Qt::LeftButton, {}, view->pictureRect(12).center());
    QTest::mouseMove(view, view->pictureRect(3).center());
    EXPECT_EQ(view->dragTarget(), 3);
    QTest::keyClick(view, Qt::Key_Escape);
    QTest::mouseRelease(view, Qt::LeftButton, {}, view->pictureRect(3).center());
    EXPECT_EQ(view->dragTarget(), 0);
    EXPECT_EQ(romBytes(), before);
    EXPECT_EQ(dialogs.questions,
              QStringList({"WMBeditor|Move level 12 to place 3? Levels 3 to 11 become levels 4 to 12.",
                           "WMBeditor|Move level 12 to place 3? Levels 3 to 11 become levels 4 to 12.",
                           "WMBeditor|Level 7 has unsaved changes."}));

    dialogs.okAnswers = {true};
    dialogs.saveChoices = {SaveChoice::Discard};
    dragLevel(12, 3);
    QByteArray expected = before;
    for (int n = 1; n <= wmb::LevelCount; ++n) {
        const int was = n == 3 ? 12 : n > 3 && n <= 12 ? n - 1 : n;
        for (int offset = rom::mapAt(n) - 31; offset < rom::mapAt(n) + 223; ++offset)
            if (rom::isFieldByte(n, offset))
                expected[offset] = before[offset - rom::mapAt(n) + rom::mapAt(was)];
    }
    const QByteArray moved = romBytes();
    EXPECT_EQ(moved, expected);
    // The shown level is read anew: it now holds level 6 as it was.
    EXPECT_FALSE(hasUnsavedChanges());
    EXPECT_EQ(shownCode(1), rom::hexCode(rom::byteAt(before, rom::mapAt(6))));
    EXPECT_EQ(view->picture(3), twelve);

    overviewKeys(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(romBytes(), before);
    EXPECT_EQ(menu("Edit")->actions().at(1)->text(), QStringLiteral("&Redo Move level 12 to place 3"));
    overviewKeys(Qt::CTRL | Qt::Key_Y);
    EXPECT_EQ(romBytes(), moved);
    // Another program's change refuses the undo; the history stays.
    QByteArray changed = moved;
    changed[rom::mapAt(5)] = static_cast<char>(changed[rom::mapAt(5)] ^ 1);
    writeRom(changed);
    overviewKeys(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(romBytes(), changed);
    EXPECT_EQ(dialogs.errors, QStringList{"Undo Move level 12 to place 3 is not possible: demo.nes was changed by "
                                          "another program since that step."});
    EXPECT_EQ(menu("Edit")->actions().at(0)->text(), QStringLiteral("&Undo Move level 12 to place 3"));
}

TEST_F(OverviewLevels, CopiedLevelPastesHereInWmbtoolAndInASecondEditorAndSwaps)
{
    const QByteArray before = romBytes();
    menuCommand(view, 4, "Copy level 4");
    QTest::mouseClick(view, Qt::LeftButton, {}, view->pictureRect(9).center());
    dialogs.okAnswers = {true};
    overviewKeys(Qt::CTRL | Qt::Key_V);   // over the focused level
    EXPECT_EQ(dialogs.questions, QStringList({"WMBeditor|Paste level 4 over level 9?"}));
    EXPECT_EQ(record(romBytes(), 9), record(before, 4));

    // The clipboard's text is a level file: wmbtool imports it as the same record.
    const QString text = QGuiApplication::clipboard()->text();
    const QString file = dir.filePath(QStringLiteral("clip.level")), other = dir.filePath(QStringLiteral("other.nes"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text.toUtf8().prepend("\xEF\xBB\xBF"));
    out.close();
    ASSERT_TRUE(QFile::copy(QStringLiteral(WMB_DEMO_ROM), other));
    QFile::setPermissions(other, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_EQ(QProcess::execute(QStringLiteral(WMB_BIN_DIR "/wmbtool"), {"import", other, "9", file}), 0);
    QFile imported(other);
    ASSERT_TRUE(imported.open(QIODevice::ReadOnly));
    EXPECT_EQ(record(imported.readAll(), 9), record(before, 4));

    // A second editor reads the text as a level file.
    FakeDialogs secondDialogs;
    WindowDriver second;
    second.form = std::make_unique<TForm1>(secondDialogs, StartupPaths{dir.path(), QStringLiteral(WMB_BIN_DIR)});
    secondDialogs.fileAnswers = {other};
    second.clickButton(QStringLiteral("Button2"));
    secondDialogs.okAnswers = {true};
    menuCommand(second.overview(), 20, "Paste level over 20");
    EXPECT_EQ(secondDialogs.questions, QStringList({"WMBeditor|Paste the clipboard's level over level 20?"}));
    imported.seek(0);
    EXPECT_EQ(record(imported.readAll(), 20), record(before, 4));

    // Swap: the number asked, then the question; or a drag with Ctrl held.
    dialogs.levelAnswers = {2};
    dialogs.okAnswers = {true};
    menuCommand(view, 9, "Swap with level...");
    EXPECT_EQ(dialogs.questions.back(), QStringLiteral("WMBeditor|Swap level 9 with level 2?"));
    EXPECT_EQ(record(romBytes(), 2), record(before, 4));
    EXPECT_EQ(record(romBytes(), 9), record(before, 2));
    dialogs.okAnswers = {true};
    dragLevel(2, 9, Qt::ControlModifier);
    EXPECT_EQ(record(romBytes(), 9), record(before, 4));
    EXPECT_EQ(record(romBytes(), 2), record(before, 2));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
}

} // namespace
