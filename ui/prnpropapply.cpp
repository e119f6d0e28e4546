// The printer sheet's label list after the editor, and Apply: the printer
// properties, colour tables and label database stored, the spooler's forms
// brought into line with the labels.
#include <cstring>

#include "labeleditor.h"

namespace {

bool SameDatabase(const LABELDATA* a, const LABELDATA* b)
{
    const DWORD n = GetLabelNum(a);
    return n == GetLabelNum(b) && (n == 0 || std::memcmp(a, b, n * sizeof(LABELDATA)) == 0);
}

// Every label of the database as a printer form of its name and exact size.
void PutLabelForms(HANDLE hPrinter, const LABELDATA* pDb)
{
    for (DWORD i = 0, n = GetLabelNum(pDb); i < n; ++i) {
        const LABELDATA& label = pDb[i];
        WCHAR name[CCHLABELNAME];
        CopyStringW(name, label.szLabelName, CCHLABELNAME);
        FORM_INFO_1W form{};
        form.Flags = FORM_PRINTER;
        form.pName = name;
        form.Size = SIZEL{label.lWidth, label.lHeight};
        form.ImageableArea = RECTL{0, 0, label.lWidth, label.lHeight};
        if (GetFormIndex(hPrinter, name) != 0)
            SetFormW(hPrinter, name, 1, reinterpret_cast<LPBYTE>(&form));
        else
            AddFormW(hPrinter, 1, reinterpret_cast<LPBYTE>(&form));
    }
}

// Deletes the forms of the labels of pOld that pNew no longer has.
void DeleteGoneForms(HANDLE hPrinter, const LABELDATA* pOld, PLABELDATA pNew)
{
    for (DWORD i = 0, n = GetLabelNum(pOld); i < n; ++i) {
        WCHAR name[CCHLABELNAME];
        CopyStringW(name, pOld[i].szLabelName, CCHLABELNAME);
        if (!FindLabelData(pNew, name)) DeleteFormW(hPrinter, name);
    }
}

}  // namespace

LONG PrnPropSelChange(PUIDATA p, POPTITEM pItem)
{
    POPTTYPE pNew = FillLabelOptType(p);
    if (!pNew) return CPSUICB_ACTION_NONE;  // out of memory: the old list and its names stay
    FreeLabelOptType(p, pItem->pOptType);
    pItem->pOptType = pNew;
    const LONG cLabels = static_cast<LONG>(GetLabelNum(p->pLabelDb));
    if (pItem->Sel >= cLabels) pItem->Sel = cLabels - 1;
    if (pItem->Sel < 0) pItem->Sel = 0;
    p->labelWork = p->pLabelDb[pItem->Sel];
    pItem->Flags |= OPTIF_CHANGED;
    return CPSUICB_ACTION_REINIT_ITEMS;
}

void UnpackPrinterPropertiesItems(PUIDATA p, POPTITEM pItems, WORD cItems)
{
    auto* pSpots = static_cast<SPOTCOLOR*>(p->pSpotColor);
    for (WORD i = 0; pItems && i < cItems; ++i) {
        const OPTITEM& item = pItems[i];
        const DWORD dwSel = item.Sel == 1 ? 1 : 0;
        if (item.UserData == ITEM_EXPANSION_RAM)
            p->prnProps.bExpansionRAM = dwSel;
        else if (item.UserData == ITEM_PASS_THROUGH)
            p->prnProps.bPassThrough = dwSel;
        else if (item.UserData >= ITEM_SPOT_FIRST && item.UserData <= ITEM_SPOT_LAST)
            pSpots[item.UserData - ITEM_SPOT_FIRST].bSpotColor = dwSel;
    }
}

// Every spooler write of one Apply happens here, in this order.
LONG PrnPropApplyNow(PUIDATA p, PCPSUICBPARAM pParam)
{
    UnpackPrinterPropertiesItems(p, pParam->pOptItem, pParam->cOptItem);
    HANDLE h = p->hPrinter;
    SaveProperty(h, p->pSpotColor, PROP_SPOTCOLOR);
    SaveProperty(h, p->pCustomColor, PROP_CUSTOMCOLOR);
    SavePrinterProperties(h, &p->prnProps, sizeof(PRINTERPROP));
    if (!SameDatabase(p->pLabelDb, p->pLabelDbSaved)) {
        PutLabelForms(h, p->pLabelDb);
        SaveLabelData(h, p->pLabelDb);
        DeleteGoneForms(h, p->pLabelDbSaved, p->pLabelDb);
    }
    pParam->Result = CPSUI_OK;
    return CPSUICB_ACTION_ITEMS_APPLIED;
}
