#include "bps.h"

#include <algorithm>
#include <vector>

#include "checksums.h"
#include "errors.h"
#include "wholefile.h"

namespace wmb {

namespace {

constexpr std::string_view Magic = "BPS1";
constexpr std::size_t FooterSize = 12;
enum Action : std::uint64_t { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

void putNumber(std::string &out, std::uint64_t n)
{
    for (;;) {
        const auto x = static_cast<std::uint8_t>(n & 0x7F);
        n >>= 7;
        if (n == 0) {
            out.push_back(static_cast<char>(0x80 | x));
            return;
        }
        out.push_back(static_cast<char>(x));
        --n;
    }
}

void putAction(std::string &out, Action action, std::size_t length)
{
    putNumber(out, ((static_cast<std::uint64_t>(length) - 1) << 2) | action);
}

// A copy's offset from where the copy before left off.
void putOffset(std::string &out, std::size_t from, std::size_t &relative)
{
    const bool back = from < relative;
    const std::uint64_t size = back ? relative - from : from - relative;
    putNumber(out, (size << 1) | (back ? 1 : 0));
}

void putLittleEndian(std::string &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Runs of four bytes, found by their hash: the latest place first, then
// the places before it.
class RunIndex {
public:
    static constexpr std::size_t Gram = 4;
    static constexpr int Chain = 24;

    explicit RunIndex(std::string_view data) : mData(data), mPrev(data.size(), -1) {}

    void add(std::size_t at)
    {
        if (at + Gram > mData.size())
            return;
        std::int32_t &head = mHead[hashAt(mData, at)];
        mPrev[at] = head;
        head = static_cast<std::int32_t>(at);
    }
    // The longest run of `target` at `at` found here, starting before
    // `before`; its length 0 when none.
    std::pair<std::size_t, std::size_t> longest(std::string_view target, std::size_t at, std::size_t before) const
    {
        std::pair<std::size_t, std::size_t> best{0, 0};
        if (at + Gram > target.size())
            return best;
        std::int32_t p = mHead[hashAt(target, at)];
        for (int steps = 0; p >= 0 && steps < Chain; ++steps, p = mPrev[static_cast<std::size_t>(p)]) {
            const auto from = static_cast<std::size_t>(p);
            if (from >= before)
                continue;
            std::size_t n = 0;
            const std::size_t limit = std::min(mData.size() - from, target.size() - at);
            while (n < limit && mData[from + n] == target[at + n])
                ++n;
            if (n > best.second)
                best = {from, n};
        }
        return best;
    }

private:
    static std::size_t hashAt(std::string_view d, std::size_t at)
    {
        std::uint32_t h = 0;
        for (std::size_t i = 0; i < Gram; ++i)
            h = h * 0x01000193u ^ static_cast<std::uint8_t>(d[at + i]);
        return (h * 2654435761u) >> (32 - 16);
    }

    std::string_view mData;
    std::vector<std::int32_t> mHead = std::vector<std::int32_t>(std::size_t{1} << 16, -1);
    std::vector<std::int32_t> mPrev;
};

// What an action costs beyond its bytes, about: a run shorter is sent as it is.
constexpr std::size_t MinSourceRead = 3;
constexpr std::size_t MinCopy = 6;
// A run of unchanged bytes this long is taken without looking for a copy.
constexpr std::size_t LongSourceRead = 32;

} // namespace

std::string makeBps(std::string_view source, std::string_view target, std::string_view metadata)
{
    std::string patch(Magic);
    putNumber(patch, source.size());
    putNumber(patch, target.size());
    putNumber(patch, metadata.size());
    patch.append(metadata);

    RunIndex inSource(source);
    for (std::size_t i = 0; i < source.size(); ++i)
        inSource.add(i);
    RunIndex inTarget(target);

    std::size_t sourceRelative = 0, targetRelative = 0, pendingFrom = 0, added = 0;
    const auto flushPending = [&](std::size_t at) {
        if (at > pendingFrom) {
            putAction(patch, TargetRead, at - pendingFrom);
            patch.append(target.substr(pendingFrom, at - pendingFrom));
        }
    };
    std::size_t at = 0;
    while (at < target.size()) {
        std::size_t same = 0;
        while (at + same < std::min(source.size(), target.size()) && source[at + same] == target[at + same])
            ++same;
        std::pair<std::size_t, std::size_t> fromSource{0, 0}, fromTarget{0, 0};
        if (same < LongSourceRead) {
            fromSource = inSource.longest(target, at, source.size());
            fromTarget = inTarget.longest(target, at, at);
        }
        const std::size_t copy = std::max(fromSource.second, fromTarget.second);
        std::size_t taken = 1;
        bool action = true;
        if (same >= MinSourceRead && same + MinCopy / 2 >= copy) {
            flushPending(at);
            putAction(patch, SourceRead, same);
            taken = same;
        } else if (copy >= MinCopy) {
            flushPending(at);
            const bool own = fromTarget.second > fromSource.second;
            const auto [from, length] = own ? fromTarget : fromSource;
            putAction(patch, own ? TargetCopy : SourceCopy, length);
            std::size_t &relative = own ? targetRelative : sourceRelative;
            putOffset(patch, from, relative);
            relative = from + length;
            taken = length;
        } else {
            action = false;   // the byte joins the pending TargetRead
        }
        if (action)
            pendingFrom = at + taken;
        for (; added < at + taken; ++added)
            inTarget.add(added);
        at += taken;
    }
    flushPending(at);

    putLittleEndian(patch, crc32Of(source));
    putLittleEndian(patch, crc32Of(target));
    putLittleEndian(patch, crc32Of(patch));
    return patch;
}

namespace {

std::string atByte(std::size_t at) { return "at byte " + groupedNumber(at); }

[[noreturn]] void refuse(const std::string &message) { throw RuntimeError(message); }

// Reads a patch's numbers and bytes up to `end` (its checksums), each read
// checked against it.
class BpsReader {
public:
    BpsReader(std::string_view patch, std::size_t end) : mPatch(patch), mEnd(end) {}

