// Where a level lies in the ROM image and how its fields are encoded, and
// the level as the editor's controls hold it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace wmb {

class RomFile;

constexpr int LevelCount = 32;
constexpr int MapColumns = 14;
constexpr int MapRows = 12;
constexpr int MapCells = MapColumns * MapRows;   // 168
constexpr int PaletteTiles = 256;

constexpr std::int32_t FirstLevelBase = 49200;   // 0xC030, level 1's tile map
constexpr std::int32_t LevelStride = 256;

// Field offsets relative to LevelBase, and field lengths in bytes.
constexpr int AuthorOffset = -31;
constexpr int AuthorLength = 13;
constexpr int TimerOffset = -17;
constexpr int NameOffset = -16;
constexpr int NameLength = 15;
constexpr int MapOffset = 0;
constexpr int HintOffset = 168;
constexpr int HintLength = 55;
// The record's field bytes span [LevelBase - 31, LevelBase + 223).
constexpr int RecordFirstOffset = AuthorOffset;
constexpr int RecordEndOffset = HintOffset + HintLength;

constexpr int TimerStep = 5;
constexpr int TimerMaxStored = 255 * TimerStep;  // 1275

// The timer box's arrows step by 5 between 0 and 1200. Down: 5 less, at
// least 0. Up: 5 more from below 1200 (so 1199 becomes 1204), else 1200.
constexpr int TimerArrowMax = 1200;
constexpr int timerArrowDown(int timer) { return timer > TimerStep ? timer - TimerStep : 0; }
constexpr int timerArrowUp(int timer) { return timer < TimerArrowMax ? timer + TimerStep : TimerArrowMax; }

constexpr std::int32_t LevelBaseOf(int level) { return (level - 1) * LevelStride + FirstLevelBase; }
// The level whose tile map starts at levelBase.
constexpr int levelOfBase(std::int32_t levelBase) { return (levelBase - FirstLevelBase) / LevelStride + 1; }
constexpr bool isLevelNumber(int level) { return level >= 1 && level <= LevelCount; }

// The field bytes of one level record, as stored.
struct LevelRecord {
    std::array<std::uint8_t, MapCells> tiles{};
    std::uint8_t timer = 0;
    std::array<std::uint8_t, NameLength> name{};
    std::array<std::uint8_t, AuthorLength> author{};
    std::array<std::uint8_t, HintLength> hint{};
    bool operator==(const LevelRecord &) const = default;
};

// Reads the record at levelBase (one read of its field span). Throws
// InOutError 100 when the file ends before the hint's last byte.
LevelRecord readLevelRecord(RomFile &rom, std::int32_t levelBase);

// Writes the five fields of the record at levelBase and nothing else (the
// four bytes between and around them are never written). Checks first that
// the whole span lies inside the file, so a short file gets no byte. If a
// write fails midway the bytes read before are written back (best effort)
// and the error is thrown. A save that succeeds ends with RomFile::sync;
// durable = false leaves that out (for measuring the cost of the sync alone).
void writeLevelRecord(RomFile &rom, std::int32_t levelBase, const LevelRecord &record,
                      bool durable = true);

// The level as the editor's controls hold it: map store texts, the timer
// edit's text, and the three text edits (UTF-8).
struct LevelFields {
    std::array<std::string, MapCells> codes;
    std::string timer;
    std::string name;
    std::string author;
    std::string hint;
    bool operator==(const LevelFields &) const = default;
};

// What a load shows: codes by IntToHexText, timer byte x 5, texts decoded.
LevelFields fieldsFromRecord(const LevelRecord &record);

// What a save writes: codes by HexTextToInt (low 8 bits), the timer text
// converted (ConvertError when not a whole number), clamped to 0..1275 and
// divided by 5, texts encoded to their field lengths.
LevelRecord recordFromFields(const LevelFields &fields);

// The timer byte stored for a timer text (ConvertError when not a number).
std::uint8_t timerByteFromText(const std::string &timer);

// What a save writes when `last` is the record the controls were filled
// from (by the last load, import or save): a text or timer whose control
// still holds exactly what fieldsFromRecord(last) shows keeps last's bytes,
// so bytes without a character survive a save that did not touch them;
// everything else is converted as recordFromFields does (and throws as it).
LevelRecord recordToSave(const LevelFields &fields, const LevelRecord &last);

// True when saving `fields` over `last` would change at least one byte of
// the record. A timer text that cannot be saved counts as a change.
bool wouldChangeRecord(const LevelFields &fields, const LevelRecord &last);

// The loaded level's record as the editor knows it, for an image that other
// programs may change at any time: as the editor last read or wrote it, and
// as it last saw it on the disk.
class KnownRecord {
public:
    // The editor read the record from the disk or wrote it there.
    void set(const LevelRecord &record) { mSaved = mSeen = record; }
    const LevelRecord &saved() const { return mSaved; }
    // True when the disk holds something else than the editor last read or
    // wrote there: writing over it would undo another program's change.
    bool changedByOther(const LevelRecord &onDisk) const { return onDisk != mSaved; }
    // The image changed on the disk and the record now reads `onDisk`. True
    // when the editor is to show it: it changed since the editor last looked
    // and the editor holds no unsaved changes of the level. The caller shows
    // it and calls set(), or calls seen() to leave the screen as it is.
    bool follows(const LevelRecord &onDisk, bool unsavedChanges) const
    {
        return !unsavedChanges && onDisk != mSeen;
    }
    void seen(const LevelRecord &onDisk) { mSeen = onDisk; }

private:
    LevelRecord mSaved, mSeen;
};

// Writes the record's five fields into a whole image held in memory: the
// same bytes writeLevelRecord writes into the file, nothing else. Throws
// InOutError 100 when the image ends before the hint's last byte.
void putLevelRecord(std::string &image, std::int32_t levelBase, const LevelRecord &record);

} // namespace wmb
