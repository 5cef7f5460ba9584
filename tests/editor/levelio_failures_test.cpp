// Loads and saves that fail: a failed load changes nothing, a failed save
// writes nothing, and the image opened before stays in use.
#include <filesystem>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "leveloverview.h"
#include "windowsupport.h"

namespace {

class LevelFailureTest : public WindowTest {
protected:
    QString graph(const QString &name) const { return dir.filePath(QStringLiteral("graph/") + name); }

    // A tile code that level `level` shows and level `other` does not.
    static QString codeOnlyIn(const QByteArray &bytes, int level, int other)
    {
        const QByteArray mine = bytes.mid(rom::mapAt(level), rom::Cells);
        const QByteArray theirs = bytes.mid(rom::mapAt(other), rom::Cells);
        for (char b : mine)
            if (!theirs.contains(b))
                return rom::hexCode(static_cast<unsigned char>(b));
        return {};
    }
};

} // namespace

// A level that cannot be read or pictured in full is not shown at all: the
// cells, the map store, the edits and the level a save writes stay.
TEST_F(LevelFailureTest, FailedLoadLeavesTheLevelOnScreen)
{
    enum Damage { CutImage, RemovePicture, SpoilPicture };
    struct Case {
        const char *name;
        Damage damage;
        QString error;   // "%1" stands for the picture's code
    };
    const Case cases[] = {
        {"imageCutAt49300", CutImage, QStringLiteral("Read beyond end of file.")},
        {"pictureMissing", RemovePicture, QStringLiteral("Cannot open file graph/%1.bmp.")},
        {"pictureNotABitmap", SpoilPicture, QStringLiteral("Bitmap image is not valid.")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.errors.clear();
        copyTileSet();
        writeRom(rom::randomImage(5));
        const QByteArray bytes = romBytes();
        const QString code = codeOnlyIn(bytes, 1, 2);
        ASSERT_FALSE(code.isEmpty());
        start();
        openRom();
        loadLevel(2);
        const Shown before = shown();
        const QString picture = graph(code + QStringLiteral(".bmp"));
        if (c.damage == CutImage) {
            writeRom(romBytes().left(49300));
        } else if (c.damage == RemovePicture) {
            ASSERT_TRUE(QFile::remove(picture));
        } else {
            QFile f(picture);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("\x89PNG\r\n\x1a\n not a bitmap");
        }
        loadLevel(1);
        EXPECT_EQ(dialogs.errors, QStringList{QString(c.error).replace(QStringLiteral("%1"), code)});
        Shown expected = before;
        expected.edits[0] = QStringLiteral("1");
        EXPECT_EQ(shown(), expected);
        // A save now writes level 2 as it was loaded, not a mix of two
        // levels: its bytes stay as they are. (On the cut image level 2 lies
        // past the end: nothing is written.)
        const QByteArray written = romBytes();
        save();
        EXPECT_EQ(romBytes(), written);
    }
}

// A failed Open ROM changes nothing: before any image was open, the level
// buttons stay disabled; with level 8 of a good image loaded, Save still
// writes level 8 of that image.
TEST_F(LevelFailureTest, FailedOpenRomChangesNothing)
{
    struct Case {
        const char *name;
        QByteArray image;
        QString number;
        QString error;
    };
    const QByteArray demo = romBytes();
    const Case cases[] = {
        {"short", demo.left(50000), QStringLiteral("5"), QStringLiteral("Read beyond end of file.")},
        {"noLevelFits", demo.left(49422), QStringLiteral("1"),
         QStringLiteral("demo.nes has 49,422 bytes: too small for a Wumblers ROM image, whose level 1 ends at byte "
                        "49,423.")},
        {"emptyNumber", demo, QString(), QStringLiteral("'' is not a valid integer value.")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.errors.clear();
        writeRom(c.image);
        start();
        setField(NumberBox, c.number);
        const Shown before = shown();
        dialogs.okAnswers = {true};   // open it anyway
        openRom();
        EXPECT_EQ(dialogs.errors, QStringList{c.error});
        EXPECT_FALSE(control("Button5")->isEnabled());
        EXPECT_EQ(shown(), before);
        EXPECT_EQ(title(), QStringLiteral("WMBeditor"));
    }

    writeRom(demo);
    start();
    openRom();
    loadLevel(8);
    const QString tiny = dir.filePath(QStringLiteral("tiny.nes"));
    QFile f(tiny);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(100, 'x'));
    f.close();
    dialogs.errors.clear();
    dialogs.questions.clear();
    openRom(tiny);
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("tiny.nes has 100 bytes: too small for a Wumblers ROM image, "
                                                         "whose level 1 ends at byte 49,423.")});
    EXPECT_TRUE(dialogs.questions.isEmpty());
    setField(NameBox, QStringLiteral("KEPT"));
    save();
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(romBytes().mid(rom::nameAt(8), 4), QByteArray("KEPT"));
}

