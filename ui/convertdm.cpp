// DrvConvertDevMode: device modes of other sizes and versions converted by the
// common code; the driver's default device mode made here from the printer's
// description.
#include "uidrv.h"

namespace {

// The default device mode of the printer's driver into pdmOut (304 bytes).
BOOL DriverDefault(LPWSTR pPrinterName, DEVMODEW* pdmOut)
{
    HANDLE hPrinter = nullptr;
    if (!OpenPrinterW(pPrinterName, &hPrinter, nullptr)) return FALSE;
    auto* pDriver = static_cast<PDRIVER_INFO_2W>(MyGetPrinterDriver(hPrinter, 2));
    BOOL ok = FALSE;
    if (pDriver) {
        // Every description build of the process runs under the cache lock.
        EnterCriticalSection(&psuiSemaphore);
        PPDDATA* pPpd = PpdCreate(pDriver->pDataFile, ghInstance);
        LeaveCriticalSection(&psuiSemaphore);
        if (pPpd) {
            ok = SetDefaultDevMode(reinterpret_cast<PDRVDEVMODE>(pdmOut), pDriver->pName, pPpd, IsMetricCountry());
            EnterCriticalSection(&psuiSemaphore);
            PpdDelete(pPpd);
            LeaveCriticalSection(&psuiSemaphore);
        }
        DrvFreeMem(pDriver);
    }
    ClosePrinter(hPrinter);
    return ok;
}

}  // namespace

LBLUI_EXPORT BOOL DrvConvertDevMode(LPWSTR pPrinterName, DEVMODEW* pdmIn, DEVMODEW* pdmOut, LONG* pcbNeeded,
                                    DWORD fMode)
{
    const INT rc = CommonDrvConvertDevmode(pPrinterName, pdmIn, pdmOut, pcbNeeded, fMode, &DriverVersions);
    if (rc == 2 && fMode == CDM_DRIVER_DEFAULT) return DriverDefault(pPrinterName, pdmOut);
    return rc == 1;
}
