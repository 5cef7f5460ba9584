// wmbtool render: the level's screen against the tile pictures themselves.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <filesystem>
#include <map>

#include "bmpimage.h"
#include "hexcode.h"
#include "levelrecord.h"
#include "toolrun.h"

using namespace toolrun;

namespace {

constexpr QRgb Black = 0xFF000000;

QImage loadPng(const std::string &path)
{
    QImage image;
    if (!image.load(QString::fromStdString(path), "PNG"))
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

// Tile pictures decoded by the level core, one per code.
class Tiles {
public:
    explicit Tiles(std::string folder) : mFolder(std::move(folder)) {}
    const wmb::BmpImage &operator[](std::uint8_t code)
    {
        auto it = mCache.find(code);
        if (it == mCache.end()) {
            const std::string path = mFolder + "/" + wmb::IntToHexText(code) + ".bmp";
            it = mCache.emplace(code, wmb::loadBmpFile(path, path)).first;
        }
        return it->second;
    }

private:
    std::string mFolder;
    std::map<std::uint8_t, wmb::BmpImage> mCache;
};

// Counts the pixels of level n's screen, drawn at (x0, y0), that differ from
// its tile pictures (cut to 32 x 32, black where a picture is smaller), and
// with a grid, the pixels of the lines between the cells that are not black.
int mismatches(const QImage &image, int x0, int y0, const std::string &rom, int level, Tiles &tiles, bool grid)
{
    const int step = grid ? 33 : 32;
    int bad = 0;
    for (int i = 0; i < 168; ++i) {
        const auto code = static_cast<std::uint8_t>(rom[static_cast<std::size_t>(wmb::LevelBaseOf(level) + i)]);
        const wmb::BmpImage &pic = tiles[code];
        for (int y = 0; y < step; ++y) {
            for (int x = 0; x < step; ++x) {
                const int px = x0 + (i % 14) * step + x;
                const int py = y0 + (i / 14) * step + y;
                if (px >= x0 + 14 * step - (grid ? 1 : 0) || py >= y0 + 12 * step - (grid ? 1 : 0))
                    continue;
                QRgb want = Black;
                if (x < 32 && y < 32 && x < pic.width && y < pic.height)
                    want = pic.pixels[static_cast<std::size_t>(y * pic.width + x)];
                bad += image.pixel(px, py) != want;
            }
        }
    }
    return bad;
}

TEST(WmbtoolRender, DrawsEachLevelFromItsTilePictures)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const std::string bytes = readBytes(rom);
    Tiles tiles(WMB_TILE_DIR);
    for (int level : {1, 17, 32}) {
        for (bool grid : {false, true}) {
            const std::string out = dir.file("level.png");
            std::vector<std::string> args{"render", rom, std::to_string(level), out, "--tiles", WMB_TILE_DIR};
            if (grid)
                args.push_back("--grid");
            const ToolResult r = runTool(args);
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.out + r.err, "");
            const QImage image = loadPng(out);
            ASSERT_EQ(image.width(), grid ? 461 : 448);
            ASSERT_EQ(image.height(), grid ? 395 : 384);
            EXPECT_EQ(mismatches(image, 0, 0, bytes, level, tiles, grid), 0) << "level " << level << " grid " << grid;
        }
    }
    EXPECT_EQ(readBytes(rom), bytes);
}

TEST(WmbtoolRender, AllLevelsOnOneSheet)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const std::string bytes = readBytes(rom);
    Tiles tiles(WMB_TILE_DIR);
    for (bool grid : {false, true}) {
        const std::string out = dir.file("all.png");
        std::vector<std::string> args{"render", "--tiles=" WMB_TILE_DIR, rom, "--all", out};
        if (grid)
            args.push_back("--grid");
        const ToolResult r = runTool(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const QImage sheet = loadPng(out);
        const int w = grid ? 461 : 448;
        const int h = grid ? 395 : 384;
        ASSERT_EQ(sheet.width(), 8 * w + 7 * 16);
        ASSERT_EQ(sheet.height(), 4 * h + 3 * 16);
        for (int n = 1; n <= 32; ++n) {
            const int x0 = (n - 1) % 8 * (w + 16);
            const int y0 = (n - 1) / 8 * (h + 16);
            EXPECT_EQ(mismatches(sheet, x0, y0, bytes, n, tiles, grid), 0) << "level " << n;
        }
        EXPECT_EQ(sheet.pixel(w + 8, 10), 0xFF404040u);
        EXPECT_EQ(sheet.pixel(10, h + 8), 0xFF404040u);
    }
}

