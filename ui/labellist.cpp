// The label list item of the printer sheet: one list entry per label of the
// working database, with the push button that opens the label editor.
#include <cstring>

#include "labeleditor.h"

namespace {

LPWSTR ResourceId(WORD id) { return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(id)); }

}  // namespace

POPTTYPE FillLabelOptType(PUIDATA p)
{
    if (!ValidUiData(p) || !p->pLabelDb) return nullptr;
    const DWORD cLabels = GetLabelNum(p->pLabelDb);
    if (cLabels == 0 || cLabels > 0xFFFF) return nullptr;
    auto* pOptType = static_cast<POPTTYPE>(HeapAlloc(p->hHeap, HEAP_ZERO_MEMORY, sizeof(OPTTYPE)));
    if (!pOptType) return nullptr;
    POPTPARAM pParams = FillOutOptType(pOptType, TVOT_LISTBOX, cLabels, p->hHeap);
    if (!pParams) {
        HeapFree(p->hHeap, 0, pOptType);
        return nullptr;
    }
    for (DWORD i = 0; i < cLabels; ++i) {
        pParams[i].cbSize = sizeof(OPTPARAM);
        pParams[i].pData = p->pLabelDb[i].szLabelName;
        pParams[i].IconID = IDI_CPSUI_LABEL;
    }
    return pOptType;
}

void FreeLabelOptType(PUIDATA p, POPTTYPE pOptType)
{
    if (!ValidUiData(p) || !pOptType) return;
    if (pOptType->pOptParam) HeapFree(p->hHeap, 0, pOptType->pOptParam);
    HeapFree(p->hHeap, 0, pOptType);
}

BOOL PackItemLabelList(POPTITEMPACK pPack)
{
    PUIDATA p = pPack->pUiData;
    if (!ValidUiData(p) || !p->pLabelDb || GetLabelNum(p->pLabelDb) == 0) return FALSE;
    if (pPack->pOptItem) {
        POPTTYPE pOptType = FillLabelOptType(p);
        auto* pExtPush = static_cast<PEXTPUSH>(HeapAlloc(p->hHeap, HEAP_ZERO_MEMORY, sizeof(EXTPUSH)));
        if (!pOptType || !pExtPush) {
            FreeLabelOptType(p, pOptType);
            if (pExtPush) HeapFree(p->hHeap, 0, pExtPush);
            return FALSE;
        }
        // A callback push button: the common UI calls the sheet's own callback
        // with CPSUICB_REASON_EXTPUSH.
        pExtPush->cbSize = sizeof(EXTPUSH);
        pExtPush->pTitle = ResourceId(IDS_LABEL_PROPERTY);

        POPTITEM pItem = pPack->pOptItem;
        pItem->cbSize = sizeof(OPTITEM);
        pItem->Level = 1;
        pItem->Flags |= OPTIF_CALLBACK | OPTIF_EXT_IS_EXTPUSH;
        pItem->pName = ResourceId(IDS_LABEL_ALL);
        pItem->Sel = 0;
        pItem->pExtPush = pExtPush;
        pItem->pOptType = pOptType;
        pItem->UserData = LABELLIST_USERDATA;
        pItem->HelpIndex = LABELLIST_HELPINDEX;
        std::memcpy(&p->labelWork, &p->pLabelDb[0], sizeof(LABELDATA));
        ++pPack->pOptItem;
    }
    ++pPack->cOptItem;
    return TRUE;
}
