// The window's dialogs behind one seam: the file dialogs, the OK/Cancel
// question, the standard error box and the About box. QtDialogs shows the
// real ones; tests pass their own answers.
#pragma once

#include <QFileDialog>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

#include "backupsdialog.h"
#include "settings.h"

class QMessageBox;
class QWidget;

// The answer to the unsaved-changes question.
enum class SaveChoice { Save, Discard, Cancel };
// The answer to the question before a save writes over a level that another
// program changed on the disk.
enum class OverwriteChoice { Overwrite, Reload, Cancel };
// The answer to the offer of unsaved edits left by an editor that ended.
enum class RecoveryChoice { Restore, Discard, Later };

// The answer to Replace tile: the two codes as typed, and whether every
// level is to change or the shown level only.
struct TileReplacementAnswer {
    QString from, to;
    bool allLevels = false;
};

// The button of an OK/Cancel question that Enter presses.
enum class Answer { Ok, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // `dialog` is the dialog's name (OpenDialog1, OpenDialog2); `filter` is a
    // list of description|pattern pairs. The dialog starts in `folder`, or
    // when that is empty at the file chosen last in it. Returns the chosen
    // file, or an empty text when cancelled.
    virtual QString openFile(QWidget *parent, const QString &dialog, const QString &title,
                             const QString &filter, const QString &folder = {}) = 0;
    // The save dialog (SaveDialog1): asks nothing itself about overwriting.
    // A proposed name with a folder starts the dialog in that folder;
    // otherwise it starts in the folder of the file chosen last in it.
    virtual QString saveFile(QWidget *parent, const QString &dialog, const QString &title,
                             const QString &filter, const QString &defaultSuffix,
                             const QString &proposedName) = 0;
    // True for OK; Cancel or closing the box is false. Enter presses `enter`.
    virtual bool askOkCancel(QWidget *parent, const QString &caption, const QString &text,
                             Answer enter = Answer::Ok) = 0;
    // The standard error box; `message` is shown as errorBoxText(message).
    virtual void showError(QWidget *parent, const QString &message) = 0;
    virtual void showAbout(QWidget *parent, const QString &text) = 0;
    // The unsaved-changes question: `saveButton` ("&Save", or "Save &As..."
    // where the image cannot be written; the default, answered Save),
    // "&Discard" and "&Cancel"; Esc or closing the box is Cancel.
    virtual SaveChoice askSaveDiscardCancel(QWidget *parent, const QString &caption, const QString &text,
                                            const QString &saveButton) = 0;
    // "&Overwrite", "&Reload" and "&Cancel" (the default); Esc or closing
    // the box is Cancel.
    virtual OverwriteChoice askOverwriteReloadCancel(QWidget *parent, const QString &caption,
                                                     const QString &text) = 0;
    // `restoreButton` (the default; "&Restore", or "&Save As..." for an image
    // that is gone), "&Discard" and "&Later"; with an empty `restoreButton`
    // only "&Discard" and "&Later" (the default). Esc or closing the box is Later.
    virtual RecoveryChoice askRestoreDiscardLater(QWidget *parent, const QString &caption, const QString &text,
                                                  const QString &restoreButton) = 0;
    // A plain information box captioned "WMBeditor" with one OK button.
    virtual void showMessage(QWidget *parent, const QString &text) = 0;
    // Asks for a level number from 1 to 32, offering `current`, in a box
    // titled `caption`; nothing when cancelled.
    virtual std::optional<int> askLevelNumber(QWidget *parent, int current, const QString &caption) = 0;
    // Asks for one line of text, offering `text`; nothing when cancelled.
    virtual std::optional<QString> askText(QWidget *parent, const QString &caption, const QString &label,
                                           const QString &text) = 0;
    // The Emulator dialog: the command line, offering `command`, with a
    // Browse button that puts a chosen program in place of the command's
    // first word (commandWithProgram). Nothing when cancelled. Without a
    // dialog of its own, the same question as askText.
    virtual std::optional<QString> askEmulatorCommand(QWidget *parent, const QString &label, const QString &command)
    {
        return askText(parent, QStringLiteral("Emulator"), label, command);
    }
    // Replace tile: the code to replace and the code to put, offering
    // `from` and `to`, and the choice "In all levels"; nothing when cancelled.
    virtual std::optional<TileReplacementAnswer> askTileReplacement(QWidget *parent, const QString &from,
                                                                    const QString &to) = 0;
    // File > Backups...: the backups of the image named `imageName`; the
    // one chosen and what to do with it, nothing when closed.
    virtual std::optional<BackupChoice> chooseBackup(QWidget *parent, const QString &imageName,
                                                     const QList<BackupRow> &rows)
    {
        (void)parent, (void)imageName, (void)rows;
        return std::nullopt;
    }
    // Image info: one label and value a line, each value selectable for
    // copying; `caption` names the image.
    virtual void showImageInfo(QWidget *parent, const QString &caption, const QList<QPair<QString, QString>> &items) = 0;
};

