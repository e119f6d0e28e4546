// Placement of a picture on the page: one to one when its size is near the
// page's (centred, cropped or padded with white), otherwise scaled to fit with its
// aspect kept and centred, with a filter for its content: whole-pixel replication
// or nearest neighbour for line art, so edges stay sharp; area averaging for
// pictures with tones.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include "raster/raster.h"

namespace platform {
namespace {

// Signed offset that centres `inner` in `outer`; the odd dot goes to the right or bottom.
long Centre(std::uint32_t inner, std::uint32_t outer)
{
    const long d = static_cast<long>(outer) - static_cast<long>(inner);
    return d >= 0 ? d / 2 : -((-d) / 2);
}

// For each output index, the source span it covers and the weight of each source
// pixel in it (the overlap of the two intervals), normalised to sum 1.
struct Taps {
    std::vector<std::uint32_t> first, count;
    std::vector<std::size_t> offset;
    std::vector<float> weights;
};

Taps AreaTaps(std::uint32_t cSrc, std::uint32_t cDst)
{
    Taps t;
    t.first.resize(cDst);
    t.count.resize(cDst);
    t.offset.resize(cDst);
    const double scale = static_cast<double>(cSrc) / cDst;  // source pixels per output pixel
    for (std::uint32_t o = 0; o < cDst; ++o) {
        const double lo = o * scale, hi = std::min<double>((o + 1) * scale, cSrc);
        std::uint32_t i = std::min<std::uint32_t>(static_cast<std::uint32_t>(lo), cSrc - 1);
        t.first[o] = i;
        t.offset[o] = t.weights.size();
        std::uint32_t n = 0;
        for (; i < cSrc && i < hi; ++i, ++n) {
            const double w = std::min<double>(i + 1, hi) - std::max<double>(i, lo);
            t.weights.push_back(static_cast<float>(std::max(w, 0.0) / (hi - lo)));
        }
        if (n == 0) {
            t.weights.push_back(1.0f);
            n = 1;
        }
        t.count[o] = n;
    }
    return t;
}

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f)); }

void ScaleArea(const BgrImage& src, BgrImage& dst)
{
    const Taps tx = AreaTaps(src.width, dst.width);
    const Taps ty = AreaTaps(src.height, dst.height);
    const std::size_t cMid = static_cast<std::size_t>(dst.width) * 3;
    std::vector<float> row(cMid), acc(cMid);
    for (std::uint32_t o = 0; o < dst.height; ++o) {
        std::fill(acc.begin(), acc.end(), 0.0f);
        for (std::uint32_t k = 0; k < ty.count[o]; ++k) {
            const float wy = ty.weights[ty.offset[o] + k];
            const std::uint8_t* line = src.bgr.data() + (ty.first[o] + k) * src.Stride();
            for (std::uint32_t x = 0; x < dst.width; ++x) {
                float b = 0, g = 0, r = 0;
                const float* w = tx.weights.data() + tx.offset[x];
                const std::uint8_t* p = line + static_cast<std::size_t>(tx.first[x]) * 3;
                for (std::uint32_t j = 0; j < tx.count[x]; ++j, p += 3) {
                    b += w[j] * p[0];
                    g += w[j] * p[1];
                    r += w[j] * p[2];
                }
                acc[x * 3] += wy * b;
                acc[x * 3 + 1] += wy * g;
                acc[x * 3 + 2] += wy * r;
            }
        }
        std::uint8_t* out = dst.bgr.data() + o * dst.Stride();
        for (std::size_t i = 0; i < cMid; ++i) out[i] = ToByte(acc[i]);
    }
}

// Nearest neighbour: each output pixel takes the source pixel under its centre,
// so a whole factor replicates pixels and every edge stays a single step.
void ScaleNearest(const BgrImage& src, BgrImage& dst)
{
    std::vector<std::uint32_t> xs(dst.width);
    for (std::uint32_t x = 0; x < dst.width; ++x)
        xs[x] = std::min<std::uint32_t>(
            static_cast<std::uint32_t>((static_cast<std::uint64_t>(x) * 2 + 1) * src.width / (2ull * dst.width)),
            src.width - 1);
    for (std::uint32_t y = 0; y < dst.height; ++y) {
        const std::uint32_t sy = std::min<std::uint32_t>(
            static_cast<std::uint32_t>((static_cast<std::uint64_t>(y) * 2 + 1) * src.height / (2ull * dst.height)),
            src.height - 1);
        std::uint8_t* out = dst.bgr.data() + y * dst.Stride();
        if (y > 0) {
            const std::uint32_t syPrev = std::min<std::uint32_t>(
                static_cast<std::uint32_t>((static_cast<std::uint64_t>(y) * 2 - 1) * src.height / (2ull * dst.height)),
                src.height - 1);
            if (syPrev == sy) {
                std::copy_n(out - dst.Stride(), dst.Stride(), out);
                continue;
            }
        }
        const std::uint8_t* line = src.bgr.data() + sy * src.Stride();
        for (std::uint32_t x = 0; x < dst.width; ++x) std::copy_n(line + xs[x] * 3, 3, out + x * 3);
    }
}

