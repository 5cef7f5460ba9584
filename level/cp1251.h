// Windows-1251 <-> UTF-8: the level file holds texts as Windows-1251 bytes.
#pragma once

#include <string>
#include <string_view>

namespace wmb {

// Every byte has a character (0x98, unassigned in the code page, maps to
// U+0098), so decoding never fails and encoding it back gives the same bytes.
std::string cp1251ToUtf8(std::string_view bytes);

// Characters the code page cannot hold become '?', one byte per character
// (code point). Malformed UTF-8 sequences count as one character each.
std::string utf8ToCp1251(std::string_view utf8);

// Helpers shared by the text codecs: UTF-8 <-> code points. Decoding turns
// each malformed byte into U+FFFD.
std::u32string utf8ToCodePoints(std::string_view utf8);
std::string codePointsToUtf8(std::u32string_view cps);

} // namespace wmb
