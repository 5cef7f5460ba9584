#include "tileset.h"

#include <algorithm>

#include "hexcode.h"
#include "levelpicture.h"

namespace wmb {

const BmpImage &TileSet::read(std::uint8_t code)
{
    const std::string name = IntToHexText(code) + ".bmp";
    mTiles[code] = loadBmpFile(mFolder + "/" + name, mShownFolder + "/" + name);
    return *mTiles[code];
}

BmpImage scaleTile(const BmpImage &tile, int size)
{
    constexpr int Full = TilePictureSize;
    const auto at = [&](int x, int y) -> std::uint32_t {
        return x < tile.width && y < tile.height ? tile.pixels[static_cast<std::size_t>(y) * tile.width + x]
                                                 : 0xFF000000u;
    };
    BmpImage out{size, size, std::vector<std::uint32_t>(static_cast<std::size_t>(size) * size)};
    for (int oy = 0; oy < size; ++oy) {
        const int y0 = oy * Full / size, y1 = std::max(y0 + 1, (oy + 1) * Full / size);
        for (int ox = 0; ox < size; ++ox) {
            const int x0 = ox * Full / size, x1 = std::max(x0 + 1, (ox + 1) * Full / size);
            std::uint32_t sum[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += (at(x, y) >> (8 * c)) & 0xFF;
            const auto n = static_cast<std::uint32_t>((y1 - y0) * (x1 - x0));
            out.pixels[static_cast<std::size_t>(oy) * size + ox] =
                0xFF000000u | (sum[2] / n) << 16 | (sum[1] / n) << 8 | sum[0] / n;
        }
    }
    return out;
}

} // namespace wmb
