// Writes into the whole image and their history: a copy, swap or move of
// levels, a tile replaced in every level, a level taken from another image,
// each written at once and undone by writing back what it replaced.
#include "leveldocument.h"

#include "pathnames.h"
#include "romfile.h"
#include "tilepictures.h"
#include "wholefile.h"

void LevelDocument::writeImage(const wmb::ImageWrite &write, const std::string &stepName)
{
    if (write.empty())
        return;
    openForWriting();
    const auto shown = shownAfter(&write);
    backUpBefore(mRom.path(), [this] { return imageBytes(); });
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
    backUpBefore(mRom.path(), [this] { return imageBytes(); });
    mImageHistory.undo(mRom);
    followWrite(shown);
}

void LevelDocument::redoImageWrite()
{
    if (!mImageHistory.canRedo())
        return;
    openForWriting();
    const auto shown = shownAfter(mImageHistory.redoWrite());
    backUpBefore(mRom.path(), [this] { return imageBytes(); });
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

// The shown level's record bytes as the file holds them now.
std::string LevelDocument::shownRecordBytes()
{
    std::string bytes(static_cast<std::size_t>(wmb::RecordEndOffset - wmb::RecordFirstOffset), '\0');
    mRom.readAt(levelBase() + wmb::RecordFirstOffset, reinterpret_cast<std::uint8_t *>(bytes.data()), bytes.size());
    return bytes;
}

// The editor wrote the shown level's record itself, outside the history:
// the steps take the save in (see ImageHistory::wroteOutside).
void LevelDocument::noteWroteShownRecord(const std::string &before)
{
    if (mImageHistory.size() == 0)
        return;
    const std::size_t had = mImageHistory.size();
    mImageHistory.wroteOutside(levelBase() + wmb::RecordFirstOffset, before, shownRecordBytes());
    if (mImageHistory.size() != had)
        emit imageHistoryChanged();
}

void LevelDocument::backUpBefore(const std::string &path, const std::function<std::string()> &read)
{
    const std::string why = mBackups.beforeWrite(path, read);
    if (why.empty())
        return;
    const QString question = QStringLiteral("No backup of %1 could be made (%2). Write the level anyway?")
                                 .arg(shownFileName(qStringFromPath(path)), QString::fromUtf8(why.c_str()));
    if (!mAskWithoutBackup || !mAskWithoutBackup(question))
        throw WriteCancelled();
}

// The smallest range that holds every differing byte, so the step's undo
// writes back no more than it must.
wmb::ImageWrite LevelDocument::restoreWrite(const std::string &backupFile)
{
    const std::string backup = wmb::readWholeFile(backupFile);
    const std::string image = imageBytes();
    if (backup.size() != image.size())
        throw wmb::RuntimeError("The backup has " + std::to_string(backup.size()) + " bytes and the image " +
                                std::to_string(image.size()) + "; only a backup of the same size can be restored");
    std::size_t first = 0;
    while (first < image.size() && image[first] == backup[first])
        ++first;
    std::size_t end = image.size();
    while (end > first && image[end - 1] == backup[end - 1])
        --end;
    return {static_cast<std::int64_t>(first), backup.substr(first, end - first), image.substr(first, end - first)};
}

