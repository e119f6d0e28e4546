// The printer property sheet: DrvDevicePropertySheets builds the item tree from
// the printer's UI data and hands it to the common property sheet UI;
// PrinterPropertyCallback reacts to what the user does in it.
#include "labeleditor.h"
#include "user/msgbox.h"

namespace {

constexpr COLORREF kRgbMask = 0x00FFFFFF;

void FreeSheetData(PUIDATA p)
{
    if (!p) return;
    HANDLE hHeap = p->hHeap;
    DelUiData(p);
    UnloadPpdFile(p->pPpdData);
    HeapDestroy(hHeap);
}

PUIDATA SheetData(const PROPSHEETUI_INFO* pInfo)
{
    auto* p = reinterpret_cast<PUIDATA>(pInfo->UserData);
    return ValidUiData(p) ? p : nullptr;
}

LONG InitSheet(PPROPSHEETUI_INFO pInfo, const DEVICEPROPERTYHEADER* pHeader)
{
    PUIDATA p = FillUiData(pHeader->hPrinter, nullptr);
    if (!ValidUiData(p)) return -1;
    p->bPermission = (pHeader->Flags & DPS_NOPERMISSION) == 0;
    PCOMPROPSHEETUI pCPSUI = PrepareDataForCommonUi(p, CPSUI_PDLGPAGE_PRINTERPROP, PackPrinterPropertyItems);
    if (!pCPSUI || !pInfo->pfnComPropSheet) {
        FreeSheetData(p);
        return -1;
    }
    pCPSUI->pfnCallBack = PrinterPropertyCallback;
    p->pfnComPropSheet = pInfo->pfnComPropSheet;
    p->hComPropSheet = pInfo->hComPropSheet;
    if (!pInfo->pfnComPropSheet(pInfo->hComPropSheet, CPSFUNC_ADD_PCOMPROPSHEETUI, reinterpret_cast<LPARAM>(pCPSUI),
                                0)) {
        FreeSheetData(p);
        return -1;
    }
    pInfo->UserData = reinterpret_cast<ULONG_PTR>(p);
    pInfo->Result = 0;
    return 1;
}

// The spot colour dialog of one entry; the colour is kept for Apply.
void ChooseSpotColor(PUIDATA p, ULONG_PTR iSpot)
{
    auto* pSpots = static_cast<SPOTCOLOR*>(p->pSpotColor);
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = p->hDlg;
    cc.rgbResult = pSpots[iSpot].crSpotColor;
    cc.lpCustColors = static_cast<COLORREF*>(p->pCustomColor);
    cc.Flags = CC_RGBINIT;
    if (ChooseColorW(&cc)) pSpots[iSpot].crSpotColor = cc.rgbResult & kRgbMask;
}

bool IsSpotItem(ULONG_PTR id) { return id >= ITEM_SPOT_FIRST && id <= ITEM_SPOT_LAST; }

}  // namespace

LBLUI_EXPORT LONG DrvDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam)
{
    if (!pPSUIInfo) return -1;
    const auto* pHeader = reinterpret_cast<const DEVICEPROPERTYHEADER*>(pPSUIInfo->lParamInit);
    if (!pHeader) return -1;
    switch (pPSUIInfo->Reason) {
    case PROPSHEETUI_REASON_INIT: return InitSheet(pPSUIInfo, pHeader);
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
        auto* pInfoHeader = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
        if (!SheetData(pPSUIInfo) || !pInfoHeader) return -1;
        pInfoHeader->Flags = PSUIHDRF_NOAPPLYNOW | PSUIHDRF_PROPTITLE;
        pInfoHeader->pTitle = pHeader->pszPrinterName;
        pInfoHeader->hInst = ghInstance;
        pInfoHeader->IconID = IDI_CPSUI_PRINTER;
        return 1;
    }
    case PROPSHEETUI_REASON_DESTROY: {
        PUIDATA p = SheetData(pPSUIInfo);
        if (!p) return -1;
        FreeSheetData(p);
        pPSUIInfo->UserData = 0;
        return 1;
    }
    case PROPSHEETUI_REASON_SET_RESULT: {
        const auto* pResult = reinterpret_cast<const SETRESULT_INFO*>(lParam);
        if (!SheetData(pPSUIInfo) || !pResult) return -1;
        pPSUIInfo->Result = static_cast<ULONG_PTR>(pResult->Result);
        return 1;
    }
    default: return -1;
    }
}

LONG PrinterPropertyCallback(PCPSUICBPARAM pParam)
{
    if (!pParam) return CPSUICB_ACTION_NONE;
    auto* p = reinterpret_cast<PUIDATA>(pParam->UserData);
    if (!ValidUiData(p)) return CPSUICB_ACTION_NONE;
    p->hDlg = pParam->hDlg;
    if (!p->bPermission) return CPSUICB_ACTION_NONE;
    POPTITEM pItem = pParam->pCurItem;
    const ULONG_PTR id = pItem ? pItem->UserData : 0;

    switch (pParam->Reason) {
    case CPSUICB_REASON_SEL_CHANGED:
    case CPSUICB_REASON_ECB_CHANGED:
    case CPSUICB_REASON_PUSHBUTTON:
        if (!pItem) return CPSUICB_ACTION_NONE;
        if (id == ITEM_LABEL_LIST) {
            if (pItem->Sel >= 0 && static_cast<DWORD>(pItem->Sel) < GetLabelNum(p->pLabelDb))
                p->labelWork = p->pLabelDb[pItem->Sel];
        } else if (IsSpotItem(id)) {
            if (pItem->Sel == 1)
                pItem->Flags &= ~OPTIF_EXT_DISABLED;
            else
                pItem->Flags |= OPTIF_EXT_DISABLED;
            pItem->Flags |= OPTIF_CHANGED;
            return CPSUICB_ACTION_REINIT_ITEMS;
        } else if (id == ITEM_FEED) {
            SendFeed(p->hPrinter, p->pwstrPortName, &p->labelWork, &p->devmode);
        } else if (id == ITEM_HELP) {
            WinHelpW(p->hDlg, p->pwstrHelpFile, HELP_FINDER, 0);
        }
        return CPSUICB_ACTION_NONE;
    case CPSUICB_REASON_EXTPUSH:
        if (!pItem) return CPSUICB_ACTION_NONE;
        if (id == ITEM_LABEL_LIST) {
            LabelProperty(ghInstance, p->hDlg, pParam);
            return PrnPropSelChange(p, pItem);
        }
        if (IsSpotItem(id)) ChooseSpotColor(p, id - ITEM_SPOT_FIRST);
        return CPSUICB_ACTION_NONE;
    case CPSUICB_REASON_APPLYNOW: return PrnPropApplyNow(p, pParam);
    default: return CPSUICB_ACTION_NONE;
    }
}
