// The rules of the backups the editor makes of an image before it writes
// into it: when one is due, what its file is called, which ones to keep.
// Plain values in, plain values out; times are milliseconds since 1970 (UTC).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wmb {

// A later write of the same run makes a new backup once this much time has
// passed since the image's last one.
constexpr std::int64_t BackupIntervalMs = 10 * 60 * 1000;

struct BackupLimits {
    int perImage = 20;                          // the newest this many of each image
    std::int64_t totalBytes = 500'000'000;      // of all backups together
};

// True when a write now needs a backup first: none was made of the image in
// this run (lastMs empty), or the last is BackupIntervalMs old or older.
bool backupDue(std::optional<std::int64_t> lastMs, std::int64_t nowMs);

// Eight hex digits of a hash of the image's whole path: images of the same
// name in different folders get backups of different names.
std::string pathHash(std::string_view imagePath);

// "rom.nes.1a2b3c4d.20261209-201400-123.bak": the image's file name, the
// hash of its whole path and the time (UTC) to the millisecond.
std::string backupName(std::string_view imagePath, std::int64_t timeMs);

struct BackupNameParts {
    std::string imageName;
    std::string hash;
    std::int64_t timeMs = 0;
    bool operator==(const BackupNameParts &) const = default;
};
// The parts of a name backupName made; nothing for any other name.
std::optional<BackupNameParts> parseBackupName(std::string_view name);

// One stored backup as the pruning rule sees it.
struct BackupEntry {
    std::string image;        // the whole path of the image it came from
    std::int64_t timeMs = 0;
    std::int64_t size = 0;
};
// The indexes of the entries to remove: beyond the newest perImage of each
// image, then the oldest of all until the rest fit in totalBytes. The newest
// entry of all is always kept.
std::vector<std::size_t> backupsToPrune(const std::vector<BackupEntry> &entries, const BackupLimits &limits);

// How a backup differs from the image now: the levels whose records differ
// (as compareImages counts a difference; a record one of them is too short
// for differs from one the other holds), and whether any byte outside the
// level records differs, the files' sizes included.
struct WholeImageDifference {
    std::vector<int> levels;
    bool otherBytes = false;
    bool operator==(const WholeImageDifference &) const = default;
};
WholeImageDifference compareWholeImages(std::string_view image, std::string_view backup);
// "3, 7" or "none".
std::string describeLevels(const std::vector<int> &levels);

} // namespace wmb
