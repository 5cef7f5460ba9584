// What identifies an image file: its size, its iNES header and the
// checksums of the whole file and of the data after the 16-byte header (the
// way dump databases name an image).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wmb {

constexpr std::size_t InesHeaderSize = 16;

// One item a line: a label and its value ("Mapper", "0"). Checksums are in
// lower-case hexadecimal; the header's items are left out of a file without
// the iNES signature ("iNES header" says "none"), and the checksums after the
// header out of a file of at most 16 bytes.
using ImageInfo = std::vector<std::pair<std::string, std::string>>;
ImageInfo imageInfo(std::string_view image);

} // namespace wmb
