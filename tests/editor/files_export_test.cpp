// Files the editor writes besides the ROM image: Export level (the dialog it
// shows, the overwrite question, the bytes of the level file, failures that
// leave everything as it was), Save ROM As and Create patch (IPS; BPS in files_patch_test.cpp).
#include "filesfixture.h"

#include <QLabel>
#include <QProcess>
#include <QWindow>

#include "hexcode.h"

#include <filesystem>

namespace {

// Windows reports a missing folder as a bad path.
#ifdef Q_OS_WIN
const QString MissingFolderMessage = QStringLiteral("Invalid filename.");
#else
const QString MissingFolderMessage = QStringLiteral("File not found.");
#endif

QByteArray crlfLine(const QByteArray &text) { return text + "\r\n"; }

} // namespace

using ExportTest = OpenedFilesTest;

TEST_F(ExportTest, ProposesLevelNumberAndWritesTheKeptName)
{
    loadLevel(7);
    setField(NumberBox, QStringLiteral("12"));   // typed, not loaded: the file holds level 7
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
    setField(AuthorBox, QString::fromUtf8("x\U0001F600y\u00F6"));   // no such characters in the code page
    setField(HintBox, QString::fromUtf8("\u041F\u0440\u0438\u0432\u0435\u0442 \u0406\u2022|"));
    setField(TimerBox, QStringLiteral("125"));

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
    pickTile(newCode);
    clickCell(cell);
    ASSERT_EQ(shownCode(cell), QString::number(newCode, 16).toUpper());

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
    clickButton("Button27");   // no answer queued: the dialog is cancelled
    EXPECT_EQ(dialogs.fileCalls.size(), 2u);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(folderEntries(), entries);
}

// A file that cannot be written, or the open image by any of its names,
// shows the error; no temporary file stays behind, the ROM and the controls
// are as they were.
TEST_F(ExportTest, FailedExportShowsTheErrorAndLeavesNoTrace)
{
    loadLevel(6);
    QDir(dir.path()).mkdir(QStringLiteral("afolder"));
    QDir(dir.path()).mkpath(QStringLiteral("full/inside"));
    std::error_code linked;
    std::filesystem::create_hard_link(romPath.toStdString(), path("hard.nes").toStdString(), linked);
    ASSERT_FALSE(linked) << linked.message();
    struct Row {
        const char *name;
        QString file;
        QString message;
    };
    // Windows' own numbers: a missing folder is a bad path (3).
    std::vector<Row> rows = {
        {"folder that does not exist", path("missing/level_6.level"), MissingFolderMessage},
        {"path is an empty folder", path("afolder"), "File access denied: the output is a folder, not a file."},
        {"path is a folder with files", path("full"), "File access denied: the output is a folder, not a file."},
        {"the open image", romPath, "demo.nes is the open ROM image; choose another file."},
        {"a hard link to it", path("hard.nes"), "hard.nes is the open ROM image; choose another file."},
    };
#ifndef Q_OS_WIN
    rows.push_back({"name far too long", path(QString(300, QLatin1Char('n')) + ".level"), "Invalid filename."});
    QFile::link(QStringLiteral("demo.nes"), path("link.nes"));   // a shortcut file on Windows
    rows.push_back({"a link to it", path("link.nes"), "link.nes is the open ROM image; choose another file."});
#endif
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.errors.clear();
        const QStringList entries = folderEntries();
        const QByteArray rom = romBytes();
        const EditorSnapshot shown = snapshot();

        exportTo(row.file);

        EXPECT_EQ(dialogs.errors, QStringList{row.message});
        EXPECT_TRUE(dialogs.questions.isEmpty()) << "neither a folder nor the image is a file to replace";
        EXPECT_EQ(folderEntries(), entries);
        EXPECT_TRUE(QDir(path("full")).exists(QStringLiteral("inside")));
        EXPECT_EQ(romBytes(), rom);
        EXPECT_EQ(snapshot(), shown);
    }
}

