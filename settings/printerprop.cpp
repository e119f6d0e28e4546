// The printer-properties record ("PrinterData", "PrinterHT") and the colour
// tables ("SpotColor", "CustomColor").
#include <cstring>

#include "description/ppd.h"
#include "settings/settings.h"
#include "spooler_io.h"

namespace {

struct ColorTable {
    LPCWSTR pName;
    DWORD cbSize;
};

constexpr ColorTable kColorTables[] = {
    {u"SpotColor", SPOTCOLOR_TABLE_SIZE},
    {u"CustomColor", CUSTOMCOLOR_TABLE_SIZE},
};
constexpr INT kColorTableCount = sizeof(kColorTables) / sizeof(kColorTables[0]);

constexpr LPCWSTR kPrinterHT = u"PrinterHT";

}  // namespace

PPRINTERPROP DefaultPrinterProperties(HANDLE hPrinter, const PPDDATA* pPpd)
{
    auto* pProp = static_cast<PPRINTERPROP>(DrvAllocMem(sizeof(PRINTERPROP), true));
    if (!pProp) return nullptr;
    pProp->wVersion = PRINTERPROP_VERSION;
    pProp->wSize = sizeof(PRINTERPROP);
    pProp->wPpdChecksum = pPpd ? pPpd->wChecksum : 0;

    DWORD dwHalftone = 0, dwType = 0, cbNeeded = 0;
    if (ReadPrinterValue(hPrinter, kPrinterHT, &dwType, reinterpret_cast<LPBYTE>(&dwHalftone), sizeof(dwHalftone),
                         &cbNeeded) == ERROR_SUCCESS &&
        dwHalftone != 0)
        pProp->dwFlags |= PP_HALFTONE;
#if defined(LBL_UI_BUILD)
    pProp->dwFlags |= PP_METRIC;
#endif
    return pProp;
}

// The stored record, at least 36 bytes (a shorter one is zero-extended), with the
// description's checksum; the default record when none is stored.
PPRINTERPROP GetPrinterProperties(HANDLE hPrinter, const PPDDATA* pPpd)
{
    DWORD dwSize = 0;
    auto* pProp = static_cast<PPRINTERPROP>(GetPrinterDataFromRegistry(hPrinter, &dwSize, PAIR_PRINTERDATA));
    if (!pProp) return DefaultPrinterProperties(hPrinter, pPpd);

    if (dwSize < sizeof(PRINTERPROP)) {
        auto* pFull = static_cast<PPRINTERPROP>(DrvAllocMem(sizeof(PRINTERPROP), true));
        if (!pFull) {
            DrvFreeMem(pProp);
            return nullptr;
        }
        std::memcpy(pFull, pProp, dwSize);
        DrvFreeMem(pProp);
        pProp = pFull;
    }
    if (pPpd && pProp->wPpdChecksum != pPpd->wChecksum) pProp->wPpdChecksum = pPpd->wChecksum;
    return pProp;
}

PVOID GetProperty(HANDLE hPrinter, INT iTable)
{
    if (iTable < 0 || iTable >= kColorTableCount) return nullptr;
    const ColorTable& t = kColorTables[iTable];
    PVOID pTable = DrvAllocMem(t.cbSize, true);
    if (!pTable) return nullptr;
    // A missing or short value leaves zeros; a failed read is not an error here.
    DWORD dwType = 0, cbNeeded = 0;
    ReadPrinterValue(hPrinter, t.pName, &dwType, static_cast<LPBYTE>(pTable), t.cbSize, &cbNeeded);
    return pTable;
}

#if defined(LBL_UI_BUILD)

BOOL SavePrinterProperties(HANDLE hPrinter, PPRINTERPROP pProp, DWORD dwSize)
{
    if (!pProp) return FALSE;
    DWORD dwHalftone = (pProp->dwFlags & PP_HALFTONE) >> 1;
    WritePrinterValue(hPrinter, kPrinterHT, REG_BINARY, &dwHalftone, sizeof(dwHalftone));
    return SavePrinterDataToRegistry(hPrinter, pProp, dwSize, PAIR_PRINTERDATA);
}

BOOL SaveProperty(HANDLE hPrinter, PVOID pData, INT iTable)
{
    if (iTable < 0 || iTable >= kColorTableCount || !pData) return FALSE;
    const ColorTable& t = kColorTables[iTable];
    return WritePrinterValue(hPrinter, t.pName, REG_BINARY, pData, t.cbSize) == ERROR_SUCCESS;
}

#endif  // LBL_UI_BUILD
