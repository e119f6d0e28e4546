// Error-diffusion row kernels for baseline x86-64 (SSE2): the raw ink amounts
// of a portrait row, 32 pixels a block, and the bits of a diffused row.
#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "errorshare.h"
#include "kernels.h"
#include "pixels_sse2.h"
#include "rowblocks.h"

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

void DiffusedSpan(const LONG* pRow, LONG w, int iStep, LONG x0, LONG n, LONG* pNext, BYTE* pOut)
{
    if (n <= 0 || n > kDiffusionSpan) return;
    const __m128i k127 = _mm_set1_epi16(127), k255 = _mm_set1_epi16(255), k8 = _mm_set1_epi16(8);
    // Errors of pixels x .. x + 7 in 16-bit lanes, and where they print.
    struct Errors {
        __m128i e, on;
    };
    auto errorsAt = [&](std::ptrdiff_t x) {
        alignas(16) LONG a[8];
        const LONG* p = pRow + x;
        if (x < 0 || x + 8 > w) {
            ValuesAt(pRow, w, x, 8, a);
            p = a;
        }
        const __m128i v = _mm_packs_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4)));
        const __m128i on = _mm_cmpgt_epi16(v, k127);
        return Errors{_mm_sub_epi16(v, _mm_and_si128(on, k255)), on};
    };
    // Share n/16 of e, rounded half away from zero: (n e + 8 - (e < 0)) >> 4.
    auto share = [&](__m128i e, __m128i ne) { return _mm_srai_epi16(_mm_add_epi16(_mm_add_epi16(ne, k8), _mm_srai_epi16(e, 15)), 4); };

    // Each pixel's neighbours come from the vectors before and after it.
    Errors prev = x0 > 0 ? errorsAt(x0 - 8) : Errors{_mm_setzero_si128(), _mm_setzero_si128()};
    Errors cur = errorsAt(x0);
    for (std::ptrdiff_t i = 0; i < n; i += 8) {
        const std::ptrdiff_t x = x0 + i;
        const Errors next = errorsAt(x + 8);
        const __m128i left = _mm_or_si128(_mm_slli_si128(cur.e, 2), _mm_srli_si128(prev.e, 14));
        const __m128i right = _mm_or_si128(_mm_srli_si128(cur.e, 2), _mm_slli_si128(next.e, 14));
        // The pixel before in the direction of travel gives 1/16, the one after 3/16.
        const __m128i e1 = iStep > 0 ? left : right, e3 = iStep > 0 ? right : left;
        const __m128i s = _mm_add_epi16(_mm_add_epi16(share(cur.e, _mm_add_epi16(_mm_slli_epi16(cur.e, 2), cur.e)), share(e1, e1)),
                                        share(e3, _mm_add_epi16(_mm_slli_epi16(e3, 1), e3)));
        const __m128i sign = _mm_srai_epi16(s, 15);
        const std::ptrdiff_t c = std::min<std::ptrdiff_t>(8, n - i);
        alignas(16) LONG aNext[8];
        LONG* q = c == 8 ? pNext + x : aNext;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(q), _mm_unpacklo_epi16(s, sign));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(q + 4), _mm_unpackhi_epi16(s, sign));
        if (c < 8) StoreValues(pNext + x, aNext, c);
        const BYTE bits = kReversedBits[static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(cur.on, cur.on))) & 0xFF];
        pOut[x / 8] |= c == 8 ? bits : static_cast<BYTE>(bits & FirstPixels(c));
        prev = cur;
        cur = next;
    }
}

}  // namespace planes::sse2
