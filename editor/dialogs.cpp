#include "dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
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
    QFileDialog box(parent);
    setUpOpenDialog(box, dialog, title, filter, mSettings.lastChoice(dialog));
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    const QString chosen = box.selectedFiles().constFirst();
    mSettings.setLastChoice(dialog, chosen);
    return chosen;
}

QString QtDialogs::saveFile(QWidget *parent, const QString &dialog, const QString &title,
                            const QString &filter, const QString &defaultSuffix,
                            const QString &proposedName)
{
    QFileDialog box(parent);
    setUpSaveDialog(box, dialog, title, filter, defaultSuffix, proposedName,
                    mSettings.lastChoice(dialog));
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    const QString chosen = box.selectedFiles().constFirst();
    mSettings.setLastChoice(dialog, chosen);
    return chosen;
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

SaveChoice QtDialogs::askSaveDiscardCancel(QWidget *parent, const QString &caption,
                                           const QString &text)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton *save = box.addButton(QStringLiteral("&Save"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("&Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == discard)
        return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

void QtDialogs::showMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Information, QString::fromLatin1(ApplicationTitle), text,
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

std::optional<int> QtDialogs::askLevelNumber(QWidget *parent, int current)
{
    bool ok = false;
    const int n = QInputDialog::getInt(parent, QStringLiteral("Go to level"),
                                       QStringLiteral("Level number (1 to 32):"), current, 1, 32,
                                       1, &ok);
    if (!ok)
        return std::nullopt;
    return n;
}
