// The palette, the map cells, Clear screen, Show grid, and the map's edit
// history with its gestures and shortcuts.
#include "tform1.h"

#include <QCheckBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdlib>

#include "hexcode.h"
#include "picturebox.h"

namespace {

// Size changes of the grid backdrop between its parked 34 x 34 state and
// the map rectangle 461 x 395.
constexpr int BackdropGrowWidth = 427;
constexpr int BackdropGrowHeight = 361;

// The map cell (1..168) under a point in the panel's coordinates; 0 over a
// gap between cells or outside the map.
int cellAt(QPoint p)
{
    const int x = p.x() - MapLeft;
    const int y = p.y() - MapTop;
    if (x < 0 || y < 0)
        return 0;
    const int column = x / CellPitch;
    const int row = y / CellPitch;
    if (column >= wmb::MapColumns || row >= wmb::MapRows || x % CellPitch >= CellSize ||
        y % CellPitch >= CellSize)
        return 0;
    return row * wmb::MapColumns + column + 1;
}

// The map cell nearest to a point in the panel's coordinates: over a gap
// the cell left of or above it, outside the map the cell at the edge.
int cellNear(QPoint p)
{
    const int column = std::clamp((p.x() - MapLeft) / CellPitch, 0, wmb::MapColumns - 1);
    const int row = std::clamp((p.y() - MapTop) / CellPitch, 0, wmb::MapRows - 1);
    return row * wmb::MapColumns + column + 1;
}

// Two pictures that look the same: a paint that would show the same picture
// and store the same code changes nothing and makes no undo step.
bool samePicture(const QPixmap &a, const QPixmap &b)
{
    if (a.cacheKey() == b.cacheKey())
        return true;
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.toImage().convertToFormat(QImage::Format_ARGB32) ==
           b.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

// Picks palette picture n: the selection and its frame, nothing else.
void TForm1::selectPaletteTile(int n)
{
    SelectedTile = n;
    SelectedTileCode = n - 1 < TileCodeTable.size() ? TileCodeTable[n - 1] : QString();
    const PictureBox *pic = Pic[n - 1];
    Green->move(pic->x() - 1, pic->y() - 1);
}

void TForm1::PicClick(int n)
{
    guarded([&] {
        selectPaletteTile(n);
        // Active select: the cell clicked last shows the picked tile, and its
        // store text follows so that a save writes what is shown.
        if (SelectedCell != 0 && CheckBox1->isChecked())
            setCell(SelectedCell, Pic[n - 1]->picture(), SelectedTileCode, "Active select");
    });
}

MapHistoryCell TForm1::cellState(int n) const
{
    return {storeText(n).toStdString(), Image[n - 1]->picture()};
}

void TForm1::restoreCell(int n, const MapHistoryCell &state)
{
    Image[n - 1]->setPicture(state.picture);
    setStoreText(n, QString::fromStdString(state.code));
    levelEdited();
}

// Shows `picture` in cell n and stores `code` for it, noting the change in
// the open undo step (or as a step of its own). A paint that changes
// neither is not noted.
void TForm1::setCell(int n, const QPixmap &picture, const QString &code, const char *stepName)
{
    if (storeText(n) == code && samePicture(Image[n - 1]->picture(), picture))
        return;
    MapHistoryCell before = cellState(n);
    restoreCell(n, {code.toStdString(), picture});
    mMapHistory.note(n, std::move(before), {code.toStdString(), picture}, stepName);
}

// A cell click's steps: paint with the selected tile (if any), then select
// the cell.
void TForm1::paintCell(int n)
{
    if (SelectedTile != 0)
        setCell(n, Pic[SelectedTile - 1]->picture(), SelectedTileCode);
    SelectedCell = n;
    const PictureBox *cell = Image[n - 1];
    Red->move(cell->x() - 1, cell->y() - 1);
}

void TForm1::ImageClick(int n)
{
    guarded([&] { paintCell(n); });
}

// A left press paints the cell as a click does and opens a stroke: one undo
// step until the button is released. A right press picks the cell's tile.
void TForm1::ImageMouseDown(int n, Qt::MouseButton button, QPoint panelPos,
                            Qt::KeyboardModifiers modifiers)
{
    guarded([&] {
        if (button == Qt::RightButton && !mMapHistory.recording())
            pickFromMap(n);
        if (button != Qt::LeftButton)
            return;
        if (modifiers & Qt::ShiftModifier) {
            mSelectPress = n;
            mSelectDragged = false;
            selectCells(wmb::cellRectBetween(SelectedCell != 0 ? SelectedCell : n, n));
            return;
        }
        if (modifiers & Qt::ControlModifier) {
            floodFill(n);
            return;
        }
        clearSelection();
        mMapHistory.begin("Paint");
        mStrokePos = panelPos;
        mStrokeCell = n;
        paintCell(n);
    });
}

// Paints every cell the pointer entered since the last move, along the line
// between the two points (a fast move reports points cells apart). The
// stroke is over once its step has been closed (Clear screen, undo, a load).
void TForm1::ImageMouseMove(QPoint panelPos)
{
    guarded([&] {
        if (mSelectPress != 0) {
            const int n = cellNear(panelPos);
            if (n != mSelectPress || mSelectDragged) {
                mSelectDragged = true;
                selectCells(wmb::cellRectBetween(mSelectPress, n));
            }
            return;
        }
        if (!mMapHistory.recording())
            return;
        const QPoint from = mStrokePos;
        mStrokePos = panelPos;
        const QPoint delta = panelPos - from;
        const int steps = std::max(std::abs(delta.x()), std::abs(delta.y()));
        for (int i = 1; i <= steps; ++i) {
            const int n = cellAt((QPointF(from) + QPointF(delta) * (double(i) / steps)).toPoint());
            if (n != 0 && n != mStrokeCell) {
                mStrokeCell = n;
                paintCell(n);
            }
        }
    });
}

void TForm1::ImageMouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    mSelectPress = 0;
    if (mMapHistory.commit())
        refreshEditActions();
}

// Selects the tile a cell holds, as a click on its palette picture would,
// but without Active select. A store text that is no tile code picks nothing.
void TForm1::pickFromMap(int n)
{
    const std::string code = storeText(n).toStdString();
    if (!wmb::isTileCodeText(code))
        return;
    selectPaletteTile(static_cast<int>(wmb::HexTextToInt(code)) + 1);
}

void TForm1::Button10Click()
{
    guarded([&] {
        const QPixmap empty = mTiles.load(QStringLiteral("0"));
        mMapHistory.begin("Clear screen");
        for (int n = 1; n <= wmb::MapCells; ++n)
            setCell(n, empty, QStringLiteral("0"));
        mMapHistory.commit();
    });
}

void TForm1::CheckBox2Click()
{
    guarded([&] {
        if (!CheckBox2->isChecked()) {
            Black->move(8, 8);
            Black->resize(Black->width() + BackdropGrowWidth, Black->height() + BackdropGrowHeight);
        } else {
            Black->move(5000, 5000);
            Black->resize(Black->width() - BackdropGrowWidth, Black->height() - BackdropGrowHeight);
        }
        QPixmap backdrop(Black->size());
        backdrop.fill(Qt::black);
        Black->setPicture(backdrop);
    });
}

void TForm1::resetMapHistory()
{
    mMapHistory.clear();
    levelEdited();
}

// In a text edit the keys keep working on the edit's own text.
void TForm1::undoMapEdit()
{
    guarded([&] {
        if (auto *edit = qobject_cast<QLineEdit *>(focusWidget())) {
            edit->undo();
            return;
        }
        if (const auto *step = mMapHistory.undo())
            for (auto it = step->rbegin(); it != step->rend(); ++it)
                restoreCell(it->cell, it->before);
    });
}

void TForm1::redoMapEdit()
{
    guarded([&] {
        if (auto *edit = qobject_cast<QLineEdit *>(focusWidget())) {
            edit->redo();
            return;
        }
        if (const auto *step = mMapHistory.redo())
            for (const auto &change : *step)
                restoreCell(change.cell, change.after);
    });
}

// The map cells' mouse gestures.
void TForm1::connectMapGestures()
{
    // A press on the map or the palette takes the keyboard focus from a text
    // edit, so that the undo keys act on the map again.
    auto leaveTextEdit = [this] {
        if (qobject_cast<QLineEdit *>(focusWidget()))
            Panel1->setFocus(Qt::MouseFocusReason);
    };
    // A press on the map gives the map the keyboard focus.
    for (int i = 0; i < wmb::MapCells; ++i) {
        const int n = i + 1;
        connect(Image[i], &PictureBox::pressed, this,
                [this, n](Qt::MouseButton button, QPoint pos, Qt::KeyboardModifiers modifiers) {
                    mapFocus()->setFocus(Qt::MouseFocusReason);
                    ImageMouseDown(n, button, pos, modifiers);
                });
        connect(Image[i], &PictureBox::dragged, this, &TForm1::ImageMouseMove);
        connect(Image[i], &PictureBox::released, this, &TForm1::ImageMouseUp);
    }
    for (PictureBox *pic : Pic)
        connect(pic, &PictureBox::pressed, this, leaveTextEdit);
}
