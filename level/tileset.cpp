#include "tileset.h"

#include <algorithm>
#include <utility>

#include "hexcode.h"
#include "levelpicture.h"

namespace wmb {

const BmpImage &TileSet::read(std::uint8_t code)
{
    reread(code);
    return *mTiles[code];
}

void TileSet::readAhead()
{
    if (mReading.valid())
        return;
    mReading = std::async(std::launch::async, [folder = mFolder, shown = mShownFolder] {
        auto ahead = std::make_unique<Ahead>();
        for (int code = 0; code < 256; ++code) {
            const std::string name = IntToHexText(static_cast<std::uint32_t>(code)) + ".bmp";
            try {
                ahead->images[code] = loadBmpFile(folder + "/" + name, shown + "/" + name);
            } catch (...) {
                ahead->errors[code] = std::current_exception();
            }
        }
        return ahead;
    });
}

BmpImage TileSet::readFile(std::uint8_t code)
{
    if (mReading.valid())
        mAhead = mReading.get();
    if (mAhead) {
        if (std::optional<BmpImage> &image = mAhead->images[code]) {
            BmpImage taken = std::move(*image);
            image.reset();
            return taken;
        }
        if (std::exception_ptr error = std::exchange(mAhead->errors[code], nullptr))
            std::rethrow_exception(error);
    }
    const std::string name = IntToHexText(code) + ".bmp";
    return loadBmpFile(mFolder + "/" + name, mShownFolder + "/" + name);
}

bool TileSet::reread(std::uint8_t code)
{
    BmpImage image = readFile(code);
    std::optional<BmpImage> &kept = mTiles[code];
    if (kept && kept->width == image.width && kept->height == image.height && kept->pixels == image.pixels)
        return false;
    kept = std::move(image);
    return true;
}

BmpImage scaleTile(const BmpImage &tile, int size)
{
    constexpr int Full = TilePictureSize;
    std::array<std::uint32_t, Full * Full> cut;
    cut.fill(0xFF000000u);
    for (int y = 0; y < std::min(tile.height, Full); ++y)
        for (int x = 0; x < std::min(tile.width, Full); ++x)
            cut[static_cast<std::size_t>(y * Full + x)] = tile.pixels[static_cast<std::size_t>(y) * tile.width + x];
    BmpImage out{size, size, std::vector<std::uint32_t>(static_cast<std::size_t>(size) * size)};
    for (int oy = 0; oy < size; ++oy) {
        const int y0 = oy * Full / size, y1 = std::max(y0 + 1, (oy + 1) * Full / size);
        for (int ox = 0; ox < size; ++ox) {
            const int x0 = ox * Full / size, x1 = std::max(x0 + 1, (ox + 1) * Full / size);
            std::uint32_t r = 0, g = 0, b = 0;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    const std::uint32_t p = cut[static_cast<std::size_t>(y * Full + x)];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                }
            }
            const auto n = static_cast<std::uint32_t>((y1 - y0) * (x1 - x0));
            out.pixels[static_cast<std::size_t>(oy) * size + ox] = 0xFF000000u | (r / n) << 16 | (g / n) << 8 | b / n;
        }
    }
    return out;
}

} // namespace wmb
