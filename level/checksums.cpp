#include "checksums.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace wmb {

namespace {

constexpr std::uint32_t rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

std::array<std::uint32_t, 256> makeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

// The message padded to whole 64-byte blocks: 0x80, zeros, and the length
// in bits as eight bytes (little-endian for MD5, big-endian for SHA-1).
std::string padded(std::string_view bytes, bool bigEndian)
{
    std::string out(bytes);
    out.push_back(static_cast<char>(0x80));
    while (out.size() % 64 != 56)
        out.push_back('\0');
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<char>((bits >> (8 * (bigEndian ? 7 - i : i))) & 0xFF));
    return out;
}

std::uint32_t wordAt(std::string_view block, std::size_t i, bool bigEndian)
{
    std::uint32_t w = 0;
    for (int k = 0; k < 4; ++k) {
        const auto byte = static_cast<std::uint8_t>(block[4 * i + static_cast<std::size_t>(bigEndian ? k : 3 - k)]);
        w = (w << 8) | byte;
    }
    return w;
}

std::string hexOfWords(const std::uint32_t *words, int count, bool bigEndian)
{
    std::string out;
    char buf[3];
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < 4; ++k) {
            const int shift = 8 * (bigEndian ? 3 - k : k);
            std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned>((words[i] >> shift) & 0xFF));
            out += buf;
        }
    return out;
}

} // namespace

std::uint32_t crc32Of(std::string_view bytes)
{
    static const std::array<std::uint32_t, 256> table = makeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char ch : bytes)
        c = table[(c ^ static_cast<std::uint8_t>(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string crc32Hex(std::uint32_t crc, bool upper)
{
    char buf[9];
    std::snprintf(buf, sizeof buf, upper ? "%08X" : "%08x", static_cast<unsigned>(crc));
    return buf;
}

std::string md5Hex(std::string_view bytes)
{
    static constexpr int Shifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
    static const std::array<std::uint32_t, 64> K = [] {
        std::array<std::uint32_t, 64> k{};
        for (int i = 0; i < 64; ++i)
            k[static_cast<std::size_t>(i)] =
                static_cast<std::uint32_t>(std::floor(std::fabs(std::sin(i + 1.0)) * 4294967296.0));
        return k;
    }();
    std::uint32_t h[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
    const std::string message = padded(bytes, false);
    for (std::size_t at = 0; at < message.size(); at += 64) {
        const std::string_view block = std::string_view(message).substr(at, 64);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (int i = 0; i < 64; ++i) {
            std::uint32_t f;
            int g;
            if (i < 16) {
                f = (b & c) | (~b & d);
                g = i;
            } else if (i < 32) {
                f = (d & b) | (~d & c);
                g = (5 * i + 1) % 16;
            } else if (i < 48) {
                f = b ^ c ^ d;
                g = (3 * i + 5) % 16;
            } else {
                f = c ^ (b | ~d);
                g = (7 * i) % 16;
            }
            f += a + K[static_cast<std::size_t>(i)] + wordAt(block, static_cast<std::size_t>(g), false);
            a = d;
            d = c;
            c = b;
            b += rotl(f, Shifts[i / 16][i % 4]);
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
    }
    return hexOfWords(h, 4, false);
}

std::string sha1Hex(std::string_view bytes)
{
    std::uint32_t h[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
    const std::string message = padded(bytes, true);
    std::array<std::uint32_t, 80> w{};
    for (std::size_t at = 0; at < message.size(); at += 64) {
        const std::string_view block = std::string_view(message).substr(at, 64);
        for (std::size_t i = 0; i < 16; ++i)
            w[i] = wordAt(block, i, true);
        for (std::size_t i = 16; i < 80; ++i)
            w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (std::size_t i = 0; i < 80; ++i) {
            std::uint32_t f, k;
            if (i < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999u;
            } else if (i < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1u;
            } else if (i < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDCu;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6u;
            }
            const std::uint32_t t = rotl(a, 5) + f + e + k + w[i];
            e = d;
            d = c;
            c = rotl(b, 30);
            b = a;
            a = t;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
    }
    return hexOfWords(h, 5, true);
}

std::string groupedNumber(std::uint64_t n)
{
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

} // namespace wmb
