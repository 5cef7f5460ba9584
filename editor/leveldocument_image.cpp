// The open image: opening, loading, saving, importing, Save ROM As, and
// following the file while other programs change it.
#include "leveldocument.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QUndoStack>

#include <filesystem>
#include <system_error>

#include "errors.h"
#include "hexcode.h"
#include "levelfile.h"
#include "pathnames.h"
#include "platform.h"
#include "romimage.h"
#include "tilepictures.h"
#include "wholefile.h"

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

// Reads the whole level and every picture it needs; nothing changes.
LevelDocument::Prepared LevelDocument::prepare(wmb::RomFile &rom, int level) const
{
    Prepared prepared;
    prepared.level = level;
    prepared.record = wmb::readLevelRecord(rom, wmb::LevelBaseOf(level));
    prepared.fields = wmb::fieldsFromRecord(prepared.record);
    mTiles.loadMap(prepared.fields.codes);
    return prepared;
}

void LevelDocument::showFields(const wmb::LevelFields &fields)
{
    mTexts = {fields.timer, fields.name, fields.author, fields.hint};
    emit fieldsChanged();
    noteEdited();
}

// The level as read: the history starts afresh.
void LevelDocument::showFromDisk(const Prepared &level)
{
    mKnown.set(level.record);
    QList<int> all;
    for (int n = 1; n <= wmb::MapCells; ++n) {
        mCells[static_cast<std::size_t>(n - 1)] = level.record.tiles[static_cast<std::size_t>(n - 1)];
        all << n;
    }
    emit cellsChanged(all);
    showFields(level.fields);
    endStep();
    mHistory->clear();
    emit mapHistoryCleared();
    noteImage();
}

// A level loaded: as read from the disk, and nothing selected.
void LevelDocument::showLoaded(const Prepared &level)
{
    mLoaded = level.level;
    showFromDisk(level);
    select({});
    emit loaded();
}

void LevelDocument::openImage(wmb::RomFile rom, bool readOnly, int level)
{
    const Prepared prepared = prepare(rom, level);
    mRom = std::move(rom);
    mReadOnly = readOnly;
    mMissing = false;
    mImageHistory.clear();
    emit imageHistoryChanged();
    watchImage();
    showLoaded(prepared);
}

void LevelDocument::loadLevel(int level)
{
    reopen();
    showLoaded(prepare(mRom, level));
}

void LevelDocument::restoreEdits(const wmb::RecoveryFile &edits)
{
    reopen();
    const Prepared disk = prepare(mRom, edits.level);
    std::vector<std::string> needed;
    for (const std::uint8_t code : edits.codes)
        needed.push_back(wmb::IntToHexText(code));
    mTiles.loadMap(needed);
    showLoaded(disk);
    mKnown.set(edits.record);
    mKnown.seen(disk.record);
    beginStep(QStringLiteral("Restore"));
    for (int n = 1; n <= wmb::MapCells; ++n)
        setCell(n, edits.codes[static_cast<std::size_t>(n - 1)]);
    endStep();
    mTexts = edits.texts;
    emit fieldsChanged();
    noteEdited();
}

wmb::RomFile LevelDocument::openRomFile(const std::string &path, bool &readOnly)
{
    wmb::RomFile rom;
    rom.assign(path);
    readOnly = false;
    try {
        rom.open();
    } catch (const wmb::InOutError &e) {
        if (e.code() != wmb::IoAccessDenied)
            throw;
        // An image that may be read but not written opens for viewing; a
        // folder or device is refused here with the same message.
        rom.openForReading();
        readOnly = true;
    }
    return rom;
}

void LevelDocument::reopen() { mReadOnly ? mRom.openForReading() : mRom.open(); }

void LevelDocument::openForWriting()
{
    if (mReadOnly)
        throw wmb::InOutError(wmb::IoAccessDenied);
    mRom.open();
}

bool LevelDocument::changedOnDisk() { return mKnown.changedByOther(wmb::readLevelRecord(mRom, levelBase())); }

void LevelDocument::reloadFromDisk() { showFromDisk(prepare(mRom, mLoaded)); }

// The texts show what was stored: filled to their lengths, "?" for a
// character without a code.
void LevelDocument::showSaved(const wmb::LevelRecord &record)
{
    mKnown.set(record);
    wmb::LevelFields stored = wmb::fieldsFromRecord(record);
    showFields(stored);
    noteImage();
}

void LevelDocument::writeRecord(const wmb::LevelRecord &record)
{
    const std::string before = shownRecordBytes();
    backUpBefore(mRom.path(), [this] { return imageBytes(); });
    wmb::writeLevelRecord(mRom, levelBase(), record);   // flushed to the disk
    noteWroteShownRecord(before);
    showSaved(record);
}

wmb::LevelRecord LevelDocument::prepareImport(const std::string &levelFile)
{
    if (!levelLoaded())
        throw wmb::NoLevelError();
    if (mReadOnly)
        throw wmb::InOutError(wmb::IoAccessDenied);
    const wmb::LevelFields fields = wmb::parseLevelFile(wmb::readWholeFile(levelFile));
    mTiles.loadMap(fields.codes);
    return wmb::recordFromFields(fields);
}

