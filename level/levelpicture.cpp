#include "levelpicture.h"

#include <algorithm>
#include <stdexcept>

namespace wmb {

namespace {
constexpr std::uint32_t Black = 0xFF000000u;
}

void drawLevelTiles(const PixelSurface &surface, int x0, int y0,
                    const std::array<std::uint8_t, MapCells> &tiles, const LevelLayout &layout,
                    const TilePictureSource &picture)
{
    const int size = layout.cellSize;
    if (size < 0 || layout.gap < 0 || x0 < 0 || y0 < 0 || x0 + layout.width() > surface.width ||
        y0 + layout.height() > surface.height || surface.stride < surface.width)
        throw std::invalid_argument("drawLevelTiles: the level does not fit the surface");
    for (int i = 0; i < MapCells; ++i) {
        const BmpImage &pic = picture(tiles[static_cast<std::size_t>(i)]);
        const int cx = x0 + (i % MapColumns) * layout.pitch();
        const int cy = y0 + (i / MapColumns) * layout.pitch();
        const int w = std::min(pic.width, size);
        const int h = std::min(pic.height, size);
        for (int y = 0; y < size; ++y) {
            std::uint32_t *line = surface.pixels + static_cast<std::ptrdiff_t>(cy + y) * surface.stride + cx;
            if (y < h) {
                const std::uint32_t *src = pic.pixels.data() + static_cast<std::ptrdiff_t>(y) * pic.width;
                std::copy(src, src + w, line);
                std::fill(line + w, line + size, Black);
            } else {
                std::fill(line, line + size, Black);
            }
        }
    }
}

} // namespace wmb