const char* FilterName(ScaleFilter f)
{
    switch (f) {
    case ScaleFilter::Replicate: return "pixel replication";
    case ScaleFilter::Nearest: return "nearest neighbour";
    case ScaleFilter::Area: return "area averaging";
    case ScaleFilter::Rendered: return "the page rendered at that size";
    case ScaleFilter::None: break;
    }
    return "none";
}

}  // namespace

bool NearSize(std::uint32_t pixels, std::uint32_t dots)
{
    const std::uint64_t d = pixels > dots ? pixels - dots : dots - pixels;
    return d <= 2 && d * 100 <= dots;
}

bool IsBilevel(const BgrImage& picture)
{
    const std::uint8_t* p = picture.bgr.data();
    const std::size_t n = picture.bgr.size();
    // Each byte is 0 or 255, and the three of a pixel agree.
    std::size_t i = 0;
    for (; i + 3 <= n; i += 3) {
        const std::uint8_t b = p[i];
        if ((b != 0 && b != 255) || p[i + 1] != b || p[i + 2] != b) return false;
    }
    return true;
}

void ThresholdToBilevel(BgrImage& picture)
{
    std::uint8_t* p = picture.bgr.data();
    const std::size_t n = picture.bgr.size() / 3 * 3;
    for (std::size_t i = 0; i < n; i += 3) {
        // Luminance with the Rec. 601 weights, in thousandths. The middle grey 128
        // (0x808080, what "50 % grey" gives) counts as dark, so it prints solid.
        const unsigned y = 114u * p[i] + 587u * p[i + 1] + 299u * p[i + 2];
        p[i] = p[i + 1] = p[i + 2] = y > 128u * 1000u ? 255 : 0;
    }
}

Placement PlanPlacement(std::uint32_t cxPicture, std::uint32_t cyPicture, std::uint32_t cx, std::uint32_t cy,
                        bool bilevel, ScaleMode mode)
{
    Placement p;
    p.cxPicture = cxPicture;
    p.cyPicture = cyPicture;
    p.cx = cx;
    p.cy = cy;
    if (cxPicture == 0 || cyPicture == 0 || cx == 0 || cy == 0) return p;
    if (NearSize(cxPicture, cx) && NearSize(cyPicture, cy)) {
        p.cxPlaced = cxPicture;
        p.cyPlaced = cyPicture;
        p.x0 = Centre(cxPicture, cx);
        p.y0 = Centre(cyPicture, cy);
        return p;
    }
    const bool sharp = mode == ScaleMode::Sharp || (mode == ScaleMode::Auto && bilevel);
    const double s = std::min(static_cast<double>(cx) / cxPicture, static_cast<double>(cy) / cyPicture);
    // A whole factor that brings the picture near the page's size in both sides
    // (the one-to-one rule applied to the scaled size) replicates pixels exactly.
    const double k = std::round(s);
    if (sharp && k >= 1 && k <= 65535) {
        const std::uint64_t kx = static_cast<std::uint64_t>(k) * cxPicture;
        const std::uint64_t ky = static_cast<std::uint64_t>(k) * cyPicture;
        auto fits = [](std::uint64_t placed, std::uint32_t page) {
            return placed <= page || (placed <= page + 2ull && NearSize(static_cast<std::uint32_t>(placed), page));
        };
        auto near = [](std::uint64_t placed, std::uint32_t page) {
            return placed <= page + 2ull && NearSize(static_cast<std::uint32_t>(placed), page);
        };
        const bool whole = std::fabs(s - k) < 1e-9 || near(kx, cx) || near(ky, cy);
        if (whole && fits(kx, cx) && fits(ky, cy)) {
            p.filter = k == 1 ? ScaleFilter::None : ScaleFilter::Replicate;
            p.factor = k;
            p.cxPlaced = static_cast<std::uint32_t>(kx);
            p.cyPlaced = static_cast<std::uint32_t>(ky);
            p.x0 = Centre(p.cxPlaced, cx);
            p.y0 = Centre(p.cyPlaced, cy);
            return p;
        }
    }
    p.filter = sharp ? ScaleFilter::Nearest : ScaleFilter::Area;
    p.factor = s;
    p.cxPlaced = std::clamp<std::uint32_t>(static_cast<std::uint32_t>(std::lround(cxPicture * s)), 1, cx);
    p.cyPlaced = std::clamp<std::uint32_t>(static_cast<std::uint32_t>(std::lround(cyPicture * s)), 1, cy);
    p.x0 = Centre(p.cxPlaced, cx);
    p.y0 = Centre(p.cyPlaced, cy);
    return p;
}

