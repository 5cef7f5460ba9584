// IPS patches. The input is read two ways: as a patch applied to a small
// image, compared with a plain reading of the format written here, and as
// two equal halves, an original and an edited image, whose patch must turn
// the one into the other.
#include "errors.h"
#include "fuzzcheck.h"
#include "ips.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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

std::size_t bigEndian(std::string_view s, std::size_t at, int bytes)
{
    std::size_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    return v;
}

// One record as the format defines it: where its offset field lies, where
// it writes, how many bytes, and its data (empty for a run record).
struct Record {
    std::size_t offsetField;
    std::size_t offset;
    std::size_t size;
    std::string_view data;
    char runValue;
};

// Walks the records; false when the patch is not valid. `cut` gets the
// truncation size when the patch has one.
bool walk(std::string_view patch, const std::function<void(const Record &)> &visit,
          std::optional<std::size_t> &cut)
{
    if (!patch.starts_with("PATCH"))
        return false;
    std::size_t pos = 5;
    for (;;) {
        if (patch.substr(pos).starts_with("EOF")) {
            pos += 3;
            break;
        }
        if (patch.size() - pos < 5)
            return false;
        Record r{pos, bigEndian(patch, pos, 3), bigEndian(patch, pos + 3, 2), {}, 0};
        pos += 5;
        if (r.size != 0) {
            if (patch.size() - pos < r.size)
                return false;
            r.data = patch.substr(pos, r.size);
            pos += r.size;
        } else {
            if (patch.size() - pos < 3)
                return false;
            r.size = bigEndian(patch, pos, 2);
            r.runValue = patch[pos + 2];
            pos += 3;
            if (r.size == 0)
                return false;
        }
        visit(r);
    }
    if (patch.size() - pos == 3)
        cut = bigEndian(patch, pos, 3);
    return patch.size() - pos == 0 || patch.size() - pos == 3;
}

std::optional<std::string> referenceApply(std::string_view image, std::string_view patch)
{
    std::string out(image);
    std::optional<std::size_t> cut;
    const bool valid = walk(patch, [&](const Record &r) {
        if (out.size() < r.offset + r.size)
            out.resize(r.offset + r.size, '\0');
        if (r.data.empty())
            std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(r.offset), r.size, r.runValue);
        else
            std::copy(r.data.begin(), r.data.end(), out.begin() + static_cast<std::ptrdiff_t>(r.offset));
    }, cut);
    if (!valid || (cut && *cut > out.size()))
        return std::nullopt;
    if (cut)
        out.resize(*cut);
    return out;
}

// A patch whose records reach far past the image grows it to megabytes
// (zero-filled) on every run, which slows the search a hundredfold without
// reaching any other code. Such patches keep their records and layout but
// have their offsets cut to 16 bits.
constexpr std::size_t FarReach = std::size_t{256} * 1024;

void bringRecordsNear(std::string &patch)
{
    std::size_t reach = 0;
    std::vector<std::size_t> offsetFields;
    std::optional<std::size_t> cut;
    walk(patch, [&](const Record &r) {
        reach = std::max(reach, r.offset + r.size);
        offsetFields.push_back(r.offsetField);
    }, cut);
    if (reach <= FarReach)
        return;
    for (const std::size_t at : offsetFields)
        patch[at] = '\0';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string_view input = wmbfuzz::asText(data, size);

    std::string patch(input);
    bringRecordsNear(patch);
    const std::optional<std::string> expected = referenceApply(sampleImage(), patch);
    try {
        const std::string out = wmb::applyIps(sampleImage(), patch);
        check(expected.has_value(), "applyIps refuses what the format does not allow");
        check(out == *expected, "applyIps writes what the records say");
    } catch (const wmb::RuntimeError &) {
        check(!expected.has_value(), "applyIps accepts every valid patch");
    }

    const std::string_view original = input.substr(0, size / 2);
    const std::string_view edited = input.substr(size / 2, size / 2);
    const std::string made = wmb::makeIps(original, edited);
    check(referenceApply(original, made) == edited, "a made patch is valid and turns the original into the edited");
    check(wmb::applyIps(original, made) == edited, "applyIps turns the original into the edited");
    check(wmb::makeIps(original, original) == "PATCHEOF", "equal images give the empty patch");
    return 0;
}
