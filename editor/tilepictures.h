// The window's tile set: the tile folder's pictures as the level core's
// TileSet decodes them (messages name "graph/<code>.bmp"), with a pixmap of
// each. One set is shared by the map, the palette and the overview: every
// picture read is kept, so the views show the same picture of a code, and a
// read that fails keeps the one before. The folder's names.txt gives the
// tiles their names; it is read once, when the set is made.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "bmpimage.h"
#include "levelrecord.h"
#include "tilenames.h"
#include "tileset.h"

class TilePictures {
public:
    TilePictures() = default;
    explicit TilePictures(QString folder);

    const QString &folder() const { return mFolder; }
    // The name of tile code 0..255 from names.txt; empty when it has none.
    QString name(int code) const;
    // "1F Ladder", or "1F" for a tile without a name: how the status bar and
    // the palette's tooltips call a tile.
    QString label(int code) const;

    // Reads the picture of tile code 0..255 from its file now. Throws
    // wmb::PictureError: "Cannot open file graph/<code>.bmp" or "Bitmap
    // image is not valid".
    const QPixmap &load(int code);
    // Reads the pictures of tile code texts, each distinct code's file
    // once; throws as load() does.
    void loadMap(std::span<const std::string> codes);
    // The picture of a code as last read; null when it never was.
    const QPixmap &picture(int code) const { return mPictures[static_cast<std::size_t>(code & 0xFF)]; }
    // The picture of a code scaled by `percent` pixel for pixel (nearest
    // neighbour, never blurred); the picture itself at 100. Kept for one
    // zoom at a time until the code's picture is read again.
    const QPixmap &scaled(int code, int percent) const;
    // The decoded picture as last read, else read now; throws as load() does.
    const wmb::BmpImage &decoded(std::uint8_t code) { return mSet.tile(code); }

private:
    QString mFolder;
    wmb::TileSet mSet;
    wmb::TileNames mNames;
    std::array<QPixmap, wmb::PaletteTiles> mPictures;
    mutable std::array<QPixmap, wmb::PaletteTiles> mScaled;
    mutable int mScaledPercent = 0;
};

QImage toQImage(const wmb::BmpImage &image);
