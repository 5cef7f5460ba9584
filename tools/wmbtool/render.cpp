// render: a level's screen drawn from the tile pictures the editor shows.
#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <array>
#include <optional>

#include "bmpimage.h"
#include "commands.h"
#include "hexcode.h"
#include "levelfile.h"
#include "levelpicture.h"
#include "levelrecord.h"
#include "romfile.h"
#include "tilefolder.h"
#include "tileset.h"

namespace wmbtool {

namespace {

constexpr int SheetColumns = 8;
constexpr int SheetRows = wmb::LevelCount / SheetColumns;
constexpr int SheetGap = 16;
constexpr QRgb SheetGapColour = qRgb(0x40, 0x40, 0x40);
constexpr QRgb Black = qRgb(0, 0, 0);

wmb::LevelLayout layout(bool grid) { return {wmb::TilePictureSize, grid ? 1 : 0}; }

// The tile pictures of one folder, each decoded once; a message names the
// file with its folder.
const wmb::BmpImage &tileOf(wmb::TileSet &tiles, std::uint8_t code)
{
    const std::string path = wmb::tilePicturePath(tiles.folder(), wmb::IntToHexText(code));
    try {
        return tiles.tile(code);
    } catch (const wmb::PictureError &e) {
        // "Cannot open file <path>" names the file already.
        if (std::string_view(e.what()).find(path) != std::string_view::npos)
            throw Failure(e.what());
        throw fileFailure(path, e.what());
    }
}

// Draws the level's cells with their top-left corner at (x0, y0); cell (c, r)
// lies at 33c, 33r from there with --grid, 32c, 32r without.
void drawLevel(QImage &image, int x0, int y0, const wmb::LevelRecord &record, wmb::TileSet &tiles, bool grid)
{
    const wmb::PixelSurface surface{reinterpret_cast<std::uint32_t *>(image.bits()), image.width(), image.height(),
                                    static_cast<int>(image.bytesPerLine() / 4)};
    wmb::drawLevelTiles(surface, x0, y0, record.tiles, layout(grid),
                        [&tiles](std::uint8_t code) -> const wmb::BmpImage & { return tileOf(tiles, code); });
}

void writePng(const QImage &image, const std::string &outPath)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw fileFailure(outPath, "the PNG image could not be encoded");
    writeOutput(outPath, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace

void runRender(const Invocation &inv)
{
    const bool all = inv.has("--all");
    const bool grid = inv.has("--grid");
    expectArgs(inv, all ? 2 : 3, all ? "ROM --all OUT.png" : "ROM LEVEL OUT.png");
    const std::string &romPath = inv.args[0];
    const std::string &outPath = inv.args.back();
    const int first = all ? 1 : levelArgument(inv.args[1]);
    const int last = all ? wmb::LevelCount : first;
    refuseOverwritingInput(outPath, {romPath});

    const auto tilesOption = inv.values.find("--tiles");
    const std::string folder = tilesOption != inv.values.end()
                                   ? tilesOption->second
                                   : wmb::findTileFolder(wmb::currentDirectory(), wmb::executableDirectory());

    std::vector<wmb::LevelRecord> records;
    onFile(romPath, [&] {
        wmb::RomFile rom;
        rom.assign(romPath);
        rom.openForReading();
        warnIfNotRomImage(rom);
        for (int n = first; n <= last; ++n) {
            try {
                records.push_back(wmb::readLevelRecord(rom, wmb::LevelBaseOf(n)));
            } catch (const wmb::RuntimeError &e) {
                throw wmb::RuntimeError("level " + std::to_string(n) + ": " + e.what());
            }
        }
    });

    wmb::TileSet tiles(folder, folder);
    const int w = layout(grid).width();
    const int h = layout(grid).height();
    QImage image;
    if (all) {
        image = QImage(SheetColumns * w + (SheetColumns - 1) * SheetGap, SheetRows * h + (SheetRows - 1) * SheetGap,
                       QImage::Format_RGB32);
        image.fill(SheetGapColour);
    } else {
        image = QImage(w, h, QImage::Format_RGB32);
    }
    if (image.isNull())
        throw Failure("out of memory for the image");
    // Black first: with --grid the lines between the tiles stay black.
    for (std::size_t k = 0; k < records.size(); ++k) {
        const int x0 = static_cast<int>(k % SheetColumns) * (w + SheetGap);
        const int y0 = static_cast<int>(k / SheetColumns) * (h + SheetGap);
        for (int y = 0; y < h; ++y)
            std::fill_n(reinterpret_cast<QRgb *>(image.scanLine(y0 + y)) + x0, w, Black);
        drawLevel(image, x0, y0, records[k], tiles, grid);
    }
    writePng(image, outPath);
}

} // namespace wmbtool
