// Ordered dither of one band with an 8x8 threshold matrix (or the same matrix
// at double size), into the PDEV's planes.
#include <cstddef>

#include "halftone.h"
#include "kernels.h"
#include "planeutil.h"

namespace {

void RebuildColorTbl()
{
    // Only differing entries are written, so concurrent devices reading the
    // table never see a write.
    for (int i = 0; i < 256; ++i) {
        const LONG v = (i + 1) >> 2;
        if (ColorTbl[i] != v) ColorTbl[i] = v;
    }
}

// Thresholds of output row y for x mod 16, so that one row serves both the
// plain and the double-size matrix.
void RowThresholds(const LONG (*pM)[8], bool bDouble, LONG y, BYTE aThr[16])
{
    const LONG* pRow = pM[(bDouble ? y / 2 : y) % 8];
    for (int x = 0; x < 16; ++x) aThr[x] = static_cast<BYTE>(pRow[(bDouble ? x / 2 : x) % 8]);
}

}  // namespace

BOOL Dither(PDEV* pPDev, const BYTE* pBits, LONG cx, LONG cy, LONG lDelta, BOOL bLandscape)
{
    LONG w = 0, h = 0;
    if (!planes::PrepareBand(pPDev, pBits, cx, cy, bLandscape, &w, &h)) return FALSE;
    RebuildColorTbl();
    if (w == 0 || h == 0) return TRUE;

    planes::LineBuffers lines;
    if (!lines.Allocate(w, planes::IsColour(pPDev) ? 4 : 1)) return FALSE;
    LONG* const apLine[4] = {lines.Buffer(0), lines.Buffer(1), lines.Buffer(2), lines.Buffer(3)};

    const bool bHalftone0 = pPDev->dm.dmPrivate.iHalftone == HALFTONE_DITHER1;
    const bool bModel10 = pPDev->dm.dmPrivate.dwModel == 10;
    const LONG (*pM)[8] = bModel10 ? (bHalftone0 ? Dither2 : Dither1) : (bHalftone0 ? Dither1 : Dither2);
    const bool bDouble = bModel10 && bHalftone0;
    const unsigned mask = planes::HalftonedPlanes(pPDev);
    const std::ptrdiff_t cbRow = static_cast<std::ptrdiff_t>(planes::RowBytes(w));
    PBYTE* const apCursor = pPDev->apPlaneCursor;

    // Portrait rows without spot colours are dithered straight from the band:
    // the levels follow from the pixel, as the rebuilt ColorTbl gives them.
    const planes::RowKernels& k = planes::Kernels();
    const bool bColour = planes::IsColour(pPDev);
    const bool bDirectMono = !bLandscape && !bColour;
    // Plane 0 of such a colour job, when halftoned at all, has no ink.
    const bool bDirectColour = !bLandscape && bColour && !planes::AnySpotActive(pPDev) && (mask & 0xEu) == 0xEu;

    BYTE aThr[16];
    for (LONG y = 0; y < h; ++y) {
        RowThresholds(pM, bDouble, y, aThr);
        const BYTE* pRow = pBits + static_cast<std::ptrdiff_t>(y) * (bLandscape ? 3 : lDelta);
        if (bDirectMono) {
            k.DitherMono(pRow, w, aThr, apCursor[0]);
            apCursor[0] += cbRow;
            continue;
        }
        if (bDirectColour) {
            k.DitherColour(pRow, w, aThr, apCursor[1], apCursor[2], apCursor[3]);
            for (int p = 0; p < 4; ++p)
                if (mask & (1u << p)) apCursor[p] += cbRow;
            continue;
        }
        if (bLandscape) {
            Get1LineL(pPDev, pRow, apLine, w, lDelta, GETLINE_DITHER);
        } else {
            Get1LineP(pPDev, pRow, apLine, w, GETLINE_DITHER);
        }
        for (int p = 0; p < 4; ++p) {
            if (!(mask & (1u << p))) continue;
            k.DitherLevels(apLine[p], w, aThr, apCursor[p]);
            apCursor[p] += cbRow;
        }
    }

    planes::FinishBand(pPDev, w, h);
    return TRUE;
}
