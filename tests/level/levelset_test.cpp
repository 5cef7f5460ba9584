// The 32 levels as a whole: copy, swap and move records, find and replace
// a tile code, compare two images; each write checked against the image
// rebuilt record by record, and undone by writing the replaced bytes back.
#include "core_support.h"
#include "errors.h"
#include "imagehistory.h"
#include "levelset.h"
#include "romfile.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <numeric>

using namespace wmb;
using namespace wmbtest;

namespace {

std::string imageOf(const Bytes &bytes) { return std::string(bytes.begin(), bytes.end()); }

// A random image: every record distinct, the bytes between fields random.
std::string randomImage() { return imageOf(randomBytes(65536, 22)); }

// Tile byte i of level n counted straight from the file's bytes.
int countInFile(const std::string &image, int level, std::uint8_t code)
{
    int count = 0;
    for (int i = 0; i < MapCells; ++i)
        count += static_cast<std::uint8_t>(image[static_cast<std::size_t>(LevelBaseOf(level) + i)]) == code;
    return count;
}

TEST(LevelSet, CopySwapAndMoveRewriteRecordsAndUndoExactly)
{
    const std::string image = randomImage();
    const LevelRecords records = levelRecordsIn(image);
    std::vector<int> same(LevelCount);
    std::iota(same.begin(), same.end(), 1);
    const auto with = [&](std::function<void(std::vector<int> &)> change) {
        std::vector<int> from = same;
        change(from);
        return from;
    };
    const struct {
        const char *what;
        ImageWrite write;
        std::vector<int> from;   // place n holds the record that was at from[n - 1]
    } cases[] = {
        {"move 12 to 3", moveLevel(image, 12, 3), with([](auto &f) { std::rotate(f.begin() + 2, f.begin() + 11, f.begin() + 12); })},
        {"move 3 to 12", moveLevel(image, 3, 12), with([](auto &f) { std::rotate(f.begin() + 2, f.begin() + 3, f.begin() + 12); })},
        {"move 32 to 1", moveLevel(image, 32, 1), with([](auto &f) { std::rotate(f.begin(), f.begin() + 31, f.end()); })},
        {"move 5 to 5", moveLevel(image, 5, 5), same},
        {"swap 1 and 32", swapLevels(image, 1, 32), with([](auto &f) { std::swap(f[0], f[31]); })},
        {"swap 9 and 9", swapLevels(image, 9, 9), same},
        {"copy 4 over 9", copyLevel(image, 4, 9), with([](auto &f) { f[8] = 4; })},
        {"paste 32's record over 1", pasteLevel(image, records[31], 1), with([](auto &f) { f[0] = 32; })},
    };
    for (const auto &c : cases) {
        std::string expected = image;
        for (int n = 1; n <= LevelCount; ++n)
            putLevelRecord(expected, LevelBaseOf(n), records[static_cast<std::size_t>(c.from[n - 1] - 1)]);
        std::string after = image;
        applyWrite(after, c.write);
        EXPECT_EQ(after, expected) << c.what;
        EXPECT_EQ(c.write.empty(), c.from == same) << c.what;
        EXPECT_EQ(c.write.replaced, image.substr(static_cast<std::size_t>(c.write.offset), c.write.replaced.size())) << c.what;
        applyWrite(after, c.write.undone());
        EXPECT_EQ(after, image) << c.what;
    }
}

// In a real file: the move of 12 to 3 is one write of that range; the
// replaced bytes written back give the file exactly; a stale write is refused.
TEST(LevelSet, WritesIntoTheFileAndBackExactly)
{
    TempFolder folder;
    const std::string path = folder.file("rom.nes");
    writeBytes(path, readBytes(WMB_DEMO_ROM));
    const std::string before = imageOf(readBytes(path));
    RomFile rom;
    rom.assign(path);
    rom.open();
    const ImageWrite move = moveLevel(before, 12, 3);
    EXPECT_GE(move.offset, LevelBaseOf(3) + RecordFirstOffset);
    EXPECT_LE(move.offset + std::ssize(move.bytes), LevelBaseOf(12) + RecordEndOffset);
    applyWrite(rom, move);
    std::string moved = before;
    applyWrite(moved, move);
    EXPECT_EQ(imageOf(readBytes(path)), moved);
    applyWrite(rom, move.undone());
    EXPECT_EQ(imageOf(readBytes(path)), before);

    moved[static_cast<std::size_t>(LevelBaseOf(7))] ^= 1;   // another program's change
    writeBytes(path, Bytes(moved.begin(), moved.end()));
    EXPECT_THROW(applyWrite(rom, move), ImageChangedError);
    EXPECT_EQ(imageOf(readBytes(path)), moved);
    const std::string shortImage = before.substr(0, RecordsEnd - 1);
    EXPECT_NO_THROW(levelRecordIn(shortImage, 31));
    EXPECT_THROW(copyLevel(shortImage, 1, 32), InOutError);
    EXPECT_FALSE(pasteLevel(shortImage, levelRecordIn(before, 3), 2).empty());   // level 2 is whole
    EXPECT_THROW(applyWrite(moved, ImageWrite{std::ssize(moved) - 1, "ab", "cd"}), InOutError);
}

// The history of writes: steps move only when their write succeeded, a new
// step forgets the ones undone, and a write covers the levels whose field
// bytes it changes (not one whose gap bytes alone it spans).
TEST(LevelSet, ImageHistoryMovesOnlyWithItsWrites)
{
    TempFolder folder;
    const std::string path = folder.file("rom.nes");
    writeBytes(path, readBytes(WMB_DEMO_ROM));
    const std::string before = imageOf(readBytes(path));
    RomFile rom;
    rom.assign(path);
    rom.open();
    ImageHistory history;
    history.write(rom, swapLevels(before, 1, 2), "Swap");
    const ImageWrite copy = copyLevel(imageOf(readBytes(path)), 3, 4);
    history.write(rom, copy, "Copy");
    EXPECT_EQ(history.undo(rom), copy.undone());
    history.write(rom, moveLevel(imageOf(readBytes(path)), 5, 6), "Move");
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undoName(), "Move");
    history.undo(rom);
    history.undo(rom);
    EXPECT_EQ(imageOf(readBytes(path)), before);
    std::string changed = before;
    changed[static_cast<std::size_t>(LevelBaseOf(1))] ^= 1;
    writeBytes(path, Bytes(changed.begin(), changed.end()));
    EXPECT_THROW(history.redo(rom), ImageChangedError);
    EXPECT_EQ(history.redoName(), "Swap");
    EXPECT_EQ(imageOf(readBytes(path)), changed);
    // Levels saved by the editor after a swap of 3 and 8, whose range spans
    // level 5: the save of 5 is left alone by the swap's undo and redo; the
    // save of 3 joins the swap, so its undo takes level 3 back to before.
    writeBytes(path, Bytes(before.begin(), before.end()));
    history.clear();
    history.write(rom, swapLevels(before, 3, 8), "Swap");
    EXPECT_FALSE(writeCoversLevel(*history.undoWrite(), 5));
    EXPECT_TRUE(writeCoversLevel(*history.undoWrite(), 8));
    std::string saved = imageOf(readBytes(path));
    for (const int level : {5, 3}) {
        const auto at = static_cast<std::size_t>(LevelBaseOf(level));
        const std::string was = saved.substr(at, 1);
        saved[at] ^= 0x40;
        rom.writeAt(LevelBaseOf(level), reinterpret_cast<const std::uint8_t *>(saved.data() + at), 1);
        history.wroteOutside(LevelBaseOf(level), was, saved.substr(at, 1));
    }
    history.undo(rom);
    std::string expected = before;
    expected[static_cast<std::size_t>(LevelBaseOf(5))] ^= 0x40;
    EXPECT_EQ(imageOf(readBytes(path)), expected);
    history.redo(rom);
    EXPECT_EQ(imageOf(readBytes(path)), saved);
    history.undo(rom);
    history.wroteOutside(LevelBaseOf(8), saved.substr(static_cast<std::size_t>(LevelBaseOf(8)), 1), "\x7f");
    EXPECT_EQ(history.size(), 0u);   // a new change in the bytes of a step undone

