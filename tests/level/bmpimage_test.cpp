// Strict BMP decoding against bitmaps written byte by byte here, the refusal
// of broken files, file loading errors, and the 24-bit encoder.
#include "bmpimage.h"
#include "tileset.h"
#include "errors.h"

#include <gtest/gtest.h>

#include "core_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

using wmb::BmpImage;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::uint32_t K = 0xFF000000, W = 0xFFFFFFFF, R = 0xFFFF0000, G = 0xFF00FF00,
                        B = 0xFF0000FF;

void put16(Bytes &out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes &out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// What goes into a hand-made bitmap; the file header and offsets follow.
struct Spec {
    std::uint32_t headerSize = 40;
    std::int32_t width = 3;
    std::int32_t height = 2;
    std::uint16_t bpp = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks{};     // red, green, blue
    std::vector<std::uint32_t> palette{};   // 0xRRGGBB
    Bytes pixels{};                         // as stored, rows padded by the caller
};

Bytes build(const Spec &s)
{
    const bool core = s.headerSize == 12;
    Bytes header;
    put32(header, s.headerSize);
    if (core) {
        put16(header, static_cast<std::uint32_t>(s.width));
        put16(header, static_cast<std::uint32_t>(s.height));
        put16(header, 1);
        put16(header, s.bpp);
    } else {
        put32(header, static_cast<std::uint32_t>(s.width));
        put32(header, static_cast<std::uint32_t>(s.height));
        put16(header, 1);
        put16(header, s.bpp);
        put32(header, s.compression);
        put32(header, static_cast<std::uint32_t>(s.pixels.size()));
        put32(header, 2835);
        put32(header, 2835);
        put32(header, s.colorsUsed);
        put32(header, 0);
        for (std::uint32_t m : s.masks)   // V2 and later: masks inside the header
            if (s.headerSize > 40)
                put32(header, m);
        header.resize(s.headerSize, 0);
        if (s.headerSize == 40)
            for (std::uint32_t m : s.masks)
                put32(header, m);
    }
    for (std::uint32_t c : s.palette) {
        header.push_back(static_cast<std::uint8_t>(c));
        header.push_back(static_cast<std::uint8_t>(c >> 8));
        header.push_back(static_cast<std::uint8_t>(c >> 16));
        if (!core)
            header.push_back(0);
    }
    Bytes out{'B', 'M'};
    const auto offset = static_cast<std::uint32_t>(14 + header.size());
    put32(out, offset + static_cast<std::uint32_t>(s.pixels.size()));
    put32(out, 0);
    put32(out, offset);
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

std::string errorOf(const Bytes &bytes)
{
    try {
        wmb::decodeBmp(bytes);
    } catch (const wmb::PictureError &e) {
        return e.what();
    }
    return "decoded";
}

const std::vector<std::uint32_t> Rgbk = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

struct GoodCase {
    const char *name;
    Spec spec;
    int width, height;
    std::vector<std::uint32_t> pixels;   // top row first
};

std::vector<GoodCase> goodCases()
{
    // Most cases show 3 x 2 pixels: top row R G B, bottom row B B R.
    const std::vector<std::uint32_t> rgbBbr = {R, G, B, B, B, R};
    return {
        {"1 bit", {.bpp = 1, .palette = {0x000000, 0xFFFFFF}, .pixels = {0x20, 0, 0, 0, 0xA0, 0, 0, 0}},
         3, 2, {W, K, W, K, K, W}},
        {"4 bits", {.bpp = 4, .colorsUsed = 4, .palette = Rgbk, .pixels = {0x33, 0x10, 0, 0, 0x12, 0x30, 0, 0}},
         3, 2, rgbBbr},
        {"8 bits, 4 colours used", {.bpp = 8, .colorsUsed = 4, .palette = Rgbk,
          .pixels = {3, 3, 1, 0, 1, 2, 3, 0}}, 3, 2, rgbBbr},
        {"16 bits 5-5-5", {.bpp = 16, .pixels = {0x1F, 0, 0x1F, 0, 0, 0x7C, 0, 0,
                                                   0, 0x7C, 0xE0, 0x03, 0x1F, 0, 0, 0}},
         3, 2, rgbBbr},
        {"16 bits 5-6-5 bit fields", {.bpp = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F},
          .pixels = {0x1F, 0, 0x1F, 0, 0, 0xF8, 0, 0, 0, 0xF8, 0xE0, 0x07, 0x1F, 0, 0, 0}},
         3, 2, rgbBbr},
        {"24 bits", {.pixels = {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0,
                                0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}},
         3, 2, rgbBbr},
        {"32 bits", {.width = 1, .bpp = 32, .pixels = {0x10, 0x20, 0x30, 0x00, 0x40, 0x50, 0x60, 0x77}},
         1, 2, {0xFF605040, 0xFF302010}},
        {"32 bits, V5 header, swapped bit fields",
         {.headerSize = 124, .width = 1, .height = 1, .bpp = 32, .compression = 3,
          .masks = {0x000000FF, 0x0000FF00, 0x00FF0000}, .pixels = {0x11, 0x22, 0x33, 0x44}},
         1, 1, {0xFF112233}},
        {"32 bits, V4 header, bit fields", {.headerSize = 108, .width = 1, .height = 1, .bpp = 32,
          .compression = 3, .masks = {0xFF0000, 0x00FF00, 0x0000FF}, .pixels = {0x11, 0x22, 0x33, 0x44}},
         1, 1, {0xFF332211}},
        {"16 bits, V3 header, 4-4-4 bit fields", {.headerSize = 56, .width = 1, .height = 1, .bpp = 16,
          .compression = 3, .masks = {0x0F00, 0x00F0, 0x000F}, .pixels = {0x5F, 0x0A, 0, 0}},
         1, 1, {0xFFAA55FF}},
        {"24 bits, V2 header", {.headerSize = 52, .width = 1, .height = 1, .pixels = {1, 2, 3, 0}},
         1, 1, {0xFF030201}},
        {"24 bits top-down", {.height = -2, .pixels = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,
                                                       255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0}},
         3, 2, rgbBbr},
        {"RLE8: run, absolute, end of bitmap", {.bpp = 8, .compression = 1, .colorsUsed = 4, .palette = Rgbk,
          .pixels = {2, 3, 1, 1, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}}, 3, 2, rgbBbr},
        {"RLE8: delta skips to colour 0", {.bpp = 8, .compression = 1, .colorsUsed = 4, .palette = Rgbk,
          .pixels = {1, 2, 0, 2, 1, 1, 1, 3, 0, 1}}, 3, 2, {K, K, B, G, K, K}},
        {"RLE4: run and absolute", {.bpp = 4, .compression = 2, .colorsUsed = 4, .palette = Rgbk,
          .pixels = {2, 0x33, 1, 0x10, 0, 0, 0, 3, 0x12, 0x30, 0, 1}}, 3, 2, rgbBbr},
        {"core header, 8 bits", {.headerSize = 12, .bpp = 8,
          .palette = std::vector<std::uint32_t>(256, 0x00FF00),
          .pixels = {0, 0, 0, 0, 1, 1, 1, 0}}, 3, 2, std::vector<std::uint32_t>(6, G)},
        {"core header, 24 bits", {.headerSize = 12, .width = 1, .height = 1, .pixels = {9, 8, 7, 0}},
         1, 1, {0xFF070809}},
    };
}

