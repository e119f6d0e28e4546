// The items of the document property sheet: packing them from the sheet's
// device mode, reacting to the person's changes, and unpacking them into the
// device mode when the sheet is applied.
#include <cstring>

#include "uidrv.h"
#include "user/msgbox.h"
#include "user/wsprintf.h"

namespace {

constexpr WORD IDS_CPSUI_ORIENTATION = 64738, IDS_CPSUI_PORTRAIT = 64753, IDS_CPSUI_LANDSCAPE = 64754;
constexpr WORD IDS_CPSUI_COPIES = 64831, IDS_CPSUI_COLLATE = 64756, IDS_CPSUI_COLLATED = 64757;
constexpr WORD IDS_CPSUI_COLOR = 64764, IDS_CPSUI_MONOCHROME = 64765, IDS_4COLOR = 441, IDS_3COLOR = 443;
constexpr WORD IDS_CPSUI_FORMNAME = 64747, IDS_CPSUI_RESOLUTION = 64743;
constexpr WORD IDI_CPSUI_PORTRAIT = 64022, IDI_CPSUI_LANDSCAPE = 64023, IDI_CPSUI_COPY = 64046;
constexpr WORD IDI_CPSUI_COLLATE = 64030, IDI_CPSUI_MONO = 64039, IDI_CPSUI_COLOR = 64040;
constexpr WORD IDI_CPSUI_STD_FORM = 64054;
constexpr WORD IDI_CPSUI_RES_DRAFT = 64035, IDI_CPSUI_RES_LOW = 64036, IDI_CPSUI_RES_MEDIUM = 64037,
               IDI_CPSUI_RES_HIGH = 64038;
constexpr LONG MIN_COPIES = 1, MAX_COPIES = 9999;
constexpr int CCH_RESOLUTION = 8;

constexpr OPTITEMTEMPLATE OrientationItem[] = {IDS_CPSUI_ORIENTATION, 1, DMPUB_ORIENTATION, ITEM_ORIENTATION, 1008,
                                               2, TVOT_2STATES, IDS_CPSUI_PORTRAIT, IDI_CPSUI_PORTRAIT,
                                               IDS_CPSUI_LANDSCAPE, IDI_CPSUI_LANDSCAPE};
// The second parameter carries the range (IconID to lParam), set when packed.
constexpr OPTITEMTEMPLATE CopiesItem[] = {IDS_CPSUI_COPIES, 1, DMPUB_COPIES_COLLATE, ITEM_COPIES, 1001, 2,
                                          TVOT_UDARROW, 0, IDI_CPSUI_COPY, 0, 0};
constexpr OPTITEMTEMPLATE ColorItem[] = {IDS_CPSUI_COLOR, 1, DMPUB_NONE, ITEM_COLOR, 1002, 3, TVOT_3STATES,
                                         IDS_CPSUI_MONOCHROME, IDI_CPSUI_MONO, IDS_4COLOR, IDI_CPSUI_COLOR,
                                         IDS_3COLOR, IDI_CPSUI_COLOR};
// Lists whose entries are filled in when packed.
constexpr OPTITEMTEMPLATE FormNameItem[] = {IDS_CPSUI_FORMNAME, 1, DMPUB_FORMNAME, ITEM_FORMNAME, 1007, 0,
                                            TVOT_LISTBOX};
constexpr OPTITEMTEMPLATE ResolutionItem[] = {IDS_CPSUI_RESOLUTION, 1, DMPUB_PRINTQUALITY, ITEM_RESOLUTION, 1005, 0,
                                              TVOT_LISTBOX};

// The item and parameters just packed in the filling pass; null in the counting pass.
POPTITEM LastItem(POPTITEMPACK pPack) { return pPack->pOptItem ? pPack->pOptItem - 1 : nullptr; }

// A list item with cEntries entries of its own: packed from the template, then
// given a parameter array of that length. Returns the array (null in the
// counting pass) through ppParams.
BOOL PackListItem(POPTITEMPACK pPack, POPTITEMTEMPLATE pTemplate, WORD cEntries, LONG lSel, POPTPARAM* ppParams)
{
    *ppParams = nullptr;
    if (!PackOptItemTemplate(pPack, pTemplate, lSel)) return FALSE;
    POPTITEM pItem = LastItem(pPack);
    if (!pItem) return TRUE;
    POPTPARAM pParams = FillOutOptType(pItem->pOptType, pTemplate[OIT_TYPE], cEntries, pPack->pUiData->hHeap);
    if (!pParams) return FALSE;
    for (WORD i = 0; i < cEntries; ++i) pParams[i].cbSize = sizeof(OPTPARAM);
    *ppParams = pParams;
    return TRUE;
}

BOOL PackItemOrientation(POPTITEMPACK pPack, const DEVMODEW& dm)
{
    const bool landscape = (dm.dmFields & DM_ORIENTATION) && dm.dmOrientation == DMORIENT_LANDSCAPE;
    return PackOptItemTemplate(pPack, OrientationItem, landscape ? 1 : 0);
}

BOOL PackItemCopiesCollate(POPTITEMPACK pPack, const DEVMODEW& dm)
{
    const LONG copies = (dm.dmFields & DM_COPIES) ? dm.dmCopies : 1;
    if (!PackOptItemTemplate(pPack, CopiesItem, copies)) return FALSE;
    POPTITEM pItem = LastItem(pPack);
    if (!pItem) return TRUE;
    pItem->pOptType->pOptParam[1].IconID = MIN_COPIES;
    pItem->pOptType->pOptParam[1].lParam = MAX_COPIES;
    if (!PpdFindCollateCode(pPack->pUiData->pPpdData, TRUE)) return TRUE;
    auto* pCheck = static_cast<PEXTCHKBOX>(HeapAlloc(pPack->pUiData->hHeap, HEAP_ZERO_MEMORY, sizeof(EXTCHKBOX)));
    if (!pCheck) return FALSE;
    pCheck->cbSize = sizeof(EXTCHKBOX);
    pCheck->pTitle = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(IDS_CPSUI_COLLATE));
    pCheck->pCheckedName = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(IDS_CPSUI_COLLATED));
    pCheck->IconID = IDI_CPSUI_COLLATE;
    pItem->pExtChkBox = pCheck;
    if ((dm.dmFields & DM_COLLATE) && dm.dmCollate == DMCOLLATE_TRUE) pItem->Flags |= OPTIF_ECB_CHECKED;
    return TRUE;
}

