// The palette and the map screen: picks, cell paints, Active select, Clear
// screen and Show grid, driven with mouse clicks on the named controls.
#include "mapfixture.h"
#include "statusbar.h"
#include "tilenames.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QToolTip>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>

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
        pickTile(c.pic - 1);
        EXPECT_EQ(pickedPicture(), c.pic);
        EXPECT_EQ(pickedCode(), QString::fromLatin1(c.code)) << "Pic" << c.pic;
        EXPECT_EQ(greenFrame(), c.frame) << "Pic" << c.pic;
        EXPECT_EQ(paletteImage(c.pic - 1), tileImage(QString::fromLatin1(c.code)));
    }
    // A pick alone changes no cell, with or without Active select.
    const MapState before = mapState();
    setActiveSelect(true);
    pickTile(0x1A);
    EXPECT_EQ(mapState(), before);
    EXPECT_EQ(redFrame(), QPoint(-100, -100));
}

struct CellCase {
    int cell;
    QPoint frame;
};

TEST_F(PaletteTest, CellClickPaintsTheSelectedTileAndFramesTheCell)
{
    start();
    pickTile(0x1A);
    const CellCase cases[] = {{1, {7, 7}}, {14, {436, 7}}, {15, {7, 40}}, {168, {436, 370}}};
    for (const CellCase &c : cases) {
        clickCell(c.cell);
        EXPECT_EQ(selectedCell(), c.cell);
        EXPECT_EQ(redFrame(), c.frame) << "Image" << c.cell;
        EXPECT_EQ(shownCode(c.cell), QStringLiteral("1A"));
        EXPECT_EQ(cellPicture(c.cell), tileImage(QStringLiteral("1A")));
    }
    // Column n - 1 holds cell n: the neighbours stay as they were.
    EXPECT_EQ(shownCode(16), QString());
    const auto *store = control<QTableWidget>("StringGrid1");
    EXPECT_EQ(store->columnCount(), wmb::MapCells);
    EXPECT_EQ(store->rowCount(), 1);
    EXPECT_FALSE(store->isVisible());
}

TEST_F(PaletteTest, CellClickBeforeAnyPickOnlySelectsTheCell)
{
    startWithLevel(3);
    const MapState before = mapState();
    clickCell(15);
    EXPECT_EQ(mapState(), before);
    EXPECT_EQ(selectedCell(), 15);
    EXPECT_EQ(redFrame(), QPoint(7, 40));
    EXPECT_EQ(pickedPicture(), 0);
}

TEST_F(PaletteTest, PaintedAndSavedLevelHoldsTheCodesAtTheirOffsets)
{
    startWithLevel(4);
    QByteArray expected = romBytes();
    const int base = wmb::LevelBaseOf(4);
    const struct {
        int code, cell;
    } paints[] = {{0x0, 1}, {0xA, 2}, {0x10, 14}, {0x1A, 15}, {0xFF, 100}, {0x7F, 168}};
    for (const auto &p : paints) {
        pickTile(p.code);
        clickCell(p.cell);
        expected[base + p.cell - 1] = static_cast<char>(p.code);
    }
    save();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(romBytes(), expected);
}

TEST_F(PaletteTest, ActiveSelectShowsAndStoresThePickInTheCellClickedLast)
{
    startWithLevel(2);
    QByteArray expected = romBytes();
    setActiveSelect(true);
    clickCell(5);  // before any pick: selects only
    pickTile(0x1A);
    EXPECT_EQ(cellPicture(5), tileImage(QStringLiteral("1A")));
    EXPECT_EQ(shownCode(5), QStringLiteral("1A"));
    EXPECT_EQ(selectedCell(), 5);
    EXPECT_EQ(redFrame(), QPoint(139, 7));
    save();
    expected[wmb::LevelBaseOf(2) + 4] = 0x1A;
    EXPECT_EQ(romBytes(), expected);

    // Unchecked, a pick changes only the selection.
    setActiveSelect(false);
    const MapState before = mapState();
    pickTile(0x2);
    EXPECT_EQ(mapState(), before);
    EXPECT_EQ(pickedCode(), QStringLiteral("2"));
}

