#include "bmpimage.h"

#include "errors.h"
#include "platform.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>

namespace wmb {
namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiRle4 = 2;
constexpr std::uint32_t BiBitfields = 3;
// No bitmap within BmpMaxPixels needs a file this large; bigger files are
// refused before they are read.
constexpr std::int64_t MaxFileSize = std::int64_t{1} << 30;

[[noreturn]] void invalid() { throw PictureError::notValid(); }

// Little-endian fields at absolute offsets; a field past the end is invalid.
struct Bytes {
    std::span<const std::uint8_t> data;

    std::uint32_t u8(std::uint64_t at) const
    {
        if (at >= data.size())
            invalid();
        return data[at];
    }
    std::uint32_t u16(std::uint64_t at) const { return u8(at) | u8(at + 1) << 8; }
    std::uint32_t u32(std::uint64_t at) const { return u16(at) | u16(at + 2) << 16; }
    std::int32_t i32(std::uint64_t at) const { return static_cast<std::int32_t>(u32(at)); }
};

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m)
    {
        if (mask == 0)
            return;
        while (((mask >> shift) & 1u) == 0)
            ++shift;
        max = mask >> shift;
    }
    std::uint32_t operator()(std::uint32_t v) const
    {
        if (max == 0)
            return 0;
        const std::uint64_t raw = (v & mask) >> shift;
        return static_cast<std::uint32_t>((raw * 255 + max / 2) / max);
    }
};

constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// Everything the headers say, checked for consistency.
struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;   // rows, always positive
    bool topDown = false;
    std::uint32_t bpp = 0;
    std::uint32_t compression = BiRgb;
    std::array<Channel, 3> channels;   // red, green, blue for 16 and 32 bits
    std::vector<std::uint32_t> palette;
    std::uint64_t pixelOffset = 0;
};

Layout readLayout(const Bytes &in)
{
    const auto &data = in.data;
    if (data.size() < FileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M')
        invalid();
    Layout l;
    l.pixelOffset = in.u32(10);
    const std::uint32_t headerSize = in.u32(14);
    const bool core = headerSize == 12;
    if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108
        && headerSize != 124)
        invalid();
    const std::uint64_t headerEnd = FileHeaderSize + headerSize;
    if (headerEnd > data.size())
        invalid();

    std::int64_t rawHeight = 0;
    std::uint32_t planes = 0;
    std::uint32_t colorsUsed = 0;
    if (core) {
        l.width = in.u16(18);
        rawHeight = in.u16(20);
        planes = in.u16(22);
        l.bpp = in.u16(24);
        if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 24)
            invalid();
    } else {
        l.width = in.i32(18);
        rawHeight = in.i32(22);
        planes = in.u16(26);
        l.bpp = in.u16(28);
        l.compression = in.u32(30);
        colorsUsed = in.u32(46);
    }
    if (planes != 1 || l.width <= 0 || rawHeight == 0)
        invalid();
    l.topDown = rawHeight < 0;
    l.height = l.topDown ? -rawHeight : rawHeight;
    if (l.width > BmpMaxSide || l.height > BmpMaxSide || l.width * l.height > BmpMaxPixels)
        invalid();

    switch (l.compression) {
    case BiRgb:
        if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 16 && l.bpp != 24 && l.bpp != 32)
            invalid();
        break;
    case BiRle8:
    case BiRle4:
        if (l.bpp != (l.compression == BiRle8 ? 8u : 4u) || l.topDown)
            invalid();
        break;
    case BiBitfields:
        if (l.bpp != 16 && l.bpp != 32)
            invalid();
        break;
    default:
        invalid();
    }

    // Colour masks lie inside V2 and later headers, or just after an info header.
    std::uint64_t tableStart = headerEnd;
    if (l.compression == BiBitfields) {
        const std::uint64_t masksAt = FileHeaderSize + 40;
        if (headerSize == 40)
            tableStart += 12;
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t mask = in.u32(masksAt + 4 * c);
            if (l.bpp == 16 && mask > 0xFFFF)
                invalid();
            l.channels[c] = Channel(mask);
        }
    } else if (l.bpp == 16) {
        l.channels = {Channel(0x7C00), Channel(0x03E0), Channel(0x001F)};
    }

    if (l.bpp <= 8) {
        const std::uint32_t full = 1u << l.bpp;
        if (colorsUsed > full)
            invalid();
        const std::uint32_t count = colorsUsed == 0 ? full : colorsUsed;
        const std::uint64_t entrySize = core ? 3 : 4;
        if (tableStart + count * entrySize > l.pixelOffset)
            invalid();
        l.palette.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t at = tableStart + i * entrySize;
            l.palette.push_back(rgb(in.u8(at + 2), in.u8(at + 1), in.u8(at)));
        }
    }
    if (l.pixelOffset < tableStart || l.pixelOffset > data.size())
        invalid();
    return l;
}

