// The shipped tile set and the demo ROM, as the build made them, and the
// makers run again into temporary folders to show they are deterministic.
#include "bmpimage.h"
#include "hexcode.h"
#include "levelrecord.h"
#include "tilenames.h"
#include "tileset.h"

#include <gtest/gtest.h>

#include "core_support.h"

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char **environ;
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs a built tool with one argument; returns its exit status.
int runTool(const std::string &tool, const std::string &argument)
{
    const std::string program = std::string(WMB_BIN_DIR) + "/" + tool;
#ifdef _WIN32
    return static_cast<int>(::_spawnl(_P_WAIT, program.c_str(), program.c_str(), argument.c_str(), nullptr));
#else
    std::vector<char *> argv = {const_cast<char *>(program.c_str()), const_cast<char *>(argument.c_str()),
                                nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
#endif
}

class TempDir {
public:
    TempDir() : mPath(wmbtest::makeTempFolder("wmb-assets-")) {}
    ~TempDir() { fs::remove_all(mPath); }
    const fs::path &path() const { return mPath; }

private:
    fs::path mPath;
};

std::set<std::string> fileNames(const fs::path &folder)
{
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(TileSet, HoldsTheTwoHundredFiftySixTilesTheirNamesAndNothingElse)
{
    std::set<std::string> expected = {wmb::TileNamesFileName};
    for (std::uint32_t code = 0; code < 256; ++code)
        expected.insert(wmb::IntToHexText(code) + ".bmp");
    EXPECT_EQ(fileNames(WMB_TILE_DIR), expected);
    // Every shipped tile has a name of its own.
    const wmb::TileNames names = wmb::TileNames::read(WMB_TILE_DIR);
    std::set<std::string> distinct;
    for (int code = 0; code < 256; ++code)
        distinct.insert(names.name(static_cast<std::uint8_t>(code)));
    EXPECT_EQ(distinct.size(), 256u);
    EXPECT_EQ(distinct.count(""), 0u);
}

// names.txt: each line is read on its own; what does not parse names nothing.
TEST(TileNames, NameTheCodesOfTheLinesThatParse)
{
    const std::string longName(70, 'x');
    const std::string longUtf8 = std::string(59, 'y') + "\xC3\xA9\xC3\xA9";   // 61 characters, the last two 2 bytes each
    struct Case {
        const char *what;
        std::string text;
        int code;
        std::string name;   // expected for code; empty: none
        int named;          // how many codes have a name
    };
    const std::vector<Case> cases = {
        {"good", "1F Ladder\n", 0x1F, "Ladder", 1},
        {"lower-case code", "1f Ladder\n", 0x1F, "Ladder", 1},
        {"leading zero", "0f Brick wall\n", 0x0F, "Brick wall", 1},
        {"zero", "0 Empty", 0x00, "Empty", 1},
        {"tab and blanks around", "  A5\t Crate  \n", 0xA5, "Crate", 1},
        {"no name", "1F\n1E   \n", 0x1F, "", 0},
        {"bad code", "1G Ladder\nx Ladder\n", 0x1F, "", 0},
        {"code past FF", "100 Ladder\n", 0x10, "", 0},
        {"three digits with a zero", "01F Ladder\n", 0x1F, "", 0},
        {"duplicate: the last wins", "1F Ladder\n1F Rope\n", 0x1F, "Rope", 1},
        {"a bare code clears nothing", "1F Ladder\n1F\n", 0x1F, "Ladder", 1},
        {"CRLF line ends", "1E Rope\r\n1F Ladder\r\n", 0x1F, "Ladder", 2},
        {"blank lines and a mark", "\xEF\xBB\xBF\n\n\r\n1F Ladder", 0x1F, "Ladder", 1},
        {"over-long name is cut", "1F " + longName + "\n", 0x1F, std::string(60, 'x'), 1},
        {"cut by characters, not bytes", "1F " + longUtf8, 0x1F, std::string(59, 'y') + "\xC3\xA9", 1},
        {"control characters read as blanks", "1F Lad\x01" "der\tup\n", 0x1F, "Lad der up", 1},
        {"UTF-8 kept", "1F \xD0\x9B\xD0\xB5\xD1\x81\n", 0x1F, "\xD0\x9B\xD0\xB5\xD1\x81", 1},
    };
    for (const Case &c : cases) {
        const wmb::TileNames names = wmb::TileNames::parse(c.text);
        const auto code = static_cast<std::uint8_t>(c.code);
        EXPECT_EQ(names.name(code), c.name) << c.what;
        EXPECT_EQ(names.label(code), wmb::IntToHexText(code) + (c.name.empty() ? "" : " " + c.name)) << c.what;
        int named = 0;
        for (int other = 0; other < 256; ++other)
            named += !names.name(static_cast<std::uint8_t>(other)).empty();
        EXPECT_EQ(named, c.named) << c.what;
    }
    TempDir dir;
    EXPECT_TRUE(wmb::TileNames::read(dir.path().string()).empty()) << "no file, no names";
    fs::create_directory(dir.path() / wmb::TileNamesFileName);
    EXPECT_TRUE(wmb::TileNames::read(dir.path().string()).empty()) << "a folder in its place";
}

TEST(TileSet, TilesAre32By32TileZeroIsPlainAndAllDiffer)
{
    std::vector<std::vector<std::uint32_t>> tiles;
    for (std::uint32_t code = 0; code < 256; ++code) {
        const std::string name = wmb::IntToHexText(code) + ".bmp";
        const wmb::BmpImage tile = wmb::loadBmpFile(std::string(WMB_TILE_DIR) + "/" + name, "graph/" + name);
        ASSERT_EQ(tile.width, 32) << name;
        ASSERT_EQ(tile.height, 32) << name;
        tiles.push_back(tile.pixels);
    }
    EXPECT_EQ(std::set<std::uint32_t>(tiles[0].begin(), tiles[0].end()).size(), 1u);
    for (std::size_t a = 0; a < tiles.size(); ++a) {
        // Each tile's code is drawn in light digits on black, over the tile's own art.
        if (a > 0) {
            EXPECT_GE(std::set<std::uint32_t>(tiles[a].begin(), tiles[a].end()).size(), 3u) << a;
        }
        for (std::size_t b = a + 1; b < tiles.size(); ++b)
            EXPECT_NE(tiles[a], tiles[b]) << "tiles " << a << " and " << b;
    }
}

// Read ahead or not, a tile set gives the same pictures and the same errors;
// what was read ahead is taken once, and a later read opens the file again.
TEST(TileSet, ReadingAheadGivesWhatReadingGivesOnce)
{
    TempDir dir;
    const fs::path graph = dir.path() / "graph";
    fs::copy(WMB_TILE_DIR, graph);
    fs::remove(graph / "80.bmp");
    std::ofstream(graph / "7.bmp", std::ios::binary) << "not a bitmap";
    const auto outcome = [](wmb::TileSet &set, int code) {
        try {
            return std::make_pair(set.read(static_cast<std::uint8_t>(code)).pixels, std::string());
        } catch (const std::exception &e) {
            return std::make_pair(std::vector<std::uint32_t>(), std::string(e.what()));
        }
    };
    const auto readTile = [](std::uint32_t code) {
        const std::string name = wmb::IntToHexText(code) + ".bmp";
        return wmb::loadBmpFile(std::string(WMB_TILE_DIR) + "/" + name, name).pixels;
    };
    wmb::TileSet plain(graph.string(), "graph"), ahead(graph.string(), "graph");
    ahead.readAhead();
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(outcome(ahead, code), outcome(plain, code)) << code;
    EXPECT_EQ(outcome(ahead, 0x80).second, "Cannot open file graph/80.bmp");

    fs::copy_file(fs::path(WMB_TILE_DIR) / "80.bmp", graph / "80.bmp");
    fs::copy_file(fs::path(WMB_TILE_DIR) / "1.bmp", graph / "2.bmp", fs::copy_options::overwrite_existing);
    EXPECT_EQ(outcome(ahead, 0x80).first, readTile(0x80));
    EXPECT_TRUE(ahead.reread(2));
    EXPECT_EQ(outcome(ahead, 2).first, readTile(1));
}

TEST(TileSet, MakerWritesTheSameBytesEveryRun)
{
    TempDir dir;
    ASSERT_EQ(runTool("maketiles", (dir.path() / "graph").string()), 0);
    ASSERT_EQ(fileNames(dir.path() / "graph"), fileNames(WMB_TILE_DIR));
    for (const std::string &name : fileNames(WMB_TILE_DIR))
        EXPECT_EQ(readAll(dir.path() / "graph" / name), readAll(fs::path(WMB_TILE_DIR) / name)) << name;
}

constexpr std::size_t DemoRomSize = 73744;

bool isTableText(const Bytes &rom, std::int32_t offset, int length)
{
    bool filling = false;
    for (int i = 0; i < length; ++i) {
        const std::uint8_t b = rom.at(static_cast<std::size_t>(offset + i));
        if (b == 0x00)
            filling = true;   // the fill runs to the end of the field
        else if (filling || b < 0x20 || b > 0x7E || b == '|')
            return false;
    }
    return rom.at(static_cast<std::size_t>(offset)) != 0x00;
}

// A demo ROM made afresh: the one in the build tree may have been edited
// since (it is the ROM the editor opens after `make run`).
const Bytes &freshRom()
{
    static const Bytes rom = [] {
        TempDir dir;
        const fs::path path = dir.path() / "demo.nes";
        return runTool("makedemorom", path.string()) == 0 ? readAll(path) : Bytes{};
    }();
    return rom;
}

TEST(DemoRom, IsAnInesImageOfFourProgramBanksAndOneCharacterBank)
{
    EXPECT_EQ(fs::file_size(WMB_DEMO_ROM), DemoRomSize);
    const Bytes &rom = freshRom();
    ASSERT_EQ(rom.size(), DemoRomSize);
    EXPECT_EQ(Bytes(rom.begin(), rom.begin() + 4), (Bytes{'N', 'E', 'S', 0x1A}));
    EXPECT_EQ(rom[4], 4);
    EXPECT_EQ(rom[5], 1);
}

TEST(DemoRom, LevelRecordsHoldPlausibleLevels)
{
    const Bytes &rom = freshRom();
    ASSERT_EQ(rom.size(), DemoRomSize);
    std::set<Bytes> maps;
    for (int level = 1; level <= wmb::LevelCount; ++level) {
        SCOPED_TRACE(level);
        const std::int32_t base = wmb::LevelBaseOf(level);
        const int timer = rom[static_cast<std::size_t>(base + wmb::TimerOffset)] * wmb::TimerStep;
        EXPECT_GT(timer, 0);
        EXPECT_LE(timer, 1200);
        EXPECT_TRUE(isTableText(rom, base + wmb::NameOffset, wmb::NameLength));
        EXPECT_TRUE(isTableText(rom, base + wmb::AuthorOffset, wmb::AuthorLength));
        EXPECT_TRUE(isTableText(rom, base + wmb::HintOffset, wmb::HintLength));
        for (int unused : {-32, -18, -1, 223})
            EXPECT_NE(rom[static_cast<std::size_t>(base + unused)], 0) << "unused byte " << unused;

        const Bytes map(rom.begin() + base, rom.begin() + base + wmb::MapCells);
        maps.insert(map);
        int ladders = 0;
        int items = 0;
        for (int i = 0; i < wmb::MapCells; ++i) {
            const int row = i / wmb::MapColumns;
            const int column = i % wmb::MapColumns;
            const bool border = row == 0 || row == wmb::MapRows - 1 || column == 0 || column == wmb::MapColumns - 1;
            if (border) {
                EXPECT_TRUE(map[i] >= 0x01 && map[i] <= 0x0F) << "border cell " << i;   // walls
            }
            ladders += map[i] >= 0x20 && map[i] <= 0x2F;
            items += map[i] >= 0x40 && map[i] <= 0x6F;
        }
        EXPECT_GE(ladders, 3);
        EXPECT_GE(items, 4);
    }
    EXPECT_EQ(maps.size(), static_cast<std::size_t>(wmb::LevelCount));
}

TEST(DemoRom, MakerWritesTheSameBytesEveryRun)
{
    TempDir dir;
    const fs::path copy = dir.path() / "demo.nes";
    ASSERT_EQ(runTool("makedemorom", copy.string()), 0);
    EXPECT_EQ(readAll(copy), freshRom());
}

} // namespace
