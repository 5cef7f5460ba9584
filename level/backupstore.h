// The backups of images kept in one folder (the editor's data folder's
// "backups"): listing them, adding one and pruning the rest. Each backup is
// the image's bytes in a file named by backupName, beside a ".path" file
// holding the whole path of the image it came from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "backups.h"

namespace wmb {

// The folder of the backups inside the editor's data folder.
inline constexpr const char *BackupsFolderName = "backups";

struct StoredBackup {
    std::string file;         // the backup's own path
    std::string imagePath;    // the image it came from; empty when its ".path" file is missing
    std::int64_t timeMs = 0;
    std::int64_t size = 0;
};

// The path an image's backups are filed under: absolute, links followed.
std::string backupImageKey(const std::string &imagePath);

class BackupStore {
public:
    explicit BackupStore(std::string folder) : mFolder(std::move(folder)) {}
    const std::string &folder() const { return mFolder; }

    // Newest first; a missing folder holds none.
    std::vector<StoredBackup> all() const;
    std::vector<StoredBackup> of(const std::string &imagePath) const;

    // Writes `bytes` as a backup of the image made at nowMs (the folder made
    // when missing), through a temporary file that is synced before its
    // rename; then removes what the limits no longer keep. Throws
    // InOutError, and then no backup was added and none removed.
    StoredBackup add(const std::string &imagePath, std::string_view bytes, std::int64_t nowMs,
                     const BackupLimits &limits);

private:
    void prune(const BackupLimits &limits) const;

    std::string mFolder;
};

} // namespace wmb
