// The Windows-1251 codec and the level text table on any bytes, read both as
// file bytes and as UTF-8 typed into an edit.
#include "cp1251.h"
#include "fuzzcheck.h"
#include "leveltext.h"

#include <algorithm>

using wmbfuzz::check;

namespace {

bool isValidUtf8(std::string_view s)
{
    return wmb::codePointsToUtf8(wmb::utf8ToCodePoints(s)) == s;
}

void checkCp1251(std::string_view bytes)
{
    const std::string utf8 = wmb::cp1251ToUtf8(bytes);
    check(isValidUtf8(utf8), "decoding gives valid UTF-8");
    check(wmb::characterCount(utf8) == bytes.size(), "one character per byte");
    check(wmb::utf8ToCp1251(utf8) == bytes, "every byte survives decode then encode");

    // Any text, valid UTF-8 or not: one byte per character, and a character
    // the code page cannot hold becomes '?'.
    const std::string encoded = wmb::utf8ToCp1251(bytes);
    check(encoded.size() == wmb::utf8ToCodePoints(bytes).size(), "one byte per character");
}

void checkLevelText(std::string_view input)
{
    // As field bytes: decode leaves out bytes without a character; encoding
    // the text back gives the bytes that have one, filled with 0x00.
    const std::span<const std::uint8_t> field(reinterpret_cast<const std::uint8_t *>(input.data()),
                                              input.size());
    const std::string text = wmb::decodeLevelText(field);
    check(isValidUtf8(text), "decoded field text is valid UTF-8");
    std::vector<std::uint8_t> kept;
    for (const std::uint8_t byte : field) {
        if (wmb::levelTextCharacter(byte))
            kept.push_back(byte);
    }
    const std::vector<std::uint8_t> encoded = wmb::encodeLevelText(text, field.size());
    check(encoded.size() == field.size(), "encoding gives exactly the field's length");
    check(std::equal(kept.begin(), kept.end(), encoded.begin()), "bytes with a character survive");
    check(std::all_of(encoded.begin() + static_cast<std::ptrdiff_t>(kept.size()), encoded.end(),
                      [](std::uint8_t b) { return b == 0x00; }),
          "a short text is filled with 0x00");

    // As typed text of any length into fields of 13, 15 and 55 bytes.
    for (const std::size_t length : {std::size_t{13}, std::size_t{15}, std::size_t{55}}) {
        const std::vector<std::uint8_t> bytes = wmb::encodeLevelText(input, length);
        check(bytes.size() == length, "a field always gets its length");
        for (const std::uint8_t b : bytes)
            check(wmb::levelTextCharacter(b).has_value(), "every stored byte has a character");
        const std::string padded = wmb::padLevelText(input, length);
        check(wmb::characterCount(padded) == std::max(wmb::characterCount(input), length),
              "padding fills to the field's length and keeps longer texts whole");
        check(wmb::encodeLevelText(wmb::decodeLevelText(bytes), length) == bytes,
              "stored bytes survive a load and a save");
    }
    for (const char32_t ch : wmb::utf8ToCodePoints(input)) {
        if (const auto code = wmb::levelTextCode(ch))
            check(wmb::levelTextCharacter(*code) == ch, "a character's code maps back to it");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string_view input = wmbfuzz::asText(data, size);
    checkCp1251(input);
    checkLevelText(input);
    return 0;
}
