// Writes into the whole image and their history: a copy, swap or move of
// levels, a tile replaced in every level, a level taken from another image,
// each written at once and undone by writing back what it replaced.
#include "leveldocument.h"

#include "romfile.h"
#include "tilepictures.h"

void LevelDocument::writeImage(const wmb::ImageWrite &write, const std::string &stepName)
{
    if (write.empty())
        return;
    openForWriting();
    const auto shown = shownAfter(&write);
    mImageHistory.write(mRom, write, stepName);
    followWrite(shown);
}

void LevelDocument::undoImageWrite()
{
    if (!mImageHistory.canUndo())
        return;
    openForWriting();
    const wmb::ImageWrite undo = mImageHistory.undoWrite()->undone();
    const auto shown = shownAfter(&undo);
    mImageHistory.undo(mRom);
    followWrite(shown);
}

void LevelDocument::redoImageWrite()
{
    if (!mImageHistory.canRedo())
        return;
    openForWriting();
    const auto shown = shownAfter(mImageHistory.redoWrite());
    mImageHistory.redo(mRom);
    followWrite(shown);
}

// The shown level as the image will hold it after the write, when the write
// covers its record. Its pictures are read now, so one that cannot be read
// stops the step before anything is written.
std::optional<LevelDocument::Prepared> LevelDocument::shownAfter(const wmb::ImageWrite *write)
{
    if (!write || !levelLoaded() || !wmb::writeCoversLevel(*write, mLoaded))
        return std::nullopt;
    std::string image = imageBytes();
    wmb::applyWrite(image, *write);
    Prepared shown;
    shown.level = mLoaded;
    shown.record = wmb::levelRecordIn(image, mLoaded);
    shown.fields = wmb::fieldsFromRecord(shown.record);
    mTiles.loadMap(shown.fields.codes);
    return shown;
}

void LevelDocument::followWrite(const std::optional<Prepared> &shown)
{
    emit imageHistoryChanged();
    noteImage();
    if (shown)
        showFromDisk(*shown);
}

// The editor wrote the shown level's record itself.
void LevelDocument::forgetImageStepsOfShownLevel()
{
    const bool had = mImageHistory.canUndo() || mImageHistory.canRedo();
    mImageHistory.wroteOutside(levelBase() + wmb::RecordFirstOffset, levelBase() + wmb::RecordEndOffset);
    if (had && !mImageHistory.canUndo() && !mImageHistory.canRedo())
        emit imageHistoryChanged();
}
