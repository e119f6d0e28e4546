// Serpentine Floyd-Steinberg error diffusion of one band into the PDEV's planes.
// Error carries only within the band: it starts with zero error and a
// right-to-left first row.
#include <cstddef>

#include "halftone.h"
#include "planeutil.h"

namespace {

// e * n / 16 rounded half away from zero: the value EngMulDiv(e, n, 16) gives
// (checked against it by the tests), without a call per share.
inline LONG Share(LONG e, LONG n)
{
    const LONG sign = e >> 31;  // 0 or -1
    const LONG q = ((((e ^ sign) - sign) * n) + 8) >> 4;
    return (q ^ sign) - sign;
}

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
    LONG rowCarry[N];   // 7/16 share of the pixel before, for this pixel
    LONG aheadNext[N];  // 1/16 share of the pixel before, for this pixel's next-row error
    LONG pending[N];    // next-row error of the pixel before, waiting for this pixel's 3/16
    for (int k = 0; k < N; ++k) {
        pRow[k] = apRow[k];
        pCur[k] = apCur[k];
        pNext[k] = apNext[k];
        rowCarry[k] = aheadNext[k] = pending[k] = 0;
    }
    LONG x = Step < 0 ? w - 1 : 0;
    for (LONG i = 0; i < w; ++i, x += Step) {
        for (int k = 0; k < N; ++k) {
            const LONG v = pRow[k][x] + pCur[k][x] + rowCarry[k];
            pRow[k][x] = v;
            const LONG e = v > 127 ? v - 255 : v;
            if (i > 0) pNext[k][x - Step] = pending[k] + Share(e, 3);
            pending[k] = aheadNext[k] + Share(e, 5);
            rowCarry[k] = Share(e, 7);
            aheadNext[k] = Share(e, 1);
        }
    }
    for (int k = 0; k < N; ++k) pNext[k][x - Step] = pending[k];
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

    for (LONG y = 0; y < h; ++y) {
        if (bLandscape) {
            Get1LineL(pPDev, pBits + static_cast<std::ptrdiff_t>(y) * 3, apLine, w, lDelta, GETLINE_DIFFUSION);
        } else {
            Get1LineP(pPDev, pBits + static_cast<std::ptrdiff_t>(y) * lDelta, apLine, w, GETLINE_DIFFUSION);
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
            const LONG* pRow = apLine[p];
            planes::WriteRowBits(pPDev->apPlaneCursor[p], w, [pRow](LONG x) { return pRow[x] > 127; });
            LONG* t = apCur[p];
            apCur[p] = apNext[p];
            apNext[p] = t;
        }
    }

    planes::FinishBand(pPDev, w, h);
    return TRUE;
}
