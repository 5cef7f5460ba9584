// The model-based random test: thousands of seeded random user actions on
// the real window over a copy of the demo ROM, each checked against the
// reference model. WMB_MODEL_OPS and WMB_MODEL_SEED run it longer or with
// another seed.
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "modelrules.h"
#include "modelrun.h"

// Readable texts in failure messages.
void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }
void PrintTo(const QByteArray &bytes, std::ostream *out) { *out << bytes.toHex(' ').toStdString(); }

namespace {

constexpr std::uint64_t DefaultSeed = 20240917;
// About 20 s in an optimised build; a sanitized debug build is four to five
// times slower, so it runs fewer.
#if defined(__SANITIZE_ADDRESS__)
#define WMB_MODEL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WMB_MODEL_SANITIZED 1
#endif
#endif
#ifdef WMB_MODEL_SANITIZED
constexpr int DefaultActions = 10000;
#else
constexpr int DefaultActions = 15000;
#endif

std::uint64_t fromEnvironment(const char *name, std::uint64_t fallback)
{
    const char *value = std::getenv(name);
    if (!value || !*value)
        return fallback;
    char *end = nullptr;
    const unsigned long long n = std::strtoull(value, &end, 10);
    return end && *end == '\0' ? n : fallback;
}

} // namespace

TEST(ModelRun, RandomActionsKeepTheWindowFilesAndRomAsTheModelPredicts)
{
    const std::uint64_t seed = fromEnvironment("WMB_MODEL_SEED", DefaultSeed);
    const int actions = static_cast<int>(fromEnvironment("WMB_MODEL_OPS", DefaultActions));
    ModelRun run(seed);
    QString failure;
    ASSERT_TRUE(run.start(failure)) << failure.toStdString();
    QElapsedTimer clock;
    clock.start();
    const bool same = run.run(actions);
    std::cout << "seed " << seed << ", " << actions << " actions in " << clock.elapsed() << " ms:\n"
              << run.summary().toStdString() << "\n";
    EXPECT_TRUE(same) << run.failureReport().toStdString();
}

// The model's own rules against the record format's worked examples, so
// that the model cannot share a fault with the code it checks.
TEST(ModelRules, AgreeWithTheRecordFormatsExamples)
{
    using namespace model;
    EXPECT_EQ(mapAt(1), 49200);
    EXPECT_EQ(mapAt(32), 57136);
    EXPECT_FALSE(holdsLevel(49300, 1));
    EXPECT_TRUE(holdsLevel(49423, 1));
    EXPECT_FALSE(holdsLevel(57358, 32));
    EXPECT_TRUE(holdsLevel(57359, 32));
    EXPECT_EQ(describeOffset(49168), QStringLiteral("level 1 gap byte 0"));
    EXPECT_EQ(describeOffset(49183), QStringLiteral("level 1 timer byte 0"));
    EXPECT_EQ(describeOffset(49422), QStringLiteral("level 1 hint byte 54"));
    EXPECT_EQ(describeOffset(57359), QStringLiteral("level 32 gap byte 0"));
    EXPECT_EQ(describeOffset(57360), QStringLiteral("outside the level records"));

    const std::pair<int, const char *> hex[] = {{0, "0"}, {10, "A"}, {15, "F"}, {16, "10"}, {31, "1F"}, {255, "FF"}};
    for (const auto &[value, text] : hex) {
        EXPECT_EQ(hexText(value), QLatin1String(text));
        EXPECT_EQ(codeValue(QByteArray(text)), value);
    }
    for (const char *notCode : {"", "01", "1f", "100", "G", " 1", "1 "})
        EXPECT_FALSE(codeValue(QByteArray(notCode))) << notCode;

    const std::pair<const char *, std::optional<std::int32_t>> numbers[] = {
        {"0", 0}, {" -5", -5}, {"+7", 7}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt}, {"1 ", std::nullopt},
        {"1e3", std::nullopt}, {"\xd9\xa3", std::nullopt}};
    for (const auto &[text, value] : numbers)
        EXPECT_EQ(wholeNumber(QByteArray(text)), value) << text;
    EXPECT_EQ(timerByte(1203), 240);
    EXPECT_EQ(timerByte(1300), 255);
    EXPECT_EQ(timerByte(-5), 0);

    EXPECT_EQ(encodeText(QStringLiteral("ABC"), 15), QByteArray("ABC") + QByteArray(12, '\0'));
    EXPECT_EQ(encodeText(QStringLiteral("|\u0406\u2022\u0416\U0001F600x"), 6), QByteArray("?\x7c\0??x", 6));
    EXPECT_EQ(decodeText(QByteArray("A\x05" "B\x7c\0", 5)), QStringLiteral("AB\u0406\u2022"));
    EXPECT_EQ(savedEditText(QStringLiteral("ABC"), 5), QStringLiteral("ABC\u2022\u2022"));
    EXPECT_EQ(model::errorBoxText(QStringLiteral("File not found")), QStringLiteral("File not found."));
    EXPECT_EQ(model::errorBoxText(QStringLiteral("x \"y\"")), QStringLiteral("x \"y\""));
    EXPECT_EQ(fileLine(QStringLiteral("\u2022\u0406a\nb\U0001F600")), QByteArray("\x95\xb2" "a?b?\r\n"));

    QByteArray file = "168\r\n1\r\n";
    for (int i = 0; i < Cells; ++i)
        file += hexText(i).toLatin1() + "\n";
    file += "N\ra\r\n\r\nhint\r\n1203";
    const LevelFileRead read = readLevelFile(file);
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    EXPECT_EQ(read.tiles[167], 167);
    EXPECT_EQ(read.name, QByteArray("Na"));
    EXPECT_EQ(read.timer, 1203);
    EXPECT_EQ(readLevelFile("16x8\r\n").error, QStringLiteral("Level file line 1: Invalid numeric input."));
    EXPECT_EQ(readLevelFile("\xEF\xBB\xBF" + file.replace("\n1F\n", "\n1f\n")).tiles[31], 31);
    EXPECT_TRUE(readLevelFile("167\r\n1\r\n").error.startsWith(QStringLiteral("Level file line 1:")));
    EXPECT_TRUE(readLevelFile("168\r\n1\r\n0\r\n").error.startsWith(QStringLiteral("Level file ends")));
}
