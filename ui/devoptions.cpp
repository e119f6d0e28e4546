// The device option items of the document sheet: two- and three-state items
// over the switches and halftoning of the private device mode, each offered on
// the models that have the feature.
#include "uidrv.h"

namespace {

constexpr WORD IDI_CPSUI_GENERIC_OPTION = 64022;  // rotation states
constexpr WORD IDI_ROTATION = 2000;
constexpr WORD IDI_CPSUI_OFF = 64007;
constexpr WORD IDI_CPSUI_ON = 64008;
constexpr WORD IDI_CPSUI_HALFTONE = 64058;

// name, level, DMPubID, user data, help index, count, type, (text, icon)...
constexpr OPTITEMTEMPLATE RotateItem[] = {340, 1, DMPUB_NONE, ITEM_ROTATE, 1015, 2, TVOT_2STATES,
                                          342, IDI_CPSUI_GENERIC_OPTION, 343, IDI_ROTATION};
constexpr OPTITEMTEMPLATE InkSaveItem[] = {320, 1, DMPUB_NONE, ITEM_RIBBONSAVER, 1010, 2, TVOT_2STATES,
                                           381, IDI_CPSUI_OFF, 380, IDI_CPSUI_ON};
constexpr OPTITEMTEMPLATE BackFeedItem[] = {330, 1, DMPUB_NONE, ITEM_BACKFEED, 1011, 2, TVOT_2STATES,
                                            381, IDI_CPSUI_OFF, 380, IDI_CPSUI_ON};
constexpr OPTITEMTEMPLATE ReturnItem[] = {335, 1, DMPUB_NONE, ITEM_AUTOFEED, 1020, 2, TVOT_2STATES,
                                          381, IDI_CPSUI_OFF, 380, IDI_CPSUI_ON};
constexpr OPTITEMTEMPLATE CompItem[] = {325, 1, DMPUB_NONE, ITEM_COMPRESSION, 1025, 2, TVOT_2STATES,
                                        381, IDI_CPSUI_OFF, 380, IDI_CPSUI_ON};
constexpr OPTITEMTEMPLATE MirrorItem[] = {480, 1, DMPUB_NONE, ITEM_MIRROR, 1012, 2, TVOT_2STATES,
                                          381, IDI_CPSUI_OFF, 380, IDI_CPSUI_ON};
constexpr OPTITEMTEMPLATE GradItem[] = {450, 1, DMPUB_NONE, ITEM_HALFTONE, 1014, 3, TVOT_3STATES,
                                        451, IDI_CPSUI_HALFTONE, 452, IDI_CPSUI_HALFTONE, 453, IDI_CPSUI_HALFTONE};
constexpr OPTITEMTEMPLATE GradhItem[] = {450, 1, DMPUB_NONE, ITEM_HALFTONE, 1014, 2, TVOT_2STATES,
                                         451, IDI_CPSUI_HALFTONE, 452, IDI_CPSUI_HALFTONE};

LONG OnOff(DWORD b) { return b ? 1 : 0; }

}  // namespace

BOOL PackItemDeviceOptions(POPTITEMPACK pPack, const DRVDEVMODE* pdm)
{
    const DRVEXTRA& x = pdm->dmPrivate;
    const DWORD model = pPack->pUiData->dwUiModel;
    const bool noSaverOrMirror = model == 2 || model == 7 || model == 8 || model == 10;

    if (!PackOptItemTemplate(pPack, RotateItem, x.bBottomUp ? 0 : 1)) return FALSE;
    if (!noSaverOrMirror && !PackOptItemTemplate(pPack, InkSaveItem, OnOff(x.bRibbonSaver))) return FALSE;
    if (model == 0 && !PackOptItemTemplate(pPack, BackFeedItem, OnOff(x.bBackFeed))) return FALSE;
    if (model != 0 && !PackOptItemTemplate(pPack, ReturnItem, OnOff(x.bAutoFeed))) return FALSE;
    if (model == 7 && !PackOptItemTemplate(pPack, CompItem, OnOff(x.bCompression))) return FALSE;
    if (!noSaverOrMirror && model != 0 && !PackOptItemTemplate(pPack, MirrorItem, OnOff(x.bMirror))) return FALSE;
    // A halftoning the item does not offer (out of range, or error diffusion on
    // model 10) opens on the first method rather than on no valid choice.
    POPTITEMTEMPLATE grad = model == 10 ? GradhItem : GradItem;
    const LONG sel = x.iHalftone >= 0 && x.iHalftone < grad[OIT_COUNT] ? x.iHalftone : 0;
    return PackOptItemTemplate(pPack, grad, sel);
}

BOOL UnpackDeviceOption(const OPTITEM& item, DRVDEVMODE* pdm)
{
    DRVEXTRA& x = pdm->dmPrivate;
    const DWORD on = item.Sel != 0 ? 1 : 0;
    switch (item.UserData) {
    case ITEM_ROTATE: x.bBottomUp = 1 - on; return TRUE;
    case ITEM_RIBBONSAVER: x.bRibbonSaver = on; return TRUE;
    case ITEM_BACKFEED: x.bBackFeed = on; return TRUE;
    case ITEM_AUTOFEED: x.bAutoFeed = on; return TRUE;
    case ITEM_COMPRESSION: x.bCompression = on; return TRUE;
    case ITEM_MIRROR: x.bMirror = on; return TRUE;
    case ITEM_HALFTONE: x.iHalftone = item.Sel; return TRUE;
    default: return FALSE;
    }
}
