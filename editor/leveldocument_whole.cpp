// A tile replaced in the shown level, as one step of the map's history.
#include "leveldocument.h"

#include "tilepictures.h"

int LevelDocument::replaceTile(int from, int to)
{
    std::vector<int> cells;
    for (int n = 1; n <= wmb::MapCells; ++n)
        if (cell(n) == from)
            cells.push_back(n);
    if (cells.empty() || from == to)
        return 0;
    mTiles.load(to);
    fillCells(cells, to, QStringLiteral("Replace tile"));
    return static_cast<int>(cells.size());
}
