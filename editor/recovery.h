// Unsaved edits that outlive the editor. RecoveryKeeper follows a
// LevelDocument and keeps its unsaved edits in a recovery file in the user's
// data folder; a later start offers the files of editors that have ended.
//
// Each running editor that has had unsaved edits owns a folder
// <data>/recovery/editor-XXXXXX, locked (QLockFile "lock" in it) while it
// runs, holding at most one file, "level.wmbrecovery". A folder whose lock
// is free or stale belongs to an editor that has ended: a kill, a crash, a
// signal (which ends the editor without its question and keeps the file).
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "recoveryfile.h"

class Dialogs;
class LevelDocument;
class QLockFile;
class QTimer;
class QWidget;

class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // A change is written this long after it, with those that follow it
    // meanwhile, so that every change is on the disk within two seconds.
    static constexpr int WriteDelayMs = 1000;

    // `root` holds the editors' folders; empty: <data folder>/recovery.
    explicit RecoveryKeeper(LevelDocument &document, QString root = {});
    // Writes a change not yet written and keeps the file for a later start:
    // the normal exit calls discard() first.
    ~RecoveryKeeper() override;

    // The normal exit, after the unsaved-changes question: the file and the
    // folder go.
    void discard();
    // Brings the file up to date at once: written while the shown level has
    // unsaved changes, removed otherwise. False when it cannot be written
    // (the file written before, if any, stays).
    bool writeNow();
    // The file this editor writes; empty before its first.
    QString filePath() const;

    // At start: offers the recovery file of each editor that has ended, the
    // oldest first, each through dialogs.askRestoreDiscardLater. `restore`
    // opens the file's image with the usual questions and puts the edits on;
    // false when it did not (a question declined, an error shown), and the
    // file stays as Later keeps it. A restored file goes once this editor's
    // own file holds the edits.
    void offerLeftovers(QWidget *parent, Dialogs &dialogs,
                        const std::function<bool(const wmb::RecoveryFile &)> &restore);

private:
    void follow();
    void removeFile();
    const QString &folder();

    LevelDocument &mDocument;
    QString mRoot;
    QString mFolder;                    // this editor's, once made
    std::unique_ptr<QLockFile> mLock;   // held while mFolder is this editor's
    QTimer *mTimer = nullptr;
};

// The question's text for a recovery file: `shownName` is the image's file
// name as shown, `endedAt` the local time the file was last written
// ("9 December 2026 at 20:14"). `changedOnDisk`: the level's record on the
// disk is no longer the one the edits started from. `newestBackup`: when
// the image is gone, the time of its newest backup (invalid: none is kept).
QString recoveryQuestion(const wmb::RecoveryFile &file, const QString &shownName, bool imageExists,
                         bool changedOnDisk, const QDateTime &newestBackup = {});
