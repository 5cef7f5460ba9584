// Level records in real image files: where each field lies, that a save
// writes nothing but field bytes, and the conversions to and from the
// editor's texts.
#include "core_support.h"
#include "errors.h"
#include "levelrecord.h"
#include "leveltext.h"
#include "romfile.h"

#include <gtest/gtest.h>

#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#endif

using namespace wmb;
using namespace wmbtest;

namespace {
constexpr std::size_t ImageSize = 73744;

// A field at [base + from, base + from + length) of the image.
Bytes slice(const Bytes &image, std::int64_t base, int from, int length)
{
    return Bytes(image.begin() + base + from, image.begin() + base + from + length);
}

template <std::size_t N>
Bytes bytesOf(const std::array<std::uint8_t, N> &field)
{
    return Bytes(field.begin(), field.end());
}

RomFile openRom(const std::string &path)
{
    RomFile rom;
    rom.assign(path);
    rom.open();
    return rom;
}

LevelRecord distinctRecord(unsigned seed)
{
    const Bytes r = randomBytes(254, seed);
    LevelRecord record;
    std::copy(r.begin(), r.begin() + 168, record.tiles.begin());
    std::copy(r.begin() + 168, r.begin() + 183, record.name.begin());
    std::copy(r.begin() + 183, r.begin() + 196, record.author.begin());
    std::copy(r.begin() + 196, r.begin() + 251, record.hint.begin());
    record.timer = r[251];
    return record;
}

// The image as a save of record at base must leave it, offsets written out.
Bytes withRecord(Bytes image, std::int64_t base, const LevelRecord &record)
{
    std::copy(record.author.begin(), record.author.end(), image.begin() + base - 31);
    image[base - 17] = record.timer;
    std::copy(record.name.begin(), record.name.end(), image.begin() + base - 16);
    std::copy(record.tiles.begin(), record.tiles.end(), image.begin() + base);
    std::copy(record.hint.begin(), record.hint.end(), image.begin() + base + 168);
    return image;
}
} // namespace

TEST(LevelRecordTest, LevelOneFieldsLieAtTheirOffsets)
{
    TempFolder folder;
    const Bytes image = randomBytes(ImageSize, 3);
    writeBytes(folder.file("rom.nes"), image);
    RomFile rom = openRom(folder.file("rom.nes"));

    EXPECT_EQ(LevelBaseOf(1), 49200);
    EXPECT_EQ(LevelBaseOf(2), 49456);
    EXPECT_EQ(LevelBaseOf(32), 57136);
    const LevelRecord record = readLevelRecord(rom, 49200);
    EXPECT_EQ(bytesOf(record.author), Bytes(image.begin() + 49169, image.begin() + 49182));
    EXPECT_EQ(record.timer, image[49183]);
    EXPECT_EQ(bytesOf(record.name), Bytes(image.begin() + 49184, image.begin() + 49199));
    EXPECT_EQ(bytesOf(record.tiles), Bytes(image.begin() + 49200, image.begin() + 49368));
    EXPECT_EQ(bytesOf(record.hint), Bytes(image.begin() + 49368, image.begin() + 49423));
}

TEST(LevelRecordTest, EveryLevelReadsItsOwnBytes)
{
    TempFolder folder;
    const Bytes image = randomBytes(ImageSize, 4);
    writeBytes(folder.file("rom.nes"), image);
    RomFile rom = openRom(folder.file("rom.nes"));
    for (int level = 1; level <= 32; ++level) {
        const std::int64_t base = 48944 + 256 * level;
        EXPECT_EQ(levelOfBase(LevelBaseOf(level)), level);
        const LevelRecord record = readLevelRecord(rom, LevelBaseOf(level));
        EXPECT_EQ(bytesOf(record.author), slice(image, base, -31, 13)) << level;
        EXPECT_EQ(record.timer, image[base - 17]) << level;
        EXPECT_EQ(bytesOf(record.name), slice(image, base, -16, 15)) << level;
        EXPECT_EQ(bytesOf(record.tiles), slice(image, base, 0, 168)) << level;
        EXPECT_EQ(bytesOf(record.hint), slice(image, base, 168, 55)) << level;
    }
}

TEST(LevelRecordTest, ImageSizeDecidesWhetherTheLastLevelLoads)
{
    TempFolder folder;
    const struct {
        std::size_t size;
        int level;
        bool loads;
    } cases[] = {
        {57359, 32, true}, {57358, 32, false}, {49423, 1, true}, {49422, 1, false},
        {49300, 1, false}, {0, 1, false},
    };
    for (const auto &c : cases) {
        const Bytes image = randomBytes(c.size, 5);
        writeBytes(folder.file("rom.nes"), image);
        RomFile rom = openRom(folder.file("rom.nes"));
        if (c.loads) {
            const LevelRecord record = readLevelRecord(rom, LevelBaseOf(c.level));
            EXPECT_EQ(record.hint.back(), image[LevelBaseOf(c.level) + 222]);
        } else {
            try {
                readLevelRecord(rom, LevelBaseOf(c.level));
                ADD_FAILURE() << c.size << " bytes must not load level " << c.level;
            } catch (const InOutError &e) {
                EXPECT_STREQ(e.what(), "Read beyond end of file");
            }
        }
    }
}

