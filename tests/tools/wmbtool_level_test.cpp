// wmbtool list, export and import, and the command line, run as the real
// program on copies of the demo ROM image.
#include <gtest/gtest.h>

#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <map>
#include <optional>

#include "backupstore.h"
#include "hexcode.h"
#include "levelfile.h"
#include "levelrecord.h"
#include "leveltext.h"
#include "romfile.h"
#include "tilenames.h"
#include "toolrun.h"

using namespace toolrun;

namespace {

using Bytes = std::string;

std::uint8_t at(const Bytes &rom, std::int64_t offset) { return static_cast<std::uint8_t>(rom[static_cast<std::size_t>(offset)]); }

std::string textAt(const Bytes &rom, std::int64_t offset, int length)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < length; ++i)
        bytes.push_back(at(rom, offset + i));
    return wmb::decodeLevelText(bytes);
}

std::vector<std::string> splitOn(const std::string &s, char sep)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = s.find(sep, start);
        parts.push_back(s.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// The offsets of level n's field bytes: the whole record span except the
// two unused bytes inside it.
std::vector<std::int64_t> fieldOffsets(int level)
{
    const std::int64_t base = wmb::LevelBaseOf(level);
    std::vector<std::int64_t> offsets;
    for (std::int64_t o = base + wmb::RecordFirstOffset; o < base + wmb::RecordEndOffset; ++o) {
        const std::int64_t rel = o - base;
        if (rel != -18 && rel != -1)
            offsets.push_back(o);
    }
    return offsets;
}

bool oneLine(const std::string &text) { return !text.empty() && text.find('\n') == text.size() - 1; }

TEST(WmbtoolList, PrintsEveryLevelAsStored)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const Bytes bytes = readBytes(rom);
    const ToolResult r = runTool({"list", rom});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto lines = splitOn(r.out, '\n');
    ASSERT_EQ(lines.size(), 33u);   // 32 lines, each ended
    EXPECT_EQ(lines.back(), "");
    for (int n = 1; n <= 32; ++n) {
        const std::int64_t base = wmb::LevelBaseOf(n);
        const auto fields = splitOn(lines[static_cast<std::size_t>(n - 1)], '\t');
        ASSERT_EQ(fields.size(), 5u) << "level " << n;
        EXPECT_EQ(fields[0], std::to_string(n));
        EXPECT_EQ(fields[1], std::to_string(at(bytes, base - 17) * 5));
        EXPECT_EQ(fields[2], textAt(bytes, base - 16, 15));
        EXPECT_EQ(fields[3], textAt(bytes, base - 31, 13));
        EXPECT_EQ(fields[4], textAt(bytes, base + 168, 55));
    }
    EXPECT_EQ(readBytes(rom), bytes);
}

// list --tiles: each code of the level, in code order, with its count and
// its name from names.txt in the tile folder render draws from: the user's
// ./graph when there is one, else the shipped set; no names without the file.
TEST(WmbtoolList, PrintsTheTilesOfALevelWithTheirNames)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const Bytes bytes = readBytes(rom);
    std::map<int, int> cells;
    for (int i = 0; i < 168; ++i)
        ++cells[at(bytes, wmb::LevelBaseOf(7) + i)];
    const int named = cells.rbegin()->first;
    const wmb::TileNames shipped = wmb::TileNames::read(WMB_TILE_DIR);
    const struct {
        const char *what;
        std::optional<std::string> ownNames;   // ./graph/names.txt; none: no ./graph
        bool withFolder;
    } cases[] = {
        {"the shipped set", std::nullopt, false},
        {"an own set with names", "\n" + wmb::IntToHexText(static_cast<std::uint32_t>(named)) + " My tile\r\n", true},
        {"an own set without names", std::nullopt, true},
    };
    for (const auto &c : cases) {
        TempDir work;
        if (c.withFolder)
            std::filesystem::create_directory(work.file("graph"));
        if (c.ownNames)
            writeBytes(work.file("graph/names.txt"), *c.ownNames);
        std::string expected;
        for (const auto &[code, count] : cells) {
            const auto byte = static_cast<std::uint8_t>(code);
            const std::string name = !c.withFolder ? shipped.name(byte) : c.ownNames && code == named ? "My tile" : "";
            expected += wmb::IntToHexText(byte) + "\t" + std::to_string(count) + "\t" + name + "\n";
        }
        const ToolResult r = runTool({"list", rom, "--tiles", "7"}, work.path());
        EXPECT_EQ(r.status, 0) << c.what << ": " << r.err;
        EXPECT_EQ(r.out, expected) << c.what;
        EXPECT_EQ(r.err, "") << c.what;
    }
    EXPECT_EQ(readBytes(rom), bytes);
}

