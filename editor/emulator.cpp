#include "emulator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "desktop.h"
#include "errors.h"
#include "pathnames.h"
#include "shellwords.h"
#include "wholefile.h"

namespace {

[[noreturn]] void cannotStart(const QString &program, const QString &reason)
{
    throw wmb::RuntimeError(
        QStringLiteral("Cannot start the emulator \"%1\": %2").arg(program, reason).toStdString());
}

const QString LockName = QStringLiteral("lock");
const QString PidSuffix = QStringLiteral(".pid");
const QString FolderPrefix = QStringLiteral("editor-");
// Room left in a copy's name for the names made beside it: its pid file and
// the temporary file of its write.
constexpr int NameReserve = 8;

QString copiesRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/testcopies");
}

// A lock that only a process that no longer runs leaves stale, however old.
std::unique_ptr<QLockFile> folderLock(const QString &folder)
{
    auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + LockName);
    lock->setStaleLockTime(0);
    return lock;
}

bool emulatorRuns(const QString &pidFile)
{
    QFile file(pidFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const qint64 pid = file.read(32).trimmed().toLongLong(&ok);
    return ok && processRuns(pid);
}

// Removes the copies, with their pid files, whose emulator has ended; true
// when no emulator of the folder runs any more.
bool removeEndedCopies(const QDir &folder)
{
    bool running = false;
    for (const QFileInfo &pid : folder.entryInfoList({QLatin1Char('*') + PidSuffix}, QDir::Files | QDir::Hidden)) {
        if (emulatorRuns(pid.filePath())) {
            running = true;
            continue;
        }
        QFile::remove(pid.filePath().chopped(PidSuffix.size()));
        QFile::remove(pid.filePath());
    }
    return !running;
}

// Removes a folder whose editor and emulators have ended, renamed first so
// that an editor choosing a name for its folder never gets one half removed.
void removeFolder(const QString &folder)
{
    const QString gone = folder + QStringLiteral(".ended");
    if (QDir().rename(folder, gone))
        QDir(gone).removeRecursively();
}

// See TestCopies: the image's name without its extension, cut by whole
// characters until the name fits, then the level and the counter.
QString testCopyName(const QString &romPath, int level, bool asFirstLevel, int counter, int limit)
{
    const QString tail = QStringLiteral("-level") + QString::number(level) +
                         (asFirstLevel ? QStringLiteral("-first") : QString()) + QLatin1Char('-') +
                         QString::number(counter) + QStringLiteral(".nes");
    // Bytes of the image's name that are not UTF-8 read as U+FFFD here, so
    // the copy's name is plain text the emulator is given as it is.
    QString name = QFileInfo(shownFileName(romPath)).completeBaseName();
    while (!name.isEmpty() && fileNameLength(name + tail) > limit)
        name.chop(name.size() > 1 && name.back().isLowSurrogate() ? 2 : 1);
    return name + tail;
}

// A program named without a folder: on the PATH, else in the folders.
QString findProgram(const QString &name, const QStringList &folders)
{
    const QString onPath = QStandardPaths::findExecutable(name);
    return onPath.isEmpty() && !folders.isEmpty() ? QStandardPaths::findExecutable(name, folders) : onPath;
}

// The words of a setting, as resolveEmulatorCommand splits them.
QStringList settingWords(const QString &setting)
{
#ifdef Q_OS_WIN
    return QProcess::splitCommand(setting);
#else
    QStringList words;
    for (const std::string &word : wmb::splitShellWords(setting.toStdString()))
        words << QString::fromStdString(word);
    return words;
#endif
}

// A word written so that the splitter reads it back: as it is when it holds
// no blank or quoting character, else in quotes (a POSIX shell's single
// quotes, or Windows' double quotes).
QString quotedWord(const QString &word)
{
#ifdef Q_OS_WIN
    if (!word.isEmpty() && !word.contains(QRegularExpression(QStringLiteral("[\\s\"]"))))
        return word;
    return QLatin1Char('"') + QString(word).replace(QLatin1Char('"'), QStringLiteral("\"\"\"")) + QLatin1Char('"');
#else
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+,:=@%-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    return QLatin1Char('\'') + QString(word).replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
#endif
}

} // namespace

