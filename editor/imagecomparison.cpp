#include "imagecomparison.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include "pathnames.h"
#include "wholefile.h"

namespace {

// As the open image's watch: a burst of changes is read once.
constexpr int FollowDelayMs = 150;

} // namespace

ImageComparison::ImageComparison(QObject *parent)
    : QObject(parent), mWatcher(new QFileSystemWatcher(this)), mFollowTimer(new QTimer(this))
{
    mFollowTimer->setSingleShot(true);
    mFollowTimer->setInterval(FollowDelayMs);
    connect(mFollowTimer, &QTimer::timeout, this, &ImageComparison::follow);
    const auto changed = [this] {
        if (!mFollowTimer->isActive())
            mFollowTimer->start();
    };
    connect(mWatcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(mWatcher, &QFileSystemWatcher::directoryChanged, this, changed);
}

void ImageComparison::open(const std::string &path, const QString &name)
{
    const wmb::LevelRecords records = wmb::levelRecordsIn(wmb::readWholeFile(path));
    mPath = path;
    mName = name.isEmpty() ? shownFileName(qStringFromPath(path)) : name;
    mRecords = records;
    watch();
    emit changed();
}

void ImageComparison::stop()
{
    if (!active())
        return;
    mRecords.reset();
    mFollowTimer->stop();
    watch();
    emit changed();
}

void ImageComparison::follow()
{
    mFollowTimer->stop();
    if (!active())
        return;
    try {
        mRecords = wmb::levelRecordsIn(wmb::readWholeFile(mPath));
    } catch (const std::exception &) {
        // Gone or cut short for now: compared with what was read last.
    }
    watch();
    emit changed();
}

// The file and its folder (a file renamed over it shows there), added anew
// so the watch moves to a file that replaced it.
void ImageComparison::watch()
{
    const QStringList before = mWatcher->files() + mWatcher->directories();
    if (!before.isEmpty())
        mWatcher->removePaths(before);
    if (!active())
        return;
    const QFileInfo file(qStringFromPath(mPath));
    QStringList paths{file.absolutePath()};
    if (file.exists())
        paths << file.absoluteFilePath();
    mWatcher->addPaths(paths);
}