std::string DescribePlacement(const Placement& p)
{
    char line[256];
    int n = std::snprintf(line, sizeof line, "label %u x %u dots, picture %u x %u: ", p.cx, p.cy, p.cxPicture,
                          p.cyPicture);
    std::string s(line, static_cast<std::size_t>(std::max(n, 0)));
    if (p.filter == ScaleFilter::None && p.factor == 1.0) {
        if (p.cxPicture == p.cx && p.cyPicture == p.cy) return s + "one to one";
        s += "one to one";
    } else {
        std::snprintf(line, sizeof line, "scaled by %.4g with %s to %u x %u", p.factor, FilterName(p.filter),
                      p.cxPlaced, p.cyPlaced);
        s += line;
    }
    // What is cut off or left white, in dots per side.
    auto edge = [&](long offset, std::uint32_t placed, std::uint32_t page, const char* along) {
        const long rest = static_cast<long>(page) - offset - static_cast<long>(placed);
        auto say = [&](const char* what, long n) {
            std::snprintf(line, sizeof line, ", %s by %ld dot%s %s", what, n, n == 1 ? "" : "s", along);
            s += line;
        };
        if (offset < 0 || rest < 0) say("cropped", std::max(0L, -offset) + std::max(0L, -rest));
        if (offset > 0 || rest > 0) say("padded", std::max(0L, offset) + std::max(0L, rest));
    };
    edge(p.x0, p.cxPlaced, p.cx, "across");
    edge(p.y0, p.cyPlaced, p.cy, "down");
    return s;
}

PlacedPage PlacePicture(BgrImage picture, std::uint32_t cx, std::uint32_t cy, const PageOptions& options)
{
    PlacedPage page;
    if (!picture.Whole()) picture = {};
    if (options.lineArt) ThresholdToBilevel(picture);
    // Whether the picture is line art matters only when it is scaled.
    const bool scaled = !(NearSize(picture.width, cx) && NearSize(picture.height, cy));
    const bool bilevel = scaled && options.scale == ScaleMode::Auto && IsBilevel(picture);
    page.placement = PlanPlacement(picture.width, picture.height, cx, cy, bilevel, options.scale);
    const Placement& p = page.placement;
    if (p.cxPlaced == picture.width && p.cyPlaced == picture.height) {
        page.pixels = std::move(picture);
        return page;
    }
    if (p.cxPlaced == 0 || p.cyPlaced == 0) return page;
    page.pixels.width = p.cxPlaced;
    page.pixels.height = p.cyPlaced;
    page.pixels.bgr.resize(page.pixels.Stride() * p.cyPlaced);
    if (p.filter == ScaleFilter::Area) {
        ScaleArea(picture, page.pixels);
        // Averaging makes greys at the edges; line art stays black and white.
        if (options.lineArt) ThresholdToBilevel(page.pixels);
    } else {
        ScaleNearest(picture, page.pixels);
    }
    return page;
}

BgrImage PlaceOnPage(BgrImage picture, std::uint32_t cx, std::uint32_t cy, const PageOptions& options)
{
    const PlacedPage placed = PlacePicture(std::move(picture), cx, cy, options);
    BgrImage page;
    page.width = cx;
    page.height = cy;
    page.bgr.assign(page.Stride() * cy, 0xFF);
    const BgrImage& src = placed.pixels;
    const long x0 = placed.placement.x0, y0 = placed.placement.y0;
    const long xa = std::max(0L, x0), xb = std::min<long>(cx, x0 + static_cast<long>(src.width));
    const long ya = std::max(0L, y0), yb = std::min<long>(cy, y0 + static_cast<long>(src.height));
    for (long y = ya; y < yb && xa < xb; ++y)
        std::copy_n(src.bgr.data() + (y - y0) * src.Stride() + (xa - x0) * 3, (xb - xa) * 3,
                    page.bgr.data() + y * page.Stride() + xa * 3);
    return page;
}

}  // namespace platform
