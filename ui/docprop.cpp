// The document property entries: the device mode of a job, merged and
// validated without a dialog, or chosen by the person in the document sheet.
#include "uidrv.h"
#include "user/msgbox.h"

namespace {

constexpr WORD IDI_CPSUI_DOCUMENT = 64082;

// The sheet function's record of the call; FALSE when it has none.
PDOCUMENTPROPERTYHEADER HeaderOf(PPROPSHEETUI_INFO pInfo)
{
    return reinterpret_cast<PDOCUMENTPROPERTYHEADER>(pInfo->lParamInit);
}

BOOL WriteOutput(PUIDATA p, PDOCUMENTPROPERTYHEADER pHdr)
{
    return ConvertDevmodeOut(&p->devmode.dmPublic, pHdr->pdmIn, pHdr->pdmOut);
}

LONG InitSheet(PPROPSHEETUI_INFO pInfo, PDOCUMENTPROPERTYHEADER pHdr)
{
    PUIDATA p = FillUiData(pHdr->hPrinter, pHdr->pdmIn);
    if (!p) return -1;
    p->bPermission = (pHdr->fMode & DM_NOPERMISSION) == 0;
    PDLGPAGE pPages = (pHdr->fMode & DM_ADVANCED) ? CPSUI_PDLGPAGE_ADVDOCPROP : CPSUI_PDLGPAGE_DOCPROP;
    PCOMPROPSHEETUI pCPSUI = PrepareDataForCommonUi(p, pPages, PackDocumentPropertyItems);
    if (pCPSUI) {
        pCPSUI->pfnCallBack = DocumentPropertyCallback;
        p->pfnComPropSheet = pInfo->pfnComPropSheet;
        p->hComPropSheet = pInfo->hComPropSheet;
        if (pInfo->pfnComPropSheet(pInfo->hComPropSheet, CPSFUNC_ADD_PCOMPROPSHEETUI,
                                   reinterpret_cast<LPARAM>(pCPSUI), 0)) {
            pInfo->UserData = reinterpret_cast<ULONG_PTR>(p);
            pInfo->Result = 0;
            return 1;
        }
    }
    ReleaseUiData(p);
    return -1;
}

}  // namespace

LONG SimpleDocumentProperties(PDOCUMENTPROPERTYHEADER pHdr)
{
    pHdr->cbOut = DRVDEVMODE_SIZE;
    if (!pHdr->fMode || !pHdr->pdmOut) return DRVDEVMODE_SIZE;
    PUIDATA p = FillUiData(pHdr->hPrinter, pHdr->pdmIn);
    if (!p) return -1;
    // An output that could not be written is a failure, not a result.
    const BOOL ok = !(pHdr->fMode & (DM_UPDATE | DM_COPY)) || WriteOutput(p, pHdr);
    ReleaseUiData(p);
    return ok ? 1 : -1;
}

LONG PsDocumentProperties(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName, DEVMODEW* pdmOut, DEVMODEW* pdmIn,
                          DWORD fMode)
{
    DOCUMENTPROPERTYHEADER hdr{};
    hdr.cbSize = sizeof hdr;
    hdr.hPrinter = hPrinter;
    hdr.pszPrinterName = pDeviceName;
    hdr.pdmIn = pdmIn;
    hdr.pdmOut = pdmOut;
    hdr.cbOut = 0;
    hdr.fMode = fMode;
    if (!(fMode & DM_PROMPT)) return SimpleDocumentProperties(&hdr);
    DWORD result = 0;
    // Without the common UI there is no result: that is a failure.
    const LONG rc = CallCompstui(hWnd, DrvDocumentPropertySheets, reinterpret_cast<LPARAM>(&hdr), &result);
    if (rc < 0) return rc;
    return static_cast<LONG>(result);
}

LBLUI_EXPORT LONG DrvDocumentProperties(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName, DEVMODEW* pdmOutput,
                                        DEVMODEW* pdmInput, DWORD fMode)
{
    if (!fMode || !pdmOutput) return DRVDEVMODE_SIZE;
    const LONG rc = PsDocumentProperties(hWnd, hPrinter, pDeviceName, pdmOutput, pdmInput, fMode);
    if (rc > 0) return IDOK;
    if (rc == 0) return IDCANCEL;
    return rc;
}

LBLUI_EXPORT LONG DrvAdvancedDocumentProperties(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName,
                                                DEVMODEW* pdmOutput, DEVMODEW* pdmInput)
{
    if (!pdmOutput) return DRVDEVMODE_SIZE;
    return PsDocumentProperties(hWnd, hPrinter, pDeviceName, pdmOutput, pdmInput,
                                DM_ADVANCED | DM_PROMPT | DM_COPY) > 0
               ? 1
               : 0;
}

LBLUI_EXPORT LONG DrvDocumentPropertySheets(PPROPSHEETUI_INFO pInfo, LPARAM lParam)
{
    if (!pInfo) {
        auto* pHdr = reinterpret_cast<PDOCUMENTPROPERTYHEADER>(lParam);
        return pHdr ? SimpleDocumentProperties(pHdr) : -1;
    }
    PDOCUMENTPROPERTYHEADER pHdr = HeaderOf(pInfo);
    if (!pHdr) return -1;
    if (pInfo->Reason == PROPSHEETUI_REASON_INIT) return InitSheet(pInfo, pHdr);

    auto* p = reinterpret_cast<PUIDATA>(pInfo->UserData);
    if (!ValidUiData(p)) return -1;
    switch (pInfo->Reason) {
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
        auto* pHeader = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
        if (!pHeader) return -1;
        pHeader->Flags = PSUIHDRF_NOAPPLYNOW | PSUIHDRF_PROPTITLE;
        pHeader->pTitle = pHdr->pszPrinterName;
        pHeader->hInst = ghInstance;
        pHeader->IconID = IDI_CPSUI_DOCUMENT;
        return 1;
    }
    case PROPSHEETUI_REASON_DESTROY:
        ReleaseUiData(p);
        pInfo->UserData = 0;
        return 1;
    case PROPSHEETUI_REASON_SET_RESULT: {
        auto* pResult = reinterpret_cast<PSETRESULT_INFO>(lParam);
        if (!pResult) return -1;
        LRESULT result = pResult->Result;
        // A sheet that ended well but could not hand its device mode back has failed.
        if (result == CPSUI_OK && (pHdr->fMode & (DM_UPDATE | DM_COPY)) && !WriteOutput(p, pHdr))
            result = CPSUI_CANCEL;
        pInfo->Result = static_cast<ULONG_PTR>(result);
        return 1;
    }
    default: return -1;
    }
}
