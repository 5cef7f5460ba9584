// The text form of tile codes: upper-case hexadecimal without leading zeros.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wmb {

// v below 2^28 -> "0", "A", "1F", "FF", ...
std::string IntToHexText(std::uint32_t v);

// Position of ch in "0123456789ABCDEF" (exact match), 0 when absent.
int HexDigitValue(char ch);

// The text read as hexadecimal; 0 when any character, after upper-casing
// a..z, is outside 0-9 A-F. Texts longer than 8 digits keep the low 32 bits
// of their value (the leading digits shift out).
std::uint32_t HexTextToInt(std::string_view s);

// True when s is the exact text IntToHexText gives for a byte value 0..255
// (the form of every map store text and every tile picture name).
bool isTileCodeText(std::string_view s);

// The runtime's decimal conversion: optional leading blanks, an optional
// sign, then digits, within 32-bit signed range. Anything else throws
// ConvertError("'<text>' is not a valid integer value").
std::int32_t StrToInt(std::string_view text);

// The same conversion without an error: false when text is not a whole number.
bool tryStrToInt(std::string_view text, std::int32_t &value);

} // namespace wmb