TEST(LevelRecordTest, SaveChangesOnlyFieldBytes)
{
    TempFolder folder;
    const std::string path = folder.file("rom.nes");
    Bytes expected = randomBytes(ImageSize, 6);
    writeBytes(path, expected);
    RomFile rom = openRom(path);
    for (const int level : {1, 2, 17, 31, 32}) {
        const LevelRecord record = distinctRecord(level);
        writeLevelRecord(rom, LevelBaseOf(level), record);
        expected = withRecord(expected, LevelBaseOf(level), record);
        ASSERT_EQ(readBytes(path), expected) << "after saving level " << level;
        EXPECT_EQ(readLevelRecord(rom, LevelBaseOf(level)), record);
    }
}

TEST(LevelRecordTest, ShortImageGetsNothingWritten)
{
    TempFolder folder;
    const std::string path = folder.file("rom.nes");
    const struct {
        std::size_t size;
        int level;
    } cases[] = {{49300, 1}, {49422, 1}, {57358, 32}, {10, 1}};
    for (const auto &c : cases) {
        const Bytes image = randomBytes(c.size, 7);
        writeBytes(path, image);
        RomFile rom = openRom(path);
        try {
            writeLevelRecord(rom, LevelBaseOf(c.level), distinctRecord(8));
            ADD_FAILURE() << "saved into a " << c.size << "-byte image";
        } catch (const InOutError &e) {
            EXPECT_STREQ(e.what(), "Read beyond end of file");
        }
        EXPECT_EQ(readBytes(path), image) << c.size;
    }
}

#ifndef _WIN32   // a file size limit is a POSIX resource limit
TEST(LevelRecordTest, FailedWritePutsTheFieldsBack)
{
    // A file size limit inside the hint makes the last field's write fail
    // after the other four have been written.
    TempFolder folder;
    const std::string path = folder.file("rom.nes");
    const Bytes image = randomBytes(ImageSize, 9);
    writeBytes(path, image);
    const int result = runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(LevelBaseOf(5) + 180), static_cast<rlim_t>(LevelBaseOf(5) + 180)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 77;
        try {
            RomFile rom = openRom(path);
            writeLevelRecord(rom, LevelBaseOf(5), distinctRecord(10));
        } catch (const InOutError &e) {
            return std::string(e.what()) == "I/O error 27" ? 0 : 2;   // EFBIG
        }
        return 1;
    });
    ASSERT_NE(result, 77) << "cannot set a file size limit";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readBytes(path), image);
}
#endif

TEST(LevelFieldsTest, LoadShowsCodesTimerAndTexts)
{
    LevelRecord record;
    record.tiles[0] = 0x00;
    record.tiles[13] = 0x0A;
    record.tiles[14] = 0x1F;
    record.tiles[167] = 0xFF;
    record.name = {0x48, 0x45, 0x4C, 0x4C, 0x4F};
    record.author.fill(0x7C);
    record.hint[0] = 0x05;
    const struct {
        std::uint8_t timer;
        const char *shown;
    } timers[] = {{0, "0"}, {20, "100"}, {240, "1200"}, {255, "1275"}};
    for (const auto &t : timers) {
        record.timer = t.timer;
        const LevelFields fields = fieldsFromRecord(record);
        EXPECT_EQ(fields.timer, t.shown);
        EXPECT_EQ(fields.codes[0], "0");
        EXPECT_EQ(fields.codes[13], "A");
        EXPECT_EQ(fields.codes[14], "1F");
        EXPECT_EQ(fields.codes[167], "FF");
        EXPECT_EQ(characterCount(fields.name), 15u);
        EXPECT_EQ(fields.name.substr(0, 5), "HELLO");
        EXPECT_EQ(characterCount(fields.author), 13u);
        EXPECT_EQ(characterCount(fields.hint), 54u) << "the 0x05 leaves no trace";
    }
}

