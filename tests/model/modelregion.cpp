// Region actions: selecting with Shift, Ctrl+A, Esc and Shift+arrows;
// copy, cut, paste, delete and fill by their keys or the Edit menu; grids and
// other text put on the clipboard by another program; flood fill; the map's
// arrows, Space and Enter.
#include "modelrun.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>


void ModelRun::clickCellWith(int cell, Qt::KeyboardModifiers modifiers, int dragTo)
{
    QTest::mousePress(mWindow.form->windowHandle(), Qt::LeftButton, modifiers, mWindow.cellCentre(cell));
    const int last = dragTo ? dragTo : cell;
    if (dragTo)
        QTest::mouseMove(mWindow.form->windowHandle(), mWindow.cellCentre(dragTo));
    QTest::mouseRelease(mWindow.form->windowHandle(), Qt::LeftButton, modifiers, mWindow.cellCentre(last));
}

void ModelRun::selectRegion()
{
    const int kind = below(10);
    const int cell = 1 + below(model::Cells);
    if (kind < 3) {
        log(QStringLiteral("Shift+click Image%1").arg(cell));
        clickCellWith(cell, Qt::ShiftModifier);
        mModel->shiftSelect(mModel->selectedCell ? mModel->selectedCell : cell, cell);
    } else if (kind < 6) {
        const int to = 1 + (cell + below(model::Cells - 1)) % model::Cells;   // another cell
        log(QStringLiteral("Shift+drag from Image%1 to Image%2").arg(cell).arg(to));
        clickCellWith(cell, Qt::ShiftModifier, to);
        mModel->shiftSelect(cell, to);
    } else if (kind < 7) {
        log(QStringLiteral("Ctrl+A"));
        QTest::keyClick(mWindow.form.get(), Qt::Key_A, Qt::ControlModifier);
        mModel->selection = {0, 0, 13, 11};
    } else if (kind < 8) {
        log(QStringLiteral("Esc"));
        QTest::keyClick(mWindow.form.get(), Qt::Key_Escape);
        mModel->selection = {};
    } else {
        mapKeys(true);
    }
}

// Arrows (with Shift when `shift`), Space and Enter on the map, which takes
// the focus first as a click on it would give it.
void ModelRun::mapKeys(bool shift)
{
    struct MapKey {
        Qt::Key key;
        int dColumn, dRow;
        const char *name;
    };
    static const MapKey keys[] = {{Qt::Key_Left, -1, 0, "Left"}, {Qt::Key_Right, 1, 0, "Right"},
                                  {Qt::Key_Up, 0, -1, "Up"},     {Qt::Key_Down, 0, 1, "Down"},
                                  {Qt::Key_Space, 0, 0, "Space"}, {Qt::Key_Return, 0, 0, "Enter"}};
    mWindow.mapFocus()->setFocus(Qt::MouseFocusReason);
    QStringList names;
    for (int n = 1 + below(5); n > 0; --n) {
        const MapKey &k = keys[below(shift ? 4 : 6)];
        names << (shift ? QStringLiteral("Shift+") : QString()) + QLatin1String(k.name);
        QTest::keyClick(mWindow.mapFocus(), k.key, shift ? Qt::ShiftModifier : Qt::NoModifier);
        if (k.dColumn == 0 && k.dRow == 0)
            mModel->mapSpace();
        else if (shift)
            mModel->shiftArrow(k.dColumn, k.dRow);
        else
            mModel->arrow(k.dColumn, k.dRow);
    }
    log(QStringLiteral("keys on the map: ") + names.join(QLatin1Char(' ')));
}

void ModelRun::mapKeyAction() { mapKeys(false); }

void ModelRun::regionCommand()
{
    struct Command {
        const char *menu;
        QKeyCombination keys;
        void (model::EditorModel::*apply)();
    };
    static const Command commands[] = {
        {"Copy", Qt::CTRL | Qt::Key_C, &model::EditorModel::copy},
        {"Cut", Qt::CTRL | Qt::Key_X, &model::EditorModel::cut},
        {"Paste", Qt::CTRL | Qt::Key_V, &model::EditorModel::paste},
        {"Delete", QKeyCombination(Qt::Key_Delete), &model::EditorModel::deleteSelection},
        {"Fill", QKeyCombination(Qt::Key_F), &model::EditorModel::fill},
    };
    const Command &c = commands[below(5)];
    const bool menu = chance(20);
    if (c.apply == &model::EditorModel::paste) {
        // The pointer over a cell, or off the map over a label below it; it
        // travels there from the map, as a real pointer does. A cell is
        // reached from the label: a move to where the pointer already is
        // (the end of an earlier drag) reports nothing.
        const int cell = chance(50) ? 1 + below(model::Cells) : 0;
        const QPoint label = mWindow.panel()->mapTo(mWindow.form.get(), mWindow.control("Label4")->geometry().center());
        QTest::mouseMove(mWindow.form->windowHandle(), cell ? label : mWindow.cellCentre(1 + below(model::Cells)));
        QTest::mouseMove(mWindow.form->windowHandle(), cell ? mWindow.cellCentre(cell) : label);
        log(cell ? QStringLiteral("pointer over Image%1").arg(cell) : QStringLiteral("pointer off the map"));
        mModel->pointedCell = cell;
    }
    log(QStringLiteral("%1 by %2").arg(QLatin1String(c.menu), menu ? QStringLiteral("the Edit menu")
                                                                   : QKeySequence(c.keys).toString()));
    if (menu) {
        for (QAction *a : mWindow.menu("Edit")->actions())
            if (a->text().remove(QLatin1Char('&')) == QLatin1String(c.menu))
                a->trigger();
    } else {
        QTest::keyClick(mWindow.form.get(), c.keys.key(), c.keys.keyboardModifiers());
    }
    // Fill with nothing selected, on the map or the palette, chooses the
    // Fill tool.
    QWidget *focus = QApplication::focusWidget();
    if (c.apply == &model::EditorModel::fill && mModel->selection.empty() &&
        (focus == mWindow.mapFocus() || focus == mWindow.paletteView()))
        mModel->tool = model::EditorModel::Tool::Fill;
    (mModel.get()->*c.apply)();
}

