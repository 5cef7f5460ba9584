// Following the open image on the disk: other programs (a second editor,
// wmbtool, a patcher) may change, replace or remove it at any time.
#include "tform1.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <filesystem>
#include <system_error>

#include "levelrecord.h"
#include "pathnames.h"
#include "romfile.h"

namespace {

// A burst of changes (a write and its sync, a temporary file renamed over
// the image) is followed once, this long after its first change.
constexpr int FollowDelayMs = 150;

bool exists(const std::string &path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

} // namespace

// Watches the image's name and its folder (a file renamed over the image
// shows there), and the folder of the file a link leads to. The paths are
// added anew each time, so the watch moves to a file that replaced the image.
void TForm1::watchImage()
{
    if (!mWatcher) {
        mWatcher = new QFileSystemWatcher(this);
        mFollowTimer = new QTimer(this);
        mFollowTimer->setSingleShot(true);
        mFollowTimer->setInterval(FollowDelayMs);
        connect(mFollowTimer, &QTimer::timeout, this, &TForm1::followImageFile);
        const auto changed = [this] {
            if (!mFollowTimer->isActive())
                mFollowTimer->start();
        };
        connect(mWatcher, &QFileSystemWatcher::fileChanged, this, changed);
        connect(mWatcher, &QFileSystemWatcher::directoryChanged, this, changed);
    }
    const QStringList before = mWatcher->files() + mWatcher->directories();
    if (!before.isEmpty())
        mWatcher->removePaths(before);
    const QFileInfo image(qStringFromPath(RomFile.path()));
    QStringList paths{image.absolutePath()};
    if (exists(RomFile.path())) {
        paths << image.absoluteFilePath();
        const QString target = QFileInfo(image.canonicalFilePath()).absolutePath();
        if (target != paths.front())
            paths << target;
    }
    mWatcher->addPaths(paths);
}

bool TForm1::imageChangePending() const { return mFollowTimer && mFollowTimer->isActive(); }

void TForm1::followImageFile()
{
    if (mFollowTimer)
        mFollowTimer->stop();
    if (!RomFile.assigned())
        return;
    if (mHandlerDepth > 0) {
        // A dialog of a handler is open: the level is not changed under it.
        mFollowTimer->start();
        return;
    }
    mRomMissing = !exists(RomFile.path());
    watchImage();
    if (!mRomMissing && mLevelLoaded) {
        try {
            followShownLevel();
        } catch (const std::exception &) {
            // A record or a picture that cannot be read leaves the level as
            // it is shown; the next load or save reports why.
        }
    }
    imageChanged();
}

// The editor's handle moves to the file the name now leads to (so that a
// copy made after the name is gone holds the latest image); the record is
// read by the name, so an image that may now only be read is followed too.
void TForm1::followShownLevel()
{
    try {
        reopenRom();
    } catch (const std::exception &) {
        // The handle open before stays.
    }
    wmb::RomFile disk;
    disk.assign(RomFile.path());
    disk.openForReading();
    const wmb::LevelRecord onDisk = wmb::readLevelRecord(disk, LevelBase);
    if (mKnown.follows(onDisk, hasUnsavedChanges()))
        showFromDisk(prepareLevel(disk, mLoadedLevel));
    else
        mKnown.seen(onDisk);
}