TEST(WmbtoolExport, WritesTheEditorsLevelFileForEveryLevel)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const Bytes bytes = readBytes(rom);
    wmb::RomFile romFile;
    romFile.assign(rom);
    romFile.open();
    for (int n = 1; n <= 32; ++n) {
        const std::string out = dir.file("level_" + std::to_string(n) + ".level");
        const ToolResult r = runTool({"export", rom, std::to_string(n), out});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out + r.err, "");
        const Bytes file = readBytes(out);
        // What the editor writes for the level just loaded.
        EXPECT_EQ(file, wmb::levelFileText(wmb::fieldsFromRecord(wmb::readLevelRecord(romFile, wmb::LevelBaseOf(n)))));
        // And, read on its own terms: 174 CR LF lines, codes and timer as stored.
        const auto lines = splitOn(file, '\n');
        ASSERT_EQ(lines.size(), 175u);
        EXPECT_EQ(lines[0], "168\r");
        EXPECT_EQ(lines[1], "1\r");
        for (int i = 0; i < 168; ++i)
            EXPECT_EQ(lines[static_cast<std::size_t>(i + 2)], wmb::IntToHexText(at(bytes, wmb::LevelBaseOf(n) + i)) + "\r");
        EXPECT_EQ(lines[173], std::to_string(at(bytes, wmb::LevelBaseOf(n) - 17) * 5) + "\r");
        if (n == 4) {
            EXPECT_EQ(runTool({"export", rom, "4", "-"}).out, file) << "- is standard output";
#ifndef _WIN32   // names of descriptors are POSIX's
            for (const char *stream : {"/dev/stdout", "/dev/fd/1"})
                EXPECT_EQ(runTool({"export", rom, "4", stream}).out, file) << stream << " is standard output";
            EXPECT_EQ(runTool({"export", rom, "4", "/dev/fd/2"}).err, file) << "written to descriptor 2";
#endif
        }
    }
    EXPECT_EQ(readBytes(rom), bytes);
}

TEST(WmbtoolImport, ExportedLevelMovedToAnotherLevelChangesOnlyItsFieldBytes)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const Bytes before = readBytes(rom);
    const std::string file = dir.file("four.level");
    ASSERT_EQ(runTool({"export", rom, "4", file}).status, 0);
    const ToolResult r = runTool({"import", rom, "9", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");

    Bytes expected = before;
    const auto from = fieldOffsets(4);
    const auto to = fieldOffsets(9);
    for (std::size_t i = 0; i < from.size(); ++i)
        expected[static_cast<std::size_t>(to[i])] = before[static_cast<std::size_t>(from[i])];
    EXPECT_EQ(readBytes(rom), expected);
}

TEST(WmbtoolImport, ExportThenImportLeavesEveryLevelAsItWas)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const Bytes before = readBytes(rom);
    for (int n = 1; n <= 32; ++n) {
        const std::string file = dir.file("l.level");
        ASSERT_EQ(runTool({"export", rom, std::to_string(n), file}).status, 0);
        const ToolResult r = runTool({"import", rom, std::to_string(n), file});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    EXPECT_EQ(readBytes(rom), before);
}

TEST(WmbtoolImport, WritesWhatTheEditorsSaveWrites)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const Bytes before = readBytes(rom);
    // LF line ends, a 20-character name, "І" (0xB2) in the author, an empty
    // hint and a timer beyond the byte's range.
    std::string text = "168\n1\n";
    for (int i = 0; i < 168; ++i)
        text += wmb::IntToHexText(static_cast<std::uint32_t>(i + 60)) + "\n";
    text += "ABCDEFGHIJKLMNOPQRST\n\xB2x\n\n1300\n";
    const std::string file = dir.file("edited.level");
    writeBytes(file, text);
    const ToolResult r = runTool({"import", rom, "32", file});
    ASSERT_EQ(r.status, 0) << r.err;

    Bytes expected = before;
    const std::size_t base = static_cast<std::size_t>(wmb::LevelBaseOf(32));
    for (std::size_t i = 0; i < 168; ++i)
        expected[base + i] = static_cast<char>(i + 60);
    expected[base - 17] = static_cast<char>(255);
    for (std::size_t i = 0; i < 15; ++i)
        expected[base - 16 + i] = static_cast<char>('A' + i);
    expected.replace(base - 31, 13, std::string("\x7Cx") + std::string(11, '\0'));
    expected.replace(base + 168, 55, std::string(55, '\0'));
    EXPECT_EQ(readBytes(rom), expected);
}

