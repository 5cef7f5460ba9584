// Open ROM, loading every level, navigation, the level number edit and Save
// level, checked against the ROM's bytes read straight from the file.
#include <QDir>

#include "windowsupport.h"

namespace {

class LevelIoTest : public WindowTest {
protected:
    // Checks that the window shows level n of `bytes` in full.
    void expectShowsLevel(const QByteArray &bytes, int level)
    {
        SCOPED_TRACE(testing::Message() << "level " << level);
        EXPECT_EQ(form->Edit1->text(), QString::number(level));
        EXPECT_EQ(form->document().levelBase(), rom::mapAt(level));
        for (int n = 1; n <= rom::Cells; ++n) {
            const QString code = rom::hexCode(rom::byteAt(bytes, rom::mapAt(level) + n - 1));
            ASSERT_EQ(form->storeText(n), code) << "cell " << n;
            ASSERT_EQ(imageOf(form->Image[n - 1]), tile(code)) << "cell " << n;
        }
        EXPECT_EQ(form->Edit5->text(), QString::number(rom::byteAt(bytes, rom::timerAt(level)) * 5));
        EXPECT_EQ(form->Edit2->text(), rom::textAt(bytes, rom::nameAt(level), 15));
        EXPECT_EQ(form->Edit3->text(), rom::textAt(bytes, rom::authorAt(level), 13));
        EXPECT_EQ(form->Edit4->text(), rom::textAt(bytes, rom::hintAt(level), 55));
    }

