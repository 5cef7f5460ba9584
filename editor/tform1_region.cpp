// Region editing on the map: the selection and its outline, copy, cut,
// paste through the system clipboard, delete, fill, flood fill, and the map
// from the keyboard.
#include "tform1.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>

#include <map>
#include <stdexcept>

#include "picturebox.h"
#include "region.h"

namespace {

constexpr int OutlineWidth = 2;
// Unlike the red cell frame and the pink palette frame.
const QColor OutlineColour(0, 200, 255);

} // namespace

// Lies over the map, above the cells, and lets every mouse event through to
// them. It draws the selection's outline on the outer two pixels of the
// selected cells (never a cell's inner 28 x 28, never the gaps where the red
// frame shows) and takes the keyboard focus for the map.
class MapOverlay : public QWidget {
public:
    explicit MapOverlay(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("MapSelection"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::ClickFocus);
        setGeometry(MapLeft, MapTop, CellPitch * wmb::MapColumns - 1, CellPitch * wmb::MapRows - 1);
    }

    void setSelection(const wmb::CellRect &rect)
    {
        if (rect == mSelection)
            return;
        update(outer(mSelection));
        mSelection = rect;
        update(outer(mSelection));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (mSelection.empty())
            return;
        const QRect r = outer(mSelection);
        QPainter painter(this);
        painter.fillRect(r.left(), r.top(), r.width(), OutlineWidth, OutlineColour);
        painter.fillRect(r.left(), r.bottom() - OutlineWidth + 1, r.width(), OutlineWidth, OutlineColour);
        painter.fillRect(r.left(), r.top(), OutlineWidth, r.height(), OutlineColour);
        painter.fillRect(r.right() - OutlineWidth + 1, r.top(), OutlineWidth, r.height(), OutlineColour);
    }

private:
    // From the first selected cell's top-left pixel to the last one's
    // bottom-right pixel, in the overlay's coordinates.
    static QRect outer(const wmb::CellRect &rect)
    {
        if (rect.empty())
            return {};
        return {CellPitch * rect.column, CellPitch * rect.row, CellPitch * (rect.columns - 1) + CellSize,
                CellPitch * (rect.rows - 1) + CellSize};
    }

    wmb::CellRect mSelection;
};

void TForm1::createMapOverlay()
{
    mMapOverlay = new MapOverlay(Panel1);
    mMapOverlay->raise();
    mMapOverlay->installEventFilter(this);
    connect(this, &TForm1::levelShown, this, &TForm1::clearSelection);
}

// The Edit menu's region commands. Their keys reach the map only while no
// text box has the focus: a text box takes its own copy, cut, paste, select
// all, Delete and typed letters first.
void TForm1::createRegionCommands()
{
    EditMenu->addSeparator();
    addCommand(EditMenu, QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X), [this] { cutSelection(); });
    addCommand(EditMenu, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), [this] { copySelection(); });
    addCommand(EditMenu, QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), [this] { pasteClipboard(); });
    addCommand(EditMenu, QStringLiteral("&Delete"), QKeySequence(Qt::Key_Delete), [this] { deleteSelection(); });
    addCommand(EditMenu, QStringLiteral("&Fill"), QKeySequence(Qt::Key_F), [this] { fillSelection(); });
    EditMenu->addSeparator();
    addCommand(EditMenu, QStringLiteral("Select &all"), QKeySequence(Qt::CTRL | Qt::Key_A), [this] { selectAll(); });
    addCommand(EditMenu, QStringLiteral("Select &none"), QKeySequence(Qt::Key_Escape), [this] { clearSelection(); });
}

QWidget *TForm1::mapFocus() const { return mMapOverlay; }

void TForm1::selectCells(const wmb::CellRect &rect)
{
    mSelection = rect;
    mMapOverlay->setSelection(rect);
}

void TForm1::clearSelection() { selectCells({}); }

std::array<std::string, wmb::MapCells> TForm1::mapCodes() const
{
    std::array<std::string, wmb::MapCells> codes;
    for (int n = 1; n <= wmb::MapCells; ++n)
        codes[n - 1] = storeText(n).toStdString();
    return codes;
}

// The text box that has the keyboard focus, if any: it keeps its own copy,
// cut, paste, select all and delete.
QLineEdit *TForm1::textBoxWithFocus() const { return qobject_cast<QLineEdit *>(focusWidget()); }

