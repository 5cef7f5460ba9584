// The main panel: reports mouse moves over its own surface only (not over
// one of its pictures, labels or other controls).
#pragma once

#include <QFrame>
#include <QPoint>

class MainPanel : public QFrame {
    Q_OBJECT
public:
    explicit MainPanel(QWidget *parent);
signals:
    void surfaceMouseMove();
    // The wheel turned with Ctrl held over the panel or one of its pictures:
    // `steps` notches, up positive.
    void ctrlWheel(QPoint panelPos, int steps);
protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
};
