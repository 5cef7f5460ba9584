// Whole-file output for the build-time asset makers.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace wmb::assets {

// Writes bytes to path through a temporary file beside it and a rename, so
// an interrupted build never leaves a half-written asset. Throws
// std::runtime_error naming the path on failure.
void writeWholeFile(const std::string &path, std::span<const std::uint8_t> bytes);

} // namespace wmb::assets
