// BPS patches. The input is read two ways: as a patch applied to a small
// image (its checksums first set to what the image, the patch and a target
// of the promised size would need, so the search reaches the actions), and
// as two halves, a source and a target of different sizes, whose patch must
// turn the one into the other and be refused by any other image.
#include "bps.h"
#include "checksums.h"
#include "errors.h"
#include "fuzzcheck.h"

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

void putLittleEndian(std::string &s, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>(v >> (8 * i));
}

std::uint32_t littleEndianAt(std::string_view s, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 4; i-- > 0;)
        v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string_view input = wmbfuzz::asText(data, size);

    // Odd first byte: the source's and the patch's checksums are made right.
    std::string patch = "BPS1" + std::string(input.substr(input.empty() ? 0 : 1));
    const bool sealed = !input.empty() && (input[0] & 1) && patch.size() >= 16;
    if (sealed) {
        putLittleEndian(patch, patch.size() - 12, wmb::crc32Of(sampleImage()));
        putLittleEndian(patch, patch.size() - 4, wmb::crc32Of(std::string_view(patch).substr(0, patch.size() - 4)));
    }
    try {
        const std::string out = wmb::applyBps(sampleImage(), patch, "a.nes");
        check(patch.size() >= 16, "a patch has room for its checksums");
        check(wmb::crc32Of(out) == littleEndianAt(patch, patch.size() - 8), "a result has the promised checksum");
        check(wmb::crc32Of(sampleImage()) == littleEndianAt(patch, patch.size() - 12),
              "a patch applies only to its source");
    } catch (const wmb::RuntimeError &) {
    }

    const std::size_t cut = input.empty() ? 0 : static_cast<unsigned char>(input[0]) % (size + 1);
    const std::string_view source = input.substr(0, cut);
    const std::string_view target = input.substr(cut);
    const std::string made = wmb::makeBps(source, target);
    check(wmb::applyBps(source, made, "a.nes") == target, "a made patch turns the source into the target");
    const std::string other = std::string(source) + "x";
    bool refused = false;
    try {
        wmb::applyBps(other, made, "b.nes");
    } catch (const wmb::RuntimeError &) {
        refused = true;
    }
    check(refused, "a made patch is refused by another image");
    return 0;
}
