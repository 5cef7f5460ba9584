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
        // Qt reads the patterns from the last parentheses and, with
        // HideNameFilterDetails, shows only the text before them, so the
        // description is shown as written. "*.*" means every file, as it does
        // for Windows, names without a dot included.
        const QString pattern = parts[i + 1] == QLatin1String("*.*") ? QStringLiteral("*") : parts[i + 1];
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

void setUpMessageBox(QMessageBox &box, const QString &caption, const QString &text)
{
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
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
    box.setOption(QFileDialog::HideNameFilterDetails, true);
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
    box.setOption(QFileDialog::HideNameFilterDetails, true);
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
    QMessageBox box(QMessageBox::NoIcon, {}, {}, QMessageBox::Ok | QMessageBox::Cancel, parent);
    setUpMessageBox(box, caption, text);
    return box.exec() == QMessageBox::Ok;
}

void QtDialogs::showError(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, {}, {}, QMessageBox::Ok, parent);
    setUpMessageBox(box, QString::fromLatin1(ApplicationTitle), errorBoxText(message));
    box.exec();
}

void QtDialogs::showAbout(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, {}, {}, QMessageBox::Ok, parent);
    setUpMessageBox(box, QString::fromLatin1(ApplicationTitle), text);
    box.exec();
}