TEST(LevelFieldsTest, TimerTextIsClampedThenDividedByFive)
{
    const std::pair<const char *, int> cases[] = {
        {"0", 0}, {"4", 0}, {"5", 1}, {"100", 20}, {"1200", 240}, {"1203", 240}, {"1275", 255},
        {"1280", 255}, {"1300", 255}, {"2147483647", 255}, {"-5", 0}, {"-2147483648", 0},
        {"  100", 20}, {"+10", 2},
    };
    for (const auto &[text, stored] : cases)
        EXPECT_EQ(timerByteFromText(text), stored) << text;
    for (const char *bad : {"", "12a", "1 2", "99999999999"}) {
        try {
            timerByteFromText(bad);
            ADD_FAILURE() << bad;
        } catch (const ConvertError &e) {
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

TEST(LevelFieldsTest, TimerArrowsStepByFiveWithinZeroAnd1200)
{
    std::vector<int> down100;
    for (int v = 95; v >= 0; v -= 5)
        down100.push_back(v);
    down100.push_back(0);
    const struct {
        bool up;
        int start;
        std::vector<int> seen;   // after each click of the arrow
    } cases[] = {
        {false, 100, down100}, {false, 5, {0}}, {false, 6, {1}}, {false, 7, {2, 0}},
        {true, 1195, {1200, 1200}}, {true, 1199, {1204, 1200}}, {true, 1300, {1200}},
        {true, 0, {5}}, {false, -20, {0}},
    };
    for (const auto &c : cases) {
        std::vector<int> seen;
        for (int timer = c.start; seen.size() < c.seen.size();)
            seen.push_back(timer = c.up ? timerArrowUp(timer) : timerArrowDown(timer));
        EXPECT_EQ(seen, c.seen) << c.start << (c.up ? " up" : " down");
    }
}

TEST(LevelFieldsTest, SaveEncodesCodesAndTexts)
{
    LevelFields fields;
    fields.codes.fill("0");
    fields.codes[0] = "1f";
    fields.codes[1] = "100";
    fields.codes[2] = "G";
    fields.codes[3] = "";
    fields.codes[4] = "FF";
    fields.timer = "1203";
    fields.name = "ABC";
    fields.author = "\xD0\x86|\xE2\x80\xA2";
    fields.hint = "";
    const LevelRecord record = recordFromFields(fields);
    EXPECT_EQ((Bytes{record.tiles[0], record.tiles[1], record.tiles[2], record.tiles[3], record.tiles[4]}),
              (Bytes{31, 0, 0, 0, 255}));
    EXPECT_EQ(record.timer, 240);
    Bytes name = {0x41, 0x42, 0x43};
    name.resize(15, 0x00);
    EXPECT_EQ(bytesOf(record.name), name);
    Bytes author = {0x7C, 0x3F, 0x00};
    author.resize(13, 0x00);
    EXPECT_EQ(bytesOf(record.author), author);
    EXPECT_EQ(bytesOf(record.hint), Bytes(55, 0x00));

    fields.timer = "";
    EXPECT_THROW(recordFromFields(fields), ConvertError);
}

TEST(LevelFieldsTest, LoadThenSaveGivesTheSameRecord)
{
    // Texts of table bytes only and any timer byte survive unchanged.
    Bytes tableBytes = {0x00, 0x7C};
    for (int b = 0x20; b <= 0x7E; ++b) {
        if (b != 0x7C)
            tableBytes.push_back(static_cast<std::uint8_t>(b));
    }
    for (unsigned seed = 0; seed < 20; ++seed) {
        LevelRecord record = distinctRecord(100 + seed);
        for (auto *field : {record.name.data(), record.author.data(), record.hint.data()}) {
            const std::size_t n = field == record.name.data() ? 15 : field == record.author.data() ? 13 : 55;
            for (std::size_t i = 0; i < n; ++i)
                field[i] = tableBytes[field[i] % tableBytes.size()];
        }
        EXPECT_EQ(recordFromFields(fieldsFromRecord(record)), record) << seed;
    }
}

// The disk's record against what the editor read or wrote (a save asks) and
// against what it last saw (the shown level follows a new change only, and
// only without unsaved changes).
TEST(LevelRecordTest, KnownRecordTellsOtherProgramsChanges)
{
    const LevelRecord mine = distinctRecord(1), theirs = distinctRecord(2), later = distinctRecord(3);
    KnownRecord known;
    known.set(mine);
    const struct {
        const LevelRecord &onDisk;
        bool unsaved, follows, changedByOther;
    } steps[] = {
        {mine, false, false, false},    // the editor's own write
        {theirs, true, false, true},    // changed under unsaved edits: kept
        {theirs, false, false, true},   // the edits undone: the same change is not followed later
        {later, false, true, true},     // a new change
    };
    for (const auto &s : steps) {
        EXPECT_EQ(known.follows(s.onDisk, s.unsaved), s.follows);
        EXPECT_EQ(known.changedByOther(s.onDisk), s.changedByOther);
        known.seen(s.onDisk);
    }
}
