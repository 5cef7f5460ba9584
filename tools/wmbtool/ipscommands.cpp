// ips and patch: IPS patches between whole files; no input is ever written.
#include "commands.h"
#include "ips.h"
#include "wholefile.h"

namespace wmbtool {

void runIps(const Invocation &inv)
{
    expectArgs(inv, 3, "ORIGINAL EDITED OUT.ips");
    const std::string &originalPath = inv.args[0];
    const std::string &editedPath = inv.args[1];
    const std::string &outPath = inv.args[2];
    refuseOverwritingInput(outPath, {originalPath, editedPath});

    const std::string original = onFile(originalPath, [&] { return wmb::readWholeFile(originalPath); });
    const std::string edited = onFile(editedPath, [&] { return wmb::readWholeFile(editedPath); });
    const std::string patch = onFile(originalPath + ", " + editedPath, [&] { return wmb::makeIps(original, edited); });
    writeOutput(outPath, patch);
}

void runPatch(const Invocation &inv)
{
    expectArgs(inv, 3, "ROM PATCH.ips OUT");
    const std::string &romPath = inv.args[0];
    const std::string &patchPath = inv.args[1];
    const std::string &outPath = inv.args[2];
    refuseOverwritingInput(outPath, {romPath, patchPath});

    const std::string rom = onFile(romPath, [&] { return wmb::readWholeFile(romPath); });
    const std::string patch = onFile(patchPath, [&] { return wmb::readWholeFile(patchPath); });
    const std::string patched = onFile(patchPath, [&] { return wmb::applyIps(rom, patch); });
    writeOutput(outPath, patched);
}

} // namespace wmbtool