QString commandWithProgram(const QString &setting, const QString &program)
{
    QStringList words;
    try {
        words = settingWords(setting);
    } catch (const wmb::RuntimeError &) {
    }
    if (words.isEmpty())
        words << QString();
    words[0] = program;
    for (QString &word : words)
        word = quotedWord(word);
    return words.join(QLatin1Char(' '));
}

EmulatorCommand resolveEmulatorCommand(const QString &setting, const QStringList &folders)
{
    QStringList words = settingWords(setting);
#ifdef Q_OS_WIN
    const bool hasFolder = words.value(0).contains(QLatin1Char('/')) || words.value(0).contains(QLatin1Char('\\'));
#else
    const bool hasFolder = words.value(0).contains(QLatin1Char('/'));
#endif
    if (words.isEmpty()) {
        for (const QString &name : DefaultEmulators) {
            const QString found = findProgram(name, folders);
            if (!found.isEmpty())
                return {found, {}};
        }
        throw wmb::RuntimeError(NoEmulatorMessage);
    }
    const QString program = words.takeFirst();
    const QString path = hasFolder ? program : findProgram(program, folders);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        cannotStart(program, QStringLiteral("No such file or directory"));
    if (!file.isFile() || !file.isExecutable())
        cannotStart(program, QStringLiteral("Permission denied"));
    return {path, words};
}

TestCopies::TestCopies() = default;

TestCopies::~TestCopies()
{
    if (!mLock)
        return;
    const bool ended = removeEndedCopies(QDir(mFolder));
    mLock->unlock();
    if (ended)
        removeFolder(mFolder);
}

void TestCopies::removeLeftovers()
{
    const QDir root(copiesRoot());
    for (const QFileInfo &folder : root.entryInfoList({FolderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden)) {
        const std::unique_ptr<QLockFile> lock = folderLock(folder.filePath());
        if (!lock->tryLock(0))
            continue;   // its editor still runs
        // Unlocked first, as the editor's exit does: a lock whose file has
        // been moved away cannot be removed, and Qt warns of it.
        if (removeEndedCopies(QDir(folder.filePath()))) {
            lock->unlock();
            removeFolder(folder.filePath());
        }
    }
}

// Another editor's start may take a folder that is not yet locked for one
// left over; a folder whose lock this editor does not get is left to it.
const QString &TestCopies::folder()
{
    if (mLock)
        return mFolder;
    const QString root = copiesRoot();
    if (!QDir().mkpath(root))
        throw wmb::RuntimeError("Cannot make the folder " + root.toStdString() + " for test copies");
    for (int attempt = 0; attempt < 10; ++attempt) {
        QTemporaryDir made(root + QLatin1Char('/') + FolderPrefix + QStringLiteral("XXXXXX"));
        if (!made.isValid())
            throw wmb::RuntimeError("Cannot make a folder for test copies: " + made.errorString().toStdString());
        made.setAutoRemove(false);
        std::unique_ptr<QLockFile> lock = folderLock(made.path());
        if (lock->tryLock(0)) {
            mFolder = made.path();
            mLock = std::move(lock);
            return mFolder;
        }
    }
    throw wmb::RuntimeError("Cannot lock a folder for test copies in " + root.toStdString());
}

QString TestCopies::start(const EmulatorCommand &command, const QString &romPath, std::string image,
                          std::int32_t levelBase, const wmb::LevelRecord &record, bool asFirstLevel)
{
    wmb::putLevelRecord(image, levelBase, record);
    if (asFirstLevel)
        wmb::putLevelRecord(image, wmb::LevelBaseOf(1), record);

    const QDir into(folder());
    const int level = wmb::levelOfBase(levelBase);
    const QString copy = into.filePath(
        testCopyName(romPath, level, asFirstLevel, ++mCount, fileNameLimit(into.path()) - NameReserve));
    wmb::writeFileAtomically(pathFromQString(copy), image);

    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments + QStringList{copy});
    qint64 pid = 0;
    if (!process.startDetached(&pid)) {
        QFile::remove(copy);
        cannotStart(command.program, process.errorString());
    }
    QFile pidFile(copy + PidSuffix);
    if (pidFile.open(QIODevice::WriteOnly))
        pidFile.write(QByteArray::number(pid) + '\n');
    return copy;
}