    // A save of all of record 3 after the swap, changing a byte where levels
    // 3 and 8 agree: it joins the swap all the same, so the undo gives record
    // 3 back whole, never the save's byte in the other level's record.
    writeBytes(path, Bytes(before.begin(), before.end()));
    history.clear();
    history.write(rom, swapLevels(before, 3, 8), "Swap");
    saved = imageOf(readBytes(path));
    const std::int64_t record3 = LevelBaseOf(3) + RecordFirstOffset, length = RecordEndOffset - RecordFirstOffset;
    std::int64_t same = 0;
    while (before[static_cast<std::size_t>(record3 + same)] != before[static_cast<std::size_t>(record3 + same + 5 * 256)])
        ++same;
    ASSERT_LT(same, length);
    const std::string was3 = saved.substr(static_cast<std::size_t>(record3), static_cast<std::size_t>(length));
    saved[static_cast<std::size_t>(record3 + same)] ^= 0x40;
    rom.writeAt(record3 + same, reinterpret_cast<const std::uint8_t *>(saved.data() + record3 + same), 1);
    history.wroteOutside(record3, was3, saved.substr(static_cast<std::size_t>(record3), static_cast<std::size_t>(length)));
    history.undo(rom);
    EXPECT_EQ(imageOf(readBytes(path)), before);
    history.redo(rom);
    EXPECT_EQ(imageOf(readBytes(path)), saved);

