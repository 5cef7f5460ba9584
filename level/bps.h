// BPS patches: "BPS1", the sizes of the source and the target and of the
// metadata as variable-length numbers, the metadata, the actions, then the
// CRC32 of the source, of the target and of the patch before these last
// four bytes, each little-endian.
//
// An action is one number: its length - 1 shifted left by two, and its kind
// in the low two bits. SourceRead copies the source's bytes at the place
// the target has reached; TargetRead takes its bytes from the patch;
// SourceCopy and TargetCopy copy from the source, or from the target written
// so far, at an offset kept from the copy before, moved by a signed number
// (its size shifted left by one, the sign in the low bit).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wmb {

// The metadata the editor and wmbtool put in their patches.
inline constexpr std::string_view BpsMetadata = "made by WMBeditor";

// A patch that turns `source` into `target` (of any sizes): SourceRead for
// unchanged runs, SourceCopy or TargetCopy where a run of the target is
// found elsewhere in the source or earlier in the target, TargetRead for
// the rest.
std::string makeBps(std::string_view source, std::string_view target, std::string_view metadata = BpsMetadata);

// The target the patch makes from `source`. Everything is checked before
// the result is given: the magic, every number and action (nothing read
// past the patch, the source or the target, nothing copied from outside
// them) and the three checksums. `sourceName` is the image as a message
// names it ("rom.nes"). Throws RuntimeError saying which check failed:
// "This patch is for another image: it expects CRC32 1A2B3C4D, and rom.nes
// has 5E6F7A8B.", "The patch is damaged (its checksum does not match).",
// "The patch's action at byte 1,204 reads past the end of the source."
// Metadata is skipped, whatever it holds.
std::string applyBps(std::string_view source, std::string_view patch, const std::string &sourceName);

} // namespace wmb