TEST(WmbtoolImport, BadLevelFilesChangeNothing)
{
    std::string good = "168\r\n1\r\n";
    for (int i = 0; i < 168; ++i)
        good += "1F\r\n";
    good += "Name\r\nAuthor\r\nHint\r\n300\r\n";
    auto replaced = [&](const std::string &from, const std::string &to) {
        std::string s = good;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    struct Case {
        const char *what;
        std::optional<std::string> content;   // none: the file does not exist
        const char *message;
    };
    const std::vector<Case> cases = {
        {"missing file", std::nullopt, "File not found"},
        {"empty file", "", "ends"},
        {"count not a number", replaced("168", "abc"), "line 1: 168 expected, not \"abc\""},
        {"row count not a number", replaced("\r\n1\r\n", "\r\n1x\r\n"), "line 2: 1 expected, not \"1x\""},
        {"other column count", replaced("168", "167"), "line 1"},
        {"huge row count", replaced("\r\n1\r\n", "\r\n999999999\r\n"), "line 2"},
        {"167 code lines", replaced("1F\r\n", ""), "line 170"},
        {"not a tile code", replaced("1F\r\n1F\r\n", "1F\r\nG1\r\n"), "line 4"},
        {"code with a leading zero", replaced("1F\r\n", "01F\r\n"), "line 3"},
        {"code past FF", replaced("1F\r\n", "100\r\n"), "line 3"},
        {"timer not a number", replaced("300", "3OO"), "line 174"},
        {"no timer line", good.substr(0, good.size() - 5), "ends"},
        {"binary junk", std::string("\x7F" "ELF\0\0\x01\x02\xFF\xFE", 10) + std::string(5000, '\xAA'), ""},
        {"a folder", std::nullopt, "File access denied"},
    };
    for (const Case &c : cases) {
        TempDir dir;
        const std::string rom = copyDemoRom(dir);
        const Bytes before = readBytes(rom);
        const std::string file = dir.file("bad.level");
        if (c.content)
            writeBytes(file, *c.content);
        else if (std::string(c.what) == "a folder")
            std::filesystem::create_directory(file);
        const ToolResult r = runTool({"import", rom, "5", file});
        EXPECT_EQ(r.status, 1) << c.what;
        EXPECT_EQ(r.out, "") << c.what;
        EXPECT_TRUE(oneLine(r.err)) << c.what << ": " << r.err;
        EXPECT_EQ(r.err.rfind("wmbtool: " + file + ": ", 0), 0u) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
        EXPECT_EQ(readBytes(rom), before) << c.what;
    }
}

TEST(WmbtoolImport, ReadOnlyRomIsRefusedAndKept)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const std::string file = dir.file("l.level");
    ASSERT_EQ(runTool({"export", rom, "1", file}).status, 0);
    const ToolResult check = runTool({"import", rom, "2", file});
    ASSERT_EQ(check.status, 0) << "a writable copy takes the import";
    const Bytes before = readBytes(rom);

#ifdef _WIN32
    if (!wmbtest::setReadOnly(rom, true))
        GTEST_SKIP() << "a read-only file can be written here";
#else
    ::chmod(rom.c_str(), 0444);   // binds a user other than root
#endif
    const ToolResult r = runTool({"import", rom, "3", file}, {}, /*asNobody=*/true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "wmbtool: " + rom + ": File access denied\n");
    EXPECT_EQ(readBytes(rom), before);
}

// A ROM hacker's original dump is often kept read-only: the commands that
// only read levels work on it, as an unprivileged user for whom the mode binds.
TEST(WmbtoolReading, ReadOnlyRomCanBeListedExportedAndRendered)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const Bytes before = readBytes(rom);
    ::chmod(rom.c_str(), 0444);
    ::chmod(dir.path().c_str(), 0777);   // nobody writes the outputs beside it
    const std::vector<std::vector<std::string>> commands = {
        {"list", rom},
        {"export", rom, "5", dir.file("five.level")},
        {"render", rom, "5", dir.file("five.png")},
        {"find", rom, "1F"},
        {"diff", rom, rom},
    };
    for (const auto &args : commands) {
        const ToolResult r = runTool(args, {}, /*asNobody=*/true);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
    }
    EXPECT_TRUE(exists(dir.file("five.level")));
    EXPECT_TRUE(exists(dir.file("five.png")));
    EXPECT_EQ(readBytes(rom), before);
}