const GoodCase &caseNamed(std::string_view name)
{
    static const std::vector<GoodCase> cases = goodCases();
    for (const GoodCase &c : cases)
        if (name == c.name)
            return c;
    throw std::logic_error("no such case");
}

TEST(BmpDecode, HandWrittenBitmapsGiveTheirPixels)
{
    for (const GoodCase &c : goodCases()) {
        SCOPED_TRACE(c.name);
        BmpImage image;
        ASSERT_NO_THROW(image = wmb::decodeBmp(build(c.spec)));
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.pixels, c.pixels);
    }
}

// Every proper prefix of a valid bitmap lacks pixel data or the RLE end
// mark, so it must be refused; and no single-byte change may crash.
TEST(BmpDecode, EveryCutShortFileIsRefusedAndByteChangesAreSafe)
{
    for (const GoodCase &c : goodCases()) {
        SCOPED_TRACE(c.name);
        const Bytes whole = build(c.spec);
        for (std::size_t n = 0; n < whole.size(); ++n)
            ASSERT_EQ(errorOf(Bytes(whole.begin(), whole.begin() + static_cast<long>(n))),
                      "Bitmap image is not valid") << "cut to " << n << " bytes";
        for (std::size_t at = 0; at < whole.size(); ++at)
            for (std::uint8_t v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                Bytes changed = whole;
                changed[at] = v;
                const std::string result = errorOf(changed);
                ASSERT_TRUE(result == "decoded" || result == "Bitmap image is not valid") << result;
            }
    }
}

