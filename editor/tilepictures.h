// The tile set: the tile folder and strict loading of "graph/<code>.bmp",
// with the messages the user sees. One set is shared by the map, the
// palette and the overview: every picture read is kept, so the views show
// the same picture of a code, and a read that fails keeps the one before.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "bmpimage.h"
#include "levelrecord.h"

class TilePictures {
public:
    TilePictures() = default;
    explicit TilePictures(QString folder) : mFolder(std::move(folder)) {}

    const QString &folder() const { return mFolder; }

    // Reads the picture of tile code 0..255 from its file now. Throws
    // wmb::PictureError: "Cannot open file graph/<code>.bmp" or "Bitmap
    // image is not valid".
    const QPixmap &load(int code);
    // Reads the pictures of tile code texts, each distinct code's file
    // once; throws as load() does.
    void loadMap(std::span<const std::string> codes);
    // The picture of a code as last read; null when it never was.
    const QPixmap &picture(int code) const { return mPictures[static_cast<std::size_t>(code & 0xFF)]; }
    // The decoded picture as last read, else read now; throws as load() does.
    const wmb::BmpImage &decoded(std::uint8_t code);

private:
    QString mFolder;
    std::array<QPixmap, wmb::PaletteTiles> mPictures;
    std::array<std::optional<wmb::BmpImage>, wmb::PaletteTiles> mDecoded;
};

QImage toQImage(const wmb::BmpImage &image);
