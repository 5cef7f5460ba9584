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

#include "leveldocument.h"
#include "picturebox.h"
#include "region.h"

namespace {

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
        setFocusPolicy(Qt::StrongFocus);
        place(wmb::MapLayout{});
    }

    void place(const wmb::MapLayout &layout)
    {
        mLayout = layout;
        setGeometry(layout.Left, layout.Top, layout.mapWidth(), layout.mapHeight());
        update();
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
        const int OutlineWidth = mLayout.outline();
        QPainter painter(this);
        painter.fillRect(r.left(), r.top(), r.width(), OutlineWidth, OutlineColour);
        painter.fillRect(r.left(), r.bottom() - OutlineWidth + 1, r.width(), OutlineWidth, OutlineColour);
        painter.fillRect(r.left(), r.top(), OutlineWidth, r.height(), OutlineColour);
        painter.fillRect(r.right() - OutlineWidth + 1, r.top(), OutlineWidth, r.height(), OutlineColour);
    }

private:
    // From the first selected cell's top-left pixel to the last one's
    // bottom-right pixel, in the overlay's coordinates.
    QRect outer(const wmb::CellRect &rect) const
    {
        if (rect.empty())
            return {};
        const int pitch = mLayout.pitch(), size = mLayout.cellSize();
        return {pitch * rect.column, pitch * rect.row, pitch * (rect.columns - 1) + size,
                pitch * (rect.rows - 1) + size};
    }

    wmb::CellRect mSelection;
    wmb::MapLayout mLayout;
};

void TForm1::createMapOverlay()
{
    mMapOverlay = new MapOverlay(Panel1);
    mMapOverlay->raise();
    mMapOverlay->installEventFilter(this);
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
    addCommand(EditMenu, QStringLiteral("Select &none"), QKeySequence(Qt::Key_Escape), [this] {
        clearSelection();
        mSession->clearSearch();
    });
}

QWidget *TForm1::mapFocus() const { return mMapOverlay; }

void TForm1::layoutMapOverlay()
{
    mMapOverlay->place(mLayout);
    if (mMapMarks)
        placeMapMarks();
}

void TForm1::selectCells(const wmb::CellRect &rect) { mDocument->select(rect); }

void TForm1::mapOverlaySelection(const wmb::CellRect &rect) { mMapOverlay->setSelection(rect); }

void TForm1::clearSelection() { selectCells({}); }

const wmb::CellRect &TForm1::selection() const { return mDocument->selection(); }

// The text box that has the keyboard focus, if any: it keeps its own copy,
// cut, paste, select all and delete.
QLineEdit *TForm1::textBoxWithFocus() const { return qobject_cast<QLineEdit *>(focusWidget()); }

void TForm1::copySelection()
{
    if (QLineEdit *edit = textBoxWithFocus()) {
        edit->copy();
        return;
    }
    if (!selection().empty())
        QGuiApplication::clipboard()->setText(QString::fromStdString(mDocument->selectionText()));
}

void TForm1::cutSelection()
{
    if (QLineEdit *edit = textBoxWithFocus()) {
        edit->cut();
        return;
    }
    if (!selection().empty())
        QGuiApplication::clipboard()->setText(QString::fromStdString(mDocument->emptySelection(QStringLiteral("Cut"))));
}

void TForm1::deleteSelection()
{
    if (QLineEdit *edit = textBoxWithFocus())
        edit->del();
    else
        mDocument->emptySelection(QStringLiteral("Delete"));
}

void TForm1::fillSelection()
{
    if (mSession->SelectedTile != 0 && !selection().empty())
        mDocument->fillCells(selection().cells(), mSession->pickedCode(), QStringLiteral("Fill"));
}

void TForm1::pasteClipboard()
{
    if (QLineEdit *edit = textBoxWithFocus())
        edit->paste();
    else
        mDocument->paste(QGuiApplication::clipboard()->text().toStdString(), mSession->SelectedCell, mSession->pointedCell);
}

void TForm1::selectAll()
{
    if (QLineEdit *edit = textBoxWithFocus())
        edit->selectAll();
    else
        selectCells(wmb::wholeMap());
}

void TForm1::floodFill(int n)
{
    if (mSession->SelectedTile != 0)
        mDocument->floodFill(n, mSession->pickedCode());
}

// Moves the red frame to cell n without painting.
void TForm1::frameCell(int n)
{
    mSession->SelectedCell = n;
    const PictureBox *cell = Image[n - 1];
    Red->move(cell->x() - mLayout.gap(), cell->y() - mLayout.gap());
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
            if (mSession->SelectedCell == 0)
                return;
            clearSelection();
            mDocument->beginStep(QStringLiteral("Paint"));
            paintCell(mSession->SelectedCell);
            mDocument->endStep();
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
        if (mSession->SelectedCell == 0)
            frameCell(1);
        else if (shift)
            selectCells(wmb::stepSelection(selection(), mSession->SelectedCell, dColumn, dRow));
        else
            frameCell(wmb::stepCell(mSession->SelectedCell, dColumn, dRow));
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