namespace {

constexpr const char *Dash = " \u2014 WMBeditor";

// The image with an IPS patch applied, read the plain way: "PATCH", records
// of a 3-byte offset, a 2-byte size and the data, "EOF".
QByteArray applyPlainIps(QByteArray image, const QByteArray &patch)
{
    EXPECT_TRUE(patch.startsWith("PATCH"));
    const auto u = [&](int i) { return static_cast<int>(static_cast<unsigned char>(patch[i])); };
    int pos = 5;
    while (pos + 3 <= patch.size() && patch.mid(pos, 3) != "EOF") {
        const int offset = u(pos) << 16 | u(pos + 1) << 8 | u(pos + 2);
        const int size = u(pos + 3) << 8 | u(pos + 4);
        EXPECT_GT(size, 0) << "the editor writes no run records";
        image.replace(offset, size, patch.mid(pos + 5, size));
        pos += 5 + size;
    }
    EXPECT_EQ(pos + 3, patch.size()) << "the patch ends with EOF";
    return image;
}

int runWmbtool(const QStringList &args)
{
    return QProcess::execute(QStringLiteral(WMB_BIN_DIR "/wmbtool"), args);
}

} // namespace

using RomCopyTest = OpenedFilesTest;

// One cell painted, then Save ROM As: the copy differs from the image in
// that byte only, the image stays as it was, and the editor works on the copy.
TEST_F(RomCopyTest, SaveRomAsWritesTheCopyAndWorksOnIt)
{
    loadLevel(5);
    const QByteArray demo = romBytes();
    const QString before = shownCode(17);
    pickTile(before == QLatin1String("2A") ? 0x2B : 0x2A);
    clickCell(17);
    ASSERT_NE(shownCode(17), before);
    const QString copy = path(QStringLiteral("copy.nes"));
    dialogs.fileAnswers = {copy};
    fileCommand(QStringLiteral("Save ROM As..."));

    const FakeDialogs::FileCall &call = dialogs.fileCalls.back();
    EXPECT_EQ(call.filter, QStringLiteral("NES ROM images|*.nes"));
    EXPECT_EQ(call.proposedName, romPath) << "the dialog starts at the open image";
    QByteArray expected = demo;
    expected[wmb::LevelBaseOf(5) + 16] = static_cast<char>(wmb::HexTextToInt(shownCode(17).toStdString()));
    EXPECT_EQ(readFile(copy), expected);
    EXPECT_EQ(romBytes(), demo);
    EXPECT_EQ(title(), QStringLiteral("copy.nes, level 5") + Dash);
    EXPECT_EQ(settings().recentRoms().value(0), copy);

    setField(NameBox, QStringLiteral("LATER"));
    save();
    expected.replace(wmb::LevelBaseOf(5) + wmb::NameOffset, 15, QByteArray("LATER").leftJustified(15, '\0'));
    EXPECT_EQ(readFile(copy), expected);
    EXPECT_EQ(romBytes(), demo);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
}

