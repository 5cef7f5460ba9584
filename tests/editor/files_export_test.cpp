// Export level: the dialog it shows, the overwrite question, the bytes of
// the level file, and failures that leave everything as it was.
#include "filesfixture.h"

#include <QLabel>

namespace {

QByteArray crlfLine(const QByteArray &text) { return text + "\r\n"; }

} // namespace

using ExportTest = OpenedFilesTest;

TEST_F(ExportTest, ProposesLevelNumberAndWritesTheKeptName)
{
    loadLevel(7);
    const QByteArray before = romBytes();
    const EditorSnapshot shown = snapshot();

    // The real dialog returns <folder>/level_7.level when the proposed name
    // is kept (see the dialog tests); the fake answers the same.
    const QByteArray file = exportTo(path("level_7.level"));

    ASSERT_EQ(dialogs.fileCalls.size(), 2u);   // Open ROM, then the export
    const FakeDialogs::FileCall &call = dialogs.fileCalls.back();
    EXPECT_EQ(call.dialog, "SaveDialog1");
    EXPECT_EQ(call.title, " Please, save level file...");
    EXPECT_EQ(call.filter, "Level files|*.level");
    EXPECT_EQ(call.defaultSuffix, "level");
    EXPECT_EQ(call.proposedName, "level_7");
    EXPECT_TRUE(dialogs.questions.isEmpty()) << "a new file needs no question";
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    EXPECT_TRUE(file.startsWith("168\r\n1\r\n"));
    EXPECT_EQ(romBytes(), before) << "the export never writes the ROM";
    EXPECT_EQ(snapshot(), shown) << "the export changes no control";
}

// The file holds 174 CR LF lines of Windows-1251 text: the counts, the codes
// as the map store holds them, then the texts exactly as the boxes hold them,
// fill characters included; a character the code page lacks becomes '?'.
TEST_F(ExportTest, WritesTheExactBytesOfTheLevelFile)
{
    loadLevel(7);
    const QByteArray rom = romBytes();
    form->Edit3->setText(QString::fromUtf8("x\U0001F600y\u00F6"));   // no such characters in the code page
    form->Edit4->setText(QString::fromUtf8("\u041F\u0440\u0438\u0432\u0435\u0442 \u0406\u2022|"));
    form->Edit5->setText(QStringLiteral("125"));

    QByteArray expected = crlfLine("168") + crlfLine("1");
    for (int n = 1; n <= wmb::MapCells; ++n)
        expected += crlfLine(QByteArray::number(tileByte(rom, 7, n), 16).toUpper());
    expected += crlfLine("LEVEL 7 PIPES\x95\x95");                      // as loaded: "•" fill
    expected += crlfLine("x?y?");
    expected += crlfLine("\xCF\xF0\xE8\xE2\xE5\xF2 \xB2\x95|");
    expected += crlfLine("125");

    const QByteArray file = exportTo(path("exact.level"));
    EXPECT_EQ(file, expected);
    EXPECT_EQ(file.count("\r\n"), 174);
    EXPECT_EQ(file.count('\n'), 174) << "every line ends CR LF";
}

// A cell painted and not saved goes into the file with its new code; the ROM
// keeps the old one.
TEST_F(ExportTest, ExportsUnsavedPaintAndLeavesTheRomAlone)
{
    loadLevel(3);
    const QByteArray before = romBytes();
    const int cell = 20;
    const int newCode = tileByte(before, 3, cell) == 0x5A ? 0x5B : 0x5A;
    click(form->Pic[newCode]);      // palette picture n shows tile n - 1
    click(form->Image[cell - 1]);
    ASSERT_EQ(form->storeText(cell), QString::number(newCode, 16).toUpper());

    const QList<QByteArray> lines = exportTo(path("painted.level")).split('\n');
    ASSERT_GE(lines.size(), cell + 2);
    EXPECT_EQ(lines[cell + 1], QByteArray::number(newCode, 16).toUpper() + "\r");
    EXPECT_EQ(romBytes(), before);
}

// Only an existing file is asked about; Cancel leaves it byte for byte as it
// was, OK replaces it whole (nothing of a longer old file remains).
TEST_F(ExportTest, AsksBeforeReplacingAnExistingFile)
{
    loadLevel(5);
    const QByteArray fresh = exportTo(path("fresh.level"));
    ASSERT_FALSE(fresh.isEmpty());
    ASSERT_TRUE(dialogs.questions.isEmpty());

    const QByteArray old = QByteArray(fresh.size() + 1000, 'z') + "\x00\xFF tail";
    const struct {
        bool ok;
        QByteArray after;
    } rows[] = {{false, old}, {true, fresh}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.ok ? "OK" : "Cancel");
        const QString target = path("existing.level");
        writeFile(target, old);
        dialogs.questions.clear();
        const QStringList entries = folderEntries();

        EXPECT_EQ(exportTo(target, row.ok), row.after);
        EXPECT_EQ(dialogs.questions, QStringList{"Warning!|File exists, rewrite?"});
        EXPECT_EQ(folderEntries(), entries) << "no temporary file is left";
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    }
}

TEST_F(ExportTest, CancelledDialogWritesNothing)
{
    loadLevel(2);
    const QStringList entries = folderEntries();
    click(form->Button27);   // no answer queued: the dialog is cancelled
    EXPECT_EQ(dialogs.fileCalls.size(), 2u);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(folderEntries(), entries);
}

// A file that cannot be written shows the I/O error; no temporary file stays
// behind, the ROM and the controls are as they were.
TEST_F(ExportTest, FailedExportShowsTheErrorAndLeavesNoTrace)
{
    loadLevel(6);
    QDir(dir.path()).mkdir(QStringLiteral("afolder"));
    QDir(dir.path()).mkpath(QStringLiteral("full/inside"));
    const struct {
        const char *name;
        QString file;
        QString message;
    } rows[] = {
        {"folder that does not exist", path("missing/level_6.level"), "File not found."},
        {"path is an empty folder", path("afolder"), "File access denied: the output is a folder, not a file."},
        {"path is a folder with files", path("full"), "File access denied: the output is a folder, not a file."},
        {"name far too long", path(QString(300, QLatin1Char('n')) + ".level"), "Invalid filename."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.errors.clear();
        const QStringList entries = folderEntries();
        const QByteArray rom = romBytes();
        const EditorSnapshot shown = snapshot();

        exportTo(row.file);

        EXPECT_EQ(dialogs.errors, QStringList{row.message});
        EXPECT_TRUE(dialogs.questions.isEmpty()) << "a folder is not a file to replace";
        EXPECT_EQ(folderEntries(), entries);
        EXPECT_TRUE(QDir(path("full")).exists(QStringLiteral("inside")));
        EXPECT_EQ(romBytes(), rom);
        EXPECT_EQ(snapshot(), shown);
    }
}
