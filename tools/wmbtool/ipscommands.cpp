// ips, bps, patch, apply and info: patches between whole files and what
// identifies an image; no input is ever written.
#include <iostream>

#include "bps.h"
#include "commands.h"
#include "imageinfo.h"
#include "ips.h"
#include "patches.h"
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

void runBps(const Invocation &inv)
{
    expectArgs(inv, 3, "ORIGINAL MODIFIED OUTPUT");
    const std::string &originalPath = inv.args[0];
    const std::string &modifiedPath = inv.args[1];
    const std::string &outPath = inv.args[2];
    refuseOverwritingInput(outPath, {originalPath, modifiedPath});

    const std::string original = onFile(originalPath, [&] { return wmb::readWholeFile(originalPath); });
    const std::string modified = onFile(modifiedPath, [&] { return wmb::readWholeFile(modifiedPath); });
    writeOutput(outPath, wmb::makeBps(original, modified));
}

void runApply(const Invocation &inv)
{
    expectArgs(inv, 3, "IMAGE PATCH OUTPUT");
    const std::string &imagePath = inv.args[0];
    const std::string &patchPath = inv.args[1];
    const std::string &outPath = inv.args[2];
    refuseOverwritingInput(outPath, {imagePath, patchPath});

    const std::string image = onFile(imagePath, [&] { return wmb::readWholeFile(imagePath); });
    const std::string patch = onFile(patchPath, [&] { return wmb::readWholeFile(patchPath); });
    const std::string patched = onFile(patchPath, [&] { return wmb::applyPatch(image, patch, imagePath); });
    writeOutput(outPath, patched);
}

void runInfo(const Invocation &inv)
{
    expectArgs(inv, 1, "IMAGE");
    const std::string &imagePath = inv.args[0];
    const std::string image = onFile(imagePath, [&] { return wmb::readWholeFile(imagePath); });
    for (const auto &[label, value] : wmb::imageInfo(image))
        std::cout << label << ": " << value << "\n";
    finishStdout();
}

} // namespace wmbtool
