// Serpentine Floyd-Steinberg error diffusion of one band into the PDEV's planes.
// Error carries only within the band: it starts with zero error and a
// right-to-left first row.
#include <array>
#include <cstddef>
#include <cstring>

#include "render/halftone.h"
#include "render/kernels.h"
#include "render/planeutil.h"

namespace {

// e * n / 16 rounded half away from zero: the value EngMulDiv(e, n, 16) gives
// (checked against it by the tests).
constexpr LONG Share(LONG e, LONG n)
{
    const LONG sign = e < 0 ? -1 : 0;
    const LONG q = ((((e ^ sign) - sign) * n) + 8) >> 4;
    return (q ^ sign) - sign;
}

constexpr LONG Error(LONG v) { return v > 127 ? v - 255 : v; }

// Range of the row values once error is added. A value is an ink amount
// (0..255) plus the next-row shares of three pixels and the 7/16 share of one;
// with errors of at most kMaxError in size, the values stay in
// [kMinValue, kMaxValue], and their errors again within kMaxError.
constexpr LONG kMaxError = 128;
constexpr LONG kMaxBelow = Share(kMaxError, 1) + Share(kMaxError, 5) + Share(kMaxError, 3);
constexpr LONG kMinValue = 0 - kMaxBelow - Share(kMaxError, 7);
constexpr LONG kMaxValue = 255 + kMaxBelow + Share(kMaxError, 7);
static_assert(Error(kMinValue) >= -kMaxError && Error(127) <= kMaxError);
static_assert(Error(128) >= -kMaxError && Error(kMaxValue) <= kMaxError);
constexpr std::size_t kValues = kMaxValue - kMinValue + 1;

// The shares of each row value's error, indexed by value - kMinValue: the 7/16
// share on its own, so that the chain from pixel to pixel is one add and one
// load, and the three next-row shares beside it.
struct BelowShares {
    LONG s1, s5, s3, unused;
};

constexpr std::array<LONG, kValues> MakeCarry()
{
    std::array<LONG, kValues> t{};
    for (std::size_t i = 0; i < kValues; ++i) t[i] = Share(Error(static_cast<LONG>(i) + kMinValue), 7);
    return t;
}

constexpr std::array<BelowShares, kValues> MakeBelow()
{
    std::array<BelowShares, kValues> t{};
    for (std::size_t i = 0; i < kValues; ++i) {
        const LONG e = Error(static_cast<LONG>(i) + kMinValue);
        t[i] = {Share(e, 1), Share(e, 5), Share(e, 3), 0};
    }
    return t;
}

constexpr std::array<LONG, kValues> kCarry = MakeCarry();
constexpr std::array<BelowShares, kValues> kBelow = MakeBelow();

// Diffuses one row of N planes side by side in the direction Step (+1 or -1);
// the planes are independent, so their chains of dependent steps overlap.
// apRow[k] holds plane k's row values and receives the decided values;
// apCur[k] is the error for this row; apNext[k] receives the error for the
// next row. Each pixel's next-row error (1/16 from the pixel before it, 5/16
// its own, 3/16 from the pixel after it) is summed in registers and stored
// once, which gives the same integers as adding the shares into a zeroed
// buffer.
template <int Step, int N>
void DiffuseRow(LONG* const* apRow, LONG* const* apCur, LONG* const* apNext, LONG w)
{
    LONG* pRow[N];
    const LONG* pCur[N];
    LONG* pNext[N];
    LONG carry[N];      // 7/16 share of the pixel before, for this pixel
    LONG aheadNext[N];  // 1/16 share of the pixel before, for this pixel's next-row error
    LONG pending[N];    // next-row error of the pixel before, waiting for this pixel's 3/16
    std::ptrdiff_t x = Step < 0 ? w - 1 : 0;
    for (int k = 0; k < N; ++k) {
        pRow[k] = apRow[k];
        pCur[k] = apCur[k];
        pNext[k] = apNext[k];
        const LONG v = pRow[k][x] + pCur[k][x];
        pRow[k][x] = v;
        const std::size_t i = static_cast<std::size_t>(v - kMinValue);
        carry[k] = kCarry[i];
        pending[k] = kBelow[i].s5;
        aheadNext[k] = kBelow[i].s1;
    }
    for (LONG n = 1; n < w; ++n) {
        x += Step;
        for (int k = 0; k < N; ++k) {
            const LONG v = pRow[k][x] + pCur[k][x] + carry[k];
            pRow[k][x] = v;
            const std::size_t i = static_cast<std::size_t>(v - kMinValue);
            carry[k] = kCarry[i];
            const BelowShares& s = kBelow[i];
            pNext[k][x - Step] = pending[k] + s.s3;
            pending[k] = aheadNext[k] + s.s5;
            aheadNext[k] = s.s1;
        }
    }
    for (int k = 0; k < N; ++k) pNext[k][x] = pending[k];
}

template <int Step>
void DiffuseRows(int n, LONG* const* apRow, LONG* const* apCur, LONG* const* apNext, LONG w)
{
    switch (n) {
    case 1: DiffuseRow<Step, 1>(apRow, apCur, apNext, w); break;
    case 2: DiffuseRow<Step, 2>(apRow, apCur, apNext, w); break;
    case 3: DiffuseRow<Step, 3>(apRow, apCur, apNext, w); break;
    case 4: DiffuseRow<Step, 4>(apRow, apCur, apNext, w); break;
    default: break;
    }
}

}  // namespace

