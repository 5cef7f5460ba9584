// The level being edited: cells, texts, the selection, the edit history and
// the region work on the map.
#include "leveldocument.h"

#include <QFileSystemWatcher>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "errors.h"
#include "hexcode.h"
#include "tilepictures.h"

namespace {

// Steps kept for undo; beyond it the oldest step is dropped.
constexpr int HistoryLimit = 1000;

} // namespace

// One step of the map's history: for every cell it changed, the code before
// and after. The cells of one open step merge into one command, each cell
// keeping its first code before and its last code after.
class CellsCommand : public QUndoCommand {
public:
    struct Change {
        int cell;
        int before;
        int after;
    };
    CellsCommand(LevelDocument &document, int step, const QString &name, Change change)
        : QUndoCommand(name), mDocument(document), mStep(step), mChanges{change}
    {
    }
    int id() const override { return 1; }
    void redo() override
    {
        for (const Change &c : mChanges)
            mDocument.applyCell(c.cell, c.after);
    }
    void undo() override
    {
        for (auto it = mChanges.rbegin(); it != mChanges.rend(); ++it)
            mDocument.applyCell(it->cell, it->before);
    }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const CellsCommand *>(other);
        if (next->mStep != mStep || mStep != mDocument.mOpenStep)
            return false;
        for (const Change &change : next->mChanges) {
            bool merged = false;
            for (Change &c : mChanges) {
                if (c.cell == change.cell) {
                    c.after = change.after;
                    merged = true;
                    break;
                }
            }
            if (!merged)
                mChanges.push_back(change);
        }
        // A gesture that put every cell back (a shape dragged back, Esc)
        // leaves no step: the stack drops an obsolete command.
        setObsolete(std::all_of(mChanges.begin(), mChanges.end(),
                                [](const Change &c) { return c.before == c.after; }));
        return true;
    }

private:
    LevelDocument &mDocument;
    int mStep;
    std::vector<Change> mChanges;
};

LevelDocument::LevelDocument(TilePictures &tiles, QObject *parent)
    : QObject(parent), mTiles(tiles), mHistory(new QUndoStack(this))
{
    mCells.fill(Blank);
    mTexts[static_cast<int>(LevelText::Timer)] = "100";
    mHistory->setUndoLimit(HistoryLimit);
}

// The map history goes first, without a word: clearing it as a child of a
// half-destroyed document would tell its listeners of steps of a document
// that no longer is.
LevelDocument::~LevelDocument()
{
    mHistory->blockSignals(true);
    delete mHistory;
}

std::string LevelDocument::cellText(int n) const
{
    const int code = cell(n);
    return code == Blank ? std::string() : wmb::IntToHexText(static_cast<std::uint32_t>(code));
}

std::array<std::string, wmb::MapCells> LevelDocument::codes() const
{
    std::array<std::string, wmb::MapCells> out;
    for (int n = 1; n <= wmb::MapCells; ++n)
        out[static_cast<std::size_t>(n - 1)] = cellText(n);
    return out;
}

const std::string &LevelDocument::text(LevelText which) const { return mTexts[static_cast<int>(which)]; }

void LevelDocument::setText(LevelText which, const std::string &text)
{
    std::string &held = mTexts[static_cast<int>(which)];
    if (held == text)
        return;
    held = text;
    noteEdited();
}

wmb::LevelFields LevelDocument::fields() const
{
    wmb::LevelFields f;
    f.codes = codes();
    f.timer = text(LevelText::Timer);
    f.name = text(LevelText::Name);
    f.author = text(LevelText::Author);
    f.hint = text(LevelText::Hint);
    return f;
}

wmb::LevelRecord LevelDocument::recordToSave() const
{
    if (!levelLoaded())
        throw wmb::NoLevelError();
    return wmb::recordToSave(fields(), mKnown.saved());
}

// The cells are compared at once; the texts are converted only when they or
// the record saved differ from the last time they were.
bool LevelDocument::wouldChangeRecord() const
{
    if (!levelLoaded())
        return false;
    const wmb::LevelRecord &saved = mKnown.saved();
    for (int n = 1; n <= wmb::MapCells; ++n)
        if (cell(n) != saved.tiles[static_cast<std::size_t>(n - 1)])
            return true;
    TextsVerdict now{{text(LevelText::Timer), text(LevelText::Name), text(LevelText::Author), text(LevelText::Hint)},
                     saved, false};
    if (!mTextsVerdict || mTextsVerdict->texts != now.texts || !(mTextsVerdict->saved == saved)) {
        now.changes = wmb::wouldChangeRecord(fields(), saved);
        mTextsVerdict = std::move(now);
    }
    return mTextsVerdict->changes;
}

