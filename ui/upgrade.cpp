// DrvUpgradePrinter: after a new driver version is installed, user forms named
// like labels become printer forms and the printer-properties record is brought
// to the current version with the current description checksum.
#include <algorithm>
#include <cstring>

#include "uidrv.h"

namespace {

PRINTER_DEFAULTSW PrinterDefault{nullptr, nullptr, PRINTER_ALL_ACCESS};

}  // namespace

BOOL UpgradePrinterProperties(HANDLE hPrinter, const PPDDATA* pPpdData)
{
    PPRINTERPROP pProp = GetPrinterProperties(hPrinter, pPpdData);
    if (!pProp) return FALSE;
    if (pProp->wVersion < PRINTERPROP_VERSION) {
        PRINTERPROP current{};
        std::memcpy(&current, pProp, std::min<SIZE_T>(pProp->wSize, sizeof(PRINTERPROP)));
        current.wVersion = PRINTERPROP_VERSION;
        current.wSize = sizeof(PRINTERPROP);
        // An old record is shorter than the checksum's place: the upgraded one carries the current checksum.
        current.wPpdChecksum = pPpdData ? pPpdData->wChecksum : 0;
        *pProp = current;
    }
    const BOOL bSaved = SavePrinterProperties(hPrinter, pProp, sizeof(PRINTERPROP));
    DrvFreeMem(pProp);
    return bSaved;
}

LBLUI_EXPORT BOOL DrvUpgradePrinter(DWORD dwLevel, LPBYTE pDriverUpgradeInfo)
{
    auto* pInfo = reinterpret_cast<PDRIVER_UPGRADE_INFO_1>(pDriverUpgradeInfo);
    HANDLE hPrinter = nullptr;
    if (dwLevel != 1 || !pInfo || !pInfo->pPrinterName ||
        !OpenPrinterW(pInfo->pPrinterName, &hPrinter, &PrinterDefault)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BOOL bResult = FALSE;
    EnterCriticalSection(&psuiSemaphore);
    if (PPDDATA* pPpd = LoadPpdFile(hPrinter)) {
        PLABELDATA pDb = GetLabelDatabase(hPrinter, pInfo->pPrinterName);
        RemovePrinterForms(hPrinter, pDb);
        FreeLabelDatabase(pDb);
        bResult = UpgradePrinterProperties(hPrinter, pPpd);
        UnloadPpdFile(pPpd);
    }
    LeaveCriticalSection(&psuiSemaphore);
    ClosePrinter(hPrinter);
    return bResult;
}
