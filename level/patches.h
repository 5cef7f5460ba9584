// Patches of either format, known by their content, and what a change of
// an image holds, as the editor and wmbtool report it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "levelset.h"

namespace wmb {

enum class PatchFormat { None, Ips, Bps };

// By the first bytes: "BPS1" or "PATCH".
PatchFormat patchFormatOf(std::string_view patch);
// By the name's extension, in either case: ".bps", ".ips", else None.
PatchFormat patchFormatOfName(std::string_view fileName);

// The patch, of either format, applied to `image` (named `imageName` in
// messages). Throws RuntimeError as applyIps and applyBps do, and for a file
// of neither format.
std::string applyPatch(std::string_view image, std::string_view patch, const std::string &imageName);
// The patch in `format` from `original` to `modified` (IPS: of equal sizes).
std::string makePatch(PatchFormat format, std::string_view original, std::string_view modified);

// What turning `before` into `after` changes: the levels whose records
// differ (ascending) and the count of other bytes that differ, a byte the
// one has and the other lacks counted as differing.
struct ImageChange {
    std::vector<int> levels;
    std::uint64_t otherBytes = 0;
    std::size_t sizeBefore = 0, sizeAfter = 0;

    bool any() const { return !levels.empty() || otherBytes != 0; }
};
ImageChange imageChange(std::string_view before, std::string_view after);

// "levels 3, 7 and 12" ("level 3"); empty for none.
std::string levelList(const std::vector<int> &levels);
// "3 levels and 1,204 other bytes changed".
std::string changeSummary(const ImageChange &change);
// "The patch changes levels 3, 7 and 12, and 1,204 bytes outside the level
// records." with a sentence more when the size changes.
std::string patchChangeText(const ImageChange &change);

// The write that turns the image `before` into `after`: the smallest range
// that covers every differing byte when the sizes are equal, otherwise the
// file's tail from the first differing byte on. Empty when they are equal.
ImageWrite writeOfImage(std::string_view before, std::string_view after);

} // namespace wmb
