#include "dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
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

void setUpOpenDialog(QFileDialog &box, const QString &dialog, const QString &title,
                     const QString &filter, const QString &lastChoice)
{
    box.setObjectName(dialog);
    box.setWindowTitle(title);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setFileMode(QFileDialog::ExistingFile);
    box.setNameFilter(qtNameFilters(filter));
    if (!lastChoice.isEmpty())
        box.selectFile(lastChoice);
}

void setUpSaveDialog(QFileDialog &box, const QString &dialog, const QString &title,
                     const QString &filter, const QString &defaultSuffix,
                     const QString &proposedName, const QString &lastChoice)
{
    box.setObjectName(dialog);
    box.setWindowTitle(title);
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setFileMode(QFileDialog::AnyFile);
    box.setOption(QFileDialog::DontConfirmOverwrite, true);
    box.setNameFilter(qtNameFilters(filter));
    box.setDefaultSuffix(defaultSuffix);
    if (!lastChoice.isEmpty())
        box.setDirectory(QFileInfo(lastChoice).absolutePath());
    box.selectFile(proposedName);
}

QString QtDialogs::openFile(QWidget *parent, const QString &dialog, const QString &title,
                            const QString &filter)
{
    QString &last = lastChoice(dialog);
    QFileDialog box(parent);
    setUpOpenDialog(box, dialog, title, filter, last);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    return last = box.selectedFiles().constFirst();
}

QString QtDialogs::saveFile(QWidget *parent, const QString &dialog, const QString &title,
                            const QString &filter, const QString &defaultSuffix,
                            const QString &proposedName)
{
    QString &last = lastChoice(dialog);
    QFileDialog box(parent);
    setUpSaveDialog(box, dialog, title, filter, defaultSuffix, proposedName, last);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    return last = box.selectedFiles().constFirst();
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