// A file that does not look like a Wumblers ROM image is opened only after
// an OK; Cancel leaves the image opened before, with its level.
TEST_F(LevelFailureTest, FileThatIsNoRomImageAsksBeforeItOpens)
{
    QByteArray noise = rom::randomImage(9, 72 * 1024);
    noise.replace(0, 4, "RND!");
    const struct {
        const char *name;
        QByteArray bytes;
        bool ok;
        QString reason, title;
    } cases[] = {
        {"noise", noise, false, QStringLiteral("no iNES header"), QStringLiteral("demo.nes, level 8")},
        {"short", romBytes().left(50000), false, QStringLiteral("50000 bytes, too small for 32 levels"),
         QStringLiteral("demo.nes, level 8")},
        {"noiseOpened", noise, true, QStringLiteral("no iNES header"), QStringLiteral("other.nes, level 8")},
    };
    const QString other = dir.filePath(QStringLiteral("other.nes"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        start();
        openRom();
        loadLevel(8);
        EXPECT_TRUE(dialogs.questions.isEmpty()) << "a good image asks nothing";
        const Shown before = shown();
        QFile f(other);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        dialogs.okAnswers = {c.ok};
        openRom(other);
        EXPECT_EQ(dialogs.questions, QStringList{QStringLiteral("WMBeditor|other.nes does not look like a Wumblers ROM "
                                                                "image (%1). Open it anyway?").arg(c.reason)});
        EXPECT_EQ(title(), c.title + QStringLiteral(" \u2014 WMBeditor"));
        if (!c.ok) {
            EXPECT_EQ(shown(), before);
        }
        EXPECT_TRUE(dialogs.errors.isEmpty());
        dialogs.questions.clear();
    }
}

// A timer that is not a number stops the save before any byte is written,
// the map store's changed tiles included.
TEST_F(LevelFailureTest, SaveWithBadTimerWritesNothing)
{
    start();
    openRom();
    loadLevel(10);
    const QByteArray before = romBytes();
    clearScreen();
    setField(NameBox, QStringLiteral("short"));
    clearByKeys(TimerBox);
    ASSERT_TRUE(field(TimerBox).isEmpty());
    const Shown edited = shown();
    save();
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("'' is not a valid integer value.")});
    EXPECT_EQ(romBytes(), before);
    EXPECT_EQ(shown(), edited);
}

// An image whose name is gone while open (moved away: a deletion waits for
// the editor's handle on Windows): the title says "(missing)" until it comes
// back; Save and Reload fail as the runtime's open does and never make the
// image anew; Save ROM As copies the image the editor holds open, with the
// shown level saved into it.
TEST_F(LevelFailureTest, VanishedImageIsMissingAndCanBeSavedAsACopy)
{
    start();
    openRom();
    loadLevel(3);
    const QByteArray demo = romBytes();
    setField(NameBox, QStringLiteral("COPIED"));
    const auto titled = [&](const char *name) {
        const QString expected = QLatin1String(name) + QStringLiteral(", level 3* \u2014 WMBeditor");
        return within(1000, [&] { return title() == expected; });
    };
    const QString fifth = overview()->caption(5);
    ASSERT_TRUE(QFile::rename(romPath, dir.filePath(QStringLiteral("moved.nes"))));
    EXPECT_TRUE(titled("demo.nes (missing)"));
    EXPECT_EQ(overview()->caption(5), fifth);   // read through the handle held open
    writeRom(demo);
    EXPECT_TRUE(titled("demo.nes"));
    ASSERT_TRUE(QFile::rename(romPath, dir.filePath(QStringLiteral("moved again.nes"))));
    EXPECT_TRUE(titled("demo.nes (missing)"));

    save();
    reload();
    EXPECT_EQ(dialogs.errors, QStringList({QStringLiteral("File not found."), QStringLiteral("File not found.")}));
    EXPECT_FALSE(QFile::exists(romPath));

    const QString copy = dir.filePath(QStringLiteral("copy.nes"));
    dialogs.fileAnswers = {copy};
    fileCommand(QStringLiteral("Save ROM As..."));
    QByteArray expected = demo;
    expected.replace(rom::nameAt(3), 15, QByteArray("COPIED").leftJustified(15, '\0'));
    QFile written(copy);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), expected);
    EXPECT_EQ(title(), QStringLiteral("copy.nes, level 3 \u2014 WMBeditor"));
    EXPECT_EQ(dialogs.errors.size(), 2);
}

