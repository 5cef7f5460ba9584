// Where the map and the palette lie on the main panel at each zoom step,
// and how the panel grows with them. At 100 % the map's cells are 32 x 32
// at a pitch of 33 from (8, 8), the palette's 16 x 16 pictures follow the
// map at the same pitch, and the controls below the map start at y 408.
// A zoomed step scales the cells (nearest-neighbour, whole pixels) and the
// gaps between them; the controls keep their order and spacing and move
// down by what the map grew.
#pragma once

#include <array>
#include <vector>

#include "levelrecord.h"

namespace wmb {

inline constexpr std::array<int, 5> ZoomSteps{100, 150, 200, 300, 400};

struct MapLayout {
    int percent = 100;          // the map's zoom
    int palettePercent = 100;   // the palette's, which fits beside the map

    static constexpr int Left = 8, Top = 8;   // the map's first cell
    static constexpr int PaletteSide = 16;    // pictures to a row, and rows

    int cellSize() const { return 32 * percent / 100; }
    // The gap between cells, where the frames and the grid show: one pixel
    // a whole step.
    int gap() const { return percent < 200 ? 1 : percent / 100; }
    int pitch() const { return cellSize() + gap(); }
    // The selection outline's width on the outer pixels of its cells.
    int outline() const { return 2 * percent / 100; }
    // From the first cell's top-left pixel to the last one's bottom-right.
    int mapWidth() const { return MapColumns * pitch() - gap(); }
    int mapHeight() const { return MapRows * pitch() - gap(); }
    // How far the controls below the map move down.
    int belowMapShift() const { return MapRows * (pitch() - 33); }
    // A control's left edge and width below the map: spread across the
    // map's width as they lie across it at 100 %.
    int belowMapX(int x) const { return x * narrowWidth() / 480; }
    int paletteLeft() const { return narrowWidth(); }
    int paletteTop() const { return Top; }
    // The palette's pictures, their gap and pitch.
    int pictureSize() const { return 32 * palettePercent / 100; }
    int pictureGap() const { return palettePercent < 200 ? 1 : palettePercent / 100; }
    int picturePitch() const { return pictureSize() + pictureGap(); }
    // The panel's width with the palette hidden and shown, and its height.
    int narrowWidth() const { return 480 + MapColumns * (pitch() - 33); }
    int wideWidth() const { return narrowWidth() + 537 + PaletteSide * (picturePitch() - 33); }
    int height(bool paletteShown) const;

    // Top-left corner of map cell n (1..168) and of palette picture n (1..256).
    int cellX(int n) const { return Left + pitch() * ((n - 1) % MapColumns); }
    int cellY(int n) const { return Top + pitch() * ((n - 1) / MapColumns); }
    int pictureX(int n) const { return paletteLeft() + picturePitch() * ((n - 1) % PaletteSide); }
    int pictureY(int n) const { return paletteTop() + picturePitch() * ((n - 1) / PaletteSide); }

    // Whether a point of the panel lies on the map's rectangle, or on the
    // palette's (gaps included).
    bool overMap(int x, int y) const { return x >= Left && y >= Top && x < Left + mapWidth() && y < Top + mapHeight(); }
    bool overPalette(int x, int y) const
    {
        const int side = PaletteSide * picturePitch() - pictureGap();
        return x >= paletteLeft() && y >= paletteTop() && x < paletteLeft() + side && y < paletteTop() + side;
    }
    // The map cell under a point of the panel; 0 over a gap or off the map.
    int cellAt(int x, int y) const;
    // The map cell nearest to a point: over a gap the cell left of or above
    // it, off the map the cell at the edge.
    int cellNear(int x, int y) const;
    // The cells a pointer passes moving from one point to the next, one
    // entry a pixel of the longer axis, the starting point left out (a fast
    // move reports points cells apart); 0 where it is over a gap or off the map.
    std::vector<int> cellsOnLine(int fromX, int fromY, int toX, int toY) const;
};

// The next step up or down from `percent` (the same at either end).
int zoomIn(int percent);
int zoomOut(int percent);
// The room a window has on its screen, and what the window takes besides
// the panel (menu, status bar, the frame the window system draws).
struct ScreenRoom {
    int width, height;
    int besidesWidth, besidesHeight;
};
// The largest map step whose window, the palette hidden, fits the room.
int largestFittingZoom(const ScreenRoom &room);
// The layout at map step `percent` with the largest palette step, at most
// the map's, whose window with the palette shown fits the room (100 when
// none does).
MapLayout fittingLayout(int percent, const ScreenRoom &room);
// A step of ZoomSteps, else 100.
int validZoom(int percent);

} // namespace wmb
