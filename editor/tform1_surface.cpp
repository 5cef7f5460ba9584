// The status bar below the panel, the cell under the pointer, the tile code
// box (Ctrl+K) and the palette from the keyboard.
#include "tform1.h"

#include <QAction>

#include "editormenus.h"
#include "editorsession.h"
#include "leveldocument.h"
#include "palettekeys.h"
#include "picturebox.h"
#include "statusbar.h"

void TForm1::createPaletteKeys()
{
    mPaletteKeys = new PaletteKeys(Panel1, Pic[0]->pos(), mLayout.cellSize(), mLayout.pitch());
    mPaletteKeys->raise();
    mPaletteKeys->hide();   // until the palette is shown
    connect(mPaletteKeys, &PaletteKeys::picked, this, &TForm1::PicClick);
    connect(mPaletteKeys, &PaletteKeys::otherKey, mSession, &EditorSession::chooseToolByKey);
}

void TForm1::createStatusBar()
{
    mStatusBar = new StatusBar(this);
    connect(mStatusBar, &StatusBar::codeEntered, this, &TForm1::pickTileByCode);
    connect(mMenus->showTiles(), &QAction::toggled, mPaletteKeys, &QWidget::setVisible);

    // The pointer is over a cell from a move or a press on it until it
    // leaves it; while a button is held the pressed cell keeps the moves.
    for (int i = 0; i < wmb::MapCells; ++i) {
        PictureBox *cell = Image[i];
        const int n = i + 1;
        cell->setMouseTracking(true);
        connect(cell, &PictureBox::hovered, mSession, [this, n] { mSession->pointAt(n); });
        connect(cell, &PictureBox::pressed, mSession, [this, n] { mSession->pointAt(n); });
        connect(cell, &PictureBox::left, mSession, [this, n] { mSession->leaveCell(n); });
        connect(cell, &PictureBox::dragged, mSession,
                [this](QPoint p) { mSession->pointAt(mLayout.cellAt(p.x(), p.y())); });
    }
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
    mStatusBar->showPointedCell(mSession->pointedCell, mSession->pointedCell ? QString::fromStdString(mDocument->cellText(mSession->pointedCell)) : QString());
}

void TForm1::showPickedTile()
{
    mStatusBar->showPickedTile(mSession->SelectedTile ? mTiles.picture(mSession->SelectedTile - 1) : QPixmap(), mSession->SelectedTileCode);
    if (mSession->SelectedTile)
        mPaletteKeys->setCurrent(mSession->SelectedTile);
}

// After Enter the keyboard goes back to the map, code or not.
void TForm1::pickTileByCode(int code)
{
    if (code >= 0 && code < wmb::PaletteTiles)
        PicClick(code + 1);
    mapFocus()->setFocus(Qt::OtherFocusReason);
}
