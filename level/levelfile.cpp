#include "levelfile.h"

#include "cp1251.h"
#include "errors.h"
#include "hexcode.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace wmb {

namespace {
constexpr int ColumnCount = MapCells;   // the map store: 168 columns by 1 row
constexpr int RowCount = 1;
constexpr std::size_t QuotedLength = 20;
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// A line of the file as written: Windows-1251 bytes. A line end inside a
// text would shift every later line, so CR and LF become '?' like any other
// character the file cannot hold.
std::string fileLine(std::string_view utf8)
{
    std::string line = utf8ToCp1251(utf8);
    for (char &ch : line) {
        if (ch == '\r' || ch == '\n')
            ch = '?';
    }
    line += "\r\n";
    return line;
}

bool isBlankOrControl(unsigned char byte)
{
    return byte <= 0x20 || byte == 0x7F;
}

// A file text quoted in a message: at most QuotedLength characters, control
// bytes (which would cut or garble the message) shown as '?'.
std::string quoted(std::string_view line, bool utf8)
{
    std::string shown(line.substr(0, QuotedLength));
    for (char &ch : shown) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x20 || byte == 0x7F || (!utf8 && byte == 0x98))
            ch = '?';
    }
    shown = utf8 ? codePointsToUtf8(utf8ToCodePoints(shown)) : cp1251ToUtf8(shown);
    return "\"" + shown + (line.size() > QuotedLength ? "...\"" : "\"");
}

// A tile code as a user may write one: one or two hexadecimal digits in
// either case ("6e", "0F"). Returns the map store's form ("6E", "F"), or
// nothing for any other text.
std::optional<std::string> tileCodeOfLine(std::string_view line)
{
    if (line.empty() || line.size() > 2)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char ch : line) {
        const char upper = ch >= 'a' && ch <= 'f' ? static_cast<char>(ch - 'a' + 'A') : ch;
        if (!((upper >= '0' && upper <= '9') || (upper >= 'A' && upper <= 'F')))
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(HexDigitValue(upper));
    }
    return IntToHexText(value);
}

// Lines as splitLevelFileLines counts them, without building them.
int lineCount(std::string_view bytes)
{
    int count = 0;
    for (const char ch : bytes)
        count += ch == '\n';
    if (!bytes.empty() && bytes.back() != '\n')
        ++count;
    return count;
}

// Reads the file front to back, keeping the number of the line it is on.
class LineCursor {
public:
    explicit LineCursor(std::string_view bytes) : mBytes(bytes) {}

    int line() const { return mLine; }

    // A count: blanks and line ends skipped, then the characters up to the
    // next blank or control character; the rest of its line is skipped.
    // Empty when the file ends first.
    std::optional<std::string_view> countToken()
    {
        while (mPos < mBytes.size()) {
            const char ch = mBytes[mPos];
            if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n')
                break;
            if (ch == '\n')
                ++mLine;
            ++mPos;
        }
        if (mPos == mBytes.size())
            return std::nullopt;
        const std::size_t start = mPos;
        while (mPos < mBytes.size() && !isBlankOrControl(static_cast<unsigned char>(mBytes[mPos])))
            ++mPos;
        return mBytes.substr(start, mPos - start);
    }

    // The next whole line without its end and without any CR; empty when the
    // file has no more lines.
    std::optional<std::string> nextLine()
    {
        if (mPos == mBytes.size())
            return std::nullopt;
        const std::size_t end = std::min(mBytes.find('\n', mPos), mBytes.size());
        std::string text;
        for (std::size_t i = mPos; i < end; ++i) {
            if (mBytes[i] != '\r')
                text.push_back(mBytes[i]);
        }
        mPos = end < mBytes.size() ? end + 1 : end;
        ++mLine;
        return text;
    }

    void skipRestOfLine() { nextLine(); }

private:
    std::string_view mBytes;
    std::size_t mPos = 0;
    int mLine = 1;
};

