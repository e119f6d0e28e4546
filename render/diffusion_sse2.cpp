// Error-diffusion row kernels for baseline x86-64 (SSE2): the raw ink amounts
// of a portrait row, 32 pixels a block, and the bits of a diffused row.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

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

void DiffusedBits(const LONG* pRow, LONG w, BYTE* pOut)
{
    const __m128i k127 = _mm_set1_epi32(127);
    LONG x = 0;
    for (; x + 16 <= w; x += 16) {
        const __m128i* q = reinterpret_cast<const __m128i*>(pRow + x);
        const __m128i a = _mm_cmpgt_epi32(_mm_loadu_si128(q), k127);
        const __m128i b = _mm_cmpgt_epi32(_mm_loadu_si128(q + 1), k127);
        const __m128i c = _mm_cmpgt_epi32(_mm_loadu_si128(q + 2), k127);
        const __m128i d = _mm_cmpgt_epi32(_mm_loadu_si128(q + 3), k127);
        const __m128i m = _mm_packs_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
        OrBits(pOut + x / 8, PlaneOrder16(static_cast<unsigned>(_mm_movemask_epi8(m))), 16);
    }
    for (; x < w; ++x)
        if (pRow[x] > 127) pOut[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
}

}  // namespace planes::sse2
