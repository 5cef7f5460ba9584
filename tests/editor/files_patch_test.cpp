// Patches in the editor: Create patch in BPS, Apply patch of either format
// as one step of the image's history, and Image info; checked against the
// real wmbtool.
#include "filesfixture.h"

#include <QProcess>

#include "checksums.h"
#include "levelrecord.h"

namespace {

int runWmbtool(const QStringList &args)
{
    return QProcess::execute(QStringLiteral(WMB_BIN_DIR "/wmbtool"), args);
}

QString wmbtoolOutput(const QStringList &args)
{
    QProcess tool;
    tool.start(QStringLiteral(WMB_BIN_DIR "/wmbtool"), args);
    tool.waitForFinished();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QString crcOf(const QByteArray &bytes)
{
    return QString::fromStdString(wmb::crc32Hex(wmb::crc32Of(bytes.toStdString()), true));
}

using PatchTest = OpenedFilesTest;

// A patch made by wmbtool from the demo ROM and an edited copy, applied by
// the editor to another copy, gives the edited copy byte for byte; the shown
// level follows it; undo writes back what it replaced and redo again. Applied
// to a different image it is refused with the checksums, the image unchanged.
TEST_F(PatchTest, ApplyPatchGivesTheEditedImageAsOneUndoableStep)
{
    loadLevel(3);
    const QByteArray demo = romBytes();
    QByteArray edited = demo;
    for (int level : {3, 7, 12})
        edited[wmb::LevelBaseOf(level)] = static_cast<char>(edited[wmb::LevelBaseOf(level)] ^ 0x01);
    edited.replace(0x20, 2, "xy");
    writeFile(path("edited.nes"), edited);
    ASSERT_EQ(runWmbtool({"bps", QStringLiteral(WMB_DEMO_ROM), path("edited.nes"), path("hack.bps")}), 0);

    const auto code = [](const QByteArray &image, int level) {
        return QString::number(static_cast<unsigned char>(image[wmb::LevelBaseOf(level)]), 16).toUpper();
    };
    const QString question = "WMBeditor|The patch changes levels 3, 7 and 12, and 2 bytes outside the level "
                             "records. Apply it to demo.nes?";
    for (const bool ok : {false, true}) {
        dialogs.fileAnswers = {path("hack.bps")};
        dialogs.okAnswers = {ok};
        fileCommand(QStringLiteral("Apply patch..."));
        EXPECT_EQ(romBytes(), ok ? edited : demo);
    }
    EXPECT_EQ(dialogs.questions, QStringList({question, question}));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(shownCode(1), code(edited, 3));
    LevelDocument &doc = form->document();
    EXPECT_EQ(doc.imageHistory().undoName(), "Apply patch hack.bps");
    doc.undoImageWrite();
    EXPECT_EQ(romBytes(), demo);
    EXPECT_EQ(shownCode(1), code(demo, 3));
    doc.redoImageWrite();
    EXPECT_EQ(romBytes(), edited);

    // The image it now is is another than the patch's: refused, nothing asked.
    dialogs.questions.clear();
    dialogs.fileAnswers = {path("hack.bps")};
    fileCommand(QStringLiteral("Apply patch..."));
    EXPECT_EQ(dialogs.errors, QStringList{"This patch is for another image: it expects CRC32 " + crcOf(demo) +
                                          ", and demo.nes has " + crcOf(edited) + "."});
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(romBytes(), edited);
}

// A patch that grows the image (an IPS patch named .bin, known by its
// content) rewrites the file whole, keeping its mode; the undo shrinks it
// back; another program's change of the file's end refuses the redo.
TEST_F(PatchTest, ApplyPatchThatResizesTheImageRewritesItWhole)
{
    QFile::setPermissions(romPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QByteArray demo = romBytes();
    const QByteArray grown = demo + QByteArray(4096, '\x5A');
    writeFile(path("grown.nes"), grown);
    ASSERT_EQ(runWmbtool({"bps", romPath, path("grown.nes"), path("grow.bps")}), 0);
    writeFile(path("small.bin"), QByteArray("PATCH\x00\x00\x20\x00\x02zz", 12) + "EOF");
    const struct {
        const char *patch;
        QString question;
        QByteArray after;
    } cases[] = {
        {"small.bin", "The patch changes 2 bytes outside the level records. Apply it to demo.nes?",
         QByteArray(demo).replace(0x20, 2, "zz")},
        {"grow.bps",
         "The patch changes 4,096 bytes outside the level records. The image's size goes from 73,744 to "
         "77,840 bytes. Apply it to demo.nes?",
         grown},
    };
    LevelDocument &doc = form->document();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.patch);
        dialogs.questions.clear();
        dialogs.fileAnswers = {path(c.patch)};
        dialogs.okAnswers = {true};
        fileCommand(QStringLiteral("Apply patch..."));
        EXPECT_EQ(dialogs.questions, QStringList{"WMBeditor|" + c.question});
        EXPECT_EQ(romBytes(), c.after);
#ifndef _WIN32   // the file's mode survives the rewrite
        namespace fs = std::filesystem;
        EXPECT_EQ(fs::status(romPath.toStdString()).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
        doc.undoImageWrite();
        EXPECT_EQ(romBytes(), demo);
    }
    writeRom(demo + "!");
    EXPECT_THROW(doc.redoImageWrite(), wmb::ImageChangedError);
    EXPECT_EQ(romBytes(), demo + "!");
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
}

// BPS is the default: its patch is what wmbtool bps writes, and the report
// says what it holds.
TEST_F(PatchTest, CreatePatchWritesBpsAndSaysWhatItHolds)
{
    loadLevel(12);
    pickTile(shownCode(5) == QLatin1String("2A") ? 0x2B : 0x2A);
    clickCell(5);
    save();
    dialogs.fileAnswers = {QStringLiteral(WMB_DEMO_ROM), path("hack.bps")};
    fileCommand(QStringLiteral("Create patch..."));
    ASSERT_EQ(runWmbtool({"bps", QStringLiteral(WMB_DEMO_ROM), romPath, path("tool.bps")}), 0);
    const QByteArray patch = readFile(path("hack.bps"));
    EXPECT_EQ(patch, readFile(path("tool.bps")));
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("hack.bps: 1 level and 0 other bytes changed, %1 bytes.")
                                                .arg(patch.size())});
    ASSERT_EQ(runWmbtool({"apply", QStringLiteral(WMB_DEMO_ROM), path("hack.bps"), path("out.nes")}), 0);
    EXPECT_EQ(readFile(path("out.nes")), romBytes());
}

// Image info shows what wmbtool info prints, item for item.
TEST_F(PatchTest, ImageInfoShowsWhatWmbtoolInfoPrints)
{
    fileCommand(QStringLiteral("Image info..."));
    EXPECT_EQ(dialogs.infos, QStringList{"demo.nes\n" + wmbtoolOutput({"info", romPath}).trimmed()});
}

} // namespace
