#include "dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "emulator.h"
#include "imageinfodialog.h"
#include "pathnames.h"

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
    // A name typed without an extension takes the one of the file type
    // chosen ("BPS patches" or "IPS patches").
    QObject::connect(&box, &QFileDialog::filterSelected, &box, [&box](const QString &chosen) {
        const qsizetype at = chosen.indexOf(QLatin1String("(*."));
        if (at >= 0)
            box.setDefaultSuffix(chosen.mid(at + 3).section(QLatin1Char(')'), 0, 0).section(QLatin1Char(' '), 0, 0));
    });
    if (!lastChoice.isEmpty())
        box.setDirectory(QFileInfo(lastChoice).absolutePath());
    box.selectFile(proposedName);   // a name with a folder opens that folder
}

QString FileDialog::chosenFile() const
{
    return mResolved.isEmpty() ? pathFromDialog(selectedFiles().value(0)) : mResolved;
}

// Qt looks for the file by the name it shows, which misses a name that is
// not UTF-8; such a name found by its bytes is accepted without that check.
void FileDialog::accept()
{
    const QStringList files = selectedFiles();
    const QString resolved = files.size() == 1 ? pathFromDialog(files.front()) : QString();
    std::error_code error;
    if (!resolved.isEmpty() && resolved != files.front() &&
        std::filesystem::exists(pathFromQString(resolved), error)) {
        mResolved = resolved;
        QDialog::accept();
        return;
    }
    QFileDialog::accept();
}

QString QtDialogs::openFile(QWidget *parent, const QString &dialog, const QString &title,
                            const QString &filter, const QString &folder)
{
    FileDialog box(parent);
    setUpOpenDialog(box, dialog, title, filter, folder.isEmpty() ? mSettings.lastChoice(dialog) : QString());
    if (!folder.isEmpty())
        box.setDirectory(folder);
    return chosenIn(box, dialog);
}

QString QtDialogs::saveFile(QWidget *parent, const QString &dialog, const QString &title,
                            const QString &filter, const QString &defaultSuffix,
                            const QString &proposedName)
{
    FileDialog box(parent);
    setUpSaveDialog(box, dialog, title, filter, defaultSuffix, proposedName,
                    mSettings.lastChoice(dialog));
    return chosenIn(box, dialog);
}

QString QtDialogs::chosenIn(FileDialog &box, const QString &dialog)
{
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    const QString chosen = box.chosenFile();
    mSettings.setLastChoice(dialog, chosen);
    return chosen;
}

bool QtDialogs::askOkCancel(QWidget *parent, const QString &caption, const QString &text, Answer enter)
{
    QMessageBox box(QMessageBox::NoIcon, {}, {}, QMessageBox::Ok | QMessageBox::Cancel, parent);
    setUpMessageBox(box, caption, text);
    box.setDefaultButton(enter == Answer::Ok ? QMessageBox::Ok : QMessageBox::Cancel);
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

namespace {

// A warning box with buttons named and roled as given; returns the index of
// the button clicked. The last button is the escape button: Esc or closing
// the box returns its index.
int askWithButtons(QWidget *parent, const QString &caption, const QString &text,
                   const std::vector<std::pair<QString, QMessageBox::ButtonRole>> &buttons, int defaultButton)
{
    QMessageBox box(QMessageBox::Warning, {}, {}, QMessageBox::NoButton, parent);
    setUpMessageBox(box, caption, text);
    std::vector<QPushButton *> added;
    for (const auto &[label, role] : buttons)
        added.push_back(box.addButton(label, role));
    box.setDefaultButton(added[static_cast<std::size_t>(defaultButton)]);
    box.setEscapeButton(added.back());
    box.exec();
    const auto clicked = std::find(added.begin(), added.end(), box.clickedButton());
    return clicked == added.end() ? static_cast<int>(added.size()) - 1 : static_cast<int>(clicked - added.begin());
}

} // namespace

SaveChoice QtDialogs::askSaveDiscardCancel(QWidget *parent, const QString &caption, const QString &text,
                                           const QString &saveButton)
{
    static const SaveChoice choices[] = {SaveChoice::Save, SaveChoice::Discard, SaveChoice::Cancel};
    return choices[askWithButtons(parent, caption, text,
                                  {{saveButton, QMessageBox::AcceptRole},
                                   {QStringLiteral("&Discard"), QMessageBox::DestructiveRole},
                                   {QStringLiteral("&Cancel"), QMessageBox::RejectRole}},
                                  0)];
}

OverwriteChoice QtDialogs::askOverwriteReloadCancel(QWidget *parent, const QString &caption,
                                                    const QString &text)
{
    static const OverwriteChoice choices[] = {OverwriteChoice::Overwrite, OverwriteChoice::Reload,
                                              OverwriteChoice::Cancel};
    return choices[askWithButtons(parent, caption, text,
                                  {{QStringLiteral("&Overwrite"), QMessageBox::DestructiveRole},
                                   {QStringLiteral("&Reload"), QMessageBox::ResetRole},
                                   {QStringLiteral("&Cancel"), QMessageBox::RejectRole}},
                                  2)];
}

RecoveryChoice QtDialogs::askRestoreDiscardLater(QWidget *parent, const QString &caption, const QString &text,
                                                 const QString &restoreButton)
{
    const bool canRestore = !restoreButton.isEmpty();
    const std::pair<QString, QMessageBox::ButtonRole> restore{restoreButton, QMessageBox::AcceptRole},
        discard{QStringLiteral("&Discard"), QMessageBox::DestructiveRole},
        later{QStringLiteral("&Later"), QMessageBox::RejectRole};
    if (!canRestore)
        return askWithButtons(parent, caption, text, {discard, later}, 1) == 0 ? RecoveryChoice::Discard
                                                                              : RecoveryChoice::Later;
    static const RecoveryChoice choices[] = {RecoveryChoice::Restore, RecoveryChoice::Discard, RecoveryChoice::Later};
    return choices[askWithButtons(parent, caption, text, {restore, discard, later}, 0)];
}

void QtDialogs::showMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Information, {}, {}, QMessageBox::Ok, parent);
    setUpMessageBox(box, QString::fromLatin1(ApplicationTitle), text);
    box.exec();
}

