// Ordered-dither row kernels for baseline x86-64 (SSE2), 32 pixels a block.
//
// The level of a pixel is ColorTbl[v] = (v + 1) >> 2 with v its ink amount, so
// "threshold t below the level" becomes a comparison of the pixel itself:
// monochrome, with S = 2 b + 5 r + 9 g and v = 255 - (S >> 4), the level is
// (4111 - S) >> 6 and t < level exactly when S < 4048 - 64 t; colour, with v =
// 255 - c for the colour byte c, t < level exactly when c <= 252 - 4 t.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels.h"
#include "pixels_sse2.h"
#include "rowblocks.h"

namespace planes::sse2 {
namespace {

// Mask of 16 pixels (bit i for pixel i) where S < aT[i % 16].
inline unsigned MonoMask16(__m128i b, __m128i g, __m128i r, const __m128i aT[2])
{
    const __m128i lo = _mm_cmpgt_epi16(aT[0], Lightness16<false>(b, g, r));
    const __m128i hi = _mm_cmpgt_epi16(aT[1], Lightness16<true>(b, g, r));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(lo, hi)));
}

// Mask of 16 pixels where c <= aT[i % 16].
inline unsigned ColourMask16(__m128i c, __m128i t)
{
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(c, t), c)));
}

inline std::uint32_t PlaneOrder32(unsigned lo, unsigned hi) { return PlaneOrder16(lo) | PlaneOrder16(hi) << 16; }

}  // namespace

void DitherMono(const BYTE* pSrc, LONG w, const BYTE aThr[16], BYTE* pOut)
{
    alignas(16) std::int16_t aLimit[16];
    for (int i = 0; i < 16; ++i) aLimit[i] = static_cast<std::int16_t>(4048 - 64 * aThr[i]);
    const __m128i aT[2] = {_mm_load_si128(reinterpret_cast<const __m128i*>(aLimit)),
                           _mm_load_si128(reinterpret_cast<const __m128i*>(aLimit + 8))};
    ForBlocks<32, 96>(pSrc, w, [&](const BYTE* p, std::ptrdiff_t x, std::ptrdiff_t n) {
        const Channels32 c = Deinterleave32(p);
        const unsigned lo = MonoMask16(c.b[0], c.g[0], c.r[0], aT);
        const unsigned hi = MonoMask16(c.b[1], c.g[1], c.r[1], aT);
        OrBits(pOut + x / 8, PlaneOrder32(lo, hi), n);
    });
}

void DitherColour(const BYTE* pSrc, LONG w, const BYTE aThr[16], BYTE* pMagenta, BYTE* pCyan, BYTE* pYellow)
{
    alignas(16) BYTE aLimit[16];
    for (int i = 0; i < 16; ++i) aLimit[i] = static_cast<BYTE>(252 - 4 * aThr[i]);
    const __m128i t = _mm_load_si128(reinterpret_cast<const __m128i*>(aLimit));
    ForBlocks<32, 96>(pSrc, w, [&](const BYTE* p, std::ptrdiff_t x, std::ptrdiff_t n) {
        const Channels32 c = Deinterleave32(p);
        OrBits(pMagenta + x / 8, PlaneOrder32(ColourMask16(c.g[0], t), ColourMask16(c.g[1], t)), n);
        OrBits(pCyan + x / 8, PlaneOrder32(ColourMask16(c.r[0], t), ColourMask16(c.r[1], t)), n);
        OrBits(pYellow + x / 8, PlaneOrder32(ColourMask16(c.b[0], t), ColourMask16(c.b[1], t)), n);
    });
}

void DitherLevels(const LONG* pLevel, LONG w, const BYTE aThr[16], BYTE* pOut)
{
    // level > t as bytes: levels saturate to 0..255, which keeps every
    // comparison with a threshold of 0..63.
    alignas(16) BYTE aAbove[16];
    for (int i = 0; i < 16; ++i) aAbove[i] = static_cast<BYTE>(aThr[i] + 1);
    const __m128i t = _mm_load_si128(reinterpret_cast<const __m128i*>(aAbove));
    LONG x = 0;
    for (; x + 16 <= w; x += 16) {
        const __m128i* q = reinterpret_cast<const __m128i*>(pLevel + x);
        const __m128i lo = _mm_packs_epi32(_mm_loadu_si128(q), _mm_loadu_si128(q + 1));
        const __m128i hi = _mm_packs_epi32(_mm_loadu_si128(q + 2), _mm_loadu_si128(q + 3));
        const __m128i v = _mm_packus_epi16(lo, hi);
        const unsigned m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(v, t), v)));
        OrBits(pOut + x / 8, PlaneOrder16(m), 16);
    }
    for (; x < w; ++x)
        if (aThr[x & 15] < pLevel[x]) pOut[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
}

}  // namespace planes::sse2
