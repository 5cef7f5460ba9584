// makedemorom FILE: writes the demo ROM image, an iNES file of 73,744 bytes
// (16-byte header, four 16 KiB program banks, one 8 KiB character bank,
// mapper 2) whose 32 level records hold playable-looking levels built from
// the shipped tile set. Everything else is filler from a fixed-seed
// generator, and the four bytes of each record that belong to no field are
// never zero, so a test can tell whether the editor touched them. The output
// is the same byte for byte on every run.
#include "levelrecord.h"
#include "writefile.h"

#include <array>
#include <cstdint>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t HeaderSize = 16;
constexpr std::size_t PrgSize = 4 * 16384;
constexpr std::size_t ChrSize = 8192;
constexpr std::size_t RomSize = HeaderSize + PrgSize + ChrSize;   // 73,744

// xorshift32: small, fixed, and the same everywhere.
class Random {
public:
    explicit Random(std::uint32_t seed) : mState(seed == 0 ? 0x9E3779B9u : seed) {}
    std::uint32_t next()
    {
        mState ^= mState << 13;
        mState ^= mState >> 17;
        mState ^= mState << 5;
        return mState;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    std::uint8_t byte() { return static_cast<std::uint8_t>(next() >> 24); }

private:
    std::uint32_t mState;
};

constexpr std::array<std::string_view, 32> Places = {
    "START", "CAVES", "TOWER", "LADDER", "VAULT", "MAZE", "PIPES", "ROPES",
    "GEMS", "DEPTHS", "CRYPT", "Garden", "ATTIC", "FORGE", "MINES", "ABYSS",
    "BRIDGE", "CASTLE", "SPIRAL", "ISLAND", "TEMPLE", "HARBOR", "CANYON", "FROST",
    "EMBER", "ORCHID", "QUARRY", "SUMMIT", "HOLLOW", "RIDDLE", "[END]", "FINALE",
};
constexpr std::array<std::string_view, 6> Authors = {
    "DEMO TEAM", "Pixel Pusher", "R.O.M. HACKER", "TILE SMITH", "level maker", "BIT FIDDLER",
};
constexpr std::array<std::string_view, 9> Hints = {
    "Grab every gem before the timer runs out!",
    "Ladders go up; holes in the floor go down.",
    "Ropes hang below the floors: climb with care.",
    "Keys open the way. Coins are only for the score.",
    "Patterned blocks are solid - walk right over them.",
    "Think first, jump later... and watch the clock (~5s).",
    "The top floor hides the last treasure.",
    "Too wide to jump? Find another way round. #2",
    "100% of the gems = 1 extra life. {Maybe.}",
};

// Writes an ASCII text into a level text field, filling it with code 0x00.
// Only characters of the level text table are allowed ("|" has no code).
void putText(std::vector<std::uint8_t> &rom, std::int32_t offset, int length, std::string_view text)
{
    if (text.size() > static_cast<std::size_t>(length))
        throw std::logic_error("text too long for its field: " + std::string(text));
    for (int i = 0; i < length; ++i) {
        std::uint8_t code = 0;
        if (static_cast<std::size_t>(i) < text.size()) {
            code = static_cast<std::uint8_t>(text[static_cast<std::size_t>(i)]);
            if (code < 0x20 || code > 0x7E || code == '|')
                throw std::logic_error("character without a level text code in: " + std::string(text));
        }
        rom[static_cast<std::size_t>(offset + i)] = code;
    }
}

using Map = std::array<std::array<std::uint8_t, wmb::MapColumns>, wmb::MapRows>;

// Floors lie on rows 2, 5 and 8 above the bottom wall (row 11); the player
// stands on the row above each. Ladders join each floor to the one above.
Map makeMap(int level)
{
    Random rnd(0xC0FFEEu + static_cast<std::uint32_t>(level) * 7919u);
    const std::uint8_t wall = static_cast<std::uint8_t>(0x01 + (level - 1) % 15);
    const std::uint8_t floor = static_cast<std::uint8_t>(0x10 + (level * 5) % 16);
    const std::uint8_t ladder = static_cast<std::uint8_t>(0x20 + (level * 3) % 16);
    constexpr int last = wmb::MapColumns - 1;

    Map m{};
    for (int c = 0; c <= last; ++c)
        m[0][c] = m[wmb::MapRows - 1][c] = wall;
    for (auto &row : m)
        row[0] = row[last] = wall;
    for (int f : {2, 5, 8}) {
        for (int c = 1; c < last; ++c)
            m[f][c] = floor;
        const int gap = 1 + rnd.below(last - 2);
        const int width = 1 + rnd.below(2);
        for (int c = gap; c < gap + width && c < last; ++c)
            m[f][c] = 0;
    }
    auto solid = [&](int r, int c) { return m[r][c] == wall || m[r][c] == floor; };
    auto pick = [&](auto fits) {
        std::vector<int> columns;
        for (int c = 1; c < last; ++c)
            if (fits(c))
                columns.push_back(c);
        return columns.empty() ? -1 : columns[static_cast<std::size_t>(rnd.below(static_cast<int>(columns.size())))];
    };
    for (int f : {5, 8, 11}) {
        const int c = pick([&](int c) { return m[f - 3][c] == floor && solid(f, c); });
        for (int r = f - 3; r < f && c > 0; ++r)
            m[r][c] = ladder;
    }
    const int ropeFloor = level % 2 == 0 ? 2 : 5;
    const int rope = pick([&](int c) {
        return m[ropeFloor][c] == floor && m[ropeFloor + 1][c] == 0 && m[ropeFloor + 2][c] == 0;
    });
    for (int r = ropeFloor + 1; r <= ropeFloor + 2 && rope > 0; ++r)
        m[r][rope] = static_cast<std::uint8_t>(0x30 + level % 8);
    if (level % 4 == 0) {   // a pipe along the ceiling, capped at its right end
        for (int c = 4; c < 8; ++c)
            m[1][c] = 0x38;
        m[1][8] = 0x3F;
    }
    for (int stand : {1, 4, 7, 10}) {
        const int items = 2 + rnd.below(2);
        for (int i = 0; i < items; ++i) {
            const int c = pick([&](int c) { return m[stand][c] == 0 && solid(stand + 1, c); });
            if (c < 0)
                break;
            static constexpr std::array<std::uint8_t, 4> Kinds = {0x40, 0x50, 0x58, 0x68};
            m[stand][c] = static_cast<std::uint8_t>(Kinds[static_cast<std::size_t>(rnd.below(4))] + rnd.below(8));
        }
    }
    for (int f : {2, 5, 8}) {
        const int c = pick([&](int c) { return m[f][c] == floor; });
        if (c > 0)
            m[f][c] = static_cast<std::uint8_t>(0x80 + rnd.below(128));
    }
    const int crate = pick([&](int c) { return m[10][c] == 0; });
    if (crate > 0)
        m[10][crate] = static_cast<std::uint8_t>(0x70 + level % 16);
    return m;
}

std::vector<std::uint8_t> makeRom()
{
    Random rnd(0x2545F491u);
    std::vector<std::uint8_t> rom(RomSize);
    for (auto &b : rom)
        b = rnd.byte();
    const std::array<std::uint8_t, HeaderSize> header = {
        'N', 'E', 'S', 0x1A, PrgSize / 16384, ChrSize / 8192, 0x21 /* mapper 2, vertical mirroring */,
    };
    std::copy(header.begin(), header.end(), rom.begin());

    for (int level = 1; level <= wmb::LevelCount; ++level) {
        const std::int32_t base = wmb::LevelBaseOf(level);
        for (int unused : {-32, -18, -1, wmb::RecordEndOffset}) {
            std::uint8_t &b = rom[static_cast<std::size_t>(base + unused)];
            if (b == 0)
                b = 0xA5;
        }
        const std::string name = "LEVEL " + std::to_string(level) + " " + std::string(Places[level - 1]);
        putText(rom, base + wmb::NameOffset, wmb::NameLength, name);
        putText(rom, base + wmb::AuthorOffset, wmb::AuthorLength, Authors[level % Authors.size()]);
        putText(rom, base + wmb::HintOffset, wmb::HintLength, Hints[level % Hints.size()]);
        // Timers from 100 to 940 in steps of 5 (the byte is a fifth of the timer).
        rom[static_cast<std::size_t>(base + wmb::TimerOffset)] = static_cast<std::uint8_t>(20 + (level * 37) % 169);
        const Map map = makeMap(level);
        for (int r = 0; r < wmb::MapRows; ++r)
            for (int c = 0; c < wmb::MapColumns; ++c)
                rom[static_cast<std::size_t>(base + wmb::MapOffset + r * wmb::MapColumns + c)] = map[r][c];
    }
    return rom;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: makedemorom FILE\n";
        return 2;
    }
    try {
        wmb::assets::writeWholeFile(argv[1], makeRom());
    } catch (const std::exception &e) {
        std::cerr << "makedemorom: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
