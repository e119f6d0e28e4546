// Raster output of one band: plane buffers from the render heap, halftoning,
// compression where the model allows, and the framing of each plane.
#include <cstring>

#include "banding.h"
#include "channel.h"
#include "commands.h"
#include "halftone.h"

namespace {

void FreePlanes(PDEV* pPDev)
{
    for (int i = 0; i < 4; ++i) {
        HEAPFREE(pPDev->hHeap, pPDev->apPlane[i]);
        pPDev->apPlane[i] = nullptr;
        pPDev->apPlaneCursor[i] = nullptr;
    }
}

void SendCompressed(PDEV* pPDev, INT iPlane, DWORD cb)
{
    const BYTE abLength[4] = {BYTE(cb >> 24), BYTE(cb >> 16), BYTE(cb >> 8), BYTE(cb)};
    WriteChannel(pPDev, pPDev->dm.dmPrivate.dwModel == 0 ? "9," : "A,", 2);
    WriteChannel(pPDev, abLength, sizeof(abLength));
    WriteChannel(pPDev, ",", 1);
    WriteChannel(pPDev, pPDev->apPlane[iPlane], cb);
    WriteTerminator(pPDev);
}

// Uncompressed planes of a page form one block: "1," before the first band's
// bytes, LF NUL after the last band's. A null pb sends cb zero bytes.
void SendRaw(PDEV* pPDev, const BYTE* pb, DWORD cb)
{
    if (pPDev->cBands == 0) WriteChannel(pPDev, "1,", 2);
    if (pb) {
        WriteChannel(pPDev, pb, cb);
    } else {
        static const BYTE zeros[512] = {};
        while (cb > 0) {
            const DWORD n = cb < sizeof(zeros) ? cb : static_cast<DWORD>(sizeof(zeros));
            WriteChannel(pPDev, zeros, n);
            cb -= n;
        }
    }
    if (pPDev->rclBand.right == pPDev->cxPixels && pPDev->rclBand.bottom == pPDev->cyPixels)
        WriteTerminator(pPDev);
}

}  // namespace

BOOL RasterOut(PDEV* pPDev, const BYTE* pBits, LONG cx, LONG cy, LONG lDelta)
{
    if (lDelta == 0) lDelta = 3 * cx;
    const BOOL bLandscape = pPDev->formInfo.bLandscape == 1;
    const LONG w = bLandscape ? cy : cx;
    const LONG h = bLandscape ? cx : cy;
    if (!pBits || w <= 0 || h <= 0) return TRUE;
    const unsigned long long cbPlane64 = ((static_cast<unsigned long long>(w) + 7) / 8) * static_cast<ULONG>(h);
    if (cbPlane64 > 0xFFFFFFFFull - 64) return TRUE;
    const DWORD cbPlane = static_cast<DWORD>(cbPlane64);

    const ULONG cPlanes = ddfn_PlaneCount(pPDev);
    bool bReady = true;
    for (ULONG p = 0; p < cPlanes && bReady; ++p) {
        pPDev->apPlane[p] = static_cast<PBYTE>(HEAPALLOC(pPDev->hHeap, cbPlane));
        if (!pPDev->apPlane[p]) {
            bReady = false;
            break;
        }
        std::memset(pPDev->apPlane[p], 0, cbPlane);
        pPDev->apPlaneCursor[p] = pPDev->apPlane[p];
    }
    if (bReady) {
        const INT iHalftone = pPDev->dm.dmPrivate.iHalftone;
        if (iHalftone == HALFTONE_DITHER1 || iHalftone == HALFTONE_DITHER2)
            bReady = Dither(pPDev, pBits, cx, cy, lDelta, bLandscape) != FALSE;
        else if (iHalftone == HALFTONE_DIFFUSION)
            bReady = FloydSteinberg(pPDev, pBits, cx, cy, lDelta, bLandscape) != FALSE;
    }
    // A band that cannot be halftoned still goes out, blank: leaving out its
    // bytes (or, on the first band, the graphic header) would make the printer
    // read the commands that follow as raster data.
    if (!bReady) FreePlanes(pPDev);
    // The graphic header carries the page in the label's portrait orientation.
    const LONG cxPage = bLandscape ? pPDev->cyPixels : pPDev->cxPixels;
    const LONG cyPage = bLandscape ? pPDev->cxPixels : pPDev->cyPixels;
    for (ULONG p = ddfn_FirstPlane(pPDev); p < cPlanes; ++p) {
        const INT iPlane = static_cast<INT>(p);
        const DWORD cb = bReady ? ddfn_CalcDataSize(pPDev, iPlane, cbPlane, w, h) : cbPlane;
        if (pPDev->cBands == 0) ddfn_FirstBand(pPDev, iPlane, cxPage, cyPage);
        if (cb < cbPlane)
            SendCompressed(pPDev, iPlane, cb);
        else
            SendRaw(pPDev, pPDev->apPlane[iPlane], cbPlane);
    }
    FreePlanes(pPDev);
    return TRUE;
}
