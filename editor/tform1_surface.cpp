// The status bar below the panel, the cell under the pointer, the tile code
// box (Ctrl+K) and the palette from the keyboard.
#include "tform1.h"

#include <QAction>

#include "editormenus.h"
#include "editorsession.h"
#include "leveldocument.h"
#include "mapview.h"
#include "statusbar.h"

void TForm1::createStatusBar()
{
    mStatusBar = new StatusBar(this);
    connect(mStatusBar, &StatusBar::codeEntered, this, &TForm1::pickTileByCode);
    connect(mMenus->showTiles(), &QAction::toggled, mPalette, &QWidget::setVisible);

    // The pointer is over a cell from a move or a press on it until it
    // leaves it; while a button is held the pressed cell keeps the moves.
    connect(mMap, &TileView::hovered, mSession, &EditorSession::pointAt);
    connect(mMap, &TileView::pressed, mSession, [this](int n) { mSession->pointAt(n); });
    connect(mMap, &TileView::left, mSession, &EditorSession::leaveCell);
    connect(mMap, &TileView::dragged, mSession,
            [this](QPoint p) { mSession->pointAt(mLayout.cellAt(p.x(), p.y())); });
    connect(mPalette, &TileView::hovered, this, [this](int n) { mStatusBar->showPointedTile(mTiles.label(n - 1)); });
    connect(mPalette, &TileView::left, this, [this] { mStatusBar->showPointedTile({}); });
    connect(mSession, &EditorSession::pointedChanged, this, &TForm1::showPointedCell);
    connect(mDocument, &LevelDocument::cellsChanged, this, [this](const QList<int> &cells) {
        if (cells.contains(mSession->pointedCell))
            showPointedCell();
    });
    connect(mDocument, &LevelDocument::selectionChanged, this,
            [this] { mStatusBar->showSelection(mDocument->selection()); });
    const auto showTool = [this] { mStatusBar->showTool(EditorSession::toolCommands()[static_cast<std::size_t>(mSession->tool())].name); };
    connect(mSession, &EditorSession::toolChanged, this, showTool);
    showTool();
}

void TForm1::showPointedCell()
{
    const int n = mSession->pointedCell, code = n ? mDocument->cell(n) : LevelDocument::Blank;
    mStatusBar->showPointedCell(n, n ? QString::fromStdString(mDocument->cellText(n)) : QString(), code == LevelDocument::Blank ? QString() : mTiles.name(code));
}

void TForm1::showPickedTile()
{
    mStatusBar->showPickedTile(mSession->SelectedTile ? mTiles.picture(mSession->SelectedTile - 1) : QPixmap(), mSession->SelectedTileCode);
    if (mSession->SelectedTile)
        mPalette->setKeyCell(mSession->SelectedTile);
}

// After Enter the keyboard goes back to the map, code or not.
void TForm1::pickTileByCode(int code)
{
    if (code >= 0 && code < wmb::PaletteTiles)
        PicClick(code + 1);
    mapFocus()->setFocus(Qt::OtherFocusReason);
}
