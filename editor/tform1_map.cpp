// The palette, the map cells, Clear screen, Show grid, and the map's
// gestures and undo keys.
#include "tform1.h"

#include <QCheckBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdlib>

#include "editorsession.h"
#include "hexcode.h"
#include "leveloverview.h"
#include "leveldocument.h"
#include "picturebox.h"

namespace {

// The grid backdrop's parked size, 34 x 34; shown it covers the map
// rectangle (461 x 395 at 100 %).
constexpr int BackdropParked = 34;

} // namespace

// Picks palette picture n: the selection and its frame, nothing else.
void TForm1::selectPaletteTile(int n)
{
    mSession->pickPicture(n);
    const PictureBox *pic = Pic[n - 1];
    Green->move(pic->x() - mLayout.gap(), pic->y() - mLayout.gap());
    showPickedTile();
}

void TForm1::PicClick(int n)
{
    guarded([&] {
        selectPaletteTile(n);
        // Active select: the cell clicked last shows the picked tile, and its
        // store text follows so that a save writes what is shown.
        if (mSession->SelectedCell != 0 && CheckBox1->isChecked())
            mDocument->setCell(mSession->SelectedCell, mSession->pickedCode(), QStringLiteral("Active select"));
    });
}

// A cell click's steps: paint with the selected tile (if any), then select
// the cell.
void TForm1::paintCell(int n)
{
    if (mSession->SelectedTile != 0)
        mDocument->setCell(n, mSession->pickedCode());
    frameCell(n);
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
        if (button == Qt::RightButton && !mDocument->stepOpen())
            pickFromMap(n);
        if (button != Qt::LeftButton)
            return;
        if (modifiers & Qt::ShiftModifier) {
            mSelectPress = n;
            mSelectDragged = false;
            selectCells(wmb::cellRectBetween(mSession->SelectedCell != 0 ? mSession->SelectedCell : n, n));
            return;
        }
        if (modifiers & Qt::ControlModifier) {
            floodFill(n);
            return;
        }
        clearSelection();
        mDocument->beginStep(QStringLiteral("Paint"));
        mStrokePos = panelPos;
        mStrokeCell = n;
        paintCell(n);
        refreshEditCommands();
    });
}

// Paints every cell the pointer entered since the last move, along the line
// between the two points (a fast move reports points cells apart). The
// stroke is over once its step has been closed (Clear screen, undo, a load).
void TForm1::ImageMouseMove(QPoint panelPos)
{
    guarded([&] {
        if (mSelectPress != 0) {
            const int n = mLayout.cellNear(panelPos.x(), panelPos.y());
            if (n != mSelectPress || mSelectDragged) {
                mSelectDragged = true;
                selectCells(wmb::cellRectBetween(mSelectPress, n));
            }
            return;
        }
        if (!mDocument->stepOpen())
            return;
        const QPoint from = mStrokePos;
        mStrokePos = panelPos;
        const QPoint delta = panelPos - from;
        const int steps = std::max(std::abs(delta.x()), std::abs(delta.y()));
        for (int i = 1; i <= steps; ++i) {
            const QPoint p = (QPointF(from) + QPointF(delta) * (double(i) / steps)).toPoint();
            const int n = mLayout.cellAt(p.x(), p.y());
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
    mDocument->endStep();
    refreshEditCommands();
}

// Selects the tile a cell holds, as a click on its palette picture would,
// but without Active select. A store text that is no tile code picks nothing.
void TForm1::pickFromMap(int n)
{
    const int code = mDocument->cell(n);
    if (code == LevelDocument::Blank)
        return;
    selectPaletteTile(code + 1);
}

void TForm1::Button10Click()
{
    guarded([&] { mDocument->clearScreen(); });
}

void TForm1::CheckBox2Click()
{
    guarded([&] {
        const int growWidth = mLayout.mapWidth() - BackdropParked;
        const int growHeight = mLayout.mapHeight() - BackdropParked;
        if (!CheckBox2->isChecked()) {
            Black->move(8, 8);
            Black->resize(Black->width() + growWidth, Black->height() + growHeight);
        } else {
            Black->move(5000, 5000);
            Black->resize(Black->width() - growWidth, Black->height() - growHeight);
        }
        QPixmap backdrop(Black->size());
        backdrop.fill(Qt::black);
        Black->setPicture(backdrop);
    });
}

// In a text edit the keys keep working on the edit's own text; elsewhere
// they take the session's history, with its questions over the window that
// has the focus.
void TForm1::undoMapEdit(bool redo)
{
    guarded([&] {
        QLineEdit *edit = overviewHasFocus() ? nullptr : textBoxWithFocus();
        if (edit) {
            redo ? edit->redo() : edit->undo();
            return;
        }
        EditorSession::Acting acting(*mSession, overviewHasFocus() ? static_cast<QWidget *>(mOverview) : this);
        redo ? mSession->redo() : mSession->undo();
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