TEST(BmpDecode, BrokenFilesAreNotValid)
{
    const Spec rgb24 = caseNamed("24 bits").spec;
    const Spec rle8 = caseNamed("RLE8: run, absolute, end of bitmap").spec;
    auto with = [](Spec s, auto change) { change(s); return build(s); };
    auto patched = [](Bytes b, std::size_t at, std::uint8_t v) { b.at(at) = v; return b; };
    const Bytes good = build(rgb24);

    const std::vector<std::pair<const char *, Bytes>> cases = {
        {"empty file", {}},
        {"file header only", Bytes(good.begin(), good.begin() + 14)},
        {"cut inside the info header", Bytes(good.begin(), good.begin() + 30)},
        {"pixel data one byte short", Bytes(good.begin(), good.end() - 1)},
        {"PNG signature", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D, 'I', 'H', 'D', 'R',
                           0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0}},
        {"other signature", patched(good, 1, 'A')},
        {"unknown header size 64", with(rgb24, [](Spec &s) { s.headerSize = 64; })},
        {"zero width", with(rgb24, [](Spec &s) { s.width = 0; })},
        {"negative width", with(rgb24, [](Spec &s) { s.width = -3; })},
        {"zero height", with(rgb24, [](Spec &s) { s.height = 0; })},
        {"huge width", with(rgb24, [](Spec &s) { s.width = wmb::BmpMaxSide + 1; })},
        {"huge height", with(rgb24, [](Spec &s) { s.height = -(wmb::BmpMaxSide + 1); })},
        {"too many pixels", with(rgb24, [](Spec &s) { s.width = s.height = wmb::BmpMaxSide; })},
        {"two planes", patched(good, 26, 2)},
        {"2 bits per pixel", with(rgb24, [](Spec &s) { s.bpp = 2; s.palette = Rgbk; })},
        {"JPEG compression", with(rgb24, [](Spec &s) { s.compression = 4; })},
        {"bit fields on 24 bits", with(rgb24, [](Spec &s) { s.compression = 3; s.masks = {1, 2, 4}; })},
        {"16-bit mask wider than the pixel", with(caseNamed("16 bits 5-6-5 bit fields").spec, [](Spec &s) { s.masks[0] = 0x1F800; })},
        {"pixel offset past the end", patched(good, 10, 0xFF)},
        {"pixel offset inside the header", patched(good, 10, 20)},
        {"more colours than the bits name", with(caseNamed("4 bits").spec, [](Spec &s) {
             s.colorsUsed = 17;
             s.palette.resize(17);
         })},
        {"palette cut short", with(caseNamed("8 bits, 4 colours used").spec, [](Spec &s) { s.colorsUsed = 0; })},
        {"pixel data overlapping the palette",
         patched(with(caseNamed("8 bits, 4 colours used").spec, [](Spec &s) { s.palette = {1, 2, 3, 0}; }), 10, 62)},
        {"colour index outside the palette", with(caseNamed("8 bits, 4 colours used").spec, [](Spec &s) { s.pixels[0] = 4; })},
        {"RLE8 on 24 bits", with(rle8, [](Spec &s) { s.bpp = 24; })},
        {"RLE top-down", with(rle8, [](Spec &s) { s.height = -2; })},
        {"RLE run past the row's end", with(rle8, [](Spec &s) { s.pixels[0] = 4; })},
        {"RLE absolute stretch past the row's end", with(rle8, [](Spec &s) { s.pixels[7] = 5; })},
        {"RLE absolute stretch past the data", with(rle8, [](Spec &s) { s.pixels = {0, 3, 1, 2}; })},
        {"RLE rows past the top", with(rle8, [](Spec &s) { s.pixels = {0, 0, 0, 0, 0, 0, 0, 1}; })},
        {"RLE delta past the top", with(rle8, [](Spec &s) { s.pixels = {0, 2, 0, 3, 0, 1}; })},
        {"RLE delta past the right edge", with(rle8, [](Spec &s) { s.pixels = {0, 2, 4, 0, 0, 1}; })},
        {"RLE without end of bitmap", with(rle8, [](Spec &s) { s.pixels.resize(s.pixels.size() - 2); })},
        {"RLE4 run past the row's end", with(caseNamed("RLE4: run and absolute").spec, [](Spec &s) { s.pixels[0] = 4; })},
    };
    for (const auto &[name, bytes] : cases)
        EXPECT_EQ(errorOf(bytes), "Bitmap image is not valid") << name;
}

