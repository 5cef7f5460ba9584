#include "leveltext.h"

#include "cp1251.h"

namespace wmb {

std::optional<char32_t> levelTextCharacter(std::uint8_t code)
{
    if (code == 0x00)
        return FillCharacter;
    if (code == 0x7C)
        return CyrillicI;
    if (code >= 0x20 && code <= 0x7E)
        return char32_t{code};
    return std::nullopt;
}

std::optional<std::uint8_t> levelTextCode(char32_t ch)
{
    if (ch == FillCharacter)
        return std::uint8_t{0x00};
    if (ch == CyrillicI)
        return std::uint8_t{0x7C};
    if (ch >= 0x20 && ch <= 0x7E && ch != U'|')
        return static_cast<std::uint8_t>(ch);
    return std::nullopt;
}

std::string decodeLevelText(std::span<const std::uint8_t> bytes)
{
    std::u32string text;
    for (const std::uint8_t byte : bytes) {
        if (const auto ch = levelTextCharacter(byte))
            text.push_back(*ch);
    }
    return codePointsToUtf8(text);
}

std::vector<std::uint8_t> encodeLevelText(std::string_view utf8, std::size_t length)
{
    std::vector<std::uint8_t> bytes(length, 0x00);
    const std::u32string text = utf8ToCodePoints(utf8);
    for (std::size_t i = 0; i < length && i < text.size(); ++i)
        bytes[i] = levelTextCode(text[i]).value_or(NoCodeByte);
    return bytes;
}

std::string padLevelText(std::string_view utf8, std::size_t length)
{
    std::string padded(utf8);
    static const std::string fill = codePointsToUtf8(std::u32string(1, FillCharacter));
    for (std::size_t count = characterCount(utf8); count < length; ++count)
        padded += fill;
    return padded;
}

std::size_t characterCount(std::string_view utf8)
{
    return utf8ToCodePoints(utf8).size();
}

} // namespace wmb
