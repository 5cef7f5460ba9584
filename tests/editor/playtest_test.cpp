// The level overview and play-testing: the real window offscreen, a stand-in
// emulator script on the PATH, copies written under a temporary TMPDIR.
#include <QDir>
#include <QFile>

#include "emulator.h"
#include "leveloverview.h"
#include "mapfixture.h"
#include "settings.h"
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
    QString bin, temp, played;
    std::unique_ptr<EnvScope> tmpdir;

    // bin/fceux notes its arguments in args.txt and copies its last one to
    // played.nes (through a rename, so the file appears whole).
    void SetUp() override
    {
        MapTest::SetUp();
        bin = dir.filePath(QStringLiteral("bin"));
        temp = dir.filePath(QStringLiteral("tmp"));
        played = dir.filePath(QStringLiteral("played.nes"));
        QDir().mkpath(bin);
        QDir().mkpath(temp);
        tmpdir = std::make_unique<EnvScope>("TMPDIR", temp);
        QFile script(bin + QStringLiteral("/fceux"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1/args.txt'\n"
                                    "for a; do last=$a; done\n/bin/cp \"$last\" '%2.part' && /bin/mv '%2.part' '%2'\n")
                         .arg(dir.path(), played)
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
    QStringList copiesLeft() const { return QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }
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
    pick(tile + 1);
    paint(cell);
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

    // The copy handed over is removed with the window.
    const QStringList args = playedArguments();
    ASSERT_EQ(args.size(), 1);
    EXPECT_TRUE(args[0].startsWith(temp)) << args[0].toStdString();
    form.reset();
    EXPECT_FALSE(QFile::exists(args[0]));
    EXPECT_EQ(copiesLeft(), QStringList());
}

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

// The command set through Level > Emulator... is split as a shell splits it.
TEST_F(PlayTest, EmulatorCommandIsSplitWithoutExpansion)
{
    startWithLevel(2);
    QFile::rename(bin + QStringLiteral("/fceux"), bin + QStringLiteral("/my emu"));
    dialogs.textAnswers.push_back(QStringLiteral("'%1/my emu' -a \"two words\" $HOME").arg(bin));
    form->emulatorAction()->trigger();
    form->testAction()->trigger();
    ASSERT_FALSE(playedImage().isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
    const QStringList args = playedArguments();
    ASSERT_EQ(args.size(), 4);
    EXPECT_EQ(args.mid(0, 3), (QStringList{QStringLiteral("-a"), QStringLiteral("two words"), QStringLiteral("$HOME")}));
}

TEST_F(PlayTest, NoEmulatorOrOneThatCannotStartWritesNothing)
{
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const struct {
        QString path, command, error;
    } cases[] = {
        {QString(), QString(), QString::fromLatin1(NoEmulatorMessage)},
        {bin, QStringLiteral("nosuchemu -x"), QStringLiteral("Cannot start the emulator \"nosuchemu\": No such file or directory.")},
        {bin, plain.fileName(), QStringLiteral("Cannot start the emulator \"%1\": Permission denied.").arg(plain.fileName())},
    };
    startWithLevel(4);
    const QByteArray rom = romBytes();
    for (const auto &c : cases) {
        const EnvScope path("PATH", c.path);
        form->settings().setEmulatorCommand(c.command);
        dialogs.errors.clear();
        form->testAction()->trigger();
        EXPECT_EQ(dialogs.errors, QStringList{c.error});
        EXPECT_EQ(copiesLeft(), QStringList());
    }
    EXPECT_FALSE(QFile::exists(played));
    EXPECT_EQ(romBytes(), rom);
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
    EXPECT_FALSE(form->overviewAction()->isEnabled());
    writeRom(romBytes().left(rom::mapAt(31) + 100));   // levels 31 and 32 cannot be read
    dialogs.okAnswers = {true};                         // open it although it is short
    openRom();
    showActive();
    keys(Qt::CTRL | Qt::Key_L);
    auto *overview = form->findChild<LevelOverview *>(QStringLiteral("LevelOverview"));
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
    EXPECT_EQ(form->loadedLevel(), 12);
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("12"));

    // A paint shows at once, with "*"; undoing it takes both back.
    showActive();
    const QImage saved = overview->picture(12);
    const int tile = (rom::byteAt(rom, rom::mapAt(12)) + 1) & 0xFF;
    pick(tile + 1);
    paint(1);
    EXPECT_EQ(overview->caption(12), savedCaption(rom, 12).replace(0, 2, QStringLiteral("12*")));
    const QImage painted = overview->picture(12);
    const int s = overview->cellSize();
    EXPECT_NE(painted.copy(0, 0, s, s), saved.copy(0, 0, s, s));
    EXPECT_EQ(painted.copy(s, 0, painted.width() - s, painted.height()), saved.copy(s, 0, saved.width() - s, saved.height()));
    undo();
    EXPECT_EQ(overview->caption(12), savedCaption(rom, 12));
    EXPECT_EQ(overview->picture(12), saved);
    // Saved, it shows from the ROM image, without "*".
    paint(1);
    keys(Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(overview->caption(12), savedCaption(rom, 12));
    EXPECT_EQ(overview->picture(12), painted);

    // The arrow keys move the focus; Enter loads the focused level.
    overview->activateWindow();
    overview->setFocus();
    QTest::keyClick(overview, Qt::Key_Down);
    QTest::keyClick(overview, Qt::Key_Left);
    QTest::keyClick(overview, Qt::Key_Return);
    EXPECT_EQ(form->loadedLevel(), 19);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
}

} // namespace
