#include "tileart.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace wmb::assets {
namespace {

struct Rgb {
    int r, g, b;
};

// The sixteen colours a group's low nibble picks from.
constexpr std::array<Rgb, 16> Hues = {{
    {200, 64, 48},  {224, 128, 40}, {216, 184, 56}, {128, 188, 52},
    {44, 156, 72},  {40, 164, 152}, {56, 144, 216}, {60, 84, 208},
    {116, 72, 204}, {176, 64, 192}, {216, 76, 144}, {152, 100, 60},
    {148, 148, 156}, {92, 104, 128}, {232, 220, 196}, {128, 44, 44},
}};

// The names of those colours, as tile names use them.
constexpr std::array<const char *, 16> HueNames = {
    "Red",    "Orange", "Yellow", "Lime",  "Green", "Teal",  "Sky blue", "Blue",
    "Violet", "Purple", "Pink",   "Brown", "Grey",  "Slate", "Cream",    "Maroon",
};

constexpr Rgb Background = {16, 16, 40};
constexpr Rgb Black = {0, 0, 0};
constexpr Rgb Light = {255, 255, 224};

// Colour c scaled by percent (clamped), e.g. 60 darker, 140 lighter.
Rgb shade(Rgb c, int percent)
{
    auto f = [percent](int v) { return std::clamp(v * percent / 100, 0, 255); };
    return {f(c.r), f(c.g), f(c.b)};
}

// 3 x 5 digits, one row per 3-bit group, top row in the high bits. B and D
// take their lower-case shapes, as on seven-segment displays, so they never
// read as 8 and 0 at this size.
constexpr std::array<std::uint16_t, 16> Font = {
    0b111'101'101'101'111, 0b010'110'010'010'111, 0b111'001'111'100'111, 0b111'001'111'001'111,
    0b101'101'111'001'001, 0b111'100'111'001'111, 0b111'100'111'101'111, 0b111'001'001'010'010,
    0b111'101'111'101'111, 0b111'101'111'001'111, 0b010'101'111'101'101, 0b100'100'111'101'111,
    0b011'100'100'100'011, 0b001'001'111'101'111, 0b111'100'110'100'111, 0b111'100'110'100'100,
};

class Canvas {
public:
    explicit Canvas(Rgb fill) { rect(0, 0, TileSize, TileSize, fill); }

    void dot(int x, int y, Rgb c)
    {
        if (x >= 0 && x < TileSize && y >= 0 && y < TileSize)
            mPixels[static_cast<std::size_t>(y * TileSize + x)] =
                0xFF000000u | static_cast<std::uint32_t>(c.r << 16 | c.g << 8 | c.b);
    }
    void rect(int x0, int y0, int w, int h, Rgb c)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                dot(x, y, c);
    }
    // A raised block: light top and left edges, dark bottom and right ones.
    void bevel(int x0, int y0, int w, int h, Rgb c, int edge = 2)
    {
        rect(x0, y0, w, h, c);
        rect(x0, y0, w, edge, shade(c, 150));
        rect(x0, y0, edge, h, shade(c, 150));
        rect(x0, y0 + h - edge, w, edge, shade(c, 55));
        rect(x0 + w - edge, y0, edge, h, shade(c, 55));
    }
    void disc(int cx, int cy, int radius, Rgb c)
    {
        for (int y = cy - radius; y <= cy + radius; ++y)
            for (int x = cx - radius; x <= cx + radius; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius + radius)
                    dot(x, y, c);
    }
    void label(int code)
    {
        const int digits = code >= 16 ? 2 : 1;
        rect(0, 0, 4 * digits + 1, 7, Black);
        for (int i = 0; i < digits; ++i) {
            const int digit = digits == 2 && i == 0 ? code >> 4 : code & 0xF;
            for (int bit = 0; bit < 15; ++bit)
                if (Font[static_cast<std::size_t>(digit)] >> (14 - bit) & 1)
                    dot(1 + 4 * i + bit % 3, 1 + bit / 3, Light);
        }
    }
    BmpImage image() const { return {TileSize, TileSize, {mPixels.begin(), mPixels.end()}}; }

private:
    std::array<std::uint32_t, TileSize * TileSize> mPixels{};
};

void drawWall(Canvas &cv, int code, Rgb c)
{
    if (code < 0x08) {   // bricks: four courses, joints staggered
        cv.rect(0, 0, TileSize, TileSize, shade(c, 45));
        for (int course = 0; course < 4; ++course) {
            const int y = course * 8;
            const int offset = course % 2 == 0 ? 0 : 8;
            for (int x = -offset; x < TileSize; x += 16)
                cv.bevel(x + 1, y, 15, 7, c, 1);
        }
    } else {   // stone blocks, 2 x 2
        for (int by = 0; by < 2; ++by)
            for (int bx = 0; bx < 2; ++bx)
                cv.bevel(16 * bx, 16 * by, 16, 16, shade(c, 90 + 10 * ((bx + by) % 2)), 3);
    }
}

