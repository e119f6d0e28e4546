// Turning item packers into the arrays of the common property sheet UI, and
// running CommonPropertySheetUIW from "compstui.dll".
#include <cstring>

#include "uidrv.h"

namespace {

// A string resource identifier where the common UI takes a string.
LPWSTR ResourceId(WORD id) { return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(id)); }

PVOID HeapZero(HANDLE hHeap, SIZE_T cb) { return HeapAlloc(hHeap, HEAP_ZERO_MEMORY, cb); }

// The form numbers, bin names and resolutions that the items of a sheet offer.
BOOL FillSheetChoices(PUIDATA p)
{
    DWORD cForms = 0;
    PFORM_INFO_1W pForms = GetDatabaseForms(p->hPrinter, &cForms);
    if (!pForms || cForms == 0) {
        FreeDatabaseForms(pForms);
        return FALSE;
    }
    const DWORD cPapers = EnumPaperSizes(p->pLabelDb, pForms, cForms, nullptr, nullptr, nullptr, nullptr);
    if (cPapers == GDI_ERROR) {
        FreeDatabaseForms(pForms);
        return FALSE;
    }
    p->pwPaperIndex = static_cast<PWORD>(HeapZero(p->hHeap, (cPapers ? cPapers : 1) * sizeof(WORD)));
    if (p->pwPaperIndex) EnumPaperSizes(p->pLabelDb, pForms, cForms, nullptr, p->pwPaperIndex, nullptr, nullptr);
    FreeDatabaseForms(pForms);
    if (!p->pwPaperIndex) return FALSE;

    p->cBins = EnumBinNames(nullptr, p->pPpdData);
    p->pBinNames = static_cast<PWSTR>(HeapZero(p->hHeap, (p->cBins ? p->cBins : 1) * CCHBINNAME * sizeof(WCHAR)));
    if (!p->pBinNames) return FALSE;
    EnumBinNames(p->pBinNames, p->pPpdData);

    p->cResolutions = PsEnumResolutions(nullptr, p->pPpdData);
    p->pResolutions = static_cast<PLONG>(HeapZero(p->hHeap, (p->cResolutions ? p->cResolutions : 1) * 2 * sizeof(LONG)));
    if (!p->pResolutions) return FALSE;
    PsEnumResolutions(p->pResolutions, p->pPpdData);
    return TRUE;
}

}  // namespace

PCOMPROPSHEETUI PrepareDataForCommonUi(PUIDATA p, PDLGPAGE pDlgPage, PFNPACKITEM pfnPackItem)
{
    if (!ValidUiData(p) || !pfnPackItem || !FillSheetChoices(p)) return nullptr;

    auto* pCPSUI = static_cast<PCOMPROPSHEETUI>(HeapZero(p->hHeap, sizeof(COMPROPSHEETUI)));
    if (!pCPSUI) return nullptr;
    pCPSUI->cbSize = sizeof(COMPROPSHEETUI);
    pCPSUI->hInstCaller = ghInstance;
    pCPSUI->pCallerName = ResourceId(ddfn_CallerName(p));
    pCPSUI->UserData = reinterpret_cast<ULONG_PTR>(p);
    pCPSUI->pHelpFile = GetHelpFileName(p->dwUiModel, p->hPrinter, p->hHeap);
    pCPSUI->pDlgPage = pDlgPage;
    pCPSUI->cDlgPage = 0;
    pCPSUI->IconID = IDI_CPSUI_PRINTER;
    pCPSUI->pOptItemName = p->pwstrDriverName;
    pCPSUI->CallerVersion = CALLER_VERSION;
    pCPSUI->OptItemVersion = 0;
    pCPSUI->Flags = p->bPermission ? CPSUIF_UPDATE_PERMISSION : 0;

    OPTITEMPACK pack{0, 0, nullptr, nullptr, p};
    if (!pfnPackItem(&pack)) return nullptr;

    auto* pItems = static_cast<POPTITEM>(HeapZero(p->hHeap, (pack.cOptItem ? pack.cOptItem : 1) * sizeof(OPTITEM)));
    auto* pTypes = static_cast<POPTTYPE>(HeapZero(p->hHeap, (pack.cOptType ? pack.cOptType : 1) * sizeof(OPTTYPE)));
    if (!pItems || !pTypes) return nullptr;
    const WORD cItems = pack.cOptItem, cTypes = pack.cOptType;
    pack = OPTITEMPACK{0, 0, pItems, pTypes, p};
    pCPSUI->pOptItem = pItems;
    if (!pfnPackItem(&pack)) return nullptr;
    // Both passes of a packer must add the same items.
    if (pack.cOptItem != cItems || pack.cOptType != cTypes) return nullptr;
    pCPSUI->cOptItem = pack.cOptItem;
    return pCPSUI;
}

