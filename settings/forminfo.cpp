// The label that matches a form, and the geometry of the label in use.
#include <algorithm>

#include "settings/settings.h"

void FillPrinterFormInfoCommon(PPRINTERFORMINFO pInfo, const FORM_INFO_1W* pForm, const LABELDATA* pLabel)
{
    if (!pInfo || !pLabel) return;
    CopyStringW(pInfo->wszFormName, pForm ? pForm->pName : nullptr, CCHFORMNAME);
    pInfo->szlPaper = {pLabel->lWidth, pLabel->lHeight};
    pInfo->rclImageArea = {0, 0, pLabel->lWidth, pLabel->lHeight};
    pInfo->bLandscape = 0;
}

void FillStandardPrinterFormInfo(PPRINTERFORMINFO pInfo, const FORM_INFO_1W* pForm, PLABELDATA pLabel)
{
    if (!pInfo || !pLabel) return;
    CopyStringW(pInfo->wszLabelName, pLabel->szLabelName, CCHLABELNAME);
    FillPrinterFormInfoCommon(pInfo, pForm, pLabel);
    RECTL& r = pInfo->rclImageArea;
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min(r.right, pLabel->lWidth);
    r.bottom = std::min(r.bottom, pLabel->lHeight);
    pInfo->pLabel = pLabel;
}

DWORD FindLabelNameIndex(PLABELDATA pDb, LPCWSTR pName)
{
    PLABELDATA pLabel = FindLabelData(pDb, pName);
    return pLabel ? static_cast<DWORD>(pLabel - pDb) : 0;
}

BOOL FormSupportedOnPrinter(PLABELDATA pDb, const FORM_INFO_1W* pForm, PPRINTERFORMINFO pInfo, PVOID)
{
    if (!pDb || !pForm || !pForm->pName) return FALSE;
    PLABELDATA pLabel = FindLabelData(pDb, pForm->pName);
    if (!pLabel) return FALSE;
    if (pInfo) {
        FillStandardPrinterFormInfo(pInfo, pForm, pLabel);
        pInfo->iLabel = FindLabelNameIndex(pDb, pForm->pName);
    }
    return TRUE;
}
