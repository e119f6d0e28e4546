// The label list item of the printer sheet and the entry into the label editor,
// as the printer sheet needs them until the label editor itself is built in:
// the list shows the working database; the editor entry shows nothing and
// changes nothing.
#include "uidrv.h"

namespace {

constexpr WORD IDS_LABEL_ALL = 390, IDS_LABEL_PROPERTY = 394;
constexpr WORD IDI_CPSUI_FORM = 64054;
constexpr WORD HELP_LABEL_LIST = 2002;

}  // namespace

BOOL FillLabelOptType(PUIDATA p, POPTTYPE pOptType)
{
    const DWORD cLabels = GetLabelNum(p->pLabelDb);
    POPTPARAM pParams = FillOutOptType(pOptType, TVOT_LISTBOX, cLabels, p->hHeap);
    if (!pParams) return FALSE;
    for (DWORD i = 0; i < cLabels; ++i) {
        pParams[i].cbSize = sizeof(OPTPARAM);
        pParams[i].pData = p->pLabelDb[i].szLabelName;
        pParams[i].IconID = IDI_CPSUI_FORM;
    }
    return TRUE;
}

BOOL PackItemLabelList(POPTITEMPACK pPack)
{
    PUIDATA p = pPack->pUiData;
    if (pPack->pOptItem) {
        POPTITEM pItem = pPack->pOptItem;
        auto* pExt = static_cast<PEXTPUSH>(HeapAlloc(p->hHeap, HEAP_ZERO_MEMORY, sizeof(EXTPUSH)));
        if (!pExt || !FillLabelOptType(p, pPack->pOptType)) return FALSE;
        pExt->cbSize = sizeof(EXTPUSH);
        pExt->pTitle = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(IDS_LABEL_PROPERTY));
        pExt->pfnCallBack = reinterpret_cast<FARPROC>(&PrinterPropertyCallback);
        pItem->cbSize = sizeof(OPTITEM);
        pItem->Level = 1;
        pItem->Flags = OPTIF_CALLBACK | OPTIF_EXT_IS_EXTPUSH;
        pItem->UserData = ITEM_LABEL_LIST;
        pItem->pName = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(IDS_LABEL_ALL));
        pItem->Sel = 0;
        pItem->pExtPush = pExt;
        pItem->pOptType = pPack->pOptType;
        pItem->HelpIndex = HELP_LABEL_LIST;
        p->labelWork = p->pLabelDb[0];
        ++pPack->pOptItem;
        ++pPack->pOptType;
    }
    ++pPack->cOptItem;
    ++pPack->cOptType;
    return TRUE;
}

BOOL LabelProperty(HINSTANCE, HWND, PCPSUICBPARAM) { return TRUE; }
