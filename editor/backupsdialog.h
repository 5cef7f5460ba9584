// File > Backups...: the open image's backups, newest first, with what each
// would change, and the two things to do with one: compare the image with
// it, or restore the whole image from it.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "backupstore.h"

class QTreeWidget;

// One line of the list.
struct BackupRow {
    QString time;       // "2026-12-09 20:14:05", local time
    qint64 size = 0;    // bytes
    QString levels;     // the levels that differ from the image now: "3, 7", "none"
};
enum class BackupAction { Compare, Restore };
struct BackupChoice {
    int row = 0;        // index into the rows
    BackupAction action = BackupAction::Compare;
};

// "2026-12-09 20:14:05" in local time.
QString backupTime(std::int64_t timeMs);
// The rows of `backups` against the image's bytes now; a backup that cannot
// be read says so in its levels.
QList<BackupRow> backupRows(const std::vector<wmb::StoredBackup> &backups, const std::string &image);

class BackupsDialog : public QDialog {
    Q_OBJECT
public:
    BackupsDialog(QWidget *parent, const QString &imageName, const QList<BackupRow> &rows);
    // The choice made; nothing when closed.
    std::optional<BackupChoice> choice() const { return mChoice; }

private:
    void choose(BackupAction action);

    QTreeWidget *mList = nullptr;
    std::optional<BackupChoice> mChoice;
};
