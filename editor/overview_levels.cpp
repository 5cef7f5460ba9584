// The overview's gestures on whole levels: copy and paste (Ctrl+C, Ctrl+V),
// a drag that moves a level to another place or, with Ctrl held, swaps two,
// and the context menu. The editor asks and writes (openRequested and the
// operation signals), so that the unsaved-changes question comes first.
#include "leveloverview.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

QMenu *LevelOverview::contextMenuFor(int level)
{
    auto *menu = new QMenu(this);
    const QString n = QString::number(level);
    connect(menu->addAction(QStringLiteral("&Open level ") + n), &QAction::triggered, this,
            [this, level] { emit openRequested(level); });
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("&Copy level ") + n), &QAction::triggered, this,
            [this, level] { emit copyRequested(level); });
    connect(menu->addAction(QStringLiteral("&Paste level over ") + n), &QAction::triggered, this,
            [this, level] { emit pasteRequested(level); });
    connect(menu->addAction(QStringLiteral("&Swap with level...")), &QAction::triggered, this,
            [this, level] { emit swapRequested(level, 0); });
    emit contextMenuFilling(menu, level);
    return menu;
}

void LevelOverview::contextMenuEvent(QContextMenuEvent *event)
{
    const int n = levelAt(event->pos());
    if (n == 0)
        return;
    setFocusedLevel(n);
    QMenu *menu = contextMenuFor(n);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// Ctrl+C and Ctrl+V on the focused picture; true when the key was one.
bool LevelOverview::levelKey(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy))
        emit copyRequested(mFocus);
    else if (event->matches(QKeySequence::Paste))
        emit pasteRequested(mFocus);
    else
        return false;
    return true;
}

void LevelOverview::pressLevel(int level, QPoint pos)
{
    mPressed = level;
    mPressPos = pos;
    mDragTo = 0;
}

// A drag starts once the pointer has gone the platform's distance from the
// press; the picture under it is outlined.
void LevelOverview::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (mPressed == 0 || !(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    if (mDragTo == 0 && (pos - mPressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    // Off the pictures the drag stays at the level it was over last.
    const int over = levelAt(pos);
    if (over && over != mDragTo) {
        if (mDragTo)
            update(slotRect(mDragTo));
        mDragTo = over;
        update(slotRect(mDragTo));
    }
    setCursor(mDragTo == mPressed ? Qt::ForbiddenCursor
              : event->modifiers() & Qt::ControlModifier ? Qt::DragCopyCursor
                                                         : Qt::DragMoveCursor);
}

// Esc while the button is held: the drop then does nothing.
void LevelOverview::cancelDrag()
{
    if (mDragTo)
        update(slotRect(mDragTo));
    mPressed = mDragTo = 0;
    unsetCursor();
}

// Dropped on another picture: a move, or with Ctrl held a swap.
void LevelOverview::mouseReleaseEvent(QMouseEvent *event)
{
    const int from = mPressed;
    const int to = mDragTo ? levelAt(event->position().toPoint()) : 0;   // 0: dropped off the pictures
    if (mDragTo)
        update(slotRect(mDragTo));
    mPressed = mDragTo = 0;
    unsetCursor();
    if (event->button() != Qt::LeftButton || from == 0 || to == 0 || to == from)
        return QWidget::mouseReleaseEvent(event);
    setFocusedLevel(to);
    if (event->modifiers() & Qt::ControlModifier)
        emit swapRequested(from, to);
    else
        emit moveRequested(from, to);
}

void LevelOverview::paintDrag(QPainter &p)
{
    if (mDragTo == 0 || mDragTo == mPressed)
        return;
    p.setPen(QPen(palette().highlight(), 3, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(slotRect(mDragTo).adjusted(2, 2, -3, -3));
}
