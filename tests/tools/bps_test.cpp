// BPS patches, patches of either format and the checksums, on bytes in memory.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "bps.h"
#include "checksums.h"
#include "errors.h"
#include "ips.h"
#include "levelset.h"
#include "patches.h"
#include "toolrun.h"

using namespace std::string_literals;

namespace {

std::string randomBytes(std::mt19937 &rng, std::size_t n)
{
    std::string s(n, '\0');
    for (char &c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

std::string le32(std::uint32_t v)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(v >> (8 * i));
    return s;
}

// A patch of hand-made header and actions (one byte a number), with the
// checksums of `source` and `target` and its own.
std::string sealed(const std::string &body, const std::string &source, const std::string &target)
{
    const std::string p = body + le32(wmb::crc32Of(source)) + le32(wmb::crc32Of(target));
    return p + le32(wmb::crc32Of(p));
}

std::string failure(const std::string &source, const std::string &patch)
{
    try {
        wmb::applyBps(source, patch, "a.nes");
    } catch (const wmb::RuntimeError &e) {
        return e.what();
    }
    return "(applied)";
}

TEST(Checksums, MatchTheirKnownValues)
{
    const std::string million(1000000, 'a');
    EXPECT_EQ(wmb::crc32Hex(wmb::crc32Of("123456789"), true), "CBF43926");
    EXPECT_EQ(wmb::crc32Hex(wmb::crc32Of("")), "00000000");
    EXPECT_EQ(wmb::md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(wmb::md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(wmb::md5Hex(million), "7707d6ae4e027c70eea2a935c2296f21");
    EXPECT_EQ(wmb::sha1Hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(wmb::sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(wmb::sha1Hex(million), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
    EXPECT_EQ(wmb::groupedNumber(0) + wmb::groupedNumber(999) + " " + wmb::groupedNumber(1204) + " " +
                  wmb::groupedNumber(1048576),
              "0999 1,204 1,048,576");
}

TEST(Bps, RoundTripsEveryKindOfChangeCompactly)
{
    std::mt19937 rng(31);
    const std::string base = randomBytes(rng, 65536);
    std::string edited = base;
    for (int k = 0; k < 40; ++k)
        edited[rng() % edited.size()] = static_cast<char>(rng());
    std::string moved = base;   // 2,560 bytes from 40,000 moved to 1,000, the rest shifted
    moved.replace(1000, 2560 + 39000, base.substr(40000, 2560) + base.substr(1000, 39000));
    std::string filled = base;
    std::fill(filled.begin() + 5000, filled.begin() + 25000, '\x5A');
    struct Case {
        const char *what;
        std::string source, target;
        std::size_t atMost;   // the patch's size
    };
    const std::vector<Case> cases = {
        {"identical", base, base, 60},
        {"random edits", base, edited, 40 * 4 + 60},
        {"a moved block", base, moved, 80},
        {"a filled region", base, filled, 80},
        {"grown", base, base + randomBytes(rng, 3000) + base.substr(0, 4000), 3000 + 80},
        {"shrunk", base, base.substr(0, 30000) + base.substr(50000), 80},
        {"from nothing", "", "abcabcabcabcabcabcabcabcabc", 60},
        {"to nothing", base, "", 60},
        {"unrelated", randomBytes(rng, 3000), randomBytes(rng, 2000), 2000 + 60},
    };
    for (const Case &c : cases) {
        const std::string patch = wmb::makeBps(c.source, c.target);
        EXPECT_LE(patch.size(), c.atMost) << c.what;
        EXPECT_TRUE(wmb::applyBps(c.source, patch, "a.nes") == c.target) << c.what;
        EXPECT_TRUE(wmb::applyPatch(c.source, patch, "a.nes") == c.target) << c.what;
        EXPECT_NE(patch.find(wmb::BpsMetadata), std::string::npos) << c.what;
    }
}

TEST(Bps, MovingALevelGivesASmallerPatchThanIps)
{
    std::string rom = toolrun::readBytes(WMB_DEMO_ROM);
    const std::string original = rom;
    wmb::applyWrite(rom, wmb::moveLevel(rom, 12, 3));
    const std::string bps = wmb::makeBps(original, rom);
    const std::string ips = wmb::makeIps(original, rom);
    EXPECT_LT(bps.size() * 4, ips.size()) << bps.size() << " and " << ips.size();
    EXPECT_TRUE(wmb::applyBps(original, bps, "rom.nes") == rom);
}

TEST(Bps, RefusesMalformedPatchesSayingWhichCheckFailed)
{
    const std::string src = "abcdefgh", tgt = "abcdXYgh";
    // Source 8, target 8, no metadata: "BPS1" 0x88 0x88 0x80.
    const std::string head = "BPS1\x88\x88\x80";
    const std::string good = sealed(head + "\x8C\x85XY\x84", src, tgt);   // SourceRead 4, TargetRead 2, SourceRead 2
    const std::string other = "abcdefgH";
    std::string damaged = good;
    damaged[8] = 'Z';
    std::string wrongTarget = good;
    wrongTarget.replace(good.size() - 8, 4, le32(wmb::crc32Of("abcdXYgX")));
    wrongTarget.replace(wrongTarget.size() - 4, 4, le32(wmb::crc32Of(wrongTarget.substr(0, wrongTarget.size() - 4))));
    struct Case {
        const char *what;
        std::string source, patch, message;
    };
    const std::vector<Case> cases = {
        {"good", src, good, "(applied)"},
        {"wrong magic", src, "BPS2" + good.substr(4), "This is not a BPS patch (it does not begin with \"BPS1\")."},
        {"an IPS patch", src, "PATCHEOF", "This is not a BPS patch (it does not begin with \"BPS1\")."},
        {"too short", src, "BPS1\x80\x80\x80", "The patch is cut short (7 bytes)."},
        {"patch checksum", src, damaged, "The patch is damaged (its checksum does not match)."},
        {"another image", other, good,
         "This patch is for another image: it expects CRC32 " + wmb::crc32Hex(wmb::crc32Of(src), true) +
             ", and a.nes has " + wmb::crc32Hex(wmb::crc32Of(other), true) + "."},
        {"target checksum", src, wrongTarget, "The patch is damaged (the result's checksum does not match)."},
        {"truncated number", src, sealed(head + "\x8C\x85XY\x84\x00"s, src, tgt),
         "The patch is cut short: its number at byte 12 runs into its checksums."},
        {"overflowing number", src, sealed("BPS1" + std::string(9, '\0'), src, tgt),
         "The patch's number at byte 4 is too large."},
        {"metadata too long", src, sealed("BPS1\x88\x88\x90", src, tgt),
         "The patch's metadata at byte 6 runs into its checksums."},
        {"read past the source", src, sealed("BPS1\x88\x89\x80\xA0", src, "abcdefghi"),
         "The patch's action at byte 7 reads past the end of the source."},
        {"write past the target", src, sealed(head + "\xA0", src, tgt),
         "The patch's action at byte 7 writes past the end of the target."},
        {"source copy before the start", src, sealed(head + "\x9E\x83", src, tgt),
         "The patch's action at byte 7 copies from before the start of the source."},
        {"source copy past its end", src, sealed(head + "\x9E\x84", src, tgt),
         "The patch's action at byte 7 reads past the end of the source."},
        {"target copy before the start", src, sealed(head + "\x8C\x87\x83", src, tgt),
         "The patch's action at byte 8 copies from before the start of the target."},
        {"target copy of bytes not yet written", src, sealed(head + "\x8C\x87\x88", src, tgt),
         "The patch's action at byte 8 copies from the part of the target not yet written."},
        {"target read past the actions", src, sealed(head + "\x8C\x89XY", src, tgt),
         "The patch's action at byte 8 reads past the end of the patch's actions."},
        {"actions end early", src, sealed(head + "\x8C", src, tgt),
         "The patch is cut short: its actions end after 4 of the target's 8 bytes."},
        {"neither format", src, "168\r\n1\r\n", "(IPS or BPS)"},
    };
    for (const Case &c : cases) {
        if (c.message == "(IPS or BPS)") {
            EXPECT_THROW(wmb::applyPatch(c.source, c.patch, "a.nes"), wmb::RuntimeError) << c.what;
            continue;
        }
        EXPECT_EQ(failure(c.source, c.patch), c.message) << c.what;
    }
}

TEST(Patches, KnowTheirFormatAndWhatTheyChange)
{
    EXPECT_EQ(wmb::patchFormatOf("BPS1..."), wmb::PatchFormat::Bps);
    EXPECT_EQ(wmb::patchFormatOf("PATCHEOF"), wmb::PatchFormat::Ips);
    EXPECT_EQ(wmb::patchFormatOf("PATC"), wmb::PatchFormat::None);
    EXPECT_EQ(wmb::patchFormatOfName("hack.BPS"), wmb::PatchFormat::Bps);
    EXPECT_EQ(wmb::patchFormatOfName("hack.ips"), wmb::PatchFormat::Ips);
    EXPECT_EQ(wmb::patchFormatOfName("hack"), wmb::PatchFormat::None);

    const std::string rom = toolrun::readBytes(WMB_DEMO_ROM);
    const auto at = [](int level) { return static_cast<std::size_t>(wmb::LevelBaseOf(level)); };
    std::string threeLevels = rom;
    for (int level : {3, 7, 12})
        threeLevels[at(level)] = static_cast<char>(~threeLevels[at(level)]);
    threeLevels[20] = 'x';
    threeLevels[21] = 'x';
    std::string oneLevel = rom;
    oneLevel[at(5) + 3] = static_cast<char>(~oneLevel[at(5) + 3]);
    struct Case {
        const char *what;
        std::string after, text, summary;
    };
    const std::vector<Case> cases = {
        {"nothing", rom, "The patch changes nothing.", "0 levels and 0 other bytes changed"},
        {"three levels and more", threeLevels,
         "The patch changes levels 3, 7 and 12, and 2 bytes outside the level records.",
         "3 levels and 2 other bytes changed"},
        {"one level", oneLevel, "The patch changes level 5.", "1 level and 0 other bytes changed"},
        {"grown", rom + std::string(1204, 'q'),
         "The patch changes 1,204 bytes outside the level records. The image's size goes from " +
             wmb::groupedNumber(rom.size()) + " to " + wmb::groupedNumber(rom.size() + 1204) + " bytes.",
         "0 levels and 1,204 other bytes changed"},
    };
    for (const Case &c : cases) {
        const wmb::ImageChange change = wmb::imageChange(rom, c.after);
        EXPECT_EQ(wmb::patchChangeText(change), c.text) << c.what;
        EXPECT_EQ(wmb::changeSummary(change), c.summary) << c.what;
        // The write that makes the change takes the image there and back.
        const wmb::ImageWrite write = wmb::writeOfImage(rom, c.after);
        std::string image = rom;
        wmb::applyWrite(image, write);
        EXPECT_TRUE(image == c.after) << c.what;
        wmb::applyWrite(image, write.undone());
        EXPECT_TRUE(image == rom) << c.what;
    }
}

} // namespace
