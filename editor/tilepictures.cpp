#include "tilepictures.h"

#include "bmpimage.h"
#include "hexcode.h"
#include "pathnames.h"
#include "tilefolder.h"

#include <algorithm>
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
    if (mSet.reread(i) || mPictures[i].isNull()) {
        mStale.set(i);
        for (auto &step : mScaled)
            step[i] = QPixmap();
    }
    return picture(i);
}

const QPixmap &TilePictures::picture(int code) const
{
    const auto i = static_cast<std::uint8_t>(code & 0xFF);
    if (mStale[i]) {
        if (const wmb::BmpImage *image = mSet.kept(i))
            mPictures[i] = QPixmap::fromImage(toQImage(*image));
        mStale.reset(i);
    }
    return mPictures[i];
}

namespace {

std::size_t stepIndex(int percent)
{
    const auto at = std::find(wmb::ZoomSteps.begin(), wmb::ZoomSteps.end(), percent);
    return static_cast<std::size_t>(at == wmb::ZoomSteps.end() ? 0 : at - wmb::ZoomSteps.begin());
}

} // namespace

const QPixmap &TilePictures::scaled(int code, int percent) const
{
    const QPixmap &picture = this->picture(code);
    const std::size_t step = stepIndex(percent);
    if (step == 0 || picture.isNull())
        return picture;
    QPixmap &scaled = mScaled[step][static_cast<std::size_t>(code & 0xFF)];
    if (scaled.isNull())
        scaled = picture.scaled(picture.width() * percent / 100, picture.height() * percent / 100,
                                Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return scaled;
}

void TilePictures::useSteps(std::initializer_list<int> percents)
{
    for (std::size_t step = 1; step < mScaled.size(); ++step)
        if (std::find(percents.begin(), percents.end(), wmb::ZoomSteps[step]) == percents.end())
            mScaled[step].fill(QPixmap());
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
