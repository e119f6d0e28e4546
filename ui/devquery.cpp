// DevQueryPrintEx: whether a job's device mode can print on the printer, and
// if not, the reason from the string table.
#include "uidrv.h"

namespace {

constexpr WORD IDS_INVALID_RESOLUTION = 203;
constexpr WORD IDS_INVALID_DEVMODE = 207;
constexpr WORD IDS_INVALID_PAPER = 208;
constexpr WORD IDS_NO_PAPER = 209;
constexpr WORD IDS_READ_DATAFILE = 214;
constexpr WORD IDS_NO_MEMORY = 215;

void SetMessage(PDEVQUERYPRINT_INFO pInfo, WORD wMessage)
{
    DQPsprintf(ghInstance, pInfo->pszErrorStr, pInfo->cchErrorStr, &pInfo->cchNeeded, u"%!",
               static_cast<int>(wMessage));
}

// QueryPrintForm refused the job and wrote its message.
constexpr WORD kFormRefused = 0xFFFF;

// The message that refuses the job, kFormRefused, or 0.
WORD Check(PDEVQUERYPRINT_INFO pInfo, const PPDDATA* pPpd, PDRVDEVMODE pdm)
{
    if (!SetDefaultDevMode(pdm, nullptr, pPpd, IsMetricCountry()) ||
        !ValidateSetDevMode(pInfo->hPrinter, pdm, pInfo->pDevMode, pPpd))
        return IDS_INVALID_DEVMODE;
    if (!QueryPrintForm(pInfo, pPpd, pdm)) return kFormRefused;
    const SHORT dpi = pdm->dmPublic.dmPrintQuality;
    if (!PpdFindResolution(pPpd, dpi) && static_cast<LONG>(PpdDefaultResolution(pPpd)) != dpi)
        return IDS_INVALID_RESOLUTION;
    return 0;
}

}  // namespace

BOOL QueryPrintForm(PDEVQUERYPRINT_INFO pInfo, const PPDDATA*, const DRVDEVMODE* pdmMerged)
{
    FORMCHECK check;
    if (ValidateDevModeForm(pInfo->hPrinter, pInfo->pDevMode, &check) != 0) {
        SetMessage(pInfo, IDS_NO_PAPER);
        return FALSE;
    }
    PLABELDATA pDb = GetLabelDatabase(pInfo->hPrinter, pdmMerged->dmPublic.dmDeviceName);
    if (!pDb) {
        SetMessage(pInfo, IDS_NO_MEMORY);
        return FALSE;
    }
    const bool isLabel = FindLabelData(pDb, check.wszName) != nullptr;
    FreeLabelDatabase(pDb);
    if (!isLabel) {
        SetMessage(pInfo, IDS_INVALID_PAPER);
        return FALSE;
    }
    return TRUE;
}

LBLUI_EXPORT BOOL DevQueryPrintEx(PDEVQUERYPRINT_INFO pInfo)
{
    if (!pInfo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!pInfo->pDevMode) return TRUE;

    PPDDATA* pPpd = LoadPpdFile(pInfo->hPrinter);
    if (!pPpd) {
        SetMessage(pInfo, IDS_READ_DATAFILE);
        return FALSE;
    }
    auto pdm = static_cast<PDRVDEVMODE>(DrvAllocMem(sizeof(DRVDEVMODE), true));
    const WORD wMessage = pdm ? Check(pInfo, pPpd, pdm) : IDS_NO_MEMORY;
    DrvFreeMem(pdm);
    UnloadPpdFile(pPpd);
    if (wMessage != 0 && wMessage != kFormRefused) SetMessage(pInfo, wMessage);
    return wMessage == 0;
}
