// Map regions: the clipboard grid and its reader, placing a grid, keyboard
// selection steps and flood fill; the map's cells under a point at each zoom.
#include "hexcode.h"
#include "maplayout.h"
#include "region.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace wmb;

namespace {

using Codes = std::array<std::string, MapCells>;

Codes sampleCodes()
{
    Codes codes;
    for (int i = 0; i < MapCells; ++i)
        codes[i] = IntToHexText(static_cast<std::uint32_t>((i * 37) % 256));
    return codes;
}

TEST(Region, ParseTileGridReadsGridsAndRefusesEverythingElse)
{
    const std::string fourteen = "0 1 2 3 4 5 6 7 8 9 a b c d";
    std::string twelveLines;
    for (int i = 0; i < 12; ++i)
        twelveLines += "1\n";
    const struct {
        std::string text;
        TileGrid grid;   // empty: no grid
    } cases[] = {
        {"1A 0 ff\n", {{0x1A, 0, 0xFF}}},
        {"1a\t0B  c\n7\n", {{0x1A, 0x0B, 0xC}, {7}}},
        {"1 2\r\n3 4\r\n", {{1, 2}, {3, 4}}},
        {"1 2\n3", {{1, 2}, {3}}},                   // last line without its end
        {"  1 2 \t\n", {{1, 2}}},                    // blanks before and after
        {"00 0f", {{0, 0xF}}},
        {fourteen, {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}}},
        {twelveLines, TileGrid(12, {1})},
        {"", {}},
        {"\n", {}},
        {"1\n\n", {}},                               // an empty line
        {"\n1\n", {}},
        {" \t\n", {}},
        {fourteen + " e", {}},                       // 15 codes
        {twelveLines + "1", {}},                     // 13 lines
        {"100", {}},
        {"1,2", {}},
        {"G", {}},
        {"0x1", {}},
        {"1\r2", {}},
        {"1 2\r", {}},                               // a CR without its LF
        {"1\r\r\n", {}},
        {"1\v2", {}},
        {"1\xC2\xA0" "2", {}},                       // a no-break space
        {std::string("1\0 2", 4), {}},
    };
    for (const auto &c : cases) {
        const auto grid = parseTileGrid(c.text);
        if (c.grid.empty())
            EXPECT_FALSE(grid.has_value()) << '"' << c.text << '"';
        else
            EXPECT_EQ(grid, c.grid) << '"' << c.text << '"';
    }
}

TEST(Region, GridTextIsTheLevelFileFormOfEachCodeAndReadsBack)
{
    Codes codes = sampleCodes();
    codes[0] = "";   // before any load: saved as tile 0
    EXPECT_EQ(gridText(codes, cellRectBetween(1, 17)), "0 25 4A\n6 2B 50\n");
    EXPECT_EQ(gridText(codes, {}), "");
    for (const CellRect rect : {wholeMap(), cellRectBetween(168, 168), cellRectBetween(14, 155)}) {
        const auto grid = parseTileGrid(gridText(codes, rect));
        ASSERT_TRUE(grid.has_value());
        const GridPlacement placed = placeGrid(*grid, rect.topLeftCell());
        EXPECT_EQ(placed.selection, rect);
        ASSERT_EQ(placed.cells.size(), rect.cells().size());
        for (const auto &[cell, code] : placed.cells)
            EXPECT_EQ(code, IntToHexText(storedTile(codes[cell - 1]))) << cell;
    }
}

TEST(Region, PlacedGridDropsCellsPastTheRightAndBottomEdges)
{
    const TileGrid grid = {{1, 2, 3}, {4}, {5, 6}};
    const struct {
        int at;
        std::vector<std::pair<int, std::string>> cells;
        CellRect selection;
    } cases[] = {
        {1, {{1, "1"}, {2, "2"}, {3, "3"}, {15, "4"}, {29, "5"}, {30, "6"}}, {0, 0, 3, 3}},
        {13, {{13, "1"}, {14, "2"}, {27, "4"}, {41, "5"}, {42, "6"}}, {12, 0, 2, 3}},
        {141, {{141, "1"}, {142, "2"}, {143, "3"}, {155, "4"}}, {0, 10, 3, 2}},
        {168, {{168, "1"}}, {13, 11, 1, 1}},
    };
    for (const auto &c : cases) {
        const GridPlacement placed = placeGrid(grid, c.at);
        EXPECT_EQ(placed.cells, c.cells) << c.at;
        EXPECT_EQ(placed.selection, c.selection) << c.at;
    }
}