// Sets `cells` to one picture and code as one named undo step.
void TForm1::fillCells(const std::vector<int> &cells, const QPixmap &picture, const QString &code,
                       const char *stepName)
{
    mMapHistory.begin(stepName);
    for (int n : cells)
        setCell(n, picture, code);
    mMapHistory.commit();
}

void TForm1::copySelection()
{
    if (QLineEdit *edit = textBoxWithFocus()) {
        edit->copy();
        return;
    }
    if (mSelection.empty())
        return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(wmb::gridText(mapCodes(), mSelection)));
}

void TForm1::cutSelection()
{
    if (QLineEdit *edit = textBoxWithFocus()) {
        edit->cut();
        return;
    }
    if (mSelection.empty())
        return;
    const QPixmap empty = mTiles.load(QStringLiteral("0"));
    copySelection();
    fillCells(mSelection.cells(), empty, QStringLiteral("0"), "Cut");
}

void TForm1::deleteSelection()
{
    if (QLineEdit *edit = textBoxWithFocus()) {
        edit->del();
        return;
    }
    if (mSelection.empty())
        return;
    fillCells(mSelection.cells(), mTiles.load(QStringLiteral("0")), QStringLiteral("0"), "Delete");
}

void TForm1::fillSelection()
{
    if (SelectedTile == 0 || mSelection.empty())
        return;
    fillCells(mSelection.cells(), Pic[SelectedTile - 1]->picture(), SelectedTileCode, "Fill");
}

// The grid goes to the selection's top-left cell, else the selected cell,
// else cell 1. Every picture is loaded before any cell changes.
void TForm1::pasteClipboard()
{
    if (QLineEdit *edit = textBoxWithFocus()) {
        edit->paste();
        return;
    }
    const auto grid = wmb::parseTileGrid(QGuiApplication::clipboard()->text().toStdString());
    if (!grid)
        throw std::runtime_error("The clipboard holds no tiles");
    const int target = wmb::pasteTargetCell(mSelection, SelectedCell);
    const wmb::GridPlacement placed = wmb::placeGrid(*grid, target);
    std::map<std::string, QPixmap> pictures;
    for (const auto &[cell, code] : placed.cells)
        if (!pictures.count(code))
            pictures[code] = mTiles.load(QString::fromStdString(code));
    mMapHistory.begin("Paste");
    for (const auto &[cell, code] : placed.cells)
        setCell(cell, pictures[code], QString::fromStdString(code));
    mMapHistory.commit();
    selectCells(placed.selection);
}

void TForm1::selectAll()
{
    if (QLineEdit *edit = textBoxWithFocus()) {
        edit->selectAll();
        return;
    }
    selectCells(wmb::wholeMap());
}

void TForm1::floodFill(int n)
{
    if (SelectedTile == 0)
        return;
    fillCells(wmb::floodFillCells(mapCodes(), n), Pic[SelectedTile - 1]->picture(), SelectedTileCode,
              "Flood fill");
}

// Moves the red frame to cell n without painting.
void TForm1::frameCell(int n)
{
    SelectedCell = n;
    const PictureBox *cell = Image[n - 1];
    Red->move(cell->x() - 1, cell->y() - 1);
}

// Keys while the map has the focus: arrows move the selected cell, Shift
// with an arrow grows or shrinks the selection from it, Space and Enter
// paint the selected cell as a click on it does. True when the key was used.
bool TForm1::MapKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    int dColumn = 0, dRow = 0;
    switch (key) {
    case Qt::Key_Left: dColumn = -1; break;
    case Qt::Key_Right: dColumn = 1; break;
    case Qt::Key_Up: dRow = -1; break;
    case Qt::Key_Down: dRow = 1; break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers & ~(Qt::KeypadModifier))
            return false;
        guarded([&] {
            if (SelectedCell == 0)
                return;
            clearSelection();
            mMapHistory.begin("Paint");
            paintCell(SelectedCell);
            mMapHistory.commit();
        });
        return true;
    default:
        return false;
    }
    const Qt::KeyboardModifiers other = modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (other != Qt::NoModifier)
        return false;
    // Before any cell was selected an arrow selects cell 1.
    guarded([&] {
        const bool shift = modifiers & Qt::ShiftModifier;
        if (!shift)
            clearSelection();
        if (SelectedCell == 0)
            frameCell(1);
        else if (shift)
            selectCells(wmb::stepSelection(mSelection, SelectedCell, dColumn, dRow));
        else
            frameCell(wmb::stepCell(SelectedCell, dColumn, dRow));
    });
    return true;
}

bool TForm1::mapOverlayEvent(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    return MapKeyDown(key->key(), key->modifiers());
}
