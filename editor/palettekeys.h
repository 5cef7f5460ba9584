// The palette from the keyboard: lies over the palette pictures and lets
// every mouse event through to them. While it has the keyboard focus it
// frames its current tile; the arrows move that frame, Space and Enter pick
// the tile.
#pragma once

#include <QWidget>

class PaletteKeys : public QWidget {
    Q_OBJECT
public:
    // Over pictures of `size` at a pitch of `pitch`, 16 to a row, 16 rows.
    PaletteKeys(QWidget *parent, QPoint topLeft, int size, int pitch);

    int current() const { return mCurrent; }   // 1..256
    void setCurrent(int n);
    // Follows the pictures to a new place, size and pitch.
    void place(QPoint topLeft, int size, int pitch);

signals:
    void picked(int n);
    // A key without modifiers the palette has no use for (a tool's letter).
    void otherKey(int key);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QRect tileRect(int n) const;

    int mSize, mPitch;
    int mCurrent = 1;
};
