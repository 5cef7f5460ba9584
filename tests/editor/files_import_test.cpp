// Import level: a level file goes into the level loaded last and the editor
// shows what the ROM then holds; cancelling changes nothing.
#include <QProcess>

#include <filesystem>
#include <map>
#include <memory>

#include "filesfixture.h"
#include "leveloverview.h"
#include "pathnames.h"
#include "wholefile.h"

class ImportTest : public OpenedFilesTest {
protected:
    // A level file as the export writes it, with one line replaced (1-based).
    QByteArray exportedWithLine(int level, int line, const QByteArray &text)
    {
        loadLevel(level);
        QList<QByteArray> lines = exportTo(path("base.level")).split('\n');
        lines[line - 1] = text + "\r";
        return lines.join('\n');
    }

    void expectNoErrors() const
    {
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    }
};

// Level 4 exported and imported while level 9 is loaded: level 9 becomes a
// copy of level 4, and not one other byte of the image changes.
TEST_F(ImportTest, CopiesOneLevelOntoAnother)
{
    loadLevel(4);
    const EditorSnapshot level4 = snapshot();
    exportTo(path("level_4.level"));
    loadLevel(9);
    const QByteArray before = romBytes();
    ASSERT_NE(withLevelCopied(before, 4, 9), before);

    importFrom(path("level_4.level"));

    expectNoErrors();
    EXPECT_EQ(dialogs.fileCalls.back().dialog, "OpenDialog2");
    EXPECT_EQ(dialogs.fileCalls.back().title, " Please, open level file...");
    EXPECT_EQ(dialogs.fileCalls.back().filter, "level files|*.level");
    EXPECT_EQ(romBytes(), withLevelCopied(before, 4, 9));
    EditorSnapshot expected = level4;
    expected.edits[0] = QStringLiteral("9");
    EXPECT_EQ(snapshot(), expected) << "the editor shows level 9 as the image now holds it";
}

// The round trip keeps unsaved paint and typed texts: what was exported is
// what the image and the editor hold after the import.
TEST_F(ImportTest, ExportThenImportRestoresCodesAndTexts)
{
    loadLevel(2);
    for (const int cell : {1, 15, 100, 168}) {
        pickTile(0xC0 + cell % 16);
        clickCell(cell);
    }
    setField(NameBox, QStringLiteral("Round trip"));
    setField(AuthorBox, QString::fromUtf8("\u0406 me"));
    setField(HintBox, QStringLiteral("Keys & {gems} ~ 100%"));
    setField(TimerBox, QStringLiteral("345"));
    const EditorSnapshot edited = snapshot();
    exportTo(path("trip.level"));

    loadLevel(2);   // the edits are gone from the editor
    ASSERT_NE(snapshot().store, edited.store);
    importFrom(path("trip.level"));

    expectNoErrors();
    const EditorSnapshot after = snapshot();
    EXPECT_EQ(after.store, edited.store);
    EXPECT_EQ(after.cells, edited.cells);
    EXPECT_EQ(after.edits, (QStringList{"2", "345", QString::fromUtf8("Round trip\u2022\u2022\u2022\u2022\u2022"),
                                        QString::fromUtf8("\u0406 me") + QString(9, QChar(0x2022)),
                                        "Keys & {gems} ~ 100%" + QString(35, QChar(0x2022))}));
    // The record itself: loading it afresh shows the same.
    loadLevel(2);
    EXPECT_EQ(snapshot(), after);
}

// The save cuts a long name line to the field; the reload shows the cut.
TEST_F(ImportTest, LongNameLineIsCutByTheSave)
{
    const QByteArray name20 = "ABCDEFGHIJKLMNOPQRST";
    writeFile(path("long.level"), exportedWithLine(11, 171, name20));
    const QByteArray before = romBytes();
    importFrom(path("long.level"));

    expectNoErrors();
    EXPECT_EQ(field(NameBox), "ABCDEFGHIJKLMNO");
    const int base = wmb::LevelBaseOf(11);
    EXPECT_EQ(romBytes().mid(base + wmb::NameOffset, wmb::NameLength), name20.left(15));
    EXPECT_EQ(romBytes().mid(base - 1, 2), before.mid(base - 1, 2)) << "nothing beyond the field";
}

