#include "tilepictures.h"

#include "bmpimage.h"
#include "hexcode.h"
#include "pathnames.h"
#include "tilefolder.h"

#include <bitset>

QImage toQImage(const wmb::BmpImage &image)
{
    QImage out(image.width, image.height, QImage::Format_RGB32);
    for (int y = 0; y < image.height; ++y) {
        auto *line = reinterpret_cast<std::uint32_t *>(out.scanLine(y));
        const std::uint32_t *src = image.pixels.data() + static_cast<size_t>(y) * image.width;
        std::copy(src, src + image.width, line);
    }
    return out;
}

const QPixmap &TilePictures::load(int code)
{
    const auto i = static_cast<std::size_t>(code & 0xFF);
    const std::string text = wmb::IntToHexText(static_cast<std::uint32_t>(i));
    wmb::BmpImage image = wmb::loadBmpFile(wmb::tilePicturePath(pathFromQString(mFolder), text),
                                           wmb::tilePictureName(text));
    mPictures[i] = QPixmap::fromImage(toQImage(image));
    mDecoded[i] = std::move(image);
    return mPictures[i];
}

void TilePictures::loadMap(std::span<const std::string> codes)
{
    std::bitset<wmb::PaletteTiles> read;
    for (const std::string &code : codes) {
        const auto value = static_cast<std::size_t>(wmb::HexTextToInt(code) & 0xFF);
        if (!read[value])
            load(static_cast<int>(value));
        read.set(value);
    }
}

const wmb::BmpImage &TilePictures::decoded(std::uint8_t code)
{
    if (!mDecoded[code])
        load(code);
    return *mDecoded[code];
}
