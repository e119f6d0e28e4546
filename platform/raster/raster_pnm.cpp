// PNM pictures: P4 (bitmap), P5 (grey) and P6 (colour), binary forms only.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "raster/raster.h"

namespace platform {
namespace {

struct Cursor {
    std::span<const std::uint8_t> bytes;
    std::size_t pos = 0;

    bool AtSpace() const
    {
        const std::uint8_t c = bytes[pos];
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
    // Skips white space and comments (from # to the end of the line).
    void SkipSpace()
    {
        while (pos < bytes.size()) {
            if (bytes[pos] == '#') {
                while (pos < bytes.size() && bytes[pos] != '\n' && bytes[pos] != '\r') ++pos;
            } else if (AtSpace()) {
                ++pos;
            } else {
                break;
            }
        }
    }
    // A decimal header number in 1..limit.
    bool Number(std::uint32_t limit, std::uint32_t& value)
    {
        SkipSpace();
        std::uint64_t v = 0;
        const std::size_t start = pos;
        while (pos < bytes.size() && bytes[pos] >= '0' && bytes[pos] <= '9') {
            v = v * 10 + (bytes[pos] - '0');
            if (v > limit) return false;
            ++pos;
        }
        if (pos == start || v == 0) return false;
        value = static_cast<std::uint32_t>(v);
        return true;
    }
};

}  // namespace

bool ReadPnmBytes(std::span<const std::uint8_t> bytes, BgrImage& out, std::string& why)
{
    out = {};
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '4' && bytes[1] != '5' && bytes[1] != '6')) {
        why = "not a binary PNM picture (P4, P5 or P6)";
        return false;
    }
    const char kind = static_cast<char>(bytes[1]);
    Cursor c{bytes, 2};
    std::uint32_t width = 0, height = 0, maxval = 1;
    if (!c.Number(1u << 24, width) || !c.Number(1u << 24, height) ||
        (kind != '4' && !c.Number(65535, maxval))) {
        why = "bad PNM header";
        return false;
    }
    if (static_cast<std::uint64_t>(width) * height > kMaxPicturePixels) {
        why = "picture too large";
        return false;
    }
    // Exactly one white-space byte separates the header from the samples.
    if (c.pos >= bytes.size() || !c.AtSpace()) {
        why = "bad PNM header";
        return false;
    }
    ++c.pos;

    const std::uint64_t cbSample = maxval > 255 ? 2 : 1;
    const std::uint64_t cbRow = kind == '4' ? (width + 7) / 8 : static_cast<std::uint64_t>(width) * cbSample * (kind == '6' ? 3 : 1);
    if (bytes.size() - c.pos < cbRow * height) {
        why = "PNM picture data is cut short";
        return false;
    }
    out.width = width;
    out.height = height;
    out.bgr.resize(static_cast<std::size_t>(width) * height * 3);
    const std::uint8_t* src = bytes.data() + c.pos;
    std::uint8_t* dst = out.bgr.data();
    auto sample = [&](const std::uint8_t* p) -> std::uint8_t {
        const std::uint32_t v = cbSample == 2 ? (static_cast<std::uint32_t>(p[0]) << 8 | p[1]) : p[0];
        const std::uint32_t clamped = v > maxval ? maxval : v;
        return static_cast<std::uint8_t>((clamped * 255 + maxval / 2) / maxval);
    };
    for (std::uint32_t y = 0; y < height; ++y, src += cbRow) {
        for (std::uint32_t x = 0; x < width; ++x, dst += 3) {
            if (kind == '4') {
                const bool black = (src[x >> 3] >> (7 - (x & 7))) & 1;
                dst[0] = dst[1] = dst[2] = black ? 0 : 255;
            } else if (kind == '5') {
                dst[0] = dst[1] = dst[2] = sample(src + x * cbSample);
            } else {
                const std::uint8_t* p = src + x * cbSample * 3;
                dst[2] = sample(p);
                dst[1] = sample(p + cbSample);
                dst[0] = sample(p + 2 * cbSample);
            }
        }
    }
    return true;
}

bool ReadPnm(const std::string& path, BgrImage& out, std::string& why)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = std::strerror(errno);
        return false;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        why = "read error";
        return false;
    }
    return ReadPnmBytes(bytes, out, why);
}

}  // namespace platform
