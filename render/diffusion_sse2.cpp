// Error-diffusion row kernels for baseline x86-64 (SSE2): the raw ink amounts
// of a portrait row, 32 pixels a block, and the bits of a diffused row.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "render/errorshare.h"
#include "render/kernels.h"
#include "render/pixels_sse2.h"
#include "render/rowblocks.h"

namespace planes::sse2 {
namespace {

// Widens 16-bit values (0..255) to 32 bits and stores 8 of them.
inline void Store8(LONG* p, __m128i v16)
{
    const __m128i z = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_unpacklo_epi16(v16, z));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4), _mm_unpackhi_epi16(v16, z));
}

// Stores the ink amounts 255 - c of 16 colour bytes.
inline void StoreInk16(LONG* p, __m128i c)
{
    const __m128i z = _mm_setzero_si128();
    const __m128i v = _mm_sub_epi8(_mm_set1_epi8(static_cast<char>(0xFF)), c);
    Store8(p, _mm_unpacklo_epi8(v, z));
    Store8(p + 8, _mm_unpackhi_epi8(v, z));
}

// Stores a whole block straight into pOut, a partial one through a copy.
template <typename Fill>
inline void StoreBlock(LONG* pOut, std::ptrdiff_t n, Fill fill)
{
    if (n == 32) {
        fill(pOut);
        return;
    }
    alignas(16) LONG aBlock[32];
    fill(aBlock);
    StoreValues(pOut, aBlock, n);
}

}  // namespace

void ValuesMono(const BYTE* pSrc, LONG w, LONG* pK)
{
    const __m128i k255 = _mm_set1_epi16(255);
    ForBlocks<32, 96>(pSrc, w, [&](const BYTE* p, std::ptrdiff_t x, std::ptrdiff_t n) {
        const Channels32 c = Deinterleave32(p);
        StoreBlock(pK + x, n, [&](LONG* q) {
            for (int h = 0; h < 2; ++h) {
                Store8(q + 16 * h, _mm_sub_epi16(k255, _mm_srli_epi16(Lightness16<false>(c.b[h], c.g[h], c.r[h]), 4)));
                Store8(q + 16 * h + 8, _mm_sub_epi16(k255, _mm_srli_epi16(Lightness16<true>(c.b[h], c.g[h], c.r[h]), 4)));
            }
        });
    });
}

void ValuesColour(const BYTE* pSrc, LONG w, LONG* pMagenta, LONG* pCyan, LONG* pYellow)
{
    ForBlocks<32, 96>(pSrc, w, [&](const BYTE* p, std::ptrdiff_t x, std::ptrdiff_t n) {
        const Channels32 c = Deinterleave32(p);
        auto plane = [&](LONG* pOut, const __m128i* ch) {
            StoreBlock(pOut + x, n, [&](LONG* q) {
                StoreInk16(q, ch[0]);
                StoreInk16(q + 16, ch[1]);
            });
        };
        plane(pMagenta, c.g);
        plane(pCyan, c.r);
        plane(pYellow, c.b);
    });
}

void DiffusedRow(const LONG* pRow, LONG w, int iStep, LONG* pNext, BYTE* pOut)
{
    // Eight values a step in 16-bit lanes; pixels 0 and w - 1, which lack a
    // neighbour, and the rest of the row go one by one.
    const __m128i k127 = _mm_set1_epi16(127), k255 = _mm_set1_epi16(255), k8 = _mm_set1_epi16(8);
    auto load8 = [](const LONG* p) {
        return _mm_packs_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4)));
    };
    auto error8 = [&](__m128i v) { return _mm_sub_epi16(v, _mm_and_si128(_mm_cmpgt_epi16(v, k127), k255)); };
    auto share8 = [&](__m128i e, __m128i ne) { return _mm_srai_epi16(_mm_add_epi16(_mm_add_epi16(ne, k8), _mm_srai_epi16(e, 15)), 4); };
    const std::ptrdiff_t before = -iStep, after = iStep;
    pNext[0] = NextError(pRow, 0, w, iStep);
    std::ptrdiff_t x = 1;
    for (; x + 8 < w; x += 8) {
        const __m128i e = error8(load8(pRow + x));
        const __m128i e1 = error8(load8(pRow + x + before));
        const __m128i e3 = error8(load8(pRow + x + after));
        const __m128i s = _mm_add_epi16(_mm_add_epi16(share8(e, _mm_add_epi16(_mm_slli_epi16(e, 2), e)), share8(e1, e1)),
                                        share8(e3, _mm_add_epi16(_mm_slli_epi16(e3, 1), e3)));
        const __m128i sign = _mm_srai_epi16(s, 15);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pNext + x), _mm_unpacklo_epi16(s, sign));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pNext + x + 4), _mm_unpackhi_epi16(s, sign));
    }
    for (; x < w; ++x) pNext[x] = NextError(pRow, x, w, iStep);

    const __m128i k127d = _mm_set1_epi32(127);
    x = 0;
    for (; x + 16 <= w; x += 16) {
        const __m128i* q = reinterpret_cast<const __m128i*>(pRow + x);
        const __m128i a = _mm_cmpgt_epi32(_mm_loadu_si128(q), k127d);
        const __m128i b = _mm_cmpgt_epi32(_mm_loadu_si128(q + 1), k127d);
        const __m128i c = _mm_cmpgt_epi32(_mm_loadu_si128(q + 2), k127d);
        const __m128i d = _mm_cmpgt_epi32(_mm_loadu_si128(q + 3), k127d);
        const __m128i m = _mm_packs_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
        OrBits(pOut + x / 8, PlaneOrder16(static_cast<unsigned>(_mm_movemask_epi8(m))), 16);
    }
    for (; x < w; ++x)
        if (pRow[x] > 127) pOut[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
}

}  // namespace planes::sse2
