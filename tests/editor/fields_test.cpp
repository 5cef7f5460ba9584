// The timer edit and its arrows, the bounds held on mouse moves over the
// panel, the text edits' lengths, the palette toggle and the About box.
#include <QLabel>

#include "windowsupport.h"

namespace {

class FieldsTest : public WindowTest {
protected:
    // Texts the timer edit shows after each of `presses` clicks.
    QStringList clicksOn(const char *button, const QString &start, int presses)
    {
        setField(TimerBox, start);
        QStringList seen;
        for (int i = 0; i < presses; ++i) {
            clickButton(button);
            seen << field(TimerBox);
        }
        return seen;
    }
    // A point of the panel's own surface: right of the map, above the buttons.
    static constexpr QPoint Surface{474, 300};
};

} // namespace

TEST_F(FieldsTest, TimerArrowsStepByFiveWithinZeroAnd1200)
{
    struct Case {
        const char *name;
        bool up;
        QString start;
        int presses;
        QStringList seen;
    };
    // The steps themselves are the level core's; here each arrow applies its own.
    const Case cases[] = {
        {"7Down", false, "7", 2, {"2", "0"}},
        {"1199Up", true, "1199", 2, {"1204", "1200"}},
    };
    start();
    for (const Case &c : cases)
        EXPECT_EQ(clicksOn(c.up ? "Button7" : "Button6", c.start, c.presses), c.seen) << c.name;
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(FieldsTest, TimerArrowsReportATextThatIsNoNumber)
{
    start();
    clearByKeys(TimerBox);
    clickButton("Button6");
    clickButton("Button7");
    setField(TimerBox, QStringLiteral("1e3"));
    clickButton("Button7");
    EXPECT_EQ(dialogs.errors, (QStringList{QStringLiteral("'' is not a valid integer value."),
                                           QStringLiteral("'' is not a valid integer value."),
                                           QStringLiteral("'1e3' is not a valid integer value.")}));
    EXPECT_EQ(field(TimerBox), QStringLiteral("1e3"));
}

// Key filters of the timer edit with the keys a user presses. A key going
// down first lowers a value above 1200, as the text was before the key.
TEST_F(FieldsTest, TimerEditTakesOnlyDigitsAndHoldsItsBound)
{
    struct Case {
        const char *name;
        QString before;
        std::function<void(QLineEdit *)> keys;
        QString after;
    };
    const Case cases[] = {
        {"backspace", "100", [](QLineEdit *e) { press(e, Qt::Key_End); press(e, Qt::Key_Backspace); }, "100"},
        {"refused", "100", [](QLineEdit *e) { type(e, QStringLiteral("a- .")); }, "100"},
        {"delete", "100", [](QLineEdit *e) { press(e, Qt::Key_Home); press(e, Qt::Key_Delete); }, "00"},
        {"typed9999", "", [](QLineEdit *e) { type(e, QStringLiteral("9999")); }, "9999"},
        {"lengthFour", "", [](QLineEdit *e) { type(e, QStringLiteral("10000")); }, "1000"},
        {"nextKeyLowers", "9999", [](QLineEdit *e) { press(e, Qt::Key_Left); }, "1200"},
        {"1200Stays", "1200", [](QLineEdit *e) { press(e, Qt::Key_Left); }, "1200"},
        {"emptyIsSilent", "", [](QLineEdit *e) { press(e, Qt::Key_Left); type(e, QStringLiteral("x")); }, ""},
    };
    start();
    for (const Case &c : cases) {
        setField(TimerBox, c.before);
        c.keys(box(TimerBox));
        EXPECT_EQ(field(TimerBox), c.after) << c.name;
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(FieldsTest, TextEditsKeepTheirFieldLengths)
{
    start();
    const QString typed = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz");
    for (auto [edit, length] : {std::pair{box(NameBox), 15}, {box(AuthorBox), 13}, {box(HintBox), 55}}) {
        type(edit, QStringLiteral("|") + typed);
        EXPECT_EQ(edit->text(), (QStringLiteral("|") + typed).left(length)) << length;
    }
}

// Mouse moves over the panel's own surface hold the timer at 1200 and the
// level number at 32, each on its own; moves over a control do not.
TEST_F(FieldsTest, PanelSurfaceHoldsTheBounds)
{
    struct Case {
        const char *name;
        QString timer, level;
        QString timerAfter, levelAfter;
    };
    const Case cases[] = {
        {"both", "9999", "45", "1200", "32"},
        {"1204", "1204", "7", "1200", "7"},
        {"zeroNotRaised", "100", "0", "100", "0"},
        {"emptyTimer", "", "45", "", "32"},
        {"emptyLevel", "1300", "", "1200", ""},
        {"inRange", "1200", "32", "1200", "32"},
    };
    start();
    showWindow();
    for (const Case &c : cases) {
        setField(TimerBox, c.timer);
        setField(NumberBox, c.level);
        movePointer(panel(), Surface);
        EXPECT_EQ(field(TimerBox), c.timerAfter) << c.name;
        EXPECT_EQ(field(NumberBox), c.levelAfter) << c.name;
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(FieldsTest, MovesOverControlsLeaveThePanelBoundsAlone)
{
    start();
    showWindow();
    const std::pair<QWidget *, QPoint> controls[] = {
        {control("Label1"), {3, 3}}, {panel(), cellRect(21).topLeft() + QPoint(3, 3)},
        {control("Button10"), {3, 3}}, {control("CheckBox1"), {3, 3}}, {box(NameBox), {3, 3}}};
    for (auto [w, at] : controls) {
        setField(TimerBox, QStringLiteral("9999"));
        setField(NumberBox, QStringLiteral("45"));
        movePointer(w, at);
        EXPECT_EQ(field(TimerBox), QStringLiteral("9999")) << w->objectName().toStdString();
        EXPECT_EQ(field(NumberBox), QStringLiteral("45")) << w->objectName().toStdString();
    }
    // Over the timer edit only the timer bound applies; over the number edit
    // only the number bounds.
    movePointer(box(TimerBox), QPoint(5, 5));
    EXPECT_EQ(field(TimerBox), QStringLiteral("1200"));
    EXPECT_EQ(field(NumberBox), QStringLiteral("45"));
    setField(TimerBox, QStringLiteral("9999"));
    movePointer(box(NumberBox), QPoint(5, 5));
    EXPECT_EQ(field(NumberBox), QStringLiteral("32"));
    EXPECT_EQ(field(TimerBox), QStringLiteral("9999"));
}

// An emptied timer edit is not reported on every move; the arrows report it.
TEST_F(FieldsTest, EmptyTimerIsReportedByTheArrowsOnly)
{
    start();
    showWindow();
    clearByKeys(TimerBox);
    for (int i = 0; i < 3; ++i)
        movePointer(panel(), Surface + QPoint(0, i));
    movePointer(box(TimerBox), QPoint(5, 5));
    pressKey(TimerBox, Qt::Key_Left);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    clickButton("Button6");
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("'' is not a valid integer value.")});
}

TEST_F(FieldsTest, PaletteToggleWidensAndNarrowsTheWindow)
{
    struct Step {
        int width;
        QString caption;
    };
    const Step steps[] = {{1017, " Hide tiles < "}, {480, " Open tiles > "}, {1017, " Hide tiles < "}};
    start();
    showWindow();
    for (const Step &s : steps) {
        clickButton("Hidemenu");
        EXPECT_EQ(panel()->size(), QSize(s.width, 543));
        EXPECT_EQ(form->size(), QSize(s.width, control("MenuBar")->height() + 543 + control("StatusBar")->height()));
        EXPECT_EQ(control("StatusBar")->width(), s.width);
        EXPECT_EQ(control<QPushButton>("Hidemenu")->text(), s.caption);
        // The last palette picture is on screen only while the panel is wide.
        EXPECT_EQ(!paletteView()->visibleRegion().intersected(paletteView()->localRect(256)).isEmpty(), s.width == 1017);
    }
}

TEST_F(FieldsTest, AboutBoxShowsVersionWebsiteAndForum)
{
    start();
    clickButton("BitBtn1");
    EXPECT_EQ(dialogs.abouts,
              QStringList{QStringLiteral("WMBeditor  ver.1.0\n\nWebsite: https://wmbeditor.example.org\n"
                                         "Forum: https://wmbeditor.example.org/forum/\n\n"
                                         "WMBeditor 1.0, MIT licence; Qt under the LGPL 3")});
}

TEST_F(FieldsTest, AltAPressesAbout)
{
    start();
    showWindow();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    box(NameBox)->setFocus();
    QTest::keyClick(box(NameBox), Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.abouts.size() == 1; }));
    EXPECT_TRUE(field(NameBox).isEmpty());
}
