// The undo history of map edits: plain C++, no Qt. A step is one user
// gesture (a cell click that changes a tile, a drag stroke, Clear screen, an
// Active select replacement) and holds, for every cell it changed, the
// cell's store text and picture before and after. Undo and redo hand a step
// back for the caller to apply, so the pictures and the store always travel
// together.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace wmb {

// One map cell as the editor shows it: its store text and its picture.
template <class Picture>
struct MapCellState {
    std::string code;
    Picture picture;
};

template <class Picture>
class MapHistory {
public:
    using CellState = MapCellState<Picture>;
    struct Change {
        int cell;   // 1..168
        CellState before;
        CellState after;
    };
    using Step = std::vector<Change>;   // each cell at most once, in first-change order

    // Steps kept for undo; beyond it the oldest step is dropped.
    static constexpr std::size_t DefaultLimit = 1000;

    explicit MapHistory(std::size_t limit = DefaultLimit) : mLimit(limit < 1 ? 1 : limit) {}

    // Opens a step (a gesture begins) named for the Edit menu ("Paint",
    // "Clear screen"). A step still open is committed first.
    void begin(std::string name = {})
    {
        commit();
        mRecording = true;
        mOpenName = std::move(name);
    }
    bool recording() const { return mRecording; }

    // Notes that `cell` changed from `before` to `after` within the open step.
    // A cell changed twice in one step keeps its first `before` and its last
    // `after`. Without an open step the change is a step of its own, named
    // `name`.
    void note(int cell, CellState before, CellState after, std::string name = {})
    {
        const bool single = !mRecording;
        if (single)
            begin(std::move(name));
        bool merged = false;
        for (Change &c : mOpen) {
            if (c.cell == cell) {
                c.after = std::move(after);
                merged = true;
                break;
            }
        }
        if (!merged)
            mOpen.push_back(Change{cell, std::move(before), std::move(after)});
        if (single)
            commit();
    }

    // Closes the open step. A step that noted no change is dropped; any other
    // becomes the newest undo step and clears the redo steps. True when a
    // step was recorded.
    bool commit()
    {
        const bool wasRecording = mRecording;
        mRecording = false;
        if (!wasRecording || mOpen.empty())
            return false;
        mRedo.clear();
        mUndo.push_back({std::move(mOpenName), std::move(mOpen)});
        mOpen.clear();
        mOpenName.clear();
        while (mUndo.size() > mLimit)
            mUndo.pop_front();
        return true;
    }

    // Forgets every step, the open one included (a level was loaded).
    void clear()
    {
        mRecording = false;
        mOpen.clear();
        mOpenName.clear();
        mUndo.clear();
        mRedo.clear();
    }

    bool canUndo() const { return !mUndo.empty() || (mRecording && !mOpen.empty()); }
    bool canRedo() const { return !mRedo.empty() && !(mRecording && !mOpen.empty()); }
    std::size_t undoCount() const { return mUndo.size(); }
    std::size_t redoCount() const { return mRedo.size(); }
    // Names of the steps undo and redo would hand back ("" when none).
    std::string undoName() const
    {
        if (mRecording && !mOpen.empty())
            return mOpenName;
        return mUndo.empty() ? std::string() : mUndo.back().name;
    }
    std::string redoName() const { return canRedo() ? mRedo.back().name : std::string(); }

    // The step to undo, or nullptr when there is none: the caller restores
    // each change's `before`. An open step is committed first. The pointer
    // stays valid until the history changes again.
    const Step *undo()
    {
        commit();
        if (mUndo.empty())
            return nullptr;
        mRedo.push_back(std::move(mUndo.back()));
        mUndo.pop_back();
        return &mRedo.back().changes;
    }

    // The step to redo, or nullptr: the caller applies each change's `after`.
    const Step *redo()
    {
        commit();
        if (mRedo.empty())
            return nullptr;
        mUndo.push_back(std::move(mRedo.back()));
        mRedo.pop_back();
        return &mUndo.back().changes;
    }

private:
    struct NamedStep {
        std::string name;
        Step changes;
    };
    std::size_t mLimit;
    bool mRecording = false;
    Step mOpen;
    std::string mOpenName;
    std::deque<NamedStep> mUndo;
    std::deque<NamedStep> mRedo;
};

} // namespace wmb
