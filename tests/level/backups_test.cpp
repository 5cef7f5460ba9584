// The backups of images: when one is due, their names, which ones are kept,
// and the store over a real folder.
#include "backups.h"
#include "backupstore.h"
#include "core_support.h"
#include "errors.h"
#include "levelset.h"
#include "wholefile.h"

#include <gtest/gtest.h>

using namespace wmb;
using namespace wmbtest;

namespace {
constexpr std::int64_t Minute = 60'000;
// 9 December 2026, 20:14:05.007 UTC.
constexpr std::int64_t Dec9 = 1'796'847'245'007;
} // namespace

TEST(BackupRules, DueAtTheFirstWriteOfARunAndAfterTenMinutes)
{
    const struct {
        std::optional<std::int64_t> last;
        std::int64_t now;
        bool due;
    } cases[] = {
        {std::nullopt, Dec9, true},             // the first write of the run
        {Dec9, Dec9, false},                    // a second save at once
        {Dec9, Dec9 + 10 * Minute - 1, false},
        {Dec9, Dec9 + 10 * Minute, true},
        {Dec9, Dec9 - Minute, true},            // the clock was set back
    };
    for (const auto &c : cases)
        EXPECT_EQ(backupDue(c.last, c.now), c.due) << c.now - c.last.value_or(0);
}

TEST(BackupRules, NamesCarryFileNameHashOfThePathAndTime)
{
    EXPECT_EQ(backupName("/home/ann/roms/rom.nes", Dec9),
              "rom.nes." + pathHash("/home/ann/roms/rom.nes") + ".20261209-201405-007.bak");
    EXPECT_NE(pathHash("/home/ann/roms/rom.nes"), pathHash("/home/ann/old/rom.nes"));
    EXPECT_EQ(pathHash("/a").size(), 8u);
    for (const std::int64_t t : {std::int64_t{0}, Dec9, std::int64_t{951'782'400'000} /* 29 Feb 2000 */}) {
        const std::string name = backupName("C:\\games\\my.rom.nes", t);
        EXPECT_EQ(parseBackupName(name), (BackupNameParts{"my.rom.nes", pathHash("C:\\games\\my.rom.nes"), t})) << name;
    }
    for (const char *other : {"rom.nes", "rom.nes.path", "x.1a2b3c4d.20261209-201405-007.bak.path",
                              "x.1a2b3c4g.20261209-201405-007.bak", "x.1a2b3c4d.20261309-201405-007.bak",
                              ".1a2b3c4d.20261209-201405-007.bak"})
        EXPECT_FALSE(parseBackupName(other)) << other;
}

TEST(BackupRules, PruningKeepsTheNewestOfEachImageWithinTheTotal)
{
    const auto entries = [](std::initializer_list<BackupEntry> list) { return std::vector<BackupEntry>(list); };
    const struct {
        const char *what;
        std::vector<BackupEntry> entries;
        BackupLimits limits;
        std::vector<std::size_t> removed;
    } cases[] = {
        {"within both limits", entries({{"a", 1, 10}, {"a", 2, 10}}), {20, 100}, {}},
        {"the oldest of an image beyond its count",
         entries({{"a", 3, 1}, {"a", 1, 1}, {"b", 0, 1}, {"a", 2, 1}}), {2, 100}, {1}},
        {"the oldest of all beyond the total", entries({{"a", 5, 40}, {"b", 1, 40}, {"a", 3, 40}}), {20, 90}, {1}},
        {"the count first, then the total", entries({{"a", 1, 50}, {"a", 2, 50}, {"b", 3, 50}}), {1, 60}, {0, 1}},
        {"the newest stays even when it alone is too big", entries({{"a", 1, 10}, {"a", 2, 500}}), {20, 100}, {0}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(backupsToPrune(c.entries, c.limits), c.removed) << c.what;
}

TEST(BackupStoreTest, AddsListsNewestFirstAndPrunes)
{
    TempFolder folder;
    const std::string image = folder.file("rom.nes");
    writeBytes(image, {1, 2, 3});
    BackupStore store(folder.file("data/backups"));
    EXPECT_TRUE(store.of(image).empty()) << "no folder yet";
    const BackupLimits limits{2, 1000};
    store.add(image, "first", Dec9, limits);
    store.add(folder.path() + "/./rom.nes", "second", Dec9, limits);   // the same image, another spelling
#ifdef _WIN32
    const std::string link = image;   // no symbolic links to follow here
#else
    const std::string link = folder.file("link.nes");
    std::filesystem::create_symlink(image, link);
#endif
    store.add(link, "third", Dec9 + Minute, limits);
    store.add(folder.file("other.nes"), "other", Dec9, limits);

    const std::vector<StoredBackup> backups = store.of(image);
    ASSERT_EQ(backups.size(), 2u) << "the oldest went beyond two";
    EXPECT_EQ(readWholeFile(backups[0].file), "third");
    EXPECT_EQ(readWholeFile(backups[1].file), "second");
    EXPECT_EQ(backups[1].timeMs, Dec9 + 1) << "made in the same millisecond, named apart";
    EXPECT_EQ(backups[0].imagePath, backupImageKey(image));
    EXPECT_EQ(backups[0].size, 5);
    EXPECT_EQ(store.all().size(), 3u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store.folder()), std::filesystem::directory_iterator()),
              6) << "three backups and their .path files, no temporary file";
    EXPECT_EQ(readBytes(image), (Bytes{1, 2, 3}));
}

#ifndef _WIN32
TEST(BackupStoreTest, AFolderThatCannotBeMadeAddsNothing)
{
    TempFolder folder;
    writeBytes(folder.file("file"), {0});
    BackupStore store(folder.file("file/backups"));   // a file where the folder would be
    EXPECT_THROW(store.add(folder.file("rom.nes"), "x", Dec9, {}), InOutError);
}
#endif

TEST(BackupRules, ABackupDiffersByLevelsAndByTheBytesOutsideThem)
{
    std::string image(65536, '\0');
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 7);
    const auto changed = [&](std::initializer_list<std::int64_t> offsets) {
        std::string copy = image;
        for (const std::int64_t at : offsets)
            copy[static_cast<std::size_t>(at)] ^= 1;
        return copy;
    };
    const std::int64_t cellOf3 = LevelBaseOf(3) + RecordFirstOffset;
    const struct {
        const char *what;
        std::string backup;
        WholeImageDifference difference;
    } cases[] = {
        {"the same", image, {}},
        {"a cell of level 3 and the last byte of level 32", changed({cellOf3, RecordsEnd - 1}), {{3, 32}, false}},
        {"a byte of the header", changed({0}), {{}, true}},
        {"a byte between two records", changed({LevelBaseOf(5) + RecordEndOffset}), {{}, true}},
        {"a longer file", image + "x", {{}, true}},
        {"cut inside level 32", image.substr(0, RecordsEnd - 1), {{32}, true}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(compareWholeImages(image, c.backup), c.difference) << c.what;
    EXPECT_EQ(describeLevels({3, 32}), "3, 32");
    EXPECT_EQ(describeLevels({}), "none");
}
