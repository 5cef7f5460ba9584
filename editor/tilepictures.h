// Tile pictures for the window: the tile folder and strict loading of
// "graph/<code>.bmp" into pixmaps, with the messages the user sees.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

#include <array>
#include <cstdint>

#include "bmpimage.h"
#include "levelrecord.h"

class TilePictures {
public:
    TilePictures() = default;
    explicit TilePictures(QString folder) : mFolder(std::move(folder)) {}

    const QString &folder() const { return mFolder; }

    // Loads the picture of one tile code text. Throws wmb::PictureError:
    // "Cannot open file graph/<code>.bmp" or "Bitmap image is not valid".
    QPixmap load(const QString &code) const;
    // The decoded picture of tile code 0..255; throws as load() does.
    wmb::BmpImage decode(std::uint8_t code) const;

    // Loads the pictures of the 168 map store texts, reading each distinct
    // code's file once. Throws as load() does; nothing is returned then.
    std::array<QPixmap, wmb::MapCells> loadMap(const std::array<std::string, wmb::MapCells> &codes) const;

private:
    QString mFolder;
};

QImage toQImage(const wmb::BmpImage &image);
