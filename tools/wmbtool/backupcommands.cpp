// backups and backup: the backups the editor made of an image, found in the
// editor's own data folder.
#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <algorithm>
#include <iostream>

#include "backups.h"
#include "backupstore.h"
#include "commands.h"
#include "datafolder.h"
#include "pathnames.h"
#include "wholefile.h"

namespace wmbtool {

namespace {

// The editor's backups of the image, newest first.
std::vector<wmb::StoredBackup> backupsOf(const std::string &image)
{
    // The names the editor runs under, so the data folder is the editor's.
    QCoreApplication::setApplicationName(QStringLiteral("WMBeditor"));
    const QString folder = dataFolder();
    if (folder.isEmpty())
        throw Failure("no data folder: the system names none for this user");
    return wmb::BackupStore(wmb::pathInFolder(pathFromQString(folder), wmb::BackupsFolderName)).of(image);
}

std::string localTime(std::int64_t ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

} // namespace

void runBackups(const Invocation &inv)
{
    expectArgs(inv, 1, "IMAGE");
    const std::string &image = inv.args[0];
    const std::vector<wmb::StoredBackup> backups = backupsOf(image);
    if (backups.empty())
        return;
    const std::string now = onFile(image, [&] { return wmb::readWholeFile(image); });
    int number = 0;
    for (const wmb::StoredBackup &b : backups) {
        ++number;
        std::cout << number << '\t' << localTime(b.timeMs) << '\t' << b.size << '\t';
        try {
            const wmb::WholeImageDifference d = wmb::compareWholeImages(now, wmb::readWholeFile(b.file));
            std::cout << wmb::describeLevels(d.levels) << (d.otherBytes ? "\tother bytes differ" : "") << '\n';
        } catch (const wmb::RuntimeError &e) {
            std::cout << "cannot be read: " << e.what() << '\n';
        }
    }
    finishStdout();
}

void runBackup(const Invocation &inv)
{
    expectArgs(inv, 3, "IMAGE N OUTPUT");
    const std::string &image = inv.args[0];
    const std::string &text = inv.args[1];
    const std::string &out = inv.args[2];
    if (text.empty() || text.size() > 6 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        std::stoi(text) == 0)
        throw UsageError("'" + text + "' is not a backup number (1 is the newest)");
    const std::size_t n = static_cast<std::size_t>(std::stoi(text));
    const std::vector<wmb::StoredBackup> backups = backupsOf(image);
    if (n > backups.size())
        throw fileFailure(image, "no backup " + text + " (" + std::to_string(backups.size()) + " kept)");
    const wmb::StoredBackup &backup = backups[n - 1];
    refuseOverwritingInput(out, {image, backup.file});
    writeOutput(out, onFile(backup.file, [&] { return wmb::readWholeFile(backup.file); }));
}

} // namespace wmbtool
