// Property checks for the libFuzzer targets: a broken property prints what
// failed and aborts, which libFuzzer records as a crash with its input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace wmbfuzz {

inline void check(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline std::string_view asText(const unsigned char *data, std::size_t size)
{
    return {reinterpret_cast<const char *>(data), size};
}

} // namespace wmbfuzz