TEST(Region, PasteLandsOnThePointedCellElseTheSelectionElseTheSelectedCellElseCell1)
{
    EXPECT_EQ(pasteTargetCell({5, 1, 3, 2}, 100, 57), 57);
    EXPECT_EQ(pasteTargetCell({}, 0, 168), 168);
    EXPECT_EQ(pasteTargetCell({5, 1, 3, 2}, 100), 20);
    EXPECT_EQ(pasteTargetCell({}, 100), 100);
    EXPECT_EQ(pasteTargetCell({}, 0), 1);
}

TEST(Region, ShiftArrowsMoveTheCornerOppositeTheSelectedCell)
{
    const struct {
        CellRect selection;
        int selected, dColumn, dRow;
        CellRect expected;
    } cases[] = {
        {{}, 16, 1, 0, {1, 1, 2, 1}},                 // none yet: from the selected cell
        {{1, 1, 2, 1}, 16, 1, 0, {1, 1, 3, 1}},       // grows
        {{1, 1, 3, 1}, 16, -1, 0, {1, 1, 2, 1}},      // shrinks
        {{1, 1, 1, 1}, 16, -1, 0, {0, 1, 2, 1}},      // passes the anchor
        {{1, 1, 3, 3}, 46, 1, 1, {2, 2, 2, 2}},       // anchored bottom right
        {{0, 0, 14, 12}, 1, 1, 1, {0, 0, 14, 12}},    // stops at the edges
        {{4, 4, 2, 2}, 1, 0, 1, {0, 0, 1, 2}},        // selected cell not a corner
    };
    for (const auto &c : cases)
        EXPECT_EQ(stepSelection(c.selection, c.selected, c.dColumn, c.dRow), c.expected)
            << c.selected << " " << c.dColumn << "," << c.dRow;
    EXPECT_EQ(stepCell(14, 1, 0), 14);
    EXPECT_EQ(stepCell(155, 0, 1), 155);
    EXPECT_EQ(stepCell(16, -1, -1), 1);
}

TEST(Region, FloodFillFollowsFourNeighboursWithTheSameTile)
{
    Codes codes;
    codes.fill("5");
    // A run of tile 1 on row 2 with an arm up to row 1, a diagonal
    // neighbour, and "" which a save writes as tile 0 like "0".
    for (int cell : {16, 17, 18, 19, 5})
        codes[cell - 1] = "1";
    codes[34 - 1] = "1";  // diagonal to 19 only
    codes[4 - 1] = "1";   // beside 5
    codes[100 - 1] = "0";
    codes[101 - 1] = "";
    EXPECT_EQ(floodFillCells(codes, 17), (std::vector<int>{4, 5, 16, 17, 18, 19}));
    EXPECT_EQ(floodFillCells(codes, 34), (std::vector<int>{34}));
    EXPECT_EQ(floodFillCells(codes, 101), (std::vector<int>{100, 101}));
    EXPECT_EQ(floodFillCells(codes, 1).size(), static_cast<std::size_t>(MapCells - 9));
}

// The drawing tools' shapes; a line drawn back is the same cells reversed.
TEST(Region, RectangleAndLineCellsBetweenTwoCells)
{
    using Shape = std::vector<int> (*)(int, int);
    const struct {
        Shape shape;
        int from, to;
        std::vector<int> cells;
    } cases[] = {
        {rectangleCells, 1, 1, {1}},
        {rectangleCells, 16, 1, {1, 2, 15, 16}},                               // corners reversed
        {rectangleCells, 29, 4, {1, 2, 3, 4, 15, 16, 17, 18, 29, 30, 31, 32}},
        {rectangleCells, 168, 153, {153, 154, 167, 168}},
        {lineCells, 50, 50, {50}},
        {lineCells, 3, 7, {3, 4, 5, 6, 7}},                                    // horizontal
        {lineCells, 2, 44, {2, 16, 30, 44}},                                   // vertical
        {lineCells, 1, 46, {1, 16, 31, 46}},                                   // diagonal
        {lineCells, 14, 53, {14, 27, 40, 53}},                                 // the other diagonal
        {lineCells, 1, 19, {1, 2, 17, 18, 19}},                                // shallow: one row in four columns
        {lineCells, 1, 58, {1, 15, 30, 44, 58}},                               // steep
        {lineCells, 155, 14, {155, 142, 129, 116, 117, 104, 91, 78, 65, 52, 53, 40, 27, 14}},   // corner to corner
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.shape(c.from, c.to), c.cells) << c.from << " to " << c.to;
        if (c.shape == lineCells) {
            EXPECT_EQ(lineCells(c.to, c.from), std::vector<int>(c.cells.rbegin(), c.cells.rend())) << c.to << " back";
        }
    }
}

