// The tile picture decoder on any bytes: it refuses with "Bitmap image is not
// valid" or returns a whole image, which the 24-bit encoder and the decoder
// carry through unchanged.
#include "bmpimage.h"
#include "errors.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cstring>

using wmbfuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    wmb::BmpImage image;
    try {
        image = wmb::decodeBmp({data, size});
    } catch (const wmb::PictureError &e) {
        check(std::strcmp(e.what(), "Bitmap image is not valid") == 0, "the one decoding message");
        return 0;
    }
    check(image.width >= 1 && image.height >= 1, "a decoded image has pixels");
    check(image.width <= wmb::BmpMaxSide && image.height <= wmb::BmpMaxSide, "sides within the limit");
    check(std::int64_t{image.width} * image.height <= wmb::BmpMaxPixels, "pixel count within the limit");
    check(image.pixels.size() == static_cast<std::size_t>(image.width) * image.height,
          "width x height pixels");
    check(std::all_of(image.pixels.begin(), image.pixels.end(),
                      [](std::uint32_t p) { return (p >> 24) == 0xFF; }),
          "every pixel is opaque");

    // Re-encoding large images (a few header bytes can promise millions of
    // skipped RLE pixels) would only slow the search down.
    if (image.pixels.size() <= 1u << 20) {
        const wmb::BmpImage again = wmb::decodeBmp(wmb::encodeBmp24(image));
        check(again.width == image.width && again.height == image.height && again.pixels == image.pixels,
              "the 24-bit encoding decodes to the same image");
    }
    return 0;
}
