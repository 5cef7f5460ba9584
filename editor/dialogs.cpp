#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts[i];
        const QString &pattern = parts[i + 1];
        if (description.contains(QLatin1Char('(')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString &QtDialogs::lastChoice(const QString &dialog)
{
    if (dialog == QLatin1String("OpenDialog1"))
        return mLastChoice[0];
    if (dialog == QLatin1String("SaveDialog1"))
        return mLastChoice[1];
    return mLastChoice[2];
}

QString QtDialogs::openFile(QWidget *parent, const QString &dialog, const QString &title,
                            const QString &filter)
{
    QFileDialog box(parent, title);
    box.setObjectName(dialog);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setFileMode(QFileDialog::ExistingFile);
    box.setNameFilter(qtNameFilters(filter));
    QString &last = lastChoice(dialog);
    if (!last.isEmpty())
        box.selectFile(last);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    last = box.selectedFiles().constFirst();
    return last;
}

QString QtDialogs::saveFile(QWidget *parent, const QString &dialog, const QString &title,
                            const QString &filter, const QString &defaultSuffix,
                            const QString &proposedName)
{
    QFileDialog box(parent, title);
    box.setObjectName(dialog);
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setFileMode(QFileDialog::AnyFile);
    box.setOption(QFileDialog::DontConfirmOverwrite, true);
    box.setNameFilter(qtNameFilters(filter));
    box.setDefaultSuffix(defaultSuffix);
    box.selectFile(proposedName);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    return lastChoice(dialog) = box.selectedFiles().constFirst();
}

bool QtDialogs::askOkCancel(QWidget *parent, const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    return box.exec() == QMessageBox::Ok;
}

void QtDialogs::showError(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(ApplicationTitle),
                    errorBoxText(message), QMessageBox::Ok, parent);
    box.exec();
}

void QtDialogs::showAbout(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(ApplicationTitle), text,
                    QMessageBox::Ok, parent);
    box.exec();
}
