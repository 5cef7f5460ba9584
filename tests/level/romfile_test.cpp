// RomFile against real files: its errors, and that it never creates, grows
// or truncates the image.
#include "core_support.h"
#include "errors.h"
#include "romfile.h"
#include "romimage.h"

#include <gtest/gtest.h>

#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace wmb;
using namespace wmbtest;

namespace {
std::string openError(const std::string &path)
{
    RomFile rom;
    rom.assign(path);
    try {
        rom.open();
    } catch (const InOutError &e) {
        return e.what();
    }
    return "opened";
}

std::string readError(RomFile &rom, std::int64_t offset, std::size_t n)
{
    Bytes buffer(n);
    try {
        rom.readAt(offset, buffer.data(), n);
    } catch (const InOutError &e) {
        return e.what();
    }
    return "read";
}

std::string writeError(RomFile &rom, std::int64_t offset, std::size_t n)
{
    const Bytes data(n, 0xAB);
    try {
        rom.writeAt(offset, data.data(), n);
    } catch (const InOutError &e) {
        return e.what();
    }
    return "written";
}
} // namespace

TEST(RomFileTest, OpenFailuresAreTheRuntimesMessages)
{
    TempFolder folder;
    writeBytes(folder.file("plain"), Bytes(10));
    // Windows' own numbers: a missing folder or no name is a bad path (3).
    std::vector<std::pair<std::string, std::string>> cases = {
        {folder.file("missing.nes"), "File not found"},
        {folder.file("nofolder/x.nes"), OnWindows ? "Invalid filename" : "File not found"},
        {"", OnWindows ? "Invalid filename" : "File not found"},
        {folder.path(), "File access denied"},
        {NullDevice, "File access denied"},
        {folder.file("plain"), "opened"},
    };
    if (!OnWindows)
        cases.emplace_back(folder.file(std::string(300, 'n')), "Invalid filename");
    for (const auto &[path, message] : cases)
        EXPECT_EQ(openError(path), message) << path;
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing.nes"))) << "open must not create";
}

// An image whose name is gone while open (moved away: a deletion waits for
// the last handle on Windows): a reopen fails as the runtime's open does and
// keeps the handle, through which the whole image can still be read.
TEST(RomFileTest, HandleOutlivesTheName)
{
    TempFolder folder;
    const std::string path = folder.file("rom.nes");
    const Bytes original = randomBytes(1000, 2);
    writeBytes(path, original);
    RomFile rom;
    rom.assign(path);
    rom.open();
    std::filesystem::rename(path, folder.file("moved.nes"));
    EXPECT_THROW(rom.open(), InOutError);
    ASSERT_TRUE(rom.isOpen());
    const std::string all = rom.readAll();
    EXPECT_EQ(Bytes(all.begin(), all.end()), original);
}