    const std::int64_t gapBefore2 = LevelBaseOf(2) + RecordFirstOffset - 1;
    const struct { std::int64_t offset; std::size_t size; int level; bool covers; } cases[] = {
        {LevelBaseOf(2) + RecordFirstOffset, 1, 2, true}, {LevelBaseOf(2) + RecordEndOffset - 1, 1, 2, true},
        {gapBefore2, 1, 1, false}, {gapBefore2, 1, 2, false}, {gapBefore2, 2, 2, true},
        {LevelBaseOf(2) + RecordEndOffset, 1, 2, false}, {LevelBaseOf(2), 0, 2, false}};
    for (const auto &c : cases)
        EXPECT_EQ(writeCoversLevel({c.offset, std::string(c.size, 'a'), std::string(c.size, 'b')}, c.level), c.covers)
            << c.offset << " " << c.level;
}

// A write of the file's tail (a patch that grows or shrinks the image)
// writes the file anew, keeping its mode and the link to it; its undo and
// redo go through the history like any step, and a file whose tail another
// program changed refuses it.
TEST(LevelSet, TailWritesResizeTheFileThroughTheHistory)
{
    TempFolder folder;
    const std::string path = folder.file("rom.nes");
    writeBytes(path, readBytes(WMB_DEMO_ROM));
#ifdef _WIN32
    const std::string &link = path;   // the link and the mode are POSIX's
#else
    const std::string link = folder.file("link.nes");
    ::chmod(path.c_str(), 0640);
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
#endif
    const std::string before = imageOf(readBytes(path));
    RomFile rom;
    rom.assign(link);
    rom.open();
    ImageHistory history;
    for (const std::string &after : {before + std::string(70000, 'g'), before.substr(0, 40000)}) {
        const ImageWrite write{40000, after.substr(40000), before.substr(40000)};
        history.write(rom, write, "Apply patch");
        EXPECT_TRUE(imageOf(readBytes(path)) == after);
        EXPECT_EQ(writeCoversLevel(write, 32), after.size() < before.size());   // the growth keeps its bytes
        history.undo(rom);
        EXPECT_TRUE(imageOf(readBytes(path)) == before);
        history.redo(rom);
        EXPECT_EQ(rom.size(), std::ssize(after));
        history.undo(rom);
#ifndef _WIN32
        struct stat st {};
        ASSERT_EQ(::lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0640u);
#endif
    }
    std::string changed = before;
    changed.back() ^= 1;
    writeBytes(path, Bytes(changed.begin(), changed.end()));
    EXPECT_THROW(history.redo(rom), ImageChangedError);
    EXPECT_TRUE(imageOf(readBytes(path)) == changed);
}