void LevelDocument::select(const wmb::CellRect &rect)
{
    if (rect == mSelection)
        return;
    mSelection = rect;
    emit selectionChanged();
}

void LevelDocument::beginStep(const QString &name)
{
    endStep();
    mOpenStep = ++mStepSerial;
    mStepName = name;
}

void LevelDocument::endStep() { mOpenStep = 0; }

void LevelDocument::applyCell(int n, int code)
{
    mCells[static_cast<std::size_t>(n - 1)] = code;
    emit cellsChanged({n});
    noteEdited();
}

// A change to the code the cell holds is no change and makes no step.
void LevelDocument::setCell(int n, int code, const QString &stepName)
{
    if (cell(n) == code)
        return;
    const bool single = mOpenStep == 0;
    const int step = single ? ++mStepSerial : mOpenStep;
    mHistory->push(new CellsCommand(*this, step, single ? stepName : mStepName, {n, cell(n), code}));
}

void LevelDocument::fillCells(const std::vector<int> &cells, int code, const QString &stepName)
{
    beginStep(stepName);
    for (int n : cells)
        setCell(n, code);
    endStep();
}

// An open step is closed first: the gesture that opened it is over.
void LevelDocument::undo()
{
    endStep();
    mHistory->undo();
}

void LevelDocument::redo()
{
    endStep();
    mHistory->redo();
}

void LevelDocument::clearScreen()
{
    mTiles.load(0);
    fillCells(wmb::wholeMap().cells(), 0, QStringLiteral("Clear screen"));
}

std::string LevelDocument::selectionText() const
{
    return mSelection.empty() ? std::string() : wmb::gridText(codes(), mSelection);
}

std::string LevelDocument::emptySelection(const QString &stepName)
{
    if (mSelection.empty())
        return {};
    mTiles.load(0);
    std::string text = selectionText();
    fillCells(mSelection.cells(), 0, stepName);
    return text;
}

void LevelDocument::floodFill(int n, int code)
{
    fillCells(wmb::floodFillCells(codes(), n), code, QStringLiteral("Flood fill"));
}

// Every picture is read before any cell changes.
void LevelDocument::paste(const std::string &clipboardText, int selectedCell, int pointedCell)
{
    const auto grid = wmb::parseTileGrid(clipboardText);
    if (!grid)
        throw std::runtime_error("The clipboard holds no tiles: a paste takes 1 to 12 lines of 1 to 14 hexadecimal tile codes (such as 1F or 0) separated by blanks");
    const int target = wmb::pasteTargetCell(mSelection, selectedCell, pointedCell);
    const wmb::GridPlacement placed = wmb::placeGrid(*grid, target);
    std::vector<std::string> needed;
    for (const auto &[n, code] : placed.cells)
        needed.push_back(code);
    mTiles.loadMap(needed);
    beginStep(QStringLiteral("Paste"));
    for (const auto &[n, code] : placed.cells)
        setCell(n, static_cast<int>(wmb::HexTextToInt(code)));
    endStep();
    select(placed.selection);
}

void LevelDocument::beginChange() { ++mChangeDepth; }

void LevelDocument::endChange()
{
    if (--mChangeDepth == 0 && (mEditPending || mImagePending))
        flush();
}

void LevelDocument::noteEdited()
{
    mEditPending = true;
    if (mChangeDepth == 0)
        flush();
}

void LevelDocument::noteImage()
{
    mImagePending = true;
    mRecords.reset();
    if (mChangeDepth == 0)
        flush();
}

// Runs once a change is over, so that a gesture of many cells is followed
// once.
void LevelDocument::flush()
{
    const bool edit = std::exchange(mEditPending, false);
    const bool image = std::exchange(mImagePending, false);
    if (image)
        emit imageChanged();
    if (edit || image)
        emit edited();
    const bool now = wouldChangeRecord();
    if (now != mModifiedShown) {
        mModifiedShown = now;
        emit modifiedChanged(now);
    }
}

const LevelDocument::Records &LevelDocument::records()
{
    if (!mRecords)
        mRecords = readAllRecords();
    return *mRecords;
}

void LevelDocument::dropImageRedo()
{
    if (!mImageHistory.canRedo())
        return;
    mImageHistory.dropRedo();
    emit imageHistoryChanged();
}
