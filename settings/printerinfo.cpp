// Printer and driver information in buffers of the size the spooler asks for (UI build).
#include "settings/settings.h"

#if defined(LBL_UI_BUILD)

#include "spooler/spooler.h"

PVOID MyGetPrinter(HANDLE hPrinter, DWORD dwLevel)
{
    DWORD cbNeeded = 0;
    if (GetPrinterW(hPrinter, dwLevel, nullptr, 0, &cbNeeded) || GetLastError() != ERROR_INSUFFICIENT_BUFFER ||
        cbNeeded == 0)
        return nullptr;
    PVOID pInfo = DrvAllocMem(cbNeeded, true);
    if (!pInfo) return nullptr;
    if (!GetPrinterW(hPrinter, dwLevel, static_cast<LPBYTE>(pInfo), cbNeeded, &cbNeeded)) {
        DrvFreeMem(pInfo);
        return nullptr;
    }
    return pInfo;
}

PVOID MyGetPrinterDriver(HANDLE hPrinter, DWORD dwLevel)
{
    DWORD cbNeeded = 0;
    if (GetPrinterDriverW(hPrinter, nullptr, dwLevel, nullptr, 0, &cbNeeded) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER || cbNeeded == 0)
        return nullptr;
    PVOID pInfo = DrvAllocMem(cbNeeded, true);
    if (!pInfo) return nullptr;
    if (!GetPrinterDriverW(hPrinter, nullptr, dwLevel, static_cast<LPBYTE>(pInfo), cbNeeded, &cbNeeded)) {
        DrvFreeMem(pInfo);
        return nullptr;
    }
    return pInfo;
}

#endif  // LBL_UI_BUILD
