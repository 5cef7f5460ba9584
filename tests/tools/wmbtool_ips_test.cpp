// wmbtool ips, bps, patch, apply and info as the real program: round trips
// and refusals.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "checksums.h"
#include "ips.h"
#include "levelrecord.h"
#include "levelset.h"
#include "toolrun.h"

using namespace toolrun;

namespace {

// Makes a patch from original to edited with the tool, applies it to the
// original with the tool, and checks that the result is edited and that
// neither input changed. Returns the patch.
std::string roundTrip(const TempDir &dir, const std::string &original, const std::string &edited)
{
    const std::string a = dir.file("a.bin");
    const std::string b = dir.file("b.bin");
    const std::string patch = dir.file("p.ips");
    const std::string out = dir.file("out.bin");
    writeBytes(a, original);
    writeBytes(b, edited);
    const ToolResult made = runTool({"ips", a, b, patch});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out + made.err, "");
    const ToolResult applied = runTool({"patch", a, patch, out});
    EXPECT_EQ(applied.status, 0) << applied.err;
    EXPECT_EQ(applied.out + applied.err, "");
    EXPECT_TRUE(readBytes(out) == edited);
    EXPECT_TRUE(readBytes(a) == original);
    EXPECT_TRUE(readBytes(b) == edited);
    return readBytes(patch);
}

TEST(WmbtoolIps, CarriesEditsAcrossAllLevels)
{
    TempDir dir;
    const std::string original = readBytes(WMB_DEMO_ROM);
    std::string edited = original;
    std::mt19937 rng(32);
    for (int n = 1; n <= 32; ++n) {
        const std::int64_t base = wmb::LevelBaseOf(n);
        for (int k = 0; k < 5; ++k) {
            const std::int64_t o = base + wmb::RecordFirstOffset + static_cast<std::int64_t>(rng() % 254);
            edited[static_cast<std::size_t>(o)] = static_cast<char>(~edited[static_cast<std::size_t>(o)]);
        }
    }
    const std::string patch = roundTrip(dir, original, edited);
    EXPECT_EQ(patch, wmb::makeIps(original, edited));
}

TEST(WmbtoolIps, HandlesTheEofOffsetLongRunsAndNoChange)
{
    TempDir dir;
    const std::size_t eof = wmb::IpsEofOffset;
    const std::string large(eof + 1000, 'q');
    std::string atEof = large;
    atEof[eof] = 'Q';
    atEof[eof + 1] = 'Q';
    const std::string patch = roundTrip(dir, large, atEof);
    EXPECT_EQ(patch.find(std::string("\x45\x4F\x46\x00", 4)), std::string::npos) << "a record at 0x454F46";

    std::string longRun(200000, '\0');
    const std::string original = longRun;
    std::fill(longRun.begin() + 100, longRun.begin() + 100 + 70000, '\x7F');
    EXPECT_EQ(roundTrip(dir, original, longRun).size(), 5 + (5 + 65535) + (5 + 70000 - 65535) + 3);

    EXPECT_EQ(roundTrip(dir, original, original), "PATCHEOF");
}