TEST(WmbtoolImport, RefusesAnImageTooShortForTheLevel)
{
    TempDir dir;
    const std::string rom = dir.file("short.nes");
    writeBytes(rom, readBytes(WMB_DEMO_ROM).substr(0, 49300));
    const Bytes before = readBytes(rom);
    const std::string file = dir.file("l.level");
    writeBytes(file, wmb::levelFileText(wmb::fieldsFromRecord(wmb::LevelRecord{})));

    const ToolResult imp = runTool({"import", rom, "1", file});
    EXPECT_EQ(imp.status, 1);
    EXPECT_EQ(imp.err, "wmbtool: " + rom + ": level 1: Read beyond end of file\n");
    EXPECT_EQ(readBytes(rom), before);

    const ToolResult list = runTool({"list", rom});
    EXPECT_EQ(list.status, 1);
    EXPECT_EQ(list.out, "");
    EXPECT_EQ(list.err, "wmbtool: warning: " + rom +
                            " does not look like a Wumblers ROM image (49300 bytes, too small for 32 levels)\n"
                            "wmbtool: " + rom + ": level 1: Read beyond end of file\n");

    EXPECT_EQ(runTool({"export", rom, "1", dir.file("x.level")}).status, 1);
    EXPECT_FALSE(exists(dir.file("x.level")));
    EXPECT_EQ(runTool({"find", rom, "1F"}).status, 1);
    const ToolResult diff = runTool({"diff", WMB_DEMO_ROM, rom});
    EXPECT_EQ(diff.status, 2);
    EXPECT_EQ(diff.out, "");
    EXPECT_NE(diff.err.find("wmbtool: " + rom + ": level 1: Read beyond end of file\n"), std::string::npos);
}

// A file without the iNES signature is read all the same, with a warning.
TEST(WmbtoolReading, WarnsAboutAnImageWithoutInesHeaderAndGoesOn)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    Bytes bytes = readBytes(rom);
    bytes.replace(0, 4, "ROM!");
    writeBytes(rom, bytes);
    const std::string warning =
        "wmbtool: warning: " + rom + " does not look like a Wumblers ROM image (no iNES header)\n";
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"list", rom}, {"render", rom, "3", dir.file("three.png")}}) {
        const ToolResult r = runTool(args);
        EXPECT_EQ(r.status, 0) << args[0];
        EXPECT_EQ(r.err, warning) << args[0];
    }
    EXPECT_TRUE(exists(dir.file("three.png")));
}

// find: the counts made from the file's bytes, in level order, for any
// spelling of the code. diff: exactly the levels that differ with their
// fields (a byte outside the fields is not one), exit 1; none, exit 0.
TEST(WmbtoolFindAndDiff, AgreeWithTheFilesBytes)
{
    TempDir dir;
    const std::string a = copyDemoRom(dir, "a.nes");
    const std::string b = copyDemoRom(dir, "b.nes");
    const Bytes original = readBytes(b);
    for (const std::string code : {"1F", "1f", "01F", "0", "FE"}) {
        const int value = static_cast<int>(wmb::HexTextToInt(code));
        std::string expected;
        for (int n = 1; n <= 32; ++n) {
            int count = 0;
            for (int i = 0; i < 168; ++i)
                count += at(original, wmb::LevelBaseOf(n) + i) == value;
            expected += count ? std::to_string(n) + " " + std::to_string(count) + "\n" : "";
        }
        const ToolResult r = runTool({"find", b, code});
        EXPECT_EQ(r.status, 0) << code << r.err;
        EXPECT_EQ(r.out, expected) << code;
        EXPECT_EQ(r.err, "") << code;
    }

    Bytes changed = original;
    const std::int64_t seven = wmb::LevelBaseOf(7), twenty = wmb::LevelBaseOf(20);
    for (const std::int64_t o : {seven, seven + 13, seven + 14, seven + 100, seven + 167, seven - 16, seven - 18,
                                 twenty - 17, twenty + 200, twenty - 31, std::int64_t{73743}})
        changed[static_cast<std::size_t>(o)] = static_cast<char>(changed[static_cast<std::size_t>(o)] ^ 0x21);
    writeBytes(b, changed);
    const ToolResult differ = runTool({"diff", a, b});
    EXPECT_EQ(differ.status, 1) << differ.err;
    EXPECT_EQ(differ.out + differ.err, "7: tiles 5, name\n20: timer, author, hint\n");
    writeBytes(b, original);
    const ToolResult same = runTool({"diff", a, b});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out + same.err, "");
}