// The cell under a point at each zoom: its first and last pixel, the gap
// after it (no cell), and the nearest cell over that gap and off the map.
TEST(MapLayout, CellsUnderPointsAndTheStepsThatFit)
{
    struct Case { int percent, firstX, lastX, gapX; };
    for (const Case c : {Case{100, 41, 72, 73}, Case{150, 57, 104, 105}, Case{200, 74, 137, 138},
                         Case{400, 140, 267, 268}}) {
        const MapLayout l{c.percent, c.percent};
        EXPECT_EQ(l.cellAt(c.firstX, 8), 2) << c.percent;
        EXPECT_EQ(l.cellAt(c.lastX, 8 + l.cellSize() - 1), 2) << c.percent;
        EXPECT_EQ(l.cellAt(c.gapX, 8), 0) << c.percent;
        EXPECT_EQ(l.cellNear(c.gapX, 8), 2) << c.percent;
        EXPECT_EQ(l.cellNear(-5, 5000), MapCells - MapColumns + 1) << c.percent;
        // The map's and the palette's rectangles, gaps in, their edges out.
        EXPECT_TRUE(l.overMap(c.gapX, 8) && l.overMap(8 + l.mapWidth() - 1, 8 + l.mapHeight() - 1)) << c.percent;
        EXPECT_FALSE(l.overMap(7, 8) || l.overMap(8 + l.mapWidth(), 8) || l.overPalette(8, 8)) << c.percent;
        const int paletteEnd = l.paletteLeft() + MapLayout::PaletteSide * l.pitch() - l.gap();
        EXPECT_TRUE(l.overPalette(l.paletteLeft(), 8) && l.overPalette(paletteEnd - 1, 8)) << c.percent;
        EXPECT_FALSE(l.overPalette(paletteEnd, 8) || l.overPalette(l.paletteLeft(), 7)) << c.percent;
    }
    // A fast move across the first row passes every cell on the way, the
    // gaps between them as 0; no move passes nothing.
    const std::vector<int> passed = MapLayout{}.cellsOnLine(10, 10, 10 + 33 * 3, 10);
    std::vector<int> cells = passed;
    cells.erase(std::remove(cells.begin(), cells.end(), 0), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    EXPECT_EQ(cells, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(passed.size(), 99u);
    EXPECT_TRUE(MapLayout{}.cellsOnLine(10, 10, 10, 10).empty());
    EXPECT_EQ(zoomIn(400), 400);
    EXPECT_EQ(zoomOut(150), 100);
    EXPECT_EQ(validZoom(125), 100);
}

// The map takes the largest step whose window fits the screen with the
// palette hidden; the palette the largest, at most the map's, that fits
// beside it (the window 60 pixels taller than its panel).
TEST(MapLayout, ZoomStepsFitTheScreen)
{
    struct Case { int width, height, map, palette; };
    for (const Case c : {Case{800, 600, 100, 100}, Case{1280, 800, 150, 100}, Case{1920, 1080, 200, 150},
                         Case{2560, 1600, 300, 200}, Case{3840, 2160, 400, 300}, Case{1024, 2160, 200, 100}}) {
        const ScreenRoom room{c.width, c.height, 2, 60};
        EXPECT_EQ(largestFittingZoom(room), c.map) << c.width << "x" << c.height;
        const MapLayout l = fittingLayout(c.map, room);
        EXPECT_EQ(l.palettePercent, c.palette) << c.width << "x" << c.height;
        if (c.palette > 100 || c.width >= 1017 + 2)
            EXPECT_LE(l.height(true) + 60, c.height);
        EXPECT_EQ(l.height(true), l.height(false)) << "the palette never makes the window taller";
        EXPECT_EQ(fittingLayout(100, room).palettePercent, 100);
    }
}

} // namespace