std::uint32_t paletteColour(const Layout &l, std::uint32_t index)
{
    if (index >= l.palette.size())
        invalid();
    return l.palette[index];
}

void decodeRows(const Bytes &in, const Layout &l, BmpImage &image)
{
    const std::uint64_t stride = (static_cast<std::uint64_t>(l.width) * l.bpp + 31) / 32 * 4;
    if (l.pixelOffset + stride * static_cast<std::uint64_t>(l.height) > in.data.size())
        invalid();
    const std::size_t width = static_cast<std::size_t>(l.width);
    for (std::int64_t r = 0; r < l.height; ++r) {
        const std::uint8_t *src = in.data.data() + l.pixelOffset + r * stride;
        const std::int64_t y = l.topDown ? r : l.height - 1 - r;
        std::uint32_t *dst = image.pixels.data() + y * l.width;
        // The tile sets' own depth, a row at a time (every tile picture of a
        // level is decoded at each load).
        if (l.bpp == 24) {
            for (std::size_t x = 0; x < width; ++x, src += 3)
                dst[x] = rgb(src[2], src[1], src[0]);
            continue;
        }
        for (std::size_t x = 0; x < width; ++x) {
            switch (l.bpp) {
            case 1:
                dst[x] = paletteColour(l, (src[x / 8] >> (7 - x % 8)) & 1u);
                break;
            case 4:
                dst[x] = paletteColour(l, (src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xFu);
                break;
            case 8:
                dst[x] = paletteColour(l, src[x]);
                break;
            case 16: {
                const std::uint32_t v = src[2 * x] | src[2 * x + 1] << 8;
                dst[x] = rgb(l.channels[0](v), l.channels[1](v), l.channels[2](v));
                break;
            }
            case 24:
                dst[x] = rgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            default: {   // 32
                const std::uint8_t *p = src + 4 * x;
                if (l.compression == BiRgb) {
                    dst[x] = rgb(p[2], p[1], p[0]);
                } else {
                    const std::uint32_t v = p[0] | p[1] << 8 | p[2] << 16
                                            | static_cast<std::uint32_t>(p[3]) << 24;
                    dst[x] = rgb(l.channels[0](v), l.channels[1](v), l.channels[2](v));
                }
            }
            }
        }
    }
}

// RLE4/RLE8: runs, absolute stretches, end of line, delta and end of bitmap,
// bottom row first. Every write is checked against the image; data that
// ends before the end-of-bitmap mark is invalid.
void decodeRle(const Bytes &in, const Layout &l, BmpImage &image)
{
    const bool rle4 = l.compression == BiRle4;
    std::fill(image.pixels.begin(), image.pixels.end(), paletteColour(l, 0));
    std::int64_t x = 0;
    std::int64_t y = 0;   // counted from the bottom row
    auto put = [&](std::uint32_t index) {
        if (x >= l.width || y >= l.height)
            invalid();
        image.pixels[(l.height - 1 - y) * l.width + x] = paletteColour(l, index);
        ++x;
    };
    std::uint64_t pos = l.pixelOffset;
    for (;;) {
        const std::uint32_t count = in.u8(pos);
        const std::uint32_t value = in.u8(pos + 1);
        pos += 2;
        if (count > 0) {
            if (x + count > l.width)
                invalid();
            for (std::uint32_t i = 0; i < count; ++i)
                put(rle4 ? (i % 2 == 0 ? value >> 4 : value & 0xFu) : value);
            continue;
        }
        switch (value) {
        case 0:   // end of line
            x = 0;
            if (++y > l.height)
                invalid();
            break;
        case 1:   // end of bitmap
            return;
        case 2:   // delta
            x += in.u8(pos);
            y += in.u8(pos + 1);
            pos += 2;
            if (x > l.width || y > l.height)
                invalid();
            break;
        default: {   // absolute: `value` pixels, padded to a 16-bit boundary
            const std::uint64_t size = rle4 ? (value + 1) / 2 : value;
            const std::uint64_t padded = size + (size & 1u);
            if (pos + padded > in.data.size() || x + value > l.width)
                invalid();
            for (std::uint32_t i = 0; i < value; ++i) {
                const std::uint32_t b = in.data[pos + (rle4 ? i / 2 : i)];
                put(rle4 ? (i % 2 == 0 ? b >> 4 : b & 0xFu) : b);
            }
            pos += padded;
        }
        }
    }
}

void put16(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

} // namespace

BmpImage decodeBmp(std::span<const std::uint8_t> bytes)
{
    const Bytes in{bytes};
    const Layout layout = readLayout(in);
    BmpImage image;
    image.width = static_cast<int>(layout.width);
    image.height = static_cast<int>(layout.height);
    if (layout.compression == BiRle8 || layout.compression == BiRle4) {
        // At least an end-of-bitmap mark must follow before memory is spent.
        if (layout.pixelOffset + 2 > bytes.size())
            invalid();
        image.pixels.resize(static_cast<std::size_t>(layout.width * layout.height));
        decodeRle(in, layout, image);
    } else {
        image.pixels.resize(static_cast<std::size_t>(layout.width * layout.height));
        decodeRows(in, layout, image);
    }
    return image;
}

BmpImage loadBmpFile(const std::string &path, const std::string &shownPath)
{
    SystemFile file;
    std::int64_t size = 0;
    try {
        // A folder, pipe or device is refused without waiting on it.
        file = SystemFile::openExisting(path, SystemFile::Access::Read);
        size = file.size();
    } catch (const RuntimeError &) {
        throw PictureError::cannotOpen(shownPath);
    }
    if (size > MaxFileSize)
        invalid();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t n = 0;
        try {
            n = file.read(bytes.data() + done, bytes.size() - done);
        } catch (const RuntimeError &) {
            throw PictureError::cannotOpen(shownPath);
        }
        if (n == 0)
            break;   // the file shrank meanwhile: decode what is there
        done += n;
    }
    bytes.resize(done);
    return decodeBmp(bytes);
}

