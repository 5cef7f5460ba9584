#include "writefile.h"

#include <cstdio>
#include <stdexcept>

#include "errors.h"
#include "platform.h"

namespace wmb::assets {

void writeWholeFile(const std::string &path, std::span<const std::uint8_t> bytes)
{
    const std::string temporary = path + ".tmp";
    std::FILE *file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot create " + temporary);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed) {
        try {
            // Over an earlier build's file too, which std::rename does not
            // replace on Windows.
            replaceFile(temporary, path);
            return;
        } catch (const RuntimeError &) {
        }
    }
    std::remove(temporary.c_str());
    throw std::runtime_error("cannot write " + path);
}

} // namespace wmb::assets