// Lines end at LF or CR LF, a lone CR is dropped, a missing final line end
// does not matter: each form imports to the same image.
TEST_F(ImportTest, LineEndsReadAlike)
{
    loadLevel(8);
    setField(NameBox, QStringLiteral("ABCD"));
    const QByteArray crlf = exportTo(path("crlf.level"));
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QByteArray loneCr = crlf;
    loneCr.replace("ABCD", "AB\rCD");
    const QByteArray original = romBytes();

    importFrom(path("crlf.level"));
    expectNoErrors();
    const QByteArray reference = romBytes();
    const EditorSnapshot shown = snapshot();
    ASSERT_NE(reference, original);
    EXPECT_EQ(field(NameBox), QString::fromUtf8("ABCD") + QString(11, QChar(0x2022)));

    const struct {
        const char *name;
        QByteArray bytes;
    } rows[] = {
        {"LF only", lf},
        {"no final line end", crlf.chopped(2)},
        {"LF only, no final line end", lf.chopped(1)},
        {"lone CR inside a text", loneCr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        writeRom(original);
        loadLevel(8);
        writeFile(path("variant.level"), row.bytes);
        importFrom(path("variant.level"));
        expectNoErrors();
        EXPECT_EQ(romBytes(), reference);
        EXPECT_EQ(snapshot(), shown);
    }
}

// Cancel means cancel: no save and no reload, so unsaved paint stays on
// screen and out of the image.
TEST_F(ImportTest, CancelledDialogChangesNothing)
{
    loadLevel(5);
    pickTile(0x77);
    clickCell(41);
    setField(NameBox, QStringLiteral("typed"));
    const EditorSnapshot shown = snapshot();
    const QByteArray rom = romBytes();

    clickButton("Button28");   // no answer queued: the dialog is cancelled

    EXPECT_EQ(dialogs.fileCalls.back().dialog, "OpenDialog2");
    expectNoErrors();
    EXPECT_EQ(romBytes(), rom);
    EXPECT_EQ(snapshot(), shown);
}

// The file goes into the level loaded last, and the editor shows that level
// and names it in the number box, whatever the box said before.
TEST_F(ImportTest, ShowsTheLevelItWrote)
{
    loadLevel(4);
    exportTo(path("level_4.level"));
    loadLevel(9);
    const QByteArray before = romBytes();
    setField(NumberBox, QStringLiteral("12"));

    importFrom(path("level_4.level"));

    expectNoErrors();
    EXPECT_EQ(romBytes(), withLevelCopied(before, 4, 9));
    EXPECT_EQ(field(NumberBox), QStringLiteral("9"));
    const EditorSnapshot imported = snapshot();
    loadLevel(9);
    EXPECT_EQ(snapshot(), imported);
}

// Level 9 shown without edits while other programs change it: new images
// are renamed over the image twice, then a real wmbtool imports level 4 in
// place into the last of them (the watch moved to it). Each time the editor
// and the overview show the level as the disk holds it within a second; the
// number box keeps what the user typed.
TEST_F(ImportTest, OtherProgramsChangesAreShownWithinASecond)
{
    std::map<int, EditorSnapshot> levels;
    for (const int n : {6, 7, 4}) {
        loadLevel(n);
        levels[n] = snapshot();
    }
    exportTo(path("level_4.level"));   // level 4, loaded last
    loadLevel(9);
    setField(NumberBox, QStringLiteral("12"));
    LevelOverview &overview = *this->overview();
    const QByteArray demo = romBytes();

    const auto expectLevel9Shows = [&](int n) {
        EditorSnapshot expected = levels[n];
        expected.edits[0] = QStringLiteral("12");
        EXPECT_TRUE(within(1000, [&] { return shownCode(1) == expected.store[0] && snapshot() == expected; }))
            << "level " << n;
        EXPECT_EQ(overview.caption(9).mid(1), overview.caption(n).mid(1));
        EXPECT_EQ(overview.picture(9), overview.picture(n));
    };
    for (const int n : {6, 7}) {
        writeFile(path("new.tmp"), withLevelCopied(demo, n, 9));
        std::filesystem::rename(path("new.tmp").toStdString(), romPath.toStdString());
        expectLevel9Shows(n);
    }
    // Written in place, into the file that replaced the image.
    ASSERT_EQ(QProcess::execute(QStringLiteral(WMB_BIN_DIR "/wmbtool"),
                                {QStringLiteral("import"), romPath, QStringLiteral("9"), path("level_4.level")}),
              0);
    expectLevel9Shows(4);
    expectNoErrors();
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

// With an unsaved paint another program's change shows nothing on screen,
// and the save asks before it writes: Cancel writes nothing, Overwrite
// writes the editor's level, Reload shows the disk's.
TEST_F(ImportTest, SaveAsksBeforeUndoingAnotherProgramsChange)
{
    loadLevel(4);
    EditorSnapshot theirsShown = snapshot();
    theirsShown.edits[0] = QStringLiteral("5");
    const QByteArray demo = romBytes();
    const QByteArray theirs = withLevelCopied(demo, 4, 5);
    QByteArray mine = demo;
    mine[wmb::LevelBaseOf(5) + 2] = '\xFF';
    for (const OverwriteChoice answer : {OverwriteChoice::Cancel, OverwriteChoice::Overwrite, OverwriteChoice::Reload}) {
        SCOPED_TRACE(static_cast<int>(answer));
        dialogs = FakeDialogs();
        writeRom(demo);
        start();
        openRom();
        loadLevel(5);
        pickTile(0xFF);
        clickCell(3);
        const EditorSnapshot edited = snapshot();
        writeRom(theirs);
        ASSERT_TRUE(within(2000, [&] { return watchSawChange(); })) << "the watch saw the change";
        followDisk();
        EXPECT_EQ(snapshot(), edited);

        dialogs.overwriteChoices = {answer};
        save();
        EXPECT_EQ(dialogs.questions,
                  QStringList{"WMBeditor|Level 5 of demo.nes was changed by another program since it was loaded."});
        EXPECT_EQ(romBytes(), answer == OverwriteChoice::Overwrite ? mine : theirs);
        EXPECT_EQ(snapshot(), answer == OverwriteChoice::Reload ? theirsShown : edited);
        expectNoErrors();
    }
}

// Exactly the levels that differ are marked; the shown level's differing
// cells are outlined; Take level copies a record; a real wmbtool diff agrees.
TEST_F(ImportTest, CompareWithAnotherImageAndTakeLevels)
{
    QByteArray theirs = romBytes();
    theirs[wmb::LevelBaseOf(3) + 5] = static_cast<char>(theirs[wmb::LevelBaseOf(3) + 5] ^ 1);
    theirs[wmb::LevelBaseOf(7) + wmb::NameOffset] = 'Q';
    const QString other = dir.filePath(QStringLiteral("other.nes"));
    wmb::writeFileAtomically(pathFromQString(other), theirs.toStdString());
    const auto diff = [&] {
        return QProcess::execute(QStringLiteral(WMB_BIN_DIR "/wmbtool"), {QStringLiteral("diff"), romPath, other});
    };
    loadLevel(3);
    dialogs.fileAnswers.push_back(other);
    fileCommand(QStringLiteral("Compare with..."));
    LevelOverview *view = overview();
    std::vector<int> marked;
    for (int level = 1; level <= wmb::LevelCount; ++level)
        if (view->differingBytes(level))
            marked.push_back(level);
    EXPECT_EQ(marked, (std::vector<int>{3, 7}));
    EXPECT_EQ(differingCells(), std::vector<int>{6});
    EXPECT_EQ(statusText(QStringLiteral("Comparison")), QStringLiteral("Differs from other.nes in 1 cell"));
    EXPECT_EQ(diff(), 1);

    for (int level : {3, 7}) {
        std::unique_ptr<QMenu> menu(view->contextMenuFor(level));
        QAction *take = menu->actions().back();
        EXPECT_EQ(take->text(), QStringLiteral("Take level %1 from other.nes").arg(level));
        dialogs.okAnswers.push_back(true);
        take->trigger();
        EXPECT_EQ(view->differingBytes(level), 0);
    }
    EXPECT_TRUE(differingCells().empty());
    EXPECT_EQ(statusText(QStringLiteral("Comparison")), QStringLiteral("Same as other.nes"));
    EXPECT_EQ(romBytes(), theirs);
    EXPECT_EQ(diff(), 0);

    theirs[wmb::LevelBaseOf(5)] = static_cast<char>(theirs[wmb::LevelBaseOf(5)] ^ 1);
    wmb::writeFileAtomically(pathFromQString(other), theirs.toStdString());
    followComparedImage();
    EXPECT_NE(view->differingBytes(5), 0);
    fileCommand(QStringLiteral("Stop comparing"));
    EXPECT_EQ(view->differingBytes(5), 0);
    EXPECT_EQ(statusText(QStringLiteral("Comparison")), QString());
    expectNoErrors();
}
