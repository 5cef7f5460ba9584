// The palette and the map screen: picks, cell paints, Active select, Clear
// screen and Show grid, driven with mouse clicks on the named controls.
#include "mapfixture.h"

#include <QDir>

namespace {

using PaletteTest = MapTest;

struct PaletteCase {
    int pic;
    const char *code;
    QPoint frame;
};

TEST_F(PaletteTest, PickSelectsTheCodeOfItsPictureAndFramesIt)
{
    start();
    const PaletteCase cases[] = {
        {1, "0", {479, 7}},   {10, "9", {776, 7}},    {11, "A", {809, 7}},
        {16, "F", {974, 7}},  {17, "10", {479, 40}},  {256, "FF", {974, 502}},
    };
    for (const PaletteCase &c : cases) {
        pick(c.pic);
        EXPECT_EQ(form->SelectedTile, c.pic);
        EXPECT_EQ(form->SelectedTileCode, QString::fromLatin1(c.code)) << "Pic" << c.pic;
        EXPECT_EQ(form->Green->pos(), c.frame) << "Pic" << c.pic;
        EXPECT_EQ(imageOf(form->Pic[c.pic - 1]), tileImage(QString::fromLatin1(c.code)));
    }
    // A pick alone changes no cell, with or without Active select.
    const MapState before = mapState();
    form->CheckBox1->setChecked(true);
    pick(27);
    EXPECT_EQ(mapState(), before);
    EXPECT_EQ(form->Red->pos(), QPoint(-100, -100));
}

struct CellCase {
    int cell;
    QPoint frame;
};

TEST_F(PaletteTest, CellClickPaintsTheSelectedTileAndFramesTheCell)
{
    start();
    pick(27);  // code 1A
    const CellCase cases[] = {{1, {7, 7}}, {14, {436, 7}}, {15, {7, 40}}, {168, {436, 370}}};
    for (const CellCase &c : cases) {
        paint(c.cell);
        EXPECT_EQ(form->SelectedCell, c.cell);
        EXPECT_EQ(form->Red->pos(), c.frame) << "Image" << c.cell;
        EXPECT_EQ(form->storeText(c.cell), QStringLiteral("1A"));
        EXPECT_EQ(imageOf(form->Image[c.cell - 1]), tileImage(QStringLiteral("1A")));
    }
    // Column n - 1 holds cell n: the neighbours stay as they were.
    EXPECT_EQ(form->storeText(16), QString());
    EXPECT_EQ(form->StringGrid1->columnCount(), wmb::MapCells);
    EXPECT_EQ(form->StringGrid1->rowCount(), 1);
    EXPECT_FALSE(form->StringGrid1->isVisible());
}

TEST_F(PaletteTest, CellClickBeforeAnyPickOnlySelectsTheCell)
{
    startWithLevel(3);
    const MapState before = mapState();
    paint(15);
    EXPECT_EQ(mapState(), before);
    EXPECT_EQ(form->SelectedCell, 15);
    EXPECT_EQ(form->Red->pos(), QPoint(7, 40));
    EXPECT_EQ(form->SelectedTile, 0);
}

TEST_F(PaletteTest, PaintedAndSavedLevelHoldsTheCodesAtTheirOffsets)
{
    startWithLevel(4);
    QByteArray expected = romBytes();
    const int base = wmb::LevelBaseOf(4);
    const struct {
        int pic, cell;
    } paints[] = {{1, 1}, {11, 2}, {17, 14}, {27, 15}, {256, 100}, {128, 168}};
    for (const auto &p : paints) {
        pick(p.pic);
        paint(p.cell);
        expected[base + p.cell - 1] = static_cast<char>(p.pic - 1);
    }
    click(form->Button5);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(romBytes(), expected);
}

TEST_F(PaletteTest, ActiveSelectShowsAndStoresThePickInTheCellClickedLast)
{
    startWithLevel(2);
    QByteArray expected = romBytes();
    form->CheckBox1->setChecked(true);
    paint(5);  // before any pick: selects only
    pick(27);
    EXPECT_EQ(imageOf(form->Image[4]), tileImage(QStringLiteral("1A")));
    EXPECT_EQ(form->storeText(5), QStringLiteral("1A"));
    EXPECT_EQ(form->SelectedCell, 5);
    EXPECT_EQ(form->Red->pos(), QPoint(139, 7));
    click(form->Button5);
    expected[wmb::LevelBaseOf(2) + 4] = 0x1A;
    EXPECT_EQ(romBytes(), expected);

    // Unchecked, a pick changes only the selection.
    form->CheckBox1->setChecked(false);
    const MapState before = mapState();
    pick(3);
    EXPECT_EQ(mapState(), before);
    EXPECT_EQ(form->SelectedTileCode, QStringLiteral("2"));
}

TEST_F(PaletteTest, ClearScreenBeforeAnyRomFillsTheStoreWithZero)
{
    start();
    pick(27);
    paint(20);
    const QPoint red = form->Red->pos();
    const QPoint green = form->Green->pos();
    click(form->Button10);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    const MapState state = mapState();
    EXPECT_EQ(state.codes, QStringList(wmb::MapCells, QStringLiteral("0")));
    expectPicturesMatchCodes(state);
    EXPECT_EQ(form->SelectedCell, 20);
    EXPECT_EQ(form->Red->pos(), red);
    EXPECT_EQ(form->Green->pos(), green);
    EXPECT_EQ(form->SelectedTileCode, QStringLiteral("1A"));
    // Painting goes on as before.
    paint(21);
    EXPECT_EQ(form->storeText(21), QStringLiteral("1A"));
}

TEST_F(PaletteTest, ClearScreenReadsTheTileFolderWhateverTheCurrentDirectory)
{
    copyTileSet();
    start();
    openRom();
    const QByteArray rom = romBytes();
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    click(form->Button10);
    QDir::setCurrent(previous);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(mapState().codes, QStringList(wmb::MapCells, QStringLiteral("0")));
    EXPECT_EQ(romBytes(), rom);  // the cleared screen reaches the ROM only by a save
}

TEST_F(PaletteTest, ClearScreenThatCannotLoadTileZeroChangesNothing)
{
    const QString graph = copyTileSet();
    startWithLevel(1);
    pick(27);
    paint(3);
    const MapState before = mapState();
    const struct {
        const char *name;
        QByteArray bytes;  // empty: the file is removed
    } cases[] = {{"missing", {}}, {"not a bitmap", QByteArray("BM not really a bitmap")}};
    for (const auto &c : cases) {
        QFile::remove(graph + QStringLiteral("/0.bmp"));
        if (!c.bytes.isEmpty()) {
            QFile f(graph + QStringLiteral("/0.bmp"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes);
        }
        dialogs.errors.clear();
        click(form->Button10);
        ASSERT_EQ(dialogs.errors.size(), 1) << c.name;
        EXPECT_EQ(mapState(), before) << c.name;
    }
    EXPECT_EQ(dialogs.errors.front(), QStringLiteral("Bitmap image is not valid."));
    QFile::remove(graph + QStringLiteral("/0.bmp"));
    dialogs.errors.clear();
    click(form->Button10);
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("Cannot open file graph/0.bmp.")});
}

