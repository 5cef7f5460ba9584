// The timer edit and its arrows, the panel's bounds, the palette toggle and About.
#include "tform1.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs.h"
#include "editormenus.h"
#include "hexcode.h"
#include "leveldocument.h"

bool TForm1::Edit5KeyPress(QChar ch)
{
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

// The passive bound: a text that is not a whole number is left alone, and
// so is the timer the last load, import or save put there (a stored timer
// above the arrows' bound stays until the user edits it).
void TForm1::Edit5KeyDown()
{
    const std::string timer = Edit5->text().toStdString();
    if (mDocument->levelLoaded() && timer == wmb::fieldsFromRecord(mDocument->savedRecord()).timer)
        return;
    std::int32_t value = 0;
    if (wmb::tryStrToInt(timer, value) && value > wmb::TimerArrowMax)
        Edit5->setText(QString::number(wmb::TimerArrowMax));
}

void TForm1::Edit5MouseMove()
{
    Edit5KeyDown();
}

void TForm1::Button6Click()
{
    guarded([&] {
        const int value = wmb::StrToInt(Edit5->text().toStdString());
        Edit5->setText(QString::number(wmb::timerArrowDown(value)));
    });
}

void TForm1::Button7Click()
{
    guarded([&] {
        const int value = wmb::StrToInt(Edit5->text().toStdString());
        Edit5->setText(QString::number(wmb::timerArrowUp(value)));
    });
}

// Each bound on its own: a bad timer text does not skip the level bound.
void TForm1::Panel1MouseMove()
{
    Edit5KeyDown();
    std::int32_t level = 0;
    if (wmb::tryStrToInt(Edit1->text().toStdString(), level) && level > wmb::LevelCount)
        Edit1->setText(QString::number(wmb::LevelCount));
}

void TForm1::HidemenuClick()
{
    guarded([&] {
        const int narrow = mLayout.narrowWidth();
        const bool wide = Panel1->width() <= narrow;
        Panel1->resize(wide ? mLayout.wideWidth() : narrow, mLayout.height(wide));
        fitToPanel();
        if (Panel1->width() > narrow)
            Hidemenu->setText(QStringLiteral(" Hide tiles < "));
        if (Panel1->width() == narrow)
            Hidemenu->setText(QStringLiteral(" Open tiles > "));
        mMenus->showTiles()->setChecked(Panel1->width() > narrow);
    });
}

void TForm1::BitBtn1Click()
{
    guarded([&] {
        const QString site = QString::fromLatin1(WebsiteAddress);
        mDialogs.showAbout(this, QStringLiteral("WMBeditor  ver.1.0\n\nWebsite: ") + site +
                                     QStringLiteral("\nForum: ") + site +
                                     QStringLiteral("/forum/\n\nWMBeditor 1.0, MIT licence; Qt under the LGPL 3"));
    });
}
