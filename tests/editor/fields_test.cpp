// The timer edit and its arrows, the bounds held on mouse moves over the
// panel, the text edits' lengths, the palette toggle and the About box.
#include <QLabel>

#include "windowsupport.h"

namespace {

class FieldsTest : public WindowTest {
protected:
    // Texts the timer edit shows after each of `presses` clicks.
    QStringList clicksOn(QPushButton *button, const QString &start, int presses)
    {
        form->Edit5->setText(start);
        QStringList seen;
        for (int i = 0; i < presses; ++i) {
            click(button);
            seen << form->Edit5->text();
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
    QStringList down100;
    for (int v = 95; v >= 5; v -= 5)
        down100 << QString::number(v);
    down100 << "0" << "0";
    const Case cases[] = {
        {"100DownToZero", false, "100", 21, down100},
        {"5Down", false, "5", 1, {"0"}},
        {"6Down", false, "6", 1, {"1"}},
        {"7Down", false, "7", 2, {"2", "0"}},
        {"1195Up", true, "1195", 2, {"1200", "1200"}},
        {"1199Up", true, "1199", 2, {"1204", "1200"}},
        {"above1200Up", true, "1300", 1, {"1200"}},
        {"0Up", true, "0", 1, {"5"}},
        {"negativeDown", false, "-20", 1, {"0"}},
    };
    start();
    for (const Case &c : cases)
        EXPECT_EQ(clicksOn(c.up ? form->Button7 : form->Button6, c.start, c.presses), c.seen) << c.name;
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(FieldsTest, TimerArrowsReportATextThatIsNoNumber)
{
    start();
    clearByKeys(form->Edit5);
    click(form->Button6);
    click(form->Button7);
    form->Edit5->setText(QStringLiteral("1e3"));
    click(form->Button7);
    EXPECT_EQ(dialogs.errors, (QStringList{QStringLiteral("'' is not a valid integer value."),
                                           QStringLiteral("'' is not a valid integer value."),
                                           QStringLiteral("'1e3' is not a valid integer value.")}));
    EXPECT_EQ(form->Edit5->text(), QStringLiteral("1e3"));
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
        form->Edit5->setText(c.before);
        c.keys(form->Edit5);
        EXPECT_EQ(form->Edit5->text(), c.after) << c.name;
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(FieldsTest, TextEditsKeepTheirFieldLengths)
{
    start();
    const QString typed = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz");
    for (auto [edit, length] : {std::pair{form->Edit2, 15}, {form->Edit3, 13}, {form->Edit4, 55}}) {
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
        form->Edit5->setText(c.timer);
        form->Edit1->setText(c.level);
        movePointer(form->Panel1, Surface);
        EXPECT_EQ(form->Edit5->text(), c.timerAfter) << c.name;
        EXPECT_EQ(form->Edit1->text(), c.levelAfter) << c.name;
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(FieldsTest, MovesOverControlsLeaveThePanelBoundsAlone)
{
    start();
    showWindow();
    for (QWidget *w : std::initializer_list<QWidget *>{form->Label1, form->Image[20], form->Button10,
                                                       form->CheckBox1, form->Edit2}) {
        form->Edit5->setText(QStringLiteral("9999"));
        form->Edit1->setText(QStringLiteral("45"));
        movePointer(w, QPoint(3, 3));
        EXPECT_EQ(form->Edit5->text(), QStringLiteral("9999")) << w->objectName().toStdString();
        EXPECT_EQ(form->Edit1->text(), QStringLiteral("45")) << w->objectName().toStdString();
    }
    // Over the timer edit only the timer bound applies; over the number edit
    // only the number bounds.
    movePointer(form->Edit5, QPoint(5, 5));
    EXPECT_EQ(form->Edit5->text(), QStringLiteral("1200"));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("45"));
    form->Edit5->setText(QStringLiteral("9999"));
    movePointer(form->Edit1, QPoint(5, 5));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("32"));
    EXPECT_EQ(form->Edit5->text(), QStringLiteral("9999"));
}

// An emptied timer edit is not reported on every move; the arrows report it.
TEST_F(FieldsTest, EmptyTimerIsReportedByTheArrowsOnly)
{
    start();
    showWindow();
    clearByKeys(form->Edit5);
    for (int i = 0; i < 3; ++i)
        movePointer(form->Panel1, Surface + QPoint(0, i));
    movePointer(form->Edit5, QPoint(5, 5));
    press(form->Edit5, Qt::Key_Left);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    click(form->Button6);
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
        click(form->Hidemenu);
        EXPECT_EQ(form->Panel1->size(), QSize(s.width, 543));
        EXPECT_EQ(form->size(), QSize(s.width, form->MenuBar->height() + 543));
        EXPECT_EQ(form->Hidemenu->text(), s.caption);
        // The last palette picture is on screen only while the panel is wide.
        EXPECT_EQ(!form->Pic[255]->visibleRegion().isEmpty(), s.width == 1017);
    }
}

TEST_F(FieldsTest, AboutBoxShowsVersionWebsiteAndForum)
{
    start();
    click(form->BitBtn1);
    EXPECT_EQ(dialogs.abouts,
              QStringList{QStringLiteral("WMBeditor  ver.1.0\n\nWebsite: https://wmbeditor.example.org\n"
                                         "Forum: https://wmbeditor.example.org/forum/")});
}

TEST_F(FieldsTest, AltAPressesAbout)
{
    start();
    showWindow();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Edit2->setFocus();
    QTest::keyClick(form->Edit2, Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.abouts.size() == 1; }));
    EXPECT_TRUE(form->Edit2->text().isEmpty());
}
