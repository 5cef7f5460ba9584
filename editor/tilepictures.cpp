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

TilePictures::TilePictures(QString folder)
    : mFolder(std::move(folder)), mSet(pathFromQString(mFolder), wmb::TileFolderName),
      mNames(wmb::TileNames::read(pathFromQString(mFolder)))
{
}

QString TilePictures::name(int code) const
{
    return QString::fromStdString(mNames.name(static_cast<std::uint8_t>(code & 0xFF)));
}

QString TilePictures::label(int code) const
{
    return QString::fromStdString(mNames.label(static_cast<std::uint8_t>(code & 0xFF)));
}

const QPixmap &TilePictures::load(int code)
{
    const auto i = static_cast<std::uint8_t>(code & 0xFF);
    mPictures[i] = QPixmap::fromImage(toQImage(mSet.read(i)));
    mScaled[i] = QPixmap();
    return mPictures[i];
}

const QPixmap &TilePictures::scaled(int code, int percent) const
{
    const QPixmap &picture = this->picture(code);
    if (percent == 100 || picture.isNull())
        return picture;
    if (percent != mScaledPercent) {
        mScaled.fill(QPixmap());
        mScaledPercent = percent;
    }
    QPixmap &scaled = mScaled[static_cast<std::size_t>(code & 0xFF)];
    if (scaled.isNull())
        scaled = picture.scaled(picture.width() * percent / 100, picture.height() * percent / 100,
                                Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return scaled;
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
