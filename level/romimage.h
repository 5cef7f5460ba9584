// The ROM image as a whole: does a file look like a Wumblers ROM image, and
// do two paths name the same file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "levelrecord.h"

namespace wmb {

class RomFile;

// The smallest image that holds every level record: the last hint byte of
// level 32 is its last byte.
constexpr std::int64_t RomImageMinSize = LevelBaseOf(LevelCount) + RecordEndOffset;   // 57359

// The iNES signature every image starts with: "NES" and byte 0x1A.
inline constexpr std::string_view InesSignature{"NES\x1A", 4};

// Why a file of `size` bytes that starts with `head` does not look like a
// Wumblers ROM image: "N bytes, too small for 32 levels" (checked first: such
// a file cannot be edited at all) or "no iNES header". Empty when it does.
std::string romImageDoubt(std::string_view head, std::int64_t size);
// The same for an open image, reading its size and its first bytes.
// Throws InOutError when they cannot be read.
std::string romImageDoubt(RomFile &rom);

// True when both paths name one existing file (the same file on the same
// device or volume, through links too).
bool sameFile(const std::string &a, const std::string &b);

} // namespace wmb
