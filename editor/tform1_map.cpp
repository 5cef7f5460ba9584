// The palette, the map cells, Clear screen, Show grid, and the map's
// gestures and undo keys.
#include "tform1.h"

#include <QCheckBox>
#include <QLineEdit>

#include <utility>

#include "editorsession.h"
#include "leveldocument.h"
#include "mapview.h"
#include "picturebox.h"

namespace {

// The grid backdrop's parked size, 34 x 34; shown it covers the map
// rectangle (461 x 395 at 100 %).
constexpr int BackdropParked = 34;

} // namespace

// The map and the palette.
void TForm1::createViews()
{
    installTileViewAccessibility();
    mMap = new MapView(mTiles, Panel1);
    mMap->place({mLayout.cellX(1), mLayout.cellY(1)}, mLayout.percent);
    mMap->installEventFilter(this);
    mMap->setValueText([this](int n) {
        const int code = mDocument->cell(n);
        return code == LevelDocument::Blank ? QString() : QStringLiteral("Tile ") + mTiles.label(code);
    });
    mPalette = new PaletteView(mTiles, Panel1);
    mPalette->place({mLayout.pictureX(1), mLayout.pictureY(1)}, mLayout.percent);
    mPalette->setNameText([this](int n) { return QStringLiteral("Tile ") + mTiles.label(n - 1); });
    mPalette->hide();   // until the palette is shown
}

// The frames follow the session: the red one round the framed cell, the
// pink one round the picked palette picture.
void TForm1::placeFrames()
{
    if (mSession->SelectedCell != 0) {
        const QRect cell = mMap->cellRect(mSession->SelectedCell);
        Red->move(cell.x() - mLayout.gap(), cell.y() - mLayout.gap());
        mMap->setKeyCell(mSession->SelectedCell);
    } else {
        Red->move(-100, -100);   // none framed: a press cancelled before any frame
    }
    if (mSession->SelectedTile != 0) {
        const QRect pic = mPalette->cellRect(mSession->SelectedTile);
        Green->move(pic.x() - mPalette->gap(), pic.y() - mPalette->gap());
    }
    showFrames();
}

// The views draw the backdrop and the frames where they lie.
void TForm1::showFrames()
{
    const auto underlay = [](const PictureBox *box) { return TileView::Underlay{box->geometry(), box->picture()}; };
    mMap->setUnderlays({underlay(Black), underlay(Red)});
    mPalette->setUnderlays({underlay(Green)});
}

void TForm1::PicClick(int n)
{
    guarded([&] { mSession->clickPicture(n, CheckBox1->isChecked()); });
}

void TForm1::ImageClick(int n)
{
    guarded([&] { mSession->clickCell(n); });
}

void TForm1::ImageMouseDown(int n, Qt::MouseButton button, QPoint panelPos,
                            Qt::KeyboardModifiers modifiers)
{
    using Press = EditorSession::Press;
    mStrokePos = panelPos;
    if (button == Qt::RightButton)
        guarded([&] { mSession->pressCell(n, Press::Pick); });
    else if (button == Qt::LeftButton)
        guarded([&] {
            mSession->pressCell(n, modifiers & Qt::ShiftModifier     ? Press::Select
                                   : modifiers & Qt::ControlModifier ? Press::Fill
                                                                     : Press::Paint);
        });
}

// A fast move reports points cells apart: the session is given every cell
// on the line between the two.
void TForm1::ImageMouseMove(QPoint panelPos)
{
    const QPoint from = std::exchange(mStrokePos, panelPos);
    guarded([&] {
        mSession->dragOver(mLayout.cellsOnLine(from.x(), from.y(), panelPos.x(), panelPos.y()),
                           mLayout.cellNear(panelPos.x(), panelPos.y()));
    });
}

void TForm1::ImageMouseUp(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        mSession->releaseCell();
}

void TForm1::Button10Click()
{
    guarded([&] { mDocument->clearScreen(); });
}

void TForm1::CheckBox2Click()
{
    guarded([&] {
        const int growWidth = mLayout.mapWidth() - BackdropParked;
        const int growHeight = mLayout.mapHeight() - BackdropParked;
        if (!CheckBox2->isChecked()) {
            Black->move(8, 8);
            Black->resize(Black->width() + growWidth, Black->height() + growHeight);
        } else {
            Black->move(5000, 5000);
            Black->resize(Black->width() - growWidth, Black->height() - growHeight);
        }
        QPixmap backdrop(Black->size());
        backdrop.fill(Qt::black);
        Black->setPicture(backdrop);
        showFrames();
    });
}

// The map cells' mouse gestures.
void TForm1::connectMapGestures()
{
    // A press on the map or the palette takes the keyboard focus from a text
    // edit, so that the undo keys act on the map again.
    auto leaveTextEdit = [this] {
        if (qobject_cast<QLineEdit *>(focusWidget()))
            Panel1->setFocus(Qt::MouseFocusReason);
    };
    // A press on the map gives the map the keyboard focus.
    connect(mMap, &TileView::pressed, this,
            [this](int n, Qt::MouseButton button, QPoint pos, Qt::KeyboardModifiers modifiers) {
                mapFocus()->setFocus(Qt::MouseFocusReason);
                ImageMouseDown(n, button, pos, modifiers);
            });
    connect(mMap, &TileView::dragged, this, &TForm1::ImageMouseMove);
    connect(mMap, &TileView::released, this, &TForm1::ImageMouseUp);
    connect(mMap, &TileView::surfaceMoved, this, &TForm1::Panel1MouseMove);
    connect(mPalette, &TileView::pressed, this, leaveTextEdit);
    connect(mPalette, &TileView::clicked, this, &TForm1::PicClick);
    connect(mPalette, &TileView::surfaceMoved, this, &TForm1::Panel1MouseMove);
    connect(mPalette, &PaletteView::picked, this, &TForm1::PicClick);
    connect(mPalette, &PaletteView::otherKey, mSession, &EditorSession::chooseToolByKey);
    connect(mSession, &EditorSession::frameChanged, this, &TForm1::placeFrames);
    connect(mSession, &EditorSession::pickChanged, this, [this] {
        placeFrames();
        showPickedTile();
    });
}