TEST(RomFileTest, ReadOnlyImageIsRefused)
{
    TempFolder folder;
    std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
    const std::string readOnly = folder.file("readonly.nes");
    const std::string writable = folder.file("writable.nes");
    writeBytes(readOnly, Bytes(64));
    writeBytes(writable, Bytes(64));
#ifdef _WIN32
    if (!setReadOnly(readOnly, true)) {
        setReadOnly(readOnly, false);
        GTEST_SKIP() << "a read-only file can be written here";
    }
    EXPECT_EQ(openError(readOnly), "File access denied");
    EXPECT_EQ(openError(writable), "opened");
    setReadOnly(readOnly, false);
#else
    ::chmod(readOnly.c_str(), 0444);
    ::chmod(writable.c_str(), 0666);

    if (::geteuid() != 0) {
        EXPECT_EQ(openError(readOnly), "File access denied");
        EXPECT_EQ(openError(writable), "opened");
        return;
    }
    // Root ignores the mode bits: check as an ordinary user in a child.
    constexpr uid_t Nobody = 65534;
    const auto asNobody = [&](const std::string &path, const std::string &expected) {
        return runInChild([&] {
            if (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
                return 77;
            return openError(path) == expected ? 0 : 1;
        });
    };
    // The control: the same user may open a writable image beside it, so the
    // refusal below comes from the file's mode and not from the folder.
    if (asNobody(writable, "opened") != 0)
        GTEST_SKIP() << "the user nobody cannot open a file in " << folder.path();
    EXPECT_EQ(asNobody(readOnly, "File access denied"), 0)
        << "a read-only image must fail with File access denied";
#endif
}

TEST(RomFileTest, ReadsAndWritesStayInsideTheFile)
{
    TempFolder folder;
    const std::string path = folder.file("rom.nes");
    const Bytes original = randomBytes(1000, 1);
    writeBytes(path, original);
    RomFile rom;
    rom.assign(path);
    EXPECT_EQ(readError(rom, 0, 1), "I/O error 103") << "not open yet";
    rom.open();
    EXPECT_EQ(rom.size(), 1000);

    const struct {
        std::int64_t offset;
        std::size_t n;
        const char *read;
        const char *write;
    } cases[] = {
        {0, 1000, "read", "written"},
        {999, 1, "read", "written"},
        {1000, 0, "read", "written"},
        {1000, 1, "Read beyond end of file", "Read beyond end of file"},
        {990, 11, "Read beyond end of file", "Read beyond end of file"},
        {5000, 10, "Read beyond end of file", "Read beyond end of file"},
        {-1, 1, "Read beyond end of file", "Read beyond end of file"},
        {INT64_MAX, 2, "Read beyond end of file", "Read beyond end of file"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(readError(rom, c.offset, c.n), c.read) << c.offset << "+" << c.n;
        writeBytes(path, original);
        EXPECT_EQ(writeError(rom, c.offset, c.n), c.write) << c.offset << "+" << c.n;
        if (std::string(c.write) != "written") {
            EXPECT_EQ(readBytes(path), original) << "a refused write changes nothing";
        }
    }
    EXPECT_EQ(rom.size(), 1000);
}

TEST(RomFileTest, ReadsAndWritesAtAbsoluteOffsets)
{
    TempFolder folder;
    const std::string path = folder.file("rom.nes");
    Bytes expected = randomBytes(4096, 2);
    writeBytes(path, expected);
    RomFile rom;
    rom.assign(path);
    rom.open();
    const Bytes data = {1, 2, 3};
    rom.writeAt(2000, data.data(), data.size());
    rom.sync();
    std::copy(data.begin(), data.end(), expected.begin() + 2000);
    EXPECT_EQ(readBytes(path), expected);

    Bytes back(5);
    rom.readAt(1999, back.data(), back.size());
    EXPECT_EQ(back, Bytes(expected.begin() + 1999, expected.begin() + 2004));

    // Opening again neither truncates nor moves anything.
    rom.open();
    rom.close();
    EXPECT_FALSE(rom.isOpen());
    EXPECT_EQ(readBytes(path), expected);

}

// The look at a file before it is opened as a ROM image: the iNES signature
// and room for the last hint byte of level 32.
TEST(RomImageDoubtTest, NamesWhatIsWrongWithTheFile)
{
    ASSERT_EQ(RomImageMinSize, 57359);
    const Bytes header = {'N', 'E', 'S', 0x1A};
    const auto file = [](Bytes head, std::size_t size) {
        head.resize(size, 0);
        return head;
    };
    const struct {
        Bytes bytes;
        std::string doubt;
    } cases[] = {
        {file(header, 57359), ""},
        {file(header, 73744), ""},
        {file(header, 57358), "57358 bytes, too small for 32 levels"},
        {file({'N', 'E', 'S', 0x1B}, 73744), "no iNES header"},
        {file({'n', 'e', 's', 0x1A}, 73744), "no iNES header"},
        {randomBytes(72 * 1024, 3), "no iNES header"},
        {file({'N', 'E', 'S'}, 3), "3 bytes, too small for 32 levels"},
        {Bytes(100, 'x'), "100 bytes, too small for 32 levels"},
        {{}, "0 bytes, too small for 32 levels"},
    };
    TempFolder folder;
    for (const auto &c : cases) {
        writeBytes(folder.file("rom.nes"), c.bytes);
        RomFile rom;
        rom.assign(folder.file("rom.nes"));
        rom.openForReading();
        EXPECT_EQ(romImageDoubt(rom), c.doubt) << c.bytes.size() << " bytes";
    }
}
