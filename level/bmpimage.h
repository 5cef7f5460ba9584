// Strict Windows bitmap decoding and a plain 24-bit encoder.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace wmb {

// Largest width or height decodeBmp accepts, and the largest pixel count;
// both are checked before any pixel memory is allocated.
constexpr int BmpMaxSide = 16384;
constexpr std::int64_t BmpMaxPixels = std::int64_t{64} * 1024 * 1024;

// Decoded pixels, top row first, 0xAARRGGBB each (alpha always 0xFF).
struct BmpImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Decodes an uncompressed (1, 4, 8, 16, 24, 32 bits), RLE4/RLE8 or
// bit-field bitmap with a core, info, V4 or V5 header, bottom-up or top-down.
// Anything else, and any file shorter than its header promises (pixel data
// cut short included), throws PictureError "Bitmap image is not valid".
// Palette bitmaps must name only colours their palette holds; RLE data must
// stay inside the image and end with its end-of-bitmap mark. Pixels an RLE
// bitmap skips take palette colour 0. Safe on any input.
BmpImage decodeBmp(std::span<const std::uint8_t> bytes);

// Reads a file and decodes it. `shownPath` is the path named in the message
// "Cannot open file %s" when the file cannot be opened or read, or is not a
// regular file (a folder, a device); other failures are decodeBmp's.
BmpImage loadBmpFile(const std::string &path, const std::string &shownPath);

// A bottom-up 24-bit BITMAPINFOHEADER file of the image (rows padded to
// 4 bytes, alpha dropped). Throws std::invalid_argument when the image has
// no pixels or its pixel count is not width x height.
std::vector<std::uint8_t> encodeBmp24(const BmpImage &image);

} // namespace wmb
