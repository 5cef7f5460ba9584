// Lies over the map, above the cells, and lets every mouse event through to
// them. It draws the selection's outline on the outer pixels of the
// selected cells (never a cell's inner part, never the gaps where the red
// frame shows) and takes the keyboard focus for the map.
#pragma once

#include <QWidget>

#include "maplayout.h"
#include "region.h"

class MapOverlay : public QWidget {
public:
    explicit MapOverlay(QWidget *parent);
    void place(const wmb::MapLayout &layout);
    void setSelection(const wmb::CellRect &rect);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    // From the first selected cell's top-left pixel to the last one's
    // bottom-right pixel, in the overlay's coordinates.
    QRect outer(const wmb::CellRect &rect) const;

    wmb::CellRect mSelection;
    wmb::MapLayout mLayout;
};
