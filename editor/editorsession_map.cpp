// The map's gestures and its selection: painting strokes, picking, the
// frame, select drags, flood fill, and the region commands.
#include "editorsession.h"

#include "leveldocument.h"
#include "region.h"

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

void EditorSession::pressCell(int n, Press press)
{
    switch (press) {
    case Press::Pick:
        // A cell whose store text is no tile code picks nothing; nor does a
        // right press while a stroke is open.
        if (!mDocument.stepOpen() && mDocument.cell(n) != LevelDocument::Blank)
            pickPicture(mDocument.cell(n) + 1);
        return;
    case Press::Select:
        mSelectPress = n;
        mSelectDragged = false;
        mDocument.select(wmb::cellRectBetween(SelectedCell != 0 ? SelectedCell : n, n));
        return;
    case Press::Fill:
        if (SelectedTile != 0)
            mDocument.floodFill(n, pickedCode());
        return;
    case Press::Paint:
        mDocument.select({});
        mDocument.beginStep(QStringLiteral("Paint"));
        mStrokeCell = n;
        clickCell(n);
        emit historyChanged();
        return;
    }
}

// The stroke is over once its step has been closed (Clear screen, undo, a
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
    if (!mDocument.stepOpen())
        return;
    for (const int n : passed)
        if (n != 0 && n != mStrokeCell) {
            mStrokeCell = n;
            clickCell(n);
        }
}

void EditorSession::releaseCell()
{
    mSelectPress = 0;
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
