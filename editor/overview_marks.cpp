// The overview's marks: the cells of a found tile in every picture, a badge
// on each level that differs from another image, and the context menu.
#include "leveloverview.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include "markcolours.h"

void LevelOverview::setFoundTile(int code)
{
    if (code == mFoundCode)
        return;
    mFoundCode = code;
    update();
}

void LevelOverview::setDifferences(const std::array<int, wmb::LevelCount> &bytes)
{
    if (bytes == mDiffering)
        return;
    mDiffering = bytes;
    update();
}

// A one-pixel frame on the edge of each found cell; the badge at the
// picture's top-right corner.
void LevelOverview::paintMarks(QPainter &painter, int level)
{
    const Shown &shown = mLevels[static_cast<std::size_t>(level - 1)].shown;
    const QRect pic = pictureRect(level);
    if (mFoundCode >= 0 && !shown.empty) {
        painter.save();
        painter.setPen(FoundColour);
        painter.setBrush(Qt::NoBrush);
        for (int i = 0; i < wmb::MapCells; ++i)
            if (shown.tiles[static_cast<std::size_t>(i)] == mFoundCode)
                painter.drawRect(pic.x() + i % wmb::MapColumns * mCellSize, pic.y() + i / wmb::MapColumns * mCellSize,
                                 mCellSize - 1, mCellSize - 1);
        painter.restore();
    }
    if (const int bytes = differingBytes(level)) {
        const QString text = QString::number(bytes);
        const QFontMetrics metrics = painter.fontMetrics();
        const QRect badge(pic.right() - metrics.horizontalAdvance(text) - 6, pic.top(),
                          metrics.horizontalAdvance(text) + 6, metrics.height());
        painter.fillRect(badge, DifferingColour);
        painter.setPen(Qt::white);
        painter.drawText(badge, Qt::AlignCenter, text);
        painter.setPen(palette().color(QPalette::WindowText));
    }
}