// Ctrl+K, a code typed (with what the box refuses), Enter.
void ModelRun::pickByCode()
{
    static const QString keys = QStringLiteral("0123456789abcdefABCDEFgZ ");
    QString typed;
    for (int n = below(4); n > 0; --n)
        typed += keys[below(keys.size())];
    log(QStringLiteral("Ctrl+K, \"%1\", Enter").arg(typed));
    QTest::keyClick(mWindow.form.get(), Qt::Key_K, Qt::ControlModifier);
    WindowDriver::type(QApplication::focusWidget(), typed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    mModel->pickByCode(typed);
}

void ModelRun::floodFill()
{
    const int cell = 1 + below(model::Cells);
    log(QStringLiteral("Ctrl+click Image%1 (flood fill)").arg(cell));
    clickCellWith(cell, Qt::ControlModifier);
    mModel->floodFill(cell);
}

// Zoom In (Ctrl++ or Ctrl+=), Zoom Out, Actual Size, or Ctrl+wheel over a
// map cell.
void ModelRun::zoom()
{
    const int way = below(5);
    const bool up = way < 2 || (way == 4 && chance(50));
    static const QKeyCombination keys[] = {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal,
                                           Qt::CTRL | Qt::Key_Minus, Qt::CTRL | Qt::Key_0};
    if (way < 4) {
        log(QStringLiteral("zoom by %1").arg(QKeySequence(keys[way]).toString()));
        QTest::keyClick(mWindow.form.get(), keys[way].key(), keys[way].keyboardModifiers());
    } else {
        const int cell = 1 + below(model::Cells);
        log(QStringLiteral("Ctrl+wheel %1 over Image%2").arg(up ? "up" : "down").arg(cell));
        // As the cell passes the wheel on to the panel.
        QWheelEvent wheel(mWindow.cellRect(cell).center(), mWindow.form->mapToGlobal(mWindow.cellCentre(cell)), {},
                          {0, up ? 120 : -120}, Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(mWindow.panel(), &wheel);
    }
    int &z = mModel->zoom;
    // 300 % is the largest step the 2560 x 1600 screen holds, palette hidden.
    z = way == 3 ? 100 : up ? (z == 100 ? 150 : z == 150 ? 200 : 300) : (z == 300 ? 200 : z == 200 ? 150 : 100);
}

// Another program puts text on the clipboard: a grid as a user might type
// it (either case, blanks or tabs, LF or CR LF, ragged rows) or not a grid.
void ModelRun::foreignClipboard()
{
    QString text;
    std::optional<model::Grid> grid;
    if (chance(65)) {
        grid = model::Grid();
        const QString end = chance(30) ? QStringLiteral("\r\n") : QStringLiteral("\n");
        const int rows = chance(80) ? 1 + below(4) : 1 + below(12);
        for (int r = 0; r < rows; ++r) {
            std::vector<int> row;
            QString line = chance(10) ? QStringLiteral(" ") : QString();
            for (int c = 1 + below(chance(80) ? 5 : 14); c > 0; --c) {
                row.push_back(below(256));
                QString code = QString::number(row.back(), 16);
                if (code.size() == 1 && chance(20))
                    code.prepend(QLatin1Char('0'));
                line += chance(50) ? code.toUpper() : code;
                if (c > 1)
                    line += chance(70) ? QStringLiteral(" ") : chance(50) ? QStringLiteral("\t") : QStringLiteral(" \t ");
            }
            grid->push_back(row);
            text += line + (r + 1 < rows || chance(70) ? end : QString());
        }
    } else {
        static const char *const junk[] = {"", "\n", "tiles", "1 2 3 4 5 6 7 8 9 A B C D E F", "100", "1,2",
                                           "1\n\n", "1\r2", "1 2\r", "\n1", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n",
                                           "0x1F", "1\u00a02"};
        text = QString::fromUtf8(junk[below(std::size(junk))]);
    }
    log(QStringLiteral("another program puts on the clipboard: \"%1\"")
            .arg(QString(text).replace(QLatin1Char('\n'), QStringLiteral("\\n")).replace(QLatin1Char('\r'), QStringLiteral("\\r")).replace(QLatin1Char('\t'), QStringLiteral("\\t"))));
    QGuiApplication::clipboard()->setText(text);
    mModel->clipboard = text;
    mModel->clipboardGrid = grid;
}
