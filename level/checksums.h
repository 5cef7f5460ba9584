// Checksums of whole files, the way patches and dump databases identify an
// image: CRC32 (the zlib polynomial), MD5 and SHA-1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wmb {

std::uint32_t crc32Of(std::string_view bytes);
// The digests as lower-case hexadecimal text (32 and 40 digits).
std::string md5Hex(std::string_view bytes);
std::string sha1Hex(std::string_view bytes);
// "1a2b3c4d" and "1A2B3C4D": eight digits.
std::string crc32Hex(std::uint32_t crc, bool upper = false);

// A count with its thousands grouped by commas: "1,204".
std::string groupedNumber(std::uint64_t n);

} // namespace wmb
