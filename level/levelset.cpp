#include "levelset.h"

#include "wholefile.h"

#include "romfile.h"

#include <algorithm>
#include <stdexcept>

namespace wmb {

namespace {

constexpr std::size_t RecordsLength = RecordsEnd - RecordsBegin;

void checkLevel(int level)
{
    if (!isLevelNumber(level))
        throw std::invalid_argument("no level " + std::to_string(level));
}

void requireRecords(std::string_view image)
{
    if (image.size() < static_cast<std::size_t>(RecordsEnd))
        throw InOutError(IoReadBeyondEnd);
}

template <std::size_t N>
void takeField(std::string_view image, std::int64_t at, std::array<std::uint8_t, N> &field)
{
    const auto first = image.begin() + at;
    std::transform(first, first + N, field.begin(), [](char c) { return static_cast<std::uint8_t>(c); });
}

// The smallest write that turns `before` into `after` (of the same length),
// both lying at `offset` in the image.
ImageWrite writeBetween(std::string_view before, std::string_view after, std::int64_t offset)
{
    const auto differs = [&](std::size_t i) { return before[i] != after[i]; };
    std::size_t first = 0;
    while (first < before.size() && !differs(first))
        ++first;
    if (first == before.size())
        return {};
    std::size_t end = before.size();
    while (!differs(end - 1))
        --end;
    return {offset + static_cast<std::int64_t>(first), std::string(after.substr(first, end - first)),
            std::string(before.substr(first, end - first))};
}

template <std::size_t N>
int differingBytes(const std::array<std::uint8_t, N> &a, const std::array<std::uint8_t, N> &b)
{
    int count = 0;
    for (std::size_t i = 0; i < N; ++i)
        count += a[i] != b[i];
    return count;
}

} // namespace

LevelRecord levelRecordIn(std::string_view image, int level)
{
    checkLevel(level);
    const std::int64_t base = LevelBaseOf(level);
    if (image.size() < static_cast<std::size_t>(base + RecordEndOffset))
        throw InOutError(IoReadBeyondEnd);
    LevelRecord record;
    takeField(image, base + AuthorOffset, record.author);
    record.timer = static_cast<std::uint8_t>(image[static_cast<std::size_t>(base + TimerOffset)]);
    takeField(image, base + NameOffset, record.name);
    takeField(image, base + MapOffset, record.tiles);
    takeField(image, base + HintOffset, record.hint);
    return record;
}

LevelRecords levelRecordsIn(std::string_view image)
{
    requireRecords(image);
    LevelRecords records;
    for (int n = 1; n <= LevelCount; ++n)
        records[static_cast<std::size_t>(n - 1)] = levelRecordIn(image, n);
    return records;
}

ImageWrite writeOfRecords(std::string_view image, const LevelRecords &records)
{
    requireRecords(image);
    const std::string_view before = image.substr(RecordsBegin, RecordsLength);
    std::string after(before);
    for (int n = 1; n <= LevelCount; ++n)
        putLevelRecord(after, static_cast<std::int32_t>(LevelBaseOf(n) - RecordsBegin),
                       records[static_cast<std::size_t>(n - 1)]);
    return writeBetween(before, after, RecordsBegin);
}

// An image cut short still takes a level that it holds whole.
ImageWrite pasteLevel(std::string_view image, const LevelRecord &record, int to)
{
    checkLevel(to);
    const std::int64_t first = LevelBaseOf(to) + RecordFirstOffset, end = LevelBaseOf(to) + RecordEndOffset;
    if (static_cast<std::int64_t>(image.size()) < end)
        throw InOutError(IoReadBeyondEnd);
    const std::string_view before = image.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first));
    std::string after(before);
    putLevelRecord(after, -RecordFirstOffset, record);
    return writeBetween(before, after, first);
}

ImageWrite copyLevel(std::string_view image, int from, int to)
{
    return pasteLevel(image, levelRecordIn(image, from), to);
}

ImageWrite swapLevels(std::string_view image, int a, int b)
{
    checkLevel(a);
    checkLevel(b);
    LevelRecords records = levelRecordsIn(image);
    std::swap(records[static_cast<std::size_t>(a - 1)], records[static_cast<std::size_t>(b - 1)]);
    return writeOfRecords(image, records);
}

ImageWrite moveLevel(std::string_view image, int from, int to)
{
    checkLevel(from);
    checkLevel(to);
    LevelRecords records = levelRecordsIn(image);
    const auto at = [&](int level) { return records.begin() + (level - 1); };
    if (from < to)
        std::rotate(at(from), at(from + 1), at(to + 1));
    else if (from > to)
        std::rotate(at(to), at(from), at(from + 1));
    return writeOfRecords(image, records);
}

void applyWrite(std::string &image, const ImageWrite &write)
{
    const std::uint64_t end = static_cast<std::uint64_t>(write.offset) + write.replaced.size();
    if (write.offset < 0 || end > image.size() || (write.resizes() && end != image.size()))
        throw InOutError(IoReadBeyondEnd);
    if (write.resizes()) {
        image.replace(static_cast<std::size_t>(write.offset), write.replaced.size(), write.bytes);
        return;
    }
    for (std::size_t i = 0; i < write.bytes.size(); ++i)
        if (write.bytes[i] != write.replaced[i])
            image[static_cast<std::size_t>(write.offset) + i] = write.bytes[i];
}

ImageChangedError::ImageChangedError()
    : RuntimeError("The image was changed by another program since it was read")
{
}

