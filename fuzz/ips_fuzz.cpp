// IPS patches. The input is read two ways: as a patch applied to a small
// image, and as two equal halves, an original and an edited image, whose
// patch must turn the one into the other.
#include "errors.h"
#include "fuzzcheck.h"
#include "ips.h"

#include <string>

using wmbfuzz::check;

namespace {

const std::string &sampleImage()
{
    static const std::string image = [] {
        std::string s(1024, '\0');
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<char>(i * 7 + 3);
        return s;
    }();
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string_view input = wmbfuzz::asText(data, size);

    try {
        const std::string out = wmb::applyIps(sampleImage(), input);
        check(out.size() <= wmb::IpsMaxFileSize + wmb::IpsMaxRecordSize,
              "a patch cannot grow an image past the last addressable record");
    } catch (const wmb::RuntimeError &) {
    }

    const std::string_view original = input.substr(0, size / 2);
    const std::string_view edited = input.substr(size / 2, size / 2);
    const std::string patch = wmb::makeIps(original, edited);
    check(wmb::applyIps(original, patch) == edited, "a made patch turns the original into the edited");
    check(wmb::applyIps(original, wmb::makeIps(original, original)) == original, "an empty patch changes nothing");
    return 0;
}
