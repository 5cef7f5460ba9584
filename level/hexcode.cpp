#include "hexcode.h"

#include "errors.h"

#include <limits>

namespace wmb {

namespace {
constexpr char DigitTable[] = "0123456789ABCDEF";

char upperAscii(char ch)
{
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool isHexDigit(char ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F');
}
} // namespace

std::string IntToHexText(std::uint32_t v)
{
    if (v == 0)
        return "0";
    std::string text;
    for (int shift = 28; shift >= 0; shift -= 4) {
        const std::uint32_t digit = (v >> shift) & 0xF;
        if (digit != 0 || !text.empty())
            text.push_back(DigitTable[digit]);
    }
    return text;
}

int HexDigitValue(char ch)
{
    for (int i = 0; i < 16; ++i) {
        if (DigitTable[i] == ch)
            return i;
    }
    return 0;
}

std::uint32_t HexTextToInt(std::string_view s)
{
    // Each digit weighs by its distance from the right end; digits 8 and more
    // places from the end lie above bit 31 and drop out.
    std::uint32_t sum = 0;
    bool rejected = false;
    const std::size_t length = s.size();
    for (std::size_t i = 0; i < length; ++i) {
        const char ch = upperAscii(s[i]);
        if (!isHexDigit(ch))
            rejected = true;
        const std::size_t place = length - 1 - i;
        if (place < 8)
            sum += static_cast<std::uint32_t>(HexDigitValue(ch)) << (4 * place);
    }
    return rejected ? 0 : sum;
}

bool isTileCodeText(std::string_view s)
{
    if (s.size() == 1)
        return isHexDigit(s[0]);
    return s.size() == 2 && isHexDigit(s[0]) && s[0] != '0' && isHexDigit(s[1]);
}

bool tryStrToInt(std::string_view text, std::int32_t &value)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return false;
    // Accumulated as a magnitude up to 2^31, the size of the most negative value.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch < '0' || ch > '9')
            return false;
        magnitude = magnitude * 10 + (ch - '0');
        if (magnitude > limit)
            return false;
    }
    if (!negative && magnitude == limit)
        return false;
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

std::int32_t StrToInt(std::string_view text)
{
    std::int32_t value = 0;
    if (!tryStrToInt(text, value))
        throw ConvertError(std::string(text));
    return value;
}

} // namespace wmb
