// Serpentine Floyd-Steinberg error diffusion of one band into the PDEV's planes.
// Error carries only within the band: it starts with zero error and a
// right-to-left first row.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "errorshare.h"
#include "halftone.h"
#include "kernels.h"
#include "planeutil.h"

namespace {

using planes::Error;
using planes::Share;

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
static_assert(kMinValue == -128 && kMaxValue == 383, "the row kernels take values within -128..383");
constexpr std::size_t kValues = kMaxValue - kMinValue + 1;

// The 7/16 share of each row value's error, indexed by value - kMinValue, so
// that the chain from pixel to pixel is one add and one load.
constexpr std::array<LONG, kValues> MakeCarry()
{
    std::array<LONG, kValues> t{};
    for (std::size_t i = 0; i < kValues; ++i) t[i] = Share(Error(static_cast<LONG>(i) + kMinValue), 7);
    return t;
}

constexpr std::array<LONG, kValues> kCarry = MakeCarry();

// Pixels per span: the rows are decided a span at a time, and each span's
// next-row errors and bits are made (by a row kernel) once the following span
// is decided, so that this vector work overlaps the serial chain.
constexpr LONG kSpan = planes::kDiffusionSpan;

// Diffuses one row of N planes side by side in the direction Step (+1 or -1);
// the planes are independent, so their chains overlap. apRow[k] holds plane
// k's row values and receives the decided values; apCur[k] is the error for
// this row; apNext[k] receives the error for the next row and apOut[k] the
// row's bits.
template <int Step, int N>
void DiffuseRow(const planes::RowKernels& kern, LONG* const* apRow, const LONG* const* apCur, LONG* const* apNext,
                BYTE* const* apOut, LONG w)
{
    // The table from value 0 on, indexed by signed values: the chain's index
    // needs no offset or extension.
    const LONG* const pCarry = kCarry.data() - kMinValue;
    LONG* pRow[N];
    const LONG* pCur[N];
    std::ptrdiff_t carry[N];  // 7/16 share of the pixel before, for this pixel
    for (int k = 0; k < N; ++k) {
        pRow[k] = apRow[k];
        pCur[k] = apCur[k];
        carry[k] = 0;
    }
    auto finish = [&](LONG s) {
        const LONG x0 = s * kSpan;
        for (int k = 0; k < N; ++k) kern.DiffusedSpan(apRow[k], w, Step, x0, std::min(kSpan, w - x0), apNext[k], apOut[k]);
    };
    const LONG cSpans = (w + kSpan - 1) / kSpan;
    for (LONG j = 0; j < cSpans; ++j) {
        const LONG s = Step > 0 ? j : cSpans - 1 - j;
        const LONG x0 = s * kSpan, n = std::min(kSpan, w - x0);
        std::ptrdiff_t x = Step > 0 ? x0 : x0 + n - 1;
        for (LONG i = 0; i < n; ++i, x += Step) {
            for (int k = 0; k < N; ++k) {
                const std::ptrdiff_t v = static_cast<std::ptrdiff_t>(pRow[k][x] + pCur[k][x]) + carry[k];
                pRow[k][x] = static_cast<LONG>(v);
                carry[k] = pCarry[v];
            }
        }
        // The span before this one now has both neighbours of every pixel decided.
        if (j > 0) finish(s - Step);
    }
    finish(Step > 0 ? cSpans - 1 : 0);
}

template <int Step>
void DiffuseRows(int n, const planes::RowKernels& kern, LONG* const* apRow, const LONG* const* apCur, LONG* const* apNext,
                 BYTE* const* apOut, LONG w)
{
    switch (n) {
    case 1: DiffuseRow<Step, 1>(kern, apRow, apCur, apNext, apOut, w); break;
    case 2: DiffuseRow<Step, 2>(kern, apRow, apCur, apNext, apOut, w); break;
    case 3: DiffuseRow<Step, 3>(kern, apRow, apCur, apNext, apOut, w); break;
    case 4: DiffuseRow<Step, 4>(kern, apRow, apCur, apNext, apOut, w); break;
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
        const LONG* apC[4];
        LONG* apN[4];
        BYTE* apOut[4];
        int n = 0;
        for (int p = 0; p < 4; ++p) {
            if (!(mask & (1u << p))) continue;
            apRow[n] = apLine[p];
            apC[n] = apCur[p];
            apN[n] = apNext[p];
            apOut[n] = pPDev->apPlaneCursor[p];
            ++n;
        }
        if ((y & 1) == 0) {
            DiffuseRows<-1>(n, k, apRow, apC, apN, apOut, w);
        } else {
            DiffuseRows<1>(n, k, apRow, apC, apN, apOut, w);
        }
        for (int p = 0; p < 4; ++p) {
            if (!(mask & (1u << p))) continue;
            pPDev->apPlaneCursor[p] += cbRow;
            LONG* t = apCur[p];
            apCur[p] = apNext[p];
            apNext[p] = t;
        }
    }

    planes::FinishBand(pPDev, w, h);
    return TRUE;
}
