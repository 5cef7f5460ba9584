// The Edit menu's region commands and the map from the keyboard. While a
// text box has the focus, copy, cut, paste, delete and select all act on its
// text instead; elsewhere they act on the session's selection.
#include "tform1.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include "leveldocument.h"
#include "mapoverlay.h"

void TForm1::createMapOverlay()
{
    createMapMarks();
    mMapOverlay = new MapOverlay(Panel1);
    mMapOverlay->raise();
    mMapOverlay->installEventFilter(this);
}

// Their keys reach the map only while no text box has the focus: a text box
// takes its own copy, cut, paste, select all, Delete and typed letters first.
void TForm1::createRegionCommands()
{
    const auto onTextOr = [this](auto onText, std::function<void()> onMap) {
        return [this, onText, onMap = std::move(onMap)] {
            if (QLineEdit *edit = textBoxWithFocus())
                (edit->*onText)();
            else
                onMap();
        };
    };
    const auto toClipboard = [](const std::string &text) {
        if (!text.empty())
            QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    };
    EditorSession &s = *mSession;
    mCommands.add({
        {EditMenu},
        {EditMenu, QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X),
         onTextOr(&QLineEdit::cut, [=, &s] { toClipboard(s.cutSelection()); })},
        {EditMenu, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
         onTextOr(&QLineEdit::copy, [=, &s] { toClipboard(s.copySelection()); })},
        {EditMenu, QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
         onTextOr(&QLineEdit::paste, [&s] { s.pasteTiles(QGuiApplication::clipboard()->text().toStdString()); })},
        {EditMenu, QStringLiteral("&Delete"), QKeySequence(Qt::Key_Delete),
         onTextOr(&QLineEdit::del, [&s] { s.deleteSelection(); })},
        {EditMenu, QStringLiteral("&Fill"), QKeySequence(Qt::Key_F), [&s] { s.fillSelection(); }},
        {EditMenu},
        {EditMenu, QStringLiteral("Select &all"), QKeySequence(Qt::CTRL | Qt::Key_A),
         onTextOr(&QLineEdit::selectAll, [&s] { s.selectAll(); })},
        {EditMenu, QStringLiteral("Select &none"), QKeySequence(Qt::Key_Escape), [&s] { s.selectNone(); }},
    });
}

QWidget *TForm1::mapFocus() const { return mMapOverlay; }

void TForm1::layoutMapOverlay()
{
    mMapOverlay->place(mLayout);
    if (mMapMarks)
        placeMapMarks();
}

void TForm1::mapOverlaySelection(const wmb::CellRect &rect) { mMapOverlay->setSelection(rect); }

// The text box that has the keyboard focus, if any: it keeps its own copy,
// cut, paste, select all and delete.
QLineEdit *TForm1::textBoxWithFocus() const { return qobject_cast<QLineEdit *>(focusWidget()); }

// Keys while the map has the focus: arrows move the framed cell, Shift with
// an arrow grows or shrinks the selection from it, Space and Enter paint the
// framed cell as a click on it does. True when the key was used.
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

bool TForm1::mapOverlayEvent(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    return MapKeyDown(key->key(), key->modifiers());
}
