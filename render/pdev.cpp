// Validity of the device record, the micrometre-to-dot conversion and the
// render library's code-page query.
#include "render/pdev.h"

#include "platform/codepage.h"

BOOL bValidatePDEV(const PDEV* pPDev)
{
    return pPDev && pPDev->dwSignature == DRVEXTRA_SIGNATURE && pPDev->dwSignature2 == DRVEXTRA_SIGNATURE;
}

PPDEV PdevOfSurface(const SURFOBJ* pso)
{
    PPDEV pPDev = pso ? reinterpret_cast<PPDEV>(pso->dhpdev) : nullptr;
    if (!bValidatePDEV(pPDev)) {
        EngSetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return pPDev;
}

LONG MillionToPixel(LONG lMicrons, LONG lDpi)
{
    return EngMulDiv(lMicrons, lDpi, 25400);
}

UINT MyGetACP()
{
    USHORT oem = 0;
    USHORT ansi = 0;
    EngGetCurrentCodePage(&oem, &ansi);
    return ansi;
}