void drawFloor(Canvas &cv, int code, Rgb c)
{
    switch ((code >> 2) & 3) {
    case 0:   // riveted slab
        cv.bevel(0, 0, TileSize, 12, c);
        for (int x = 4; x < TileSize; x += 8)
            cv.rect(x, 5, 2, 2, shade(c, 40));
        break;
    case 1:   // girder: two beams and a zigzag truss
        cv.rect(0, 0, TileSize, 3, c);
        cv.rect(0, 13, TileSize, 3, shade(c, 70));
        for (int x = 0; x < TileSize; ++x) {
            const int t = x % 16;
            cv.rect(x, 3 + (t < 8 ? t * 10 / 8 : (15 - t) * 10 / 8), 1, 2, shade(c, 120));
        }
        break;
    case 2:   // ground: grass on top of soil
        cv.rect(0, 0, TileSize, TileSize, shade(c, 55));
        for (int x = 0; x < TileSize; ++x)
            cv.rect(x, 0, 1, 4 + (x * 7 % 5 == 0 ? 2 : 0), Hues[4]);
        for (std::uint32_t i = 0, seed = 7; i < 12; ++i) {   // pebbles, fixed-seed scatter
            seed = seed * 1103515245u + 12345u;
            const int x = static_cast<int>((seed >> 16) % 29) + 1;
            seed = seed * 1103515245u + 12345u;
            cv.rect(x, 9 + static_cast<int>((seed >> 16) % 21), 2, 2, shade(c, 85));
        }
        break;
    default:   // ledge on two struts
        cv.bevel(0, 0, TileSize, 6, c, 1);
        cv.rect(6, 6, 3, 14, shade(c, 60));
        cv.rect(23, 6, 3, 14, shade(c, 60));
        break;
    }
}

void drawClimb(Canvas &cv, int code, Rgb c)
{
    if (code < 0x30) {   // ladders, the second half on a back wall
        if (code >= 0x28)
            cv.rect(0, 0, TileSize, TileSize, shade(c, 30));
        cv.rect(7, 0, 3, TileSize, c);
        cv.rect(22, 0, 3, TileSize, c);
        for (int y = 3; y < TileSize; y += 8)
            cv.rect(10, y, 12, 2, shade(c, 130));
    } else if (code < 0x34) {   // rope: a twisted strand
        for (int y = 0; y < TileSize; ++y) {
            cv.rect(14, y, 4, 1, c);
            cv.dot(14 + (y / 2) % 4, y, shade(c, 50));
        }
    } else {   // chain: alternating links
        for (int y = 0; y < TileSize; y += 8) {
            cv.rect(13, y, 6, 6, c);
            cv.rect(15, y + 2, 2, 2, Background);
            cv.rect(15, y + 5, 2, 4, shade(c, 70));
        }
    }
}

void drawPipe(Canvas &cv, int code, Rgb c)
{
    // A pipe 14 px thick, shaded across; arms from the centre to the edges.
    auto horizontal = [&](int x0, int x1) {
        for (int i = 0; i < 14; ++i)
            cv.rect(x0, 9 + i, x1 - x0, 1, shade(c, 150 - std::abs(i - 5) * 16));
    };
    auto vertical = [&](int y0, int y1) {
        for (int i = 0; i < 14; ++i)
            cv.rect(9 + i, y0, 1, y1 - y0, shade(c, 150 - std::abs(i - 5) * 16));
    };
    switch (code & 7) {
    case 0: horizontal(0, 32); break;
    case 1: vertical(0, 32); break;
    case 2: horizontal(9, 32); vertical(9, 32); break;   // corner: right and down
    case 3: horizontal(0, 23); vertical(9, 32); break;   // left and down
    case 4: horizontal(9, 32); vertical(0, 23); break;   // right and up
    case 5: horizontal(0, 23); vertical(0, 23); break;   // left and up
    case 6: horizontal(0, 32); vertical(0, 32); break;
    default:
        horizontal(0, 26);
        cv.bevel(24, 6, 6, 20, shade(c, 110), 1);
        break;
    }
}

void drawItem(Canvas &cv, int code, Rgb c)
{
    if (code < 0x50) {   // gem: a faceted diamond
        for (int y = 0; y < 22; ++y) {
            const int half = y < 8 ? 4 + y : 11 - (y - 8) * 11 / 14;
            for (int x = 16 - half; x < 16 + half; ++x)
                cv.dot(x, 6 + y, shade(c, x < 16 ? (y < 8 ? 150 : 110) : (y < 8 ? 120 : 70)));
        }
    } else if (code < 0x58) {   // coin
        cv.disc(16, 17, 10, shade(c, 70));
        cv.disc(16, 17, 8, c);
        cv.rect(15, 12, 2, 10, shade(c, 150));
    } else {   // orb with a highlight
        cv.disc(16, 17, 10, c);
        cv.disc(13, 14, 3, shade(c, 170));
    }
}

