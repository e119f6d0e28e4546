// The label of a device: the form its device mode names when the label
// database has a label of that name, else the standard label; then the
// orientation.
#include "driver.h"

BOOL SetFormMetrics(PDEV* pPDev)
{
    FORMCHECK check{};
    if (ValidateDevModeForm(pPDev->hPrinter, &pPDev->dm.dmPublic, &check) != 0 ||
        !FormSupportedOnPrinter(pPDev->pLabelDb, &check.fi, &pPDev->formInfo, nullptr)) {
        if (!SetDefaultPrinterForm(pPDev)) return FALSE;
    }
    AdjustForLandscape(pPDev);
    return TRUE;
}

BOOL SetDefaultPrinterForm(PDEV* pPDev)
{
    PLABELDATA pLabel = pPDev->pLabelDb;
    if (!pLabel) return FALSE;
    PRINTERFORMINFO& fi = pPDev->formInfo;
    CopyStringW(fi.wszFormName, pLabel->szLabelName, CCHFORMNAME);
    CopyStringW(fi.wszLabelName, pLabel->szLabelName, CCHLABELNAME);
    fi.rclImageArea = {0, 0, pLabel->lWidth, pLabel->lHeight};
    fi.szlPaper = {pLabel->lWidth, pLabel->lHeight};
    fi.iLabel = 0;
    fi.pLabel = pLabel;
    return TRUE;
}

void AdjustForLandscape(PDEV* pPDev)
{
    const DEVMODEW& dm = pPDev->dm.dmPublic;
    PRINTERFORMINFO& fi = pPDev->formInfo;
    if ((dm.dmFields & DM_ORIENTATION) && dm.dmOrientation == DMORIENT_LANDSCAPE) {
        const RECTL r = fi.rclImageArea;
        const SIZEL sz = fi.szlPaper;
        fi.rclImageArea = {r.top, sz.cx - r.right, r.bottom, sz.cx - r.left};
        fi.szlPaper = {sz.cy, sz.cx};
        fi.bLandscape = 1;
    } else {
        fi.bLandscape = 0;
    }
}
