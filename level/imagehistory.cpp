#include "imagehistory.h"

#include <algorithm>

namespace wmb {

bool writeCoversLevel(const ImageWrite &write, int level)
{
    if (write.empty() || !isLevelNumber(level))
        return false;
    const std::int64_t first = std::max<std::int64_t>(LevelBaseOf(level) + RecordFirstOffset, write.offset);
    const std::int64_t end = std::min<std::int64_t>(
        LevelBaseOf(level) + RecordEndOffset,
        write.offset + static_cast<std::int64_t>(std::max(write.bytes.size(), write.replaced.size())));
    for (std::int64_t p = first; p < end; ++p) {
        const auto i = static_cast<std::size_t>(p - write.offset);
        if (i >= write.bytes.size() || i >= write.replaced.size() || write.bytes[i] != write.replaced[i])
            return true;
    }
    return false;
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

void ImageHistory::dropRedo() { mSteps.resize(mDone); }

namespace {
// The index in the write of file byte p when the write changes it, else -1.
std::int64_t changedAt(const ImageWrite &write, std::int64_t p)
{
    const std::int64_t i = p - write.offset;
    if (i < 0 || i >= static_cast<std::int64_t>(write.bytes.size()))
        return -1;
    const auto u = static_cast<std::size_t>(i);
    return u >= write.replaced.size() || write.bytes[u] != write.replaced[u] ? i : -1;
}
} // namespace

void ImageHistory::wroteOutside(std::int64_t offset, const std::string &before, const std::string &after)
{
    const std::size_t size = std::min(before.size(), after.size());
    // The newest step in the file that changes any byte of the span takes in
    // every byte of it the write changed within the step's range, those the
    // step left as they were too: its undo then gives the span back as it
    // was before the step, never a mix of the step's bytes and the write's.
    Step *joins = nullptr;
    for (std::size_t s = mDone; s-- > 0 && !joins;)
        for (std::size_t k = 0; k < size && !joins; ++k)
            if (changedAt(mSteps[s].write, offset + static_cast<std::int64_t>(k)) >= 0)
                joins = &mSteps[s];
    bool undoneMet = false;
    for (std::size_t k = 0; k < size; ++k) {
        if (before[k] == after[k])
            continue;
        const std::int64_t p = offset + static_cast<std::int64_t>(k);
        for (std::size_t s = mDone; s < mSteps.size(); ++s)
            undoneMet = undoneMet || changedAt(mSteps[s].write, p) >= 0;
        if (joins && p >= joins->write.offset &&
            p < joins->write.offset + static_cast<std::int64_t>(joins->write.bytes.size())) {
            joins->write.bytes[static_cast<std::size_t>(p - joins->write.offset)] = after[k];
            continue;
        }
        for (std::size_t s = mDone; s-- > 0;) {
            const std::int64_t i = changedAt(mSteps[s].write, p);
            if (i >= 0) {
                mSteps[s].write.bytes[static_cast<std::size_t>(i)] = after[k];
                break;
            }
        }
    }
    if (undoneMet)
        dropRedo();
}

} // namespace wmb
