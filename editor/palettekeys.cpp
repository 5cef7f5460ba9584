#include "palettekeys.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace {
constexpr int Side = 16;   // tiles to a row, and rows
}

PaletteKeys::PaletteKeys(QWidget *parent, QPoint topLeft, int size, int pitch)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PaletteKeys"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::TabFocus);
    place(topLeft, size, pitch);
}

void PaletteKeys::place(QPoint topLeft, int size, int pitch)
{
    mSize = size;
    mPitch = pitch;
    setGeometry(topLeft.x(), topLeft.y(), pitch * Side - (pitch - size), pitch * Side - (pitch - size));
    update();
}

QRect PaletteKeys::tileRect(int n) const
{
    return {mPitch * ((n - 1) % Side), mPitch * ((n - 1) / Side), mSize, mSize};
}

void PaletteKeys::setCurrent(int n)
{
    update(tileRect(mCurrent));
    mCurrent = std::clamp(n, 1, Side * Side);
    update(tileRect(mCurrent));
}

void PaletteKeys::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(Qt::white, 2, Qt::DotLine));
    painter.drawRect(tileRect(mCurrent).adjusted(1, 1, -1, -1));
}

void PaletteKeys::keyPressEvent(QKeyEvent *event)
{
    const int column = (mCurrent - 1) % Side, row = (mCurrent - 1) / Side;
    const auto move = [&](int dColumn, int dRow) {
        setCurrent(std::clamp(row + dRow, 0, Side - 1) * Side + std::clamp(column + dColumn, 0, Side - 1) + 1);
    };
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QWidget::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Left: move(-1, 0); break;
    case Qt::Key_Right: move(1, 0); break;
    case Qt::Key_Up: move(0, -1); break;
    case Qt::Key_Down: move(0, 1); break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: emit picked(mCurrent); break;
    default: emit otherKey(event->key()); return QWidget::keyPressEvent(event);
    }
}

void PaletteKeys::focusInEvent(QFocusEvent *event)
{
    update(tileRect(mCurrent));
    QWidget::focusInEvent(event);
}

void PaletteKeys::focusOutEvent(QFocusEvent *event)
{
    update(tileRect(mCurrent));
    QWidget::focusOutEvent(event);
}
