// A picture control: draws its picture at natural size from the top-left
// corner (a larger picture is cut at the edges, a smaller one leaves the
// rest undrawn) and reports mouse presses, moves and clicks.
#pragma once

#include <QPixmap>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return mPicture; }

signals:
    // A left-button press and release over the control.
    void clicked();
    // Any press; `panelPos` is the position in the parent's coordinates.
    void pressed(Qt::MouseButton button, QPoint panelPos, Qt::KeyboardModifiers modifiers);
    // A move while a button is held (the control keeps the mouse until release).
    void dragged(QPoint panelPos);
    void released(Qt::MouseButton button);
    // With mouse tracking on: a move without a button, and the pointer
    // leaving the control.
    void hovered();
    void left();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QPixmap mPicture;
};