[[noreturn]] void throwEndsEarly(std::string_view bytes)
{
    throw LevelFileError("Level file ends at line " + std::to_string(lineCount(bytes))
                         + "; a level file has " + std::to_string(LevelFileLines) + " lines");
}

[[noreturn]] void throwAtLine(int line, const std::string &what)
{
    throw LevelFileError("Level file line " + std::to_string(line) + ": " + what);
}

// Reads one count, `expected` being the count the program writes there;
// returns its value and the line it stands on.
std::pair<std::int32_t, int> readCount(LineCursor &cursor, std::string_view bytes, int expected, bool utf8)
{
    const auto token = cursor.countToken();
    if (!token)
        throwEndsEarly(bytes);
    const int line = cursor.line();
    std::int32_t value = 0;
    if (!tryStrToInt(*token, value))
        throw LevelFileCountError(line, expected, quoted(*token, utf8));
    cursor.skipRestOfLine();
    return {value, line};
}

std::string readTextLine(LineCursor &cursor, std::string_view bytes)
{
    auto line = cursor.nextLine();
    if (!line)
        throwEndsEarly(bytes);
    return std::move(*line);
}
} // namespace

LevelFileCountError::LevelFileCountError(int line, int expected, const std::string &quotedText)
    : InOutError(IoInvalidNumericInput, "Level file line " + std::to_string(line) + ": "),
      mExpectation("Level file line " + std::to_string(line) + ": " + std::to_string(expected) + " expected, not " +
                   quotedText)
{
}

std::string levelFileText(const LevelFields &fields)
{
    std::string text = fileLine(std::to_string(ColumnCount)) + fileLine(std::to_string(RowCount));
    for (const std::string &code : fields.codes)
        text += fileLine(code);
    for (const std::string *field : {&fields.name, &fields.author, &fields.hint, &fields.timer})
        text += fileLine(*field);
    return text;
}

std::vector<std::string> splitLevelFileLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    LineCursor cursor(bytes);
    while (auto line = cursor.nextLine())
        lines.push_back(std::move(*line));
    return lines;
}

LevelFields parseLevelFile(std::string_view bytes)
{
    // A file that starts with the UTF-8 byte-order mark holds its texts in
    // UTF-8; any other file holds Windows-1251.
    const bool utf8 = bytes.starts_with(Utf8ByteOrderMark);
    const std::string_view body = utf8 ? bytes.substr(Utf8ByteOrderMark.size()) : bytes;
    const auto text = [utf8](const std::string &line) {
        return utf8 ? codePointsToUtf8(utf8ToCodePoints(line)) : cp1251ToUtf8(line);
    };

    LineCursor cursor(body);
    const auto [columns, columnLine] = readCount(cursor, bytes, ColumnCount, utf8);
    const auto [rows, rowLine] = readCount(cursor, bytes, RowCount, utf8);
    if (columns != ColumnCount || rows != RowCount) {
        throwAtLine(columns != ColumnCount ? columnLine : rowLine,
                    "the map must be " + std::to_string(ColumnCount) + " columns by "
                        + std::to_string(RowCount) + " row, not " + std::to_string(columns)
                        + " by " + std::to_string(rows));
    }

    LevelFields fields;
    for (std::string &code : fields.codes) {
        const int line = cursor.line();
        const std::string written = readTextLine(cursor, bytes);
        const auto canonical = tileCodeOfLine(written);
        if (!canonical)
            throwAtLine(line, quoted(written, utf8) + " is not a tile code (0 to FF)");
        code = *canonical;
    }
    fields.name = text(readTextLine(cursor, bytes));
    fields.author = text(readTextLine(cursor, bytes));
    fields.hint = text(readTextLine(cursor, bytes));
    const int timerLine = cursor.line();
    const std::string timer = readTextLine(cursor, bytes);
    std::int32_t value = 0;
    if (!tryStrToInt(timer, value))
        throwAtLine(timerLine, "the timer " + quoted(timer, utf8) + " is not a whole number");
    fields.timer = text(timer);
    return fields;
}

} // namespace wmb
