// The bar below the main panel: the cell or palette tile under the pointer
// with its code and name, the picked tile's picture and code, the selection's
// size, the drawing tool, the zoom, and the
// tile code box that picks a tile by typing its code.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QString>

#include "region.h"

class QLineEdit;

// A label that, given less room than its text needs, shows the text cut at
// the end with "…" (never mid-word without a mark); the whole text is its
// tooltip.
class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override;
    QString shownText() const;   // what it paints at its width now

protected:
    void paintEvent(QPaintEvent *event) override;
};

class StatusBar : public QFrame {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent);

    static constexpr int Height = 22;

    // Cell n (1..168) with its store text and its tile's name, when it has
    // one ("Cell 5, 3: 1F Ladder"); 0: the pointer is off the map.
    void showPointedCell(int n, const QString &code, const QString &name = {});
    // The palette tile under the pointer by its label ("Tile 1F Ladder", see
    // TilePictures::label); an empty label: the pointer is off the palette.
    void showPointedTile(const QString &label);
    // The picked tile; an empty code when none is picked.
    void showPickedTile(const QPixmap &picture, const QString &code);
    void showSelection(const wmb::CellRect &rect);
    void showZoom(int percent);
    void showTool(const QString &name);   // the drawing tool: "Pen"
    // The tile found ("Tile 1F: 37 cells in 12 levels"), how the shown level
    // differs from the image compared with, and what a command did; an
    // empty text hides each.
    void showSearch(const QString &text);
    void showComparison(const QString &text);
    void showNote(const QString &text);
    // Takes the keyboard focus with its text selected.
    void focusCodeBox();
    QLineEdit *codeBox() const { return mCodeBox; }

signals:
    // Enter in the code box: the tile code typed, or -1 for an empty box.
    void codeEntered(int code);

private:
    ElidedLabel *mCell;
    QLabel *mSwatch, *mPicked, *mSelection, *mZoom, *mTool, *mSearch, *mComparison, *mNote;
    QLineEdit *mCodeBox;
};

// The text of a tile code box: one or two hexadecimal digits in either case
// make a code 0..255; anything else is no code (-1).
int tileCodeOf(const QString &text);
