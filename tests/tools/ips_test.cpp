// makeIps and applyIps on bytes in memory.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "errors.h"
#include "ips.h"

using namespace std::string_literals;

namespace {

std::string record(std::size_t offset, const std::string &data)
{
    std::string r;
    r += static_cast<char>(offset >> 16);
    r += static_cast<char>(offset >> 8);
    r += static_cast<char>(offset);
    r += static_cast<char>(data.size() >> 8);
    r += static_cast<char>(data.size());
    return r + data;
}

std::string runRecord(std::size_t offset, std::size_t length, char value)
{
    std::string r = record(offset, "");
    r += static_cast<char>(length >> 8);
    r += static_cast<char>(length);
    return r + value;
}

std::string patchOf(const std::string &records) { return "PATCH" + records + "EOF"; }

struct IpsRecord {
    std::size_t offset;
    std::size_t size;
};

// The plain records of a patch made by makeIps (which writes no run records).
std::vector<IpsRecord> recordsOf(const std::string &patch)
{
    std::vector<IpsRecord> out;
    std::size_t pos = 5;
    while (patch.compare(pos, 3, "EOF") != 0) {
        auto byte = [&](std::size_t i) { return static_cast<std::size_t>(static_cast<unsigned char>(patch[i])); };
        const std::size_t offset = byte(pos) << 16 | byte(pos + 1) << 8 | byte(pos + 2);
        const std::size_t size = byte(pos + 3) << 8 | byte(pos + 4);
        out.push_back({offset, size});
        pos += 5 + size;
    }
    EXPECT_EQ(pos + 3, patch.size());
    return out;
}

std::string randomBytes(std::mt19937 &rng, std::size_t n)
{
    std::string s(n, '\0');
    for (char &c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

TEST(MakeIps, WritesOneRecordPerRunOfDifferences)
{
    struct Case {
        const char *what;
        std::string original, edited, patch;
        std::size_t changedBytes, records;
    };
    const std::vector<Case> cases = {
        {"identical", "abcdef", "abcdef", "PATCHEOF", 0, 0},
        {"empty files", "", "", "PATCHEOF", 0, 0},
        {"first byte", "abcdef", "Xbcdef", patchOf(record(0, "X")), 1, 1},
        {"last byte", "abcdef", "abcdeX", patchOf(record(5, "X")), 1, 1},
        {"two runs", "abcdefgh", "aXYdefZh", patchOf(record(1, "XY") + record(6, "Z")), 3, 2},
        {"whole file", "abc", "xyz", patchOf(record(0, "xyz")), 3, 1},
        {"zero bytes", "a\0\0b"s, "a\1\0b"s, patchOf(record(1, "\1")), 1, 1},
    };
    for (const Case &c : cases) {
        const wmb::IpsPatch p = wmb::makeIpsPatch(c.original, c.edited);
        EXPECT_EQ(p.bytes, c.patch) << c.what;
        EXPECT_EQ(p.changedBytes, c.changedBytes) << c.what;
        EXPECT_EQ(p.records, c.records) << c.what;
    }
}

TEST(MakeIps, SplitsRunsLongerThanARecord)
{
    const std::size_t n = 2 * 65535 + 1;
    const std::string original(n + 10, 'a');
    std::string edited = original;
    for (std::size_t i = 5; i < 5 + n; ++i)
        edited[i] = 'b';
    const std::string patch = wmb::makeIps(original, edited);
    const auto records = recordsOf(patch);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].offset, 5u);
    EXPECT_EQ(records[0].size, 65535u);
    EXPECT_EQ(records[1].offset, 5u + 65535);
    EXPECT_EQ(records[2].size, 1u);
    EXPECT_EQ(wmb::applyIps(original, patch), edited);
}

TEST(MakeIps, NoRecordStartsWhereItWouldReadAsEof)
{
    const std::size_t eof = wmb::IpsEofOffset;
    struct Case {
        const char *what;
        std::size_t from, to;   // the differing bytes [from, to)
    };
    const std::vector<Case> cases = {
        {"one byte at the marker offset", eof, eof + 1},
        {"a run starting there", eof, eof + 300},
        {"a run crossing it", eof - 2, eof + 2},
        {"a split landing on it", eof - 65535, eof + 10},
        {"a split landing just before it", eof - 65536, eof + 10},
    };
    const std::string original(eof + 400, '\x11');
    for (const Case &c : cases) {
        std::string edited = original;
        for (std::size_t i = c.from; i < c.to; ++i)
            edited[i] = '\x22';
        const wmb::IpsPatch made = wmb::makeIpsPatch(original, edited);
        const std::string &patch = made.bytes;
        EXPECT_EQ(made.changedBytes, c.to - c.from) << c.what;
        EXPECT_EQ(made.records, recordsOf(patch).size()) << c.what;
        for (const IpsRecord &r : recordsOf(patch)) {
            EXPECT_NE(r.offset, eof) << c.what;
            EXPECT_LE(r.size, 65535u) << c.what;
        }
        EXPECT_EQ(wmb::applyIps(original, patch), edited) << c.what;
    }
}

TEST(MakeIps, RefusesFilesItCannotDescribe)
{
    EXPECT_THROW(wmb::makeIps("abc", "abcd"), wmb::RuntimeError);
    EXPECT_THROW(wmb::makeIps("abcd", ""), wmb::RuntimeError);
    const std::string big(wmb::IpsMaxFileSize + 1, 'a');
    EXPECT_THROW(wmb::makeIps(big, big), wmb::RuntimeError);
    const std::string largest(wmb::IpsMaxFileSize, 'a');
    std::string edited = largest;
    edited.back() = 'b';
    EXPECT_EQ(wmb::applyIps(largest, wmb::makeIps(largest, edited)), edited);
}

TEST(MakeIps, RoundTripsRandomEdits)
{
    std::mt19937 rng(12345);
    for (int round = 0; round < 200; ++round) {
        const std::size_t n = rng() % 5000;
        const std::string original = randomBytes(rng, n);
        std::string edited = original;
        const int edits = static_cast<int>(rng() % 20);
        for (int e = 0; e < edits && n > 0; ++e) {
            const std::size_t at = rng() % n;
            const std::size_t len = std::min<std::size_t>(rng() % 300, n - at);
            for (std::size_t i = at; i < at + len; ++i)
                edited[i] = static_cast<char>(rng());
        }
        ASSERT_EQ(wmb::applyIps(original, wmb::makeIps(original, edited)), edited) << "round " << round;
    }
}

TEST(ApplyIps, AppliesEveryKindOfRecord)
{
    struct Case {
        const char *what;
        std::string rom, patch, result;
    };
    const std::vector<Case> cases = {
        {"empty patch", "abc", "PATCHEOF", "abc"},
        {"plain record", "abcdef", patchOf(record(2, "XY")), "abXYef"},
        {"run record", "abcdef", patchOf(runRecord(1, 3, 'z')), "azzzef"},
        {"later record wins", "abcdef", patchOf(record(1, "XX") + record(2, "Y")), "aXYdef"},
        {"record grows the file", "abc", patchOf(record(3, "de")), "abcde"},
        {"gap filled with zeros", "ab", patchOf(record(4, "e")), "ab\0\0e"s},
        {"run past the end", "a", patchOf(runRecord(1, 2, 'q')), "aqq"},
        {"truncation extension", "abcdef", patchOf(record(0, "X")) + "\0\0\3"s, "Xbc"},
        {"truncation to the same size", "abc", "PATCHEOF\0\0\3"s, "abc"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(wmb::applyIps(c.rom, c.patch), c.result) << c.what;
}

TEST(ApplyIps, RefusesMalformedPatches)
{
    struct Case {
        const char *what;
        std::string patch;
        const char *message;   // a part of the error's text
    };
    const std::vector<Case> cases = {
        {"empty file", "", "PATCH"},
        {"lower-case header", "patch" + record(0, "a") + "EOF", "does not begin"},
        {"not a patch", "PK\3\4 zip file", "does not begin"},
        {"header only", "PATCH", "no \"EOF\""},
        {"cut in an offset", "PATCH\0\1"s, "offset"},
        {"cut in a size", "PATCH\0\0\1\0"s, "size"},
        {"cut in data", "PATCH" + record(0, "abcd").substr(0, 7), "data"},
        {"no EOF after a record", "PATCH" + record(0, "abcd"), "no \"EOF\""},
        {"cut in a run", "PATCH" + runRecord(0, 5, 'x').substr(0, 6), "run length"},
        {"run value missing", "PATCH" + runRecord(0, 5, 'x').substr(0, 7), "run value"},
        {"run of length 0", patchOf(runRecord(0, 0, 'x')), "length 0"},
        {"cut EOF", "PATCHEO", "offset"},
        {"stray bytes after EOF", "PATCHEOFjunk", "stray"},
        {"one byte after EOF", "PATCHEOF\n", "stray"},
        {"truncation beyond the end", "PATCHEOF\0\0\x10"s, "truncation"},
    };
    for (const Case &c : cases) {
        try {
            wmb::applyIps("0123456789", c.patch);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const wmb::RuntimeError &e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
        }
    }
}

// Damaged patches either apply or are refused; none crashes or grows the
// result beyond what an IPS record can reach.
TEST(ApplyIps, SurvivesDamagedPatches)
{
    std::mt19937 rng(777);
    const std::string rom = randomBytes(rng, 4096);
    std::string edited = rom;
    for (int i = 0; i < 40; ++i)
        edited[rng() % edited.size()] = static_cast<char>(rng());
    const std::string good = wmb::makeIps(rom, edited);
    const std::size_t limit = 0xFFFFFF + 0xFFFF;
    for (int round = 0; round < 3000; ++round) {
        std::string patch = good;
        const int damage = 1 + static_cast<int>(rng() % 4);
        for (int d = 0; d < damage; ++d) {
            switch (rng() % 3) {
            case 0: patch[5 + rng() % (patch.size() - 5)] = static_cast<char>(rng()); break;
            case 1: patch.resize(rng() % patch.size()); break;
            default: patch.insert(5 + rng() % (patch.size() - 4), 1, static_cast<char>(rng())); break;
            }
            if (patch.size() <= 5)
                break;
        }
        try {
            EXPECT_LE(wmb::applyIps(rom, patch).size(), limit);
        } catch (const wmb::RuntimeError &) {
        }
    }
}

} // namespace