TEST_F(PaletteTest, ClearScreenBeforeAnyRomFillsTheStoreWithZero)
{
    start();
    pickTile(0x1A);
    clickCell(20);
    const QPoint red = redFrame();
    const QPoint green = greenFrame();
    clearScreen();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    const MapState state = mapState();
    EXPECT_EQ(state.codes, QStringList(wmb::MapCells, QStringLiteral("0")));
    expectPicturesMatchCodes(state);
    EXPECT_EQ(selectedCell(), 20);
    EXPECT_EQ(redFrame(), red);
    EXPECT_EQ(greenFrame(), green);
    EXPECT_EQ(pickedCode(), QStringLiteral("1A"));
    // Painting goes on as before.
    clickCell(21);
    EXPECT_EQ(shownCode(21), QStringLiteral("1A"));
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
    clearScreen();
    QDir::setCurrent(previous);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(mapState().codes, QStringList(wmb::MapCells, QStringLiteral("0")));
    EXPECT_EQ(romBytes(), rom);  // the cleared screen reaches the ROM only by a save
}

TEST_F(PaletteTest, ClearScreenThatCannotLoadTileZeroChangesNothing)
{
    const QString graph = copyTileSet();
    startWithLevel(1);
    pickTile(0x1A);
    clickCell(3);
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
        clearScreen();
        ASSERT_EQ(dialogs.errors.size(), 1) << c.name;
        EXPECT_EQ(mapState(), before) << c.name;
    }
    EXPECT_EQ(dialogs.errors.front(), QStringLiteral("Bitmap image is not valid."));
    QFile::remove(graph + QStringLiteral("/0.bmp"));
    dialogs.errors.clear();
    clearScreen();
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
    clickButton("CheckBox2");
    ASSERT_FALSE(checked("CheckBox2"));
    EXPECT_EQ(control("Black")->geometry(), QRect(8, 8, 461, 395));
    QImage black = pictureOf("Black").convertToFormat(QImage::Format_RGB32);
    QImage expected(461, 395, QImage::Format_RGB32);
    expected.fill(Qt::black);
    EXPECT_EQ(black, expected);

    clickButton("CheckBox2");
    ASSERT_TRUE(checked("CheckBox2"));
    EXPECT_EQ(control("Black")->geometry(), QRect(5000, 5000, 34, 34));
    EXPECT_EQ(pictureOf("Black").convertToFormat(QImage::Format_RGB32), black34);
}

