// Regions of the map: rectangles of cells, the clipboard's text form of a
// rectangle of tile codes and its strict reader, placing such a grid on the
// map, and flood fill. Plain values in, plain values out; the editor applies
// the results to its cells.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "levelrecord.h"

namespace wmb {

// A rectangle of map cells: left column 0..13, top row 0..11, and a size of
// at least one cell that stays inside the map. A default CellRect is empty
// (no selection).
struct CellRect {
    int column = 0;
    int row = 0;
    int columns = 0;
    int rows = 0;

    bool empty() const { return columns <= 0 || rows <= 0; }
    bool contains(int cell) const;
    int topLeftCell() const { return empty() ? 0 : row * MapColumns + column + 1; }
    // The cells row by row from the top left, each 1..168.
    std::vector<int> cells() const;
    bool operator==(const CellRect &) const = default;
};

// The rectangle with cells a and b (each 1..168) at opposite corners.
CellRect cellRectBetween(int a, int b);
// All 168 cells.
CellRect wholeMap();

// The drawing tools' shapes between two cells (each 1..168). The rectangle
// with `from` and `to` at opposite corners, row by row from the top left;
// and the cells a straight line between the two cells' centres passes, one
// a step along the longer axis, from `from` to `to` with both included. A
// line drawn back from `to` is the same cells in reverse order (where the
// line runs through a corner between two cells it takes the lower or
// righter one, whichever way it is drawn).
std::vector<int> rectangleCells(int from, int to);
std::vector<int> lineCells(int from, int to);

// The cell one step from `cell` (1..168) by dColumn, dRow (-1, 0 or 1),
// stopping at the map's edges.
int stepCell(int cell, int dColumn, int dRow);

// Shift+arrow on a selection: grows or shrinks it by one step of its
// moving corner while the selected cell stays its anchor. When the
// selection has the selected cell as a corner, the opposite corner moves;
// otherwise the selection starts again from the selected cell alone.
CellRect stepSelection(const CellRect &selection, int selectedCell, int dColumn, int dRow);

// Rows of tile codes, top row first; each row starts at the left.
using TileGrid = std::vector<std::vector<std::uint8_t>>;
constexpr std::size_t GridMaxRows = MapRows;
constexpr std::size_t GridMaxColumns = MapColumns;

// The tile byte a map store text stands for: what a save writes for it.
std::uint8_t storedTile(std::string_view code);

// The clipboard text of `rect` on a map of store texts: one line per row,
// top row first, each code as the level file writes it (upper case, no
// leading zero) separated by one blank, each line ending in "\n". Empty
// text for an empty rectangle.
std::string gridText(const std::array<std::string, MapCells> &codes, const CellRect &rect);

// Reads a grid: 1 to 12 lines, each of 1 to 14 codes of one or two
// hexadecimal digits in either case, separated (and optionally led or
// trailed) by blanks or tabs. Lines end in "\n" or "\r\n"; the last line
// may lack its line end. Anything else is no grid (nullopt).
std::optional<TileGrid> parseTileGrid(std::string_view text);

// A grid placed on the map with its top-left cell at `topLeftCell` (1..168):
// the cells it covers with their new code texts (row by row), cells past the
// right or bottom edge dropped, and the rectangle of the placed cells.
struct GridPlacement {
    std::vector<std::pair<int, std::string>> cells;
    CellRect selection;
};
GridPlacement placeGrid(const TileGrid &grid, int topLeftCell);
// Where a paste puts its grid's top-left cell: the cell under the pointer
// (0 when the pointer is off the map), else the selection's top-left cell,
// else the selected cell (0 for none), else cell 1.
int pasteTargetCell(const CellRect &selection, int selectedCell, int pointedCell = 0);

// The cells a flood fill from `start` (1..168) reaches: `start` and every
// cell joined to it through its four neighbours that stands for the same
// tile byte, in ascending order.
std::vector<int> floodFillCells(const std::array<std::string, MapCells> &codes, int start);

} // namespace wmb