#ifndef _WIN32   // the data folder of XDG_DATA_HOME
// The editor's backups of an image, found in the data folder under
// XDG_DATA_HOME, listed newest first and written out by number.
TEST(WmbtoolBackups, ListsAndWritesOutTheEditorsBackups)
{
    TempDir dir;
    const std::string image = copyDemoRom(dir, "rom.nes");
    std::filesystem::create_directory(dir.file("other"));
    const std::string namesake = copyDemoRom(dir, "other/rom.nes");
    const Bytes now = readBytes(image);
    Bytes older = now;
    older[static_cast<std::size_t>(wmb::LevelBaseOf(3))] ^= 1;
    older[0] ^= 1;
    const std::string data = dir.file("data");
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    ::setenv("TZ", "UTC", 1);
    wmb::BackupStore store(data + "/WMBeditor/backups");
    // 9 December 2026 at 20:14:05 and an hour later.
    store.add(image, older, 1'796'847'245'000, {});
    store.add(image, now, 1'796'850'845'000, {});

    const ToolResult list = runTool({"backups", image});
    EXPECT_EQ(list.status, 0) << list.err;
    const std::string size = std::to_string(now.size());
    EXPECT_EQ(list.out, "1\t2026-12-09 21:14:05\t" + size + "\tnone\n2\t2026-12-09 20:14:05\t" + size +
                            "\t3\tother bytes differ\n");
    EXPECT_EQ(runTool({"backups", namesake}).out, "") << "an image of the same name elsewhere has its own";

    const ToolResult out = runTool({"backup", image, "2", dir.file("out.nes")});
    EXPECT_EQ(out.status, 0) << out.err;
    EXPECT_EQ(readBytes(dir.file("out.nes")), older);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } refusals[] = {
        {{"backup", image, "2", image}, 1, "the output would replace the input file"},
        {{"backup", image, "3", dir.file("x.nes")}, 1, "no backup 3 (2 kept)"},
        {{"backup", image, "0", dir.file("x.nes")}, 2, "'0' is not a backup number"},
        {{"backup", image, "1x", dir.file("x.nes")}, 2, "'1x' is not a backup number"},
    };
    for (const auto &r : refusals) {
        const ToolResult result = runTool(r.args);
        EXPECT_EQ(result.status, r.status) << r.args[2];
        EXPECT_NE(result.err.find(r.err), std::string::npos) << result.err;
    }
    EXPECT_EQ(readBytes(image), now);
    EXPECT_FALSE(exists(dir.file("x.nes")));
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("TZ");
}
#endif

