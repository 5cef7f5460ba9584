// The level file: what the export writes, the strict reader, and the
// whole-file helpers over real files.
#include "core_support.h"
#include "errors.h"
#include "hexcode.h"
#include "levelfile.h"
#include "platform.h"
#include "recoveryfile.h"
#include "wholefile.h"

#include <gtest/gtest.h>

#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace wmb;
using namespace wmbtest;

namespace {
const std::string Bullet = "\xE2\x80\xA2";
const std::string CapitalI = "\xD0\x86";

LevelFields sampleFields()
{
    LevelFields fields;
    for (int i = 0; i < MapCells; ++i)
        fields.codes[i] = IntToHexText(static_cast<std::uint32_t>((i * 37) % 256));
    fields.name = "HELLO" + Bullet + Bullet;
    fields.author = "\xD0\x90\xD0\xB2\xD1\x82\xD0\xBE\xD1\x80 " + CapitalI;   // "Автор І"
    fields.hint = std::string(80, 'h');
    fields.timer = "1200";
    return fields;
}

// A level file from its lines, each ended by CR LF.
std::string fileOf(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<std::string> goodLines()
{
    return splitLevelFileLines(levelFileText(sampleFields()));
}

std::vector<std::string> with(std::vector<std::string> lines, std::size_t lineNumber, const std::string &text)
{
    lines.at(lineNumber - 1) = text;
    return lines;
}

std::vector<std::string> firstLines(std::vector<std::string> lines, std::size_t count)
{
    lines.resize(count);
    return lines;
}

std::string parseError(const std::string &bytes)
{
    try {
        parseLevelFile(bytes);
    } catch (const std::exception &e) {
        return e.what();
    }
    return "parsed";
}

std::string replaceAll(std::string text, const std::string &from, const std::string &to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}
} // namespace

TEST(LevelFileTest, ExportWrites174CrLfLinesInWindows1251)
{
    const std::string text = levelFileText(sampleFields());
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(replaceAll(text, "\r\n", "").find_first_of("\r\n"), std::string::npos) << "lines end in CR LF only";
    const std::vector<std::string> lines = splitLevelFileLines(text);
    ASSERT_EQ(lines.size(), 174u);
    EXPECT_EQ(lines[0], "168");
    EXPECT_EQ(lines[1], "1");
    EXPECT_EQ(lines[2], "0");
    EXPECT_EQ(lines[3], "25");
    EXPECT_EQ(lines[169], IntToHexText((167 * 37) % 256));
    EXPECT_EQ(lines[170], "HELLO\x95\x95");
    EXPECT_EQ(lines[171], "\xC0\xE2\xF2\xEE\xF0 \xB2");
    EXPECT_EQ(lines[172], std::string(80, 'h'));
    EXPECT_EQ(lines[173], "1200");
}

TEST(LevelFileTest, ExportThenImportRestoresEverything)
{
    const LevelFields fields = sampleFields();
    const std::string crlf = levelFileText(fields);
    EXPECT_EQ(parseLevelFile(crlf), fields);
    EXPECT_EQ(parseLevelFile(replaceAll(crlf, "\r\n", "\n")), fields) << "LF alone reads the same";
    std::string unended = crlf;
    unended.resize(unended.size() - 2);
    EXPECT_EQ(parseLevelFile(unended), fields) << "the last line needs no end";
    EXPECT_EQ(parseLevelFile(crlf + "anything\r\nafter the timer\r\n"), fields);
}

TEST(LevelFileTest, TextsTheFileCannotHoldBecomeQuestionMarks)
{
    LevelFields fields = sampleFields();
    fields.name = "a|b\xE4\xB8\xAD" "c";
    fields.author = "two\r\nlines";
    fields.hint = "\n";
    const LevelFields back = parseLevelFile(levelFileText(fields));
    EXPECT_EQ(back.name, "a|b?c");
    EXPECT_EQ(back.author, "two??lines");
    EXPECT_EQ(back.hint, "?");
    EXPECT_EQ(back.timer, fields.timer);
}

TEST(LevelFileTest, CountsAreReadAsTokens)
{
    // Blanks and blank lines before a count are skipped and the rest of a
    // count's line is ignored; later line numbers stay the file's own.
    std::vector<std::string> lines = goodLines();
    lines[0] = "  168 columns";
    lines[1] = "\t+1\tjunk";
    lines.insert(lines.begin() + 1, {"", "   "});
    EXPECT_EQ(parseLevelFile(fileOf(lines)), sampleFields());
    EXPECT_EQ(parseError(fileOf(with(lines, 176, "abc"))),
              "Level file line 176: the timer \"abc\" is not a whole number");
    EXPECT_EQ(parseError(fileOf(with(lines, 5, "xyz"))),
              "Level file line 5: \"xyz\" is not a tile code (0 to FF)");
    EXPECT_EQ(parseError(fileOf(firstLines(lines, 175))),
              "Level file ends at line 175; a level file has 174 lines");
    EXPECT_EQ(parseError(fileOf(with(lines, 4, "2"))),
              "Level file line 4: the map must be 168 columns by 1 row, not 168 by 2");
}

TEST(LevelFileTest, BadFilesAreRefusedWithTheirLine)
{
    const std::vector<std::string> good = goodLines();
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk.push_back(static_cast<char>((i * 131 + 7) % 256));
    std::string binaryCode = "168\r\n1\r\n";
    binaryCode += std::string("\x00\x01\xFF\x98z", 5) + "\r\n";

    const struct {
        const char *what;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"empty", "", "Level file ends at line 0; a level file has 174 lines"},
        {"byte-order mark alone", "\xEF\xBB\xBF", "Level file ends at line 1; a level file has 174 lines"},
        {"blank lines only", "\r\n  \r\n\n", "Level file ends at line 3; a level file has 174 lines"},
        {"counts only", "168\r\n1\r\n", "Level file ends at line 2; a level file has 174 lines"},
        {"column count not a number", fileOf(with(good, 1, "abc")), "Level file line 1: Invalid numeric input"},
        {"row count not a number", fileOf(with(good, 2, "1x")), "Level file line 2: Invalid numeric input"},
        {"row count after blank lines", "168\r\n\r\n\r\nx\r\n", "Level file line 4: Invalid numeric input"},
        {"mark of UTF-16", "\xFF\xFE" + fileOf(good), "Level file line 1: Invalid numeric input"},
        {"row count missing", "168\r\n", "Level file ends at line 1; a level file has 174 lines"},
        {"huge count", fileOf(with(good, 1, "99999999999")), "Level file line 1: Invalid numeric input"},
        {"megabyte count", fileOf(with(good, 1, std::string(1 << 20, '9'))), "Level file line 1: Invalid numeric input"},
        {"control byte before a count", "\x01" "168\r\n", "Level file line 1: Invalid numeric input"},
        {"too few columns", fileOf(with(good, 1, "5")),
         "Level file line 1: the map must be 168 columns by 1 row, not 5 by 1"},
        {"large column count", fileOf(with(good, 1, "999999")),
         "Level file line 1: the map must be 168 columns by 1 row, not 999999 by 1"},
        {"negative column count", fileOf(with(good, 1, "-168")),
         "Level file line 1: the map must be 168 columns by 1 row, not -168 by 1"},
        {"two rows", fileOf(with(good, 2, "2")),
         "Level file line 2: the map must be 168 columns by 1 row, not 168 by 2"},
        {"both counts wrong", fileOf(with(with(good, 1, "14"), 2, "12")),
         "Level file line 1: the map must be 168 columns by 1 row, not 14 by 12"},
        {"167 code lines then texts", fileOf([&] {
             auto lines = good;
             lines.erase(lines.begin() + 2);
             return lines;
         }()),
         "Level file line 170: \"HELLO\xE2\x80\xA2\xE2\x80\xA2\" is not a tile code (0 to FF)"},
        {"167 code lines and the end", fileOf(firstLines(good, 169)),
         "Level file ends at line 169; a level file has 174 lines"},
        {"code not a tile", fileOf(with(good, 7, "xyz")),
         "Level file line 7: \"xyz\" is not a tile code (0 to FF)"},
        {"three digits", fileOf(with(good, 170, "01F")),
         "Level file line 170: \"01F\" is not a tile code (0 to FF)"},
        {"code too large", fileOf(with(good, 4, "100")),
         "Level file line 4: \"100\" is not a tile code (0 to FF)"},
        {"empty code", fileOf(with(good, 4, "")), "Level file line 4: \"\" is not a tile code (0 to FF)"},
        {"code with a blank", fileOf(with(good, 4, "1F ")),
         "Level file line 4: \"1F \" is not a tile code (0 to FF)"},
        {"megabyte code line", fileOf(with(good, 3, std::string(1 << 20, 'A'))),
         "Level file line 3: \"AAAAAAAAAAAAAAAAAAAA...\" is not a tile code (0 to FF)"},
        {"binary code line", binaryCode, "Level file line 3: \"??\xD1\x8F?z\" is not a tile code (0 to FF)"},
        {"binary junk", junk, "Level file line 1: Invalid numeric input"},
        {"UTF-8 text quoted", "\xEF\xBB\xBF" + fileOf(with(good, 174, "\xD0\xB6")),
         "Level file line 174: the timer \"\xD0\xB6\" is not a whole number"},
        {"timer not a number", fileOf(with(good, 174, "abc")),
         "Level file line 174: the timer \"abc\" is not a whole number"},
        {"timer empty", fileOf(with(good, 174, "")),
         "Level file line 174: the timer \"\" is not a whole number"},
        {"timer too large", fileOf(with(good, 174, "99999999999")),
         "Level file line 174: the timer \"99999999999\" is not a whole number"},
        {"timer line missing", fileOf(firstLines(good, 173)),
         "Level file ends at line 173; a level file has 174 lines"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseError(c.bytes), c.message) << c.what;
}

// Codes written by hand: one or two hexadecimal digits in either case, kept
// in the map store's form. A byte-order mark makes the texts UTF-8.
TEST(LevelFileTest, HandWrittenFilesReadAsTheirPlainTwins)
{
    const std::pair<const char *, const char *> codes[] = {
        {"6e", "6E"}, {"0F", "F"}, {"0f", "F"}, {"00", "0"}, {"a", "A"}, {"ff", "FF"}, {"1F", "1F"}};
    for (const auto &[written, stored] : codes)
        EXPECT_EQ(parseLevelFile(fileOf(with(goodLines(), 3, written))).codes[0], stored) << written;

    const LevelFields fields = sampleFields();
    std::vector<std::string> lines = goodLines();
    lines[170] = fields.name;                       // the texts in UTF-8
    lines[171] = fields.author;
    EXPECT_EQ(parseLevelFile("\xEF\xBB\xBF" + fileOf(lines)), fields);
    EXPECT_EQ(parseLevelFile("\xEF\xBB\xBF" + fileOf(with(lines, 171, "\xFFok"))).name, "\xEF\xBF\xBDok")
        << "a malformed byte reads as U+FFFD";
}

TEST(LevelFileTest, ErrorKindsMatchTheirMeaning)
{
    const std::vector<std::string> good = goodLines();
    try {
        parseLevelFile(fileOf(with(good, 1, "abc")));
        FAIL();
    } catch (const InOutError &e) {
        EXPECT_EQ(e.code(), IoInvalidNumericInput);
    }
    EXPECT_THROW(parseLevelFile(fileOf(with(good, 3, "G"))), LevelFileError);
}

TEST(LevelFileTest, LongTextsAndOddTimersAreKept)
{
    std::vector<std::string> lines = goodLines();
    lines[170] = std::string(100000, 'N');
    lines[173] = "  -15";
    const LevelFields fields = parseLevelFile(fileOf(lines));
    EXPECT_EQ(fields.name, std::string(100000, 'N'));
    EXPECT_EQ(fields.timer, "  -15");
}

TEST(LevelFileTest, LinesEndAtLfOrCrLf)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\rb\r\n", {"ab"}},
        {"a\r\r\n", {"a"}},
        {"\r\n", {""}},
        {"x\r", {"x"}},
    };
    for (const auto &[bytes, lines] : cases)
        EXPECT_EQ(splitLevelFileLines(bytes), lines);
}

