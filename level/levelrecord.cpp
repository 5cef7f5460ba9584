#include "levelrecord.h"

#include "errors.h"
#include "hexcode.h"
#include "leveltext.h"
#include "romfile.h"

#include <algorithm>
#include <span>

namespace wmb {

namespace {
constexpr std::size_t SpanLength = RecordEndOffset - RecordFirstOffset;   // 254
using RecordSpan = std::array<std::uint8_t, SpanLength>;

// One field of the record: where it lies relative to LevelBase and its bytes.
struct FieldBytes {
    int offset;
    std::span<const std::uint8_t> bytes;
};

// The fields in the order they are written: the tile map first, as the
// saver always has.
std::array<FieldBytes, 5> fieldsOf(const LevelRecord &record)
{
    return {{
        {MapOffset, record.tiles},
        {TimerOffset, std::span<const std::uint8_t>(&record.timer, 1)},
        {NameOffset, record.name},
        {AuthorOffset, record.author},
        {HintOffset, record.hint},
    }};
}

template <std::size_t N>
void copyField(const RecordSpan &span, int offset, std::array<std::uint8_t, N> &field)
{
    const auto first = span.begin() + (offset - RecordFirstOffset);
    std::copy(first, first + N, field.begin());
}
} // namespace

LevelRecord readLevelRecord(RomFile &rom, std::int32_t levelBase)
{
    RecordSpan span{};
    rom.readAt(std::int64_t{levelBase} + RecordFirstOffset, span.data(), span.size());
    LevelRecord record;
    copyField(span, AuthorOffset, record.author);
    record.timer = span[TimerOffset - RecordFirstOffset];
    copyField(span, NameOffset, record.name);
    copyField(span, MapOffset, record.tiles);
    copyField(span, HintOffset, record.hint);
    return record;
}

void writeLevelRecord(RomFile &rom, std::int32_t levelBase, const LevelRecord &record, bool durable)
{
    // Reading the span first proves the file holds all of it (a short file
    // fails here with nothing written) and keeps the bytes to put back.
    RecordSpan original{};
    rom.readAt(std::int64_t{levelBase} + RecordFirstOffset, original.data(), original.size());

    const auto fields = fieldsOf(record);
    std::size_t attempted = 0;
    try {
        for (const FieldBytes &field : fields) {
            ++attempted;
            rom.writeAt(std::int64_t{levelBase} + field.offset, field.bytes.data(), field.bytes.size());
        }
    } catch (...) {
        for (std::size_t i = 0; i < attempted; ++i) {
            const FieldBytes &field = fields[i];
            try {
                rom.writeAt(std::int64_t{levelBase} + field.offset,
                            original.data() + (field.offset - RecordFirstOffset), field.bytes.size());
            } catch (...) {
                // Best effort: the first error is the one reported.
            }
        }
        throw;
    }
    if (durable)
        rom.sync();
}

LevelFields fieldsFromRecord(const LevelRecord &record)
{
    LevelFields fields;
    for (int i = 0; i < MapCells; ++i)
        fields.codes[i] = IntToHexText(record.tiles[i]);
    fields.timer = std::to_string(int{record.timer} * TimerStep);
    fields.name = decodeLevelText(record.name);
    fields.author = decodeLevelText(record.author);
    fields.hint = decodeLevelText(record.hint);
    return fields;
}

std::uint8_t timerByteFromText(const std::string &timer)
{
    const std::int32_t value = std::clamp(StrToInt(timer), 0, TimerMaxStored);
    return static_cast<std::uint8_t>(value / TimerStep);
}

LevelRecord recordFromFields(const LevelFields &fields)
{
    LevelRecord record;
    // The timer is the only field that can fail; it goes first so that a
    // failure leaves no half-built record behind.
    record.timer = timerByteFromText(fields.timer);
    for (int i = 0; i < MapCells; ++i)
        record.tiles[i] = static_cast<std::uint8_t>(HexTextToInt(fields.codes[i]) & 0xFF);
    const auto encodeInto = [](const std::string &text, auto &field) {
        const std::vector<std::uint8_t> bytes = encodeLevelText(text, field.size());
        std::copy(bytes.begin(), bytes.end(), field.begin());
    };
    encodeInto(fields.name, record.name);
    encodeInto(fields.author, record.author);
    encodeInto(fields.hint, record.hint);
    return record;
}

LevelRecord recordToSave(const LevelFields &fields, const LevelRecord &last)
{
    const LevelFields shown = fieldsFromRecord(last);
    LevelRecord record = recordFromFields(fields);
    if (fields.timer == shown.timer)
        record.timer = last.timer;
    if (fields.name == shown.name)
        record.name = last.name;
    if (fields.author == shown.author)
        record.author = last.author;
    if (fields.hint == shown.hint)
        record.hint = last.hint;
    return record;
}

bool wouldChangeRecord(const LevelFields &fields, const LevelRecord &last)
{
    try {
        return recordToSave(fields, last) != last;
    } catch (const ConvertError &) {
        return true;
    }
}

void putLevelRecord(std::string &image, std::int32_t levelBase, const LevelRecord &record)
{
    if (levelBase + RecordFirstOffset < 0 ||
        image.size() < static_cast<std::size_t>(levelBase + RecordEndOffset))
        throw InOutError(IoReadBeyondEnd);
    for (const FieldBytes &field : fieldsOf(record))
        std::copy(field.bytes.begin(), field.bytes.end(),
                  image.begin() + (levelBase + field.offset));
}

} // namespace wmb