void drawBlock(Canvas &cv, int code, Rgb c)
{
    if (code < 0x68) {   // bonus block with four studs and a centre mark
        cv.bevel(0, 0, TileSize, TileSize, c, 3);
        for (int y : {7, 23})
            for (int x : {7, 23})
                cv.rect(x - 1, y - 1, 3, 3, shade(c, 50));
        cv.rect(13, 10, 6, 12, shade(c, 160));
    } else if (code < 0x70) {   // key
        cv.disc(10, 16, 6, c);
        cv.disc(10, 16, 2, Background);
        cv.rect(16, 15, 13, 3, c);
        cv.rect(22, 18, 2, 4, c);
        cv.rect(26, 18, 2, 6, c);
    } else {   // crate: braced or planked
        cv.bevel(0, 0, TileSize, TileSize, shade(c, 80), 3);
        if (code < 0x78) {
            for (int i = 3; i < 29; ++i) {
                cv.rect(i, i - 1, 1, 3, shade(c, 130));
                cv.rect(i, 30 - i, 1, 3, shade(c, 130));
            }
        } else {
            for (int y = 9; y < 29; y += 7)
                cv.rect(3, y, 26, 1, shade(c, 40));
        }
    }
}

void drawPattern(Canvas &cv, int code, Rgb c)
{
    const Rgb dark = shade(c, 45);
    for (int y = 0; y < TileSize; ++y)
        for (int x = 0; x < TileSize; ++x) {
            bool on = false;
            switch ((code >> 4) & 7) {
            case 0: on = ((x / 4) + (y / 4)) % 2 == 0; break;
            case 1: on = (x + y) % 8 < 4; break;
            case 2: on = y % 8 < 4; break;
            case 3: on = x % 8 < 4; break;
            case 4: on = !(x % 8 >= 2 && x % 8 < 6 && y % 8 >= 2 && y % 8 < 6); break;
            case 5: on = (y + std::abs(x % 8 - 4)) % 8 < 4; break;
            case 6: on = std::max(std::abs(2 * x - 31), std::abs(2 * y - 31)) % 8 < 4; break;
            default: on = (std::abs(x % 16 - 8) + std::abs(y % 16 - 8)) % 8 < 3; break;
            }
            cv.dot(x, y, on ? c : dark);
        }
    // A frame, so neighbouring blocks read as separate blocks.
    cv.rect(0, TileSize - 1, TileSize, 1, Black);
    cv.rect(TileSize - 1, 0, 1, TileSize, Black);
}

} // namespace

BmpImage makeTile(int code)
{
    Canvas cv(Background);
    if (code <= 0)
        return cv.image();
    const Rgb hue = Hues[static_cast<std::size_t>(code & 0xF)];
    if (code < 0x10)
        drawWall(cv, code, hue);
    else if (code < 0x20)
        drawFloor(cv, code, hue);
    else if (code < 0x38)
        drawClimb(cv, code, hue);
    else if (code < 0x40)
        drawPipe(cv, code, hue);
    else if (code < 0x60)
        drawItem(cv, code, hue);
    else if (code < 0x80)
        drawBlock(cv, code, hue);
    else
        drawPattern(cv, code, hue);
    cv.label(code);
    return cv.image();
}

std::string tileName(int code)
{
    if (code <= 0)
        return "Empty";
    // What each group draws, by its first code; the pipes have a shape each.
    static constexpr struct {
        int first;
        const char *what;
    } Groups[] = {
        {0x01, "brick wall"}, {0x08, "stone wall"}, {0x10, "riveted slab"}, {0x14, "girder"},
        {0x18, "ground with grass"}, {0x1C, "ledge"}, {0x20, "ladder"}, {0x28, "ladder on a wall"},
        {0x30, "rope"}, {0x34, "chain"}, {0x38, nullptr}, {0x40, "gem"}, {0x50, "coin"}, {0x58, "orb"},
        {0x60, "bonus block"}, {0x68, "key"}, {0x70, "braced crate"}, {0x78, "plank crate"},
        {0x80, "checked block"}, {0x90, "diagonal block"}, {0xA0, "banded block"}, {0xB0, "columned block"},
        {0xC0, "dotted block"}, {0xD0, "zigzag block"}, {0xE0, "ring block"}, {0xF0, "lattice block"},
    };
    static constexpr std::array<const char *, 8> Pipes = {
        "Horizontal pipe",           "Vertical pipe",           "Pipe bend, right and down",
        "Pipe bend, left and down",  "Pipe bend, right and up", "Pipe bend, left and up",
        "Pipe crossing",             "Pipe end cap",
    };
    const char *what = nullptr;
    for (const auto &group : Groups)
        if (code >= group.first)
            what = group.what;
    if (!what)
        return Pipes[static_cast<std::size_t>(code & 7)];
    return std::string(HueNames[static_cast<std::size_t>(code & 0xF)]) + " " + what;
}

} // namespace wmb::assets