// What the user sees: with the grid hidden the one-pixel gaps between cells
// are black, with it shown they are the panel's colour.
TEST_F(GridTest, GapsBetweenCellsAreBlackOnlyWhileTheGridIsHidden)
{
    start();
    pickTile(0x1);
    clickCell(1);  // the red frame now rings cell 1
    form->show();
    const QPoint gaps[] = {{40, 100}, {100, 40}, {73, 73}, {436, 370}, {40, 402}};
    const QPoint panelSurface(474, 300);

    QImage shown = panel()->grab().toImage();
    const QRgb panelColour = shown.pixel(panelSurface);
    ASSERT_NE(panelColour, qRgb(0, 0, 0));
    for (QPoint p : gaps)
        EXPECT_EQ(shown.pixel(p), panelColour) << p.x() << "," << p.y();

    clickButton("CheckBox2");
    QImage hidden = panel()->grab().toImage();
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

using RegionTest = MapTest;

QString clipboardText() { return QGuiApplication::clipboard()->text(); }

// The tile codes of a level's map bytes, as the clipboard holds them.
QString gridOf(const QByteArray &map, int firstCell, int columns, int rows)
{
    QString text;
    for (int r = 0; r < rows; ++r) {
        QStringList row;
        for (int c = 0; c < columns; ++c)
            row << QString::number(static_cast<unsigned char>(map[firstCell - 1 + 14 * r + c]), 16).toUpper();
        text += row.join(QLatin1Char(' ')) + QLatin1Char('\n');
    }
    return text;
}

TEST_F(RegionTest, ShiftDragCopiesTheRegionAndAPasteSavesExactlyThoseBytes)
{
    startWithLevel(1);
    showActive();
    const QByteArray rom = romBytes();
    const QByteArray map = romMap();
    QTest::mousePress(form->windowHandle(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(36));
    moveTo(cellCentre(20));
    releaseAt(cellCentre(20));
    EXPECT_EQ(selection(), (wmb::CellRect{5, 1, 3, 2}));
    keys(Qt::CTRL | Qt::Key_C);
    EXPECT_EQ(clipboardText(), gridOf(map, 20, 3, 2));

    clickCell(100);  // no tile picked: selects the cell and drops the selection
    EXPECT_TRUE(selection().empty());
    keys(Qt::CTRL | Qt::Key_V);
    EXPECT_EQ(selection(), (wmb::CellRect{1, 7, 3, 2}));
    EXPECT_EQ(romBytes(), rom);  // nothing reaches the ROM before a save
    keys(Qt::CTRL | Qt::Key_S);
    QByteArray expected = rom;
    const int base = wmb::LevelBaseOf(1);
    expected.replace(base + 99, 3, map.mid(19, 3));
    expected.replace(base + 113, 3, map.mid(33, 3));
    EXPECT_EQ(romBytes(), expected);

    // A grid typed elsewhere pastes in either case; other text changes nothing.
    QGuiApplication::clipboard()->setText(QStringLiteral("1a\t0b\r\nff\r\n"));
    keys(Qt::CTRL | Qt::Key_V);
    EXPECT_EQ(mapState().codes.mid(99, 2), QStringList({QStringLiteral("1A"), QStringLiteral("B")}));
    EXPECT_EQ(shownCode(114), QStringLiteral("FF"));
    const MapState pasted = mapState();
    for (const char *text : {"", "1A 0B,", "tiles\n", "100"}) {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
        dialogs.errors.clear();
        keys(Qt::CTRL | Qt::Key_V);
        EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("The clipboard holds no tiles: a paste takes 1 to 12 lines of 1 to 14 hexadecimal tile codes (such as 1F or 0) separated by blanks.")}) << text;
    }
    EXPECT_EQ(mapState(), pasted);
    loadLevel(2);
    EXPECT_TRUE(selection().empty());
}

TEST_F(RegionTest, TheMapTakesTheKeysWhileTextBoxesKeepTheirOwn)
{
    startWithLevel(1);
    showActive();
    box(NameBox)->setFocus();
    clickCell(15);  // the press moves the focus to the map
    keys(Qt::Key_Right);
    keys(Qt::Key_Right);
    keys(Qt::Key_Down);
    EXPECT_EQ(selectedCell(), 31);
    EXPECT_EQ(redFrame(), QPoint(73, 73));
    pickTile(0x1A);
    keys(Qt::Key_Space);
    EXPECT_EQ(shownCode(31), QStringLiteral("1A"));
    EXPECT_FALSE(checked("CheckBox1"));
    keys(Qt::SHIFT | Qt::Key_Up);
    keys(Qt::SHIFT | Qt::Key_Left);
    EXPECT_EQ(selection(), (wmb::CellRect{1, 1, 2, 2}));
    keys(Qt::Key_F);
    EXPECT_EQ(mapState().codes.mid(15, 2), QStringList(2, QStringLiteral("1A")));
    EXPECT_EQ(menu("Edit")->actions().front()->text(), QStringLiteral("&Undo Fill"));

    // A text box keeps select all, copy, Delete and typed letters.
    box(NameBox)->setFocus();
    setField(NameBox, QStringLiteral("NAME"));
    const MapState before = mapState();
    keys(Qt::CTRL | Qt::Key_A);
    keys(Qt::CTRL | Qt::Key_C);
    keys(Qt::Key_Delete);
    keys(Qt::Key_F);
    EXPECT_EQ(clipboardText(), QStringLiteral("NAME"));
    EXPECT_EQ(field(NameBox), QStringLiteral("f"));
    EXPECT_EQ(mapState(), before);
    EXPECT_EQ(selection(), (wmb::CellRect{1, 1, 2, 2}));

    mapFocus()->setFocus();
    keys(Qt::CTRL | Qt::Key_A);
    EXPECT_EQ(selection(), wmb::wholeMap());
    keys(Qt::Key_Escape);
    EXPECT_TRUE(selection().empty());
    // Tab wraps from the last control to the map, then the palette while it
    // is shown, then the first control; there arrows and Space pick a tile.
    for (const bool shown : {false, true}) {
        control("CheckBox2")->setFocus();
        keys(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), mapFocus());
        keys(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), (shown ? paletteView() : control("Button2")));
        if (!shown)
            clickButton("Hidemenu");
    }
    paletteView()->setFocus();
    keys(Qt::Key_Right);
    keys(Qt::Key_Down);
    keys(Qt::Key_Space);
    EXPECT_EQ(pickedCode(), QStringLiteral("2B"));
    keys(Qt::SHIFT | Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), mapFocus());
}

