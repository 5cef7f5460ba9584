// The colours of the marks on the map and on the overview's pictures: apart
// from the selection's outline, the red cell frame and the pink palette frame.
#pragma once

#include <QColor>

// Cells holding the tile code found.
inline const QColor FoundColour(255, 200, 0);
// Cells that differ from the image compared with.
inline const QColor DifferingColour(200, 0, 255);
