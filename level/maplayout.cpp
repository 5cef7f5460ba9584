#include "maplayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace wmb {

// The controls below the map end 9 pixels above the panel's bottom at
// 100 %, as the palette ends 7 pixels above it.
int MapLayout::height(bool paletteShown) const
{
    const int controls = 543 + belowMapShift();
    const int palette = paletteTop() + PaletteSide * picturePitch() - pictureGap() + 8;
    return paletteShown ? std::max(controls, palette) : controls;
}

int MapLayout::cellAt(int x, int y) const
{
    x -= Left;
    y -= Top;
    if (x < 0 || y < 0)
        return 0;
    const int column = x / pitch(), row = y / pitch();
    if (column >= MapColumns || row >= MapRows || x % pitch() >= cellSize() || y % pitch() >= cellSize())
        return 0;
    return row * MapColumns + column + 1;
}

int MapLayout::cellNear(int x, int y) const
{
    const auto along = [&](int offset, int count) {
        return offset < 0 ? 0 : std::min(offset / pitch(), count - 1);
    };
    return along(y - Top, MapRows) * MapColumns + along(x - Left, MapColumns) + 1;
}

std::vector<int> MapLayout::cellsOnLine(int fromX, int fromY, int toX, int toY) const
{
    const int dx = toX - fromX, dy = toY - fromY;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    std::vector<int> cells;
    cells.reserve(static_cast<std::size_t>(steps));
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        cells.push_back(cellAt(static_cast<int>(std::lround(fromX + dx * t)),
                               static_cast<int>(std::lround(fromY + dy * t))));
    }
    return cells;
}

int zoomIn(int percent)
{
    const auto next = std::upper_bound(ZoomSteps.begin(), ZoomSteps.end(), percent);
    return next == ZoomSteps.end() ? ZoomSteps.back() : *next;
}

int zoomOut(int percent)
{
    const auto next = std::lower_bound(ZoomSteps.begin(), ZoomSteps.end(), percent);
    return next == ZoomSteps.begin() ? ZoomSteps.front() : *(next - 1);
}

namespace {

bool fits(const MapLayout &l, bool paletteShown, const ScreenRoom &room)
{
    return (paletteShown ? l.wideWidth() : l.narrowWidth()) + room.besidesWidth <= room.width &&
           l.height(paletteShown) + room.besidesHeight <= room.height;
}

} // namespace

int largestFittingZoom(const ScreenRoom &room)
{
    int fitting = ZoomSteps.front();
    for (int step : ZoomSteps)
        if (fits(MapLayout{step}, false, room))
            fitting = step;
    return fitting;
}

MapLayout fittingLayout(int percent, const ScreenRoom &room)
{
    MapLayout layout{percent};
    for (int step : ZoomSteps)
        if (step <= percent && fits(MapLayout{percent, step}, true, room))
            layout.palettePercent = step;
    return layout;
}

int validZoom(int percent)
{
    return std::find(ZoomSteps.begin(), ZoomSteps.end(), percent) != ZoomSteps.end() ? percent : 100;
}

} // namespace wmb
