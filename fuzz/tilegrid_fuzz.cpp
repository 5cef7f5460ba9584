// The clipboard grid reader on any bytes: it either refuses the text or
// returns 1 to 12 rows of 1 to 14 codes, which written back as the editor
// copies them read to the same grid, and place on the map inside its edges.
#include "fuzzcheck.h"
#include "hexcode.h"
#include "region.h"

using wmbfuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const auto grid = wmb::parseTileGrid(wmbfuzz::asText(data, size));
    if (!grid)
        return 0;
    check(!grid->empty() && grid->size() <= wmb::GridMaxRows, "1 to 12 rows");
    std::string written;
    for (const auto &row : *grid) {
        check(!row.empty() && row.size() <= wmb::GridMaxColumns, "1 to 14 codes a row");
        for (std::size_t i = 0; i < row.size(); ++i)
            written += (i ? " " : "") + wmb::IntToHexText(row[i]);
        written += '\n';
    }
    check(wmb::parseTileGrid(written) == grid, "the copied form reads back to the same grid");

    const int at = 1 + static_cast<int>(size % wmb::MapCells);
    const wmb::GridPlacement placed = wmb::placeGrid(*grid, at);
    check(placed.selection.topLeftCell() == at, "the selection starts where the grid was placed");
    for (const auto &[cell, code] : placed.cells)
        check(placed.selection.contains(cell) && wmb::isTileCodeText(code),
              "placed cells lie in the selection and hold tile codes");
    return 0;
}