// One step of the image's history, named after the file; the level is
// read back whether or not its bytes changed, as an import always shows
// what the image holds.
void LevelDocument::writeImported(const wmb::LevelRecord &record, const std::string &stepName)
{
    writeImage(wmb::pasteLevel(imageBytes(), record, mLoaded), stepName);
    loadLevel(mLoaded);
}

std::string LevelDocument::imageBytes()
{
    try {
        return wmb::readWholeFile(mRom.path());
    } catch (const wmb::InOutError &e) {
        if (e.code() != wmb::IoFileNotFound || !mRom.isOpen())
            throw;
        return mRom.readAll();
    }
}

// Written whole beside its place and renamed there; any failure leaves the
// document on the image it had.
void LevelDocument::saveImageAs(const std::string &target)
{
    std::string image = imageBytes();
    std::optional<wmb::LevelRecord> record;
    if (levelLoaded()) {
        record = recordToSave();
        wmb::putLevelRecord(image, levelBase(), *record);
    }
    // An image replaced by the copy is backed up as any image written into.
    if (wmb::fileStatus(target).kind == wmb::FileKind::Plain)
        backUpBefore(target, [&] { return wmb::readWholeFile(target); });
    wmb::writeFileAtomically(target, image);
    bool readOnly = false;
    wmb::RomFile copy = openRomFile(target, readOnly);
    mRom = std::move(copy);
    mReadOnly = readOnly;
    mMissing = false;
    // The steps before were writes into the image left behind.
    mImageHistory.clear();
    emit imageHistoryChanged();
    watchImage();
    if (record)
        showSaved(*record);
    noteImage();
}

// As the name now reads; when the name is gone, through the handle held.
std::array<std::optional<wmb::LevelRecord>, wmb::LevelCount> LevelDocument::readAllRecords()
{
    std::array<std::optional<wmb::LevelRecord>, wmb::LevelCount> records;
    wmb::RomFile rom;
    wmb::RomFile *from = &rom;
    try {
        if (mRom.assigned()) {
            rom.assign(mRom.path());
            rom.openForReading();
        }
    } catch (const std::exception &) {
        if (mRom.isOpen())
            from = &mRom;
    }
    for (int n = 1; n <= wmb::LevelCount; ++n) {
        try {
            records[static_cast<std::size_t>(n - 1)] = wmb::readLevelRecord(*from, wmb::LevelBaseOf(n));
        } catch (const std::exception &) {
        }
    }
    return records;
}

// Watches the image's name and its folder (a file renamed over the image
// shows there), and the folder of the file a link leads to. The paths are
// added anew each time, so the watch moves to a file that replaced the image.
void LevelDocument::watchImage()
{
    if (!mWatcher) {
        mWatcher = new QFileSystemWatcher(this);
        mFollowTimer = new QTimer(this);
        mFollowTimer->setSingleShot(true);
        mFollowTimer->setInterval(FollowDelayMs);
        connect(mFollowTimer, &QTimer::timeout, this, &LevelDocument::followImageFile);
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
    const QFileInfo image(qStringFromPath(mRom.path()));
    QStringList paths{image.absolutePath()};
    if (exists(mRom.path())) {
        paths << image.absoluteFilePath();
        const QString target = QFileInfo(image.canonicalFilePath()).absolutePath();
        if (target != paths.front())
            paths << target;
    }
    mWatcher->addPaths(paths);
}

bool LevelDocument::imageChangePending() const { return mFollowTimer && mFollowTimer->isActive(); }

void LevelDocument::followImageFile()
{
    if (mFollowTimer)
        mFollowTimer->stop();
    if (!mRom.assigned())
        return;
    if (mChangeDepth > 0) {
        // A dialog of a handler is open: the level is not changed under it.
        mFollowTimer->start();
        return;
    }
    mMissing = !exists(mRom.path());
    watchImage();
    if (!mMissing && levelLoaded()) {
        try {
            followShownLevel();
        } catch (const std::exception &) {
            // A record or a picture that cannot be read leaves the level as
            // it is shown; the next load or save reports why.
        }
    }
    noteImage();
}

// The handle moves to the file the name now leads to (so that a copy made
// after the name is gone holds the latest image); the record is read by the
// name, so an image that may now only be read is followed too.
void LevelDocument::followShownLevel()
{
    try {
        reopen();
    } catch (const std::exception &) {
        // The handle open before stays.
    }
    wmb::RomFile disk;
    disk.assign(mRom.path());
    disk.openForReading();
    const wmb::LevelRecord onDisk = wmb::readLevelRecord(disk, levelBase());
    if (mKnown.follows(onDisk, wouldChangeRecord()))
        showFromDisk(prepare(disk, mLoaded));
    else
        mKnown.seen(onDisk);
}
