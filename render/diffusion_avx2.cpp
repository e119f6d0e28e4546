// Error-diffusion row kernels for processors with AVX2: the raw ink amounts of
// a portrait row, 32 pixels a block, and the next-row errors and bits of a
// diffused row.
#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "errorshare.h"
#include "kernels.h"
#include "pixels_avx2.h"
#include "rowblocks.h"

namespace planes::avx2 {
namespace {

inline void Store8(LONG* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

}  // namespace

void ValuesMono(const BYTE* pSrc, LONG w, LONG* pK)
{
    const __m256i k255 = _mm256_set1_epi32(255);
    ForBlocks<32, 100>(pSrc, w, [&](const BYTE* p, std::ptrdiff_t x, std::ptrdiff_t n) {
        StoreBlock(pK + x, n, [&](LONG* q) {
            for (int g = 0; g < 4; ++g)
                Store8(q + 8 * g, _mm256_sub_epi32(k255, _mm256_srli_epi32(Lightness8(Spread8<Order::Natural>(p + 24 * g)), 4)));
        });
    });
}

void ValuesColour(const BYTE* pSrc, LONG w, LONG* pMagenta, LONG* pCyan, LONG* pYellow)
{
    // One colour of 4 pixels a 128-bit half, widened to 32 bits.
    constexpr char z = static_cast<char>(0x80);
    auto select = [](char c) {
        return _mm256_setr_epi8(c, z, z, z, c + 3, z, z, z, c + 6, z, z, z, c + 9, z, z, z,  //
                                c, z, z, z, c + 3, z, z, z, c + 6, z, z, z, c + 9, z, z, z);
    };
    const __m256i aSelect[3] = {select(0), select(1), select(2)};
    const __m256i k255 = _mm256_set1_epi32(255);
    LONG* const apOut[3] = {pYellow, pMagenta, pCyan};  // from blue, green, red
    ForBlocks<32, 100>(pSrc, w, [&](const BYTE* p, std::ptrdiff_t x, std::ptrdiff_t n) {
        for (int c = 0; c < 3; ++c) {
            StoreBlock(apOut[c] + x, n, [&](LONG* q) {
                for (int g = 0; g < 4; ++g) {
                    const __m256i v = Load2x128(p + 24 * g, p + 24 * g + 12);
                    Store8(q + 8 * g, _mm256_sub_epi32(k255, _mm256_shuffle_epi8(v, aSelect[c])));
                }
            });
        }
    });
}

void DiffusedSpan(const LONG* pRow, LONG w, int iStep, LONG x0, LONG n, LONG* pNext, BYTE* pOut)
{
    if (n <= 0 || n > kDiffusionSpan) return;
    const __m256i k127 = _mm256_set1_epi16(127), k255 = _mm256_set1_epi16(255);
    // Errors of pixels x .. x + 15 in 16-bit lanes, in pixel order (packing
    // interleaves the 128-bit halves), and where they print.
    struct Errors {
        __m256i e, on;
    };
    auto errorsAt = [&](std::ptrdiff_t x) {
        alignas(32) LONG a[16];
        const LONG* p = pRow + x;
        if (x < 0 || x + 16 > w) {
            ValuesAt(pRow, w, x, 16, a);
            p = a;
        }
        const __m256i v = _mm256_permute4x64_epi64(_mm256_packs_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)),
                                                                      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 8))),
                                                   0xD8);
        const __m256i on = _mm256_cmpgt_epi16(v, k127);
        return Errors{_mm256_sub_epi16(v, _mm256_and_si256(on, k255)), on};
    };
    // Share n/16 of e, rounded half away from zero: the rounded product of |e|
    // and n/16 (exact: |e| <= 128), given e's sign.
    auto share = [](__m256i e, std::int16_t n16) { return _mm256_sign_epi16(_mm256_mulhrs_epi16(_mm256_abs_epi16(e), _mm256_set1_epi16(n16)), e); };

    // Each pixel's neighbours come from the vectors before and after it.
    Errors prev = x0 > 0 ? errorsAt(x0 - 16) : Errors{_mm256_setzero_si256(), _mm256_setzero_si256()};
    Errors cur = errorsAt(x0);
    for (std::ptrdiff_t i = 0; i < n; i += 16) {
        const std::ptrdiff_t x = x0 + i;
        const Errors next = errorsAt(x + 16);
        const __m256i left = _mm256_alignr_epi8(cur.e, _mm256_permute2x128_si256(prev.e, cur.e, 0x21), 14);
        const __m256i right = _mm256_alignr_epi8(_mm256_permute2x128_si256(cur.e, next.e, 0x21), cur.e, 2);
        // The pixel before in the direction of travel gives 1/16, the one after 3/16.
        const __m256i e1 = iStep > 0 ? left : right, e3 = iStep > 0 ? right : left;
        const __m256i s = _mm256_add_epi16(_mm256_add_epi16(share(cur.e, 5 * 2048), share(e1, 2048)), share(e3, 3 * 2048));
        const std::ptrdiff_t c = std::min<std::ptrdiff_t>(16, n - i);
        alignas(32) LONG aNext[16];
        LONG* q = c == 16 ? pNext + x : aNext;
        Store8(q, _mm256_cvtepi16_epi32(_mm256_castsi256_si128(s)));
        Store8(q + 8, _mm256_cvtepi16_epi32(_mm256_extracti128_si256(s, 1)));
        if (c < 16) StoreValues(pNext + x, aNext, c);
        const std::uint32_t m = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_packs_epi16(cur.on, cur.on)));
        const std::uint32_t bits = static_cast<std::uint32_t>(kReversedBits[m & 0xFF]) | static_cast<std::uint32_t>(kReversedBits[(m >> 16) & 0xFF]) << 8;
        OrBits(pOut + x / 8, c == 16 ? bits : bits & FirstPixels(c), c);
        prev = cur;
        cur = next;
    }
}

}  // namespace planes::avx2
