// File > Image info: a label and a read-only, selectable value a line (the
// checksums in a fixed-width font), and a Close button.
#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

class ImageInfoDialog : public QDialog {
public:
    ImageInfoDialog(QWidget *parent, const QString &caption, const QList<QPair<QString, QString>> &items);
};
