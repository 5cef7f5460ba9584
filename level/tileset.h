// A tile set: the 256 tile pictures of one folder, decoded once each and
// kept, shared by everything that draws levels (the editor's map, palette
// and overview, wmbtool render).
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "bmpimage.h"

namespace wmb {

class TileSet {
public:
    TileSet() = default;
    // Pictures are read from folder/<code>.bmp; messages name them as
    // shownFolder/<code>.bmp.
    TileSet(std::string folder, std::string shownFolder)
        : mFolder(std::move(folder)), mShownFolder(std::move(shownFolder))
    {
    }

    const std::string &folder() const { return mFolder; }
    // Starts reading every code's picture on a thread of its own, so that
    // the caller can build other things meanwhile. The next read() or
    // reread() of each code takes that read's picture, or throws its error,
    // instead of opening the file again (once a code: later reads open the
    // file). The first of them waits until all 256 are read.
    void readAhead();
    // Reads the picture of a code from its file now and keeps it. Throws
    // PictureError ("Cannot open file <shown path>", "Bitmap image is not
    // valid"); the picture kept before stays then.
    const BmpImage &read(std::uint8_t code);
    // The same; true when the picture read differs from the one kept before
    // (or none was), which it then replaces.
    bool reread(std::uint8_t code);
    // The picture kept for a code, read first when there is none.
    const BmpImage &tile(std::uint8_t code) { return mTiles[code] ? *mTiles[code] : read(code); }
    // The picture kept for a code; null when none was read.
    const BmpImage *kept(std::uint8_t code) const { return mTiles[code] ? &*mTiles[code] : nullptr; }

private:
    // The pictures read ahead, or what reading each threw, not yet taken.
    struct Ahead {
        std::array<std::optional<BmpImage>, 256> images;
        std::array<std::exception_ptr, 256> errors;
    };
    BmpImage readFile(std::uint8_t code);

    std::string mFolder, mShownFolder;
    std::array<std::optional<BmpImage>, 256> mTiles;
    std::future<std::unique_ptr<Ahead>> mReading;
    std::unique_ptr<Ahead> mAhead;
};

// The top-left 32 x 32 of a tile picture (black where it is smaller),
// scaled to size x size: each pixel the mean of the part of the 32 x 32 it
// covers (an upscale repeats pixels).
BmpImage scaleTile(const BmpImage &tile, int size);

} // namespace wmb
