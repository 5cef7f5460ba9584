#include "tilenames.h"

#include "errors.h"
#include "hexcode.h"
#include "wholefile.h"

#include <algorithm>

namespace wmb {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// 0..255 for one or two hexadecimal digits in either case; -1 otherwise.
int codeOf(std::string_view text)
{
    if (text.empty() || text.size() > 2)
        return -1;
    int code = 0;
    for (char c : text) {
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        const bool digit = (upper >= '0' && upper <= '9') || (upper >= 'A' && upper <= 'F');
        if (!digit)
            return -1;
        code = code * 16 + HexDigitValue(upper);
    }
    return code;
}

// The name as it is kept: cut after MaxTileNameLength characters (a UTF-8
// continuation byte is not a character of its own), control characters as
// spaces, no blanks at either end.
std::string keptName(std::string_view name)
{
    std::string kept;
    std::size_t characters = 0;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80 && ++characters > MaxTileNameLength)
            break;
        kept += byte < 0x20 || byte == 0x7F ? ' ' : c;
    }
    return std::string(trimmed(kept));
}

} // namespace

TileNames TileNames::parse(std::string_view text)
{
    TileNames names;
    if (text.starts_with("\xEF\xBB\xBF"))   // the mark some editors put before UTF-8 text
        text.remove_prefix(3);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        const std::size_t blank = std::min(line.find(' '), line.find('\t'));
        const int code = codeOf(line.substr(0, blank));
        if (code < 0 || blank == std::string_view::npos)
            continue;
        std::string name = keptName(trimmed(line.substr(blank)));
        if (!name.empty())
            names.mNames[static_cast<std::size_t>(code)] = std::move(name);
    }
    return names;
}

TileNames TileNames::read(const std::string &folder)
{
    try {
        return parse(readWholeFile(folder + "/" + TileNamesFileName));
    } catch (const RuntimeError &) {
        return {};
    }
}

std::string TileNames::label(std::uint8_t code) const
{
    const std::string &n = name(code);
    return n.empty() ? IntToHexText(code) : IntToHexText(code) + " " + n;
}

bool TileNames::empty() const
{
    return std::all_of(mNames.begin(), mNames.end(), [](const std::string &n) { return n.empty(); });
}

} // namespace wmb
