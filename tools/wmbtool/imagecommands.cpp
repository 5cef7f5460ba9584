// find and diff: the 32 levels of an image at once, through the editor's
// own rules for finding a tile and comparing levels.
#include <algorithm>
#include <iostream>

#include "commands.h"
#include "levelset.h"
#include "romfile.h"

namespace wmbtool {

namespace {

// Exit statuses of diff, as cmp has them.
constexpr int ImagesDiffer = 1;
constexpr int CannotCompare = 2;

// The 32 records of the image at path, read as list reads them: a warning
// when it does not look like a ROM image, a Failure naming the level the
// image is too short for.
wmb::LevelRecords readLevels(const std::string &path)
{
    wmb::RomFile rom;
    onFile(path, [&] {
        rom.assign(path);
        rom.openForReading();
        warnIfNotRomImage(rom);
    });
    wmb::LevelRecords records;
    for (int n = 1; n <= wmb::LevelCount; ++n) {
        onFile(path, [&] {
            try {
                records[static_cast<std::size_t>(n - 1)] = wmb::readLevelRecord(rom, wmb::LevelBaseOf(n));
            } catch (const wmb::RuntimeError &e) {
                throw wmb::RuntimeError("level " + std::to_string(n) + ": " + e.what());
            }
        });
    }
    return records;
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// A tile code: hexadecimal in either case, as the map shows it ("1F") or
// with leading zeros. Text that is not hexadecimal is wrong usage; a value
// past FF is a Failure naming the code.
std::uint8_t tileCodeArgument(const std::string &text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), isHexDigit))
        throw UsageError("'" + text + "' is not a tile code (codes are 0 to FF, hexadecimal)");
    const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
    if (text.size() - first > 2)
        throw Failure("code " + text + ": no such tile code (codes are 0 to FF)");
    return static_cast<std::uint8_t>(std::stoi("0" + text.substr(first), nullptr, 16));
}

} // namespace

ExitStatus::ExitStatus(int status, const std::string &message)
    : std::runtime_error(message), mStatus(status)
{
}

void runFind(const Invocation &inv)
{
    expectArgs(inv, 2, "ROM CODE");
    const std::uint8_t code = tileCodeArgument(inv.args[1]);
    const wmb::TileSearch search = wmb::findTile(readLevels(inv.args[0]), code);
    for (int n = 1; n <= wmb::LevelCount; ++n)
        if (const int cells = search.cells[static_cast<std::size_t>(n - 1)]; cells > 0)
            std::cout << n << ' ' << cells << '\n';
    finishStdout();
}

void runDiff(const Invocation &inv)
{
    expectArgs(inv, 2, "A B");
    bool differ = false;
    try {
        const wmb::LevelRecords a = readLevels(inv.args[0]);
        const wmb::LevelRecords b = readLevels(inv.args[1]);
        const auto differences = wmb::compareImages(a, b);
        for (int n = 1; n <= wmb::LevelCount; ++n) {
            const wmb::LevelDifference &d = differences[static_cast<std::size_t>(n - 1)];
            if (d.any())
                std::cout << n << ": " << wmb::describeDifference(d) << '\n';
            differ = differ || d.any();
        }
        finishStdout();
    } catch (const Failure &e) {
        throw ExitStatus(CannotCompare, e.what());
    }
    if (differ)
        throw ExitStatus(ImagesDiffer);
}

} // namespace wmbtool
