#include "recoveryfile.h"

#include <charconv>
#include <vector>

namespace wmb {

namespace {

constexpr std::string_view Header = "WMBeditor recovery 1";
constexpr std::array<std::string_view, 9> Keys = {"image", "level", "written", "codes", "timer",
                                                  "name",  "author", "hint",   "record"};
constexpr char Digits[] = "0123456789ABCDEF";
constexpr std::size_t RecordBytes = MapCells + 1 + NameLength + AuthorLength + HintLength;

// A value on one line: a backslash, line breaks and the other control
// characters are escaped; every other byte stays as it is.
std::string escaped(std::string_view value)
{
    std::string out;
    for (const char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (b < 0x20 || b == 0x7F)
            out += {'\\', 'x', Digits[b >> 4], Digits[b & 15]};
        else
            out += c;
    }
    return out;
}

[[noreturn]] void refuse(int line, const std::string &why)
{
    throw RecoveryFileError("Not a recovery file: line " + std::to_string(line) + " " + why);
}

int hexDigit(char c)
{
    for (int i = 0; i < 16; ++i)
        if (Digits[i] == c)
            return i;
    return -1;
}

// Two upper-case hex digits at `at`, or -1.
int hexByte(std::string_view text, std::size_t at)
{
    if (at + 2 > text.size())
        return -1;
    const int high = hexDigit(text[at]), low = hexDigit(text[at + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

std::string unescaped(std::string_view value, int line)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            refuse(line, "holds a control character");
        if (c != '\\') {
            out += c;
            continue;
        }
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (next == '\\' || next == 'n') {
            out += next == 'n' ? '\n' : '\\';
            ++i;
        } else if (const int b = next == 'x' ? hexByte(value, i + 2) : -1; b >= 0) {
            out += static_cast<char>(b);
            i += 3;
        } else {
            refuse(line, "holds a bad escape");
        }
    }
    return out;
}

template <std::size_t N> void putBytes(std::string &out, const std::array<std::uint8_t, N> &bytes)
{
    for (const std::uint8_t b : bytes)
        out += {Digits[b >> 4], Digits[b & 15]};
}

template <std::size_t N> void takeBytes(std::string_view hex, std::size_t &at, std::array<std::uint8_t, N> &bytes)
{
    for (std::uint8_t &b : bytes) {
        b = static_cast<std::uint8_t>(hexByte(hex, at));
        at += 2;
    }
}

} // namespace

std::string encodeRecoveryFile(const RecoveryFile &file)
{
    std::string codes;
    for (const std::uint8_t code : file.codes)
        codes += std::string(codes.empty() ? "" : " ") + Digits[code >> 4] + Digits[code & 15];
    std::string record;
    putBytes(record, file.record.tiles);
    record += {Digits[file.record.timer >> 4], Digits[file.record.timer & 15]};
    putBytes(record, file.record.name);
    putBytes(record, file.record.author);
    putBytes(record, file.record.hint);
    const std::string values[] = {escaped(file.imagePath), std::to_string(file.level),
                                  std::to_string(file.writtenAt), codes,
                                  escaped(file.texts[0]), escaped(file.texts[1]),
                                  escaped(file.texts[2]), escaped(file.texts[3]), record};
    std::string out = std::string(Header) + "\n";
    for (std::size_t i = 0; i < Keys.size(); ++i)
        out += std::string(Keys[i]) + " " + values[i] + "\n";
    return out;
}

RecoveryFile decodeRecoveryFile(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos)
            refuse(static_cast<int>(lines.size()) + 1, "has no line end");
        lines.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
    }
    if (lines.empty() || lines[0] != Header)
        refuse(1, "is not \"" + std::string(Header) + "\"");
    if (lines.size() > Keys.size() + 1)
        refuse(static_cast<int>(Keys.size()) + 2, "is one too many");
    std::array<std::string_view, Keys.size()> value;
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        const std::string_view line = i + 1 < lines.size() ? lines[i + 1] : std::string_view();
        if (!line.starts_with(Keys[i]) || line.size() <= Keys[i].size() || line[Keys[i].size()] != ' ')
            refuse(static_cast<int>(i) + 2, "is not the " + std::string(Keys[i]));
        value[i] = line.substr(Keys[i].size() + 1);
    }
    const auto number = [&](std::size_t i, std::int64_t low, std::int64_t high) {
        std::int64_t n = 0;
        const char *first = value[i].data(), *last = first + value[i].size();
        const auto [end, error] = std::from_chars(first, last, n);
        if (error != std::errc() || end != last || value[i].empty() || n < low || n > high)
            refuse(static_cast<int>(i) + 2, "has no valid " + std::string(Keys[i]));
        return n;
    };

    RecoveryFile file;
    file.imagePath = unescaped(value[0], 2);
    if (file.imagePath.empty())
        refuse(2, "names no image");
    file.level = static_cast<int>(number(1, 1, LevelCount));
    file.writtenAt = number(2, 0, INT64_MAX);
    const std::string_view codes = value[3];
    if (codes.size() != MapCells * 3 - 1)
        refuse(5, "does not hold 168 codes");
    for (std::size_t n = 0; n < MapCells; ++n) {
        const int code = hexByte(codes, n * 3);
        if (code < 0 || (n + 1 < MapCells && codes[n * 3 + 2] != ' '))
            refuse(5, "holds a bad code");
        file.codes[n] = static_cast<std::uint8_t>(code);
    }
    for (std::size_t t = 0; t < file.texts.size(); ++t)
        file.texts[t] = unescaped(value[4 + t], static_cast<int>(t) + 6);
    const std::string_view record = value[8];
    if (record.size() != RecordBytes * 2)
        refuse(10, "does not hold a level record");
    for (std::size_t i = 0; i < record.size(); i += 2)
        if (hexByte(record, i) < 0)
            refuse(10, "holds a bad byte");
    std::size_t at = 0;
    takeBytes(record, at, file.record.tiles);
    file.record.timer = static_cast<std::uint8_t>(hexByte(record, at));
    at += 2;
    takeBytes(record, at, file.record.name);
    takeBytes(record, at, file.record.author);
    takeBytes(record, at, file.record.hint);
    return file;
}

} // namespace wmb