// Qt's file dialog, also for names that are not UTF-8.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    // The file accepted, as the file system names it (see pathFromDialog).
    QString chosenFile() const;

protected:
    void accept() override;

private:
    QString mResolved;
};

class QtDialogs final : public Dialogs {
public:
    QString openFile(QWidget *parent, const QString &dialog, const QString &title,
                     const QString &filter, const QString &folder) override;
    QString saveFile(QWidget *parent, const QString &dialog, const QString &title,
                     const QString &filter, const QString &defaultSuffix,
                     const QString &proposedName) override;
    bool askOkCancel(QWidget *parent, const QString &caption, const QString &text, Answer enter) override;
    void showError(QWidget *parent, const QString &message) override;
    void showAbout(QWidget *parent, const QString &text) override;
    SaveChoice askSaveDiscardCancel(QWidget *parent, const QString &caption, const QString &text,
                                    const QString &saveButton) override;
    OverwriteChoice askOverwriteReloadCancel(QWidget *parent, const QString &caption,
                                             const QString &text) override;
    RecoveryChoice askRestoreDiscardLater(QWidget *parent, const QString &caption, const QString &text,
                                          const QString &restoreButton) override;
    void showMessage(QWidget *parent, const QString &text) override;
    std::optional<int> askLevelNumber(QWidget *parent, int current, const QString &caption) override;
    std::optional<QString> askText(QWidget *parent, const QString &caption, const QString &label,
                                   const QString &text) override;
    std::optional<TileReplacementAnswer> askTileReplacement(QWidget *parent, const QString &from,
                                                            const QString &to) override;
    std::optional<QString> askEmulatorCommand(QWidget *parent, const QString &label, const QString &command) override;
    std::optional<BackupChoice> chooseBackup(QWidget *parent, const QString &imageName,
                                             const QList<BackupRow> &rows) override;
    void showImageInfo(QWidget *parent, const QString &caption, const QList<QPair<QString, QString>> &items) override;

private:
    QString chosenIn(FileDialog &box, const QString &dialog);

    EditorSettings mSettings;   // per file dialog: the file chosen last, between runs too
};

// The application title: the caption of the window, the error box and the About box.
inline constexpr const char *ApplicationTitle = "WMBeditor";

// The error box's text: the message with "." appended when its last
// character sorts after ".".
QString errorBoxText(const QString &message);

// "Level files|*.level" -> "Level files (*.level)"; pairs become lines.
// "*.*" becomes "*": every file, names without a dot included. The dialogs
// hide the added pattern, so "Any file (*.*)" and "Level files" show as given.
QString qtNameFilters(const QString &filter);

// A message box's caption and text; the text is shown as it is, never as
// markup ("<b>" in a message reads "<b>").
void setUpMessageBox(QMessageBox &box, const QString &caption, const QString &text);

// The file dialogs as QtDialogs shows them, set up but not yet shown.
// `lastChoice` is the file chosen last in the same dialog, or empty: the open
// dialog offers it again, the save dialog opens in its folder.
// The save dialog asks nothing about overwriting (the export asks itself),
// and appends "." + defaultSuffix to a name typed without an extension. A
// proposed name with a folder starts it in that folder, whatever lastChoice.
void setUpOpenDialog(QFileDialog &box, const QString &dialog, const QString &title,
                     const QString &filter, const QString &lastChoice);
void setUpSaveDialog(QFileDialog &box, const QString &dialog, const QString &title,
                     const QString &filter, const QString &defaultSuffix,
                     const QString &proposedName, const QString &lastChoice);
