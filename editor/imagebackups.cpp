#include "imagebackups.h"

#include <chrono>

#include "datafolder.h"
#include "errors.h"
#include "pathnames.h"
#include "platform.h"
#include "settings.h"

ImageBackups::ImageBackups()
    : mClock([] {
          return std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::system_clock::now().time_since_epoch())
              .count();
      })
{
}

std::string ImageBackups::folder()
{
    const QString data = dataFolder();
    return data.isEmpty() ? std::string() : wmb::pathInFolder(pathFromQString(data), wmb::BackupsFolderName);
}

std::vector<wmb::StoredBackup> ImageBackups::of(const std::string &imagePath) const
{
    const std::string in = folder();
    return in.empty() ? std::vector<wmb::StoredBackup>() : wmb::BackupStore(in).of(imagePath);
}

std::string ImageBackups::beforeWrite(const std::string &imagePath, const std::function<std::string()> &read)
{
    const std::string key = wmb::backupImageKey(imagePath);
    const std::int64_t now = mClock();
    const auto last = mLast.find(key);
    if (!wmb::backupDue(last == mLast.end() ? std::nullopt : std::optional<std::int64_t>(last->second), now))
        return {};
    const std::string in = folder();
    if (in.empty())
        return "no data folder";
    try {
        const EditorSettings settings;
        const wmb::BackupLimits limits{settings.backupsPerImage(),
                                       std::int64_t{settings.backupMegabytes()} * 1'000'000};
        wmb::BackupStore(in).add(key, read(), now, limits);
    } catch (const std::exception &e) {
        return e.what();
    }
    mLast[key] = now;
    return {};
}
