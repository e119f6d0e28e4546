// Ordered-dither row kernels for processors with AVX2, 32 pixels a block.
// The comparisons are those of the baseline kernels (dither_sse2.cpp): S <
// 4048 - 64 t for monochrome, c <= 252 - 4 t for a colour byte c.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels.h"
#include "pixels_avx2.h"
#include "rowblocks.h"

namespace planes::avx2 {

void DitherMono(const BYTE* pSrc, LONG w, const BYTE aThr[16], BYTE* pOut)
{
    // Spread8<Plane> gives S of pixels (3, 2, 1, 0 | 7, 6, 5, 4) of each group
    // of 8; packing two groups to 16 bits orders them (3..0, 11..8 | 7..4,
    // 15..12), and the limits are laid out to match.
    static constexpr int kPixelOfWord[16] = {3, 2, 1, 0, 11, 10, 9, 8, 7, 6, 5, 4, 15, 14, 13, 12};
    alignas(32) std::int16_t aLimit[16];
    for (int i = 0; i < 16; ++i) aLimit[i] = static_cast<std::int16_t>(4048 - 64 * aThr[kPixelOfWord[i]]);
    const __m256i t = _mm256_load_si256(reinterpret_cast<const __m256i*>(aLimit));
    // After packing to bytes the 32-bit groups hold pixels (3..0, 11..8, 19..16,
    // 27..24 | 7..4, ...); this permutation puts them in plane order.
    const __m256i order = _mm256_setr_epi32(4, 0, 5, 1, 6, 2, 7, 3);
    ForBlocks<32, 100>(pSrc, w, [&](const BYTE* p, std::ptrdiff_t x, std::ptrdiff_t n) {
        const __m256i s0 = Lightness8(Spread8<Order::Plane>(p));
        const __m256i s1 = Lightness8(Spread8<Order::Plane>(p + 24));
        const __m256i s2 = Lightness8(Spread8<Order::Plane>(p + 48));
        const __m256i s3 = Lightness8(Spread8<Order::Plane>(p + 72));
        const __m256i lo = _mm256_cmpgt_epi16(t, _mm256_packs_epi32(s0, s1));
        const __m256i hi = _mm256_cmpgt_epi16(t, _mm256_packs_epi32(s2, s3));
        const __m256i m = _mm256_permutevar8x32_epi32(_mm256_packs_epi16(lo, hi), order);
        OrBits(pOut + x / 8, static_cast<std::uint32_t>(_mm256_movemask_epi8(m)), n);
    });
}

void DitherColour(const BYTE* pSrc, LONG w, const BYTE aThr[16], BYTE* pMagenta, BYTE* pCyan, BYTE* pYellow)
{
    alignas(32) BYTE aLimit[32];
    for (int j = 0; j < 32; ++j) {
        const int q = j & 15;
        aLimit[j] = static_cast<BYTE>(252 - 4 * aThr[(q & 8) | (7 - (q & 7))]);
    }
    const __m256i t = _mm256_load_si256(reinterpret_cast<const __m256i*>(aLimit));
    auto bits = [&t](__m256i c) {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_min_epu8(c, t), c)));
    };
    ForBlocks<32, 96>(pSrc, w, [&](const BYTE* p, std::ptrdiff_t x, std::ptrdiff_t n) {
        const Colours32 c = Gather32<Order::Plane>(p);
        OrBits(pMagenta + x / 8, bits(c.g), n);
        OrBits(pCyan + x / 8, bits(c.r), n);
        OrBits(pYellow + x / 8, bits(c.b), n);
    });
}

void DitherLevels(const LONG* pLevel, LONG w, const BYTE aThr[16], BYTE* pOut)
{
    // level > t as bytes, as in the baseline kernel.
    alignas(32) BYTE aAbove[32];
    for (int j = 0; j < 32; ++j) aAbove[j] = static_cast<BYTE>(aThr[j & 15] + 1);
    const __m256i t = _mm256_load_si256(reinterpret_cast<const __m256i*>(aAbove));
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    LONG x = 0;
    for (; x + 32 <= w; x += 32) {
        const __m256i* q = reinterpret_cast<const __m256i*>(pLevel + x);
        const __m256i ab = _mm256_packs_epi32(_mm256_loadu_si256(q), _mm256_loadu_si256(q + 1));
        const __m256i cd = _mm256_packs_epi32(_mm256_loadu_si256(q + 2), _mm256_loadu_si256(q + 3));
        const __m256i v = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(ab, cd), order);
        const std::uint32_t m = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_max_epu8(v, t), v)));
        OrBits(pOut + x / 8, PlaneOrder32(m), 32);
    }
    for (; x < w; ++x)
        if (aThr[x & 15] < pLevel[x]) pOut[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
}

}  // namespace planes::avx2
