// The window's tile set: the tile folder's pictures as the level core's
// TileSet decodes them (messages name "graph/<code>.bmp"), with a pixmap of
// each, made when first drawn. One set is shared by the map, the palette and
// the overview: every picture read is kept, so the views show the same
// picture of a code, and a read that fails keeps the one before. A picture
// read again unchanged keeps its pixmap and its scaled copies. The folder's
// names.txt gives the tiles their names; it is read once, when the set is made.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

#include "bmpimage.h"
#include "levelrecord.h"
#include "maplayout.h"
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

    // Starts reading all 256 pictures on a thread of their own; the next
    // load() of each code takes what was read (wmb::TileSet::readAhead).
    void readAhead() { mSet.readAhead(); }
    // Reads the picture of tile code 0..255 from its file now (its pixmap is
    // made when first asked for). Throws
    // wmb::PictureError: "Cannot open file graph/<code>.bmp" or "Bitmap
    // image is not valid".
    void load(int code);
    // Reads the pictures of tile code texts, each distinct code's file
    // once; throws as load() does.
    void loadMap(std::span<const std::string> codes);
    // The picture of a code as last read; null when it never was.
    const QPixmap &picture(int code) const;
    // The picture of a code scaled by `percent` (a zoom step) pixel for
    // pixel (nearest neighbour, never blurred); the picture itself at 100.
    // One copy a code and a step, kept until the code's picture changes or
    // the step is no longer in use.
    const QPixmap &scaled(int code, int percent) const;
    // The zoom steps in use (the map's and the palette's); the scaled
    // copies of every other step are let go.
    void useSteps(std::initializer_list<int> percents);
    // The decoded picture as last read, else read now; throws as load() does.
    const wmb::BmpImage &decoded(std::uint8_t code) { return mSet.tile(code); }

private:
    QString mFolder;
    wmb::TileSet mSet;
    wmb::TileNames mNames;
    mutable std::array<QPixmap, wmb::PaletteTiles> mPictures;
    mutable std::bitset<wmb::PaletteTiles> mStale;   // read since its pixmap was made
    mutable std::array<std::array<QPixmap, wmb::PaletteTiles>, wmb::ZoomSteps.size()> mScaled;
};

QImage toQImage(const wmb::BmpImage &image);