BOOL FloydSteinberg(PDEV* pPDev, const BYTE* pBits, LONG cx, LONG cy, LONG lDelta, BOOL bLandscape)
{
    LONG w = 0, h = 0;
    if (!planes::PrepareBand(pPDev, pBits, cx, cy, bLandscape, &w, &h)) return FALSE;
    if (w == 0 || h == 0) return TRUE;

    // Per plane: row values, current-row error, next-row error.
    const int cPlaneBufs = planes::IsColour(pPDev) ? 4 : 1;
    planes::LineBuffers bufs;
    if (!bufs.Allocate(w, cPlaneBufs * 3)) return FALSE;
    LONG* const apLine[4] = {bufs.Buffer(0), bufs.Buffer(1), bufs.Buffer(2), bufs.Buffer(3)};
    LONG* apCur[4] = {};
    LONG* apNext[4] = {};
    for (int p = 0; p < cPlaneBufs; ++p) {
        apCur[p] = bufs.Buffer(cPlaneBufs + 2 * p);
        apNext[p] = bufs.Buffer(cPlaneBufs + 2 * p + 1);
    }
    const unsigned mask = planes::HalftonedPlanes(pPDev);
    const std::ptrdiff_t cbRow = static_cast<std::ptrdiff_t>(planes::RowBytes(w));

    // Portrait rows without spot colours are read by the row kernels.
    const planes::RowKernels& k = planes::Kernels();
    const bool bColour = planes::IsColour(pPDev);
    const bool bDirectMono = !bLandscape && !bColour;
    const bool bDirectColour = !bLandscape && bColour && !planes::AnySpotActive(pPDev);

    for (LONG y = 0; y < h; ++y) {
        const BYTE* pSrc = pBits + static_cast<std::ptrdiff_t>(y) * (bLandscape ? 3 : lDelta);
        if (bDirectMono) {
            k.ValuesMono(pSrc, w, apLine[0]);
        } else if (bDirectColour) {
            // Plane 0 receives no ink without an active black entry.
            std::memset(apLine[0], 0, static_cast<std::size_t>(w) * sizeof(LONG));
            k.ValuesColour(pSrc, w, apLine[1], apLine[2], apLine[3]);
        } else if (bLandscape) {
            Get1LineL(pPDev, pSrc, apLine, w, lDelta, GETLINE_DIFFUSION);
        } else {
            Get1LineP(pPDev, pSrc, apLine, w, GETLINE_DIFFUSION);
        }
        // The halftoned planes, gathered for one pass over the row.
        LONG* apRow[4];
        LONG* apC[4];
        LONG* apN[4];
        int n = 0;
        for (int p = 0; p < 4; ++p) {
            if (!(mask & (1u << p))) continue;
            apRow[n] = apLine[p];
            apC[n] = apCur[p];
            apN[n] = apNext[p];
            ++n;
        }
        if ((y & 1) == 0) {
            DiffuseRows<-1>(n, apRow, apC, apN, w);
        } else {
            DiffuseRows<1>(n, apRow, apC, apN, w);
        }
        for (int p = 0; p < 4; ++p) {
            if (!(mask & (1u << p))) continue;
            k.DiffusedBits(apLine[p], w, pPDev->apPlaneCursor[p]);
            pPDev->apPlaneCursor[p] += cbRow;
            LONG* t = apCur[p];
            apCur[p] = apNext[p];
            apNext[p] = t;
        }
    }

    planes::FinishBand(pPDev, w, h);
    return TRUE;
}
