// The history of the writes into a whole image (copies, swaps and moves of
// level records): each step is one write with its name, undone by writing
// back the bytes it replaced and redone by writing its bytes again. A step
// moves only when its write succeeded, so a file changed by another program
// refuses the undo and the history stays where it was.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "levelset.h"

namespace wmb {

class RomFile;

// True when the write changes a byte of level `level`'s record.
bool writeCoversLevel(const ImageWrite &write, int level);

class ImageHistory {
public:
    // The oldest steps are forgotten beyond this many.
    static constexpr std::size_t Limit = 1000;

    bool canUndo() const { return mDone > 0; }
    bool canRedo() const { return mDone < mSteps.size(); }
    // The name of the step an undo or redo would take; empty when none.
    std::string undoName() const { return canUndo() ? mSteps[mDone - 1].name : std::string(); }
    std::string redoName() const { return canRedo() ? mSteps[mDone].name : std::string(); }
    // The step an undo would take back (its write as it was made; the undo
    // writes its undone()), and the one a redo would make; nullptr when none.
    const ImageWrite *undoWrite() const;
    const ImageWrite *redoWrite() const;

    // Writes into the file (applyWrite) and adds the step, forgetting the
    // steps undone before. An empty write adds nothing. Throws as applyWrite,
    // and the history is unchanged then.
    void write(RomFile &rom, const ImageWrite &write, std::string name);
    // Each returns the write it made; throws as applyWrite, moving nothing.
    ImageWrite undo(RomFile &rom);
    ImageWrite redo(RomFile &rom);
    void clear();
    // The file's bytes [offset, end) were written outside the history (the
    // editor saved or imported a level): when they meet the range of any
    // step, the whole history is forgotten, since its undos and redos would
    // no longer find the bytes they replace.
    void wroteOutside(std::int64_t offset, std::int64_t end);

private:
    struct Step {
        std::string name;
        ImageWrite write;
    };
    std::vector<Step> mSteps;
    std::size_t mDone = 0;   // steps [0, mDone) are in the file
};

} // namespace wmb
