#include "picturebox.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {}

void PictureBox::setPicture(const QPixmap &picture)
{
    mPicture = picture;
    updateOpacity();
    update();
}

// A picture that covers the whole control without transparency hides what
// lies beneath, so Qt need not paint the panel behind it first. A smaller
// or transparent one leaves the rest to the panel.
void PictureBox::updateOpacity()
{
    const bool covers = !mPicture.isNull() && !mPicture.hasAlphaChannel() &&
                        mPicture.width() >= width() && mPicture.height() >= height();
    setAttribute(Qt::WA_OpaquePaintEvent, covers);
}

void PictureBox::resizeEvent(QResizeEvent *)
{
    updateOpacity();
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
    emit pressed(event->button(), mapToParent(event->position().toPoint()));
    event->accept();
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        emit dragged(mapToParent(event->position().toPoint()));
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool inside = rect().contains(event->position().toPoint());
    emit released(event->button());
    if (event->button() == Qt::LeftButton && inside)
        emit clicked();
    event->accept();
}
