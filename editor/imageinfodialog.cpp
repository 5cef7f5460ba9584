#include "imageinfodialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLineEdit>

ImageInfoDialog::ImageInfoDialog(QWidget *parent, const QString &caption, const QList<QPair<QString, QString>> &items)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ImageInfo"));
    setWindowTitle(caption);
    auto *form = new QFormLayout(this);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (const auto &[label, value] : items) {
        auto *edit = new QLineEdit(value, this);
        edit->setReadOnly(true);
        edit->setObjectName(label);
        // A checksum is one word of hexadecimal digits: shown whole, in a
        // fixed-width font.
        if (!value.contains(QLatin1Char(' ')) && value.size() >= 8) {
            edit->setFont(fixed);
            edit->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(value) + 16);
        }
        form->addRow(label + QLatin1Char(':'), edit);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}
