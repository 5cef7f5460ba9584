// The level overview and play-testing: the real window offscreen, a stand-in
// emulator script on the PATH, copies written under a temporary cache folder.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>

#include <csignal>

#ifndef Q_OS_WIN
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "desktop.h"
#include "emulator.h"
#include "errors.h"
#include "leveloverview.h"
#include "mapfixture.h"
#include "settings.h"
#include "shellwords.h"
#include "windowsupport.h"

namespace {

// An environment variable set for the scope's lifetime.
class EnvScope {
public:
    EnvScope(const char *name, const QString &value) : mName(name), mOld(qgetenv(name)), mHad(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value.toLocal8Bit());
    }
    ~EnvScope() { mHad ? qputenv(mName, mOld) : qunsetenv(mName); }

private:
    const char *mName;
    QByteArray mOld;
    bool mHad;
};

class PlayTest : public MapTest {
protected:
    QString bin, played, hold;
    std::unique_ptr<EnvScope> cacheHome;

    // bin/fceux notes its arguments in args.txt and copies its last one to
    // played.nes (through a rename, so the file appears whole); it plays on
    // while the file "hold" exists.
    void SetUp() override
    {
        MapTest::SetUp();
        bin = dir.filePath(QStringLiteral("bin"));
        played = dir.filePath(QStringLiteral("played.nes"));
        hold = dir.filePath(QStringLiteral("hold"));
        QDir().mkpath(bin);
        cacheHome = std::make_unique<EnvScope>("XDG_CACHE_HOME", dir.filePath(QStringLiteral("cache")));
        EditorSettings().setEmulatorCommand(QString());   // an earlier test may have set one
        QFile script(bin + QStringLiteral("/fceux"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1/args.txt'\n"
                                    "for a; do last=$a; done\n/bin/cp \"$last\" '%2.part' && /bin/mv '%2.part' '%2'\n"
                                    "while [ -e '%3' ]; do /bin/sleep 0.05; done\n")
                         .arg(dir.path(), played, hold)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QByteArray playedImage()
    {
        if (!QTest::qWaitFor([&] { return QFile::exists(played); }, 10000))
            return {};
        QFile f(played);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList playedArguments() const
    {
        QFile f(dir.filePath(QStringLiteral("args.txt")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                           : QStringList();
    }
    QString copiesRoot() const { return dir.filePath(QStringLiteral("cache/WMBeditor/testcopies")); }
    // The copies and pid files in every editor's folder, by name.
    QStringList copiesLeft(const QStringList &patterns = {QStringLiteral("*.nes"), QStringLiteral("*.pid")}) const
    {
        QStringList files;
        for (QDirIterator it(copiesRoot(), patterns, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << it.next();
        files.sort();
        return files;
    }
    // Waits until the emulator of every copy has ended.
    bool emulatorsEnded() const
    {
        return QTest::qWaitFor([&] {
            for (const QString &pid : copiesLeft({QStringLiteral("*.pid")}))
                if (QFile f(pid); f.open(QIODevice::ReadOnly) && processRuns(f.readAll().trimmed().toLongLong()))
                    return false;
            return true;
        }, 10000);
    }
};

TEST_F(PlayTest, F5PlaysACopyWithTheUnsavedPaintAndLeavesTheRomAlone)
{
    startWithLevel(3);
    showActive();
    const EnvScope path("PATH", bin);
    const QByteArray rom = romBytes();
    const int cell = 20;
    const int at = rom::mapAt(3) + cell - 1;
    const int tile = (rom::byteAt(rom, at) + 1) & 0xFF;
    pickTile(tile);
    clickCell(cell);
    keys(Qt::Key_F5);
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();

    const QByteArray copy = playedImage();
    ASSERT_EQ(copy.size(), rom.size());
    std::vector<int> differ;
    for (int i = 0; i < rom.size(); ++i)
        if (copy[i] != rom[i])
            differ.push_back(i);
    EXPECT_EQ(differ, std::vector<int>{at});
    EXPECT_EQ(rom::byteAt(copy, at), tile);
    EXPECT_EQ(romBytes(), rom);

    // The copy handed over goes with the window once its emulator has
    // ended, and the editor's folder with it.
    const QStringList args = playedArguments();
    ASSERT_EQ(args.size(), 1);
    EXPECT_TRUE(args[0].startsWith(copiesRoot() + QStringLiteral("/editor-"))) << args[0].toStdString();
    ASSERT_TRUE(emulatorsEnded());
    form.reset();
    EXPECT_FALSE(QFile::exists(args[0]));
    EXPECT_TRUE(QDir(copiesRoot()).isEmpty());
}

// The copy is named after the image in one piece, "%" and all, shortened by
// whole characters to fit 255-byte file names with the level and counter.
TEST_F(PlayTest, CopiesAreNamedAfterTheImageWithinTheNameLimit)
{
    const QString e = QStringLiteral("\u00E9");   // two bytes
    const struct {
        QString image, copy;
    } cases[] = {
        {QStringLiteral("hack%1.nes"), QStringLiteral("hack%1-level3-1.nes")},
        {e.repeated(123) + QStringLiteral(".nes"), e.repeated(117) + QStringLiteral("-level3-2.nes")},   // 250 bytes
    };
    const EnvScope path("PATH", bin);
    start();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.image.toStdString());
        const QString image = dir.filePath(c.image);
        ASSERT_TRUE(QFile::copy(romPath, image));
        openRom(image);
        loadLevel(3);
        QFile::remove(played);
        command("Level", "Test in emulator")->trigger();
        ASSERT_EQ(playedImage().size(), rom::DemoSize) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(QFileInfo(playedArguments().value(0)).fileName(), c.copy);
    }
}

#ifndef Q_OS_WIN   // signals and fork are POSIX's
// SIGTERM ends an editor through its exit: the copies its emulators still
// play stay. A later start removes them once the emulators have ended.
TEST_F(PlayTest, TerminatedEditorKeepsCopiesInPlayUntilALaterStart)
{
    QFile(hold).open(QIODevice::WriteOnly);
    const EnvScope path("PATH", bin);
    const pid_t editor = ::fork();
    if (editor == 0) {
        endOnTerminationRequests();
        int status = 1;
        {
            start();
            openFromCommandLine(romPath, 3);
            command("Level", "Test in emulator")->trigger();
            command("Level", "Test as first level")->trigger();
            status = QCoreApplication::exec();
            form.reset();
        }
        ::_exit(status);
    }
    const bool playing = QTest::qWaitFor([&] { return copiesLeft({QStringLiteral("*.pid")}).size() == 2; }, 10000);
    ::kill(editor, SIGTERM);
    int status = 0;
    ::waitpid(editor, &status, 0);
    ASSERT_TRUE(playing);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
    QStringList left;
    for (const QString &file : copiesLeft())
        left << QFileInfo(file).fileName();
    EXPECT_EQ(left.join(QLatin1Char(' ')),
              QStringLiteral("demo-level3-1.nes demo-level3-1.nes.pid demo-level3-first-2.nes demo-level3-first-2.nes.pid"));

    QFile::remove(hold);
    ASSERT_TRUE(emulatorsEnded());
    QProcess next;
    next.start(QStringLiteral(WMB_BIN_DIR "/wmbeditor"), {});
    ASSERT_TRUE(next.waitForStarted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QDir(copiesRoot()).isEmpty(); }, 10000));
    next.terminate();
    ASSERT_TRUE(next.waitForFinished(10000));
    EXPECT_EQ(next.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(next.exitCode(), 128 + SIGTERM);
}
#endif

TEST_F(PlayTest, ShiftF5PutsTheShownLevelIntoLevel1OfTheCopy)
{
    startWithLevel(3);
    showActive();
    const EnvScope path("PATH", bin);
    keys(Qt::SHIFT | Qt::Key_F5);
    const QByteArray copy = playedImage();
    ASSERT_EQ(copy.size(), rom::DemoSize);
    const QByteArray rom = romBytes();
    for (int i = -31; i < 223; ++i) {
        if (!rom::isFieldByte(3, rom::mapAt(3) + i))
            continue;
        EXPECT_EQ(copy[rom::mapAt(1) + i], rom[rom::mapAt(3) + i]) << "offset " << i;
        EXPECT_EQ(copy[rom::mapAt(3) + i], rom[rom::mapAt(3) + i]) << "offset " << i;
    }
    EXPECT_NE(rom.mid(rom::mapAt(1), 168), rom.mid(rom::mapAt(3), 168));
}

TEST(ShellWords, SplitAsAShellDoesWithoutExpanding)
{
    using Words = std::vector<std::string>;
    const struct {
        const char *command;
        Words words;
    } cases[] = {
        {"  mednafen\t-video.fs 0 \n", {"mednafen", "-video.fs", "0"}},
        {"'/opt/my emu' \"two  words\" a\\ b", {"/opt/my emu", "two  words", "a b"}},
        {"$HOME ~/x *.nes", {"$HOME", "~/x", "*.nes"}},
        {"\"a\\\"b\\n\"'c\\'d \"\" ''", {"a\"b\\nc\\d", "", ""}},
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(wmb::splitShellWords(c.command), c.words) << c.command;
    for (const char *open : {"fceux 'rom", "fceux \"rom\\\""})
        EXPECT_THROW(wmb::splitShellWords(open), wmb::RuntimeError) << open;
}

// The command set through Level > Emulator... is split as a shell splits it.
TEST_F(PlayTest, EmulatorCommandIsSplitWithoutExpansion)
{
    startWithLevel(2);
    QFile::rename(bin + QStringLiteral("/fceux"), bin + QStringLiteral("/my emu"));
    dialogs.textAnswers.push_back(QStringLiteral("'%1/my emu' -a \"two words\" $HOME").arg(bin));
    command("Level", "Emulator...")->trigger();
    command("Level", "Test in emulator")->trigger();
    ASSERT_FALSE(playedImage().isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
    const QStringList args = playedArguments();
    ASSERT_EQ(args.size(), 4);
    EXPECT_EQ(args.mid(0, 3), (QStringList{QStringLiteral("-a"), QStringLiteral("two words"), QStringLiteral("$HOME")}));

    // Browse puts the chosen program in place of the first word and keeps
    // the arguments, quoted so that they split back as they were.
    const struct {
        const char *setting, *program, *command;
    } browsed[] = {
        {"mednafen -video.fs 0", "/opt/my emu/mednafen", "'/opt/my emu/mednafen' -video.fs 0"},
        {"", "/usr/games/fceux", "/usr/games/fceux"},
        {"fceux 'unterminated", "/usr/games/fceux", "/usr/games/fceux"},
        {"emu \"two  words\" it\\'s", "/x/emu", "/x/emu 'two  words' 'it'\\''s'"},
    };
    for (const auto &c : browsed)
        EXPECT_EQ(commandWithProgram(QString::fromUtf8(c.setting), QString::fromUtf8(c.program)).toStdString(), c.command);
    EXPECT_EQ(wmb::splitShellWords(browsed[3].command), (std::vector<std::string>{"/x/emu", "two  words", "it's"}));
}

// What the test copies ask of the system, on every system: whether an
// emulator still runs (this process does; an ended, collected child and ids
// of no process do not), and names counted against the file system's limit.
TEST(DesktopTest, ProcessesAndNameLimits)
{
    EXPECT_TRUE(processRuns(QCoreApplication::applicationPid()));
    QProcess child;
    child.start(QStringLiteral(WMB_BIN_DIR "/wmbtool"), {QStringLiteral("--version")});
    ASSERT_TRUE(child.waitForStarted());
    const qint64 ended = child.processId();
    ASSERT_TRUE(child.waitForFinished());
    for (const qint64 pid : {ended, qint64{0}, qint64{-1}})
        EXPECT_FALSE(processRuns(pid)) << pid;
    EXPECT_EQ(fileNameLimit(QDir::tempPath()), 255);
    EXPECT_EQ(fileNameLength(QStringLiteral("caf\u00E9")), QSysInfo::productType() == "windows" ? 4 : 5);
}

TEST_F(PlayTest, NoEmulatorOrOneThatCannotStartWritesNothing)
{
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const struct {
        QString path, command, error;
    } cases[] = {
        {bin, QStringLiteral("nosuchemu -x"), QStringLiteral("Cannot start the emulator \"nosuchemu\": No such file or directory.")},
        {bin, plain.fileName(), QStringLiteral("Cannot start the emulator \"%1\": Permission denied.").arg(plain.fileName())},
    };
    startWithLevel(4);
    const QByteArray rom = romBytes();
    for (const auto &c : cases) {
        const EnvScope path("PATH", c.path);
        settings().setEmulatorCommand(c.command);
        dialogs.errors.clear();
        command("Level", "Test in emulator")->trigger();
        EXPECT_EQ(dialogs.errors, QStringList{c.error});
        EXPECT_EQ(copiesLeft(), QStringList());
    }
    EXPECT_FALSE(QFile::exists(played));
    EXPECT_EQ(romBytes(), rom);

    // The search below the window, as the folders where distributions put
    // emulators (/usr/games) would answer it: after the PATH, name by name.
    const QString games = dir.filePath(QStringLiteral("games"));
    QDir().mkpath(games);
    ASSERT_TRUE(QFile::copy(bin + QStringLiteral("/fceux"), games + QStringLiteral("/nestopia")));
    const struct {
        QString path;
        QStringList folders;
        QString setting, program;   // an empty program: NoEmulatorMessage
    } searches[] = {
        {QString(), {}, QString(), QString()},
        {QString(), {games}, QString(), games + QStringLiteral("/nestopia")},
        {bin, {games}, QString(), bin + QStringLiteral("/fceux")},
        {QString(), {games}, QStringLiteral("nestopia -x"), games + QStringLiteral("/nestopia")},
    };
    for (const auto &c : searches) {
        const EnvScope path("PATH", c.path);
        try {
            EXPECT_EQ(resolveEmulatorCommand(c.setting, c.folders).program, c.program) << c.folders.join(' ').toStdString();
        } catch (const wmb::RuntimeError &e) {
            EXPECT_EQ(e.what(), c.program.isEmpty() ? std::string(NoEmulatorMessage) : std::string()) << c.setting.toStdString();
        }
    }
}

// A text field as the ROM holds it, without its trailing fill.
QString unfilled(const QByteArray &rom, int offset, int length)
{
    QString text = rom::textAt(rom, offset, length);
    while (text.endsWith(QChar(0x2022)))
        text.chop(1);
    return text;
}

// A level's caption as the ROM holds it: "N Name".
QString savedCaption(const QByteArray &rom, int level)
{
    const QString name = unfilled(rom, rom::nameAt(level), 15);
    return QString::number(level) + (name.isEmpty() ? QString() : QStringLiteral(" ") + name);
}

TEST_F(PlayTest, OverviewShowsEveryLevelAndFollowsTheEditor)
{
    start();
    EXPECT_FALSE(command("Level", "Level overview")->isEnabled());
    writeRom(romBytes().left(rom::mapAt(31) + 100));   // levels 31 and 32 cannot be read
    dialogs.okAnswers = {true};                         // open it although it is short
    openRom();
    showActive();
    keys(Qt::CTRL | Qt::Key_L);
    auto *overview = control<LevelOverview>("LevelOverview");
    ASSERT_NE(overview, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(overview));
    EXPECT_EQ(overview->windowTitle(), QStringLiteral("Level overview"));
    EXPECT_TRUE(overview->isWindow());
    EXPECT_FALSE(overview->isModal());
    EXPECT_GE(overview->pictureRect(1).width(), 112);
    EXPECT_GE(overview->pictureRect(1).height(), 96);
    const QByteArray rom = romBytes();
    for (int n = 1; n <= 30; ++n)
        EXPECT_EQ(overview->caption(n), savedCaption(rom, n));
    EXPECT_EQ(overview->caption(31), QStringLiteral("31"));
    EXPECT_TRUE(overview->picture(31).isNull());
    EXPECT_EQ(overview->toolTipText(2), QStringLiteral("Timer: %1\nAuthor: %2\nHint: %3")
                                            .arg(rom::byteAt(rom, rom::timerAt(2)) * 5)
                                            .arg(unfilled(rom, rom::authorAt(2), 13), unfilled(rom, rom::hintAt(2), 55)));

    QTest::mouseDClick(overview, Qt::LeftButton, {}, overview->pictureRect(12).center());
    EXPECT_EQ(loadedLevel(), 12);
    EXPECT_EQ(field(NumberBox), QStringLiteral("12"));

    // A paint shows at once, with "*"; undoing it takes both back.
    showActive();
    const QImage saved = overview->picture(12);
    const int tile = (rom::byteAt(rom, rom::mapAt(12)) + 1) & 0xFF;
    pickTile(tile);
    clickCell(1);
    EXPECT_EQ(overview->caption(12), savedCaption(rom, 12).replace(0, 2, QStringLiteral("12*")));
    const QImage painted = overview->picture(12);
    const int s = overview->cellSize();
    EXPECT_NE(painted.copy(0, 0, s, s), saved.copy(0, 0, s, s));
    EXPECT_EQ(painted.copy(s, 0, painted.width() - s, painted.height()), saved.copy(s, 0, saved.width() - s, saved.height()));
    undo();
    EXPECT_EQ(overview->caption(12), savedCaption(rom, 12));
    EXPECT_EQ(overview->picture(12), saved);
    // Saved, it shows from the ROM image, without "*".
    clickCell(1);
    keys(Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(overview->caption(12), savedCaption(rom, 12));
    EXPECT_EQ(overview->picture(12), painted);

    // The arrow keys move the focus; Enter loads the focused level.
    overview->activateWindow();
    overview->setFocus();
    QTest::keyClick(overview, Qt::Key_Down);
    QTest::keyClick(overview, Qt::Key_Left);
    QTest::keyClick(overview, Qt::Key_Return);
    EXPECT_EQ(loadedLevel(), 19);
    // The editor's keys work there too; the focus frame shows without a Tab.
    QTest::keyClick(overview, Qt::Key_PageDown);
    EXPECT_EQ(loadedLevel(), 20);
    QApplication::setActiveWindow(overview);
    overview->setFocus();
    ASSERT_TRUE(overview->hasFocus());
    const QRect slot = overview->pictureRect(overview->focusedLevel()).adjusted(-10, -10, 10, 40);
    const QImage focused = overview->grab(slot).toImage();
    overview->clearFocus();
    EXPECT_NE(overview->grab(slot).toImage(), focused);
    EXPECT_FALSE(overview->frameGeometry().intersects(form->frameGeometry()));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
}

// A tile picture that could not be read shows black until the next load
// reads it again.
TEST_F(PlayTest, OverviewReadsAnUnreadTilePictureAgainAtTheNextLoad)
{
    const QString tile = copyTileSet() + QLatin1Char('/') +
                         QString::number(rom::byteAt(romBytes(), rom::mapAt(2)), 16).toUpper() + QStringLiteral(".bmp");
    startWithLevel(1);
    ASSERT_TRUE(QFile::rename(tile, tile + QStringLiteral(".away")));
    LevelOverview *overview = this->overview();
    const int s = overview->cellSize();
    QImage black(s, s, QImage::Format_RGB32);
    black.fill(Qt::black);
    EXPECT_EQ(overview->picture(2).copy(0, 0, s, s), black);
    ASSERT_TRUE(QFile::rename(tile + QStringLiteral(".away"), tile));
    loadLevel(2);
    EXPECT_NE(overview->picture(2).copy(0, 0, s, s), black);
}

} // namespace
