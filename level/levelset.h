// The 32 levels of an image as a whole: copying, swapping and moving level
// records, finding and replacing a tile code, and comparing two images level
// by level. Plain values in, plain values out.
//
// Every operation that changes the image only computes its change: one
// contiguous range of the file (an ImageWrite) with the bytes it replaces,
// so the caller can ask before it writes, write it at once, and undo it by
// writing the replaced bytes back. A level's record is its five fields; the
// four bytes of each level that belong to no field are never moved or
// changed (a range that spans them writes them back as they are).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "errors.h"
#include "levelrecord.h"

namespace wmb {

class RomFile;

// The bytes of the image that hold the 32 records: [RecordsBegin, RecordsEnd).
constexpr std::int64_t RecordsBegin = LevelBaseOf(1) + RecordFirstOffset;       // 49169
constexpr std::int64_t RecordsEnd = LevelBaseOf(LevelCount) + RecordEndOffset;   // 57359

using LevelRecords = std::array<LevelRecord, LevelCount>;
using MapTiles = std::array<std::uint8_t, MapCells>;

// The record of `level` (1..32) in an image held in memory (the whole file
// from its first byte). Throws InOutError 100 when the image ends before the
// record's last byte.
LevelRecord levelRecordIn(std::string_view image, int level);
// All 32 records; InOutError 100 when the image is shorter than RecordsEnd.
LevelRecords levelRecordsIn(std::string_view image);

// `bytes` written at `offset` in place of `replaced` (of the same length).
// A write changes only the bytes where the two differ; a byte of its range
// that both hold alike is left as the image holds it when it is applied.
// When their lengths differ, the write is the file's tail: the file ends
// after `replaced` and is to end after `bytes` (a patch that grows or shrinks
// the image). An empty write changes nothing.
struct ImageWrite {
    std::int64_t offset = 0;
    std::string bytes;
    std::string replaced;

    bool empty() const { return bytes.empty() && replaced.empty(); }
    bool resizes() const { return bytes.size() != replaced.size(); }
    // The end of the range it touches, in the file before or after.
    std::int64_t end() const { return offset + static_cast<std::int64_t>(std::max(bytes.size(), replaced.size())); }
    // The write that takes the image back to what it was.
    ImageWrite undone() const { return {offset, replaced, bytes}; }
    bool operator==(const ImageWrite &) const = default;
};

// The write that makes the image hold `records`: the smallest range that
// covers every byte it changes (empty when the image holds them already).
// InOutError 100 when the image is shorter than RecordsEnd.
ImageWrite writeOfRecords(std::string_view image, const LevelRecords &records);

// `record` over level `to`'s record, byte for byte (a paste, an import, or a
// level taken from another image).
ImageWrite pasteLevel(std::string_view image, const LevelRecord &record, int to);
// Level `from`'s record over level `to`'s.
ImageWrite copyLevel(std::string_view image, int from, int to);
// Levels a and b trade places.
ImageWrite swapLevels(std::string_view image, int a, int b);
// Level `from` goes to place `to`, and the levels between shift one place
// towards `from`'s old place, as in a list: moving 12 to 3 puts 3..11 at 4..12.
ImageWrite moveLevel(std::string_view image, int from, int to);

// The write applied to an image in memory: the bytes it changes set.
// InOutError 100 when its range lies outside the image.
void applyWrite(std::string &image, const ImageWrite &write);

// The file does not hold the bytes a write was computed from: another
// program changed the image since it was read.
class ImageChangedError : public RuntimeError {
public:
    ImageChangedError();
};

// The write applied to the file, then flushed to the disk (durable = false
// leaves the flush out). The range is read first: when a byte the write
// changes does not hold `replaced`, ImageChangedError and nothing is written.
// Only the bytes that differ from `replaced` are written, in place; when that
// fails midway the range is put back as it was read (best effort) and the
// error is thrown. A write of the tail (one that resizes) checks that the
// file ends where `replaced` does, writes the whole file anew through
// writeFileAtomically and opens `rom` again on it.
void applyWrite(RomFile &rom, const ImageWrite &write, bool durable = true);

// Finding a tile code: the cells holding it in each level (index level - 1),
// their total and the number of levels that hold it at least once.
struct TileSearch {
    std::uint8_t code = 0;
    std::array<int, LevelCount> cells{};
    int totalCells = 0;
    int levels = 0;
};
TileSearch findTile(const LevelRecords &records, std::uint8_t code);

// The cells (1..168, ascending) of a map that hold the code.
std::vector<int> cellsHolding(const MapTiles &tiles, std::uint8_t code);

// The next level after `level` (forward) or before it that holds the code,
// going round past 32 to 1 (or past 1 to 32), `level` itself last; 0 when
// no level holds it.
int nextLevelHolding(const TileSearch &search, int level, bool forward);

// Replacing tile code `from` by `to`: how many cells and levels change.
// Replacing a code by itself changes nothing and counts nothing.
struct TileReplacement {
    ImageWrite write;
    int cells = 0;
    int levels = 0;
};
// In one map, in place; returns the count of cells changed.
int replaceTile(MapTiles &tiles, std::uint8_t from, std::uint8_t to);
// In one level of the image.
TileReplacement replaceTileInLevel(std::string_view image, int level, std::uint8_t from, std::uint8_t to);
// In all 32 levels, as one write.
TileReplacement replaceTileInAllLevels(std::string_view image, std::uint8_t from, std::uint8_t to);

// How one level's record differs from another's: the count of differing
// map cells, which of the other fields differ, and the count of differing
// record bytes (cells, timer and text bytes together).
struct LevelDifference {
    int tiles = 0;
    bool timer = false;
    bool name = false;
    bool author = false;
    bool hint = false;
    int bytes = 0;

    bool any() const { return bytes != 0; }
    bool operator==(const LevelDifference &) const = default;
};
LevelDifference compareLevels(const LevelRecord &a, const LevelRecord &b);
std::array<LevelDifference, LevelCount> compareImages(const LevelRecords &a, const LevelRecords &b);

// The cells (1..168, ascending) whose tiles differ between two maps.
std::vector<int> cellsThatDiffer(const MapTiles &a, const MapTiles &b);

// "tiles 12, name": the differing cells when any, then timer, name, author
// and hint as they differ, separated by ", "; empty when nothing differs.
std::string describeDifference(const LevelDifference &difference);

} // namespace wmb