BOOL PackItemColor(POPTITEMPACK pPack, const DRVDEVMODE& dm)
{
    if (!pPack->pUiData->pPpdData->bColorDevice) return TRUE;
    LONG sel = 0;
    if (dm.dmPublic.dmColor != DMCOLOR_MONOCHROME) sel = dm.dmPrivate.bFourColor ? 1 : 2;
    return PackOptItemTemplate(pPack, ColorItem, sel);
}

// One entry per label of the working database; the device mode's form opens
// selected, and the standard label when it names no label.
BOOL PackItemFormName(POPTITEMPACK pPack, const DEVMODEW& dm)
{
    PUIDATA p = pPack->pUiData;
    const DWORD cLabels = GetLabelNum(p->pLabelDb);
    LONG sel = 0;
    if (dm.dmFields & DM_FORMNAME) {
        const DWORD index = FindLabelNameIndex(p->pLabelDb, dm.dmFormName);
        if (index < cLabels) sel = static_cast<LONG>(index);
    }
    POPTPARAM pParams;
    if (!PackListItem(pPack, FormNameItem, static_cast<WORD>(cLabels), sel, &pParams)) return FALSE;
    if (!pParams) return TRUE;
    for (DWORD i = 0; i < cLabels; ++i) {
        pParams[i].pData = p->pLabelDb[i].szLabelName;
        pParams[i].IconID = IDI_CPSUI_STD_FORM;
    }
    if (cLabels) p->labelWork = p->pLabelDb[sel];
    return TRUE;
}

WORD ResolutionIcon(LONG dpi)
{
    if (dpi <= 300) return IDI_CPSUI_RES_DRAFT;
    if (dpi <= 600) return IDI_CPSUI_RES_LOW;
    if (dpi <= 1200) return IDI_CPSUI_RES_MEDIUM;
    return IDI_CPSUI_RES_HIGH;
}

BOOL PackItemResolution(POPTITEMPACK pPack, const DEVMODEW& dm)
{
    PUIDATA p = pPack->pUiData;
    LONG sel = 0;
    if (dm.dmFields & DM_PRINTQUALITY)
        for (DWORD i = 0; i < p->cResolutions; ++i)
            if (p->pResolutions[2 * i] == dm.dmPrintQuality) {
                sel = static_cast<LONG>(i);
                break;
            }
    POPTPARAM pParams;
    if (!PackListItem(pPack, ResolutionItem, static_cast<WORD>(p->cResolutions), sel, &pParams)) return FALSE;
    if (!pParams) return TRUE;
    for (DWORD i = 0; i < p->cResolutions; ++i) {
        auto* pText = static_cast<LPWSTR>(HeapAlloc(p->hHeap, HEAP_ZERO_MEMORY, CCH_RESOLUTION * sizeof(WCHAR)));
        if (!pText) return FALSE;
        wsprintfW(pText, u"%ld", p->pResolutions[2 * i]);
        pParams[i].pData = pText;
        pParams[i].IconID = ResolutionIcon(p->pResolutions[2 * i]);
    }
    return TRUE;
}

