#include "tilepictures.h"

#include "bmpimage.h"
#include "hexcode.h"
#include "pathnames.h"
#include "tilefolder.h"

#include <unordered_map>

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

QPixmap TilePictures::load(const QString &code) const
{
    const std::string text = code.toStdString();
    const std::string path = wmb::tilePicturePath(pathFromQString(mFolder), text);
    return QPixmap::fromImage(toQImage(wmb::loadBmpFile(path, wmb::tilePictureName(text))));
}

wmb::BmpImage TilePictures::decode(std::uint8_t code) const
{
    const std::string text = wmb::IntToHexText(code);
    return wmb::loadBmpFile(wmb::tilePicturePath(pathFromQString(mFolder), text), wmb::tilePictureName(text));
}

std::array<QPixmap, wmb::MapCells>
TilePictures::loadMap(const std::array<std::string, wmb::MapCells> &codes) const
{
    std::unordered_map<std::string, QPixmap> loaded;
    std::array<QPixmap, wmb::MapCells> pictures;
    for (int i = 0; i < wmb::MapCells; ++i) {
        auto it = loaded.find(codes[i]);
        if (it == loaded.end())
            it = loaded.emplace(codes[i], load(QString::fromStdString(codes[i]))).first;
        pictures[i] = it->second;
    }
    return pictures;
}
