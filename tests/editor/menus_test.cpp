// The menu bar's commands, the title, the unsaved-changes question, Open
// Recent, drops and the command line.
#include <QAction>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <numeric>

#include "commandline.h"
#include "mapfixture.h"
#include "pathnames.h"
#include "wholefile.h"
#include "windowsupport.h"

namespace {

class MenuTest : public MapTest {
protected:
    QString menuText(QAction *a) const { return a->text().remove(QLatin1Char('&')); }
    // Drops `file` with Shift held, so that the source proposes a move.
    // True when the window took it, as a copy.
    bool drop(const QString &file, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
    {
        return drop(QUrl::fromLocalFile(file), actions);
    }
    bool drop(const QUrl &url, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
    {
        QMimeData data;
        data.setUrls({url});
        QDragEnterEvent enter(QPoint(10, 10), actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(form.get(), &enter);
        if (!enter.isAccepted() || enter.dropAction() != Qt::CopyAction)
            return false;
        QDropEvent dropped(QPointF(10, 10), actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(form.get(), &dropped);
        return dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
    }
};

} // namespace

// The title names the image and the level Save writes; "*" follows what
// Save would change, not keystrokes. The Edit menu names the step to undo.
TEST_F(MenuTest, TitleFollowsTheLevelAndItsUnsavedChanges)
{
    start();
    EXPECT_EQ(title(), QStringLiteral("WMBeditor"));
    openRom();
    loadLevel(5);
    const QString clean = QStringLiteral("demo.nes, level 5 \u2014 WMBeditor");
    const QString dirty = QStringLiteral("demo.nes, level 5* \u2014 WMBeditor");
    EXPECT_EQ(title(), clean);
    setField(NumberBox, QStringLiteral("9"));
    EXPECT_EQ(title(), clean);
    const QString was = shownCode(1);
    pickTile(was == QStringLiteral("2F") ? 0x30 : 0x2F);
    clickCell(1);
    EXPECT_EQ(title(), dirty);
    QAction *undo = menu("Edit")->actions().front();
    EXPECT_EQ(menuText(undo), QStringLiteral("Undo Paint"));
    showActive();
    undo->trigger();
    EXPECT_EQ(title(), clean);
    clearScreen();
    EXPECT_EQ(menuText(undo), QStringLiteral("Undo Clear screen"));
    undo->trigger();
    EXPECT_EQ(menuText(menu("Edit")->actions().at(1)), QStringLiteral("Redo Clear screen"));
    const QString name = field(NameBox);
    setField(NameBox, QStringLiteral("Q") + name);
    EXPECT_EQ(title(), dirty);
    setField(NameBox, name);
    EXPECT_EQ(title(), clean);
    setField(TimerBox, QStringLiteral("5"));
    save();
    EXPECT_EQ(title(), clean);
}

// With unsaved changes, every way of replacing the level or closing the
// window asks; Cancel changes nothing, Discard goes on, Save writes and goes on.
TEST_F(MenuTest, UnsavedChangesAreAskedAboutBeforeTheyAreReplaced)
{
    struct Way {
        const char *name;
        std::function<void()> act;
        int levelAfter;   // 0: the window is closed
    };
    const Way ways[] = {
        {"close", [this] { form->close(); }, 0},
        {"next", [this] { clickButton("Button4"); }, 6},
        {"reload", [this] { reload(); }, 5},
        {"openRom", [this] { openRom(); }, 5},
        {"goTo", [this] { dialogs.levelAnswers.push_back(12); command("Level", "Go to level...")->trigger(); }, 12},
        {"overview", [this] { openFromOverview(3); }, 3},
    };
    const QByteArray demo = romBytes();
    for (const Way &way : ways) {
        for (const SaveChoice choice : {SaveChoice::Cancel, SaveChoice::Discard, SaveChoice::Save}) {
            SCOPED_TRACE(std::string(way.name) + " " + std::to_string(int(choice)));
            dialogs = FakeDialogs();
            writeRom(demo);
            startWithLevel(5);
            form->show();
            const QByteArray clean = romBytes();
            pickTile(0xFF);
            clickCell(3);
            ASSERT_TRUE(hasUnsavedChanges());
            dialogs.saveChoices.push_back(choice);
            way.act();
            EXPECT_EQ(dialogs.questions, QStringList{QStringLiteral("WMBeditor|Level 5 has unsaved changes.")});
            EXPECT_EQ(dialogs.saveButtons, QStringList{QStringLiteral("&Save")});
            QByteArray saved = clean;
            saved[rom::mapAt(5) + 2] = '\xFF';
            EXPECT_EQ(romBytes(), choice == SaveChoice::Save ? saved : clean);
            if (choice == SaveChoice::Cancel) {
                EXPECT_TRUE(form->isVisible());
                EXPECT_EQ(field(NumberBox), QStringLiteral("5"));
                EXPECT_EQ(shownCode(3), QStringLiteral("FF"));
            } else {
                EXPECT_EQ(form->isVisible(), way.levelAfter != 0);
                if (way.levelAfter != 0) {
                    EXPECT_EQ(loadedLevel(), way.levelAfter);
                }
            }
        }
    }
    // Without unsaved changes nothing asks.
    dialogs = FakeDialogs();
    clickButton("Button4");
    form->close();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_FALSE(form->isVisible());
}

// Each command of the menus through its key.
TEST_F(MenuTest, ShortcutsRunTheirCommands)
{
    startWithLevel(5);
    showActive();
    keys(Qt::Key_PageDown);
    EXPECT_EQ(loadedLevel(), 6);
    keys(Qt::Key_PageUp);
    EXPECT_EQ(loadedLevel(), 5);
    dialogs.levelAnswers.push_back(20);
    keys(Qt::CTRL | Qt::Key_G);
    EXPECT_EQ(loadedLevel(), 20);
    setField(NumberBox, QStringLiteral("7"));
    keys(Qt::CTRL | Qt::Key_R);
    EXPECT_EQ(loadedLevel(), 7);
    keys(Qt::CTRL | Qt::Key_T);
    EXPECT_EQ(panel()->width(), PanelWidthWide);
    EXPECT_TRUE(command("View", QStringLiteral("Show tiles"))->isChecked());
    command("View", QStringLiteral("Show grid"))->trigger();
    EXPECT_FALSE(checked("CheckBox2"));
    keys(Qt::CTRL | Qt::Key_E);
    keys(Qt::CTRL | Qt::Key_I);
    ASSERT_EQ(dialogs.fileCalls.size(), 3u);   // Open ROM, export, import
    EXPECT_EQ(dialogs.fileCalls[1].dialog, QStringLiteral("SaveDialog1"));
    EXPECT_EQ(dialogs.fileCalls[2].dialog, QStringLiteral("OpenDialog2"));
    keys(Qt::CTRL | Qt::Key_Q);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// The menu commands of the buttons are enabled exactly when the buttons are.
TEST_F(MenuTest, CommandsFollowTheirButtons)
{
    start();
    QAction *save = command("File", QStringLiteral("Save level"));
    ASSERT_NE(save, nullptr);
    EXPECT_FALSE(save->isEnabled());
    openRom();
    EXPECT_TRUE(save->isEnabled());
    QStringList titles;
    for (QAction *a : control<QMenuBar>(QStringLiteral("MenuBar"))->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&Level", "&View", "&Tools", "&Help"}));
    for (const QString &title : titles)
        EXPECT_FALSE(title.contains(QStringLiteral("&A"), Qt::CaseInsensitive)) << title.toStdString();
}

// Open Recent lists images opened in an earlier run; a missing one is
// reported and dropped. Drops, taken as copies, open images and import level
// files after a question.
TEST_F(MenuTest, RecentImagesAndDrops)
{
    start();
    settings().clearRecentRoms();
    openRom();
    start();
    QMenu *recent = control<QMenu>("RecentMenu");
    emit recent->aboutToShow();
    ASSERT_EQ(menuText(recent->actions().front()), romPath);
    recent->actions().front()->trigger();
    EXPECT_EQ(loadedLevel(), 1);

    dialogs.fileAnswers.push_back(dir.filePath(QStringLiteral("one.level")));
    clickButton("Button27");
    loadLevel(9);
    const QByteArray before = romBytes();
    const QString level = dir.filePath(QStringLiteral("one.level"));
    EXPECT_FALSE(drop(level, Qt::MoveAction));
    EXPECT_TRUE(drop(level));   // Cancel
    EXPECT_EQ(romBytes(), before);
    dialogs.okAnswers = {true};
    EXPECT_TRUE(drop(level));
    EXPECT_EQ(dialogs.questions, QStringList(2, QStringLiteral("WMBeditor|Import one.level into level 9?")));
    EXPECT_EQ(romBytes().mid(rom::mapAt(9), 168), before.mid(rom::mapAt(1), 168));
    const QString copy = dir.filePath(QStringLiteral("copy.nes"));
    QFile::copy(romPath, copy);
    EXPECT_TRUE(drop(copy));
    EXPECT_TRUE(title().startsWith(QStringLiteral("copy.nes, level 9")));

    QFile::rename(copy, dir.filePath(QStringLiteral("gone.nes")));   // a deletion waits for the editor on Windows
    emit recent->aboutToShow();
    ASSERT_EQ(menuText(recent->actions().front()), copy);
    recent->actions().front()->trigger();
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("File not found.")});
    EXPECT_EQ(settings().recentRoms(), QStringList{romPath});
}

// Any name the file system allows: "%" is shown as it is, bytes that are not
// UTF-8 read as U+FFFD, and a name may be as long as the file system allows.
// Each image opens as the command line opens it, shows in the title, exports
// to a level file of a name as odd, and opens again from Open Recent and
// from a drop of its URL.
TEST_F(MenuTest, AnyFileNameOpensAndIsShownAsItIs)
{
    const struct {
        std::string name;   // the bytes of the file name
        QString shown;
    } rows[] = {
        {"hack%1.nes", "hack%1.nes"},
        {"Wumblers%2C%20hack.nes", "Wumblers%2C%20hack.nes"},
        {std::string(246, 'n') + ".nes", QString(246, 'n') + ".nes"},   // 250 bytes; its export 252
#ifndef Q_OS_WIN   // names there are UTF-16 text
        {"caf\xE9.nes", "caf\uFFFD.nes"},
#endif
    };
    const std::string demo = romBytes().toStdString();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.shown.toStdString());
        const std::string file = pathFromQString(dir.path()) + "/" + row.name;
        const std::string level = file.substr(0, file.size() - 4) + ".level";
        wmb::writeFileAtomically(file, demo);
        start();
        settings().clearRecentRoms();
        openFromCommandLine(qStringFromPath(file), 2);
        EXPECT_EQ(title(), row.shown + QStringLiteral(", level 2 \u2014 WMBeditor"));
        dialogs.fileAnswers = {qStringFromPath(level)};
        clickButton("Button27");
        EXPECT_EQ(wmb::readWholeFile(level).substr(0, 8), "168\r\n1\r\n");

        start();
        QMenu *recent = control<QMenu>("RecentMenu");
        emit recent->aboutToShow();
        recent->actions().front()->trigger();
        EXPECT_EQ(title(), row.shown + QStringLiteral(", level 1 \u2014 WMBeditor"));
        start();
        drop(QUrl::fromEncoded((file.starts_with('/') ? "file://" : "file:///") +
                               QByteArray::fromStdString(file).toPercentEncoding("/:")));
        EXPECT_EQ(title(), row.shown + QStringLiteral(", level 1 \u2014 WMBeditor"));
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    }
}

// wmbeditor [ROM] [--level N] and Qt's options: wrong usage exits 2 before
// any window opens.
TEST(EditorCommandLine, ParsesOrRefuses)
{
    using A = EditorCommandLine::Action;
    struct Case {
        std::vector<std::string> args;
        A action;
        std::string rom;
        int level;
    };
    const Case cases[] = {
        {{}, A::Run, "", 0},
        {{"x.nes"}, A::Run, "x.nes", 0},
        {{"--level", "7", "x.nes"}, A::Run, "x.nes", 7},
        {{"x.nes", "--level=32"}, A::Run, "x.nes", 32},
        {{"--", "--odd.nes"}, A::Run, "--odd.nes", 0},
        {{"--help"}, A::Help, "", 0},
        {{"--version"}, A::Version, "", 0},
        {{"--bogus"}, A::Usage, "", 0},
        {{"x.nes", "--level", "33"}, A::Usage, "", 0},
        {{"x.nes", "--level"}, A::Usage, "", 0},
        {{"--level", "3"}, A::Usage, "", 0},
        {{"a.nes", "b.nes"}, A::Usage, "", 0},
        // Qt's own options and their values are left to Qt.
        {{"-platform", "offscreen", "x.nes", "--style", "Fusion", "-reverse", "-style=Fusion"}, A::Run, "x.nes", 0},
        {{"x.nes", "-qwindowgeometry"}, A::Usage, "", 0},
    };
    for (const Case &c : cases) {
        const EditorCommandLine line = parseEditorCommandLine(c.args);
        EXPECT_EQ(line.action, c.action) << ::testing::PrintToString(c.args);
        if (c.action == A::Run) {
            EXPECT_EQ(std::make_pair(line.rom, line.level), std::make_pair(c.rom, c.level));
        }
        EXPECT_EQ(line.error.empty(), c.action != A::Usage);
    }
    QProcess editor;
    editor.start(QStringLiteral(WMB_BIN_DIR "/wmbeditor"), {QStringLiteral("--bogus")});
    ASSERT_TRUE(editor.waitForFinished(20000));
    EXPECT_EQ(editor.exitCode(), 2);
    EXPECT_TRUE(editor.readAllStandardError().startsWith("wmbeditor: unknown option --bogus\nUsage:"));
}

namespace {
// The cells of each level's map holding `code`, counted from the file's bytes.
std::vector<int> cellsPerLevel(const QByteArray &image, int code)
{
    std::vector<int> counts;
    for (int level = 1; level <= wmb::LevelCount; ++level)
        counts.push_back(static_cast<int>(
            std::count(image.begin() + wmb::LevelBaseOf(level), image.begin() + wmb::LevelBaseOf(level) + wmb::MapCells,
                       static_cast<char>(code))));
    return counts;
}
} // namespace

// Find counts what the file holds, F3 visits the levels holding the tile in
// order and round, Esc ends the search; Replace in the shown level is one
// step, in all levels one write after a question naming the levels.
TEST_F(MenuTest, FindAndReplaceTile)
{
    startWithLevel(1);
    showActive();
    const QByteArray before = romBytes();
    const std::vector<int> counts = cellsPerLevel(before, 0x1F);
    std::vector<int> holding;
    for (int level = 1; level <= wmb::LevelCount; ++level)
        if (counts[static_cast<std::size_t>(level - 1)])
            holding.push_back(level);
    ASSERT_GE(holding.size(), 2u);
    dialogs.textAnswers.push_back(QStringLiteral("1f"));
    keys(Qt::CTRL | Qt::Key_F);
    EXPECT_EQ(statusText(QStringLiteral("SearchResult")),
              QStringLiteral("Tile 1F: %1 cells in %2 levels")
                  .arg(std::accumulate(counts.begin(), counts.end(), 0))
                  .arg(holding.size()));
    std::vector<int> visited;
    for (std::size_t i = 0; i < holding.size(); ++i) {
        keys(Qt::Key_F3);
        visited.push_back(loadedLevel());
        EXPECT_EQ(static_cast<int>(foundCells().size()), counts[static_cast<std::size_t>(loadedLevel() - 1)]);
    }
    std::vector<int> expected = holding;   // from level 1 on, round to it
    if (holding.front() == 1)
        std::rotate(expected.begin(), expected.begin() + 1, expected.end());
    EXPECT_EQ(visited, expected);
    keys(Qt::SHIFT | Qt::Key_F3);
    EXPECT_EQ(loadedLevel(), expected[expected.size() - 2]);

    const QStringList shown = shownCodes();
    dialogs.replaceAnswers.push_back({QStringLiteral("1F"), QStringLiteral("20"), false});
    command("Edit", QStringLiteral("Replace tile..."))->trigger();
    EXPECT_EQ(statusText(QStringLiteral("StatusNote")),
              QStringLiteral("Replaced %1 cells").arg(counts[static_cast<std::size_t>(loadedLevel() - 1)]));
    EXPECT_TRUE(foundCells().empty());
    undo();
    EXPECT_EQ(shownCodes(), shown);
    EXPECT_FALSE(hasUnsavedChanges());

    dialogs.replaceAnswers.push_back({QStringLiteral("1F"), QStringLiteral("20"), true});
    dialogs.okAnswers.push_back(true);
    command("Edit", QStringLiteral("Replace tile..."))->trigger();
    EXPECT_EQ(dialogs.questions.back(), QStringLiteral("WMBeditor|Replace tile 1F by 20 in %1 levels (%2 cells)?")
                                            .arg(holding.size())
                                            .arg(std::accumulate(counts.begin(), counts.end(), 0)));
    QByteArray replaced = before;
    for (int level = 1; level <= wmb::LevelCount; ++level)
        std::replace(replaced.begin() + wmb::LevelBaseOf(level),
                     replaced.begin() + wmb::LevelBaseOf(level) + wmb::MapCells, '\x1F', '\x20');
    EXPECT_EQ(romBytes(), replaced);
    EXPECT_EQ(statusText(QStringLiteral("SearchResult")), QStringLiteral("Tile 1F: 0 cells in 0 levels"));
    keys(Qt::Key_Escape);
    EXPECT_EQ(statusText(QStringLiteral("SearchResult")), QString());
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
}
