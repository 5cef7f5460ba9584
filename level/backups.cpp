#include "backups.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>

#include "levelrecord.h"
#include "levelset.h"

namespace wmb {

bool backupDue(std::optional<std::int64_t> lastMs, std::int64_t nowMs)
{
    // A clock set back counts as time passed: the backup is made.
    return !lastMs || nowMs - *lastMs >= BackupIntervalMs || nowMs < *lastMs;
}

std::string pathHash(std::string_view imagePath)
{
    std::uint64_t h = 14695981039346656037u;   // FNV-1a
    for (const char c : imagePath) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211u;
    }
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>((h ^ (h >> 32)) & 0xFFFFFFFFu));
    return text;
}

namespace {

constexpr std::string_view Suffix = ".bak";
constexpr std::int64_t DayMs = 86'400'000;

// Days since 1970-01-01 to the civil date and back (proleptic Gregorian).
void civilFromDays(std::int64_t z, int &y, int &m, int &d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

std::int64_t daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * static_cast<unsigned>(m > 2 ? m - 3 : m + 9) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::string fileNameOf(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool digits(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int number(std::string_view s) { return std::accumulate(s.begin(), s.end(), 0, [](int n, char c) { return n * 10 + (c - '0'); }); }

} // namespace

std::string backupName(std::string_view imagePath, std::int64_t timeMs)
{
    const std::int64_t days = (timeMs >= 0 ? timeMs : timeMs - DayMs + 1) / DayMs;
    const std::int64_t inDay = timeMs - days * DayMs;
    int y = 0, m = 0, d = 0;
    civilFromDays(days, y, m, d);
    char time[64];   // room for any year the type holds
    std::snprintf(time, sizeof time, "%04d%02d%02d-%02d%02d%02d-%03d", y, m, d, static_cast<int>(inDay / 3'600'000),
                  static_cast<int>(inDay / 60'000 % 60), static_cast<int>(inDay / 1000 % 60),
                  static_cast<int>(inDay % 1000));
    return fileNameOf(imagePath) + "." + pathHash(imagePath) + "." + time + std::string(Suffix);
}

std::optional<BackupNameParts> parseBackupName(std::string_view name)
{
    // name.HHHHHHHH.YYYYMMDD-HHMMSS-mmm.bak
    constexpr std::size_t TimeLength = 19;
    constexpr std::size_t Tail = 1 + 8 + 1 + TimeLength + Suffix.size();
    if (name.size() <= Tail || name.substr(name.size() - Suffix.size()) != Suffix)
        return std::nullopt;
    const std::string_view rest = name.substr(name.size() - Tail);
    const std::string_view hash = rest.substr(1, 8);
    const std::string_view time = rest.substr(10, TimeLength);
    if (rest[0] != '.' || rest[9] != '.' || time[8] != '-' || time[15] != '-' ||
        !std::all_of(hash.begin(), hash.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }) ||
        !digits(time.substr(0, 8)) || !digits(time.substr(9, 6)) || !digits(time.substr(16, 3)))
        return std::nullopt;
    const int y = number(time.substr(0, 4)), mo = number(time.substr(4, 2)), d = number(time.substr(6, 2));
    const int h = number(time.substr(9, 2)), mi = number(time.substr(11, 2)), s = number(time.substr(13, 2));
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    BackupNameParts parts;
    parts.imageName = std::string(name.substr(0, name.size() - Tail));
    parts.hash = std::string(hash);
    parts.timeMs = daysFromCivil(y, mo, d) * DayMs + ((h * 60 + mi) * 60 + s) * std::int64_t{1000} +
                   number(time.substr(16, 3));
    return parts;
}

std::vector<std::size_t> backupsToPrune(const std::vector<BackupEntry> &entries, const BackupLimits &limits)
{
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return entries[a].timeMs > entries[b].timeMs; });
    std::vector<bool> remove(entries.size(), false);
    std::map<std::string, int> kept;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const BackupEntry &e = entries[order[i]];
        if (++kept[e.image] > limits.perImage && i > 0)
            remove[order[i]] = true;
        else
            total += e.size;
    }
    for (std::size_t i = order.size(); i-- > 1 && total > limits.totalBytes;) {
        if (!remove[order[i]]) {
            remove[order[i]] = true;
            total -= entries[order[i]].size;
        }
    }
    std::vector<std::size_t> result;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (remove[i])
            result.push_back(i);
    return result;
}

WholeImageDifference compareWholeImages(std::string_view image, std::string_view backup)
{
    WholeImageDifference difference;
    std::string outsideA(image), outsideB(backup);
    for (int n = 1; n <= LevelCount; ++n) {
        std::optional<LevelRecord> a, b;
        try {
            a = levelRecordIn(image, n);
            putLevelRecord(outsideA, LevelBaseOf(n), LevelRecord{});
        } catch (const RuntimeError &) {
        }
        try {
            b = levelRecordIn(backup, n);
            putLevelRecord(outsideB, LevelBaseOf(n), LevelRecord{});
        } catch (const RuntimeError &) {
        }
        if (a.has_value() != b.has_value() || (a && compareLevels(*a, *b).any()))
            difference.levels.push_back(n);
    }
    difference.otherBytes = outsideA != outsideB;
    return difference;
}

std::string describeLevels(const std::vector<int> &levels)
{
    std::string text;
    for (const int n : levels)
        text += (text.empty() ? "" : ", ") + std::to_string(n);
    return text.empty() ? "none" : text;
}

} // namespace wmb
