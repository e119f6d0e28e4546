// Block iteration shared by the row kernels: whole blocks are read straight
// from the band; the last, partial block is read from a copy padded with white
// pixels, so that no kernel reads past the end of a row.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/wintypes.h"

namespace planes {
namespace {

// Calls block(p, x, n) for the blocks of kPixels pixels of a row of w pixels
// at pSrc (3 bytes each); each call reads kReadBytes bytes at p (at least
// 3 * kPixels) and handles pixels x .. x + n - 1. White pixels halftone to no
// dot, which the kernels rely on for the padding.
template <std::ptrdiff_t kPixels, std::ptrdiff_t kReadBytes, typename Block>
inline void ForBlocks(const BYTE* pSrc, LONG w, Block block)
{
    static_assert(kReadBytes >= 3 * kPixels);
    const std::ptrdiff_t cb = 3 * static_cast<std::ptrdiff_t>(w);
    std::ptrdiff_t x = 0;
    for (; 3 * x + kReadBytes <= cb; x += kPixels) block(pSrc + 3 * x, x, kPixels);
    alignas(32) BYTE abPad[kReadBytes];
    for (; x < w; x += kPixels) {
        const std::ptrdiff_t n = std::min<std::ptrdiff_t>(kPixels, w - x);
        std::memset(abPad, 0xFF, sizeof abPad);
        std::memcpy(abPad, pSrc + 3 * x, static_cast<std::size_t>(3 * n));
        block(abPad, x, n);
    }
}

// ORs the bits of n pixels (plane order: byte 0 first, first pixel in its bit
// 7) into pOut; touches only the (n + 7) / 8 bytes that hold them.
inline void OrBits(BYTE* pOut, std::uint32_t bits, std::ptrdiff_t n)
{
    if (n >= 32) {
        std::uint32_t old;
        std::memcpy(&old, pOut, 4);
        old |= bits;
        std::memcpy(pOut, &old, 4);
        return;
    }
    for (std::ptrdiff_t i = 0; i < (n + 7) / 8; ++i) pOut[i] |= static_cast<BYTE>(bits >> (8 * i));
}

// Plane-order bits of the first n pixels (n below 32) of a 32-pixel block.
inline std::uint32_t FirstPixels(std::ptrdiff_t n)
{
    std::uint32_t m = 0;
    for (std::ptrdiff_t i = 0; i < n; ++i) m |= 0x80u >> (i & 7) << (8 * (i >> 3));
    return m;
}

// Stores n 32-bit values of a block computed into aBlock (whole blocks are
// stored by the kernels directly).
inline void StoreValues(LONG* pOut, const LONG* aBlock, std::ptrdiff_t n)
{
    std::memcpy(pOut, aBlock, static_cast<std::size_t>(n) * sizeof(LONG));
}


// Stores a block of 32 values straight into pOut when whole, a partial one through
// a copy of which the first n values are kept.
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

}  // namespace
}  // namespace planes
