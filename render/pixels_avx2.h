// AVX2 helpers of the row kernels: band pixels (blue, green, red) spread to
// one 32-bit lane per pixel, or split into one byte vector per colour.
// Compiled only into files built with AVX2 enabled.
#pragma once

#include <immintrin.h>

#include <array>
#include <cstdint>

#include "base/wintypes.h"
#include "kernels.h"

namespace planes {
namespace {

// Order of pixels within the vectors. Natural: pixel i in lane i. Plane: each
// group of 8 pixels reversed, so that a move-mask gives the plane's bit order
// (first pixel in bit 7 of its byte) directly.
enum class Order { Natural, Plane };

inline __m256i Load2x128(const BYTE* pLo, const BYTE* pHi)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pLo))),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(pHi)), 1);
}

// Pixels 0-3 of p in the low 128 bits, 4-7 in the high ones (reads 28 bytes);
// 32-bit lane i holds one pixel's blue, green, red and a zero byte. Natural:
// lanes 0-7 hold pixels 0-7. Plane: pixels 3, 2, 1, 0, 7, 6, 5, 4.
template <Order O>
inline __m256i Spread8(const BYTE* p)
{
    constexpr char z = static_cast<char>(0x80);
    const __m256i mask = O == Order::Natural
                             ? _mm256_setr_epi8(0, 1, 2, z, 3, 4, 5, z, 6, 7, 8, z, 9, 10, 11, z,  //
                                                0, 1, 2, z, 3, 4, 5, z, 6, 7, 8, z, 9, 10, 11, z)
                             : _mm256_setr_epi8(9, 10, 11, z, 6, 7, 8, z, 3, 4, 5, z, 0, 1, 2, z,  //
                                                9, 10, 11, z, 6, 7, 8, z, 3, 4, 5, z, 0, 1, 2, z);
    return _mm256_shuffle_epi8(Load2x128(p, p + 12), mask);
}

// S = 2 b + 5 r + 9 g per 32-bit lane of spread pixels (lightness L = S >> 4).
inline __m256i Lightness8(__m256i spread)
{
    const __m256i pairs = _mm256_maddubs_epi16(spread, _mm256_setr_epi8(2, 9, 5, 0, 2, 9, 5, 0, 2, 9, 5, 0, 2, 9, 5, 0,  //
                                                                        2, 9, 5, 0, 2, 9, 5, 0, 2, 9, 5, 0, 2, 9, 5, 0));
    return _mm256_madd_epi16(pairs, _mm256_set1_epi16(1));
}

// Shuffle masks that gather colour c (0 blue, 1 green, 2 red) of 16 pixels from
// the three 16-byte registers holding them; position j of the result holds
// pixel j (Natural) or pixel (j & 8) | (7 - (j & 7)) (Plane).
constexpr std::array<std::array<char, 32>, 3> GatherMasks(int c, Order o)
{
    std::array<std::array<char, 32>, 3> m{};
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 32; ++j) {
            const int q = j & 15;
            const int px = o == Order::Natural ? q : (q & 8) | (7 - (q & 7));
            const int src = 3 * px + c;
            m[k][j] = src / 16 == k ? static_cast<char>(src % 16) : static_cast<char>(0x80);
        }
    return m;
}

// One colour of 32 pixels: pixels 0-15 in the low 128 bits, 16-31 in the high.
struct Colours32 {
    __m256i b, g, r;
};

template <Order O>
inline Colours32 Gather32(const BYTE* p)
{
    static constexpr std::array<std::array<char, 32>, 3> kMasks[3] = {GatherMasks(0, O), GatherMasks(1, O), GatherMasks(2, O)};
    const __m256i v[3] = {Load2x128(p, p + 48), Load2x128(p + 16, p + 64), Load2x128(p + 32, p + 80)};
    auto colour = [&v](int c) {
        __m256i x = _mm256_setzero_si256();
        for (int k = 0; k < 3; ++k)
            x = _mm256_or_si256(x, _mm256_shuffle_epi8(v[k], _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kMasks[c][k].data()))));
        return x;
    };
    return {colour(0), colour(1), colour(2)};
}

// Packs four vectors of 8 32-bit masks (pixels 0-7, 8-15, 16-23, 24-31) into
// one byte mask per pixel, in pixel order.
inline __m256i PackMasks32(__m256i a, __m256i b, __m256i c, __m256i d)
{
    const __m256i bytes = _mm256_packs_epi16(_mm256_packs_epi32(a, b), _mm256_packs_epi32(c, d));
    return _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

// A 32-bit byte mask (first pixel in bit 0) in plane bit order.
inline std::uint32_t PlaneOrder32(std::uint32_t m)
{
    return static_cast<std::uint32_t>(kReversedBits[m & 0xFF]) | static_cast<std::uint32_t>(kReversedBits[(m >> 8) & 0xFF]) << 8 |
           static_cast<std::uint32_t>(kReversedBits[(m >> 16) & 0xFF]) << 16 |
           static_cast<std::uint32_t>(kReversedBits[m >> 24]) << 24;
}

}  // namespace
}  // namespace planes
