// The map's gestures and its selection: painting strokes, picking, the
// frame, select drags, flood fill, and the region commands.
#include "editorsession.h"

#include "leveldocument.h"
#include "region.h"

#include <algorithm>
#include <utility>

void EditorSession::frameCell(int n)
{
    SelectedCell = n;
    emit frameChanged();
}

void EditorSession::clickCell(int n)
{
    if (SelectedTile != 0)
        mDocument.setCell(n, pickedCode());
    frameCell(n);
}

void EditorSession::clickPicture(int n, bool activeSelect)
{
    pickPicture(n);
    // Active select: the cell framed last shows the picked tile, and its
    // store text follows so that a save writes what is shown.
    if (SelectedCell != 0 && activeSelect)
        mDocument.setCell(SelectedCell, pickedCode(), QStringLiteral("Active select"));
}

const std::array<EditorSession::ToolCommand, 5> &EditorSession::toolCommands()
{
    static const std::array<ToolCommand, 5> tools{{
        {Tool::Pen, QStringLiteral("Pen"), QStringLiteral("&Pen\tB"), Qt::Key_B},
        {Tool::Rectangle, QStringLiteral("Rectangle"), QStringLiteral("&Rectangle\tR"), Qt::Key_R},
        {Tool::Line, QStringLiteral("Line"), QStringLiteral("&Line\tL"), Qt::Key_L},
        {Tool::Fill, QStringLiteral("Fill"), QStringLiteral("&Fill\tF"), Qt::Key_F},
        {Tool::Select, QStringLiteral("Select"), QStringLiteral("&Select\tS"), Qt::Key_S},
    }};
    return tools;
}

void EditorSession::setTool(Tool tool)
{
    if (tool == mTool)
        return;
    mTool = tool;
    emit toolChanged();
}

bool EditorSession::chooseToolByKey(int key)
{
    for (const ToolCommand &t : toolCommands())
        if (t.key == key) {
            setTool(t.tool);
            return true;
        }
    return false;
}

void EditorSession::pressCell(int n, Press press)
{
    switch (press) {
    case Press::Pick:
        // A cell whose store text is no tile code picks nothing; nor does a
        // right press while a stroke is open.
        if (!mDocument.stepOpen() && mDocument.cell(n) != LevelDocument::Blank)
            pickPicture(mDocument.cell(n) + 1);
        return;
    case Press::Fill:
        if (SelectedTile != 0)
            mDocument.floodFill(n, pickedCode());
        return;
    case Press::Select:
    case Press::Paint:
        pressTool(n, press);
        return;
    }
}

// Every gesture keeps what it changes, so that Esc can put it back; its
// cells change as one open step of the document, which forgets a step
// whose cells end as they were.
void EditorSession::pressTool(int n, Press press)
{
    const Tool tool = press == Press::Select ? Tool::Select : mTool;
    Gesture g{tool, n, SelectedTile != 0 ? pickedCode() : -1, {}, mDocument.selection(), SelectedCell, {}};
    for (int cell = 1; cell <= wmb::MapCells; ++cell)
        g.before[static_cast<std::size_t>(cell - 1)] = mDocument.cell(cell);
    mGesture = g;
    if (tool == Tool::Select) {
        // With Shift a click selects from the framed cell; the tool's from
        // the pressed cell, which it frames.
        mSelectPress = n;
        mSelectDragged = false;
        if (press == Press::Paint)
            frameCell(n);
        mDocument.select(wmb::cellRectBetween(press == Press::Select && SelectedCell != 0 ? SelectedCell : n, n));
        return;
    }
    // The Fill tool fills as a Ctrl+click does: the selection and the frame stay.
    const bool fill = tool == Tool::Fill && g.code >= 0;
    if (!fill)
        mDocument.select({});
    mDocument.beginStep(tool == Tool::Pen ? QStringLiteral("Paint") : toolCommands()[static_cast<std::size_t>(tool)].name);
    mStrokeCell = n;
    if (fill) {
        for (const int cell : wmb::floodFillCells(mDocument.codes(), n))
            mDocument.setCell(cell, g.code);
    } else if (tool == Tool::Pen || g.code < 0) {
        clickCell(n);
    } else {
        frameCell(n);
        showShape({n});
    }
    emit historyChanged();
}

