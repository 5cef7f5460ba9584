// The map and the palette, each one drawn view of its cells.
#pragma once

#include <functional>
#include <vector>

#include "region.h"
#include "tileview.h"

// The map's 168 cells, 14 to a row. Above the cells it draws the marks of a
// search and a comparison (a found cell framed on its outer pixels, a
// differing cell on the pixels inside those), the selection's outline on the
// selected cells' outer pixels (never a cell's inner part, never the gaps
// where the red frame shows), and the keyboard's cell while the focus came
// from the keyboard.
class MapView : public TileView {
    Q_OBJECT
public:
    MapView(const TilePictures &tiles, QWidget *parent);

    void setSelection(const wmb::CellRect &rect);
    void setMarks(const std::vector<int> &found, const std::vector<int> &differing);
    // Frames the keyboard's cell until the next mouse press on the map.
    void showFocusFrame();
    // The tile a screen reader reads for cell n ("Tile 1F").
    void setValueText(std::function<QString(int)> text) { mValueText = std::move(text); }

    QString cellName(int n) const override;
    QString cellValue(int n) const override { return mValueText ? mValueText(n) : QString(); }

protected:
    void paintAbove(QPainter &painter, const QRect &area) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    // From the first selected cell's top-left pixel to the last one's
    // bottom-right pixel.
    QRect outer(const wmb::CellRect &rect) const;
    int outline() const { return 2 * percent() / 100; }

    wmb::CellRect mSelection;
    std::vector<int> mFound, mDiffering;
    bool mFocusFrame = false;
    std::function<QString(int)> mValueText;
};

// The palette's 256 pictures, 16 to a row; picture n shows tile n - 1.
// While it has the keyboard focus it frames its current picture; the arrows
// move that frame, Space and Enter pick the picture.
class PaletteView : public TileView {
    Q_OBJECT
public:
    PaletteView(const TilePictures &tiles, QWidget *parent);
    // What a screen reader reads for picture n ("Tile 1F Ladder"); its
    // tooltip is the same without "Tile ".
    void setNameText(std::function<QString(int)> text) { mNameText = std::move(text); }
    QString cellName(int n) const override { return mNameText ? mNameText(n) : QString(); }
    QString cellValue(int) const override { return {}; }
    QString cellToolTip(int n) const override { return cellName(n).mid(5); }

signals:
    void picked(int n);
    // A key without modifiers the palette has no use for (a tool's letter).
    void otherKey(int key);

protected:
    void paintAbove(QPainter &painter, const QRect &area) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::function<QString(int)> mNameText;
};