void applyWrite(RomFile &rom, const ImageWrite &write, bool durable)
{
    if (write.empty())
        return;
    const auto data = [](const std::string &s) { return reinterpret_cast<const std::uint8_t *>(s.data()); };
    if (write.resizes()) {
        std::string image = rom.readAll();
        if (image.size() < write.replaced.size() ||
            image.size() - write.replaced.size() != static_cast<std::uint64_t>(write.offset) ||
            image.compare(static_cast<std::size_t>(write.offset), std::string::npos, write.replaced) != 0)
            throw ImageChangedError();
        image.replace(static_cast<std::size_t>(write.offset), std::string::npos, write.bytes);
        // Closed while the new file takes its name: Windows renames over no open file.
        rom.close();
        try {
            writeFileAtomically(rom.path(), image);
        } catch (...) {
            try {
                rom.open();
            } catch (...) {
                // The first error is the one reported.
            }
            throw;
        }
        rom.open();
        return;
    }
    std::string current(write.replaced.size(), '\0');
    rom.readAt(write.offset, reinterpret_cast<std::uint8_t *>(current.data()), current.size());
    // Only the bytes the write changes must be as it found them; the others
    // in its range (another level, saved since) are left as they are.
    for (std::size_t i = 0; i < current.size(); ++i)
        if (write.bytes[i] != write.replaced[i] && current[i] != write.replaced[i])
            throw ImageChangedError();
    std::size_t reached = 0;   // bytes of the range before this may have been written
    try {
        for (std::size_t at = 0; at < write.bytes.size();) {
            if (write.bytes[at] == write.replaced[at]) {
                ++at;
                continue;
            }
            std::size_t end = at;
            while (end < write.bytes.size() && write.bytes[end] != write.replaced[end])
                ++end;
            reached = end;
            rom.writeAt(write.offset + static_cast<std::int64_t>(at), data(write.bytes) + at, end - at);
            at = end;
        }
    } catch (...) {
        try {
            rom.writeAt(write.offset, data(current), reached);
        } catch (...) {
            // Best effort: the first error is the one reported.
        }
        throw;
    }
    if (durable)
        rom.sync();
}

TileSearch findTile(const LevelRecords &records, std::uint8_t code)
{
    TileSearch search;
    search.code = code;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const int cells = static_cast<int>(std::count(records[i].tiles.begin(), records[i].tiles.end(), code));
        search.cells[i] = cells;
        search.totalCells += cells;
        search.levels += cells > 0;
    }
    return search;
}

std::vector<int> cellsHolding(const MapTiles &tiles, std::uint8_t code)
{
    std::vector<int> cells;
    for (int i = 0; i < MapCells; ++i)
        if (tiles[static_cast<std::size_t>(i)] == code)
            cells.push_back(i + 1);
    return cells;
}

int nextLevelHolding(const TileSearch &search, int level, bool forward)
{
    for (int step = 1; step <= LevelCount; ++step) {
        const int index = ((level - 1 + (forward ? step : -step)) % LevelCount + LevelCount) % LevelCount;
        if (search.cells[static_cast<std::size_t>(index)] > 0)
            return index + 1;
    }
    return 0;
}

int replaceTile(MapTiles &tiles, std::uint8_t from, std::uint8_t to)
{
    if (from == to)
        return 0;
    int count = 0;
    for (std::uint8_t &tile : tiles) {
        if (tile == from) {
            tile = to;
            ++count;
        }
    }
    return count;
}

namespace {
TileReplacement replaceTileInLevels(std::string_view image, int first, int last, std::uint8_t from,
                                    std::uint8_t to)
{
    LevelRecords records = levelRecordsIn(image);
    TileReplacement result;
    for (int n = first; n <= last; ++n) {
        const int cells = replaceTile(records[static_cast<std::size_t>(n - 1)].tiles, from, to);
        result.cells += cells;
        result.levels += cells > 0;
    }
    result.write = writeOfRecords(image, records);
    return result;
}
} // namespace

TileReplacement replaceTileInLevel(std::string_view image, int level, std::uint8_t from, std::uint8_t to)
{
    checkLevel(level);
    return replaceTileInLevels(image, level, level, from, to);
}

TileReplacement replaceTileInAllLevels(std::string_view image, std::uint8_t from, std::uint8_t to)
{
    return replaceTileInLevels(image, 1, LevelCount, from, to);
}

LevelDifference compareLevels(const LevelRecord &a, const LevelRecord &b)
{
    LevelDifference d;
    d.tiles = differingBytes(a.tiles, b.tiles);
    d.timer = a.timer != b.timer;
    const int name = differingBytes(a.name, b.name);
    const int author = differingBytes(a.author, b.author);
    const int hint = differingBytes(a.hint, b.hint);
    d.name = name > 0;
    d.author = author > 0;
    d.hint = hint > 0;
    d.bytes = d.tiles + int{d.timer} + name + author + hint;
    return d;
}

std::array<LevelDifference, LevelCount> compareImages(const LevelRecords &a, const LevelRecords &b)
{
    std::array<LevelDifference, LevelCount> differences;
    for (std::size_t i = 0; i < differences.size(); ++i)
        differences[i] = compareLevels(a[i], b[i]);
    return differences;
}

std::vector<int> cellsThatDiffer(const MapTiles &a, const MapTiles &b)
{
    std::vector<int> cells;
    for (int i = 0; i < MapCells; ++i)
        if (a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)])
            cells.push_back(i + 1);
    return cells;
}

std::string describeDifference(const LevelDifference &difference)
{
    std::string text;
    const auto add = [&](bool differs, const std::string &part) {
        if (differs)
            text += (text.empty() ? "" : ", ") + part;
    };
    add(difference.tiles > 0, "tiles " + std::to_string(difference.tiles));
    add(difference.timer, "timer");
    add(difference.name, "name");
    add(difference.author, "author");
    add(difference.hint, "hint");
    return text;
}

} // namespace wmb
