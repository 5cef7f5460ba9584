// Open ROM, loading every level, navigation, the level number edit and Save
// level, checked against the ROM's bytes read straight from the file.
#include <QDir>
#include <QRegularExpression>

#include <csignal>
#include <functional>
#ifndef Q_OS_WIN
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "windowsupport.h"

namespace {

class LevelIoTest : public WindowTest {
protected:
    // Checks that the window shows level n of `bytes` in full.
    void expectShowsLevel(const QByteArray &bytes, int level)
    {
        SCOPED_TRACE(testing::Message() << "level " << level);
        EXPECT_EQ(field(NumberBox), QString::number(level));
        EXPECT_EQ(levelBase(), rom::mapAt(level));
        for (int n = 1; n <= rom::Cells; ++n) {
            const QString code = rom::hexCode(rom::byteAt(bytes, rom::mapAt(level) + n - 1));
            ASSERT_EQ(shownCode(n), code) << "cell " << n;
            ASSERT_EQ(cellPicture(n), tile(code)) << "cell " << n;
        }
        EXPECT_EQ(field(TimerBox), QString::number(rom::byteAt(bytes, rom::timerAt(level)) * 5));
        EXPECT_EQ(field(NameBox), rom::textAt(bytes, rom::nameAt(level), 15));
        EXPECT_EQ(field(AuthorBox), rom::textAt(bytes, rom::authorAt(level), 13));
        EXPECT_EQ(field(HintBox), rom::textAt(bytes, rom::hintAt(level), 55));
    }

    // Level n of the open image: typed into the level number edit, then
    // "Reload level".
    void typeLevelAndReload(int level)
    {
        clearByKeys(NumberBox);
        typeInto(NumberBox, QString::number(level));
        reload();
    }

    void startWithRom(const QByteArray &bytes)
    {
        writeRom(bytes);
        start();
        openRom();
    }
};

} // namespace

