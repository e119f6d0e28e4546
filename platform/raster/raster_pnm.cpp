// PNM pictures: P4 (bitmap), P5 (grey) and P6 (colour), binary forms only.
#include <cerrno>
#include <cstring>
#include <new>

#include "raster/raster.h"
#include "raster_file.h"

namespace platform {
namespace {

// Headers (with their comments) longer than this are refused.
constexpr std::size_t kMaxPnmHeaderBytes = 64 * 1024;

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

// The header of a binary PNM picture: its kind, size, maxval and where the samples start.
struct PnmHeader {
    char kind = 0;
    std::uint32_t width = 0, height = 0, maxval = 1;
    std::size_t dataAt = 0;
    std::uint64_t cbSample = 1, cbRow = 0;
};

// With `samples`, the bytes must hold every sample the header announces.
bool ParseHeader(std::span<const std::uint8_t> bytes, PnmHeader& h, std::string& why, bool samples = true)
{
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '4' && bytes[1] != '5' && bytes[1] != '6')) {
        why = "not a binary PNM picture (P4, P5 or P6)";
        return false;
    }
    h.kind = static_cast<char>(bytes[1]);
    Cursor c{bytes, 2};
    if (!c.Number(1u << 24, h.width) || !c.Number(1u << 24, h.height) ||
        (h.kind != '4' && !c.Number(65535, h.maxval))) {
        why = "bad PNM header";
        return false;
    }
    if (static_cast<std::uint64_t>(h.width) * h.height > kMaxPicturePixels) {
        why = "picture too large";
        return false;
    }
    // Exactly one white-space byte separates the header from the samples.
    if (c.pos >= bytes.size() || !c.AtSpace()) {
        why = "bad PNM header";
        return false;
    }
    h.dataAt = c.pos + 1;
    h.cbSample = h.maxval > 255 ? 2 : 1;
    h.cbRow = h.kind == '4' ? (h.width + 7) / 8
                            : static_cast<std::uint64_t>(h.width) * h.cbSample * (h.kind == '6' ? 3 : 1);
    if (samples && bytes.size() - h.dataAt < h.cbRow * h.height) {
        why = "PNM picture data is cut short";
        return false;
    }
    return true;
}

// Each sample v of 0..maxval becomes (v * 255 + maxval / 2) / maxval, through a table.
void Decode(const PnmHeader& h, const std::uint8_t* src, BgrImage& out)
{
    const std::uint32_t width = h.width, height = h.height, maxval = h.maxval;
    std::uint8_t* dst = out.bgr.data();
    if (h.kind == '4') {
        for (std::uint32_t y = 0; y < height; ++y, src += h.cbRow)
            for (std::uint32_t x = 0; x < width; ++x, dst += 3) {
                const bool black = (src[x >> 3] >> (7 - (x & 7))) & 1;
                dst[0] = dst[1] = dst[2] = black ? 0 : 255;
            }
        return;
    }
    std::vector<std::uint8_t> table(h.cbSample == 2 ? 65536 : 256);
    for (std::uint32_t v = 0; v < table.size(); ++v) {
        const std::uint32_t clamped = v > maxval ? maxval : v;
        table[v] = static_cast<std::uint8_t>((clamped * 255 + maxval / 2) / maxval);
    }
    const std::uint8_t* t = table.data();
    const std::size_t n = static_cast<std::size_t>(width) * height;
    if (h.cbSample == 1 && h.kind == '5') {
        for (std::size_t i = 0; i < n; ++i, dst += 3) dst[0] = dst[1] = dst[2] = t[src[i]];
    } else if (h.cbSample == 1) {
        for (std::size_t i = 0; i < n; ++i, dst += 3, src += 3) {
            const std::uint8_t r = t[src[0]], g = t[src[1]], b = t[src[2]];
            dst[0] = b;
            dst[1] = g;
            dst[2] = r;
        }
    } else {
        auto s16 = [&](const std::uint8_t* p) { return t[static_cast<std::uint32_t>(p[0]) << 8 | p[1]]; };
        if (h.kind == '5') {
            for (std::size_t i = 0; i < n; ++i, dst += 3, src += 2) dst[0] = dst[1] = dst[2] = s16(src);
        } else {
            for (std::size_t i = 0; i < n; ++i, dst += 3, src += 6) {
                const std::uint8_t r = s16(src), g = s16(src + 2), b = s16(src + 4);
                dst[0] = b;
                dst[1] = g;
                dst[2] = r;
            }
        }
    }
}

}  // namespace

bool ReadPnmBytes(std::span<const std::uint8_t> bytes, BgrImage& out, std::string& why)
{
    PnmHeader h;
    if (!ParseHeader(bytes, h, why)) return false;
    try {
        out.bgr.resize(static_cast<std::size_t>(h.width) * h.height * 3);
    } catch (const std::bad_alloc&) {
        why = "out of memory";
        return false;
    }
    out.width = h.width;
    out.height = h.height;
    Decode(h, bytes.data() + h.dataAt, out);
    return true;
}

bool ReadPnm(const std::string& path, BgrImage& out, std::string& why)
{
    // The file is read into the picture's own storage; colour samples of maxval 255
    // are then turned into blue, green, red in place (each pixel moves down by the
    // header's length, never over bytes still to be read). No more is read than
    // the header announces, so a huge file with a small header costs little.
    PnmHeader h;
    PageFile file;
    out = {};
    if (!file.Open(path, why) || !file.ReadTo(out.bgr, kMaxPnmHeaderBytes, why)) return false;
    if (!ParseHeader(out.bgr, h, why, false)) {
        if (why == "bad PNM header" && out.bgr.size() == kMaxPnmHeaderBytes) why = "PNM header too long";
        out = {};
        return false;
    }
    const std::uint64_t cbFile = h.dataAt + h.cbRow * h.height;  // bounded by kMaxPicturePixels
    if (cbFile > out.bgr.size()) {
        if (!file.ReadTo(out.bgr, static_cast<std::size_t>(cbFile), why)) return false;
    } else {
        out.bgr.resize(static_cast<std::size_t>(cbFile));
    }
    if (!ParseHeader(out.bgr, h, why)) {
        out = {};
        return false;
    }
    const std::size_t cbPicture = static_cast<std::size_t>(h.width) * h.height * 3;
    if (h.kind == '6' && h.maxval == 255) {
        std::uint8_t* p = out.bgr.data();
        const std::uint8_t* src = p + h.dataAt;
        for (std::size_t i = 0; i < cbPicture; i += 3) {
            const std::uint8_t r = src[i], g = src[i + 1], b = src[i + 2];
            p[i] = b;
            p[i + 1] = g;
            p[i + 2] = r;
        }
        out.bgr.resize(cbPicture);
        out.width = h.width;
        out.height = h.height;
        return true;
    }
    const PixelBytes bytes = std::move(out.bgr);
    out = {};
    return ReadPnmBytes(bytes, out, why);
}

}  // namespace platform
