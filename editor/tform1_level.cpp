// Open ROM, Reload level, the level arrows, the level number edit and Save level.
#include "tform1.h"

#include <QLineEdit>
#include <QPushButton>

#include "dialogs.h"
#include "errors.h"
#include "hexcode.h"
#include "leveltext.h"
#include "picturebox.h"

namespace {

std::string text(const QLineEdit *edit) { return edit->text().toStdString(); }

} // namespace

void TForm1::Button2Click()
{
    guarded([&] {
        const QString path = mDialogs.openFile(this, QStringLiteral("OpenDialog1"),
                                               QStringLiteral(" Open file Wumblers (USA) (Unl).nes"),
                                               QStringLiteral("Any file (*.*)|*.*"));
        if (path.isEmpty())
            return;
        // Open the new image before letting go of the old one, so a failure
        // keeps the image opened before.
        wmb::RomFile candidate;
        candidate.assign(path.toStdString());
        candidate.open();
        RomFile = std::move(candidate);
        mLevelLoaded = false;
        for (QPushButton *b : {Button1, Button3, Button4, Button5, Button27, Button28})
            b->setEnabled(true);
        loadLevel();
    });
}

void TForm1::Button1Click()
{
    guarded([&] { loadLevel(); });
}

int TForm1::levelNumberClamped()
{
    const int n = wmb::StrToInt(text(Edit1));
    if (n > wmb::LevelCount)
        Edit1->setText(QString::number(wmb::LevelCount));
    else if (n < 1)
        Edit1->setText(QStringLiteral("1"));
    return wmb::StrToInt(text(Edit1));
}

// Reads the whole level and every picture it needs before anything on
// screen or in the editor state changes, so a failed load changes nothing.
void TForm1::loadLevel()
{
    RomFile.open();
    const std::int32_t base = wmb::LevelBaseOf(levelNumberClamped());
    const wmb::LevelFields fields = wmb::fieldsFromRecord(wmb::readLevelRecord(RomFile, base));
    const auto pictures = mTiles.loadMap(fields.codes);
    LevelBase = base;
    mLevelLoaded = true;
    showLevel(fields, pictures);
    resetMapHistory();
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

void TForm1::Button3Click()
{
    guarded([&] {
        const int n = wmb::StrToInt(text(Edit1));
        Edit1->setText(n <= 1 ? QStringLiteral("1") : QString::number(n - 1));
        loadLevel();
    });
}

void TForm1::Button4Click()
{
    guarded([&] {
        const int n = wmb::StrToInt(text(Edit1));
        Edit1->setText(n >= wmb::LevelCount ? QString::number(wmb::LevelCount)
                                            : QString::number(n + 1));
        loadLevel();
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
// field bytes of the level loaded last. The edits change only after the
// bytes are on the disk.
void TForm1::saveLevel()
{
    if (!mLevelLoaded)
        throw wmb::NoLevelError();
    const wmb::LevelRecord record = wmb::recordFromFields(currentFields());
    RomFile.open();
    wmb::writeLevelRecord(RomFile, LevelBase, record);   // flushed to the disk
    Edit5->setText(QString::number(record.timer * wmb::TimerStep));
    Edit2->setText(QString::fromStdString(wmb::padLevelText(text(Edit2), wmb::NameLength)));
    Edit3->setText(QString::fromStdString(wmb::padLevelText(text(Edit3), wmb::AuthorLength)));
    Edit4->setText(QString::fromStdString(wmb::padLevelText(text(Edit4), wmb::HintLength)));
}
