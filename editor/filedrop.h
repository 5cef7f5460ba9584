// A widget that takes one local file dropped on it: the drop is taken as a
// copy, never a move, whatever the source proposes (a move would let the
// source delete its file); a source that offers no copy, or more than one
// file, is refused.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

class FileDrop : public QObject {
    Q_OBJECT
public:
    explicit FileDrop(QWidget *target);

signals:
    void dropped(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
