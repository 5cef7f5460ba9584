// The palette, the map cells, Clear screen and Show grid.
#include "tform1.h"

#include <QCheckBox>
#include <QPainter>

#include "picturebox.h"

namespace {

// Size changes of the grid backdrop between its parked 34 x 34 state and
// the map rectangle 461 x 395.
constexpr int BackdropGrowWidth = 427;
constexpr int BackdropGrowHeight = 361;

} // namespace

void TForm1::PicClick(int n)
{
    guarded([&] {
        SelectedTile = n;
        SelectedTileCode = n - 1 < TileCodeTable.size() ? TileCodeTable[n - 1] : QString();
        if (SelectedCell != 0 && CheckBox1->isChecked()) {
            // Active select: the cell clicked last shows the picked tile, and
            // its store text follows so that a save writes what is shown.
            Image[SelectedCell - 1]->setPicture(Pic[n - 1]->picture());
            setStoreText(SelectedCell, SelectedTileCode);
        }
        const PictureBox *pic = Pic[n - 1];
        Green->move(pic->x() - 1, pic->y() - 1);
    });
}

void TForm1::ImageClick(int n)
{
    guarded([&] {
        if (SelectedTile != 0) {
            Image[n - 1]->setPicture(Pic[SelectedTile - 1]->picture());
            setStoreText(n, SelectedTileCode);
        }
        SelectedCell = n;
        const PictureBox *cell = Image[n - 1];
        Red->move(cell->x() - 1, cell->y() - 1);
    });
}

void TForm1::Button10Click()
{
    guarded([&] {
        const QPixmap empty = mTiles.load(QStringLiteral("0"));
        for (int n = 1; n <= wmb::MapCells; ++n) {
            Image[n - 1]->setPicture(empty);
            setStoreText(n, QStringLiteral("0"));
        }
    });
}

void TForm1::CheckBox2Click()
{
    guarded([&] {
        if (!CheckBox2->isChecked()) {
            Black->move(8, 8);
            Black->resize(Black->width() + BackdropGrowWidth, Black->height() + BackdropGrowHeight);
        } else {
            Black->move(5000, 5000);
            Black->resize(Black->width() - BackdropGrowWidth, Black->height() - BackdropGrowHeight);
        }
        QPixmap backdrop(Black->size());
        backdrop.fill(Qt::black);
        Black->setPicture(backdrop);
    });
}
