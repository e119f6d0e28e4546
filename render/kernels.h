// Row kernels of the halftoners: the inner loops over one output row, in a
// baseline x86-64 (SSE2) build and an AVX2 build. The set in use is chosen
// once from what the processor supports; both give the same bits.
//
// Every kernel writes plane bits as the halftoners do: bit (0x80 >> (x % 8)) of
// byte x / 8, ORed into what is there, exactly (w + 7) >> 3 bytes.
#pragma once

#include <array>

#include "base/wintypes.h"

namespace planes {

struct RowKernels {
    // Ordered dither of w monochrome pixels (blue, green, red, 3 bytes apart):
    // bit x is set where aThr[x % 16] < ColorTbl[255 - L] with L the pixel's
    // lightness; ColorTbl is taken as rebuilt, (i + 1) >> 2.
    void (*DitherMono)(const BYTE* pSrc, LONG w, const BYTE aThr[16], BYTE* pOut);
    // Ordered dither of w colour pixels without spot colours: magenta from
    // green, cyan from red, yellow from blue, each against aThr[x % 16].
    void (*DitherColour)(const BYTE* pSrc, LONG w, const BYTE aThr[16], BYTE* pMagenta, BYTE* pCyan, BYTE* pYellow);
    // Ordered dither of w levels (0..255, as the pixel readers store them).
    void (*DitherLevels)(const LONG* pLevel, LONG w, const BYTE aThr[16], BYTE* pOut);
    // Raw ink amounts (0..255) of w monochrome pixels, as Get1LineP stores them.
    void (*ValuesMono)(const BYTE* pSrc, LONG w, LONG* pK);
    // Raw ink amounts of w colour pixels without spot colours.
    void (*ValuesColour)(const BYTE* pSrc, LONG w, LONG* pMagenta, LONG* pCyan, LONG* pYellow);
    // Pixels x0 .. x0 + n - 1 (x0 a multiple of 8, n at most kDiffusionSpan) of a row of w values
    // travelled in the direction iStep (+1 or -1), once they and their
    // neighbours are decided (each value within -128..383): the error of each
    // for the next row, as NextError gives it, into pNext[x], and bit x of the
    // plane row pOut set where pRow[x] > 127.
    void (*DiffusedSpan)(const LONG* pRow, LONG w, int iStep, LONG x0, LONG n, LONG* pNext, BYTE* pOut);
};

// Most pixels a DiffusedSpan call takes.
constexpr LONG kDiffusionSpan = 64;

enum class KernelPath { Baseline, Avx2 };

// The kernels in use.
const RowKernels& Kernels();
KernelPath ActiveKernelPath();
// Switches to the given set; false (and no change) when the processor cannot
// run it. For tests and benchmarks that measure each set.
bool SelectKernelPath(KernelPath path);
bool KernelPathSupported(KernelPath path);

// The two sets. The AVX2 functions may only be called where the processor
// supports AVX2.
extern const RowKernels kBaselineKernels;
extern const RowKernels kAvx2Kernels;

#define LBL_ROW_KERNELS                                                                                     \
    void DitherMono(const BYTE* pSrc, LONG w, const BYTE aThr[16], BYTE* pOut);                             \
    void DitherColour(const BYTE* pSrc, LONG w, const BYTE aThr[16], BYTE* pMagenta, BYTE* pCyan, BYTE* pYellow); \
    void DitherLevels(const LONG* pLevel, LONG w, const BYTE aThr[16], BYTE* pOut);                         \
    void ValuesMono(const BYTE* pSrc, LONG w, LONG* pK);                                                    \
    void ValuesColour(const BYTE* pSrc, LONG w, LONG* pMagenta, LONG* pCyan, LONG* pYellow);                \
    void DiffusedSpan(const LONG* pRow, LONG w, int iStep, LONG x0, LONG n, LONG* pNext, BYTE* pOut);
namespace sse2 {
LBL_ROW_KERNELS
}
namespace avx2 {
LBL_ROW_KERNELS
}
#undef LBL_ROW_KERNELS

// Byte with its bit order reversed: packed masks have the first pixel in bit
// 0, the planes in bit 7.
constexpr std::array<BYTE, 256> MakeReversedBits()
{
    std::array<BYTE, 256> t{};
    for (int i = 0; i < 256; ++i) {
        int r = 0;
        for (int b = 0; b < 8; ++b) r |= ((i >> b) & 1) << (7 - b);
        t[i] = static_cast<BYTE>(r);
    }
    return t;
}
inline constexpr std::array<BYTE, 256> kReversedBits = MakeReversedBits();

}  // namespace planes