class TempDir {
public:
    TempDir() : mPath(wmbtest::makeTempFolder("wmb-bmp-")) {}
    ~TempDir() { std::filesystem::remove_all(mPath); }
    const std::filesystem::path &path() const { return mPath; }

private:
    std::filesystem::path mPath;
};

void writeFile(const std::filesystem::path &path, const Bytes &bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::string loadError(const std::string &path, const std::string &shown)
{
    try {
        wmb::loadBmpFile(path, shown);
    } catch (const wmb::PictureError &e) {
        return e.what();
    }
    return "loaded";
}

TEST(BmpLoad, FilesThatCannotBeOpenedNameTheShownPath)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "graph");
    std::filesystem::create_directory(dir.path() / "graph" / "20.bmp");
    EXPECT_EQ(loadError((dir.path() / "graph/1F.bmp").string(), "graph/1F.bmp"),
              "Cannot open file graph/1F.bmp");
    EXPECT_EQ(loadError((dir.path() / "graph/20.bmp").string(), "graph/20.bmp"),
              "Cannot open file graph/20.bmp");
}

TEST(BmpLoad, ReadsAValidFileAndRefusesABrokenOne)
{
    TempDir dir;
    const Bytes good = build(caseNamed("24 bits").spec);
    writeFile(dir.path() / "good.bmp", good);
    writeFile(dir.path() / "short.bmp", Bytes(good.begin(), good.end() - 1));
    writeFile(dir.path() / "empty.bmp", {});

    const BmpImage image = wmb::loadBmpFile((dir.path() / "good.bmp").string(), "graph/1.bmp");
    EXPECT_EQ(image.pixels, caseNamed("24 bits").pixels);
    EXPECT_EQ(loadError((dir.path() / "short.bmp").string(), "graph/2.bmp"), "Bitmap image is not valid");
    EXPECT_EQ(loadError((dir.path() / "empty.bmp").string(), "graph/3.bmp"), "Bitmap image is not valid");
}

TEST(BmpEncode, RoundTripsThroughTheDecoderWithPaddedRows)
{
    for (int width : {1, 2, 3, 4, 5, 33}) {
        SCOPED_TRACE(width);
        BmpImage image{width, 3, {}};
        for (int i = 0; i < width * 3; ++i)
            image.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(i * 0x010305 + 0x203040));
        const Bytes file = wmb::encodeBmp24(image);
        const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54 + stride * 3);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[28], 24);   // bits per pixel
        EXPECT_EQ(file[25], 0);    // positive height: bottom-up
        // The first stored row is the bottom one.
        EXPECT_EQ(file[54] | file[55] << 8 | file[56] << 16,
                  static_cast<int>(image.pixels[static_cast<std::size_t>(width) * 2] & 0xFFFFFF));
        const BmpImage back = wmb::decodeBmp(file);
        EXPECT_EQ(back.width, width);
        EXPECT_EQ(back.height, 3);
        EXPECT_EQ(back.pixels, image.pixels);
    }
    EXPECT_THROW(wmb::encodeBmp24(BmpImage{2, 2, {K, K, K}}), std::invalid_argument);
}

} // namespace

// The overview's tiles: the top-left 32 x 32, black beyond a smaller
// picture, each pixel the mean of the part it covers.
TEST(TileScale, KeepsCutsAndAveragesThePicture)
{
    wmb::BmpImage tile{40, 2, std::vector<std::uint32_t>(80, 0xFF102030u)};
    tile.pixels[1] = 0xFF506070u;
    const wmb::BmpImage same = wmb::scaleTile(tile, 32);
    EXPECT_EQ(same.pixels[0], 0xFF102030u);
    EXPECT_EQ(same.pixels[1], 0xFF506070u);
    EXPECT_EQ(same.pixels[32 * 2], 0xFF000000u);   // below the picture: black
    const wmb::BmpImage half = wmb::scaleTile(tile, 16);
    EXPECT_EQ(half.pixels[0], 0xFF203040u);   // (3 x 102030 + 506070) / 4, channel by channel
    EXPECT_EQ(half.pixels[16], 0xFF000000u);
    EXPECT_EQ(wmb::scaleTile({}, 8).pixels, std::vector<std::uint32_t>(64, 0xFF000000u));
}
