// Size decisions of the band output: the compression of a plane and the byte
// budget of the band surface.
#include "banding.h"
#include "commands.h"
#include "compress.h"

DWORD ddfn_CalcDataSize(PDEV* pPDev, INT iPlane, DWORD cbPlane, LONG w, LONG h)
{
    if (iPlane < 0 || iPlane > 3 || w <= 0 || h <= 0) return cbPlane;
    const DWORD cbLine = (static_cast<DWORD>(w) + 7) / 8;
    const DWORD cLines = static_cast<DWORD>(h);
    if (static_cast<unsigned long long>(cbLine) * cLines != cbPlane) return cbPlane;
    if (pPDev->dm.dmPrivate.dwModel == 0) return Compress(pPDev, pPDev->apPlane[iPlane], cbLine, cLines);
    if (ddfn_MayCompress(pPDev)) return Compress2(pPDev, pPDev->apPlane[iPlane], cbLine, cLines);
    return cbPlane;
}

ULONG ddfn_CalcBandSize(const PDEV* pPDev, BOOL bLandscape, ULONG cbRow)
{
    const LONG lRows = bLandscape ? pPDev->cxPixels : pPDev->cyPixels;
    unsigned long long cb = lRows > 0 ? static_cast<unsigned long long>(cbRow) * static_cast<ULONG>(lRows) : 0;
    if (!ddfn_MayCompress(pPDev) && cb > BAND_BUDGET_LIMIT) cb = BAND_BUDGET_LIMIT;
    return cb > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<ULONG>(cb);
}