// Find 1F and others in the demo ROM: the counts equal a count made from the
// file's bytes, and F3's walk goes round the levels that hold the code.
TEST(LevelSet, FindCountsEqualAnIndependentCount)
{
    const std::string image = imageOf(readBytes(WMB_DEMO_ROM));
    const LevelRecords records = levelRecordsIn(image);
    for (const std::uint8_t code : {0x1F, 0x00, 0xFF, 0x01}) {
        const TileSearch search = findTile(records, code);
        int total = 0, levels = 0;
        for (int n = 1; n <= LevelCount; ++n) {
            const int count = countInFile(image, n, code);
            total += count;
            levels += count > 0;
            EXPECT_EQ(search.cells[n - 1], count) << int{code} << " in " << n;
            EXPECT_EQ(static_cast<int>(cellsHolding(records[n - 1].tiles, code).size()), count);
        }
        EXPECT_EQ(search.totalCells, total) << int{code};
        EXPECT_EQ(search.levels, levels) << int{code};
    }

    TileSearch sparse, single, none;   // sparse: levels 3, 9 and 20; single: level 7
    sparse.cells[2] = sparse.cells[8] = sparse.cells[19] = single.cells[6] = 1;
    const struct {
        const TileSearch &search;
        int level;
        bool forward;
        int next;
    } walks[] = {
        {sparse, 3, true, 9}, {sparse, 9, true, 20}, {sparse, 20, true, 3}, {sparse, 32, true, 3},
        {sparse, 3, false, 20}, {sparse, 5, false, 3}, {single, 7, true, 7}, {single, 7, false, 7},
        {none, 1, true, 0},
    };
    for (const auto &w : walks)
        EXPECT_EQ(nextLevelHolding(w.search, w.level, w.forward), w.next) << w.level << w.forward;
}

TEST(LevelSet, ReplaceCountsCellsAndLevelsAndTouchesNothingElse)
{
    const std::string image = imageOf(readBytes(WMB_DEMO_ROM));
    const std::uint8_t used = levelRecordIn(image, 5).tiles[0];
    const struct {
        int first, last;
        std::uint8_t from, to;
    } cases[] = {{5, 5, used, 0xEE}, {1, 32, used, 0xEE}, {1, 32, 0x1F, 0x20}, {1, 32, used, used}, {3, 3, 0xEF, 1}};
    for (const auto &c : cases) {
        const TileReplacement r = c.first == c.last ? replaceTileInLevel(image, c.first, c.from, c.to)
                                                    : replaceTileInAllLevels(image, c.from, c.to);
        std::string expected = image;
        int cells = 0, levels = 0;
        for (int n = c.first; n <= c.last && c.from != c.to; ++n) {
            levels += countInFile(image, n, c.from) > 0;
            for (std::size_t i = 0; i < MapCells; ++i) {
                char &tile = expected[static_cast<std::size_t>(LevelBaseOf(n)) + i];
                if (static_cast<std::uint8_t>(tile) == c.from)
                    tile = static_cast<char>(c.to), ++cells;
            }
        }
        std::string after = image;
        applyWrite(after, r.write);
        EXPECT_EQ(after, expected) << c.first << " " << int{c.from};
        EXPECT_EQ(std::pair(r.cells, r.levels), std::pair(cells, levels)) << c.first << " " << int{c.from};
    }
}

TEST(LevelSet, DifferencesNameTheirFieldsAndCountTheirBytes)
{
    const LevelRecord a = levelRecordIn(randomImage(), 1);
    const struct {
        std::function<void(LevelRecord &)> change;
        LevelDifference difference;
        const char *text;
    } cases[] = {
        {[](LevelRecord &) {}, {}, ""},
        {[](LevelRecord &r) { for (int i = 0; i < 12; ++i) r.tiles[i * 14] ^= 0x40; r.name[3] ^= 1; },
         {12, false, true, false, false, 13}, "tiles 12, name"},
        {[](LevelRecord &r) { r.timer ^= 1; }, {0, true, false, false, false, 1}, "timer"},
        {[](LevelRecord &r) { r.author[0] ^= 1; r.author[12] ^= 1; r.hint[54] ^= 1; },
         {0, false, false, true, true, 3}, "author, hint"},
        {[](LevelRecord &r) { r.tiles[167] ^= 1; r.hint[0] ^= 1; r.author[5] ^= 1; r.name[0] ^= 1; r.timer ^= 1; },
         {1, true, true, true, true, 5}, "tiles 1, timer, name, author, hint"},
    };
    for (const auto &c : cases) {
        LevelRecord b = a;
        c.change(b);
        const LevelDifference d = compareLevels(a, b);
        EXPECT_EQ(d, c.difference) << c.text;
        EXPECT_EQ(describeDifference(d), c.text);
        EXPECT_EQ(static_cast<int>(cellsThatDiffer(a.tiles, b.tiles).size()), d.tiles) << c.text;
    }
    LevelRecord b = a;
    b.tiles[20] ^= 1;
    EXPECT_EQ(cellsThatDiffer(a.tiles, b.tiles), std::vector<int>{21});
}

} // namespace
