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

// The window's height besides the panel: the menu bar, the status bar and
// the frame the window system draws.
int TForm1::largestZoom() const
{
    const QScreen *screen = this->screen();
    if (!screen)
        return 100;
    const int besides = height() - Panel1->height() + (frameGeometry().height() - geometry().height());
    return wmb::largestFittingZoom(screen->availableGeometry().height(), besides);
}

void TForm1::setZoom(int percent)
{
    if (percent == mLayout.percent)
        return;
    mLayout.percent = percent;
    layoutMap();
    mStatusBar->showZoom(percent);
    mMenus->refresh();
}

// The frames ring a cell: its side and the gap on each side, solid red
// round the framed cell and pink round the picked picture.
void TForm1::sizeFrames()
{
    const int frame = mLayout.cellSize() + 2 * mLayout.gap();
    for (const auto &[box, colour] : {std::pair{Red, QColor(224, 32, 64)}, std::pair{Green, QColor(224, 0, 128)}}) {
        box->resize(frame, frame);
        box->setPicture(solidPicture(frame, colour));
    }
}

// Every control below the map, with its place at 100 %.
void TForm1::noteBelowMap()
{
    for (QWidget *w : Panel1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (qobject_cast<QPushButton *>(w) || qobject_cast<QLabel *>(w) || qobject_cast<QLineEdit *>(w) ||
            qobject_cast<QCheckBox *>(w))
            mBelowMap.emplace_back(w, w->pos());
}

void TForm1::layoutMap()
{
    const wmb::MapLayout &l = mLayout;
    mMap->place({l.cellX(1), l.cellY(1)}, l.percent);
    mPalette->place({l.pictureX(1), l.pictureY(1)}, l.percent);
    for (const auto &[w, place] : mBelowMap)
        w->move(place.x(), place.y() + l.belowMapShift());

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

