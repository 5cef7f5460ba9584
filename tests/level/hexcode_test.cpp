// Tile code texts and the decimal conversion.
#include "errors.h"
#include "hexcode.h"

#include <gtest/gtest.h>

#include <set>

using namespace wmb;

TEST(HexCode, IntToHexTextHasNoLeadingZeros)
{
    const std::pair<std::uint32_t, const char *> cases[] = {
        {0, "0"}, {9, "9"}, {10, "A"}, {15, "F"}, {16, "10"}, {31, "1F"}, {160, "A0"},
        {255, "FF"}, {256, "100"}, {0x1000, "1000"}, {0x0FFFFFFF, "FFFFFFF"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(IntToHexText(value), text) << value;
}

TEST(HexCode, HexTextToIntReadsOrRejectsWholeText)
{
    const std::pair<const char *, std::uint32_t> cases[] = {
        {"", 0}, {"0", 0}, {"A", 10}, {"a", 10}, {"1F", 31}, {"1f", 31}, {"01F", 31},
        {"FF", 255}, {"100", 256}, {"fFfF", 0xFFFF},
        // one bad character rejects everything
        {"G", 0}, {"1G", 0}, {" 1", 0}, {"1 ", 0}, {"-1", 0}, {"+1", 0}, {"0x1F", 0}, {"$1F", 0},
        {"1\xC3\xA9", 0},
        // more than 8 digits: the low 32 bits
        {"FFFFFFFF", 0xFFFFFFFF}, {"123456789", 0x23456789}, {"1FFFFFFFF", 0xFFFFFFFF},
        {"000000000000000000001F", 31}, {"GFFFFFFFF", 0},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(HexTextToInt(text), value) << '"' << text << '"';
    EXPECT_EQ(HexTextToInt(std::string(100000, 'F')), 0xFFFFFFFFu);
}

TEST(HexCode, HexDigitValueIsExact)
{
    const std::pair<char, int> cases[] = {
        {'0', 0}, {'9', 9}, {'A', 10}, {'F', 15}, {'a', 0}, {'f', 0}, {'G', 0}, {' ', 0}, {'\0', 0},
    };
    for (const auto &[ch, value] : cases)
        EXPECT_EQ(HexDigitValue(ch), value) << ch;
}

TEST(HexCode, EveryByteRoundTrips)
{
    for (std::uint32_t b = 0; b < 256; ++b)
        EXPECT_EQ(HexTextToInt(IntToHexText(b)), b);
}

TEST(HexCode, TileCodeTextsAreExactlyTheByteTexts)
{
    std::set<std::string> byteTexts;
    for (std::uint32_t b = 0; b < 256; ++b)
        byteTexts.insert(IntToHexText(b));
    ASSERT_EQ(byteTexts.size(), 256u);

    // Every text of up to two printable characters, and a few longer ones.
    std::vector<std::string> texts = {"", "100", "FFF", "00F", " 1F", "1F\r"};
    for (char a = ' '; a <= '~'; ++a) {
        texts.emplace_back(1, a);
        for (char b = ' '; b <= '~'; ++b)
            texts.push_back(std::string{a, b});
    }
    for (const std::string &text : texts)
        EXPECT_EQ(isTileCodeText(text), byteTexts.count(text) == 1) << '"' << text << '"';
}

TEST(StrToIntTest, AcceptsWholeNumbers)
{
    const std::pair<const char *, std::int32_t> cases[] = {
        {"0", 0}, {"120", 120}, {"+5", 5}, {"-5", -5}, {"  42", 42}, {" -7", -7},
        {"0001200", 1200}, {"00000000000000000000000001", 1},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto &[text, value] : cases) {
        EXPECT_EQ(StrToInt(text), value) << text;
        std::int32_t tried = 0;
        EXPECT_TRUE(tryStrToInt(text, tried));
        EXPECT_EQ(tried, value);
    }
}

TEST(StrToIntTest, RefusesAnythingElseNamingTheWholeText)
{
    const char *cases[] = {
        "", " ", "+", "-", "12 ", "1 2", "abc", "12a", "- 5", "+-5", "\t5", "0x10", "$10", "1.5",
        "2147483648", "-2147483649", "99999999999", "1e3", "\xD9\xA1",
    };
    for (const char *text : cases) {
        std::int32_t tried = 99;
        EXPECT_FALSE(tryStrToInt(text, tried)) << text;
        EXPECT_EQ(tried, 99) << "value must stay untouched";
        try {
            StrToInt(text);
            ADD_FAILURE() << "no error for \"" << text << '"';
        } catch (const ConvertError &e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(Errors, OtherNumbersAndOtherErrorsReadAsTheRuntimes)
{
    EXPECT_STREQ(InOutError(103).what(), "I/O error 103");
    EXPECT_STREQ(InOutError(106).what(), "Invalid numeric input");
    EXPECT_STREQ(PictureError::cannotOpen("graph/1F.bmp").what(), "Cannot open file graph/1F.bmp");
    EXPECT_STREQ(PictureError::notValid().what(), "Bitmap image is not valid");
    EXPECT_STREQ(NoLevelError().what(), "No level is loaded");
}