// An Open ROM that fails keeps the image opened before: later loads and
// saves go on working on it.
TEST_F(LevelFailureTest, FailedOpenKeepsTheImageOpenedBefore)
{
    struct Case {
        const char *name;
        QString path;
        QString error;
    };
    QDir(dir.path()).mkdir(QStringLiteral("folder.nes"));
    const Case cases[] = {
        {"missing", dir.filePath(QStringLiteral("gone.nes")), QStringLiteral("File not found.")},
        {"folder", dir.filePath(QStringLiteral("folder.nes")), QStringLiteral("File access denied.")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.errors.clear();
        start();
        openRom();
        loadLevel(4);
        QByteArray expected = romBytes();
        const Shown before = shown();
        openRom(c.path);
        EXPECT_EQ(dialogs.errors, QStringList{c.error});
        EXPECT_EQ(shown(), before);
        EXPECT_TRUE(control("Button1")->isEnabled());

        setField(NameBox, QStringLiteral("Kept"));
        save();
        expected.replace(rom::nameAt(4), 15, QByteArray("Kept") + QByteArray(11, '\0'));
        EXPECT_EQ(romBytes(), expected);
        loadLevel(5);
        EXPECT_EQ(dialogs.errors.size(), 1);
        EXPECT_EQ(levelBase(), rom::mapAt(5));
    }
}

namespace {

bool setMode(const QString &path, unsigned mode)
{
    std::error_code ec;
    std::filesystem::permissions(QFile::encodeName(path).toStdString(), std::filesystem::perms(mode), ec);
    return !ec;
}

#ifdef _WIN32
// The read-only attribute binds every user, so the scenario runs here.
QString runAsNobody(const std::function<QString()> &scenario)
{
    return scenario();
}
#else
// Runs `scenario` in a child process whose user may not write the ROM (when
// the tests run as root the child becomes "nobody", since root writes any
// file) and returns the text it reports.
QString runAsNobody(const std::function<QString()> &scenario)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return QStringLiteral("pipe failed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        const QByteArray report = scenario().toUtf8();
        const ssize_t written = ::write(fds[1], report.constData(), static_cast<size_t>(report.size()));
        ::_exit(written == report.size() ? 0 : 4);
    }
    ::close(fds[1]);
    QByteArray report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<int>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("child failed with status %1").arg(status);
    return QString::fromUtf8(report);
}
#endif

} // namespace

