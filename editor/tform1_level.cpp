// Open ROM, Reload level, the level arrows, the level number edit and Save level.
#include "tform1.h"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include "dialogs.h"
#include "errors.h"
#include "hexcode.h"
#include "leveltext.h"
#include "pathnames.h"
#include "picturebox.h"

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

// Opens the image and reads the level before letting go of the image opened
// before, so a failure leaves the editor as it was: the same image open, the
// same level loaded and savable, the same buttons enabled. `level` 0 is the
// number box's level. A file that does not look like a ROM image is opened
// only when the user says so.
bool TForm1::openRomAt(const QString &path, int level)
{
    if (!confirmRomImage(path))
        return false;
    bool readOnly = false;
    wmb::RomFile candidate = openRomFile(path, readOnly);
    const PreparedLevel prepared = prepareLevel(candidate, level ? level : levelNumberClamped());
    RomFile = std::move(candidate);
    mRomReadOnly = readOnly;
    mRomMissing = false;
    watchImage();
    for (QPushButton *b : {Button1, Button3, Button4, Button5, Button27, Button28})
        b->setEnabled(true);
    showPrepared(prepared);
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

void TForm1::loadLevelNumber(int n)
{
    reopenRom();
    showPrepared(prepareLevel(RomFile, std::clamp(n, 1, wmb::LevelCount)));
}

// The number box's level, 1 to 32. A number outside is read as the nearest
// level; the box itself is set when the level is shown.
int TForm1::levelNumberClamped()
{
    return std::clamp<int>(wmb::StrToInt(text(Edit1)), 1, wmb::LevelCount);
}

// Reads the whole level and every picture it needs; nothing on screen or in
// the editor state changes.
TForm1::PreparedLevel TForm1::prepareLevel(wmb::RomFile &rom, int level) const
{
    PreparedLevel prepared;
    prepared.level = level;
    prepared.record = wmb::readLevelRecord(rom, wmb::LevelBaseOf(level));
    prepared.fields = wmb::fieldsFromRecord(prepared.record);
    prepared.pictures = mTiles.loadMap(prepared.fields.codes);
    return prepared;
}

// Shows a level that was read whole; the number box names it.
void TForm1::showPrepared(const PreparedLevel &level)
{
    std::int32_t shown = 0;
    if (!wmb::tryStrToInt(text(Edit1), shown) || shown != level.level)
        Edit1->setText(QString::number(level.level));
    LevelBase = wmb::LevelBaseOf(level.level);
    mLoadedLevel = level.level;
    mKnown.set(level.record);
    mLevelLoaded = true;
    showLevel(level.fields, level.pictures);
    resetMapHistory();
    emit levelShown();
    imageChanged();
}

// The level of the number box.
void TForm1::loadLevel()
{
    loadLevelNumber(levelNumberClamped());
}

void TForm1::showLevel(const wmb::LevelFields &fields,
                       const std::array<QPixmap, wmb::MapCells> &pictures)
{
    for (int i = 0; i < wmb::MapCells; ++i) {
        Image[i]->setPicture(pictures[i]);
        setStoreText(i + 1, QString::fromStdString(fields.codes[i]));
    }
    Edit5->setText(QString::fromStdString(fields.timer));
    Edit2->setText(QString::fromStdString(fields.name));
    Edit3->setText(QString::fromStdString(fields.author));
    Edit4->setText(QString::fromStdString(fields.hint));
}

wmb::LevelFields TForm1::currentFields() const
{
    wmb::LevelFields fields;
    for (int n = 1; n <= wmb::MapCells; ++n)
        fields.codes[n - 1] = storeText(n).toStdString();
    fields.timer = text(Edit5);
    fields.name = text(Edit2);
    fields.author = text(Edit3);
    fields.hint = text(Edit4);
    return fields;
}

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
// they were read from. The edits change only after the bytes are on the
// disk, and then show what was stored: filled to their fields' lengths, "?"
// for a character without a code. Reload counts as done (the level shown
// has no unsaved changes then).
bool TForm1::saveLevel()
{
    const wmb::LevelRecord record = recordToSave();
    refuseReadOnlyRom();
    RomFile.open();
    const OverwriteChoice choice = confirmOverwrite();
    if (choice == OverwriteChoice::Overwrite) {
        wmb::writeLevelRecord(RomFile, LevelBase, record);   // flushed to the disk
        showSaved(record);
    }
    return choice != OverwriteChoice::Cancel;
}

// Reads the level's record from the freshly opened image. When it is not
// what the editor last read or wrote there, another program changed it and
// the user decides: Overwrite, Reload (the level is shown as the disk holds
// it) or Cancel. Nothing is written here.
OverwriteChoice TForm1::confirmOverwrite()
{
    if (!mKnown.changedByOther(wmb::readLevelRecord(RomFile, LevelBase)))
        return OverwriteChoice::Overwrite;
    const QString name = shownFileName(qStringFromPath(RomFile.path()));
    const OverwriteChoice choice = mDialogs.askOverwriteReloadCancel(
        this, QString::fromLatin1(ApplicationTitle),
        QStringLiteral("Level ") + QString::number(mLoadedLevel) + QStringLiteral(" of ") + name +
            QStringLiteral(" was changed by another program since it was loaded."));
    if (choice == OverwriteChoice::Reload)
        showFromDisk(prepareLevel(RomFile, mLoadedLevel));
    return choice;
}

void TForm1::showFromDisk(const PreparedLevel &level)
{
    mKnown.set(level.record);
    showLevel(level.fields, level.pictures);
    resetMapHistory();
    imageChanged();
}

// The record is on the disk: the edits show what was stored.
void TForm1::showSaved(const wmb::LevelRecord &record)
{
    mKnown.set(record);
    const wmb::LevelFields stored = wmb::fieldsFromRecord(record);
    Edit5->setText(QString::fromStdString(stored.timer));
    Edit2->setText(QString::fromStdString(stored.name));
    Edit3->setText(QString::fromStdString(stored.author));
    Edit4->setText(QString::fromStdString(stored.hint));
    imageChanged();
}
