// Drag strokes on the map with the drawing tool chosen, some with a key
// pressed while the button is held: undo or redo closes the stroke, a save
// leaves it open, Open ROM (or a save answered Reload) ends it when the
// level is shown afresh, Esc cancels it. The tools chosen by the menu and
// by their keys, and the model's tools.
#include "modelrun.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <utility>

#include "region.h"

using Tool = model::EditorModel::Tool;

QString model::EditorModel::toolName(Tool tool)
{
    static const char *const names[] = {"Pen", "Rectangle", "Line", "Fill", "Select"};
    return QLatin1String(names[static_cast<int>(tool)]);
}

// A press paints and frames the cell as a click does; with a pick the Fill
// tool flood fills instead, and Select selects the cell alone.
void model::EditorModel::pressTool(int cell)
{
    toolOpen = true;
    toolFrom = cell;
    toolFrame = selectedCell;
    toolSelection = selection;
    if (tool == Tool::Select) {
        selectedCell = cell;
        return shiftSelect(cell, cell);
    }
    if (tool == Tool::Fill && selectedTile != 0)
        return floodFill(cell, true);
    beginGesture(tool == Tool::Pen ? QStringLiteral("Paint") : toolName(tool));
    paint(cell);
    gestureTouched = map != gestureStart;
}

// The Rectangle and the Line show their shape on the map as it was before the press.
void model::EditorModel::dragTool(const std::vector<int> &passed, int over)
{
    if (!toolOpen)
        return;
    if (tool == Tool::Select)
        return shiftSelect(toolFrom, over);
    if (tool == Tool::Pen) {
        for (const int cell : passed)
            paint(cell);
    } else if (tool != Tool::Fill && selectedTile != 0) {
        map = gestureStart;
        const bool rectangle = tool == Tool::Rectangle;
        for (const int cell : rectangle ? wmb::rectangleCells(toolFrom, over) : wmb::lineCells(toolFrom, over))
            map[cell - 1] = {selectedCode, selectedCode};
    }
    gestureTouched = gestureTouched || map != gestureStart;
}

void model::EditorModel::releaseTool()
{
    if (std::exchange(toolOpen, false) && tool != Tool::Select)
        endGesture();
}

void model::EditorModel::cancelTool()
{
    if (!std::exchange(toolOpen, false))
        return;
    if (tool != Tool::Select) {
        map = gestureStart;
        if (gestureTouched)
            forgetUndone();
    }
    selection = toolSelection;
    selectedCell = toolFrame;
}

// A select drag goes on through them; the others end.
void model::EditorModel::interruptTool(bool load)
{
    if (tool == Tool::Select || !std::exchange(toolOpen, false))
        return;
    if (!load)
        endGesture();
}

// From the Tools menu (whose command shows its key), or its key while the
// map or the palette has the focus; in a text box the key types its letter,
// on a button it does nothing.
void ModelRun::chooseTool()
{
    static const Qt::Key keys[] = {Qt::Key_B, Qt::Key_R, Qt::Key_L, Qt::Key_F, Qt::Key_S};
    const int t = below(5), way = below(10);
    const Tool tool = static_cast<Tool>(t);
    const QString name = model::EditorModel::toolName(tool), letter = QString(QLatin1Char("brlfs"[t]));
    QWindow *window = mWindow.form->windowHandle();
    if (way < 3) {
        log(QStringLiteral("Tools > ") + name);
        const QString text = QStringLiteral("&%1\t%2").arg(name, letter.toUpper());
        QAction *command = nullptr;
        for (QAction *a : mWindow.menu("Tools")->actions())
            command = a->text() == text ? a : command;
        if (command)
            command->trigger();
        else
            note(QStringLiteral("no command %1 in the Tools menu").arg(text));
    } else if (way < 8) {
        // F is Edit > Fill's key (on the palette as on the map), which the
        // palette, never shown here, cannot take.
        const bool map = way < 6 || tool == Tool::Fill;
        log(QStringLiteral("%1 on the %2").arg(letter.toUpper(), map ? "map" : "palette"));
        if (map) {
            mWindow.mapFocus()->setFocus(Qt::MouseFocusReason);
            QTest::keyClick(window, keys[t]);
            // F is Edit > Fill's key: it fills a selection there is.
            if (tool == Tool::Fill && !mModel->selection.empty())
                return mModel->fill();
        } else {
            sendKey(mWindow.paletteView(), keys[t], letter);
        }
    } else {
        struct Box { QLineEdit *edit; model::EditModel *model; };
        const Box boxes[] = {{mWindow.box(WindowDriver::NameBox), &mModel->name},
                             {mWindow.box(WindowDriver::HintBox), &mModel->hint}};
        const Box &box = boxes[below(2)];
        QWidget *focus = way == 8 ? static_cast<QWidget *>(box.edit) : mWindow.control("Button10");
        log(QStringLiteral("%1 with the focus on %2").arg(letter.toUpper(), focus->objectName()));
        focus->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(window, keys[t]);
        if (way == 8)
            box.model->type(letter);
        else if (tool == Tool::Fill)   // Edit > Fill's key, wherever the focus is but a text box
            mModel->fill();
        mWindow.mapFocus()->setFocus(Qt::MouseFocusReason);
        return;
    }
    mModel->tool = tool;
}


