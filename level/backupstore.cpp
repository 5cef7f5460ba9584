#include "backupstore.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "errors.h"
#include "platform.h"
#include "wholefile.h"

namespace wmb {

namespace fs = std::filesystem;

namespace {

fs::path fsPath(const std::string &utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string utf8Of(const fs::path &path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The ".path" file beside a backup.
std::string sidecarOf(const std::string &backupFile)
{
    return backupFile.substr(0, backupFile.size() - 4) + ".path";
}

} // namespace

std::string backupImageKey(const std::string &imagePath)
{
    std::error_code error;
    fs::path path = fs::absolute(fsPath(imagePath), error);
    if (error)
        path = fsPath(imagePath);
    const fs::path canonical = fs::weakly_canonical(path, error);
    return utf8Of(error ? path.lexically_normal() : canonical);
}

std::vector<StoredBackup> BackupStore::all() const
{
    std::vector<StoredBackup> found;
    std::error_code error;
    fs::directory_iterator it(fsPath(mFolder), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const auto parts = parseBackupName(utf8Of(it->path().filename()));
        std::error_code sizeError;
        const auto size = parts ? it->file_size(sizeError) : 0;
        if (!parts || sizeError)
            continue;
        StoredBackup backup;
        backup.file = utf8Of(it->path());
        backup.timeMs = parts->timeMs;
        backup.size = static_cast<std::int64_t>(size);
        try {
            const std::string image = readWholeFile(sidecarOf(backup.file));
            if (pathHash(image) == parts->hash)
                backup.imagePath = image;
        } catch (const RuntimeError &) {
        }
        found.push_back(std::move(backup));
    }
    std::sort(found.begin(), found.end(), [](const StoredBackup &a, const StoredBackup &b) {
        return a.timeMs != b.timeMs ? a.timeMs > b.timeMs : a.file > b.file;
    });
    return found;
}

std::vector<StoredBackup> BackupStore::of(const std::string &imagePath) const
{
    const std::string key = backupImageKey(imagePath);
    std::vector<StoredBackup> found = all();
    std::erase_if(found, [&](const StoredBackup &b) { return b.imagePath != key; });
    return found;
}

StoredBackup BackupStore::add(const std::string &imagePath, std::string_view bytes, std::int64_t nowMs,
                              const BackupLimits &limits)
{
    std::error_code error;
    fs::create_directories(fsPath(mFolder), error);
    if (error)
        throwSystemError(error.value());
    const std::string key = backupImageKey(imagePath);
    StoredBackup backup;
    backup.imagePath = key;
    backup.size = static_cast<std::int64_t>(bytes.size());
    for (backup.timeMs = nowMs;; ++backup.timeMs) {
        backup.file = pathInFolder(mFolder, backupName(key, backup.timeMs));
        if (linkStatus(backup.file).kind == FileKind::Missing)
            break;
    }
    // The image's bytes first: a backup whose ".path" file is missing still
    // counts against the limits, and goes in time.
    writeFileAtomically(backup.file, bytes);
    try {
        writeFileAtomically(sidecarOf(backup.file), key);
    } catch (...) {
        removeFile(backup.file);
        throw;
    }
    prune(limits);
    return backup;
}

void BackupStore::prune(const BackupLimits &limits) const
{
    const std::vector<StoredBackup> stored = all();
    std::vector<BackupEntry> entries;
    for (const StoredBackup &b : stored)
        entries.push_back({b.imagePath.empty() ? b.file : b.imagePath, b.timeMs, b.size});
    for (const std::size_t i : backupsToPrune(entries, limits)) {
        removeFile(stored[i].file);
        removeFile(sidecarOf(stored[i].file));
    }
}

} // namespace wmb
