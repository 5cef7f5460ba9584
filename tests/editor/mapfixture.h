// Helpers for driving the map and the palette: whole-map snapshots, real
// mouse gestures through the window, and the window's shortcuts.
#pragma once

#include <QApplication>
#include <QTableWidget>
#include <QWindow>

#include <vector>

#include "editorfixture.h"
#include "hexcode.h"

// What the map shows and stores, cell by cell.
struct MapState {
    QStringList codes;
    std::vector<QImage> pictures;
    bool operator==(const MapState &) const = default;
};

inline std::ostream &operator<<(std::ostream &out, const MapState &state)
{
    return out << state.codes.join(QLatin1Char(' ')).toStdString();
}

class MapTest : public EditorTest {
protected:
    // Starts the window, opens the demo ROM and loads level `level`.
    void startWithLevel(int level = 1)
    {
        start();
        openRom();
        if (level != 1)
            loadLevel(level);
        ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
    }

    // Shows the window and makes it the active one, as shortcuts need.
    void showActive()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    MapState mapState() const { return {shownCodes(), cellPictures()}; }

    // A state in which every cell shows the shipped picture of its code.
    static void expectPicturesMatchCodes(const MapState &state)
    {
        for (int n = 1; n <= wmb::MapCells; ++n)
            EXPECT_EQ(state.pictures[n - 1], tileImage(state.codes[n - 1])) << "cell " << n;
    }

    // The map bytes of a level as the ROM file holds them.
    QByteArray romMap(int level = 1) const
    {
        return romBytes().mid(wmb::LevelBaseOf(level), wmb::MapCells);
    }
    static QByteArray mapBytes(const MapState &state)
    {
        QByteArray bytes;
        for (const QString &code : state.codes)
            bytes.append(static_cast<char>(wmb::HexTextToInt(code.toStdString()) & 0xFF));
        return bytes;
    }

    // Mouse events through the window, as the platform delivers them: the
    // widget under the press receives the moves until the release.
    void pressAt(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(form->windowHandle(), button, {}, p);
    }
    void moveTo(QPoint p) { QTest::mouseMove(form->windowHandle(), p); }
    void releaseAt(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(form->windowHandle(), button, {}, p);
    }
    // A stroke: press on the first cell, move through the others, release.
    void drag(const std::vector<int> &cells)
    {
        pressAt(cellCentre(cells.front()));
        for (size_t i = 1; i < cells.size(); ++i)
            moveTo(cellCentre(cells[i]));
        releaseAt(cellCentre(cells.back()));
    }
    void rightClick(int cell)
    {
        pressAt(cellCentre(cell), Qt::RightButton);
        releaseAt(cellCentre(cell), Qt::RightButton);
    }

    // A key combination typed into the window's focus widget (or the window).
    void keys(QKeyCombination combination)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
        QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
    }
    void undo() { keys(Qt::CTRL | Qt::Key_Z); }
    void redo() { keys(Qt::CTRL | Qt::Key_Y); }
};
