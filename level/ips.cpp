#include "ips.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "errors.h"

namespace wmb {

namespace {

constexpr std::string_view Header = "PATCH";
constexpr std::string_view Footer = "EOF";

std::string hexOffset(std::size_t v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%zX", v);
    return buf;
}

void putBigEndian(std::string &out, std::size_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::size_t getBigEndian(std::string_view in, std::size_t pos, int bytes)
{
    std::size_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | static_cast<std::uint8_t>(in[pos + static_cast<std::size_t>(i)]);
    return v;
}

// Reads a patch front to back; every read checks that the bytes are there.
class PatchReader {
public:
    explicit PatchReader(std::string_view patch) : mPatch(patch) {}

    std::size_t pos() const { return mPos; }
    std::size_t left() const { return mPatch.size() - mPos; }

    std::size_t number(int bytes, const char *what, std::size_t recordAt)
    {
        need(static_cast<std::size_t>(bytes), what, recordAt);
        const std::size_t v = getBigEndian(mPatch, mPos, bytes);
        mPos += static_cast<std::size_t>(bytes);
        return v;
    }

    std::string_view bytes(std::size_t n, const char *what, std::size_t recordAt)
    {
        need(n, what, recordAt);
        const std::string_view v = mPatch.substr(mPos, n);
        mPos += n;
        return v;
    }

    bool startsWith(std::string_view s) const { return mPatch.substr(mPos).starts_with(s); }
    void skip(std::size_t n) { mPos += n; }

private:
    void need(std::size_t n, const char *what, std::size_t recordAt) const
    {
        if (left() < n)
            throw RuntimeError("IPS patch is cut short: the " + std::string(what) +
                               " of the record at patch offset " + hexOffset(recordAt) +
                               " is missing (no \"EOF\" end marker)");
    }

    std::string_view mPatch;
    std::size_t mPos = 0;
};

// Writes `n` bytes at `offset` of `out`, growing it with zero bytes first
// when the record lies past its end.
char *placeRecord(std::string &out, std::size_t offset, std::size_t n)
{
    if (offset + n > out.size())
        out.resize(offset + n, '\0');
    return out.data() + offset;
}

} // namespace

std::string makeIps(std::string_view original, std::string_view edited)
{
    return makeIpsPatch(original, edited).bytes;
}

IpsPatch makeIpsPatch(std::string_view original, std::string_view edited)
{
    if (original.size() != edited.size())
        throw RuntimeError("the files differ in size (" + std::to_string(original.size()) +
                           " and " + std::to_string(edited.size()) +
                           " bytes); an IPS patch is made between files of equal size");
    if (original.size() > IpsMaxFileSize)
        throw RuntimeError("the files are " + std::to_string(original.size()) +
                           " bytes long; an IPS patch can describe files of at most 16 MiB (" +
                           std::to_string(IpsMaxFileSize) + " bytes)");

    IpsPatch result;
    std::string &patch = result.bytes;
    patch = Header;
    const std::size_t n = original.size();
    std::size_t pos = 0;
    while (pos < n) {
        if (original[pos] == edited[pos]) {
            ++pos;
            continue;
        }
        // A record at 0x454F46 would be read as the end marker; start one byte
        // earlier and carry that byte along (its edited value, unchanged or
        // already written by the record before).
        const std::size_t start = pos == IpsEofOffset ? pos - 1 : pos;
        std::size_t end = pos;
        while (end < n && end - start < IpsMaxRecordSize && original[end] != edited[end])
            ++end;
        result.changedBytes += end - pos;
        ++result.records;
        putBigEndian(patch, start, 3);
        putBigEndian(patch, end - start, 2);
        patch.append(edited.substr(start, end - start));
        pos = end;
    }
    patch.append(Footer);
    return result;
}

std::string applyIps(std::string_view rom, std::string_view patch)
{
    if (!patch.starts_with(Header))
        throw RuntimeError("not an IPS patch: it does not begin with \"PATCH\"");

    std::string out(rom);
    PatchReader in(patch);
    in.skip(Header.size());
    for (;;) {
        const std::size_t recordAt = in.pos();
        if (in.startsWith(Footer)) {
            in.skip(Footer.size());
            break;
        }
        if (in.left() == 0)
            throw RuntimeError("IPS patch is cut short: it has no \"EOF\" end marker");
        const std::size_t offset = in.number(3, "offset", recordAt);
        const std::size_t size = in.number(2, "size", recordAt);
        if (size != 0) {
            const std::string_view data = in.bytes(size, "data", recordAt);
            data.copy(placeRecord(out, offset, size), size);
            continue;
        }
        const std::size_t run = in.number(2, "run length", recordAt);
        const std::size_t value = in.number(1, "run value", recordAt);
        if (run == 0)
            throw RuntimeError("IPS patch is not valid: the run record at patch offset " +
                               hexOffset(recordAt) + " has length 0");
        char *at = placeRecord(out, offset, run);
        std::fill(at, at + run, static_cast<char>(value));
    }

    if (in.left() == 3) {
        const std::size_t cut = in.number(3, "truncation size", in.pos());
        if (cut > out.size())
            throw RuntimeError("IPS patch is not valid: its truncation size " + std::to_string(cut) +
                               " exceeds the patched file's " + std::to_string(out.size()) + " bytes");
        out.resize(cut);
    } else if (in.left() != 0) {
        throw RuntimeError("IPS patch is not valid: " + std::to_string(in.left()) +
                           " stray bytes follow its \"EOF\" end marker at patch offset " +
                           hexOffset(in.pos() - Footer.size()));
    }
    return out;
}

} // namespace wmb
