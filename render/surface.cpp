// The band surface: a 24-bit bitmap as large as the byte budget allows, made
// smaller by halving the budget until the engine can create it.
#include "banding.h"
#include "driver.h"
#include "engine/engine.h"

namespace {

constexpr FLONG kBandBitmapFlags = BMF_TOPDOWN | BMF_NOZEROINIT | BMF_USERMEM;

bool Landscape(const PDEV* pPDev) { return pPDev->dm.dmPublic.dmOrientation == DMORIENT_LANDSCAPE; }

// Line size of the band in bytes: a landscape band is walked across the page,
// so its lines run down a page column.
ULONG LineSize(const PDEV* pPDev)
{
    const LONG lPixels = Landscape(pPDev) ? pPDev->cyPixels : pPDev->cxPixels;
    return lPixels > 0 && lPixels <= 0x7FFFFFFF / 3 ? static_cast<ULONG>(lPixels) * 3 : 0;
}

// The lines of the page, or the lines the budget holds rounded down to 16.
LONG FitLines(LONG lPage, ULONG cbBudget, ULONG cbLine)
{
    const ULONG cLines = cbBudget / cbLine;
    if (lPage <= 0) return 0;
    if (cLines >= static_cast<ULONG>(lPage)) return lPage;
    return static_cast<LONG>(cLines & ~15u);
}

PPDEV PdevOf(DHPDEV dhpdev)
{
    PPDEV pPDev = reinterpret_cast<PPDEV>(dhpdev);
    return bValidatePDEV(pPDev) ? pPDev : nullptr;
}

}  // namespace

SIZEL BandSizeForBudget(const PDEV* pPDev, ULONG cbBudget)
{
    const ULONG cbLine = LineSize(pPDev);
    if (cbLine == 0) return {0, 0};
    if (Landscape(pPDev)) return {FitLines(pPDev->cxPixels, cbBudget, cbLine), pPDev->cyPixels};
    return {pPDev->cxPixels, FitLines(pPDev->cyPixels, cbBudget, cbLine)};
}

HSURF DrvEnableSurface(DHPDEV dhpdev)
{
    PPDEV pPDev = PdevOf(dhpdev);
    if (!pPDev) {
        EngSetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const ULONG cbLine = LineSize(pPDev);
    ULONG cbBudget = cbLine ? ddfn_CalcBandSize(pPDev, Landscape(pPDev), cbLine) : 0;

    HBITMAP hbm = nullptr;
    for (; cbBudget != 0 && !hbm; cbBudget /= 2) {
        const SIZEL szl = BandSizeForBudget(pPDev, cbBudget);
        if (szl.cx <= 0 || szl.cy <= 0 || szl.cx > 0x7FFFFFFF / 3) continue;
        hbm = EngCreateBitmap(szl, szl.cx * 3, BMF_24BPP, kBandBitmapFlags, nullptr);
    }
    if (!hbm) return nullptr;

    if (!EngAssociateSurface(reinterpret_cast<HSURF>(hbm), pPDev->hdev, 0) ||
        !EngMarkBandingSurface(reinterpret_cast<HSURF>(hbm))) {
        EngDeleteSurface(reinterpret_cast<HSURF>(hbm));
        return nullptr;
    }
    pPDev->hsurfBand = reinterpret_cast<HSURF>(hbm);
    return pPDev->hsurfBand;
}

void DrvDisableSurface(DHPDEV dhpdev)
{
    PPDEV pPDev = PdevOf(dhpdev);
    if (!pPDev || !pPDev->hsurfBand) return;
    EngDeleteSurface(pPDev->hsurfBand);
    pPDev->hsurfBand = nullptr;
}
