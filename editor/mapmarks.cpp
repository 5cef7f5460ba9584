#include "mapmarks.h"

#include <QPainter>

#include "markcolours.h"

namespace {

void frame(QPainter &painter, const QRect &r, int width, const QColor &colour)
{
    painter.fillRect(r.left(), r.top(), r.width(), width, colour);
    painter.fillRect(r.left(), r.bottom() - width + 1, r.width(), width, colour);
    painter.fillRect(r.left(), r.top(), width, r.height(), colour);
    painter.fillRect(r.right() - width + 1, r.top(), width, r.height(), colour);
}

} // namespace

MapMarks::MapMarks(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MapMarks"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MapMarks::place(const wmb::MapLayout &layout)
{
    mLayout = layout;
    setGeometry(layout.cellX(1), layout.cellY(1), layout.mapWidth(), layout.mapHeight());
    update();
}

void MapMarks::setMarks(const std::vector<int> &found, const std::vector<int> &differing)
{
    if (found == mFound && differing == mDiffering)
        return;
    mFound = found;
    mDiffering = differing;
    update();
}

void MapMarks::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int w = mLayout.outline();
    for (int n : mDiffering)
        frame(painter, cellRect(n).adjusted(w, w, -w, -w), w, DifferingColour);
    for (int n : mFound)
        frame(painter, cellRect(n), w, FoundColour);
}

QRect MapMarks::cellRect(int n) const
{
    return {mLayout.cellX(n) - mLayout.cellX(1), mLayout.cellY(n) - mLayout.cellY(1), mLayout.cellSize(),
            mLayout.cellSize()};
}