    std::size_t pos() const { return mPos; }
    bool done() const { return mPos >= mEnd; }
    void skip(std::size_t n) { mPos += n; }
    std::size_t left() const { return mEnd - mPos; }

    std::uint64_t number()
    {
        const std::size_t start = mPos;
        std::uint64_t data = 0, shift = 1;
        // Eight bytes give numbers up to 2^56 and more, past any size an
        // image may have, and cannot overflow.
        for (int bytes = 0;; ++bytes) {
            if (bytes == 8)
                refuse("The patch's number " + atByte(start) + " is too large.");
            if (mPos >= mEnd)
                refuse("The patch is cut short: its number " + atByte(start) + " runs into its checksums.");
            const auto x = static_cast<std::uint8_t>(mPatch[mPos++]);
            data += (x & 0x7F) * shift;
            if (x & 0x80)
                return data;
            shift <<= 7;
            data += shift;
        }
    }

    std::string_view bytes(std::size_t n)
    {
        const std::string_view v = mPatch.substr(mPos, n);
        mPos += n;
        return v;
    }

private:
    std::string_view mPatch;
    std::size_t mEnd;
    std::size_t mPos = Magic.size();
};

std::uint32_t littleEndianAt(std::string_view s, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(s[at + static_cast<std::size_t>(i)]);
    return v;
}

// A copy's new offset: `relative` moved by the signed number `offset`;
// -1 when it would lie before the start.
std::int64_t movedBy(std::size_t relative, std::uint64_t offset)
{
    const auto size = static_cast<std::int64_t>(offset >> 1);
    return static_cast<std::int64_t>(relative) + ((offset & 1) ? -size : size);
}

} // namespace

std::string applyBps(std::string_view source, std::string_view patch, const std::string &sourceName)
{
    if (!patch.starts_with(Magic))
        refuse("This is not a BPS patch (it does not begin with \"BPS1\").");
    if (patch.size() < Magic.size() + 3 + FooterSize)
        refuse("The patch is cut short (" + groupedNumber(patch.size()) + " bytes).");
    const std::size_t end = patch.size() - FooterSize;
    if (crc32Of(patch.substr(0, patch.size() - 4)) != littleEndianAt(patch, patch.size() - 4))
        refuse("The patch is damaged (its checksum does not match).");

    BpsReader in(patch, end);
    const std::uint64_t sourceSize = in.number();
    const std::uint64_t targetSize = in.number();
    const std::size_t metadataAt = in.pos();
    const std::uint64_t metadataSize = in.number();
    if (metadataSize > in.left())
        refuse("The patch's metadata " + atByte(metadataAt) + " runs into its checksums.");
    in.skip(static_cast<std::size_t>(metadataSize));

    const std::uint32_t expected = littleEndianAt(patch, end);
    const std::uint32_t has = crc32Of(source);
    if (has != expected)
        refuse("This patch is for another image: it expects CRC32 " + crc32Hex(expected, true) + ", and " +
               sourceName + " has " + crc32Hex(has, true) + ".");
    if (sourceSize != source.size())
        refuse("This patch is for another image: it expects " + groupedNumber(sourceSize) + " bytes, and " +
               sourceName + " has " + groupedNumber(source.size()) + ".");
    if (targetSize > MaxWholeFileSize)
        refuse("The patch makes an image of " + groupedNumber(targetSize) + " bytes, more than the " +
               groupedNumber(MaxWholeFileSize) + " an image may have.");

    std::string target(static_cast<std::size_t>(targetSize), '\0');
    std::size_t written = 0, sourceRelative = 0, targetRelative = 0;
    while (!in.done()) {
        const std::string what = "The patch's action " + atByte(in.pos());
        const std::uint64_t action = in.number();
        const std::uint64_t length = (action >> 2) + 1;
        if (length > target.size() - written)
            refuse(what + " writes past the end of the target.");
        const auto n = static_cast<std::size_t>(length);
        switch (action & 3) {
        case SourceRead:
            if (written + n > source.size())
                refuse(what + " reads past the end of the source.");
            source.substr(written, n).copy(target.data() + written, n);
            break;
        case TargetRead:
            if (n > in.left())
                refuse(what + " reads past the end of the patch's actions.");
            in.bytes(n).copy(target.data() + written, n);
            break;
        case SourceCopy: {
            const std::int64_t from = movedBy(sourceRelative, in.number());
            if (from < 0)
                refuse(what + " copies from before the start of the source.");
            if (static_cast<std::uint64_t>(from) + n > source.size())
                refuse(what + " reads past the end of the source.");
            source.substr(static_cast<std::size_t>(from), n).copy(target.data() + written, n);
            sourceRelative = static_cast<std::size_t>(from) + n;
            break;
        }
        default: {
            const std::int64_t from = movedBy(targetRelative, in.number());
            if (from < 0)
                refuse(what + " copies from before the start of the target.");
            if (static_cast<std::uint64_t>(from) >= written)
                refuse(what + " copies from the part of the target not yet written.");
            // Byte by byte: a copy may repeat the bytes it has just written.
            for (std::size_t i = 0; i < n; ++i)
                target[written + i] = target[static_cast<std::size_t>(from) + i];
            targetRelative = static_cast<std::size_t>(from) + n;
            break;
        }
        }
        written += n;
    }
    if (written != target.size())
        refuse("The patch is cut short: its actions end after " + groupedNumber(written) + " of the target's " +
               groupedNumber(target.size()) + " bytes.");
    if (crc32Of(target) != littleEndianAt(patch, end + 4))
        refuse("The patch is damaged (the result's checksum does not match).");
    return target;
}

} // namespace wmb