// The cells of the shape shown before and not now take back what they
// held before the press.
void EditorSession::showShape(std::vector<int> shape)
{
    std::sort(shape.begin(), shape.end());
    for (const int n : mGesture->shape)
        if (!std::binary_search(shape.begin(), shape.end(), n))
            mDocument.setCell(n, mGesture->before[static_cast<std::size_t>(n - 1)]);
    for (const int n : shape)
        mDocument.setCell(n, mGesture->code);
    mGesture->shape = std::move(shape);
}

bool EditorSession::gestureOpen() const
{
    return mGesture && (mGesture->tool == Tool::Select || mDocument.stepOpen());
}

void EditorSession::cancelGesture()
{
    if (!gestureOpen())
        return;
    const Gesture g = *std::exchange(mGesture, std::nullopt);
    mSelectPress = 0;
    for (int n = 1; n <= wmb::MapCells; ++n)
        if (mDocument.cell(n) != g.before[static_cast<std::size_t>(n - 1)])
            mDocument.setCell(n, g.before[static_cast<std::size_t>(n - 1)]);
    mDocument.endStep();
    mDocument.select(g.selection);
    frameCell(g.frame);
    emit historyChanged();
}

// The gesture is over once its step has been closed (Clear screen, undo, a
// load), though the button is still held.
void EditorSession::dragOver(const std::vector<int> &passed, int nearest)
{
    if (mSelectPress != 0) {
        if (nearest != mSelectPress || mSelectDragged) {
            mSelectDragged = true;
            mDocument.select(wmb::cellRectBetween(mSelectPress, nearest));
        }
        return;
    }
    if (!gestureOpen())
        return;
    const bool shape = mGesture->code >= 0 && nearest != 0;
    switch (mGesture->tool) {
    case Tool::Pen:
        for (const int n : passed)
            if (n != 0 && n != mStrokeCell) {
                mStrokeCell = n;
                clickCell(n);
            }
        return;
    case Tool::Rectangle:
        if (shape)
            showShape(wmb::rectangleCells(mGesture->from, nearest));
        return;
    case Tool::Line:
        if (shape)
            showShape(wmb::lineCells(mGesture->from, nearest));
        return;
    case Tool::Fill:
    case Tool::Select:
        return;
    }
}

void EditorSession::releaseCell()
{
    mSelectPress = 0;
    mGesture.reset();
    mDocument.endStep();
    emit historyChanged();
}

void EditorSession::stepFrame(int dColumn, int dRow, bool extend)
{
    if (!extend)
        mDocument.select({});
    if (SelectedCell == 0)
        frameCell(1);
    else if (extend)
        mDocument.select(wmb::stepSelection(mDocument.selection(), SelectedCell, dColumn, dRow));
    else
        frameCell(wmb::stepCell(SelectedCell, dColumn, dRow));
}

void EditorSession::paintFramed()
{
    if (SelectedCell == 0)
        return;
    mDocument.select({});
    mDocument.beginStep(QStringLiteral("Paint"));
    clickCell(SelectedCell);
    mDocument.endStep();
}

std::string EditorSession::copySelection() const
{
    return mDocument.selection().empty() ? std::string() : mDocument.selectionText();
}

std::string EditorSession::cutSelection()
{
    return mDocument.selection().empty() ? std::string() : mDocument.emptySelection(QStringLiteral("Cut"));
}

void EditorSession::deleteSelection() { mDocument.emptySelection(QStringLiteral("Delete")); }

void EditorSession::fillSelection()
{
    if (SelectedTile != 0 && !mDocument.selection().empty())
        mDocument.fillCells(mDocument.selection().cells(), pickedCode(), QStringLiteral("Fill"));
}

void EditorSession::selectAll() { mDocument.select(wmb::wholeMap()); }

void EditorSession::selectNone()
{
    mDocument.select({});
    clearSearch();
}

void EditorSession::pointAt(int n)
{
    if (n == pointedCell)
        return;
    pointedCell = n;
    emit pointedChanged();
}

void EditorSession::leaveCell(int n)
{
    if (pointedCell == n && !mDocument.stepOpen())
        pointAt(0);
}

void EditorSession::pasteTiles(const std::string &text) { mDocument.paste(text, SelectedCell, pointedCell); }
