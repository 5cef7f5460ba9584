// The whole image from the editor: a tile replaced in the shown level, and
// a write of a range of records (a tile replaced in every level, a level
// taken from another image).
#include "leveldocument.h"

#include "levelset.h"
#include "tilepictures.h"

int LevelDocument::replaceTile(int from, int to)
{
    std::vector<int> cells;
    for (int n = 1; n <= wmb::MapCells; ++n)
        if (cell(n) == from)
            cells.push_back(n);
    if (cells.empty() || from == to)
        return 0;
    mTiles.load(to);
    fillCells(cells, to, QStringLiteral("Replace tile"));
    return static_cast<int>(cells.size());
}

bool LevelDocument::touchesShownLevel(const wmb::ImageWrite &write) const
{
    if (!levelLoaded() || write.empty())
        return false;
    const std::int64_t first = levelBase() + wmb::RecordFirstOffset, end = levelBase() + wmb::RecordEndOffset;
    for (std::size_t i = 0; i < write.bytes.size(); ++i) {
        const std::int64_t at = write.offset + static_cast<std::int64_t>(i);
        if (at >= first && at < end && write.bytes[i] != write.replaced[i])
            return true;
    }
    return false;
}

// The shown level is read from the image as it will be before anything is
// written, so a picture that cannot be read stops the write.
void LevelDocument::writeImageStep(const wmb::ImageWrite &write, const QString &stepName)
{
    Q_UNUSED(stepName);   // the image's history keeps no steps yet
    if (write.empty())
        return;
    openForWriting();
    const bool reload = touchesShownLevel(write);
    Prepared shown;
    if (reload) {
        std::string image = imageBytes();
        wmb::applyWrite(image, write);
        shown.level = mLoaded;
        shown.record = wmb::levelRecordIn(image, mLoaded);
        shown.fields = wmb::fieldsFromRecord(shown.record);
        mTiles.loadMap(shown.fields.codes);
    }
    wmb::applyWrite(mRom, write);
    if (reload)
        showFromDisk(shown);
    else
        noteImage();
}
