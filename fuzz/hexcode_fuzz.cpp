// Tile code texts and decimal conversion on any text, against plain
// reference conversions written here.
#include "errors.h"
#include "fuzzcheck.h"
#include "hexcode.h"

#include <cstring>
#include <string>

using wmbfuzz::check;

namespace {

// HexTextToInt's contract: 0 unless every character is a hex digit in either
// case; otherwise the value modulo 2^32.
std::uint32_t referenceHex(std::string_view s)
{
    std::uint32_t v = 0;
    for (const char ch : s) {
        int digit;
        if (ch >= '0' && ch <= '9')
            digit = ch - '0';
        else if (ch >= 'A' && ch <= 'F')
            digit = ch - 'A' + 10;
        else if (ch >= 'a' && ch <= 'f')
            digit = ch - 'a' + 10;
        else
            return 0;
        v = (v << 4) | static_cast<std::uint32_t>(digit);
    }
    return v;
}

// The runtime's decimal grammar: spaces, an optional sign, one or more
// digits, nothing else, inside the 32-bit signed range.
bool referenceDecimal(std::string_view s, std::int64_t &value)
{
    std::size_t i = s.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return false;
    const bool negative = s[i] == '-';
    if (s[i] == '+' || s[i] == '-')
        ++i;
    if (i == s.size())
        return false;
    std::int64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        magnitude = magnitude * 10 + (s[i] - '0');
        if (magnitude > (std::int64_t{1} << 31))
            return false;
    }
    value = negative ? -magnitude : magnitude;
    return value >= INT32_MIN && value <= INT32_MAX;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string_view text = wmbfuzz::asText(data, size);

    check(wmb::HexTextToInt(text) == referenceHex(text), "HexTextToInt matches the reference");

    bool isByteText = false;
    for (std::uint32_t b = 0; b < 256 && !isByteText; ++b)
        isByteText = wmb::IntToHexText(b) == text;
    check(wmb::isTileCodeText(text) == isByteText, "tile code texts are exactly the texts of 0..255");

    if (size >= 4) {
        std::uint32_t v;
        std::memcpy(&v, data, 4);
        v &= 0x0FFFFFFF;
        const std::string hex = wmb::IntToHexText(v);
        check(wmb::HexTextToInt(hex) == v, "IntToHexText then HexTextToInt gives the value");
        check(hex.size() == 1 || hex[0] != '0', "no leading zeros");
        check(hex.find_first_not_of("0123456789ABCDEF") == std::string::npos, "upper-case digits only");
        for (const char ch : hex)
            check(wmb::IntToHexText(static_cast<std::uint32_t>(wmb::HexDigitValue(ch)))[0] == ch,
                  "HexDigitValue inverts the digit table");
    }

    std::int64_t expected = 0;
    const bool valid = referenceDecimal(text, expected);
    std::int32_t value = 0;
    check(wmb::tryStrToInt(text, value) == valid, "tryStrToInt accepts exactly the whole numbers");
    if (valid) {
        check(value == expected, "tryStrToInt gives the number's value");
        check(wmb::StrToInt(text) == value, "StrToInt agrees with tryStrToInt");
        check(wmb::StrToInt(std::to_string(value)) == value, "a number's decimal text reads back");
    } else {
        try {
            wmb::StrToInt(text);
            check(false, "StrToInt refuses what tryStrToInt refuses");
        } catch (const wmb::ConvertError &e) {
            // what() is a C string: a text with a NUL byte is quoted up to it.
            const std::string message = "'" + std::string(text) + "' is not a valid integer value";
            check(std::strcmp(e.what(), message.c_str()) == 0, "the conversion message quotes the text");
        }
    }
    return 0;
}
