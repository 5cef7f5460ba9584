// Patches of the open image: the patch from an original image to it, and a
// patch of either format applied as one step of the image's history.
#include "leveldocument.h"

#include "errors.h"
#include "pathnames.h"
#include "wholefile.h"

namespace {

// The last part of a path, as a message shows it.
std::string fileName(const std::string &path) { return shownFileName(qStringFromPath(path)).toStdString(); }

} // namespace

LevelDocument::CreatedPatch LevelDocument::patchFrom(const std::string &original, wmb::PatchFormat format)
{
    const std::string open = mRom.path();
    const std::string from = wmb::readWholeFile(original);
    const std::string to = imageBytes();
    if (format == wmb::PatchFormat::Ips && from.size() != to.size())
        throw wmb::RuntimeError(fileName(original) + " has " + std::to_string(from.size()) + " bytes and " +
                                fileName(open) + " " + std::to_string(to.size()) +
                                "; an IPS patch is made between images of the same size");
    return {wmb::makePatch(format, from, to), wmb::imageChange(from, to)};
}

LevelDocument::PatchStep LevelDocument::preparePatch(const std::string &patchFile)
{
    if (mReadOnly)
        throw wmb::InOutError(wmb::IoAccessDenied);
    const std::string patch = wmb::readWholeFile(patchFile);
    const std::string image = imageBytes();
    const std::string patched = wmb::applyPatch(image, patch, fileName(mRom.path()));
    return {wmb::writeOfImage(image, patched), wmb::imageChange(image, patched)};
}
