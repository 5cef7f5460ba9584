// Open ROM, Reload level, the level arrows, the level number edit, Save
// level, Export level and Import level; the title, closing the window, a
// file dropped on it and an image opened from the command line.
#include "tform1.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include "dialogs.h"
#include "editorsession.h"
#include "hexcode.h"
#include "leveldocument.h"
#include "recovery.h"

namespace {

std::string text(const QLineEdit *edit) { return edit->text().toStdString(); }

} // namespace

void TForm1::Button2Click()
{
    guarded([&] { mSession->openRom([this] { return levelNumberClamped(); }); });
}

void TForm1::Button1Click()
{
    guarded([&] {
        if (mSession->confirmLeaveLevel())
            mSession->loadLevel(levelNumberClamped());
    });
}

int TForm1::levelNumberClamped()
{
    return std::clamp<int>(wmb::StrToInt(text(Edit1)), 1, wmb::LevelCount);
}

// The arrows step from the number box's level; the box shows the new
// number once that level is shown.
void TForm1::Button3Click()
{
    guarded([&] {
        const int n = wmb::StrToInt(text(Edit1));
        mSession->openLevel(n <= 1 ? 1 : n - 1);
    });
}

void TForm1::Button4Click()
{
    guarded([&] {
        const int n = wmb::StrToInt(text(Edit1));
        mSession->openLevel(n >= wmb::LevelCount ? wmb::LevelCount : n + 1);
    });
}

bool TForm1::Edit1KeyPress(QChar ch)
{
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

// The passive bound: a text that is not a whole number is left alone.
void TForm1::Edit1KeyDown()
{
    std::int32_t n = 0;
    if (!wmb::tryStrToInt(text(Edit1), n))
        return;
    if (n > wmb::LevelCount)
        Edit1->setText(QString::number(wmb::LevelCount));
    if (wmb::tryStrToInt(text(Edit1), n) && n < 1)
        Edit1->setText(QStringLiteral("1"));
}

void TForm1::Edit1MouseMove()
{
    Edit1KeyDown();
}

void TForm1::Button5Click()
{
    guarded([&] { mSession->saveLevel(); });
}

void TForm1::offerRecovery()
{
    mRecovery->offerLeftovers(this, mDialogs, [this](const wmb::RecoveryFile &edits) {
        bool restored = false;
        guarded([&] { restored = mSession->restoreLeftEdits(edits); });
        return restored;
    });
}

void TForm1::Button27Click()
{
    guarded([&] { mSession->exportLevel(Edit1->text()); });
}

// Cancelling the dialog changes nothing: no save and no reload.
void TForm1::Button28Click()
{
    guarded([&] {
        const QString path = mDialogs.openFile(this, QStringLiteral("OpenDialog2"),
                                               QStringLiteral(" Please, open level file..."),
                                               QStringLiteral("level files|*.level"));
        if (path.isEmpty())
            return;
        mSession->importLevel(path);
    });
}

void TForm1::closeEvent(QCloseEvent *event)
{
    bool leave = false;
    guarded([&] { leave = mSession->confirmLeaveLevel(); });
    if (leave) {
        mRecovery->discard();
        event->accept();
    } else {
        event->ignore();
    }
}

bool TForm1::openRomImage(const QString &path, int level)
{
    bool opened = false;
    guarded([&] { opened = mSession->openRomAfterQuestion(path, level, [this] { return levelNumberClamped(); }); });
    return opened;
}

void TForm1::dropFile(const QString &path)
{
    guarded([&] { mSession->dropFile(path, [this] { return levelNumberClamped(); }); });
}

void TForm1::refreshTitle() { setWindowTitle(mSession->windowTitle()); }
