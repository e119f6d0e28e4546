// The error shares of serpentine Floyd-Steinberg diffusion, shared by the
// diffusion loop and its row kernels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/wintypes.h"

namespace planes {
namespace {

// e * n / 16 rounded half away from zero: the value EngMulDiv(e, n, 16) gives
// (checked against it by the tests). Equal to (n e + 8 - (e < 0)) >> 4 with an
// arithmetic shift, the form the vector kernels use.
constexpr LONG Share(LONG e, LONG n)
{
    const LONG sign = e < 0 ? -1 : 0;
    const LONG q = ((((e ^ sign) - sign) * n) + 8) >> 4;
    return (q ^ sign) - sign;
}

// Error of a decided row value: the value less 255 where it prints.
constexpr LONG Error(LONG v) { return v > 127 ? v - 255 : v; }

// Next-row error of pixel x of a decided row of w values travelled in the
// direction iStep (+1 or -1): 5/16 of its own error, 1/16 of the error of the
// pixel before it and 3/16 of the pixel after it, where they exist.
inline LONG NextError(const LONG* pRow, std::ptrdiff_t x, LONG w, int iStep)
{
    const std::ptrdiff_t before = x - iStep, after = x + iStep;
    LONG e = Share(Error(pRow[x]), 5);
    if (before >= 0 && before < w) e += Share(Error(pRow[before]), 1);
    if (after >= 0 && after < w) e += Share(Error(pRow[after]), 3);
    return e;
}

// Values of pixels x .. x + cLanes - 1 of a row of w values into a[], zero
// for pixels outside the row (a value of zero has no error and no dot).
inline void ValuesAt(const LONG* pRow, LONG w, std::ptrdiff_t x, int cLanes, LONG* a)
{
    for (int j = 0; j < cLanes; ++j) a[j] = x + j >= 0 && x + j < w ? pRow[x + j] : 0;
}

}  // namespace
}  // namespace planes
