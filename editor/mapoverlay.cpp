#include "mapoverlay.h"

#include <QPainter>

namespace {

// Unlike the red cell frame and the pink palette frame.
const QColor OutlineColour(0, 200, 255);

} // namespace

MapOverlay::MapOverlay(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MapSelection"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::StrongFocus);
    place(wmb::MapLayout{});
}

void MapOverlay::place(const wmb::MapLayout &layout)
{
    mLayout = layout;
    setGeometry(layout.Left, layout.Top, layout.mapWidth(), layout.mapHeight());
    update();
}

void MapOverlay::setSelection(const wmb::CellRect &rect)
{
    if (rect == mSelection)
        return;
    update(outer(mSelection));
    mSelection = rect;
    update(outer(mSelection));
}

void MapOverlay::paintEvent(QPaintEvent *)
{
    if (mSelection.empty())
        return;
    const QRect r = outer(mSelection);
    const int width = mLayout.outline();
    QPainter painter(this);
    painter.fillRect(r.left(), r.top(), r.width(), width, OutlineColour);
    painter.fillRect(r.left(), r.bottom() - width + 1, r.width(), width, OutlineColour);
    painter.fillRect(r.left(), r.top(), width, r.height(), OutlineColour);
    painter.fillRect(r.right() - width + 1, r.top(), width, r.height(), OutlineColour);
}

QRect MapOverlay::outer(const wmb::CellRect &rect) const
{
    if (rect.empty())
        return {};
    const int pitch = mLayout.pitch(), size = mLayout.cellSize();
    return {pitch * rect.column, pitch * rect.row, pitch * (rect.columns - 1) + size,
            pitch * (rect.rows - 1) + size};
}