std::vector<std::uint8_t> encodeBmp24(const BmpImage &image)
{
    if (image.width <= 0 || image.height <= 0
        || image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        throw std::invalid_argument("encodeBmp24: pixel count is not width x height");
    const std::uint32_t stride = (static_cast<std::uint32_t>(image.width) * 3 + 3) / 4 * 4;
    const std::uint32_t dataSize = stride * static_cast<std::uint32_t>(image.height);
    const std::uint32_t offset = FileHeaderSize + 40;

    std::vector<std::uint8_t> out;
    out.reserve(offset + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + dataSize);
    put32(out, 0);   // reserved
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(image.width));
    put32(out, static_cast<std::uint32_t>(image.height));
    put16(out, 1);   // planes
    put16(out, 24);
    put32(out, BiRgb);
    put32(out, dataSize);
    put32(out, 2835);   // 72 dots per inch, in dots per metre
    put32(out, 2835);
    put32(out, 0);   // colours used
    put32(out, 0);   // colours important
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint32_t *row = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
        for (int x = 0; x < image.width; ++x) {
            out.push_back(static_cast<std::uint8_t>(row[x]));
            out.push_back(static_cast<std::uint8_t>(row[x] >> 8));
            out.push_back(static_cast<std::uint8_t>(row[x] >> 16));
        }
        out.insert(out.end(), stride - static_cast<std::uint32_t>(image.width) * 3, 0);
    }
    return out;
}

} // namespace wmb
