#include "mainpanel.h"

#include <QMouseEvent>
#include <QWheelEvent>

MainPanel::MainPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Panel1"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setMouseTracking(true);
}

void MainPanel::mouseMoveEvent(QMouseEvent *event)
{
    if (!childAt(event->position().toPoint()))
        emit surfaceMouseMove();
    QFrame::mouseMoveEvent(event);
}

void MainPanel::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0)
        return QFrame::wheelEvent(event);
    emit ctrlWheel(event->position().toPoint(), event->angleDelta().y() > 0 ? 1 : -1);
    event->accept();
}
