#include "imageinfo.h"

#include <cstdint>

#include "checksums.h"
#include "romimage.h"

namespace wmb {

namespace {

std::string banks(unsigned count, unsigned kib)
{
    return std::to_string(count) + " (" + groupedNumber(std::uint64_t{count} * kib) + " KiB)";
}

void addChecksums(ImageInfo &info, std::string_view bytes, const std::string &of)
{
    info.push_back({"CRC32" + of, crc32Hex(crc32Of(bytes))});
    info.push_back({"MD5" + of, md5Hex(bytes)});
    info.push_back({"SHA-1" + of, sha1Hex(bytes)});
}

} // namespace

ImageInfo imageInfo(std::string_view image)
{
    ImageInfo info;
    info.push_back({"Size", groupedNumber(image.size()) + " bytes"});
    if (image.size() >= InesHeaderSize && image.starts_with(InesSignature)) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned>(static_cast<std::uint8_t>(image[i])); };
        const unsigned flags6 = byte(6), flags7 = byte(7);
        info.push_back({"iNES header", (flags7 & 0x0C) == 0x08 ? "NES 2.0" : "iNES"});
        info.push_back({"Program banks", banks(byte(4), 16)});
        info.push_back({"Character banks", banks(byte(5), 8)});
        info.push_back({"Mapper", std::to_string((flags6 >> 4) | (flags7 & 0xF0))});
        info.push_back({"Mirroring", (flags6 & 0x08) ? "four-screen" : (flags6 & 0x01) ? "vertical" : "horizontal"});
        info.push_back({"Battery", (flags6 & 0x02) ? "yes" : "no"});
    } else {
        info.push_back({"iNES header", "none"});
    }
    addChecksums(info, image, "");
    if (image.size() > InesHeaderSize)
        addChecksums(info, image.substr(InesHeaderSize), " after the header");
    return info;
}

} // namespace wmb
