// A second ROM image the open one is compared with: read whole, never
// written, and read again a short pause after its file changes.
#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <string>

#include "levelset.h"

class QFileSystemWatcher;
class QTimer;

class ImageComparison : public QObject {
    Q_OBJECT
public:
    explicit ImageComparison(QObject *parent);

    // Reads the 32 records of the image at `path`; throws before anything
    // changes when it cannot be read or is too short to hold them. `name`
    // is how messages name it; its file name when empty.
    void open(const std::string &path, const QString &name = {});
    void stop();
    bool active() const { return mRecords.has_value(); }
    // The image's file name as messages show it.
    QString name() const { return mName; }
    const std::string &path() const { return mPath; }
    const wmb::LevelRecords &records() const { return *mRecords; }
    // Reads the file again now, as the watch does after a pause; a file that
    // cannot be read keeps the records read last.
    void follow();

signals:
    // Compared with another image, its records read again, or stopped.
    void changed();

private:
    void watch();

    std::string mPath;
    QString mName;
    std::optional<wmb::LevelRecords> mRecords;
    QFileSystemWatcher *mWatcher = nullptr;
    QTimer *mFollowTimer = nullptr;
};