// A ROM whose level 1 shows tile A (40 x 40) in cell 1, tile B (20 x 10) in
// cell 2 and tile 0 elsewhere, and a folder with just those three pictures.
struct OddTiles {
    TempDir dir;
    std::string rom;
    std::string folder;

    OddTiles()
    {
        rom = copyDemoRom(dir);
        std::string bytes = readBytes(rom);
        const auto base = static_cast<std::size_t>(wmb::LevelBaseOf(1));
        bytes.replace(base, 168, std::string(168, '\0'));
        bytes[base] = 0x0A;
        bytes[base + 1] = 0x0B;
        writeBytes(rom, bytes);
        folder = dir.file("odd");
        std::filesystem::create_directory(folder);
        auto picture = [](int w, int h, std::uint32_t seed) {
            wmb::BmpImage image{w, h, {}};
            for (int i = 0; i < w * h; ++i)
                image.pixels.push_back(0xFF000000u | ((seed * 2654435761u + static_cast<std::uint32_t>(i) * 40503u) & 0xFFFFFFu));
            const auto file = wmb::encodeBmp24(image);
            return std::string(file.begin(), file.end());
        };
        writeBytes(folder + "/0.bmp", picture(32, 32, 1));
        writeBytes(folder + "/A.bmp", picture(40, 40, 2));
        writeBytes(folder + "/B.bmp", picture(20, 10, 3));
    }
};

TEST(WmbtoolRender, CutsLargePicturesAndLeavesSmallOnesOnBlack)
{
    OddTiles odd;
    Tiles tiles(odd.folder);
    for (bool grid : {false, true}) {
        const std::string out = odd.dir.file("odd.png");
        std::vector<std::string> args{"render", odd.rom, "1", out, "--tiles", odd.folder};
        if (grid)
            args.push_back("--grid");
        ASSERT_EQ(runTool(args).status, 0);
        const QImage image = loadPng(out);
        EXPECT_EQ(mismatches(image, 0, 0, readBytes(odd.rom), 1, tiles, grid), 0);
        EXPECT_EQ(image.pixel(32 + (grid ? 1 : 0) + 25, 5), Black);   // right of B's 20 columns
    }
}

TEST(WmbtoolRender, TakesTheTileFolderByTheEditorsRule)
{
    OddTiles odd;
    const std::string work = odd.dir.file("work");
    std::filesystem::create_directory(work);
    const std::string shipped = odd.dir.file("shipped.png");
    ASSERT_EQ(runTool({"render", odd.rom, "1", shipped, "--tiles", WMB_TILE_DIR}).status, 0);

    // No ./graph: the set installed with the program.
    const std::string plain = odd.dir.file("plain.png");
    ASSERT_EQ(runTool({"render", odd.rom, "1", plain}, work).status, 0);
    EXPECT_EQ(loadPng(plain), loadPng(shipped));

    // ./graph present: the user's own set.
    std::filesystem::copy(odd.folder, work + "/graph");
    const std::string own = odd.dir.file("own.png");
    ASSERT_EQ(runTool({"render", odd.rom, "1", own}, work).status, 0);
    Tiles tiles(odd.folder);
    EXPECT_EQ(mismatches(loadPng(own), 0, 0, readBytes(odd.rom), 1, tiles, false), 0);
}

TEST(WmbtoolRender, MissingOrBrokenPictureWritesNothing)
{
    OddTiles odd;
    const std::string out = odd.dir.file("x.png");
    // Level 2 needs pictures the folder lacks.
    const ToolResult missing = runTool({"render", odd.rom, "2", out, "--tiles", odd.folder});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("wmbtool: Cannot open file " + odd.folder + "/", 0), 0u) << missing.err;
    EXPECT_FALSE(exists(out));

    const std::string broken = odd.folder + "/A.bmp";
    writeBytes(broken, readBytes(broken).substr(0, 100));
    const ToolResult bad = runTool({"render", odd.rom, "1", out, "--tiles", odd.folder});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "wmbtool: " + broken + ": Bitmap image is not valid\n");
    EXPECT_FALSE(exists(out));
}

} // namespace
