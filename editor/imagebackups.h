// The backups of the images the editor writes into, kept in its data
// folder: one before the first write of a run into each image, and again
// before a later write once BackupIntervalMs have passed since that image's
// last one. What they keep comes from the settings.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "backupstore.h"

class ImageBackups {
public:
    ImageBackups();

    // The data folder's "backups"; empty when the system names no data folder.
    static std::string folder();
    std::vector<wmb::StoredBackup> of(const std::string &imagePath) const;

    // Before a write into the image at imagePath, whose bytes `read` gives:
    // the backup the rules ask for. Returns empty when one was made or none
    // was due, otherwise why none could be made ("Disk full"); then the next
    // write tries again.
    std::string beforeWrite(const std::string &imagePath, const std::function<std::string()> &read);

    // Milliseconds since 1970 (UTC); the system clock unless a test sets one.
    void setClock(std::function<std::int64_t()> clock) { mClock = std::move(clock); }

private:
    std::function<std::int64_t()> mClock;
    std::map<std::string, std::int64_t> mLast;   // by backupImageKey: this run's last backup
};
