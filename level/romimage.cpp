#include "romimage.h"

#include <algorithm>
#include <array>

#include "romfile.h"

namespace wmb {

std::string romImageDoubt(std::string_view head, std::int64_t size)
{
    if (size < RomImageMinSize)
        return std::to_string(size) + " bytes, too small for " + std::to_string(LevelCount) + " levels";
    if (!head.starts_with(InesSignature))
        return "no iNES header";
    return {};
}

std::string romImageDoubt(RomFile &rom)
{
    const std::int64_t size = rom.size();
    std::array<std::uint8_t, InesSignature.size()> head{};
    const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(size, head.size()));
    rom.readAt(0, head.data(), n);
    return romImageDoubt(std::string_view(reinterpret_cast<const char *>(head.data()), n), size);
}

} // namespace wmb