const OPTITEM* FindItem(const OPTITEM* pItems, WORD cItems, WORD userData)
{
    for (WORD i = 0; i < cItems; ++i)
        if (pItems[i].UserData == userData) return &pItems[i];
    return nullptr;
}

}  // namespace

BOOL PackDocumentPropertyItems(POPTITEMPACK pPack)
{
    const DRVDEVMODE& dm = pPack->pUiData->devmode;
    return PackItemOrientation(pPack, dm.dmPublic) && PackItemCopiesCollate(pPack, dm.dmPublic) &&
           PackItemColor(pPack, dm) && PackItemFormName(pPack, dm.dmPublic) && PackItemFeed(pPack) &&
           PackItemResolution(pPack, dm.dmPublic) && PackItemDeviceOptions(pPack, &dm) && PackItemHelp(pPack);
}

void UnpackDocumentPropertiesItems(PUIDATA p, const OPTITEM* pItems, WORD cItems)
{
    DRVDEVMODE& dm = p->devmode;
    for (WORD i = 0; i < cItems; ++i) {
        const OPTITEM& item = pItems[i];
        switch (item.UserData) {
        case ITEM_ORIENTATION:
            dm.dmPublic.dmOrientation = item.Sel == 1 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
            break;
        case ITEM_COPIES:
            dm.dmPublic.dmCopies = static_cast<SHORT>(item.Sel);
            if (item.pExtChkBox) dm.dmPublic.dmCollate = (item.Flags & OPTIF_ECB_CHECKED) ? 1 : 0;
            break;
        case ITEM_COLOR:
            dm.dmPublic.dmColor = item.Sel != 0 ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
            dm.dmPrivate.bFourColor = item.Sel == 1 ? 1 : 0;
            break;
        case ITEM_RESOLUTION:
            if (item.Sel >= 0 && static_cast<DWORD>(item.Sel) < p->cResolutions) {
                // Both resolutions, as validation keeps them: the render library reads either.
                dm.dmPublic.dmPrintQuality = static_cast<SHORT>(p->pResolutions[2 * item.Sel]);
                dm.dmPublic.dmYResolution = static_cast<SHORT>(p->pResolutions[2 * item.Sel]);
            }
            break;
        case ITEM_FORMNAME:
            if (item.Sel >= 0 && static_cast<DWORD>(item.Sel) < GetLabelNum(p->pLabelDb)) {
                LPCWSTR pName = p->pLabelDb[item.Sel].szLabelName;
                dm.dmPublic.dmFields &= ~(DM_PAPERLENGTH | DM_PAPERWIDTH);
                dm.dmPublic.dmFields |= DM_FORMNAME;
                CopyStringW(dm.dmPublic.dmFormName, pName, CCHFORMNAME);
                dm.dmPublic.dmPaperSize = static_cast<SHORT>(GetFormIndex(p->hPrinter, pName));
            }
            break;
        default: UnpackDeviceOption(item, &dm); break;
        }
    }
}

LONG DocumentPropertyCallback(PCPSUICBPARAM pParam)
{
    if (!pParam) return CPSUICB_ACTION_NONE;
    auto* p = reinterpret_cast<PUIDATA>(pParam->UserData);
    if (!ValidUiData(p)) return CPSUICB_ACTION_NONE;
    p->hDlg = pParam->hDlg;
    if (!p->bPermission) return CPSUICB_ACTION_NONE;
    POPTITEM pItem = pParam->pCurItem;

    switch (pParam->Reason) {
    case CPSUICB_REASON_SEL_CHANGED:
    case CPSUICB_REASON_PUSHBUTTON:  // the Feed and Help buttons are callback push buttons
        if (!pItem) break;
        if (pItem->UserData == ITEM_FORMNAME && pItem->Sel >= 0 &&
            static_cast<DWORD>(pItem->Sel) < GetLabelNum(p->pLabelDb))
            p->labelWork = p->pLabelDb[pItem->Sel];
        else if (pItem->UserData == ITEM_FEED)
            SendFeed(p->hPrinter, p->pwstrPortName, &p->labelWork, &p->devmode);
        else if (pItem->UserData == ITEM_HELP)
            WinHelpW(p->hDlg, p->pwstrHelpFile, HELP_FINDER, 0);
        break;
    case CPSUICB_REASON_ECB_CHANGED:
        if (pItem) pItem->Flags |= OPTIF_CHANGED;
        return CPSUICB_ACTION_REINIT_ITEMS;
    case CPSUICB_REASON_APPLYNOW:
        UnpackDocumentPropertiesItems(p, pParam->pOptItem, pParam->cOptItem);
        pParam->Result = CPSUI_OK;
        return CPSUICB_ACTION_ITEMS_APPLIED;
    case CPSUICB_REASON_ITEMS_REVERTED: return CPSUICB_ACTION_OPTIF_CHANGED;
    default: break;
    }
    return CPSUICB_ACTION_NONE;
}