TEST(WmbtoolIps, RefusesFilesOfDifferentSizes)
{
    TempDir dir;
    const std::string a = dir.file("a.nes");
    const std::string b = dir.file("b.nes");
    writeBytes(a, "abcd");
    writeBytes(b, "abcde");
    const ToolResult r = runTool({"ips", a, b, dir.file("p.ips")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(a), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(b), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("differ in size (4 and 5 bytes)"), std::string::npos) << r.err;
    EXPECT_FALSE(exists(dir.file("p.ips")));
}

TEST(WmbtoolPatch, RefusesBadPatchesAndNeverTouchesTheRom)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const std::string before = readBytes(rom);
    const std::string patch = dir.file("p.ips");
    const std::string out = dir.file("out.nes");
    struct Case {
        const char *what;
        std::string patch;
        std::vector<std::string> args;   // empty: patch ROM p.ips out.nes
        const char *err;
    };
    const std::vector<Case> cases = {
        {"empty file", "", {}, "does not begin with \"PATCH\""},
        {"a level file", "168\r\n1\r\n", {}, "does not begin with \"PATCH\""},
        {"no EOF", std::string("PATCH\0\0\1\0\1x", 11), {}, "no \"EOF\""},
        {"cut record", std::string("PATCH\0\0\1\0\5xy", 12), {}, "cut short"},
        {"junk after EOF", "PATCHEOFjunk", {}, "stray"},
        {"missing patch", "", {"patch", rom, dir.file("none.ips"), out}, "none.ips: File not found"},
        {"missing ROM", "PATCHEOF", {"patch", dir.file("none.nes"), patch, out}, "none.nes: File not found"},
        {"OUT is the ROM", "PATCHEOF", {"patch", rom, patch, rom}, "would replace the input file"},
        {"wrong usage", "PATCHEOF", {"patch", rom, patch}, "patch takes ROM PATCH.ips OUT"},
    };
    for (const Case &c : cases) {
        writeBytes(patch, c.patch);
        const auto args = c.args.empty() ? std::vector<std::string>{"patch", rom, patch, out} : c.args;
        const ToolResult r = runTool(args);
        EXPECT_EQ(r.status, std::string(c.what) == "wrong usage" ? 2 : 1) << c.what;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.what << ": " << r.err;
        if (c.args.empty()) {
            EXPECT_EQ(r.err.rfind("wmbtool: " + patch + ": ", 0), 0u) << r.err;
        }
        EXPECT_FALSE(exists(out)) << c.what;
        EXPECT_EQ(readBytes(rom), before) << c.what;
        EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"p.ips", "rom.nes"})) << c.what;
    }

    // A good patch writes OUT and still leaves the ROM alone, even a
    // read-only one.
    ::chmod(rom.c_str(), 0444);
    writeBytes(patch, std::string("PATCH\0\xC0\x30\0\3abcEOF", 16));
    ::chmod(dir.path().c_str(), 0777);
    const ToolResult r = runTool({"patch", rom, patch, out}, {}, /*asNobody=*/true);
    ::chmod(dir.path().c_str(), 0755);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string expected = before;
    expected.replace(0xC030, 3, "abc");
    EXPECT_EQ(readBytes(out), expected);
    EXPECT_EQ(readBytes(rom), before);
}

// Both formats, both directions: the patch made by the tool, applied by
// `apply`, gives the other file; inputs are never changed.
TEST(WmbtoolApply, RoundTripsBpsAndIpsBothWays)
{
    TempDir dir;
    const std::string rom = readBytes(WMB_DEMO_ROM);
    std::mt19937 rng(33);
    std::string edited = rom;
    for (int k = 0; k < 300; ++k)
        edited[rng() % edited.size()] = static_cast<char>(rng());
    std::string moved = rom;
    wmb::applyWrite(moved, wmb::moveLevel(moved, 12, 3));
    struct Case {
        const char *what;
        std::string original, modified;
    };
    const std::vector<Case> cases = {
        {"random edits", rom, edited},
        {"level 12 moved to 3", rom, moved},
        {"grown", rom, rom + std::string(5000, '\xEA') + rom.substr(100, 3000)},
        {"shrunk", rom, rom.substr(0, 60000)},
    };
    const std::string a = dir.file("a.nes"), b = dir.file("b.nes"), out = dir.file("out.nes");
    for (const Case &c : cases) {
        for (const bool forth : {true, false}) {
            const std::string &from = forth ? c.original : c.modified;
            const std::string &to = forth ? c.modified : c.original;
            writeBytes(a, from);
            writeBytes(b, to);
            for (const char *format : {"bps", "ips"}) {
                if (std::string(format) == "ips" && from.size() != to.size())
                    continue;
                const std::string patch = dir.file(std::string("p.") + format);
                const ToolResult made = runTool({format, a, b, patch});
                ASSERT_EQ(made.status, 0) << c.what << made.err;
                const ToolResult applied = runTool({"apply", a, patch, out});
                ASSERT_EQ(applied.status, 0) << c.what << applied.err;
                EXPECT_TRUE(readBytes(out) == to) << c.what << " " << format << " " << forth;
                EXPECT_TRUE(readBytes(a) == from && readBytes(b) == to) << c.what;
            }
        }
    }
    writeBytes(a, rom);
    writeBytes(b, moved);
    runTool({"bps", a, b, dir.file("move.bps")});
    runTool({"ips", a, b, dir.file("move.ips")});
    EXPECT_LT(readBytes(dir.file("move.bps")).size() * 4, readBytes(dir.file("move.ips")).size());
}

