// The level overview: a window of its own showing the 32 levels of the open
// ROM image as pictures of their tiles, 8 across and 4 down, following the
// document as it changes. A double click, or Enter on the focused picture,
// loads that level in the editor. Whole levels are copied and pasted
// (Ctrl+C, Ctrl+V), swapped (a drag with Ctrl held) and moved (a drag) on
// it, or through its context menu; the editor asks and writes.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <bitset>
#include <optional>

#include "bmpimage.h"
#include "levelrecord.h"

class LevelDocument;
class QMenu;
class QPainter;
class TilePictures;

class LevelOverview : public QWidget {
    Q_OBJECT
public:
    // A window of its own beside `parent`, deleted with it; it follows the
    // document and draws from the tile set.
    LevelOverview(LevelDocument &document, TilePictures &tiles, QWidget *parent);

    // What the picture of level n (1..32) shows: its caption ("12* Name":
    // the number, "*" for unsaved changes, the name without its trailing
    // fill), its tooltip, and its picture at the current size.
    QString caption(int level) const;
    QString toolTipText(int level) const;
    QImage picture(int level);
    // Where level n's picture lies in the window.
    QRect pictureRect(int level) const;
    int focusedLevel() const { return mFocus; }
    int cellSize() const { return mCellSize; }

    // Re-reads the 32 records of the open ROM image, and the tile pictures
    // that could not be read before; a record that cannot be read shows empty.
    void reloadImage();
    // Takes the shown level from the document when it has unsaved changes,
    // from the ROM image otherwise.
    void reloadShownLevel();
    // Forgets every level's picture so the next paint draws all 32 anew
    // (the scaled tile pictures are kept).
    void forgetPictures();
    // The context menu of level n's picture (the caller owns it): the
    // overview's own entries, then those of whoever follows
    // contextMenuFilling.
    QMenu *contextMenuFor(int level);
    // The level a drag started on, and the one it is over (0 for none).
    int dragTarget() const { return mDragTo; }

    // Marks (overview_marks.cpp): the cells holding a found tile code are
    // outlined in every picture (-1: none found), and a level that differs
    // from another image shows a badge with the count of its differing
    // record bytes (0: none).
    void setFoundTile(int code);
    void setDifferences(const std::array<int, wmb::LevelCount> &bytes);
    int differingBytes(int level) const { return mDiffering[static_cast<std::size_t>(level - 1)]; }

signals:
    // The user asked to open level n in the editor.
    void openRequested(int level);
    // Operations on whole levels: level n copied to the clipboard, the
    // clipboard's level pasted over n, two levels swapped (`with` 0: the
    // number is to be asked), level `from` moved to place `to`.
    void copyRequested(int level);
    void pasteRequested(int level);
    void swapRequested(int level, int with);
    void moveRequested(int from, int to);
    // The context menu of level n is being built: add entries to it.
    void contextMenuFilling(QMenu *menu, int level);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // What a level's picture, caption and tooltip show.
    struct Shown {
        bool empty = true;                  // no record to show
        bool unsaved = false;               // taken from the document
        std::array<std::uint8_t, wmb::MapCells> tiles{};
        QString name, timer, author, hint;  // without their trailing fill
        bool operator==(const Shown &) const = default;
    };
    struct Level {
        bool readable = false;
        wmb::LevelRecord saved;             // as the ROM image holds it
        Shown shown;
        QImage image;                       // shown.tiles at the current size; null: to draw
    };

    void setShown(int level, const Shown &shown);
    void showSaved(int level);
    const wmb::BmpImage &scaledTile(std::uint8_t code);
    int levelAt(QPoint pos) const;
    QRect slotRect(int level) const;
    bool captionElided(int level) const;
    void setFocusedLevel(int level);
    void openFocused();
    // Whole-level gestures (overview_levels.cpp).
    bool levelKey(QKeyEvent *event);
    void pressLevel(int level, QPoint pos);
    void paintDrag(QPainter &p);
    void cancelDrag();
    void paintMarks(QPainter &painter, int level);

    LevelDocument &mDocument;
    TilePictures &mTileSet;
    std::array<Level, wmb::LevelCount> mLevels;
    int mLoaded = 0;
    int mFocus = 1;
    int mCellSize = 8;
    int mCaptionHeight = 0;
    int mPressed = 0;     // the level a left press went down on, 0 for none
    QPoint mPressPos;
    int mDragTo = 0;      // while a drag: the level under the pointer
    // Tile pictures cut to the map's cell and scaled to mCellSize.
    std::array<std::optional<wmb::BmpImage>, wmb::PaletteTiles> mTiles;
    std::bitset<wmb::PaletteTiles> mReadTiles;     // read from its file by the overview
    std::bitset<wmb::PaletteTiles> mUnreadTiles;   // drawn black until read again
    int mFoundCode = -1;
    std::array<int, wmb::LevelCount> mDiffering{};
};
