// Serpentine Floyd-Steinberg error diffusion of one band into the PDEV's planes.
// Error carries only within the band: it starts with zero error and a
// right-to-left first row.
#include <cstddef>
#include <cstring>

#include "render/halftone.h"
#include "render/planeutil.h"

namespace {

// e * n / 16 rounded half away from zero: the value EngMulDiv(e, n, 16) gives
// (checked against it by the tests), without a call per share.
inline LONG Share(LONG e, LONG n)
{
    const LONG m = e < 0 ? -e : e;
    const LONG q = (m * n + 8) >> 4;
    return e < 0 ? -q : q;
}

// Diffuses one row of one plane. pRow holds the row's values and receives the
// decided values; pCur is the error for this row, pNext collects the error
// for the next row.
void DiffuseRow(LONG* pRow, const LONG* pCur, LONG* pNext, LONG w, bool bRightToLeft)
{
    std::memset(pNext, 0, static_cast<std::size_t>(w) * sizeof(LONG));
    const LONG step = bRightToLeft ? -1 : 1;
    LONG x = bRightToLeft ? w - 1 : 0;
    for (LONG i = 0; i < w; ++i, x += step) {
        const LONG v = pRow[x] + pCur[x];
        pRow[x] = v;
        const LONG e = v > 127 ? v - 255 : v;
        const LONG ahead = x + step;  // next pixel in the direction of travel
        const LONG behind = x - step;
        if (ahead >= 0 && ahead < w) {
            pRow[ahead] += Share(e, 7);
            pNext[ahead] += Share(e, 1);
        }
        if (behind >= 0 && behind < w) pNext[behind] += Share(e, 3);
        pNext[x] += Share(e, 5);
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
        for (int p = 0; p < 4; ++p) {
            if (!(mask & (1u << p))) continue;
            LONG* pRow = apLine[p];
            DiffuseRow(pRow, apCur[p], apNext[p], w, (y & 1) == 0);
            planes::WriteRowBits(pPDev->apPlaneCursor[p], w, [pRow](LONG x) { return pRow[x] > 127; });
            LONG* t = apCur[p];
            apCur[p] = apNext[p];
            apNext[p] = t;
        }
    }

    planes::FinishBand(pPDev, w, h);
    return TRUE;
}