// A read-only image opens for viewing: levels load and can be edited and
// exported, Save, Import and Apply patch refuse with "File access denied", and Save ROM
// As writes a copy the editor then works on. The refusal is the kernel's,
// for a user who may not write the file.
TEST_F(LevelFailureTest, ReadOnlyImageOpensForViewing)
{
    ASSERT_TRUE(setMode(dir.path(), 0777));
    ASSERT_TRUE(setMode(romPath, 0444));
    const QByteArray before = romBytes();
    const QString copy = dir.filePath(QStringLiteral("copy.nes"));
    const QString level = dir.filePath(QStringLiteral("five.level"));
    const QString report = runAsNobody([&] {
        start();
        openRom();
        openFromOverview(5);
        setField(NameBox, QStringLiteral("VIEWED"));
        QStringList seen{title(), field(NumberBox)};
        dialogs.fileAnswers = {level};
        clickButton("Button27");   // export
        save();
        dialogs.fileAnswers = {level};
        clickButton("Button28");   // import
        dialogs.fileAnswers = {level};
        fileCommand(QStringLiteral("Apply patch..."));   // refused before the patch is read
        seen << dialogs.errors.join(QLatin1Char('|'));
        dialogs.fileAnswers = {copy};
        fileCommand(QStringLiteral("Save ROM As..."));
        seen << title() << dialogs.errors.join(QLatin1Char('|'));
        setField(AuthorBox, QStringLiteral("COPIER"));
        // The unprivileged user cannot reach the test's data folder: the
        // save asks to go on without a backup.
        dialogs.okAnswers = {true};
        save();
        seen << QString::number(dialogs.errors.size());
        return seen.join(QLatin1Char(';'));
    });
    EXPECT_EQ(report, QStringLiteral("demo.nes (read-only), level 5* \u2014 WMBeditor;5;"
                                     "File access denied.|File access denied.|File access denied.;"
                                     "copy.nes, level 5 \u2014 WMBeditor;"
                                     "File access denied.|File access denied.|File access denied.;3"));
    EXPECT_EQ(romBytes(), before);
    EXPECT_TRUE(QFile::exists(level));
    QByteArray expected = before;
    expected.replace(rom::nameAt(5), 15, rom::textBytes(QStringLiteral("VIEWED"), 15));
    expected.replace(rom::authorAt(5), 13, rom::textBytes(QStringLiteral("COPIER"), 13));
    QFile written(copy);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), expected);
}

// On a read-only image the unsaved-changes question offers Save As instead
// of Save: cancelling its dialog cancels the leave; with a copy written,
// the leave goes on in the copy.
TEST_F(LevelFailureTest, ReadOnlyImageOffersSaveAsBeforeLeavingALevel)
{
    ASSERT_TRUE(setMode(dir.path(), 0777));
    ASSERT_TRUE(setMode(romPath, 0444));
    const QByteArray before = romBytes();
    const QString copy = dir.filePath(QStringLiteral("copy.nes"));
    const QString report = runAsNobody([&] {
        start();
        openFromCommandLine(romPath, 5);
        setField(NameBox, QStringLiteral("KEPT"));
        dialogs.saveChoices = {SaveChoice::Save, SaveChoice::Save};
        dialogs.fileAnswers = {QString(), copy};
        openFromOverview(6);   // Save ROM As cancelled
        QStringList seen{field(NumberBox) + field(NameBox)};
        openFromOverview(6);
        seen << title() << dialogs.saveButtons.join(QLatin1Char('|')) << dialogs.errors.join(QLatin1Char('|'));
        return seen.join(QLatin1Char(';'));
    });
    EXPECT_EQ(report, QStringLiteral("5KEPT;copy.nes, level 6 \u2014 WMBeditor;Save &As...|Save &As...;"));
    EXPECT_EQ(romBytes(), before);
}

// An image that turns read-only after it was opened: the save fails at
// once, before any byte is written.
TEST_F(LevelFailureTest, ImageTurnedReadOnlyIsNotWritten)
{
    ASSERT_TRUE(setMode(dir.path(), 0777));
    ASSERT_TRUE(setMode(romPath, 0666));
    const QByteArray before = romBytes();
    const QString report = runAsNobody([&] {
        start();
        openRom();
        // The image now belongs to someone else and is read-only.
        const QString copy = romPath + QStringLiteral(".new");
        QFile::copy(romPath, copy);
        setMode(copy, 0444);
        QFile::remove(romPath);
        QFile::rename(copy, romPath);
        setField(NameBox, QStringLiteral("never"));
        save();
        QString enabled;
        for (const char *name : {"Button1", "Button3", "Button4", "Button5", "Button27", "Button28"})
            enabled += control(name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return dialogs.errors.join(QLatin1Char('|')) + QLatin1Char(';') + enabled;
    });
    EXPECT_EQ(report, QStringLiteral("File access denied.;111111"));
    EXPECT_EQ(romBytes(), before);
}
