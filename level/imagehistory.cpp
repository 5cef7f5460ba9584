#include "imagehistory.h"

namespace wmb {

bool writeCoversLevel(const ImageWrite &write, int level)
{
    if (write.empty() || !isLevelNumber(level))
        return false;
    const std::int64_t first = LevelBaseOf(level) + RecordFirstOffset;
    const std::int64_t end = LevelBaseOf(level) + RecordEndOffset;
    return write.offset < end && write.end() > first;
}

const ImageWrite *ImageHistory::undoWrite() const { return canUndo() ? &mSteps[mDone - 1].write : nullptr; }

const ImageWrite *ImageHistory::redoWrite() const { return canRedo() ? &mSteps[mDone].write : nullptr; }

void ImageHistory::write(RomFile &rom, const ImageWrite &write, std::string name)
{
    if (write.empty())
        return;
    applyWrite(rom, write);
    mSteps.resize(mDone);
    mSteps.push_back({std::move(name), write});
    if (mSteps.size() > Limit)
        mSteps.erase(mSteps.begin());
    mDone = mSteps.size();
}

ImageWrite ImageHistory::undo(RomFile &rom)
{
    if (!canUndo())
        return {};
    const ImageWrite back = mSteps[mDone - 1].write.undone();
    applyWrite(rom, back);
    --mDone;
    return back;
}

ImageWrite ImageHistory::redo(RomFile &rom)
{
    if (!canRedo())
        return {};
    const ImageWrite again = mSteps[mDone].write;
    applyWrite(rom, again);
    ++mDone;
    return again;
}

void ImageHistory::clear()
{
    mSteps.clear();
    mDone = 0;
}

void ImageHistory::wroteOutside(std::int64_t offset, std::int64_t end)
{
    for (const Step &step : mSteps) {
        if (offset < step.write.end() && step.write.offset < end) {
            clear();
            return;
        }
    }
}

} // namespace wmb
