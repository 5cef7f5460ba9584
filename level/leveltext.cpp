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

namespace {
const std::string &fillText()
{
    static const std::string fill = codePointsToUtf8(std::u32string(1, FillCharacter));
    return fill;
}
} // namespace

std::string padLevelText(std::string_view utf8, std::size_t length)
{
    std::string padded(utf8);
    const std::string &fill = fillText();
    for (std::size_t count = characterCount(utf8); count < length; ++count)
        padded += fill;
    return padded;
}

std::string withoutFill(std::string_view utf8)
{
    while (utf8.ends_with(fillText()))
        utf8.remove_suffix(fillText().size());
    return std::string(utf8);
}

std::string levelTextHint()
{
    // Ranges of codes in the order the hint lists them; a range that starts
    // a line.
    struct Codes {
        std::uint8_t first, last;
        bool newLine;
    };
    static constexpr Codes order[] = {
        {0x21, 0x2F, false}, {0x3A, 0x40, false}, {0x60, 0x60, false}, {0x7B, 0x7E, false},
        {0x5B, 0x5F, false}, {0x30, 0x39, false}, {0x41, 0x5A, true},  {0x61, 0x7A, true},
    };
    std::u32string hint;
    for (const Codes &codes : order) {
        if (codes.newLine)
            hint += U'\n';
        for (int code = codes.first; code <= codes.last; ++code)
            if (const auto ch = levelTextCharacter(static_cast<std::uint8_t>(code)))
                hint += *ch;
    }
    return codePointsToUtf8(hint);
}

std::size_t characterCount(std::string_view utf8)
{
    return utf8ToCodePoints(utf8).size();
}

} // namespace wmb
