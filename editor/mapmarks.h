// The marks of a search and a comparison on the map: a widget over the map
// cells that lets every mouse event through.
#pragma once

#include <QWidget>

#include <vector>

#include "maplayout.h"

// A found cell is framed on its outer two pixels, a differing cell on the
// two pixels inside those (scaled with the zoom).
class MapMarks : public QWidget {
public:
    explicit MapMarks(QWidget *parent);
    void place(const wmb::MapLayout &layout);
    void setMarks(const std::vector<int> &found, const std::vector<int> &differing);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QRect cellRect(int n) const;
    wmb::MapLayout mLayout;
    std::vector<int> mFound, mDiffering;
};
