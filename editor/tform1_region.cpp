// The map from the keyboard and the text box that keeps its own keys.
#include "tform1.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include "leveldocument.h"
#include "mapview.h"

QWidget *TForm1::mapFocus() const { return mMap; }

QLineEdit *TForm1::textBoxWithFocus() const { return qobject_cast<QLineEdit *>(focusWidget()); }

bool TForm1::drawingHasFocus() const { return mMap->hasFocus() || mPalette->hasFocus(); }

// Keys while the map has the focus: arrows move the framed cell, Shift with
// an arrow grows or shrinks the selection from it, Space and Enter paint the
// framed cell as a click on it does, a tool's letter chooses it, Esc while
// the button is held cancels the gesture. True when the key was used.
bool TForm1::MapKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Escape && mSession->gestureOpen()) {
        guarded([&] { mSession->cancelGesture(); });
        return true;
    }
    if (!(modifiers & ~Qt::KeypadModifier) && mSession->chooseToolByKey(key))
        return true;
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
        guarded([&] { mSession->paintFramed(); });
        return true;
    default:
        return false;
    }
    if (modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    guarded([&] { mSession->stepFrame(dColumn, dRow, modifiers & Qt::ShiftModifier); });
    return true;
}

bool TForm1::mapKeyEvent(QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    // Esc during a gesture is the gesture's, not the Select none shortcut's.
    if (event->type() == QEvent::ShortcutOverride) {
        if (key->key() != Qt::Key_Escape || !mSession->gestureOpen())
            return false;
        event->accept();
        return true;
    }
    const bool used = MapKeyDown(key->key(), key->modifiers());
    if (used)
        mMap->showFocusFrame();
    return used;
}