// Every other answer: the dialog cancelled, an existing file kept or
// replaced, a folder that does not exist, the open image itself.
TEST_F(RomCopyTest, SaveRomAsAsksBeforeReplacingAndFailsWithoutChangingTheImage)
{
    const QByteArray demo = romBytes();
    QByteArray edited = demo;
    edited.replace(wmb::LevelBaseOf(1) + wmb::NameOffset, 15, QByteArray("EDITED").leftJustified(15, '\0'));
    const QString replace = QStringLiteral("Warning!|") + path("old.nes") + QStringLiteral(" already exists. Replace it?|Cancel");
    const struct {
        const char *name;
        QString answer;
        bool ok;
        QString question, error, title;
        QByteArray rom, target;   // the ROM image and the target afterwards
    } cases[] = {
        {"cancelled", {}, false, {}, {}, "demo.nes, level 1*", demo, "old"},
        {"kept", "old.nes", false, replace, {}, "demo.nes, level 1*", demo, "old"},
        {"replaced", "old.nes", true, replace, {}, "old.nes, level 1", demo, edited},
        {"noFolder", "none/x.nes", false, {}, MissingFolderMessage, "demo.nes, level 1*", demo, "old"},
        {"itself", "demo.nes", false, {}, {}, "demo.nes, level 1", edited, "old"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeRom(demo);
        writeFile(path("old.nes"), "old");
        dialogs.questions.clear();
        dialogs.errors.clear();
        start();
        openRom();
        setField(NameBox, QStringLiteral("EDITED"));
        dialogs.fileAnswers = {c.answer.isEmpty() ? QString() : path(c.answer)};
        dialogs.okAnswers = {c.ok};
        fileCommand(QStringLiteral("Save ROM As..."));
        EXPECT_EQ(dialogs.questions, c.question.isEmpty() ? QStringList() : QStringList{c.question});
        EXPECT_EQ(dialogs.errors, c.error.isEmpty() ? QStringList() : QStringList{c.error});
        EXPECT_EQ(title(), c.title + Dash);
        EXPECT_EQ(romBytes(), c.rom);
        EXPECT_EQ(readFile(path("old.nes")), c.target);
    }
    EXPECT_FALSE(QFileInfo::exists(path("none")));
}

// The patch from the untouched demo ROM to the image as saved: the bytes
// wmbtool writes, and applied (by wmbtool and by a plain reading of the
// format) it gives the saved image. Unsaved changes are named, not patched.
TEST_F(RomCopyTest, CreatePatchNamedIpsTurnsTheOriginalIntoTheSavedImage)
{
    loadLevel(3);
    const QString before = shownCode(1);
    pickTile(before == QLatin1String("2A") ? 0x2B : 0x2A);
    clickCell(1);
    save();
    const QByteArray saved = romBytes();
    setField(NameBox, QStringLiteral("UNSAVED"));
    const QString original = QStringLiteral(WMB_DEMO_ROM);
    const QString patch = path(QStringLiteral("hack%1.ips"));   // "%1" shown as it is
    dialogs.fileAnswers = {original, patch};
    fileCommand(QStringLiteral("Create patch..."));

    ASSERT_EQ(dialogs.fileCalls.size(), 3u);
    EXPECT_EQ(dialogs.fileCalls[1].folder, dir.path()) << "both dialogs start beside the open image";
    EXPECT_EQ(dialogs.fileCalls[2].filter, QStringLiteral("BPS patches|*.bps|IPS patches|*.ips"));
    EXPECT_EQ(dialogs.fileCalls[2].proposedName, path("demo.bps"));
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("hack%1.ips: 1 level and 0 other bytes changed, 14 bytes.\n"
                                                           "Level 3 has unsaved changes; they are not in the patch.")});
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    ASSERT_EQ(runWmbtool({QStringLiteral("ips"), original, romPath, path("tool.ips")}), 0);
    EXPECT_EQ(readFile(patch), readFile(path("tool.ips")));
    ASSERT_EQ(runWmbtool({QStringLiteral("patch"), original, patch, path("patched.nes")}), 0);
    EXPECT_EQ(readFile(path("patched.nes")), saved);
    EXPECT_EQ(applyPlainIps(readFile(original), readFile(patch)), saved);
}

TEST_F(RomCopyTest, CreatePatchRefusesTheOpenImageAndIpsOfAnotherSize)
{
    writeFile(path("short.nes"), QByteArray(1000, 'x'));
    const struct {
        const char *name;
        QString original, error;
    } cases[] = {
        {"itself", romPath, "demo.nes is the open image itself; choose the unmodified image it was made from."},
        {"otherSize", path("short.nes"),
         "short.nes has 1000 bytes and demo.nes 73744; an IPS patch is made between images of the same size."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.errors.clear();
        dialogs.fileAnswers = {c.original, path("x.ips")};
        fileCommand(QStringLiteral("Create patch..."));
        EXPECT_EQ(dialogs.errors, QStringList{c.error});
        EXPECT_FALSE(QFileInfo::exists(path("x.ips")));
        EXPECT_TRUE(dialogs.messages.isEmpty());
    }
}
