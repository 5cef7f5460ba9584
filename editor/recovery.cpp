#include "recovery.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "datafolder.h"
#include "dialogs.h"
#include "imagebackups.h"
#include "leveldocument.h"
#include "pathnames.h"
#include "romfile.h"
#include "wholefile.h"

namespace {

const QString LockName = QStringLiteral("lock");
const QString FileName = QStringLiteral("level.wmbrecovery");
const QString FolderPrefix = QStringLiteral("editor-");

// A lock that only a process that no longer runs leaves stale, however old.
std::unique_ptr<QLockFile> folderLock(const QString &folder)
{
    auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + LockName);
    lock->setStaleLockTime(0);
    return lock;
}

// Renamed first, so that an editor choosing a name for its folder never
// gets one half removed.
void removeFolder(const QString &folder)
{
    const QString gone = folder + QStringLiteral(".ended");
    if (QDir().rename(folder, gone))
        QDir(gone).removeRecursively();
}

// A recovery file of an editor that has ended, locked by this one while it
// asks about it.
struct Leftover {
    QString folder;
    std::unique_ptr<QLockFile> lock;
    wmb::RecoveryFile file;
    QDateTime modified;   // of the file: the order of files written within one second
};

// The level's record on the disk differs from `file`'s; false when it
// cannot be read (the restore then says why).
bool changedOnDisk(const wmb::RecoveryFile &file)
{
    try {
        wmb::RomFile rom;
        rom.assign(file.imagePath);
        rom.openForReading();
        return wmb::readLevelRecord(rom, wmb::LevelBaseOf(file.level)) != file.record;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace

QString recoveryQuestion(const wmb::RecoveryFile &file, const QString &shownName, bool imageExists,
                         bool changedOnDisk, const QDateTime &newestBackup)
{
    const auto when = [](const QDateTime &t) { return QLocale::c().toString(t, QStringLiteral("d MMMM yyyy 'at' HH:mm")); };
    QString text = QStringLiteral("Level ") + QString::number(file.level) + QStringLiteral(" of ") + shownName +
                   QStringLiteral(" has unsaved changes from an editor that ended on ") +
                   when(QDateTime::fromSecsSinceEpoch(file.writtenAt));
    if (!imageExists && newestBackup.isValid())
        return text + QStringLiteral(", but ") + shownName +
               QStringLiteral(" no longer exists. Save them into a copy of its newest backup (") + when(newestBackup) +
               QStringLiteral(")?");
    if (!imageExists)
        return text + QStringLiteral(", but ") + shownName +
               QStringLiteral(" no longer exists and no backup of it is kept. Discard them?");
    if (changedOnDisk)
        text += QStringLiteral("; level ") + QString::number(file.level) + QStringLiteral(" was changed on disk since");
    return text + QStringLiteral(". Restore them?");
}

RecoveryKeeper::RecoveryKeeper(LevelDocument &document, QString root)
    : mDocument(document), mRoot(root.isEmpty() ? dataFolder() + QStringLiteral("/recovery") : std::move(root)),
      mTimer(new QTimer(this))
{
    mTimer->setSingleShot(true);
    mTimer->setInterval(WriteDelayMs);
    connect(mTimer, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
    connect(&mDocument, &LevelDocument::edited, this, &RecoveryKeeper::follow);
}

RecoveryKeeper::~RecoveryKeeper()
{
    if (mTimer->isActive())
        writeNow();
    if (!mLock)
        return;
    mLock->unlock();
    if (!QFileInfo::exists(filePath()))
        removeFolder(mFolder);
}

QString RecoveryKeeper::filePath() const { return mFolder.isEmpty() ? QString() : mFolder + QLatin1Char('/') + FileName; }

// Unsaved changes are written a pause after the first change; none left (a
// save, a load, a reload, the edits undone) removes the file at once.
void RecoveryKeeper::follow()
{
    if (!mDocument.wouldChangeRecord())
        removeFile();
    else if (!mTimer->isActive())
        mTimer->start();
}

void RecoveryKeeper::removeFile()
{
    mTimer->stop();
    if (!mFolder.isEmpty())
        QFile::remove(filePath());
}

bool RecoveryKeeper::writeNow()
{
    mTimer->stop();
    if (!mDocument.wouldChangeRecord()) {
        removeFile();
        return true;
    }
    try {
        wmb::RecoveryFile file;
        file.imagePath = mDocument.imagePath();
        file.level = mDocument.loadedLevel();
        file.writtenAt = QDateTime::currentSecsSinceEpoch();
        for (int n = 1; n <= wmb::MapCells; ++n)
            file.codes[static_cast<std::size_t>(n - 1)] = static_cast<std::uint8_t>(mDocument.cell(n));
        for (const LevelText which : {LevelText::Timer, LevelText::Name, LevelText::Author, LevelText::Hint})
            file.texts[static_cast<std::size_t>(which)] = mDocument.text(which);
        file.record = mDocument.savedRecord();
        const std::string bytes = wmb::encodeRecoveryFile(file);
        folder();
        wmb::writeFileAtomically(pathFromQString(filePath()), bytes);
        return true;
    } catch (const std::exception &) {
        // No data folder, a full disk: the next change tries again.
        return false;
    }
}

void RecoveryKeeper::discard()
{
    mTimer->stop();
    if (!mLock)
        return;
    mLock->unlock();
    mLock.reset();
    removeFolder(std::exchange(mFolder, QString()));
}

// Another editor's start may take a folder that is not yet locked for one
// left over; a folder whose lock this editor does not get is left to it.
const QString &RecoveryKeeper::folder()
{
    if (mLock)
        return mFolder;
    if (!QDir().mkpath(mRoot))
        throw wmb::RuntimeError("Cannot make the folder " + mRoot.toStdString());
    for (int attempt = 0; attempt < 10; ++attempt) {
        QTemporaryDir made(mRoot + QLatin1Char('/') + FolderPrefix + QStringLiteral("XXXXXX"));
        if (!made.isValid())
            throw wmb::RuntimeError(made.errorString().toStdString());
        made.setAutoRemove(false);
        std::unique_ptr<QLockFile> lock = folderLock(made.path());
        if (lock->tryLock(0)) {
            mFolder = made.path();
            mLock = std::move(lock);
            return mFolder;
        }
    }
    throw wmb::RuntimeError("Cannot lock a folder in " + mRoot.toStdString());
}

void RecoveryKeeper::offerLeftovers(QWidget *parent, Dialogs &dialogs,
                                    const std::function<bool(const wmb::RecoveryFile &)> &restore)
{
    std::vector<Leftover> left;
    const QDir root(mRoot);
    for (const QFileInfo &folder : root.entryInfoList({FolderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden)) {
        if (folder.filePath() == mFolder || folder.fileName().endsWith(QStringLiteral(".ended")))
            continue;
        std::unique_ptr<QLockFile> lock = folderLock(folder.filePath());
        if (!lock->tryLock(0))
            continue;   // its editor still runs, or another start is asking about it
        const QString file = folder.filePath() + QLatin1Char('/') + FileName;
        if (!QFileInfo::exists(file)) {
            lock->unlock();
            removeFolder(folder.filePath());
            continue;
        }
        try {
            left.push_back({folder.filePath(), std::move(lock),
                            wmb::decodeRecoveryFile(wmb::readWholeFile(pathFromQString(file))),
                            QFileInfo(file).lastModified()});
        } catch (const std::exception &) {
            // A file this editor cannot read is left as it is.
        }
    }
    std::sort(left.begin(), left.end(), [](const Leftover &a, const Leftover &b) {
        return std::pair(a.file.writtenAt, a.modified) < std::pair(b.file.writtenAt, b.modified);
    });
    for (Leftover &one : left) {
        const QString image = qStringFromPath(one.file.imagePath);
        const bool exists = QFileInfo::exists(image);
        // An image that is gone offers its newest backup's copy instead.
        QDateTime backup;
        if (!exists)
            for (const wmb::StoredBackup &newest : ImageBackups().of(one.file.imagePath))
                if (!backup.isValid())
                    backup = QDateTime::fromMSecsSinceEpoch(newest.timeMs);
        const QString text =
            recoveryQuestion(one.file, shownFileName(image), exists, exists && changedOnDisk(one.file), backup);
        const QString button = exists ? QStringLiteral("&Restore")
                               : backup.isValid() ? QStringLiteral("&Save As...")
                                                  : QString();
        const RecoveryChoice choice =
            dialogs.askRestoreDiscardLater(parent, QString::fromLatin1(ApplicationTitle), text, button);
        const bool restored = !button.isEmpty() && choice == RecoveryChoice::Restore && restore(one.file) && writeNow();
        one.lock->unlock();
        if (restored || choice == RecoveryChoice::Discard)
            removeFolder(one.folder);
    }
}