std::optional<QString> QtDialogs::askText(QWidget *parent, const QString &caption, const QString &label,
                                          const QString &text)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, caption, label, QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

std::optional<QString> QtDialogs::askEmulatorCommand(QWidget *parent, const QString &label, const QString &command)
{
    QDialog box(parent);
    box.setWindowTitle(QStringLiteral("Emulator"));
    auto *layout = new QVBoxLayout(&box);
    auto *text = new QLabel(label, &box);
    text->setTextFormat(Qt::PlainText);
    auto *edit = new QLineEdit(command, &box);
    edit->setMinimumWidth(360);
    auto *browse = new QPushButton(QStringLiteral("&Browse..."), &box);
    auto *row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(browse);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    // The first time, the folder where the system's emulators are.
    const QString dialog = QStringLiteral("EmulatorDialog");
    const QString firstFolder = mSettings.lastChoice(dialog).isEmpty() && !EmulatorFolders.isEmpty() &&
                                        QFileInfo(EmulatorFolders.first()).isDir()
                                    ? EmulatorFolders.first()
                                    : QString();
    QObject::connect(browse, &QPushButton::clicked, &box, [&] {
        const QString program = openFile(&box, dialog, QStringLiteral("Emulator program"),
#ifdef Q_OS_WIN
                                         QStringLiteral("Programs|*.exe|Any file|*.*"),
#else
                                         QStringLiteral("Any file|*.*"),
#endif
                                         firstFolder);
        if (!program.isEmpty())
            edit->setText(commandWithProgram(edit->text(), program));
    });
    layout->addWidget(text);
    layout->addLayout(row);
    layout->addWidget(buttons);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

std::optional<int> QtDialogs::askLevelNumber(QWidget *parent, int current, const QString &caption)
{
    bool ok = false;
    const int n = QInputDialog::getInt(parent, caption,
                                       QStringLiteral("Level number (1 to 32):"), current, 1, 32,
                                       1, &ok);
    if (!ok)
        return std::nullopt;
    return n;
}

std::optional<TileReplacementAnswer> QtDialogs::askTileReplacement(QWidget *parent, const QString &from,
                                                                   const QString &to)
{
    QDialog box(parent);
    box.setWindowTitle(QStringLiteral("Replace tile"));
    auto *form = new QFormLayout(&box);
    const auto codeBox = [&](const QString &text) {
        auto *edit = new QLineEdit(text, &box);
        edit->setMaxLength(2);
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,2}")), edit));
        return edit;
    };
    QLineEdit *fromBox = codeBox(from), *toBox = codeBox(to);
    auto *all = new QCheckBox(QStringLiteral("In &all levels"), &box);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    form->addRow(QStringLiteral("&Replace tile:"), fromBox);
    form->addRow(QStringLiteral("&By tile:"), toBox);
    form->addRow(all);
    form->addRow(buttons);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return TileReplacementAnswer{fromBox->text(), toBox->text(), all->isChecked()};
}

std::optional<BackupChoice> QtDialogs::chooseBackup(QWidget *parent, const QString &imageName,
                                                    const QList<BackupRow> &rows)
{
    BackupsDialog box(parent, imageName, rows);
    box.exec();
    return box.choice();
}

void QtDialogs::showImageInfo(QWidget *parent, const QString &caption, const QList<QPair<QString, QString>> &items)
{
    ImageInfoDialog box(parent, caption, items);
    box.exec();
}
