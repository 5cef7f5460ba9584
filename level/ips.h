// IPS patches: how hacks of a ROM image are shared without the image itself.
//
// A patch is "PATCH", then records, then "EOF". A record is a 3-byte
// big-endian file offset and a 2-byte big-endian size followed by that many
// bytes to write there; a size of 0 marks a run record instead: a 2-byte
// big-endian run length and one byte written that many times.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wmb {

// The largest file an IPS record can address (offsets are 24 bits).
constexpr std::size_t IpsMaxFileSize = std::size_t{1} << 24;
// The longest data of one record.
constexpr std::size_t IpsMaxRecordSize = 0xFFFF;
// A record starting here would read as the end marker "EOF".
constexpr std::size_t IpsEofOffset = 0x454F46;

// A patch that turns `original` into `edited`: one plain record per run of
// differing bytes (runs longer than 65535 bytes are split). A run that would
// start at 0x454F46 starts one byte earlier instead, carrying that byte too.
// Identical inputs give the empty patch "PATCHEOF". Throws RuntimeError when
// the sizes differ or the files are larger than 16 MiB.
std::string makeIps(std::string_view original, std::string_view edited);

// makeIps with a count of what the patch changes: the bytes in which the
// files differ and the records holding them. (A record moved back from
// 0x454F46 carries one byte that does not differ; it is not counted.)
struct IpsPatch {
    std::string bytes;
    std::size_t changedBytes = 0;
    std::size_t records = 0;
};
IpsPatch makeIpsPatch(std::string_view original, std::string_view edited);

// The ROM image with the patch applied. A record past the end of the image
// grows it (a gap before the record is filled with zero bytes); since no
// record can reach beyond offset 0xFFFFFF + 0xFFFF, the result never grows
// past that. After "EOF" the patch may hold exactly three more bytes, the
// common truncation extension: the 24-bit size to cut the result to (it must
// not exceed the result's size). Throws RuntimeError for a missing header,
// a record or "EOF" cut short, a run record of length 0, or stray bytes after
// "EOF"; the message names the offset in the patch.
std::string applyIps(std::string_view rom, std::string_view patch);

} // namespace wmb