    // Level n of the open image: typed into the level number edit, then
    // "Reload level".
    void typeLevelAndReload(int level)
    {
        clearByKeys(form->Edit1);
        type(form->Edit1, QString::number(level));
        click(form->Button1);
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
    for (QPushButton *b : {form->Button1, form->Button3, form->Button4, form->Button5,
                           form->Button27, form->Button28})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
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
        click(form->Button5);
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
        click(form->Button5);
        ASSERT_EQ(romBytes(), expected) << "level " << level;
    }
    typeLevelAndReload(4);
    form->Panel1MouseMove();
    click(form->Pic[0x2A]);
    click(form->Image[6]);
    click(form->Button5);
    expected[rom::mapAt(4) + 6] = '\x2A';
    EXPECT_EQ(romBytes(), expected);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

namespace {

struct TextCase {
    const char *name;
    int edit;          // 2 name, 3 author, 4 hint
    QString typed;
    QByteArray stored;
    QString shown;     // the edit after the save
};

QString bullets(int n) { return QString(n, QChar(0x2022)); }

const TextCase textCases[] = {
    {"nameAbc", 2, QStringLiteral("ABC"), QByteArray("ABC") + QByteArray(12, '\0'),
     QStringLiteral("ABC") + bullets(12)},
    {"emptyHint", 4, QString(), QByteArray(55, '\0'), bullets(55)},
    {"cyrillicI", 3, QString(QChar(0x0406)) + QStringLiteral("van"),
     QByteArray("\x7C" "van") + QByteArray(9, '\0'), QString(QChar(0x0406)) + QStringLiteral("van") + bullets(9)},
    {"bulletTyped", 2, QStringLiteral("A") + bullets(1) + QStringLiteral("B"),
     QByteArray("A\0B", 3) + QByteArray(12, '\0'), QStringLiteral("A") + bullets(1) + QStringLiteral("B") + bullets(12)},
    // No code: one "?" each, so later characters keep their places.
    {"noCode", 2, QStringLiteral("a|b") + QChar(0x0416) + QStringLiteral("c"),
     QByteArray("a?b?c") + QByteArray(10, '\0'), QStringLiteral("a?b?c") + bullets(10)},
    {"fullName", 2, QStringLiteral("ABCDEFGHIJKLMNO"), QByteArray("ABCDEFGHIJKLMNO"),
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
    QLineEdit *edit = c.edit == 2 ? form->Edit2 : c.edit == 3 ? form->Edit3 : form->Edit4;
    const int at = c.edit == 2 ? rom::nameAt(9) : c.edit == 3 ? rom::authorAt(9) : rom::hintAt(9);
    clearByKeys(edit);
    type(edit, c.typed);
    ASSERT_EQ(edit->text(), c.typed);
    click(form->Button5);
    expected.replace(at, c.stored.size(), c.stored);
    EXPECT_EQ(romBytes(), expected);
    EXPECT_EQ(edit->text(), c.shown);
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
        form->Edit5->setText(c.text);
        click(form->Button5);
        expected[rom::timerAt(4)] = static_cast<char>(c.stored);
        EXPECT_EQ(romBytes(), expected) << c.text.toStdString();
        EXPECT_EQ(form->Edit5->text(), c.shown) << c.text.toStdString();
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// Saving twice writes the same bytes and changes no edit the second time.
TEST_F(LevelIoTest, SecondSaveChangesNothing)
{
    start();
    openRom();
    typeLevelAndReload(2);
    form->Edit2->setText(QStringLiteral("Twice"));
    form->Edit5->setText(QStringLiteral("333"));
    click(form->Button10);
    click(form->Button5);
    const QByteArray first = romBytes();
    const Shown after = shown();
    click(form->Button5);
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
    clearByKeys(form->Edit1);
    type(form->Edit1, QStringLiteral("5"));
    clearByKeys(form->Edit2);
    type(form->Edit2, QStringLiteral("Third"));
    click(form->Button5);
    expected.replace(rom::nameAt(3), 15, QByteArray("Third") + QByteArray(10, '\0'));
    EXPECT_EQ(romBytes(), expected);
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("5"));
}

TEST_F(LevelIoTest, ArrowsAndOutOfRangeNumbersLoadTheLevelWithinRange)
{
    struct Case {
        QString before;
        QPushButton *TForm1::*button;
        int level;
    };
    const Case cases[] = {{"1", &TForm1::Button3, 1},  {"32", &TForm1::Button4, 32},
                          {"5", &TForm1::Button4, 6},  {"5", &TForm1::Button3, 4},
                          {"40", &TForm1::Button1, 32}, {"0", &TForm1::Button1, 1},
                          {"999", &TForm1::Button3, 32}, {"0", &TForm1::Button4, 1}};
    start();
    openRom();
    const QByteArray bytes = romBytes();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.before.toStdString());
        typeLevelAndReload(c.level == 1 ? 2 : 1);   // something else on screen first
        form->Edit1->setText(c.before);
        click((*form).*c.button);
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
    click(form->Pic[0x41]);
    click(form->Image[30]);
    click(form->CheckBox1);
    click(form->Button10);
    form->Edit3->setText(QStringLiteral("someone"));
    form->Edit5->setText(QStringLiteral("5"));
    ASSERT_NE(shown(), loaded);
    const QPoint red = form->Red->pos(), green = form->Green->pos();
    ASSERT_EQ(red, form->Image[30]->pos() - QPoint(1, 1));

    click(form->Button1);
    EXPECT_EQ(shown(), loaded);
    EXPECT_EQ(form->Red->pos(), red);
    EXPECT_EQ(form->Green->pos(), green);
    EXPECT_EQ(form->SelectedTile, 0x42);
    EXPECT_EQ(form->SelectedTileCode, QStringLiteral("41"));
    EXPECT_EQ(form->SelectedCell, 31);
    EXPECT_TRUE(form->CheckBox1->isChecked());
    EXPECT_TRUE(form->CheckBox2->isChecked());
}

TEST_F(LevelIoTest, NumberTypedBeforeOpenRomIsTheLevelLoaded)
{
    start();
    clearByKeys(form->Edit1);
    type(form->Edit1, QStringLiteral("7"));
    openRom();
    expectShowsLevel(romBytes(), 7);
}

TEST_F(LevelIoTest, CancelledOpenRomChangesNothing)
{
    start();
    dialogs.fileAnswers.push_back(QString());
    click(form->Button2);
    EXPECT_FALSE(form->Button1->isEnabled());
    EXPECT_FALSE(form->document().hasImage());

    openRom();
    typeLevelAndReload(12);
    const Shown before = shown();
    dialogs.fileAnswers.push_back(QString());
    click(form->Button2);
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(form->document().imagePath(), romPath.toStdString());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(LevelIoTest, ClosingTheWindowWritesNothing)
{
    start();
    openRom();
    const QByteArray before = romBytes();
    click(form->Button10);
    form->Edit2->setText(QStringLiteral("unsaved"));
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
        form->Edit1->setText(c.before);
        c.keys(form->Edit1);
        EXPECT_EQ(form->Edit1->text(), c.after) << c.name;
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
    clearByKeys(form->Edit1);
    press(form->Edit1, Qt::Key_Left);
    movePointer(form->Edit1, QPoint(10, 10));
    movePointer(form->Panel1, QPoint(474, 300));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    for (QPushButton *b : {form->Button1, form->Button3, form->Button4})
        click(b);
    const QString error = QStringLiteral("'' is not a valid integer value.");
    EXPECT_EQ(dialogs.errors, (QStringList{error, error, error}));
    Shown expected = before;
    expected.edits[0].clear();
    EXPECT_EQ(shown(), expected);
}
