// SSE2 helpers of the baseline row kernels: 32 band pixels (blue, green, red)
// split into one byte vector per colour.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "base/wintypes.h"
#include "kernels.h"

namespace planes {
namespace {

// Pixels 0-15 in [0], 16-31 in [1].
struct Channels32 {
    __m128i b[2], g[2], r[2];
};

// Reads 96 bytes. Each round interleaves register k with register k + 3; after
// four rounds register k holds the bytes whose offset is k mod 6 (one colour of
// the even or the odd pixels), and the fifth round merges even and odd pixels.
inline Channels32 Deinterleave32(const BYTE* p)
{
    __m128i v[6];
    for (int k = 0; k < 6; ++k) v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    for (int round = 0; round < 5; ++round) {
        const __m128i w[6] = {
            _mm_unpacklo_epi8(v[0], v[3]), _mm_unpackhi_epi8(v[0], v[3]), _mm_unpacklo_epi8(v[1], v[4]),
            _mm_unpackhi_epi8(v[1], v[4]), _mm_unpacklo_epi8(v[2], v[5]), _mm_unpackhi_epi8(v[2], v[5]),
        };
        for (int k = 0; k < 6; ++k) v[k] = w[k];
    }
    return {{v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}};
}

// Weighted sum S = 2 b + 5 r + 9 g of 8 pixels (lightness L = S >> 4), from
// the low (Hi false) or high half of 16-pixel byte vectors.
template <bool Hi>
inline __m128i Lightness16(__m128i b, __m128i g, __m128i r)
{
    const __m128i z = _mm_setzero_si128();
    const __m128i bw = Hi ? _mm_unpackhi_epi8(b, z) : _mm_unpacklo_epi8(b, z);
    const __m128i gw = Hi ? _mm_unpackhi_epi8(g, z) : _mm_unpacklo_epi8(g, z);
    const __m128i rw = Hi ? _mm_unpackhi_epi8(r, z) : _mm_unpacklo_epi8(r, z);
    return _mm_add_epi16(_mm_add_epi16(_mm_add_epi16(bw, bw), _mm_mullo_epi16(gw, _mm_set1_epi16(9))),
                         _mm_mullo_epi16(rw, _mm_set1_epi16(5)));
}

// A 16-bit byte mask (first pixel in bit 0) in plane bit order.
inline std::uint32_t PlaneOrder16(unsigned m)
{
    return static_cast<std::uint32_t>(kReversedBits[m & 0xFF]) | static_cast<std::uint32_t>(kReversedBits[(m >> 8) & 0xFF]) << 8;
}

}  // namespace
}  // namespace planes
