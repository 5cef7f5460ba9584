// list, export and import: the level record through the editor's own core,
// so the results are byte for byte those of the editor.
#include <array>
#include <iostream>

#include "commands.h"
#include "hexcode.h"
#include "levelfile.h"
#include "levelrecord.h"
#include "romfile.h"
#include "tilefolder.h"
#include "tilenames.h"
#include "wholefile.h"

namespace wmbtool {

namespace {

// The image is never created; only import opens it for writing, so the
// reading commands work on a read-only dump too.
enum class RomAccess { Read, ReadWrite };

void openRom(wmb::RomFile &rom, const std::string &path, RomAccess access)
{
    onFile(path, [&] {
        rom.assign(path);
        access == RomAccess::ReadWrite ? rom.open() : rom.openForReading();
    });
}

wmb::LevelRecord readLevel(wmb::RomFile &rom, int level)
{
    return onFile(rom.path(), [&] {
        try {
            return wmb::readLevelRecord(rom, wmb::LevelBaseOf(level));
        } catch (const wmb::RuntimeError &e) {
            throw wmb::RuntimeError("level " + std::to_string(level) + ": " + e.what());
        }
    });
}

// list --tiles LEVEL: "CODE<tab>COUNT<tab>NAME" for each code the level
// holds, in code order; names from the tile folder render draws from.
void listTiles(wmb::RomFile &rom, int level)
{
    const wmb::LevelRecord record = readLevel(rom, level);
    rom.close();
    const wmb::TileNames names =
        wmb::TileNames::read(wmb::findTileFolder(wmb::currentDirectory(), wmb::executableDirectory()));
    std::array<int, 256> cells{};
    for (const std::uint8_t code : record.tiles)
        ++cells[code];
    for (std::size_t code = 0; code < cells.size(); ++code)
        if (cells[code] > 0)
            std::cout << wmb::IntToHexText(static_cast<std::uint32_t>(code)) << '\t' << cells[code] << '\t'
                      << names.name(static_cast<std::uint8_t>(code)) << '\n';
    finishStdout();
}

} // namespace

void runList(const Invocation &inv)
{
    expectArgs(inv, 1, "ROM");
    const std::string &romPath = inv.args[0];
    const auto tilesOption = inv.values.find("--tiles");
    const int tilesOf = tilesOption != inv.values.end() ? levelArgument(tilesOption->second) : 0;
    wmb::RomFile rom;
    openRom(rom, romPath, RomAccess::Read);
    onFile(romPath, [&] { warnIfNotRomImage(rom); });
    if (tilesOf != 0)
        return listTiles(rom, tilesOf);
    // Everything is read before the first line is printed, so a short image
    // prints an error and no half list.
    std::array<wmb::LevelFields, wmb::LevelCount> levels;
    for (int n = 1; n <= wmb::LevelCount; ++n)
        levels[static_cast<std::size_t>(n - 1)] = wmb::fieldsFromRecord(readLevel(rom, n));
    rom.close();

    for (int n = 1; n <= wmb::LevelCount; ++n) {
        const wmb::LevelFields &f = levels[static_cast<std::size_t>(n - 1)];
        std::cout << n << '\t' << f.timer << '\t' << f.name << '\t' << f.author << '\t' << f.hint << '\n';
    }
    finishStdout();
}

void runExport(const Invocation &inv)
{
    expectArgs(inv, 3, "ROM LEVEL FILE");
    const std::string &romPath = inv.args[0];
    const std::string &outPath = inv.args[2];
    const int level = levelArgument(inv.args[1]);
    refuseOverwritingInput(outPath, {romPath});

    wmb::RomFile rom;
    openRom(rom, romPath, RomAccess::Read);
    const wmb::LevelRecord record = readLevel(rom, level);
    rom.close();
    const std::string text = wmb::levelFileText(wmb::fieldsFromRecord(record));
    writeOutput(outPath, text);
}

void runImport(const Invocation &inv)
{
    expectArgs(inv, 3, "ROM LEVEL FILE");
    const std::string &romPath = inv.args[0];
    const std::string &filePath = inv.args[2];
    const int level = levelArgument(inv.args[1]);

    // The whole file is read and checked before the image is opened; the
    // reader refuses anything that is not a level file with all 168 tile codes
    // and a whole-number timer.
    const wmb::LevelFields fields =
        onFile(filePath, [&] { return wmb::parseLevelFile(wmb::readWholeFile(filePath)); });
    const wmb::LevelRecord record = onFile(filePath, [&] { return wmb::recordFromFields(fields); });

    wmb::RomFile rom;
    openRom(rom, romPath, RomAccess::ReadWrite);
    // The editor imports into a level it has loaded, so a level the image
    // cannot hold whole is refused the same way before anything is written.
    readLevel(rom, level);
    // What would end the program now waits until the record is whole, old or new.
    const wmb::InterruptHold hold;
    onFile(romPath, [&] {
        wmb::writeLevelRecord(rom, wmb::LevelBaseOf(level), record);
    });
    rom.close();
}

} // namespace wmbtool