// Wrong usage exits 2, a failure 1 (diff: 2); neither writes a file nor changes the ROM.
TEST(WmbtoolCommandLine, RefusesWrongUsageAndBadLevels)
{
    TempDir dir;
    const std::string rom = copyDemoRom(dir);
    const Bytes before = readBytes(rom);
    const std::string out = dir.file("out");
    const std::string level = dir.file("l.level");
    ASSERT_EQ(runTool({"export", rom, "1", level}).status, 0);
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;   // a part of standard error
    };
    std::vector<Case> cases = {
        {{}, 2, "Usage: wmbtool"},
        {{"frobnicate", rom}, 2, "unknown command 'frobnicate'"},
        {{"list"}, 2, "list takes ROM (1 argument, got 0)"},
        {{"help", "frobnicate"}, 2, "unknown command 'frobnicate'"},
        {{"list", rom, out}, 2, "list takes ROM"},
        {{"list", rom, "--tiles"}, 2, "--tiles needs a value"},
        {{"list", rom, "--tiles", "x"}, 2, "'x' is not a level number"},
        {{"list", rom, "--tiles=33"}, 1, "wmbtool: level 33: no such level"},
        {{"export", rom, "1"}, 2, "export takes ROM LEVEL FILE"},
        {{"export", rom, "one", out}, 2, "'one' is not a level number"},
        {{"export", rom, "-1", out}, 2, "unknown option -1"},
        {{"export", rom, "0", out}, 1, "wmbtool: level 0: no such level"},
        {{"export", rom, "33", out}, 1, "wmbtool: level 33: no such level"},
        {{"export", rom, "99999999999999999999", out}, 1, "no such level"},
        {{"import", rom, "0", level}, 1, "level 0: no such level"},
        {{"import", rom, "33", level}, 1, "level 33: no such level"},
        {{"render", rom, "33", out}, 1, "level 33: no such level"},
        {{"render", rom, "1", out, "--bogus"}, 2, "unknown option --bogus"},
        {{"render", rom, "1", out, "--tiles"}, 2, "--tiles needs a value"},
        {{"render", rom, "--all", "1", out}, 2, "render takes ROM --all OUT.png"},
        {{"export", dir.file("missing.nes"), "1", out}, 1, "missing.nes: File not found"},
        {{"export", rom, "1", dir.file("no/such/folder.level")}, 1,
         OnWindows ? "folder.level: Invalid filename" : "folder.level: File not found"},
        {{"export", rom, "1", "/proc/wmbtool-test.level"}, 1, "wmbtool: /proc/wmbtool-test.level: "},
        {{"export", rom, "1", rom}, 1, "would replace the input file"},
        {{"export", rom, "1", NullDevice}, 1, NullDevice + ": File access denied: the output is a device, not a file"},
        {{"render", rom, "1", rom}, 1, "would replace the input file"},
        {{"list", dir.path()}, 1, "File access denied"},
        {{"find", rom}, 2, "find takes ROM CODE"},
        {{"find", rom, "G1"}, 2, "'G1' is not a tile code"},
        {{"find", rom, ""}, 2, "'' is not a tile code"},
        {{"find", rom, "100"}, 1, "wmbtool: code 100: no such tile code"},
        {{"find", dir.file("missing.nes"), "1F"}, 1, "missing.nes: File not found"},
        {{"diff", rom}, 2, "diff takes A B (2 arguments, got 1)"},
        {{"diff", rom, dir.file("missing.nes")}, 2, "wmbtool: " + dir.file("missing.nes") + ": File not found\n"},
        {{"diff", dir.path(), rom}, 2, "File access denied"},
    };
#ifndef _WIN32   // a link onto itself, and names of descriptors
    TempDir elsewhere;
    const std::string loop = elsewhere.file("loop");
    ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
    cases.insert(cases.end(), {{{"list", loop}, 1, "loop: Too many levels of symbolic links\n"},
                               {{"export", rom, "1", loop}, 1, "loop: Too many levels of symbolic links\n"},
                               {{"export", rom, "1", "/dev/fd/99"}, 1, "wmbtool: /dev/fd/99: write error\n"}});
#endif
    for (const Case &c : cases) {
        std::string shown;
        for (const std::string &a : c.args)
            shown += a + " ";
        const ToolResult r = runTool(c.args);
        EXPECT_EQ(r.status, c.status) << shown << r.err;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << shown << ": " << r.err;
        EXPECT_FALSE(exists(out)) << shown;
        EXPECT_EQ(readBytes(rom), before) << shown;
        EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"l.level", "rom.nes"})) << shown;
    }
}

TEST(WmbtoolCommandLine, HelpGoesToStandardOutput)
{
    const ToolResult all = runTool({"--help"});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(runTool({"help"}).out, all.out);
    EXPECT_EQ(all.err, "");
    for (const char *usage : {"list ROM", "export ROM LEVEL FILE", "import ROM LEVEL FILE", "render ROM LEVEL|--all OUT.png",
                              "ips ORIGINAL EDITED OUT.ips", "patch ROM PATCH.ips OUT", "bps ORIGINAL MODIFIED OUTPUT",
                              "apply IMAGE PATCH OUTPUT", "info IMAGE", "find ROM CODE", "diff A B",
                              "backups IMAGE", "backup IMAGE N OUTPUT"})
        EXPECT_NE(all.out.find(usage), std::string::npos) << usage;
    for (const char *command : {"list", "export", "import", "render", "ips", "patch", "bps", "apply", "info", "find",
                                "diff", "backups", "backup"}) {
        for (const char *flag : {"--help", "-h"}) {
            const ToolResult r = runTool({command, flag});
            EXPECT_EQ(r.status, 0) << command;
            EXPECT_EQ(r.out.rfind(std::string("Usage: wmbtool ") + command + " ", 0), 0u) << r.out;
            EXPECT_EQ(runTool({"help", command}).out, r.out) << command;
        }
    }
}

} // namespace