TEST(WmbtoolApply, RefusesAPatchOfAnotherImageOrDamagedAndWritesNothing)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const std::string before = readBytes(rom);
    std::string edited = before;
    edited[static_cast<std::size_t>(wmb::LevelBaseOf(3))] ^= 1;
    writeBytes(dir.file("edited.nes"), edited);
    const std::string patch = dir.file("p.bps");
    ASSERT_EQ(runTool({"bps", rom, dir.file("edited.nes"), patch}).status, 0);
    std::string damaged = readBytes(patch);
    damaged[damaged.size() / 2] ^= 0x40;
    writeBytes(dir.file("damaged.bps"), damaged);
    std::string other = before;
    other[100] ^= 1;
    writeBytes(dir.file("other.nes"), other);
    const std::string out = dir.file("out.nes");
    struct Case {
        const char *what;
        std::vector<std::string> args;
        std::string err;
        int status;
    };
    const std::vector<Case> cases = {
        {"another image", {"apply", dir.file("other.nes"), patch, out},
         patch + ": This patch is for another image: it expects CRC32 " +
             wmb::crc32Hex(wmb::crc32Of(before), true) + ", and " + dir.file("other.nes") + " has " +
             wmb::crc32Hex(wmb::crc32Of(other), true) + ".",
         1},
        {"damaged", {"apply", rom, dir.file("damaged.bps"), out},
         "damaged.bps: The patch is damaged (its checksum does not match).", 1},
        {"not a patch", {"apply", rom, dir.file("edited.nes"), out}, "is not an IPS or BPS patch", 1},
        {"OUTPUT is the image", {"apply", rom, patch, rom}, "would replace the input file", 1},
        {"OUTPUT is the patch", {"apply", rom, patch, patch}, "would replace the input file", 1},
        {"wrong usage", {"apply", rom, patch}, "apply takes IMAGE PATCH OUTPUT", 2},
    };
    for (const Case &c : cases) {
        const ToolResult r = runTool(c.args);
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.what << ": " << r.err;
        EXPECT_FALSE(exists(out)) << c.what;
        EXPECT_EQ(readBytes(rom), before) << c.what;
        EXPECT_EQ(readBytes(patch).substr(0, 4), "BPS1") << c.what;
    }
}

// The output of a command line run through the shell.
std::string commandOutput(const std::string &command)
{
    std::string out;
    FILE *pipe = ::popen(command.c_str(), "r");
    char buf[256];
    while (pipe && std::fgets(buf, sizeof buf, pipe))
        out += buf;
    if (pipe)
        ::pclose(pipe);
    return out;
}

TEST(WmbtoolInfo, PrintsTheHeaderAndTheChecksumsTheSystemToolsGive)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const std::string body = dir.file("body.bin");
    writeBytes(body, readBytes(rom).substr(16));
    // crc32 checks a name holding eight hexadecimal digits against the sum and appends
    // a tab and "BAD" when they differ, as a random temporary folder's name may.
    const auto first = [](const std::string &line) { return line.substr(0, line.find_first_of(" \t\n")); };
    std::string expected = "Size: " + wmb::groupedNumber(readBytes(rom).size()) +
                           " bytes\niNES header: iNES\nProgram banks: 4 (64 KiB)\nCharacter banks: 1 (8 KiB)\n"
                           "Mapper: 2\nMirroring: vertical\nBattery: no\n";
    for (const std::string &of : {std::string(), std::string(" after the header")}) {
        const std::string file = of.empty() ? rom : body;
        expected += "CRC32" + of + ": " + first(commandOutput("crc32 " + file)) + "\n";
        expected += "MD5" + of + ": " + first(commandOutput("md5sum " + file)) + "\n";
        expected += "SHA-1" + of + ": " + first(commandOutput("sha1sum " + file)) + "\n";
    }
    const ToolResult r = runTool({"info", rom});
    EXPECT_EQ(r.status, 0) << r.err;
#ifdef _WIN32
    // crc32, md5sum and sha1sum are programs of the system that builds, not of Windows.
    EXPECT_EQ(r.out.rfind(expected.substr(0, expected.find("CRC32")), 0), 0u) << r.out;
#else
    EXPECT_EQ(r.out, expected);
#endif

    // No header: its items are left out.
    writeBytes(body, "short");
    const std::string shortInfo = runTool({"info", body}).out;
    EXPECT_EQ(shortInfo.rfind("Size: 5 bytes\niNES header: none\nCRC32: ", 0), 0u) << shortInfo;
}

} // namespace
