// The working record of a sheet or query: made in its own heap from the printer's
// description, printer information, label database, colour tables, device mode
// and printer properties; torn down with DelUiData, UnloadPpdFile and HeapDestroy.
#include <algorithm>
#include <cstring>

#include "uidrv.h"

namespace {

// Releases what FillUiData acquired so far, then the heap with the record.
void Abandon(PUIDATA p, PVOID pPrinterInfo)
{
    DrvFreeMem(pPrinterInfo);
    DelUiData(p);
    UnloadPpdFile(p->pPpdData);
    HeapDestroy(p->hHeap);
}

}  // namespace

PUIDATA FillUiData(HANDLE hPrinter, const DEVMODEW* pdmInput)
{
    HANDLE hHeap = HeapCreate(0, UIDATA_HEAP_SIZE, 0);
    if (!hHeap) return nullptr;
    auto* p = static_cast<PUIDATA>(HeapAlloc(hHeap, HEAP_ZERO_MEMORY, sizeof(UIDATA)));
    if (!p) {
        HeapDestroy(hHeap);
        return nullptr;
    }
    p->hPrinter = hPrinter;
    p->hHeap = hHeap;
    p->pvGuardStart = p->pvGuardEnd = p;

    p->pPpdData = LoadPpdFile(hPrinter);
    if (!p->pPpdData) {
        Abandon(p, nullptr);
        return nullptr;
    }
    auto* pInfo = static_cast<PPRINTER_INFO_2W>(MyGetPrinter(hPrinter, 2));
    if (!pInfo) {
        Abandon(p, nullptr);
        return nullptr;
    }
    p->pwstrDriverName = GetStringFromUnicode(pInfo->pDriverName, hHeap);
    p->pwstrPortName = GetStringFromUnicode(pInfo->pPortName, hHeap);
    // The help file follows the printer's model, which the description gives.
    p->pwstrHelpFile = GetHelpFileName(p->pPpdData->dwLanguageLevel, hPrinter, hHeap);
    if (!p->pwstrDriverName || !p->pwstrPortName || !p->pwstrHelpFile) {
        Abandon(p, pInfo);
        return nullptr;
    }
    p->pLabelDb = GetLabelDatabase(hPrinter, pInfo->pPrinterName);
    p->pLabelDbSaved = p->pLabelDb ? GetLabelDatabase(hPrinter, pInfo->pPrinterName) : nullptr;
    if (!p->pLabelDbSaved) {
        Abandon(p, pInfo);
        return nullptr;
    }
    p->pSpotColor = GetProperty(hPrinter, PROP_SPOTCOLOR);
    p->pCustomColor = p->pSpotColor ? GetProperty(hPrinter, PROP_CUSTOMCOLOR) : nullptr;
    if (!p->pCustomColor) {
        Abandon(p, pInfo);
        return nullptr;
    }

    if (!SetDefaultDevMode(&p->devmode, p->pwstrDriverName, p->pPpdData, IsMetricCountry()) ||
        !ValidateSetDevMode(hPrinter, &p->devmode, pInfo->pDevMode, p->pPpdData) ||
        !ValidateSetDevMode(hPrinter, &p->devmode, pdmInput, p->pPpdData)) {
        Abandon(p, pInfo);
        return nullptr;
    }
    DrvFreeMem(pInfo);
    FORMCHECK check;
    ValidateDevModeForm(hPrinter, &p->devmode.dmPublic, &check);
    AddPrinterForms(hPrinter, p->pLabelDb);
    p->devmode.dmPublic.dmPaperSize = static_cast<SHORT>(GetFormIndex(hPrinter, p->devmode.dmPublic.dmFormName));

    PPRINTERPROP pProp = GetPrinterProperties(hPrinter, p->pPpdData);
    if (!pProp) {
        Abandon(p, nullptr);
        return nullptr;
    }
    const SIZE_T cb = std::min<SIZE_T>(pProp->wSize, sizeof(PRINTERPROP));
    std::memcpy(&p->prnProps, pProp, cb);
    p->prnProps.wVersion = PRINTERPROP_VERSION;
    p->prnProps.wSize = sizeof(PRINTERPROP);
    DrvFreeMem(pProp);

    p->dwUiModel = p->devmode.dmPrivate.dwModel;
    p->labelWork = p->pLabelDb[0];
    return p;
}

void DelUiData(PUIDATA p)
{
    if (!p) return;
    FreeLabelDatabase(p->pLabelDb);
    FreeLabelDatabase(p->pLabelDbSaved);
    DrvFreeMem(p->pSpotColor);
    DrvFreeMem(p->pCustomColor);
    p->pLabelDb = p->pLabelDbSaved = nullptr;
    p->pSpotColor = p->pCustomColor = nullptr;
}

void ReleaseUiData(PUIDATA p)
{
    if (!p) return;
    DelUiData(p);
    UnloadPpdFile(p->pPpdData);
    HeapDestroy(p->hHeap);  // the record itself lives in it
}