TEST(LevelFileIo, WritesReadsAndReplacesWhole)
{
    TempFolder folder;
    const std::string path = folder.file("level_7.level");
    EXPECT_FALSE(fileExists(path));
    writeFileAtomically(path, "first version, longer\r\n");
    EXPECT_TRUE(fileExists(path));
    writeFileAtomically(path, "second\r\n");
    EXPECT_EQ(readWholeFile(path), "second\r\n");
    const std::string big(3 << 20, 'b');
    writeFileAtomically(path, big);
    EXPECT_EQ(readWholeFile(path), big);
    // Names up to the file system's limit of 255 bytes, made and replaced.
    const std::string longest = folder.file(std::string(249, 'n') + ".level");
    writeFileAtomically(longest, "made");
    writeFileAtomically(longest, "replaced");
    EXPECT_EQ(readWholeFile(longest), "replaced");
    std::filesystem::remove(longest);
    std::filesystem::create_hard_link(path, folder.file("hard.level"));
    writeFileAtomically(folder.file("hard.level"), "one file, two names");
    EXPECT_EQ(readWholeFile(path), "one file, two names") << "a hard link stays one file";
    std::filesystem::remove(folder.file("hard.level"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1) << "no temporary file is left behind";
}

#ifndef _WIN32   // the umask and mode bits are POSIX's
TEST(LevelFileIo, NewFileGetsTheUsualMode)
{
    TempFolder folder;
    const mode_t previous = ::umask(022);
    writeFileAtomically(folder.file("a.level"), "x");
    ::umask(077);
    writeFileAtomically(folder.file("b.level"), "x");
    ::umask(previous);
    struct stat st {};
    ASSERT_EQ(::stat(folder.file("a.level").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    ASSERT_EQ(::stat(folder.file("b.level").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
#endif

TEST(LevelFileIo, FailuresAreTheRuntimesAndLeaveNothingBehind)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.file("sub"));
    const auto writeError = [](const std::string &path) -> std::string {
        try {
            writeFileAtomically(path, "data");
        } catch (const InOutError &e) {
            return e.what();
        }
        return "written";
    };
    const auto readError = [](const std::string &path) -> std::string {
        try {
            readWholeFile(path);
        } catch (const InOutError &e) {
            return e.what();
        }
        return "read";
    };
    EXPECT_EQ(writeError(folder.file("missing/x.level")), OnWindows ? "Invalid filename" : "File not found");
    std::vector<std::pair<std::string, std::string>> refused = {
        {folder.file("sub"), "a folder"}, {NullDevice, "a device"}};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink("sub", folder.file("link"));
    refused.insert(refused.end(), {{folder.file("link"), "a folder"}, {folder.file("pipe"), "a pipe"}});
    EXPECT_TRUE(std::filesystem::is_character_file(NullDevice));
#endif
    for (const auto &[path, kind] : refused) {
        EXPECT_EQ(writeError(path), "File access denied: the output is " + kind + ", not a file");
        EXPECT_FALSE(fileExists(path)) << "the export asks nothing";
    }
    EXPECT_EQ(readError(folder.file("missing.level")), "File not found");
    EXPECT_EQ(readError(folder.file("sub")), "File access denied");
    // Devices and pipes would never end or never start: refused at once.
    EXPECT_EQ(readError(OnWindows ? NullDevice : "/dev/zero"), "File access denied");
#ifndef _WIN32
    std::filesystem::remove(folder.file("link"));
    EXPECT_EQ(readError(folder.file("pipe")), "File access denied");
    std::filesystem::remove(folder.file("pipe"));
#endif
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1) << "only the folder sub remains";
    EXPECT_FALSE(fileExists(folder.file("sub")));
}

#ifndef _WIN32   // resource limits, links and permission bits are POSIX's
TEST(LevelFileIo, FailedWriteKeepsTheOldFile)
{
    TempFolder folder;
    const std::string path = folder.file("keep.level");
    writeFileAtomically(path, "old contents\r\n");
    const int result = runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 77;
        try {
            writeFileAtomically(path, std::string(5000, 'n'));
        } catch (const InOutError &e) {
            return std::string(e.what()) == "I/O error 27" ? 0 : 2;
        }
        return 1;
    });
    ASSERT_NE(result, 77);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readWholeFile(path), "old contents\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(LevelFileIo, DanglingLinkCountsAsExisting)
{
    TempFolder folder;
    std::filesystem::create_symlink(folder.file("nowhere"), folder.file("link.level"));
    EXPECT_TRUE(fileExists(folder.file("link.level")));
}

// The file an export replaces: a link is followed and stays a link, the
// permission bits stay, and as a user bound by them, a read-only file is
// refused untouched while a writable file in a read-only folder is rewritten
// in place.
TEST(LevelFileIo, ReplacedFileIsRespected)
{
    TempFolder folder;
    ::chmod(folder.path().c_str(), 0777);   // the user below may make files beside the read-only one
    const std::string real = folder.file("real.level");
    writeFileAtomically(real, "old");
    ::chmod(real.c_str(), 0640);
    std::filesystem::create_symlink("real.level", folder.file("link.level"));
    std::filesystem::create_symlink(folder.file("new.level"), folder.file("dangling.level"));
    writeFileAtomically(folder.file("link.level"), "through the link");
    writeFileAtomically(folder.file("dangling.level"), "made");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.level")));
    EXPECT_EQ(readWholeFile(real), "through the link");
    EXPECT_EQ(readWholeFile(folder.file("new.level")), "made");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    std::filesystem::create_directory(folder.file("locked"));
    const std::string readOnly = folder.file("readonly.level");
    const std::string inLocked = folder.file("locked/open.level");
    writeFileAtomically(readOnly, "keep");
    writeFileAtomically(inLocked, "old, longer than the new");
    ::chmod(readOnly.c_str(), 0444);
    ::chmod(inLocked.c_str(), 0666);
    ::chmod(folder.file("locked").c_str(), 0555);
    const auto asUser = [](const std::string &path) {
        return runInChild([&] {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                return 77;
            try {
                writeFileAtomically(path, "new");
            } catch (const InOutError &e) {
                return std::string(e.what()) == "File access denied" ? 5 : 1;
            }
            return 0;
        });
    };
    EXPECT_EQ(asUser(readOnly), 5);
    EXPECT_EQ(readWholeFile(readOnly), "keep");
    EXPECT_EQ(asUser(inLocked), 0);
    EXPECT_EQ(readWholeFile(inLocked), "new");
    ::chmod(folder.file("locked").c_str(), 0755);
}
#else
TEST(LevelFileIo, ReadOnlyFileIsRefusedUntouched)
{
    TempFolder folder;
    const std::string readOnly = folder.file("readonly.level");
    writeFileAtomically(readOnly, "keep");
    if (!setReadOnly(readOnly, true)) {
        setReadOnly(readOnly, false);
        GTEST_SKIP() << "a read-only file can be written here";
    }
    EXPECT_THROW(writeFileAtomically(readOnly, "new"), InOutError);
    EXPECT_EQ(readWholeFile(readOnly), "keep");
    setReadOnly(readOnly, false);
}
#endif

#ifndef _WIN32   // a killed writer is a forked child here
// A write removes the temporary files that killed writes left in its folder,
// and only those: one a running write holds, and names that merely look
// alike, stay.
TEST(LevelFileIo, LeftoversOfKilledWritesGoWithTheNextWrite)
{
    TempFolder folder;
    const auto makeTemporary = [&](const std::string &name) {
        SystemErrorCode error = 0;
        SystemFile file = SystemFile::createNew(folder.file(name), error);
        return file && file.holdAsTemporary(folder.file(name)) ? std::move(file) : SystemFile();
    };
    EXPECT_EQ(runInChild([&] {
                  SystemFile file = makeTemporary(".wmb-dead01");
                  file.write("half", 4);
                  std::raise(SIGKILL);   // killed during its write
                  return 0;
              }),
              -1);
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t live = ::fork();
    if (live == 0) {
        ::close(release[1]);
        SystemFile file = makeTemporary(".wmb-live01");
        char c = file ? 'y' : 'n';
        (void)!::write(ready[1], &c, 1);
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    ::close(release[0]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    for (const char *name : {".wmb-ABC123", ".wmb-abc12", "wmb-abc123"})
        writeBytes(folder.file(name), {1});

    writeFileAtomically(folder.file("rom.nes"), "image");
    EXPECT_FALSE(std::filesystem::exists(folder.file(".wmb-dead01")));
    EXPECT_TRUE(std::filesystem::exists(folder.file(".wmb-live01"))) << "its writer still runs";
    for (const char *name : {".wmb-ABC123", ".wmb-abc12", "wmb-abc123"})
        EXPECT_TRUE(std::filesystem::exists(folder.file(name))) << name;
    ::close(release[1]);
    ::waitpid(live, nullptr, 0);
    EXPECT_EQ(removeLeftoverTemporaries(folder.path()), 1) << "free once its writer ended";
    EXPECT_EQ(readWholeFile(folder.file("rom.nes")), "image");
}
#endif
namespace {
// Edits of level 7 whose path and texts hold every byte the file escapes.
RecoveryFile sampleRecovery()
{
    RecoveryFile file;
    file.imagePath = "/home/u/my roms\\a\nb\x01\xFF/rom.nes";
    file.level = 7;
    file.writtenAt = 1796847240;
    for (int i = 0; i < MapCells; ++i)
        file.codes[i] = static_cast<std::uint8_t>(255 - i);
    file.texts = {"12x", "HELLO " + Bullet + "  ", "", "tab\there\\n\x7F"};
    for (int i = 0; i < MapCells; ++i)
        file.record.tiles[i] = static_cast<std::uint8_t>(i * 3);
    file.record.timer = 0xFE;
    file.record.name[0] = 0x7C;
    file.record.hint[54] = 0x0A;
    return file;
}
} // namespace

// The recovery file keeps every field byte for byte; every line is checked.
TEST(RecoveryFile, RoundTripsAndRefusesWhatItDoesNotWrite)
{
    const RecoveryFile file = sampleRecovery();
    const std::string text = encodeRecoveryFile(file);
    EXPECT_EQ(decodeRecoveryFile(text), file);
    EXPECT_EQ(text.substr(0, text.find("codes")),
              "WMBeditor recovery 1\nimage /home/u/my roms\\\\a\\nb\\x01\xFF/rom.nes\nlevel 7\nwritten 1796847240\n");
    EXPECT_NE(text.find("\nhint tab\\x09here\\\\n\\x7F\nrecord 000306"), std::string::npos);

    const auto replaced = [&](const std::string &from, const std::string &to) {
        std::string out = text;
        out.replace(out.find(from), from.size(), to);
        return out;
    };
    const struct {
        std::string bytes;
        const char *line;
    } refused[] = {
        {"", "line 1 "},
        {replaced("recovery 1", "recovery 2"), "line 1 "},
        {text.substr(0, text.size() - 1), "line 10 has no line end"},
        {text + "extra\n", "line 11 "},
        {replaced("level 7\n", ""), "line 3 is not the level"},
        {replaced("image /", "image\t/"), "line 2 "},
        {replaced("image /home/u/my roms\\\\a\\nb\\x01\xFF/rom.nes", "image "), "line 2 names no image"},
        {replaced("level 7", "level 33"), "line 3 has no valid level"},
        {replaced("level 7", "level 7 "), "line 3 "},
        {replaced("written 1796847240", "written -1"), "line 4 "},
        {replaced("codes FF FE", "codes FFFE "), "line 5 holds a bad code"},
        {replaced("codes FF FE", "codes ff FE"), "line 5 "},
        {replaced("codes FF FE ", "codes FF "), "line 5 does not hold 168 codes"},
        {replaced("timer 12x", "timer 12\\q"), "line 6 holds a bad escape"},
        {replaced("timer 12x", "timer 12\\x4"), "line 6 "},
        {replaced("name HELLO", "name \tHELLO"), "line 7 holds a control character"},
        {replaced("record 00", "record 0"), "line 10 does not hold a level record"},
        {replaced("record 00", "record 0G"), "line 10 holds a bad byte"},
    };
    for (const auto &r : refused) {
        try {
            decodeRecoveryFile(r.bytes);
            ADD_FAILURE() << "accepted: " << r.bytes;
        } catch (const RecoveryFileError &e) {
            EXPECT_NE(std::string(e.what()).find(r.line), std::string::npos) << e.what();
        }
    }
}
