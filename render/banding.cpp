// The band walk: DrvStartBanding opens the page and its first band,
// DrvNextBand sends each finished band and moves on until the page is done.
#include "banding.h"
#include "channel.h"
#include "commands.h"
#include "engine/engine.h"

namespace {

bool PassThrough(const PDEV* pPDev) { return pPDev->pPrinterProp && pPDev->pPrinterProp->bPassThrough; }

// A band surface this code can read and erase: 24 bits per pixel, a line
// stride that holds a whole line.
bool ValidBandSurface(const SURFOBJ* pso)
{
    if (!pso->pvScan0 || pso->iBitmapFormat != BMF_24BPP) return false;
    if (pso->sizlBitmap.cx <= 0 || pso->sizlBitmap.cy <= 0) return false;
    const long long cbLine = 3LL * pso->sizlBitmap.cx;
    return pso->lDelta >= cbLine || -static_cast<long long>(pso->lDelta) >= cbLine;
}

// Fills a rectangle of the band surface with white; the engine clips it to the surface.
void EraseToWhite(SURFOBJ* pso, RECTL rcl) { EngEraseSurface(pso, &rcl, 0x00FFFFFF); }

PPDEV CheckBandCall(SURFOBJ* pso, POINTL* pptl)
{
    PPDEV pPDev = PdevOfSurface(pso);
    if (pPDev && (!pptl || !ValidBandSurface(pso))) {
        EngSetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return pPDev;
}

LONG Smaller(LONG a, LONG b) { return a < b ? a : b; }

}  // namespace

BOOL DrvStartBanding(SURFOBJ* pso, POINTL* pptl)
{
    PPDEV pPDev = CheckBandCall(pso, pptl);
    if (!pPDev) return FALSE;
    if (PassThrough(pPDev)) {
        pptl->x = 0;
        pptl->y = 0;
        return TRUE;
    }
    if (!(pPDev->flPdev & PDEVF_PAGESTARTED)) {
        ++pPDev->cPages;
        BeginPage(pPDev);
    }
    if (pPDev->flPdev & PDEVF_ABORT) return FALSE;
    pPDev->rclBand = {0, 0, Smaller(pPDev->cxPixels, pso->sizlBitmap.cx), Smaller(pPDev->cyPixels, pso->sizlBitmap.cy)};
    pPDev->cBands = 0;
    EraseToWhite(pso, pPDev->rclBand);
    pptl->x = 0;
    pptl->y = 0;
    pPDev->flPdev |= PDEVF_PAGESTARTED;
    return TRUE;
}

BOOL DrvNextBand(SURFOBJ* pso, POINTL* pptl)
{
    PPDEV pPDev = CheckBandCall(pso, pptl);
    if (!pPDev) return FALSE;
    if (pPDev->flPdev & PDEVF_ABORT) return FALSE;
    if (PassThrough(pPDev)) {
        pptl->x = -1;
        pptl->y = -1;
        return TRUE;
    }
    RECTL& rcl = pPDev->rclBand;
    const LONG cx = rcl.right - rcl.left;
    const LONG cy = rcl.bottom - rcl.top;
    // The band sits at the surface origin; never read past the surface.
    if (cx <= pso->sizlBitmap.cx && cy <= pso->sizlBitmap.cy)
        RasterOut(pPDev, static_cast<const BYTE*>(pso->pvScan0), cx, cy, pso->lDelta);

    if (pPDev->dm.dmPublic.dmOrientation == DMORIENT_LANDSCAPE) {
        rcl.left = rcl.right;
        rcl.right = Smaller(rcl.right + pso->sizlBitmap.cx, pPDev->cxPixels);
    } else {
        rcl.top = rcl.bottom;
        rcl.bottom = Smaller(rcl.bottom + pso->sizlBitmap.cy, pPDev->cyPixels);
    }
    ++pPDev->cBands;

    if (rcl.left < pPDev->cxPixels && rcl.top < pPDev->cyPixels) {
        EraseToWhite(pso, {0, 0, rcl.right - rcl.left, rcl.bottom - rcl.top});
        pptl->x = rcl.left;
        pptl->y = rcl.top;
        return TRUE;
    }
    ClosePage(pPDev);
    pptl->x = -1;
    pptl->y = -1;
    pPDev->flPdev &= ~PDEVF_PAGESTARTED;
    return TRUE;
}
