// Drag strokes on the map, some with a shortcut pressed while the button is
// held: undo or redo closes the stroke, a save leaves it open, Open ROM (or
// a save answered Reload) ends it when the level is shown afresh.
#include "modelrun.h"

#include <QTest>


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
    enum Shortcut { Undo, Redo, Save, Open };
    static const char *const shortcutNames[] = {"Ctrl+Z", "Ctrl+Y", "Ctrl+S", "Ctrl+O (the demo ROM copy)"};
    const int interruptBefore = chance(25) ? below(static_cast<int>(moves.size())) : -1;
    const auto shortcut = static_cast<Shortcut>(below(4));

    QStringList route;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (static_cast<int>(i) == interruptBefore)
            route << QLatin1String(shortcutNames[shortcut]);
        route << QString::number(moves[i].back());
    }
    log(QStringLiteral("drag from Image%1 through %2").arg(start).arg(route.join(QStringLiteral(", "))));

    pressCell(start, Qt::LeftButton);
    mModel->beginGesture();
    mModel->paint(start);
    bool open = true;   // the stroke still paints
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (static_cast<int>(i) == interruptBefore) {
            const int loads = mModel->loads;
            switch (shortcut) {
            case Undo:
                QTest::keyClick(mWindow.form.get(), Qt::Key_Z, Qt::ControlModifier);
                mModel->endGesture();
                mModel->undo();
                open = false;
                break;
            case Redo:
                QTest::keyClick(mWindow.form.get(), Qt::Key_Y, Qt::ControlModifier);
                mModel->endGesture();
                mModel->redo();
                open = false;
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
                open = false;
        }
        moveToCell(moves[i].back());
        if (open) {
            for (int cell : moves[i])
                mModel->paint(cell);
        }
    }
    releaseCell(moves.back().back(), Qt::LeftButton);
    if (open)
        mModel->endGesture();
}
