// DrvPrinterEvent: a new printer gets its printer properties, its label database
// and the forms of its labels; a cache refresh does the same in the spooler's own
// security context.
#include <string>

#include "uidrv.h"

namespace {

PRINTER_DEFAULTSW PrinterDefault{nullptr, nullptr, PRINTER_ALL_ACCESS};
constexpr char16_t kLabelDataSize[] = u"LabelDataSize";

bool HasValue(HANDLE hPrinter, const char16_t* pName)
{
    std::u16string name = pName;
    DWORD dwType = 0, cbNeeded = 0;
    BYTE probe = 0;
    const DWORD rc = GetPrinterDataW(hPrinter, name.data(), &dwType, &probe, 0, &cbNeeded);
    return rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA;
}

// Stores the printer's label database (the stored one, or the standard label)
// and registers its forms. FALSE when the printer or its database cannot be read.
BOOL InstallLabelDatabase(HANDLE hPrinter)
{
    auto* pInfo = static_cast<PPRINTER_INFO_2W>(MyGetPrinter(hPrinter, 2));
    if (!pInfo) return FALSE;
    PLABELDATA pDb = GetLabelDatabase(hPrinter, pInfo->pPrinterName);
    DrvFreeMem(pInfo);
    if (!pDb) return FALSE;
    SaveLabelData(hPrinter, pDb);
    AddPrinterForms(hPrinter, pDb);
    FreeLabelDatabase(pDb);
    return TRUE;
}

}  // namespace

LBLUI_EXPORT BOOL DrvPrinterEvent(LPWSTR pPrinterName, INT DriverEvent, DWORD, LPARAM)
{
    if (DriverEvent != PRINTER_EVENT_INITIALIZE && DriverEvent != PRINTER_EVENT_CACHE_REFRESH) return TRUE;

    HANDLE hToken = nullptr;
    HANDLE hPrinter = nullptr;
    BOOL bOpened = FALSE;
    if (DriverEvent == PRINTER_EVENT_INITIALIZE) {
        bOpened = OpenPrinterW(pPrinterName, &hPrinter, &PrinterDefault);
    } else {
        hToken = RevertToPrinterSelf();
        bOpened = OpenPrinterW(pPrinterName, &hPrinter, nullptr);
    }

    BOOL bResult = FALSE;
    if (bOpened) {
        if (PPDDATA* pPpd = LoadPpdFile(hPrinter)) {
            if (DriverEvent == PRINTER_EVENT_INITIALIZE) UpgradePrinterProperties(hPrinter, pPpd);
            UnloadPpdFile(pPpd);
        }
        bResult = HasValue(hPrinter, kLabelDataSize) || InstallLabelDatabase(hPrinter);
        ClosePrinter(hPrinter);
    }
    if (hToken) ImpersonatePrinterClient(hToken);
    return bResult;
}
