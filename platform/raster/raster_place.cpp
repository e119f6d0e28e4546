// Placement of a picture on the page: one to one when the sizes agree, otherwise
// scaled to fit (aspect kept) with a triangle filter whose support widens when
// shrinking, so that fine detail averages instead of aliasing; centred on white.
#include <algorithm>
#include <cmath>

#include "raster/raster.h"

namespace platform {
namespace {

struct Taps {
    std::vector<std::uint32_t> first;  // first source index per output index
    std::vector<std::uint32_t> count;
    std::vector<float> weights;        // count[o] weights per output index, concatenated
    std::vector<std::size_t> offset;
};

Taps MakeTaps(std::uint32_t cSrc, std::uint32_t cDst)
{
    Taps t;
    const double scale = static_cast<double>(cSrc) / cDst;
    const double radius = std::max(1.0, scale);
    t.first.resize(cDst);
    t.count.resize(cDst);
    t.offset.resize(cDst);
    for (std::uint32_t o = 0; o < cDst; ++o) {
        const double centre = (o + 0.5) * scale - 0.5;
        const long lo = std::max(0L, static_cast<long>(std::floor(centre - radius)) + 1);
        const long hi = std::min(static_cast<long>(cSrc) - 1, static_cast<long>(std::floor(centre + radius)));
        t.offset[o] = t.weights.size();
        double sum = 0;
        std::vector<double> w;
        for (long i = lo; i <= hi; ++i) {
            const double v = std::max(0.0, 1.0 - std::fabs(i - centre) / radius);
            w.push_back(v);
            sum += v;
        }
        if (w.empty() || sum <= 0) {  // centre outside the source: take the nearest edge pixel
            const long i = std::clamp(static_cast<long>(std::lround(centre)), 0L, static_cast<long>(cSrc) - 1);
            t.first[o] = static_cast<std::uint32_t>(i);
            t.count[o] = 1;
            t.weights.push_back(1.0f);
            continue;
        }
        t.first[o] = static_cast<std::uint32_t>(lo);
        t.count[o] = static_cast<std::uint32_t>(w.size());
        for (double v : w) t.weights.push_back(static_cast<float>(v / sum));
    }
    return t;
}

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f)); }

}  // namespace

BgrImage PlaceOnPage(BgrImage picture, std::uint32_t cx, std::uint32_t cy)
{
    if (picture.width == cx && picture.height == cy && picture.bgr.size() == picture.Stride() * cy) return picture;

    BgrImage page;
    page.width = cx;
    page.height = cy;
    page.bgr.assign(page.Stride() * cy, 0xFF);
    if (cx == 0 || cy == 0 || picture.width == 0 || picture.height == 0 ||
        picture.bgr.size() != picture.Stride() * picture.height)
        return page;

    // Fit: the larger scale at which both sides fit on the page.
    const double s = std::min(static_cast<double>(cx) / picture.width, static_cast<double>(cy) / picture.height);
    const std::uint32_t dw = std::clamp<std::uint32_t>(static_cast<std::uint32_t>(std::lround(picture.width * s)), 1, cx);
    const std::uint32_t dh = std::clamp<std::uint32_t>(static_cast<std::uint32_t>(std::lround(picture.height * s)), 1, cy);
    const std::uint32_t x0 = (cx - dw) / 2;
    const std::uint32_t y0 = (cy - dh) / 2;

    // Horizontal pass into dw x picture.height, then vertical pass onto the page.
    const Taps tx = MakeTaps(picture.width, dw);
    const Taps ty = MakeTaps(picture.height, dh);
    std::vector<float> mid(static_cast<std::size_t>(dw) * 3 * picture.height);
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        const std::uint8_t* row = picture.bgr.data() + y * picture.Stride();
        float* m = mid.data() + static_cast<std::size_t>(y) * dw * 3;
        for (std::uint32_t o = 0; o < dw; ++o) {
            float b = 0, g = 0, r = 0;
            const float* w = tx.weights.data() + tx.offset[o];
            const std::uint8_t* p = row + static_cast<std::size_t>(tx.first[o]) * 3;
            for (std::uint32_t k = 0; k < tx.count[o]; ++k, p += 3) {
                b += w[k] * p[0];
                g += w[k] * p[1];
                r += w[k] * p[2];
            }
            m[o * 3] = b;
            m[o * 3 + 1] = g;
            m[o * 3 + 2] = r;
        }
    }
    for (std::uint32_t o = 0; o < dh; ++o) {
        std::uint8_t* dst = page.bgr.data() + (y0 + o) * page.Stride() + static_cast<std::size_t>(x0) * 3;
        const float* w = ty.weights.data() + ty.offset[o];
        for (std::uint32_t i = 0; i < dw * 3; ++i) {
            float v = 0;
            const float* m = mid.data() + static_cast<std::size_t>(ty.first[o]) * dw * 3 + i;
            for (std::uint32_t k = 0; k < ty.count[o]; ++k, m += static_cast<std::size_t>(dw) * 3) v += w[k] * *m;
            dst[i] = ToByte(v);
        }
    }
    return page;
}

}  // namespace platform