// A stroke of straight moves along rows, columns and diagonals between cell
// centres: every cell a move crosses is painted.
void ModelRun::dragStroke()
{
    const int start = 1 + below(model::Cells);
    std::vector<std::vector<int>> moves;   // the cells each move enters
    int row = (start - 1) / 14, column = (start - 1) % 14;
    for (int count = 1 + below(4); count > 0; --count) {
        int dr = 0, dc = 0, room = 0;
        while (room == 0) {
            dr = below(3) - 1;
            dc = below(3) - 1;
            room = 6;
            if (dr != 0)
                room = std::min(room, dr > 0 ? 11 - row : row);
            if (dc != 0)
                room = std::min(room, dc > 0 ? 13 - column : column);
            if (dr == 0 && dc == 0)
                room = 0;
        }
        std::vector<int> entered;
        for (int step = 1 + below(room); step > 0; --step) {
            row += dr;
            column += dc;
            entered.push_back(row * 14 + column + 1);
        }
        moves.push_back(entered);
    }
    enum Shortcut { Undo, Redo, Save, Open, Esc };
    static const char *const shortcutNames[] = {"Ctrl+Z", "Ctrl+Y", "Ctrl+S", "Ctrl+O (the demo ROM copy)", "Esc"};
    const int interruptBefore = chance(35) ? below(static_cast<int>(moves.size())) : -1;
    const auto shortcut = static_cast<Shortcut>(std::min(below(6), 4));

    QStringList route;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (static_cast<int>(i) == interruptBefore)
            route << QLatin1String(shortcutNames[shortcut]);
        route << QString::number(moves[i].back());
    }
    log(QStringLiteral("%1 drag from Image%2 through %3")
            .arg(model::EditorModel::toolName(mModel->tool)).arg(start).arg(route.join(QStringLiteral(", "))));

    ++mCounts[QStringLiteral("(%1 drags%2)").arg(model::EditorModel::toolName(mModel->tool),
                                                  interruptBefore >= 0 && shortcut == Esc ? ", Esc" : "")];
    pressCell(start, Qt::LeftButton);
    mModel->pressTool(start);
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (static_cast<int>(i) == interruptBefore) {
            const int loads = mModel->loads;
            switch (shortcut) {
            case Undo:
                QTest::keyClick(mWindow.form.get(), Qt::Key_Z, Qt::ControlModifier);
                mModel->interruptTool(false);
                mModel->undo();
                break;
            case Redo:
                QTest::keyClick(mWindow.form.get(), Qt::Key_Y, Qt::ControlModifier);
                mModel->interruptTool(false);
                mModel->redo();
                break;
            case Esc:
                QTest::keyClick(mWindow.form->windowHandle(), Qt::Key_Escape);
                mModel->cancelTool();
                break;
            case Save:
                QTest::keyClick(mWindow.form.get(), Qt::Key_S, Qt::ControlModifier);
                mModel->save();
                break;
            case Open:
                mDialogs.fileAnswers.push_back(path(QStringLiteral("demo.nes")));
                mExpectedFileDialogs = 1;
                QTest::keyClick(mWindow.form.get(), Qt::Key_O, Qt::ControlModifier);
                if (!mModel->openRom(model::Target::File, model::Rom::Good)) {
                    mDialogs.fileAnswers.clear();
                    mExpectedFileDialogs = 0;
                }
                break;
            }
            // A level shown afresh starts a fresh history, the open stroke
            // with it; a failed or cancelled load changes nothing.
            if (mModel->loads != loads)
                mModel->interruptTool(true);
        }
        moveToCell(moves[i].back());
        mModel->dragTool(moves[i], moves[i].back());
    }
    releaseCell(moves.back().back(), Qt::LeftButton);
    mModel->releaseTool();
}
