#include "modelrules.h"

#include <QStringList>

#include <algorithm>
#include <cctype>
#include <limits>

namespace model {

QString describeOffset(int offset)
{
    struct Span {
        const char *name;
        int from, length;
    };
    static constexpr Span spans[] = {{"gap", -32, 1},   {"author", -31, 13}, {"gap", -18, 1},
                                     {"timer", -17, 1}, {"name", -16, 15},   {"gap", -1, 1},
                                     {"map", 0, 168},   {"hint", 168, 55},   {"gap", 223, 1}};
    for (int level = 1; level <= Levels; ++level) {
        const int rel = offset - mapAt(level);
        for (const Span &s : spans) {
            if (rel >= s.from && rel < s.from + s.length)
                return QStringLiteral("level %1 %2 byte %3").arg(level).arg(QLatin1String(s.name)).arg(rel - s.from);
        }
    }
    return QStringLiteral("outside the level records");
}

QString hexText(int byte)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    if (byte >= 16)
        text += QLatin1Char(digits[byte / 16]);
    text += QLatin1Char(digits[byte % 16]);
    return text;
}

std::optional<int> codeValue(const QByteArray &text)
{
    auto digit = [](char ch) -> int {
        if (ch >= '0' && ch <= '9')
            return ch - '0';
        if (ch >= 'A' && ch <= 'F')
            return ch - 'A' + 10;
        return -1;
    };
    if (text.size() == 1 && digit(text[0]) >= 0)
        return digit(text[0]);
    if (text.size() == 2 && digit(text[0]) > 0 && digit(text[1]) >= 0)
        return digit(text[0]) * 16 + digit(text[1]);
    return std::nullopt;
}

std::optional<std::int32_t> wholeNumber(const QByteArray &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL)
            return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::uint8_t timerByte(std::int32_t value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, TimerMax) / 5);
}

std::u32string codePoints(const QString &text)
{
    std::u32string points;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            points.push_back(QChar::surrogateToUcs4(ch, text[i + 1]));
            ++i;
        } else if (ch.isSurrogate()) {
            points.push_back(U'?');
        } else {
            points.push_back(ch.unicode());
        }
    }
    return points;
}

QString fromCodePoints(const std::u32string &points)
{
    return QString::fromUcs4(points.data(), static_cast<qsizetype>(points.size()));
}

std::uint8_t levelCode(char32_t ch)
{
    if (ch == U'\u2022')
        return 0x00;
    if (ch == U'\u0406')
        return 0x7C;
    if (ch >= 0x20 && ch <= 0x7E && ch != U'|')
        return static_cast<std::uint8_t>(ch);
    return 0x3F;
}

std::optional<char32_t> levelCharacter(std::uint8_t code)
{
    if (code == 0x00)
        return U'\u2022';
    if (code == 0x7C)
        return U'\u0406';
    if (code >= 0x20 && code <= 0x7E)
        return char32_t{code};
    return std::nullopt;
}

QString decodeText(const QByteArray &field)
{
    std::u32string points;
    for (const char byte : field) {
        if (const auto ch = levelCharacter(static_cast<std::uint8_t>(byte)))
            points.push_back(*ch);
    }
    return fromCodePoints(points);
}

QByteArray encodeText(const QString &text, int length)
{
    const std::u32string points = codePoints(text);
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length && i < static_cast<int>(points.size()); ++i)
        bytes[i] = static_cast<char>(levelCode(points[i]));
    return bytes;
}

QString savedEditText(const QString &text, int length)
{
    std::u32string points = codePoints(text);
    while (static_cast<int>(points.size()) < length)
        points.push_back(U'\u2022');
    return fromCodePoints(points).left(length);
}

char cp1251Byte(char32_t ch)
{
    if (ch < 0x80)
        return static_cast<char>(ch);
    struct Pair {
        char32_t ch;
        unsigned char byte;
    };
    static constexpr Pair table[] = {
        {U'\u2022', 0x95}, {U'\u0406', 0xB2}, {U'\u0456', 0xB3}, {U'\u0416', 0xC6},
        {U'\u044F', 0xFF}, {U'\u0401', 0xA8}, {U'\u20AC', 0x88}, {U'\u2116', 0xB9},
        {U'\u00AB', 0xAB}, {U'\u00A0', 0xA0}, {U'\u0098', 0x98}, {U'\u0410', 0xC0},
    };
    for (const Pair &p : table) {
        if (p.ch == ch)
            return static_cast<char>(p.byte);
    }
    return '?';
}

