// Zoom: View > Zoom In, Zoom Out, Actual Size and Ctrl+wheel over the map
// or the palette. The map's cells, their frames, the selection's outline
// and the palette's pictures scale; the controls below the map keep their
// order and spacing and move down; the window follows the panel.
#include "tform1.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include <tuple>

#include "editormenus.h"
#include "mapview.h"
#include "picturebox.h"
#include "statusbar.h"

namespace {

QPixmap solidPicture(int side, QColor colour)
{
    QPixmap picture(side, side);
    picture.fill(colour);
    return picture;
}

} // namespace

// Ctrl+wheel zooms over the map, or over the palette while it shows.
void TForm1::followCtrlWheel()
{
    connect(Panel1, &MainPanel::ctrlWheel, this, [this](QPoint p, int steps) {
        if (mLayout.overMap(p.x(), p.y()) || (mMenus->showTiles()->isChecked() && mLayout.overPalette(p.x(), p.y())))
            guarded([&] { zoomBy(steps); });
    });
}

// One step in (up to the largest step that fits) or out.
void TForm1::zoomBy(int steps)
{
    const int wanted = steps > 0 ? wmb::zoomIn(mLayout.percent) : wmb::zoomOut(mLayout.percent);
    chooseZoom(std::min(wanted, std::max(largestZoom(), mLayout.percent)));
}

// A zoom the user chose is kept for the next start; the one a start shows
// (the kept one, as far as this screen holds it) is not.
void TForm1::chooseZoom(int percent)
{
    setZoom(percent);
    mSettings.setZoom(percent);
}

// The screen's room as it is now, and the window's size besides the panel:
// the menu bar, the status bar and the frame the window system draws.
wmb::ScreenRoom TForm1::screenRoom() const
{
    const QScreen *screen = this->screen();
    if (!screen)
        return {PanelWidthNarrow, PanelHeight, 0, 0};
    const QRect room = screen->availableGeometry();
    return {room.width(), room.height(), width() - Panel1->width() + (frameGeometry().width() - geometry().width()),
            height() - Panel1->height() + (frameGeometry().height() - geometry().height())};
}

int TForm1::largestZoom() const { return wmb::largestFittingZoom(screenRoom()); }

void TForm1::setZoom(int percent)
{
    const wmb::MapLayout fitting = wmb::fittingLayout(percent, screenRoom());
    if (percent == mLayout.percent && fitting.palettePercent == mLayout.palettePercent)
        return;
    mLayout = fitting;
    layoutMap();
    mStatusBar->showZoom(percent);
    mMenus->refresh();
}

// The frames ring a cell: its side and the gap on each side, solid red
// round the framed cell and pink round the picked picture.
void TForm1::sizeFrames()
{
    const int red = mLayout.cellSize() + 2 * mLayout.gap();
    const int green = mLayout.pictureSize() + 2 * mLayout.pictureGap();
    for (const auto &[box, side, colour] :
         {std::tuple{Red, red, QColor(224, 32, 64)}, std::tuple{Green, green, QColor(224, 0, 128)}}) {
        box->resize(side, side);
        box->setPicture(solidPicture(side, colour));
    }
}

// Every control below the map, with its place at 100 %.
void TForm1::noteBelowMap()
{
    for (QWidget *w : Panel1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (qobject_cast<QPushButton *>(w) || qobject_cast<QLabel *>(w) || qobject_cast<QLineEdit *>(w) ||
            qobject_cast<QCheckBox *>(w))
            mBelowMap.emplace_back(w, w->geometry());
}

void TForm1::layoutMap()
{
    const wmb::MapLayout &l = mLayout;
    mTiles.useSteps({l.percent, l.palettePercent});
    mMap->place({l.cellX(1), l.cellY(1)}, l.percent);
    mPalette->place({l.pictureX(1), l.pictureY(1)}, l.palettePercent);
    // The controls keep their rows and spread across the map's width; the
    // buttons and boxes widen with it, a label or a check box keeps its own.
    for (const auto &[w, place] : mBelowMap) {
        const bool widens = qobject_cast<QPushButton *>(w) || qobject_cast<QLineEdit *>(w);
        const int left = l.belowMapX(place.left());
        const int width = widens ? l.belowMapX(place.right() + 1) - left : w->width();
        w->setGeometry(left, place.y() + l.belowMapShift(), width, place.height());
    }

    sizeFrames();
    if (!CheckBox2->isChecked()) {
        Black->setGeometry(l.Left, l.Top, l.mapWidth(), l.mapHeight());
        QPixmap backdrop(Black->size());
        backdrop.fill(Qt::black);
        Black->setPicture(backdrop);
    }
    placeFrames();

    const bool wide = mMenus->showTiles()->isChecked();
    Panel1->resize(wide ? l.wideWidth() : l.narrowWidth(), l.height(wide));
    fitToPanel();
}