// The status bar reads the cell under the pointer, the picked tile (also
// picked by its code after Ctrl+K), the selection's size and the zoom.
TEST_F(RegionTest, TheStatusBarFollowsThePointerThePickAndTheSelection)
{
    startWithLevel(1);
    showActive();
    const auto shown = [&](const char *name) { return control<QLabel>(QLatin1String(name))->text(); };
    EXPECT_EQ(shown("PickedTile"), QStringLiteral("Tile -"));
    EXPECT_EQ(shown("ZoomLevel"), QStringLiteral("100 %"));
    // The shipped set names its tiles: the name follows the code.
    const wmb::TileNames names = wmb::TileNames::read(WMB_TILE_DIR);
    const auto code33 = static_cast<std::uint8_t>(wmb::HexTextToInt(shownCode(33).toStdString()));
    moveTo(cellCentre(33));
    EXPECT_EQ(shown("PointedCell"), QStringLiteral("Cell 5, 3: ") + QString::fromStdString(names.label(code33)));
    moveTo(panel()->mapTo(form.get(), QPoint(20, 450)));   // over a label below the map
    EXPECT_EQ(shown("PointedCell"), QString());
    // Without a name, the code alone; the parts after it stay put whatever
    // the name (the palette's tile: the screen reader test).
    auto *bar = form->findChild<StatusBar *>();
    const int swatchAt = control<QLabel>("PickedSwatch")->x();
    bar->showPointedCell(33, QStringLiteral("1F"));
    EXPECT_EQ(shown("PointedCell"), QStringLiteral("Cell 5, 3: 1F"));
    bar->showPointedCell(168, QStringLiteral("FF"), QStringLiteral("Twenty letters named"));
    bar->layout()->activate();
    EXPECT_EQ(control<QLabel>("PickedSwatch")->x(), swatchAt);
    selectCells(wmb::cellRectBetween(1, 32));
    EXPECT_EQ(shown("SelectionSize"), QStringLiteral("4 x 3"));

    keys(Qt::CTRL | Qt::Key_K);
    type(QApplication::focusWidget(), QStringLiteral("1gF3"));   // G is refused, a third digit too
    keys(Qt::Key_Return);
    EXPECT_EQ(pickedCode(), QStringLiteral("1F"));
    EXPECT_EQ(shown("PickedTile"), QStringLiteral("Tile 1F"));
    EXPECT_EQ(control<QLabel>("PickedSwatch")->pixmap().size(), QSize(16, 16));
    EXPECT_EQ(QApplication::focusWidget(), mapFocus());

    // A text the bar has no room for ends in "…" and is whole in the tooltip.
    const QString note = QStringLiteral("Replaced 11 cells in 8 levels, and this text is far too long to fit");
    form->findChild<StatusBar *>()->showNote(note);
    form->findChild<StatusBar *>()->layout()->activate();
    const auto *label = static_cast<const ElidedLabel *>(control<QLabel>("StatusNote"));
    EXPECT_TRUE(label->shownText().endsWith(QChar(0x2026))) << label->shownText().toStdString();
    EXPECT_EQ(label->toolTip(), note);
}

