// Writes into the whole image and their history: a copy, swap or move of
// levels is written at once, undone by writing back what it replaced.
#include "leveldocument.h"

#include "romfile.h"

void LevelDocument::writeImage(const wmb::ImageWrite &write, const std::string &stepName)
{
    if (write.empty())
        return;
    openForWriting();
    mImageHistory.write(mRom, write, stepName);
    followWrite(write);
}

void LevelDocument::undoImageWrite()
{
    if (!mImageHistory.canUndo())
        return;
    openForWriting();
    followWrite(mImageHistory.undo(mRom));
}

void LevelDocument::redoImageWrite()
{
    if (!mImageHistory.canRedo())
        return;
    openForWriting();
    followWrite(mImageHistory.redo(mRom));
}

// The shown level is read anew when the write covered its record; the
// overview follows the image.
void LevelDocument::followWrite(const wmb::ImageWrite &write)
{
    emit imageHistoryChanged();
    noteImage();
    if (levelLoaded() && wmb::writeCoversLevel(write, mLoaded))
        showFromDisk(prepare(mRom, mLoaded));
}
