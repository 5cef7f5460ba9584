#include "region.h"

#include <algorithm>
#include <cstdlib>

#include "hexcode.h"

namespace wmb {

namespace {

int columnOf(int cell) { return (cell - 1) % MapColumns; }
int rowOf(int cell) { return (cell - 1) / MapColumns; }
int cellAt(int column, int row) { return row * MapColumns + column + 1; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// One line of a grid (without its line end): the codes, or nullopt.
std::optional<std::vector<std::uint8_t>> parseGridRow(std::string_view line)
{
    std::vector<std::uint8_t> row;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i == line.size())
            break;
        std::size_t end = i;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        const std::string_view word = line.substr(i, end - i);
        if (word.size() > 2 || row.size() == GridMaxColumns)
            return std::nullopt;
        int value = 0;
        for (char c : word) {
            const int digit = hexDigit(c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
        }
        row.push_back(static_cast<std::uint8_t>(value));
        i = end;
    }
    if (row.empty())
        return std::nullopt;
    return row;
}

} // namespace

bool CellRect::contains(int cell) const
{
    if (empty() || cell < 1 || cell > MapCells)
        return false;
    const int c = columnOf(cell);
    const int r = rowOf(cell);
    return c >= column && c < column + columns && r >= row && r < row + rows;
}

std::vector<int> CellRect::cells() const
{
    std::vector<int> result;
    if (empty())
        return result;
    result.reserve(static_cast<std::size_t>(columns * rows));
    for (int r = row; r < row + rows; ++r)
        for (int c = column; c < column + columns; ++c)
            result.push_back(cellAt(c, r));
    return result;
}

CellRect cellRectBetween(int a, int b)
{
    const int left = std::min(columnOf(a), columnOf(b));
    const int top = std::min(rowOf(a), rowOf(b));
    return {left, top, std::max(columnOf(a), columnOf(b)) - left + 1,
            std::max(rowOf(a), rowOf(b)) - top + 1};
}

CellRect wholeMap() { return {0, 0, MapColumns, MapRows}; }

std::vector<int> rectangleCells(int from, int to) { return cellRectBetween(from, to).cells(); }

// Step i of n lies at from + (to - from) * i / n on each axis; that point is
// rounded half up as a place on the map, not as a distance from `from`, so
// both directions round it alike.
std::vector<int> lineCells(int from, int to)
{
    const int c0 = columnOf(from), r0 = rowOf(from);
    const int dc = columnOf(to) - c0, dr = rowOf(to) - r0;
    const int steps = std::max(std::abs(dc), std::abs(dr));
    if (steps == 0)
        return {from};
    const auto at = [steps](int start, int delta, int i) { return (2 * (start * steps + delta * i) + steps) / (2 * steps); };
    std::vector<int> cells;
    for (int i = 0; i <= steps; ++i)
        cells.push_back(cellAt(at(c0, dc, i), at(r0, dr, i)));
    return cells;
}

int stepCell(int cell, int dColumn, int dRow)
{
    const int c = std::clamp(columnOf(cell) + dColumn, 0, MapColumns - 1);
    const int r = std::clamp(rowOf(cell) + dRow, 0, MapRows - 1);
    return cellAt(c, r);
}

CellRect stepSelection(const CellRect &selection, int selectedCell, int dColumn, int dRow)
{
    const int sc = columnOf(selectedCell);
    const int sr = rowOf(selectedCell);
    const int right = selection.column + selection.columns - 1;
    const int bottom = selection.row + selection.rows - 1;
    int moving = selectedCell;
    if (!selection.empty() && (sc == selection.column || sc == right) &&
        (sr == selection.row || sr == bottom))
        moving = cellAt(sc == selection.column ? right : selection.column,
                        sr == selection.row ? bottom : selection.row);
    return cellRectBetween(selectedCell, stepCell(moving, dColumn, dRow));
}

std::uint8_t storedTile(std::string_view code)
{
    return static_cast<std::uint8_t>(HexTextToInt(code) & 0xFF);
}

std::string gridText(const std::array<std::string, MapCells> &codes, const CellRect &rect)
{
    std::string text;
    for (int r = rect.row; r < rect.row + rect.rows && !rect.empty(); ++r) {
        for (int c = rect.column; c < rect.column + rect.columns; ++c) {
            if (c != rect.column)
                text += ' ';
            text += IntToHexText(storedTile(codes[static_cast<std::size_t>(cellAt(c, r) - 1)]));
        }
        text += '\n';
    }
    return text;
}

std::optional<TileGrid> parseTileGrid(std::string_view text)
{
    TileGrid grid;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lineEnd = text.find('\n', start);
        const bool ended = lineEnd != std::string_view::npos;
        std::string_view line = text.substr(start, (ended ? lineEnd : text.size()) - start);
        // "\r\n" is one line end; a CR anywhere else is no blank.
        if (ended && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (grid.size() == GridMaxRows)
            return std::nullopt;
        auto row = parseGridRow(line);
        if (!row)
            return std::nullopt;
        grid.push_back(std::move(*row));
        start = ended ? lineEnd + 1 : text.size();
    }
    if (grid.empty())
        return std::nullopt;
    return grid;
}

GridPlacement placeGrid(const TileGrid &grid, int topLeftCell)
{
    GridPlacement placement;
    const int left = columnOf(topLeftCell);
    const int top = rowOf(topLeftCell);
    int widest = 0;
    int rows = 0;
    for (std::size_t r = 0; r < grid.size() && top + static_cast<int>(r) < MapRows; ++r) {
        const int room = MapColumns - left;
        const int width = std::min(static_cast<int>(grid[r].size()), room);
        for (int c = 0; c < width; ++c)
            placement.cells.emplace_back(cellAt(left + c, top + static_cast<int>(r)),
                                         IntToHexText(grid[r][static_cast<std::size_t>(c)]));
        widest = std::max(widest, width);
        ++rows;
    }
    if (widest > 0)
        placement.selection = {left, top, widest, rows};
    return placement;
}

int pasteTargetCell(const CellRect &selection, int selectedCell, int pointedCell)
{
    if (pointedCell != 0)
        return pointedCell;
    return !selection.empty() ? selection.topLeftCell() : selectedCell != 0 ? selectedCell : 1;
}

std::vector<int> floodFillCells(const std::array<std::string, MapCells> &codes, int start)
{
    std::array<bool, MapCells> reached{};
    const std::uint8_t tile = storedTile(codes[static_cast<std::size_t>(start - 1)]);
    std::vector<int> pending{start};
    reached[static_cast<std::size_t>(start - 1)] = true;
    while (!pending.empty()) {
        const int cell = pending.back();
        pending.pop_back();
        const int c = columnOf(cell);
        const int r = rowOf(cell);
        const std::pair<int, int> neighbours[] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
        for (const auto &[nc, nr] : neighbours) {
            if (nc < 0 || nc >= MapColumns || nr < 0 || nr >= MapRows)
                continue;
            const auto index = static_cast<std::size_t>(cellAt(nc, nr) - 1);
            if (!reached[index] && storedTile(codes[index]) == tile) {
                reached[index] = true;
                pending.push_back(cellAt(nc, nr));
            }
        }
    }
    std::vector<int> cells;
    for (int n = 1; n <= MapCells; ++n)
        if (reached[static_cast<std::size_t>(n - 1)])
            cells.push_back(n);
    return cells;
}

} // namespace wmb
