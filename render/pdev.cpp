// Validity of the device record, the micrometre-to-dot conversion and the
// render library's code-page query.
#include "pdev.h"

#include <cstddef>

#include "base/codepage.h"

// The guard fields open and close the record; the channel buffer lives inside it.
static_assert(offsetof(PDEV, dwSignature) == 0);
static_assert(offsetof(PDEV, dm) < offsetof(PDEV, pPrinterProp));
static_assert(offsetof(PDEV, flPdev) < offsetof(PDEV, formInfo));
static_assert(offsetof(PDEV, abSendBuf) + SEND_BUFFER_SIZE <= offsetof(PDEV, rclBand));
static_assert(offsetof(PDEV, pSpotColor) < offsetof(PDEV, dwSignature2));
static_assert(sizeof(PDEV) - offsetof(PDEV, dwSignature2) < 2 * sizeof(void*));

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
