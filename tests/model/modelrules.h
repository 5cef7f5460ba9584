// The rules of the level record, the level text table, tile code texts, the
// timer and the level file, written out plainly for the reference model. They
// call nothing of the editor or the level core, so a fault there shows as a
// difference from these predictions.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace model {

constexpr int Levels = 32;
constexpr int Cells = 168;
constexpr int NameLength = 15;
constexpr int AuthorLength = 13;
constexpr int HintLength = 55;
constexpr int TimerMax = 1275;   // the largest timer a byte holds: 255 x 5

// File offset of level n's tile map: 0xC030 for level 1, 256 bytes apart.
constexpr int mapAt(int level) { return 0xC030 + (level - 1) * 0x100; }
// A level loads or saves only when the file holds its last hint byte.
constexpr bool holdsLevel(qsizetype fileSize, int level) { return fileSize >= mapAt(level) + 223; }

// Which field byte an offset is ("level 3 name byte 4"), or "no field".
QString describeOffset(int offset);

// Tile code text: upper-case hexadecimal without leading zeros.
QString hexText(int byte);
// The byte of a text written exactly as hexText writes one, else nothing.
std::optional<int> codeValue(const QByteArray &text);
inline std::optional<int> codeValue(const QString &text) { return codeValue(text.toLatin1()); }

// A whole number as the runtime reads one: leading blanks, an optional sign,
// then ASCII digits only, within 32 bits.
std::optional<std::int32_t> wholeNumber(const QByteArray &text);
// The timer byte of a timer value: clamped to 0..1275, then divided by 5.
std::uint8_t timerByte(std::int32_t value);

// The text the editor's core receives from an edit: code points, a lone
// surrogate half (an edit cut a pair at its length limit) read as "?".
std::u32string codePoints(const QString &text);
QString fromCodePoints(const std::u32string &points);

// The level text table, both ways.
std::uint8_t levelCode(char32_t ch);                 // "?" (0x3F) for a character without one
std::optional<char32_t> levelCharacter(std::uint8_t code);
QString decodeText(const QByteArray &field);
QByteArray encodeText(const QString &text, int length);
// The text a saved edit shows: "•" appended to `length` characters, then
// cut by the edit's limit of `length` UTF-16 units.
QString savedEditText(const QString &text, int length);

// Windows-1251 bytes of the characters this test types or pastes; "?" for
// one the code page lacks.
char cp1251Byte(char32_t ch);
// The level code stored for one Windows-1251 byte of a level file text.
std::uint8_t levelCodeOfFileByte(unsigned char byte);

// The error box's text: the message with "." when its last character sorts
// after ".".
QString errorBoxText(const QString &message);

// A level file as the strict reader takes it.
struct LevelFileRead {
    bool ok = false;
    QString error;              // exact box text, or its beginning when errorIsPrefix
    bool errorIsPrefix = false;
    std::array<std::uint8_t, Cells> tiles{};
    QByteArray name, author, hint;   // the text lines' bytes
    bool utf8 = false;               // texts in UTF-8: the file starts with its byte-order mark
    std::int32_t timer = 0;
};
LevelFileRead readLevelFile(const QByteArray &bytes);

// One line of a level file as the export writes an edit's text.
QByteArray fileLine(const QString &text);

} // namespace model
