// Error-diffusion row kernels for processors with AVX2: the raw ink amounts of
// a portrait row, 32 pixels a block, and the next-row errors and bits of a
// diffused row.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "render/errorshare.h"
#include "render/kernels.h"
#include "render/pixels_avx2.h"
#include "render/rowblocks.h"

namespace planes::avx2 {
namespace {

// Stores a whole block straight into pOut, a partial one through a copy.
template <typename Fill>
inline void StoreBlock(LONG* pOut, std::ptrdiff_t n, Fill fill)
{
    if (n == 32) {
        fill(pOut);
        return;
    }
    alignas(32) LONG aBlock[32];
    fill(aBlock);
    StoreValues(pOut, aBlock, n);
}

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

void DiffusedRow(const LONG* pRow, LONG w, int iStep, LONG* pNext, BYTE* pOut)
{
    // Sixteen values a step in 16-bit lanes (packing interleaves the 128-bit
    // halves, unpacking restores them); pixels 0 and w - 1, which lack a
    // neighbour, and the rest of the row go one by one.
    const __m256i k127 = _mm256_set1_epi16(127), k255 = _mm256_set1_epi16(255), k8 = _mm256_set1_epi16(8);
    auto load16 = [](const LONG* p) {
        return _mm256_packs_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)),
                                  _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 8)));
    };
    auto error16 = [&](__m256i v) { return _mm256_sub_epi16(v, _mm256_and_si256(_mm256_cmpgt_epi16(v, k127), k255)); };
    auto share16 = [&](__m256i e, __m256i ne) {
        return _mm256_srai_epi16(_mm256_add_epi16(_mm256_add_epi16(ne, k8), _mm256_srai_epi16(e, 15)), 4);
    };
    const std::ptrdiff_t before = -iStep, after = iStep;
    pNext[0] = NextError(pRow, 0, w, iStep);
    std::ptrdiff_t x = 1;
    for (; x + 16 < w; x += 16) {
        const __m256i e = error16(load16(pRow + x));
        const __m256i e1 = error16(load16(pRow + x + before));
        const __m256i e3 = error16(load16(pRow + x + after));
        const __m256i s = _mm256_add_epi16(_mm256_add_epi16(share16(e, _mm256_add_epi16(_mm256_slli_epi16(e, 2), e)), share16(e1, e1)),
                                           share16(e3, _mm256_add_epi16(_mm256_slli_epi16(e3, 1), e3)));
        const __m256i sign = _mm256_srai_epi16(s, 15);
        Store8(pNext + x, _mm256_unpacklo_epi16(s, sign));
        Store8(pNext + x + 8, _mm256_unpackhi_epi16(s, sign));
    }
    for (; x < w; ++x) pNext[x] = NextError(pRow, x, w, iStep);

    const __m256i k127d = _mm256_set1_epi32(127);
    x = 0;
    for (; x + 32 <= w; x += 32) {
        const __m256i* q = reinterpret_cast<const __m256i*>(pRow + x);
        const __m256i m = PackMasks32(_mm256_cmpgt_epi32(_mm256_loadu_si256(q), k127d), _mm256_cmpgt_epi32(_mm256_loadu_si256(q + 1), k127d),
                                      _mm256_cmpgt_epi32(_mm256_loadu_si256(q + 2), k127d), _mm256_cmpgt_epi32(_mm256_loadu_si256(q + 3), k127d));
        OrBits(pOut + x / 8, PlaneOrder32(static_cast<std::uint32_t>(_mm256_movemask_epi8(m))), 32);
    }
    for (; x < w; ++x)
        if (pRow[x] > 127) pOut[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
}

}  // namespace planes::avx2
