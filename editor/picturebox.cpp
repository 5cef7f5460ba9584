#include "picturebox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {}

void PictureBox::setPicture(const QPixmap &picture)
{
    mPicture = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (mPicture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, mPicture);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->button(), mapToParent(event->position().toPoint()), event->modifiers());
    event->accept();
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        emit dragged(mapToParent(event->position().toPoint()));
    else
        emit hovered();
    event->accept();
}

void PictureBox::leaveEvent(QEvent *event)
{
    emit left();
    QWidget::leaveEvent(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool inside = rect().contains(event->position().toPoint());
    emit released(event->button());
    if (event->button() == Qt::LeftButton && inside)
        emit clicked();
    event->accept();
}
