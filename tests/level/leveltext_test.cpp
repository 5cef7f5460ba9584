// The level text table and the Windows-1251 codec.
#include "cp1251.h"
#include "leveltext.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif
#include <set>

using namespace wmb;
using Bytes = std::vector<std::uint8_t>;

namespace {
const std::string Bullet = "\xE2\x80\xA2";     // U+2022
const std::string CapitalI = "\xD0\x86";      // U+0406

std::string repeat(const std::string &s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

std::string utf8Of(char32_t ch)
{
    return codePointsToUtf8(std::u32string(1, ch));
}
} // namespace

TEST(LevelText, EveryByteDecodesByTheTable)
{
    int characters = 0;
    for (int b = 0; b < 256; ++b) {
        const Bytes field = {0x41, static_cast<std::uint8_t>(b), 0x42};
        std::string expected;
        if (b == 0x00)
            expected = Bullet;
        else if (b == 0x7C)
            expected = CapitalI;
        else if (b >= 0x20 && b <= 0x7E)
            expected = std::string(1, static_cast<char>(b));
        characters += !expected.empty();
        // A byte without a character leaves no trace between its neighbours.
        EXPECT_EQ(decodeLevelText(field), "A" + expected + "B") << std::hex << b;
    }
    EXPECT_EQ(characters, 96);
}

TEST(LevelText, EveryTableCharacterEncodesBackToItsByte)
{
    for (int b = 0; b < 256; ++b) {
        const auto ch = levelTextCharacter(static_cast<std::uint8_t>(b));
        if (!ch)
            continue;
        EXPECT_EQ(levelTextCode(*ch), b);
        EXPECT_EQ(encodeLevelText(utf8Of(*ch), 1), Bytes{static_cast<std::uint8_t>(b)});
    }
}

TEST(LevelText, CharactersOutsideTheTableHaveNoCode)
{
    // Every code point below U+3000, plus a few beyond: only the 96 have a code.
    std::set<char32_t> withCode;
    for (char32_t ch = 0; ch < 0x3000; ++ch) {
        if (levelTextCode(ch))
            withCode.insert(ch);
    }
    for (const char32_t ch : {char32_t{0x1F600}, char32_t{0xFFFD}, char32_t{0x10FFFF}})
        EXPECT_FALSE(levelTextCode(ch));
    EXPECT_EQ(withCode.size(), 96u);
    EXPECT_FALSE(levelTextCode(U'|'));
    EXPECT_FALSE(levelTextCode(U'\u0456'));   // small "і"
    EXPECT_FALSE(levelTextCode(U'\u0411'));   // "Б"
    EXPECT_FALSE(levelTextCode(U'\u007F'));
}

TEST(LevelText, DecodesFieldsAsLoaded)
{
    const struct {
        Bytes field;
        std::string text;
    } cases[] = {
        {Bytes(15, 0x00), repeat(Bullet, 15)},
        {{0x48, 0x45, 0x4C, 0x4C, 0x4F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "HELLO" + repeat(Bullet, 10)},
        {{0x7C}, CapitalI},
        {{0x41, 0x05, 0x42}, "AB"},
        {{0x80, 0xFF, 0x1F, 0x7F}, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(decodeLevelText(c.field), c.text);
}

TEST(LevelText, EncodesOneBytePerCharacter)
{
    const auto withFill = [](Bytes bytes, std::size_t length) {
        bytes.resize(length, 0x00);
        return bytes;
    };
    const struct {
        std::string text;
        std::size_t length;
        Bytes bytes;
    } cases[] = {
        {"ABC", 15, withFill({0x41, 0x42, 0x43}, 15)},
        {"", 55, Bytes(55, 0x00)},
        {"A" + CapitalI + Bullet + "B", 13, withFill({0x41, 0x7C, 0x00, 0x42}, 13)},
        // characters without a code keep the later characters in place
        {"A|B", 5, {0x41, 0x3F, 0x42, 0, 0}},
        {"A\xD0\x91" "B", 5, {0x41, 0x3F, 0x42, 0, 0}},              // "Б"
        {"\xF0\x9F\x98\x80" "x", 3, {0x3F, 0x78, 0}},                // emoji
        {"\xFF" "A", 3, {0x3F, 0x41, 0}},                            // malformed UTF-8
        {"\t\r\n", 3, {0x3F, 0x3F, 0x3F}},
        {"ABCDEFGHIJKLMNOPQRST", 15, {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A,
                                      0x4B, 0x4C, 0x4D, 0x4E, 0x4F}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(encodeLevelText(c.text, c.length), c.bytes) << c.text;
}

TEST(LevelText, PadCountsCharactersNotBytes)
{
    EXPECT_EQ(padLevelText("ABC", 15), "ABC" + repeat(Bullet, 12));
    EXPECT_EQ(padLevelText(CapitalI + CapitalI, 3), CapitalI + CapitalI + Bullet);
    EXPECT_EQ(padLevelText("", 2), Bullet + Bullet);
    EXPECT_EQ(padLevelText("ABCDEFGHIJKLMNOPQRST", 15), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(characterCount(CapitalI + "A" + Bullet), 3u);
    EXPECT_EQ(withoutFill("A" + Bullet + CapitalI + Bullet + Bullet), "A" + Bullet + CapitalI);
    EXPECT_EQ(withoutFill(Bullet + Bullet), "");
}

// Every character of the table once ("$" and "S" each once), "І" for 0x7C.
TEST(LevelText, HintListsEveryCharacterOfTheTable)
{
    EXPECT_EQ(levelTextHint(), "!\"#$%&'()*+,-./:;<=>?@`{" + CapitalI +
                                   "}~[\\]^_0123456789\nABCDEFGHIJKLMNOPQRSTUVWXYZ\nabcdefghijklmnopqrstuvwxyz");
}

TEST(Cp1251, EveryByteRoundTripsToADistinctCharacter)
{
    std::set<std::string> decoded;
    std::string all;
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = cp1251ToUtf8(byte);
        EXPECT_EQ(characterCount(utf8), 1u) << b;
        EXPECT_EQ(utf8ToCp1251(utf8), byte) << b;
        decoded.insert(utf8);
        all += byte;
    }
    EXPECT_EQ(decoded.size(), 256u);
    EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all)), all);
    EXPECT_EQ(cp1251ToUtf8("\xB2\x95\x98"), CapitalI + Bullet + "\xC2\x98");
}

#ifdef _WIN32
TEST(Cp1251, TableAgreesWithTheSystemConverter)
{
    for (int b = 0x80; b < 0x100; ++b) {
        if (b == 0x98)
            continue;   // unassigned in the code page
        const char in = static_cast<char>(b);
        wchar_t wide[2] = {};
        char out[8] = {};
        ASSERT_EQ(MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, &in, 1, wide, 2), 1) << b;
        const int n = WideCharToMultiByte(CP_UTF8, 0, wide, 1, out, sizeof out, nullptr, nullptr);
        EXPECT_EQ(cp1251ToUtf8(std::string(1, in)), std::string(out, static_cast<std::size_t>(n))) << std::hex << b;
    }
}
#else
TEST(Cp1251, TableAgreesWithTheSystemConverter)
{
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1))
        GTEST_SKIP() << "the system has no CP1251 converter";
    for (int b = 0x80; b < 0x100; ++b) {
        if (b == 0x98)
            continue;   // unassigned in the code page
        char in[1] = {static_cast<char>(b)};
        char out[8] = {};
        char *inPtr = in;
        char *outPtr = out;
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof out;
        ASSERT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1)) << b;
        EXPECT_EQ(cp1251ToUtf8(std::string(1, static_cast<char>(b))), std::string(out, outPtr)) << std::hex << b;
    }
    iconv_close(cd);
}
#endif

TEST(Cp1251, UnmappableCharactersBecomeOneQuestionMark)
{
    const std::pair<std::string, std::string> cases[] = {
        {"\xE2\x82\xAC", "\x88"},                 // euro sign
        {"\xE4\xB8\xAD", "?"},                    // CJK
        {"\xF0\x9F\x98\x80" "A", "?A"},           // emoji
        {"\xC3", "?"},                            // cut sequence
        {"\xC3\x28", "?("},
        {"\xC0\xAF", "??"},                       // overlong
        {"\xED\xA0\x80", "???"},                  // surrogate
        {"\xC3\xA9", "?"},                        // e acute: not in the code page
    };
    for (const auto &[utf8, bytes] : cases)
        EXPECT_EQ(utf8ToCp1251(utf8), bytes);
}
