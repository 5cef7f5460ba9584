// A level's screen drawn from its tile pictures, without Qt: the one
// renderer behind the command-line render and the editor's level overview.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "bmpimage.h"
#include "levelrecord.h"

namespace wmb {

// The size of a tile picture on the editor's map, in pixels.
constexpr int TilePictureSize = 32;

// How a level's cells are laid out: cell (c, r) covers cellSize x cellSize
// pixels at (c * pitch, r * pitch) from the level's top-left corner, where
// pitch = cellSize + gap.
struct LevelLayout {
    int cellSize = TilePictureSize;
    int gap = 0;
    int pitch() const { return cellSize + gap; }
    int width() const { return MapColumns * pitch() - gap; }
    int height() const { return MapRows * pitch() - gap; }
};

// Pixels 0xAARRGGBB, rows `stride` pixels apart (a QImage's scan lines, or
// a plain vector with stride == width).
struct PixelSurface {
    std::uint32_t *pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// The picture of a tile code; the reference must stay valid until
// drawLevelTiles returns. It may throw; the drawing stops with it.
using TilePictureSource = std::function<const BmpImage &(std::uint8_t code)>;

// Draws the 168 cells of `tiles` with the level's top-left corner at
// (x0, y0): each cell shows the top-left cellSize x cellSize part of its
// tile's picture, black where the picture is smaller. The gaps between the
// cells are left as they were. Throws std::invalid_argument when the level
// does not fit inside the surface.
void drawLevelTiles(const PixelSurface &surface, int x0, int y0,
                    const std::array<std::uint8_t, MapCells> &tiles, const LevelLayout &layout,
                    const TilePictureSource &picture);

} // namespace wmb