// Ctrl++ (and Ctrl+=) zoom to 200 %, and one more step would still fit the
// 2560 x 1600 screen with the palette hidden: each tile shown 64 x 64 pixel for pixel, a click at a cell's centre
// paints that cell; Ctrl+wheel over the map steps too; Ctrl+0 gives back
// the 100 % window, pixel for pixel.
TEST_F(RegionTest, ZoomScalesTheMapAndActualSizeGivesBackTheWindow)
{
    startWithLevel(1);
    showActive();
    const QImage before = form->grab().toImage();
    keys(Qt::CTRL | Qt::Key_Plus);
    keys(Qt::CTRL | Qt::Key_Equal);
    EXPECT_EQ(control<QLabel>("ZoomLevel")->text(), QStringLiteral("200 %"));
    EXPECT_TRUE(command("View", QStringLiteral("Zoom In"))->isEnabled());
    EXPECT_EQ(settings().zoom(), 200);
    start();   // a new window starts at the kept zoom
    showActive();
    EXPECT_EQ(control<QLabel>("ZoomLevel")->text(), QStringLiteral("200 %"));
    openRom();
    const QImage zoomed = form->grab().toImage();
    const QPoint at = panel()->mapTo(form.get(), cellRect(20).topLeft());
    const QImage tile = tileImage(shownCode(20));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(zoomed.pixel(at + QPoint(x, y)), tile.pixel(x / 2, y / 2)) << x << "," << y;
    keys(Qt::CTRL | Qt::Key_0);
    EXPECT_EQ(form->grab().toImage(), before);

    // As the cell passes the wheel on to the panel.
    QWheelEvent wheel(cellRect(3).center(), form->mapToGlobal(cellCentre(3)), {}, {0, 120}, Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(panel(), &wheel);
    QApplication::sendEvent(panel(), &wheel);
    keys(Qt::CTRL | Qt::Key_K);
    type(QApplication::focusWidget(), QStringLiteral("1F"));
    keys(Qt::Key_Return);
    pressAt(cellCentre(20));
    releaseAt(cellCentre(20));
    EXPECT_EQ(cellRect(20).size(), QSize(64, 64));
    EXPECT_EQ(shownCode(20), QStringLiteral("1F"));
    EXPECT_EQ(redFrame(), cellRect(20).topLeft() - QPoint(2, 2));
}

// The outline lies on the selected cells' outer two pixels, above them,
// leaving their inner 28 x 28 pixels and the red frame in the gaps alone.
TEST_F(RegionTest, TheOutlineRingsTheSelectionWithoutCoveringTheTiles)
{
    startWithLevel(1);
    clickCell(16);
    selectCells(wmb::cellRectBetween(16, 31));
    form->show();
    const QImage shown = form->grab().toImage();
    const QPoint cell16 = panel()->mapTo(form.get(), cellRect(16).topLeft());
    const QRgb outline = shown.pixel(cell16);
    for (QPoint p : {QPoint(1, 1), QPoint(64, 0), QPoint(0, 64), QPoint(64, 63), QPoint(40, 1)})
        EXPECT_EQ(shown.pixel(cell16 + p), outline) << p.x() << "," << p.y();
    EXPECT_NE(outline, qRgb(224, 32, 64));
    EXPECT_NE(outline, qRgb(224, 0, 128));
    EXPECT_EQ(shown.pixel(cell16 - QPoint(1, 1)), qRgb(224, 32, 64));
    for (int cell : {16, 17, 30, 31}) {
        const QPoint at = panel()->mapTo(form.get(), cellRect(cell).topLeft() + QPoint(2, 2));
        EXPECT_EQ(shown.copy(QRect(at, QSize(28, 28))).convertToFormat(QImage::Format_RGB32),
                  tileImage(shownCode(cell)).copy(2, 2, 28, 28).convertToFormat(QImage::Format_RGB32))
            << cell;
    }
}

// What the map and the palette draw, against their geometry at each zoom:
// a cell's corner pixels are its tile's, the gaps show the panel (the grid
// backdrop when the grid is off), the red and pink frames fill the gaps round
// the framed cell and the picked picture, the outline lies on the selected
// cells' outer pixels only.
TEST_F(RegionTest, TheViewsDrawEveryPartWhereTheGeometryPutsIt)
{
    struct Case { int zoom, gap, outline; };
    for (const Case c : {Case{100, 1, 2}, Case{150, 1, 3}, Case{200, 2, 4}}) {
        startWithLevel(1);
        form->chooseZoom(c.zoom);
        clickButton("Hidemenu");
        pickTile(0x1A);
        clickCell(45);
        selectCells(wmb::cellRectBetween(16, 31));
        form->show();
        const int side = 32 * c.zoom / 100;
        const auto shot = [&] { return form->grab().toImage(); };
        const auto at = [&](const QImage &image, QPoint panelPoint) { return image.pixel(panel()->mapTo(form.get(), panelPoint)) & 0xFFFFFF; };
        const auto tilePixel = [&](int n, int x, int y) { return tileImage(shownCode(n)).pixel(x * 100 / c.zoom, y * 100 / c.zoom) & 0xFFFFFF; };
        const QImage image = shot();
        const QRgb surface = at(image, QPoint(4, 4));
        const QString z = QString::number(c.zoom);
        for (int n : {1, 14, 100, 155, 168}) {
            const QRect r = cellRect(n);
            EXPECT_EQ(r.size(), QSize(side, side)) << z.toStdString();
            EXPECT_EQ(at(image, r.topLeft()), tilePixel(n, 0, 0)) << n << " at " << c.zoom;
            EXPECT_EQ(at(image, r.bottomRight()), tilePixel(n, side - 1, side - 1)) << n << " at " << c.zoom;
            EXPECT_EQ(at(image, r.topRight() + QPoint(c.gap, 0)), surface) << n << " at " << c.zoom;
            EXPECT_EQ(at(image, r.bottomLeft() + QPoint(0, c.gap)), surface) << n << " at " << c.zoom;
        }
        const QRect framed = cellRect(45), picked = paletteRect(0x1A);
        for (int d = 1; d <= c.gap; ++d) {
            EXPECT_EQ(at(image, framed.topLeft() - QPoint(d, d)), qRgb(224, 32, 64) & 0xFFFFFF) << c.zoom;
            EXPECT_EQ(at(image, framed.bottomRight() + QPoint(d, 0)), qRgb(224, 32, 64) & 0xFFFFFF) << c.zoom;
        }
        const int pictureGap = paletteView()->gap();
        EXPECT_EQ(at(image, picked.topLeft() - QPoint(pictureGap, pictureGap)), qRgb(224, 0, 128) & 0xFFFFFF) << c.zoom;
        EXPECT_EQ(at(image, picked.topLeft()), tileImage(QStringLiteral("1A")).pixel(0, 0) & 0xFFFFFF) << c.zoom;
        const QRect first = cellRect(16), last = cellRect(31);
        const QRgb outline = at(image, first.topLeft());
        EXPECT_NE(outline, tilePixel(16, 0, 0)) << c.zoom;
        EXPECT_EQ(at(image, first.topLeft() + QPoint(c.outline - 1, c.outline - 1)), outline) << c.zoom;
        EXPECT_EQ(at(image, last.bottomRight() - QPoint(c.outline - 1, c.outline - 1)), outline) << c.zoom;
        EXPECT_EQ(at(image, first.topLeft() + QPoint(c.outline, c.outline)), tilePixel(16, c.outline, c.outline)) << c.zoom;
        EXPECT_EQ(at(image, first.topRight() + QPoint(c.gap, c.outline + 1)), surface) << "no outline in a gap at " << c.zoom;
        clickButton("CheckBox2");
        EXPECT_EQ(at(shot(), cellRect(100).topRight() + QPoint(c.gap, 0)), 0u) << c.zoom;
    }
}

// Each cell and each palette picture is an accessible child of its view,
// named by its place and valued by its tile; the keyboard's cell is the
// focused child.
TEST_F(RegionTest, ScreenReadersReadEveryCellAndPicture)
{
    startWithLevel(1);
    showActive();
    clickButton("Hidemenu");
    QAccessibleInterface *map = QAccessible::queryAccessibleInterface(mapView());
    QAccessibleInterface *palette = QAccessible::queryAccessibleInterface(paletteView());
    ASSERT_TRUE(map && palette);
    EXPECT_EQ(map->childCount(), 168);
    EXPECT_EQ(palette->childCount(), 256);
    const wmb::TileNames names = wmb::TileNames::read(WMB_TILE_DIR);
    const auto tile = [&](int code) { return QStringLiteral("Tile ") + QString::fromStdString(names.label(static_cast<std::uint8_t>(code))); };
    const auto cellTile = [&](int n) { return tile(static_cast<int>(wmb::HexTextToInt(shownCode(n).toStdString()))); };
    struct Case { QAccessibleInterface *view; int index; QString name, value; };
    const Case cases[] = {
        {map, 0, QStringLiteral("Cell 1, row 1, column 1"), cellTile(1)},
        {map, 14, QStringLiteral("Cell 15, row 2, column 1"), cellTile(15)},
        {map, 167, QStringLiteral("Cell 168, row 12, column 14"), cellTile(168)},
        {palette, 0x1F, tile(0x1F), QString()},
        {palette, 0xFF, tile(0xFF), QString()},
    };
    for (const Case &c : cases) {
        QAccessibleInterface *cell = c.view->child(c.index);
        ASSERT_NE(cell, nullptr) << c.name.toStdString();
        EXPECT_EQ(cell->text(QAccessible::Name), c.name);
        EXPECT_EQ(cell->text(QAccessible::Value), c.value) << c.name.toStdString();
        EXPECT_EQ(cell->text(QAccessible::Description), c.value) << "what AT-SPI reads";
        EXPECT_EQ(cell->parent(), c.view);
        EXPECT_EQ(c.view->indexOfChild(cell), c.index);
        EXPECT_EQ(c.view->child(c.index), cell) << "one interface a cell";
        EXPECT_EQ(c.view->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    }
    // Tab frames the keyboard's cell at once; the arrows move the focused
    // child (the first frames cell 1).
    control("CheckBox2")->setFocus();
    const QImage before = mapView()->grab().toImage();
    keys(Qt::Key_Tab);
    EXPECT_NE(mapView()->grab().toImage(), before);
    EXPECT_EQ(map->focusChild(), map->child(0));
    keys(Qt::Key_Right);
    keys(Qt::Key_Down);
    EXPECT_EQ(map->focusChild(), map->child(14));
    EXPECT_TRUE(map->child(14)->state().focused);
    EXPECT_FALSE(map->child(0)->state().focused);
    keys(Qt::Key_Tab);
    keys(Qt::Key_Right);
    EXPECT_EQ(palette->focusChild()->text(QAccessible::Name), tile(0x1));
    // The pointer over a palette picture: the status bar and the tooltip
    // name its tile.
    const QPoint over = paletteRect(0x1F).center();
    moveTo(panel()->mapTo(form.get(), over));
    EXPECT_EQ(control<QLabel>("PointedCell")->text(), tile(0x1F));
    QHelpEvent help(QEvent::ToolTip, paletteView()->mapFromParent(over), form->mapToGlobal(panel()->mapTo(form.get(), over)));
    QApplication::sendEvent(paletteView(), &help);
    EXPECT_EQ(QToolTip::text(), tile(0x1F).mid(5));
    moveTo(panel()->mapTo(form.get(), QPoint(20, 450)));   // off the palette, over a label
    EXPECT_EQ(control<QLabel>("PointedCell")->text(), QString());
}

} // namespace
