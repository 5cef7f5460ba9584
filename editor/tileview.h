// A grid of tile pictures drawn by one widget: the map's 168 cells or the
// palette's 256 pictures. It paints each cell from the shared tile set at
// the zoom's geometry (nearest-neighbour, whole pixels), with the pictures
// that lie beneath the cells (the frames, the grid backdrop) and what a
// subclass draws above them. Mouse presses, drags, clicks and moves are
// reported by cell number; while it has the keyboard focus its key cell is
// framed. Each cell is an accessible child of the view.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <vector>

class TilePictures;

class TileView : public QWidget {
    Q_OBJECT
public:
    // `columns` cells to a row, `count` cells in all.
    TileView(const TilePictures &tiles, int columns, int count, QWidget *parent);
    ~TileView() override;

    int count() const { return mCount; }
    int columns() const { return mColumns; }
    // Cell 1's top-left corner in the parent's coordinates and the zoom:
    // cells of 32 * percent / 100 pixels, a gap of one pixel a whole step
    // (one below 200 %). The view covers its cells and a gap round them.
    void place(QPoint firstCell, int percent);
    int percent() const { return mPercent; }
    int cellSize() const { return 32 * mPercent / 100; }
    int gap() const { return mPercent < 200 ? 1 : mPercent / 100; }
    int pitch() const { return cellSize() + gap(); }
    // Cell n (1..count) in the parent's coordinates, and in the view's.
    QRect cellRect(int n) const { return localRect(n).translated(pos()); }
    QRect localRect(int n) const;
    // The cell under a point of the view; 0 over a gap or outside.
    int cellAt(QPoint p) const;

    // The tile code a cell shows, -1 for none (the cell is left undrawn).
    void setShown(int n, int code);
    int shown(int n) const { return mShown[static_cast<std::size_t>(n - 1)]; }
    // The picture cell n shows: its tile at the zoom, null when none.
    QPixmap cellPicture(int n) const;
    // Pictures beneath the cells, in the parent's coordinates, the first
    // lowest: the frames and the grid backdrop.
    struct Underlay {
        QRect rect;
        QPixmap picture;
    };
    void setUnderlays(std::vector<Underlay> underlays);
    // Whether a point of the view lies on a picture (a cell or an underlay)
    // rather than on the panel beneath.
    bool overPicture(QPoint p) const;

    // The cell the keyboard acts on: framed while the view has the focus.
    int keyCell() const { return mKeyCell; }
    void setKeyCell(int n);

    // What a screen reader says of cell n, and its tooltip (none when empty).
    virtual QString cellName(int n) const = 0;
    virtual QString cellValue(int n) const = 0;
    virtual QString cellToolTip(int) const { return {}; }

signals:
    // A press on cell n; `panelPos` in the parent's coordinates.
    void pressed(int n, Qt::MouseButton button, QPoint panelPos, Qt::KeyboardModifiers modifiers);
    // A move while the button pressed on a cell is held (the view keeps the
    // mouse until the release).
    void dragged(QPoint panelPos);
    void released(Qt::MouseButton button);
    // A left press and release on the same cell.
    void clicked(int n);
    // Without a button: the pointer moved over cell n, or left it.
    void hovered(int n);
    void left(int n);
    // The pointer moved over the panel between the pictures.
    void surfaceMoved();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // Drawn above the cells, clipped to the area being painted.
    virtual void paintAbove(QPainter &painter, const QRect &area);
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    // Cell n repainted, with the ring of gap round it.
    void updateCell(int n);
    // The rectangle from cell a's top-left pixel to cell b's bottom-right.
    QRect spanRect(int a, int b) const;
    void announceFocus();

private:
    void hoverTo(int n);

    const TilePictures &mTiles;
    int mColumns, mCount;
    int mPercent = 100;
    std::vector<int> mShown;
    std::vector<Underlay> mUnderlays;
    int mKeyCell = 1;
    int mPressed = 0;               // the cell a held button was pressed on
    Qt::MouseButton mButton = Qt::NoButton;
    int mHovered = 0;
};

// Registers the accessible interfaces of the views (once, before any shows).
void installTileViewAccessibility();
