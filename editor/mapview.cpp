#include "mapview.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

#include "levelrecord.h"
#include "maplayout.h"
#include "markcolours.h"

namespace {

// Unlike the red cell frame and the pink palette frame.
const QColor OutlineColour(0, 200, 255);

void ring(QPainter &painter, const QRect &r, int width, const QColor &colour)
{
    painter.fillRect(r.left(), r.top(), r.width(), width, colour);
    painter.fillRect(r.left(), r.bottom() - width + 1, r.width(), width, colour);
    painter.fillRect(r.left(), r.top(), width, r.height(), colour);
    painter.fillRect(r.right() - width + 1, r.top(), width, r.height(), colour);
}

// The keyboard's cell: a dotted white frame inside it.
void focusFrame(QPainter &painter, const QRect &cell)
{
    painter.setPen(QPen(Qt::white, 2, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(cell.adjusted(1, 1, -1, -1));
}

} // namespace

MapView::MapView(const TilePictures &tiles, QWidget *parent) : TileView(tiles, wmb::MapColumns, wmb::MapCells, parent)
{
    setObjectName(QStringLiteral("MapView"));
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Map"));
}

QString MapView::cellName(int n) const
{
    return QStringLiteral("Cell %1, row %2, column %3").arg(n).arg((n - 1) / wmb::MapColumns + 1).arg((n - 1) % wmb::MapColumns + 1);
}

QRect MapView::outer(const wmb::CellRect &rect) const
{
    if (rect.empty())
        return {};
    const int first = rect.row * wmb::MapColumns + rect.column + 1;
    const int last = (rect.row + rect.rows - 1) * wmb::MapColumns + rect.column + rect.columns;
    return spanRect(first, last);
}

void MapView::setSelection(const wmb::CellRect &rect)
{
    if (rect == mSelection)
        return;
    update(outer(mSelection));
    mSelection = rect;
    update(outer(mSelection));
}

void MapView::setMarks(const std::vector<int> &found, const std::vector<int> &differing)
{
    if (found == mFound && differing == mDiffering)
        return;
    for (const std::vector<int> *cells : std::initializer_list<const std::vector<int> *>{&mFound, &mDiffering, &found, &differing})
        for (int n : *cells)
            update(localRect(n));
    mFound = found;
    mDiffering = differing;
}

void MapView::showFocusFrame()
{
    if (!mFocusFrame && hasFocus())
        updateCell(keyCell());
    mFocusFrame = true;
}

void MapView::paintAbove(QPainter &painter, const QRect &area)
{
    const int w = outline();
    for (int n : mDiffering)
        if (localRect(n).intersects(area))
            ring(painter, localRect(n).adjusted(w, w, -w, -w), w, DifferingColour);
    for (int n : mFound)
        if (localRect(n).intersects(area))
            ring(painter, localRect(n), w, FoundColour);
    if (!mSelection.empty())
        ring(painter, outer(mSelection), w, OutlineColour);
    if (mFocusFrame && hasFocus())
        focusFrame(painter, localRect(keyCell()));
}

void MapView::mousePressEvent(QMouseEvent *event)
{
    if (mFocusFrame)
        updateCell(keyCell());
    mFocusFrame = false;
    TileView::mousePressEvent(event);
}

void MapView::focusInEvent(QFocusEvent *event)
{
    mFocusFrame = event->reason() != Qt::MouseFocusReason;
    TileView::focusInEvent(event);
}

PaletteView::PaletteView(const TilePictures &tiles, QWidget *parent)
    : TileView(tiles, wmb::MapLayout::PaletteSide, wmb::PaletteTiles, parent)
{
    setObjectName(QStringLiteral("PaletteView"));
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Tiles"));
}

void PaletteView::paintAbove(QPainter &painter, const QRect &)
{
    if (hasFocus())
        focusFrame(painter, localRect(keyCell()));
}

void PaletteView::keyPressEvent(QKeyEvent *event)
{
    const int columns = this->columns(), rows = count() / columns;
    const int column = (keyCell() - 1) % columns, row = (keyCell() - 1) / columns;
    const auto move = [&](int dColumn, int dRow) {
        setKeyCell(std::clamp(row + dRow, 0, rows - 1) * columns + std::clamp(column + dColumn, 0, columns - 1) + 1);
    };
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QWidget::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Left: move(-1, 0); break;
    case Qt::Key_Right: move(1, 0); break;
    case Qt::Key_Up: move(0, -1); break;
    case Qt::Key_Down: move(0, 1); break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: emit picked(keyCell()); break;
    default: emit otherKey(event->key()); return QWidget::keyPressEvent(event);
    }
}