POPTPARAM FillOutOptType(POPTTYPE pOptType, DWORD dwType, DWORD cParams, HANDLE hHeap)
{
    pOptType->cbSize = sizeof(OPTTYPE);
    pOptType->Type = static_cast<BYTE>(dwType);
    pOptType->Count = static_cast<WORD>(cParams);
    auto* pParams = static_cast<POPTPARAM>(HeapZero(hHeap, (cParams ? cParams : 1) * sizeof(OPTPARAM)));
    pOptType->pOptParam = pParams;
    return pParams;
}

BOOL PackOptItemTemplate(POPTITEMPACK pPack, POPTITEMTEMPLATE pTemplate, LONG lSel)
{
    if (pPack->pOptItem) {
        POPTITEM pItem = pPack->pOptItem;
        pItem->cbSize = sizeof(OPTITEM);
        pItem->Flags |= OPTIF_CALLBACK;
        pItem->pOptType = pPack->pOptType;
        pItem->pName = ResourceId(pTemplate[OIT_NAME]);
        pItem->Sel = lSel;
        pItem->Level = static_cast<BYTE>(pTemplate[OIT_LEVEL]);
        pItem->DMPubID = static_cast<BYTE>(pTemplate[OIT_DMPUBID]);
        pItem->UserData = pTemplate[OIT_USERDATA];
        pItem->HelpIndex = pTemplate[OIT_HELPINDEX];
        const WORD cParams = pTemplate[OIT_COUNT];
        POPTPARAM pParams =
            FillOutOptType(pPack->pOptType, static_cast<BYTE>(pTemplate[OIT_TYPE]), cParams, pPack->pUiData->hHeap);
        if (!pParams) return FALSE;
        for (WORD i = 0; i < cParams; ++i) {
            pParams[i].cbSize = sizeof(OPTPARAM);
            pParams[i].pData = ResourceId(pTemplate[OIT_PARAMS + 2 * i]);
            pParams[i].IconID = pTemplate[OIT_PARAMS + 2 * i + 1];
        }
        ++pPack->pOptItem;
        ++pPack->pOptType;
    }
    ++pPack->cOptItem;
    ++pPack->cOptType;
    return TRUE;
}

BOOL PackOptItemGroupHeader(POPTITEMPACK pPack, WORD wName, WORD wIcon, WORD wHelpIndex)
{
    if (pPack->pOptItem) {
        POPTITEM pItem = pPack->pOptItem;
        pItem->cbSize = sizeof(OPTITEM);
        pItem->pOptType = nullptr;
        pItem->pName = ResourceId(wName);
        pItem->Level = 1;
        pItem->DMPubID = 0;
        pItem->Sel = wIcon;
        pItem->HelpIndex = wHelpIndex;
        ++pPack->pOptItem;
    }
    ++pPack->cOptItem;
    return TRUE;
}

LONG CallCompstui(HWND hWnd, PFNPROPSHEETUI pfnPropSheetUI, LPARAM lParam, LPDWORD pResult)
{
    HMODULE hCompstui = LoadLibraryA("compstui.dll");
    if (!hCompstui) return -1;
    using PFN_CommonPropertySheetUIW = LONG (*)(HWND, PFNPROPSHEETUI, LPARAM, LPDWORD);
    auto pfn = reinterpret_cast<PFN_CommonPropertySheetUIW>(GetProcAddress(hCompstui, "CommonPropertySheetUIW"));
    const LONG lResult = pfn ? pfn(hWnd, pfnPropSheetUI, lParam, pResult) : -1;
    FreeLibrary(hCompstui);
    return lResult;
}