using GridTest = MapTest;

TEST_F(GridTest, ToggledTwiceTheBackdropIsParkedAgainWithABlackPicture)
{
    start();
    const QImage black34 = [] {
        QImage i(34, 34, QImage::Format_RGB32);
        i.fill(Qt::black);
        return i;
    }();
    click(form->CheckBox2);
    ASSERT_FALSE(form->CheckBox2->isChecked());
    EXPECT_EQ(form->Black->geometry(), QRect(8, 8, 461, 395));
    QImage black = imageOf(form->Black).convertToFormat(QImage::Format_RGB32);
    QImage expected(461, 395, QImage::Format_RGB32);
    expected.fill(Qt::black);
    EXPECT_EQ(black, expected);

    click(form->CheckBox2);
    ASSERT_TRUE(form->CheckBox2->isChecked());
    EXPECT_EQ(form->Black->geometry(), QRect(5000, 5000, 34, 34));
    EXPECT_EQ(imageOf(form->Black).convertToFormat(QImage::Format_RGB32), black34);
}

// What the user sees: with the grid hidden the one-pixel gaps between cells
// are black, with it shown they are the panel's colour.
TEST_F(GridTest, GapsBetweenCellsAreBlackOnlyWhileTheGridIsHidden)
{
    start();
    pick(2);
    paint(1);  // the red frame now rings cell 1
    form->show();
    const QPoint gaps[] = {{40, 100}, {100, 40}, {73, 73}, {436, 370}, {40, 402}};
    const QPoint panelSurface(474, 300);

    QImage shown = form->Panel1->grab().toImage();
    const QRgb panelColour = shown.pixel(panelSurface);
    ASSERT_NE(panelColour, qRgb(0, 0, 0));
    for (QPoint p : gaps)
        EXPECT_EQ(shown.pixel(p), panelColour) << p.x() << "," << p.y();

    click(form->CheckBox2);
    QImage hidden = form->Panel1->grab().toImage();
    for (QPoint p : gaps)
        EXPECT_EQ(hidden.pixel(p), qRgb(0, 0, 0)) << p.x() << "," << p.y();
    EXPECT_EQ(hidden.pixel(panelSurface), panelColour);  // only the map rectangle
    // The frame lies above the backdrop: its ring stays red.
    EXPECT_EQ(hidden.pixel(7, 20), qRgb(224, 32, 64));
    EXPECT_EQ(hidden.pixel(20, 40), qRgb(224, 32, 64));
    // The cells themselves are drawn over it.
    EXPECT_EQ(hidden.copy(8, 8, 32, 32).convertToFormat(QImage::Format_RGB32),
              tileImage(QStringLiteral("1")).convertToFormat(QImage::Format_RGB32));
}

} // namespace
