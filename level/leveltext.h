// The level text table: name, author and hint bytes in the ROM <-> text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wmb {

constexpr char32_t FillCharacter = U'\u2022';   // "•", code 0x00, the fill of short texts
constexpr char32_t CyrillicI = U'\u0406';       // "І", code 0x7C
constexpr std::uint8_t NoCodeByte = 0x3F;       // "?" written for a character without a code

// Character of a level text code, if the code has one.
std::optional<char32_t> levelTextCharacter(std::uint8_t code);
// Code of a character, if the table has one ("|" has none).
std::optional<std::uint8_t> levelTextCode(char32_t ch);

// Field bytes -> UTF-8 text; a byte without a character leaves no trace.
std::string decodeLevelText(std::span<const std::uint8_t> bytes);

// UTF-8 text -> exactly `length` field bytes: one byte per character, "?"
// (0x3F) for a character without a code, characters past `length` dropped,
// short texts filled with 0x00.
std::vector<std::uint8_t> encodeLevelText(std::string_view utf8, std::size_t length);

// The text as the saver leaves it in its edit: filled with "•" to `length`
// characters; a longer text is kept whole.
std::string padLevelText(std::string_view utf8, std::size_t length);

// The text without its trailing fill ("•"), as the level overview shows it.
std::string withoutFill(std::string_view utf8);

// The characters the level texts can hold, every one of the table once
// except the fill and the blank, as UTF-8 in three lines: signs and digits,
// then the capitals, then the small letters.
std::string levelTextHint();

// Number of characters (code points) of a UTF-8 text.
std::size_t characterCount(std::string_view utf8);

} // namespace wmb
