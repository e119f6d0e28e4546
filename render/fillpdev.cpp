// Filling a new device record: printer data, label database, the validated
// device mode, the label's geometry in dots and the spot colours.
#include "driver.h"

BOOL FillPDEV(PDEV* pPDev, const DEVMODEW* pdm, LPCWSTR pwszName)
{
    pPDev->dwSignature = DRVEXTRA_SIGNATURE;
    pPDev->dwSignature2 = DRVEXTRA_SIGNATURE;
    pPDev->flPdev = 0;

    pPDev->pPrinterProp = GetPrinterProperties(pPDev->hPrinter, pPDev->pPpd);
    if (!pPDev->pPrinterProp) return FALSE;

    pPDev->pLabelDb = GetLabelDatabase(pPDev->hPrinter, pwszName);
    pPDev->cLabels = GetLabelNum(pPDev->pLabelDb);

    const BOOL bMetric = (pPDev->pPrinterProp->dwFlags & PP_METRIC) != 0;
    if (!SetDefaultDevMode(&pPDev->dm, pwszName, pPDev->pPpd, bMetric)) return FALSE;
    if (!ValidateSetDevMode(pPDev->hPrinter, &pPDev->dm, pdm, pPDev->pPpd)) return FALSE;

    if (!SetFormMetrics(pPDev)) return FALSE;

    const DEVMODEW& dm = pPDev->dm.dmPublic;
    const LONG lDpi = dm.dmPrintQuality;
    pPDev->cPages = 0;
    pPDev->cCopies = dm.dmCopies;
    pPDev->lScale = dm.dmScale;
    pPDev->lLogPixels = EngMulDiv(lDpi, pPDev->lScale, 100);

    const RECTL& rcl = pPDev->formInfo.rclImageArea;
    pPDev->cxPixels = MillionToPixel(rcl.right - rcl.left, lDpi);
    pPDev->cyPixels = MillionToPixel(rcl.bottom - rcl.top, lDpi);
    pPDev->cxPaper = (rcl.right - rcl.left) / 100;
    pPDev->cyPaper = (rcl.bottom - rcl.top) / 100;

    pPDev->cPlanes = dm.dmColor == DMCOLOR_COLOR ? 4 : 1;

    pPDev->pSpotColor = static_cast<PSPOTCOLOR>(GetProperty(pPDev->hPrinter, PROP_SPOTCOLOR));
    if (!pPDev->pSpotColor) return FALSE;
    if (pPDev->dm.dmPrivate.bFourColor == 0) pPDev->pSpotColor[0].bSpotColor = 0;
    return TRUE;
}
