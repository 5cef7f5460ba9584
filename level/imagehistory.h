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

// True when the write changes a byte of level `level`'s record (a byte of
// its range that it leaves as it was does not count).
bool writeCoversLevel(const ImageWrite &write, int level);

class ImageHistory {
public:
    // The oldest steps are forgotten beyond this many.
    static constexpr std::size_t Limit = 1000;

    bool canUndo() const { return mDone > 0; }
    bool canRedo() const { return mDone < mSteps.size(); }
    // Steps in the file, and all steps (those after done() are undone).
    std::size_t done() const { return mDone; }
    std::size_t size() const { return mSteps.size(); }
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
    // The steps undone are forgotten (a new change was made instead).
    void dropRedo();
    // The file's bytes at `offset` went from `before` to `after` outside the
    // history (the editor saved a level record). The newest step in the file
    // that changes a byte of that span takes in every byte the save changed
    // within its range, so that its undo gives the span back as it was
    // before the step and its redo brings the save back; a changed byte
    // outside its range joins the newest step that changes it. The steps
    // undone that change such a byte are forgotten, as after any new change.
    // Every other step stays as it was.
    void wroteOutside(std::int64_t offset, const std::string &before, const std::string &after);

private:
    struct Step {
        std::string name;
        ImageWrite write;
    };
    std::vector<Step> mSteps;
    std::size_t mDone = 0;   // steps [0, mDone) are in the file
};

} // namespace wmb
