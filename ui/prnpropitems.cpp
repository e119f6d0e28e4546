// The items of the printer property sheet: label list, Feed, expansion RAM,
// pass-through, spot colours and Help, in that order.
#include "labeleditor.h"

namespace {

constexpr WORD IDS_FEED = 490, IDS_EXPANSION_RAM = 470, IDS_WITH = 125, IDS_PASS_THROUGH = 475, IDS_WITHOUT = 381,
               IDS_PASS_WITH = 380, IDS_SPOT_COLOR = 460, IDS_SPOT_PROPERTY = 461, IDS_BLACK = 1010, IDS_HELP = 500;
constexpr WORD IDS_CPSUI_NONE = 64734;  // the common UI's "None"
constexpr WORD IDI_CPSUI_SPOT = 64040, IDI_CPSUI_HELP = 64075;
constexpr WORD HELP_FEED = 2003, HELP_SPOT = 2004, HELP_MEMORY = 2005, HELP_BUTTON = 2006, HELP_PASS_THROUGH = 2010;

constexpr OPTITEMTEMPLATE kFeedItem[] = {IDS_FEED, 1, 0, ITEM_FEED, HELP_FEED, 1, TVOT_PUSHBUTTON, IDS_FEED, 0};
constexpr OPTITEMTEMPLATE kHelpItem[] = {IDS_HELP, 1, 0, ITEM_HELP, HELP_BUTTON, 1, TVOT_PUSHBUTTON, IDS_HELP,
                                         IDI_CPSUI_HELP};
constexpr OPTITEMTEMPLATE kMemoryItem[] = {IDS_EXPANSION_RAM, 1, 0, ITEM_EXPANSION_RAM, HELP_MEMORY, 2, TVOT_2STATES,
                                           IDS_CPSUI_NONE, 0, IDS_WITH, 0};
constexpr OPTITEMTEMPLATE kPassThroughItem[] = {IDS_PASS_THROUGH, 1, 0, ITEM_PASS_THROUGH, HELP_PASS_THROUGH, 2,
                                                TVOT_2STATES, IDS_WITHOUT, 0, IDS_PASS_WITH, 0};

// The item PackOptItemTemplate has just filled (filling pass only).
POPTITEM LastItem(POPTITEMPACK pPack) { return pPack->pOptItem ? pPack->pOptItem - 1 : nullptr; }

LONG Switch(DWORD b) { return b ? 1 : 0; }

// A push button item whose press calls the sheet's callback.
BOOL PackPushButton(POPTITEMPACK pPack, POPTITEMTEMPLATE pTemplate)
{
    if (!PackOptItemTemplate(pPack, pTemplate, 0)) return FALSE;
    if (POPTITEM pItem = LastItem(pPack)) {
        pItem->pOptType->Style = OTS_PUSH_NO_DOT_DOT_DOT;
        pItem->pOptType->pOptParam[0].Style = PUSHBUTTON_TYPE_CALLBACK;
    }
    return TRUE;
}

}  // namespace

BOOL PackItemFeed(POPTITEMPACK pPack)
{
    if (pPack->pUiData->dwUiModel == 0) return TRUE;
    return PackPushButton(pPack, kFeedItem);
}

BOOL PackItemHelp(POPTITEMPACK pPack) { return PackPushButton(pPack, kHelpItem); }

BOOL PackItemMemory(POPTITEMPACK pPack)
{
    switch (pPack->pUiData->dwUiModel) {
    case 1:
    case 3:
    case 4:
    case 5:
    case 6: return PackOptItemTemplate(pPack, kMemoryItem, Switch(pPack->pUiData->prnProps.bExpansionRAM));
    default: return TRUE;
    }
}

BOOL PackItemPassThrough(POPTITEMPACK pPack)
{
    return PackOptItemTemplate(pPack, kPassThroughItem, Switch(pPack->pUiData->prnProps.bPassThrough));
}

BOOL PackItemSpot(POPTITEMPACK pPack)
{
    PUIDATA p = pPack->pUiData;
    if (!p->pPpdData->bColorDevice) return TRUE;
    if (!PackOptItemGroupHeader(pPack, IDS_SPOT_COLOR, IDI_CPSUI_SPOT, HELP_SPOT)) return FALSE;
    const auto* pSpots = static_cast<const SPOTCOLOR*>(p->pSpotColor);
    for (WORD i = 0; i < 4; ++i) {
        const WORD wName = static_cast<WORD>(IDS_BLACK + i);
        const OPTITEMTEMPLATE item[] = {wName, 2, 0, static_cast<WORD>(ITEM_SPOT_FIRST + i), HELP_SPOT, 2,
                                        TVOT_2STATES, wName, 0, IDS_SPOT_COLOR, 0};
        const LONG lSel = Switch(pSpots[i].bSpotColor);
        if (!PackOptItemTemplate(pPack, item, lSel)) return FALSE;
        POPTITEM pItem = LastItem(pPack);
        if (!pItem) continue;
        auto* pExt = static_cast<PEXTPUSH>(HeapAlloc(p->hHeap, HEAP_ZERO_MEMORY, sizeof(EXTPUSH)));
        if (!pExt) return FALSE;
        pExt->cbSize = sizeof(EXTPUSH);
        pExt->pTitle = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(IDS_SPOT_PROPERTY));
        pExt->pfnCallBack = reinterpret_cast<FARPROC>(&PrinterPropertyCallback);
        pItem->pExtPush = pExt;
        pItem->Flags |= OPTIF_EXT_IS_EXTPUSH;
        if (lSel == 0) pItem->Flags |= OPTIF_EXT_DISABLED;
    }
    return TRUE;
}

BOOL PackPrinterPropertyItems(POPTITEMPACK pPack)
{
    return PackItemLabelList(pPack) && PackItemFeed(pPack) && PackItemMemory(pPack) && PackItemPassThrough(pPack) &&
           PackItemSpot(pPack) && PackItemHelp(pPack);
}