TEST_F(LevelIoTest, OpenRomAsksWithItsTitleAndFilterThenLoadsLevel1)
{
    start();
    openRom();
    ASSERT_EQ(dialogs.fileCalls.size(), 1u);
    EXPECT_EQ(dialogs.fileCalls[0].dialog, QStringLiteral("OpenDialog1"));
    EXPECT_EQ(dialogs.fileCalls[0].title, QStringLiteral(" Open file Wumblers (USA) (Unl).nes"));
    EXPECT_EQ(dialogs.fileCalls[0].filter, QStringLiteral("Any file (*.*)|*.*"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    for (const char *name : {"Button1", "Button3", "Button4", "Button5", "Button27", "Button28"})
        EXPECT_TRUE(control(name)->isEnabled()) << name;
    expectShowsLevel(romBytes(), 1);
}

// Every level of the demo image and of an image of random bytes shows its
// tiles, timer and texts; random bytes bring timers up to 1275 and text
// bytes without a character.
TEST_F(LevelIoTest, EveryLevelShowsItsRecord)
{
    for (const QByteArray &bytes : {romBytes(), rom::randomImage(20240601)}) {
        startWithRom(bytes);
        for (int level = 1; level <= rom::Levels; ++level) {
            typeLevelAndReload(level);
            expectShowsLevel(bytes, level);
        }
        EXPECT_TRUE(dialogs.errors.isEmpty());
    }
}

// The demo image holds only table characters and timers up to 1200, so a
// load followed by a save gives back every byte.
TEST_F(LevelIoTest, DemoLevelsComeBackByteForByte)
{
    const QByteArray original = romBytes();
    for (int level = 1; level <= rom::Levels; ++level) {
        ASSERT_LE(rom::byteAt(original, rom::timerAt(level)), 240);
        for (const rom::TextField &field : rom::textFields)
            for (int i = 0; i < field.length; ++i)
                ASSERT_TRUE(rom::hasChar(rom::byteAt(original, field.at(level) + i)));
    }
    start();
    openRom();
    for (int level = 1; level <= rom::Levels; ++level) {
        typeLevelAndReload(level);
        save();
        ASSERT_EQ(romBytes(), original) << "level " << level;
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// On random bytes a save rewrites only the field bytes of its level: the
// tiles and the timer come back as they were, each text as its characters
// re-encoded; the bytes between the fields and every other level stay.
// Random images hold text bytes without a character and timers above the
// arrows' bound: a save of a level whose texts and timer were not touched
// keeps them byte for byte, even after the pointer crossed the panel; a
// painted cell is the only byte that changes.
TEST_F(LevelIoTest, UntouchedFieldsOfRandomLevelsSaveByteForByte)
{
    QByteArray expected = rom::randomImage(77);
    expected[rom::mapAt(4) - 16] = '\x01';   // level 4's name
    expected[rom::mapAt(4) - 15] = '\x9A';
    expected[rom::mapAt(4) - 17] = '\xFF';   // its timer: 1275
    startWithRom(expected);
    for (int level = 1; level <= rom::Levels; ++level) {
        typeLevelAndReload(level);
        form->Panel1MouseMove();
        save();
        ASSERT_EQ(romBytes(), expected) << "level " << level;
    }
    typeLevelAndReload(4);
    form->Panel1MouseMove();
    pickTile(0x2A);
    clickCell(7);
    save();
    expected[rom::mapAt(4) + 6] = '\x2A';
    EXPECT_EQ(romBytes(), expected);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

namespace {

struct TextCase {
    const char *name;
    WindowDriver::Box edit;
    QString typed;
    QByteArray stored;
    QString shown;     // the edit after the save
};

QString bullets(int n) { return QString(n, QChar(0x2022)); }

const TextCase textCases[] = {
    {"nameAbc", WindowDriver::NameBox, QStringLiteral("ABC"), QByteArray("ABC") + QByteArray(12, '\0'),
     QStringLiteral("ABC") + bullets(12)},
    {"emptyHint", WindowDriver::HintBox, QString(), QByteArray(55, '\0'), bullets(55)},
    {"cyrillicI", WindowDriver::AuthorBox, QString(QChar(0x0406)) + QStringLiteral("van"),
     QByteArray("\x7C" "van") + QByteArray(9, '\0'), QString(QChar(0x0406)) + QStringLiteral("van") + bullets(9)},
    {"bulletTyped", WindowDriver::NameBox, QStringLiteral("A") + bullets(1) + QStringLiteral("B"),
     QByteArray("A\0B", 3) + QByteArray(12, '\0'), QStringLiteral("A") + bullets(1) + QStringLiteral("B") + bullets(12)},
    // No code: one "?" each, so later characters keep their places.
    {"noCode", WindowDriver::NameBox, QStringLiteral("a|b") + QChar(0x0416) + QStringLiteral("c"),
     QByteArray("a?b?c") + QByteArray(10, '\0'), QStringLiteral("a?b?c") + bullets(10)},
    {"fullName", WindowDriver::NameBox, QStringLiteral("ABCDEFGHIJKLMNO"), QByteArray("ABCDEFGHIJKLMNO"),
     QStringLiteral("ABCDEFGHIJKLMNO")},
};

class SaveTextTest : public LevelIoTest, public ::testing::WithParamInterface<TextCase> {};

} // namespace

TEST_P(SaveTextTest, TextIsStoredFilledAndShownFilled)
{
    const TextCase &c = GetParam();
    start();
    openRom();
    typeLevelAndReload(9);
    QByteArray expected = romBytes();
    const Box edit = c.edit;
    const int at = edit == NameBox ? rom::nameAt(9) : edit == AuthorBox ? rom::authorAt(9) : rom::hintAt(9);
    clearByKeys(edit);
    typeInto(edit, c.typed);
    ASSERT_EQ(field(edit), c.typed);
    save();
    expected.replace(at, c.stored.size(), c.stored);
    EXPECT_EQ(romBytes(), expected);
    EXPECT_EQ(field(edit), c.shown);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Texts, SaveTextTest, ::testing::ValuesIn(textCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The timer is clamped to 0..1275 and stored divided by 5; the edit then
// shows what was stored.
TEST_F(LevelIoTest, TimerIsStoredClampedAndShownAsStored)
{
    struct Case {
        QString text;
        int stored;
        QString shown;
    };
    const Case cases[] = {{"0", 0, "0"},         {"7", 1, "5"},         {"1200", 240, "1200"},
                          {"1203", 240, "1200"}, {"1275", 255, "1275"}, {"1300", 255, "1275"},
                          {"9999", 255, "1275"}, {"-5", 0, "0"},        {" 15", 3, "15"}};
    start();
    openRom();
    typeLevelAndReload(4);
    QByteArray expected = romBytes();
    for (const Case &c : cases) {
        setField(TimerBox, c.text);
        save();
        expected[rom::timerAt(4)] = static_cast<char>(c.stored);
        EXPECT_EQ(romBytes(), expected) << c.text.toStdString();
        EXPECT_EQ(field(TimerBox), c.shown) << c.text.toStdString();
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// Saving twice writes the same bytes and changes no edit the second time.
TEST_F(LevelIoTest, SecondSaveChangesNothing)
{
    start();
    openRom();
    typeLevelAndReload(2);
    setField(NameBox, QStringLiteral("Twice"));
    setField(TimerBox, QStringLiteral("333"));
    clearScreen();
    save();
    const QByteArray first = romBytes();
    const Shown after = shown();
    save();
    EXPECT_EQ(romBytes(), first);
    EXPECT_EQ(shown(), after);
}

// The save goes to the level loaded last, whatever the number edit shows.
TEST_F(LevelIoTest, SaveWritesTheLevelLoadedLast)
{
    start();
    openRom();
    typeLevelAndReload(3);
    QByteArray expected = romBytes();
    clearByKeys(NumberBox);
    typeInto(NumberBox, QStringLiteral("5"));
    clearByKeys(NameBox);
    typeInto(NameBox, QStringLiteral("Third"));
    save();
    expected.replace(rom::nameAt(3), 15, QByteArray("Third") + QByteArray(10, '\0'));
    EXPECT_EQ(romBytes(), expected);
    EXPECT_EQ(field(NumberBox), QStringLiteral("5"));
}

TEST_F(LevelIoTest, ArrowsAndOutOfRangeNumbersLoadTheLevelWithinRange)
{
    struct Case {
        QString before;
        const char *button;
        int level;
    };
    const Case cases[] = {{"1", "Button3", 1},  {"32", "Button4", 32}, {"5", "Button4", 6},
                          {"5", "Button3", 4},  {"40", "Button1", 32}, {"0", "Button1", 1},
                          {"999", "Button3", 32}, {"0", "Button4", 1}};
    start();
    openRom();
    const QByteArray bytes = romBytes();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.before.toStdString());
        typeLevelAndReload(c.level == 1 ? 2 : 1);   // something else on screen first
        setField(NumberBox, c.before);
        clickButton(c.button);
        expectShowsLevel(bytes, c.level);
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// A reload shows the level as the file holds it; the selections, their
// frames and the check boxes stay as they were.
TEST_F(LevelIoTest, ReloadDiscardsEditsAndShowsTheFile)
{
    start();
    openRom();
    typeLevelAndReload(6);
    const Shown loaded = shown();
    pickTile(0x41);
    clickCell(31);
    clickButton("CheckBox1");
    clearScreen();
    setField(AuthorBox, QStringLiteral("someone"));
    setField(TimerBox, QStringLiteral("5"));
    ASSERT_NE(shown(), loaded);
    const QPoint red = redFrame(), green = greenFrame();
    ASSERT_EQ(red, cellRect(31).topLeft() - QPoint(1, 1));

    reload();
    EXPECT_EQ(shown(), loaded);
    EXPECT_EQ(redFrame(), red);
    EXPECT_EQ(greenFrame(), green);
    EXPECT_EQ(pickedPicture(), 0x42);
    EXPECT_EQ(pickedCode(), QStringLiteral("41"));
    EXPECT_EQ(selectedCell(), 31);
    EXPECT_TRUE(checked("CheckBox1"));
    EXPECT_TRUE(checked("CheckBox2"));
}

TEST_F(LevelIoTest, NumberTypedBeforeOpenRomIsTheLevelLoaded)
{
    start();
    clearByKeys(NumberBox);
    typeInto(NumberBox, QStringLiteral("7"));
    openRom();
    expectShowsLevel(romBytes(), 7);
}

TEST_F(LevelIoTest, CancelledOpenRomChangesNothing)
{
    start();
    dialogs.fileAnswers.push_back(QString());
    clickButton("Button2");
    EXPECT_FALSE(control("Button1")->isEnabled());
    EXPECT_FALSE(imageOpen());

    openRom();
    typeLevelAndReload(12);
    const Shown before = shown();
    dialogs.fileAnswers.push_back(QString());
    clickButton("Button2");
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(imagePath(), romPath.toStdString());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(LevelIoTest, ClosingTheWindowWritesNothing)
{
    start();
    openRom();
    const QByteArray before = romBytes();
    clearScreen();
    setField(NameBox, QStringLiteral("unsaved"));
    form.reset();
    EXPECT_EQ(romBytes(), before);
}

// Key filters of the level number edit, with the keys a user presses. A key
// going down first holds the number within 1..32, as the text was before
// the key.
TEST_F(LevelIoTest, LevelNumberEditTakesOnlyDigitsAndHoldsItsBounds)
{
    struct Case {
        const char *name;
        QString before;
        std::function<void(QLineEdit *)> keys;
        QString after;
    };
    const Case cases[] = {
        {"backspace", "12", [](QLineEdit *e) { press(e, Qt::Key_End); press(e, Qt::Key_Backspace); }, "12"},
        {"letters", "12", [](QLineEdit *e) { type(e, QStringLiteral("ab- x")); }, "12"},
        {"delete", "12", [](QLineEdit *e) { press(e, Qt::Key_Home); press(e, Qt::Key_Delete); }, "2"},
        {"digits", "", [](QLineEdit *e) { type(e, QStringLiteral("29")); }, "29"},
        {"aboveOnNextKey", "45", [](QLineEdit *e) { press(e, Qt::Key_Left); }, "32"},
        {"belowOnNextKey", "0", [](QLineEdit *e) { press(e, Qt::Key_Right); }, "1"},
        {"boundBeforeChar", "", [](QLineEdit *e) { type(e, QStringLiteral("456")); }, "326"},
        {"emptyStaysSilent", "", [](QLineEdit *e) { press(e, Qt::Key_Left); type(e, QStringLiteral("x")); }, ""},
    };
    start();
    for (const Case &c : cases) {
        setField(NumberBox, c.before);
        c.keys(box(NumberBox));
        EXPECT_EQ(field(NumberBox), c.after) << c.name;
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// A number edit that is not a number: its own bounds stay silent, while
// "Reload level", "<" and ">" report it and load nothing.
TEST_F(LevelIoTest, EmptyNumberIsReportedOnlyByTheLoadingButtons)
{
    start();
    openRom();
    typeLevelAndReload(8);
    showWindow();
    const Shown before = shown();
    clearByKeys(NumberBox);
    pressKey(NumberBox, Qt::Key_Left);
    movePointer(box(NumberBox), QPoint(10, 10));
    movePointer(panel(), QPoint(474, 300));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    for (const char *name : {"Button1", "Button3", "Button4"})
        clickButton(name);
    const QString error = QStringLiteral("'' is not a valid integer value.");
    EXPECT_EQ(dialogs.errors, (QStringList{error, error, error}));
    Shown expected = before;
    expected.edits[0].clear();
    EXPECT_EQ(shown(), expected);
}

// The recovery file holds the unsaved changes within two seconds; a save, a
// Discard at Reload or at a load of another level and a normal exit remove it.
TEST_F(LevelIoTest, RecoveryFileLastsWhileChangesAreUnsaved)
{
    const std::pair<const char *, std::function<void()>> ends[] = {
        {"save", [&] { save(); }},
        {"reload", [&] { reload(); }},
        {"other level", [&] { typeLevelAndReload(9); }},
        {"close", [&] { form->close(); }},
    };
    for (const auto &[name, end] : ends) {
        SCOPED_TRACE(name);
        start();
        openRom();
        setField(HintBox, QStringLiteral("unsaved hint before ") + QString::fromLatin1(name));
        EXPECT_TRUE(within(2000, [&] { return recoveryFiles().size() == 1; }));
        end();
        EXPECT_EQ(recoveryFiles(), QStringList());
        form.reset();
    }
    EXPECT_EQ(QDir(dataFolder() + QStringLiteral("/recovery")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList());
}

#ifndef Q_OS_WIN   // signals and fork are POSIX's
// kill -9 of an editor with a painted cell and a typed name; the next start
// asks, Restore shows them unsaved, Save writes them; a start after asks nothing.
TEST_F(LevelIoTest, EditsOfAKilledEditorAreRestoredThenSaved)
{
    const QByteArray before = romBytes();
    const pid_t editor = ::fork();
    if (editor == 0) {
        start();
        openFromCommandLine(romPath, 7);
        pickTile(0x2A);
        clickCell(5);
        clearByKeys(NameBox);
        typeInto(NameBox, QStringLiteral("KEPT"));
        ::_exit(QCoreApplication::exec());
    }
    const bool written = within(10000, [&] {
        const QStringList files = recoveryFiles();
        QFile file(files.value(0));
        return !files.isEmpty() && file.open(QIODevice::ReadOnly) && file.readAll().contains("\nname KEPT\n");
    });
    ::kill(editor, SIGKILL);
    int status = 0;
    ::waitpid(editor, &status, 0);
    ASSERT_TRUE(written);
    ASSERT_TRUE(WIFSIGNALED(status));

    dialogs.recoveryChoices.push_back(RecoveryChoice::Restore);
    start();
    form->offerRecovery();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^WMBeditor\\|Level 7 of demo.nes has unsaved changes from an editor "
                                                  "that ended on \\d+ [A-Z][a-z]+ \\d{4} at \\d\\d:\\d\\d\\. Restore them\\?$"))
                    .match(dialogs.questions[0])
                    .hasMatch())
        << dialogs.questions[0].toStdString();
    EXPECT_EQ(shownCode(5), QStringLiteral("2A"));
    EXPECT_EQ(cellPicture(5), tile(QStringLiteral("2A")));
    EXPECT_EQ(field(NameBox), QStringLiteral("KEPT"));
    EXPECT_TRUE(title().startsWith(QStringLiteral("demo.nes, level 7*"))) << title().toStdString();
    EXPECT_EQ(menu(QStringLiteral("Edit"))->actions().at(0)->text(), QStringLiteral("&Undo Restore"));
    EXPECT_EQ(romBytes(), before);
    EXPECT_EQ(recoveryFiles().size(), 1);   // this editor's own

    save();
    const QByteArray after = romBytes();
    EXPECT_EQ(rom::byteAt(after, rom::mapAt(7) + 4), 0x2A);
    EXPECT_EQ(after.mid(rom::nameAt(7), 15), rom::textBytes(QStringLiteral("KEPT"), 15));
    EXPECT_EQ(recoveryFiles(), QStringList());
    form.reset();
    start();
    form->offerRecovery();
    EXPECT_EQ(dialogs.questions.size(), 1);
}
#endif

// Editors that ended without their exit (as a signal ends them) leave their
// edits. A start asks about each in the order they were written; edits of a
// level changed on the disk since are restored over the record they started
// from, so the save asks first; an image that is gone can only be
// discarded, unless a backup of it is kept.
TEST_F(LevelIoTest, LeftEditsAreAskedOneAfterTheOther)
{
    const QByteArray original = romBytes();
    const QString gone = dir.filePath(QStringLiteral("gone.nes"));
    ASSERT_TRUE(QFile::copy(romPath, gone));
    for (const auto &[image, level] : {std::pair{romPath, 2}, std::pair{romPath, 3}, std::pair{gone, 4}}) {
        start();
        openFromCommandLine(image, level);
        pickTile(0x33);
        clickCell(10);
        form.reset();
    }
    ASSERT_TRUE(QFile::remove(gone));
    QByteArray changed = original;
    changed[rom::nameAt(2)] = 'Z';
    writeRom(changed);

    dialogs.recoveryChoices = {RecoveryChoice::Restore, RecoveryChoice::Later, RecoveryChoice::Later};
    start();
    form->offerRecovery();
    const QString ended = QStringLiteral("has unsaved changes from an editor that ended on ");
    ASSERT_EQ(dialogs.questions.size(), 3);
    EXPECT_TRUE(dialogs.questions[0].startsWith(QStringLiteral("WMBeditor|Level 2 of demo.nes ") + ended));
    EXPECT_TRUE(dialogs.questions[0].endsWith(QStringLiteral("; level 2 was changed on disk since. Restore them?")));
    EXPECT_TRUE(dialogs.questions[1].startsWith(QStringLiteral("WMBeditor|Level 3 of demo.nes ") + ended));
    EXPECT_TRUE(dialogs.questions[1].endsWith(QStringLiteral(". Restore them?")));
    EXPECT_FALSE(dialogs.questions[1].contains(QStringLiteral("changed")));
    EXPECT_TRUE(dialogs.questions[2].startsWith(QStringLiteral("WMBeditor|Level 4 of gone.nes ") + ended));
    EXPECT_TRUE(dialogs.questions[2].endsWith(QStringLiteral(", but gone.nes no longer exists and no backup of it is kept. Discard them?|no Restore")));
    EXPECT_EQ(loadedLevel(), 2);
    EXPECT_EQ(shownCode(10), QStringLiteral("33"));
    EXPECT_EQ(field(NameBox), rom::textAt(original, rom::nameAt(2), 15));

    dialogs.overwriteChoices.push_back(OverwriteChoice::Overwrite);
    save();
    EXPECT_EQ(dialogs.questions.size(), 4);
    EXPECT_EQ(dialogs.questions.back(),
              QStringLiteral("WMBeditor|Level 2 of demo.nes was changed by another program since it was loaded."));
    QByteArray saved = original;
    saved[rom::mapAt(2) + 9] = 0x33;
    EXPECT_EQ(romBytes(), saved);

    form.reset();
    dialogs.questions.clear();
    dialogs.recoveryChoices = {RecoveryChoice::Discard, RecoveryChoice::Discard};
    start();
    form->offerRecovery();
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(recoveryFiles(), QStringList());
    EXPECT_EQ(romBytes(), saved);

    // Edits of an image that is gone since, but backed up before the save
    // above, go into a copy of that backup, shown unsaved.
    start();
    openFromCommandLine(romPath, 5);
    pickTile(0x33);
    clickCell(10);
    form.reset();
    ASSERT_TRUE(QFile::rename(romPath, romPath + QStringLiteral(".away")));
    const QString copy = dir.filePath(QStringLiteral("copy.nes"));
    dialogs.questions.clear();
    dialogs.recoveryChoices = {RecoveryChoice::Restore};
    dialogs.fileAnswers = {copy};
    start();
    form->offerRecovery();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(
        QStringLiteral(", but demo.nes no longer exists. Save them into a copy of its newest backup (")));
    EXPECT_TRUE(dialogs.questions[0].endsWith(QStringLiteral(")?|&Save As...")));
    QFile copied(copy);
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), changed);
    EXPECT_EQ(loadedLevel(), 5);
    EXPECT_EQ(shownCode(10), QStringLiteral("33"));
    EXPECT_TRUE(hasUnsavedChanges());
}
