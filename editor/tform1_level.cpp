// Open ROM, Reload level, the level arrows, the level number edit and Save level.
#include "tform1.h"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include "dialogs.h"
#include "errors.h"
#include "hexcode.h"
#include "leveldocument.h"
#include "pathnames.h"
#include "recovery.h"

namespace {

std::string text(const QLineEdit *edit) { return edit->text().toStdString(); }

} // namespace

void TForm1::Button2Click()
{
    guarded([&] {
        if (!confirmLeaveLevel())
            return;
        const QString path = mDialogs.openFile(this, QStringLiteral("OpenDialog1"),
                                               QStringLiteral(" Open file Wumblers (USA) (Unl).nes"),
                                               QStringLiteral("Any file (*.*)|*.*"));
        if (path.isEmpty())
            return;
        openRomAt(path, 0);
    });
}

// A failure leaves the editor as it was: the same image open, the same
// level loaded and savable. `level` 0 is the number box's level. A file that
// does not look like a ROM image is opened only when the user says so.
bool TForm1::openRomAt(const QString &path, int level)
{
    if (!confirmRomImage(path))
        return false;
    bool readOnly = false;
    wmb::RomFile rom = LevelDocument::openRomFile(pathFromQString(path), readOnly);
    mDocument->openImage(std::move(rom), readOnly, level ? level : levelNumberClamped());
    mSettings.noteRecentRom(path);
    return true;
}

void TForm1::Button1Click()
{
    guarded([&] {
        if (confirmLeaveLevel())
            loadLevel();
    });
}

void TForm1::openLevel(int n)
{
    guarded([&] {
        if (confirmLeaveLevel())
            loadLevelNumber(n);
    });
}

void TForm1::loadLevelNumber(int n) { mDocument->loadLevel(std::clamp(n, 1, wmb::LevelCount)); }

// The number box's level, 1 to 32. A number outside is read as the nearest
// level; the box itself is set when the level is shown.
int TForm1::levelNumberClamped()
{
    return std::clamp<int>(wmb::StrToInt(text(Edit1)), 1, wmb::LevelCount);
}

// The level of the number box.
void TForm1::loadLevel() { loadLevelNumber(levelNumberClamped()); }

// The arrows step from the number box's level; the box shows the new
// number once that level is shown.
void TForm1::Button3Click()
{
    guarded([&] {
        const int n = wmb::StrToInt(text(Edit1));
        if (confirmLeaveLevel())
            loadLevelNumber(n <= 1 ? 1 : n - 1);
    });
}

void TForm1::Button4Click()
{
    guarded([&] {
        const int n = wmb::StrToInt(text(Edit1));
        if (confirmLeaveLevel())
            loadLevelNumber(n >= wmb::LevelCount ? wmb::LevelCount : n + 1);
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
    guarded([&] { saveLevel(); });
}

// Converts everything first; only then opens the image and writes the
// field bytes of the level loaded last, after asking when another program
// changed them. Texts and a timer the user did not touch keep the bytes
// they were read from. Reload counts as done (the level shown has no
// unsaved changes then).
bool TForm1::saveLevel()
{
    const wmb::LevelRecord record = mDocument->recordToSave();
    mDocument->openForWriting();
    const OverwriteChoice choice = confirmOverwrite();
    if (choice == OverwriteChoice::Overwrite)
        mDocument->writeRecord(record);
    return choice != OverwriteChoice::Cancel;
}

// When the level's record on the disk is not what the editor last read or
// wrote there, another program changed it and the user decides: Overwrite,
// Reload (the level is shown as the disk holds it) or Cancel. Nothing is
// written here.
OverwriteChoice TForm1::confirmOverwrite()
{
    if (!mDocument->changedOnDisk())
        return OverwriteChoice::Overwrite;
    const QString name = shownFileName(qStringFromPath(mDocument->imagePath()));
    const OverwriteChoice choice = mDialogs.askOverwriteReloadCancel(
        this, QString::fromLatin1(ApplicationTitle),
        QStringLiteral("Level ") + QString::number(mDocument->loadedLevel()) + QStringLiteral(" of ") + name +
            QStringLiteral(" was changed by another program since it was loaded."));
    if (choice == OverwriteChoice::Reload)
        mDocument->reloadFromDisk();
    return choice;
}

bool TForm1::levelLoaded() const { return mDocument->levelLoaded(); }

int TForm1::loadedLevel() const { return mDocument->loadedLevel(); }

// Restore asks what opening the image and leaving the shown level ask.
void TForm1::offerRecovery()
{
    mRecovery->offerLeftovers(this, mDialogs, [this](const wmb::RecoveryFile &edits) {
        bool restored = false;
        guarded([&] {
            if (!confirmLeaveLevel())
                return;
            if ((!mDocument->hasImage() || mDocument->imagePath() != edits.imagePath) &&
                !openRomAt(qStringFromPath(edits.imagePath), edits.level))
                return;
            mDocument->restoreEdits(edits);
            restored = true;
        });
        return restored;
    });
}