std::uint8_t levelCodeOfFileByte(unsigned char byte)
{
    if (byte == 0x95)
        return 0x00;
    if (byte == 0xB2)
        return 0x7C;
    if (byte >= 0x20 && byte <= 0x7E && byte != 0x7C)
        return byte;
    return 0x3F;
}

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QByteArray fileLine(const QString &text)
{
    QByteArray line;
    for (const char32_t ch : codePoints(text)) {
        const char byte = cp1251Byte(ch);
        line += byte == '\r' || byte == '\n' ? '?' : byte;
    }
    return line + "\r\n";
}

namespace {

// Walks a level file: lines end at LF, every CR is dropped from a line.
struct Cursor {
    const QByteArray &bytes;
    qsizetype pos = 0;
    int line = 1;

    std::optional<QByteArray> nextLine()
    {
        if (pos == bytes.size())
            return std::nullopt;
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        QByteArray text = bytes.mid(pos, end - pos);
        text.replace("\r", "");
        pos = end < bytes.size() ? end + 1 : end;
        ++line;
        return text;
    }
};

} // namespace

// A code line of a level file: one or two hexadecimal digits, either case.
std::optional<int> fileCodeValue(const QByteArray &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 16);
    const bool digits = std::all_of(text.begin(), text.end(), [](char ch) { return std::isxdigit(static_cast<unsigned char>(ch)); });
    if (text.isEmpty() || text.size() > 2 || !digits || !ok)
        return std::nullopt;
    return value;
}

LevelFileRead readLevelFile(const QByteArray &file)
{
    LevelFileRead read;
    read.utf8 = file.startsWith("\xEF\xBB\xBF");
    const QByteArray bytes = read.utf8 ? file.mid(3) : file;
    Cursor cursor{bytes};
    auto fail = [&](const QString &text, bool prefix) {
        read.error = text;
        read.errorIsPrefix = prefix;
        return read;
    };
    const QString endsEarly = QStringLiteral("Level file ends at line ");

    int counts[2] = {0, 0};
    int countLines[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        // A count: blanks and line ends skipped, then up to a blank or a
        // control byte; the rest of its line is skipped.
        while (cursor.pos < bytes.size() && QByteArray(" \t\r\n").contains(bytes[cursor.pos])) {
            cursor.line += bytes[cursor.pos] == '\n';
            ++cursor.pos;
        }
        if (cursor.pos == bytes.size())
            return fail(endsEarly, true);
        const qsizetype start = cursor.pos;
        while (cursor.pos < bytes.size() && static_cast<unsigned char>(bytes[cursor.pos]) > 0x20 &&
               bytes[cursor.pos] != 0x7F)
            ++cursor.pos;
        countLines[k] = cursor.line;
        const auto value = wholeNumber(bytes.mid(start, cursor.pos - start));
        if (!value)
            return fail(QStringLiteral("Level file line %1: Invalid numeric input.").arg(cursor.line), false);
        counts[k] = *value;
        cursor.nextLine();
    }
    if (counts[0] != Cells)
        return fail(QStringLiteral("Level file line %1: ").arg(countLines[0]), true);
    if (counts[1] != 1)
        return fail(QStringLiteral("Level file line %1: ").arg(countLines[1]), true);

    for (int i = 0; i < Cells; ++i) {
        const int line = cursor.line;
        const auto text = cursor.nextLine();
        if (!text)
            return fail(endsEarly, true);
        const auto value = fileCodeValue(*text);
        if (!value)
            return fail(QStringLiteral("Level file line %1: ").arg(line), true);
        read.tiles[i] = static_cast<std::uint8_t>(*value);
    }
    QByteArray *texts[] = {&read.name, &read.author, &read.hint};
    for (QByteArray *text : texts) {
        const auto line = cursor.nextLine();
        if (!line)
            return fail(endsEarly, true);
        *text = *line;
    }
    const int timerLine = cursor.line;
    const auto timer = cursor.nextLine();
    if (!timer)
        return fail(endsEarly, true);
    const auto value = wholeNumber(*timer);
    if (!value)
        return fail(QStringLiteral("Level file line %1: ").arg(timerLine), true);
    read.timer = *value;
    read.ok = true;
    return read;
}

} // namespace model
