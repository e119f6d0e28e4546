// Sized binary printer data values: a REG_DWORD size value beside the data value.
#include "settings/settings.h"
#include "spooler_io.h"

namespace {

struct SizedValue {
    LPCWSTR pSizeName;
    LPCWSTR pDataName;
};

constexpr SizedValue kSizedValues[] = {
    {u"PrinterDataSize", u"PrinterData"},
};
constexpr INT kSizedValueCount = sizeof(kSizedValues) / sizeof(kSizedValues[0]);

// A size value is not trusted further than this; anything larger is treated as unreadable.
constexpr DWORD kMaxSizedValue = 0x10000;

}  // namespace

// The data value in a new buffer of the stored size, or NULL. The buffer is
// zero-filled first, so a data value shorter than its size value reads as
// zero-extended.
PVOID GetPrinterDataFromRegistry(HANDLE hPrinter, PDWORD pdwSize, INT iPair)
{
    if (iPair < 0 || iPair >= kSizedValueCount) return nullptr;
    const SizedValue& v = kSizedValues[iPair];

    DWORD dwSize = 0, cbNeeded = 0, dwType = 0;
    if (ReadPrinterValue(hPrinter, v.pSizeName, &dwType, reinterpret_cast<LPBYTE>(&dwSize), sizeof(dwSize),
                         &cbNeeded) != ERROR_SUCCESS)
        return nullptr;
    if (dwSize == 0 || dwSize > kMaxSizedValue) return nullptr;

    PVOID pData = DrvAllocMem(dwSize, true);
    if (!pData) return nullptr;
    if (ReadPrinterValue(hPrinter, v.pDataName, &dwType, static_cast<LPBYTE>(pData), dwSize, &cbNeeded) !=
        ERROR_SUCCESS) {
        DrvFreeMem(pData);
        return nullptr;
    }
    if (pdwSize) *pdwSize = dwSize;
    return pData;
}

#if defined(LBL_UI_BUILD)
BOOL SavePrinterDataToRegistry(HANDLE hPrinter, PVOID pData, DWORD dwSize, INT iPair)
{
    if (iPair < 0 || iPair >= kSizedValueCount || !pData) return FALSE;
    const SizedValue& v = kSizedValues[iPair];
    if (WritePrinterValue(hPrinter, v.pSizeName, REG_DWORD, &dwSize, sizeof(dwSize)) != ERROR_SUCCESS) return FALSE;
    return WritePrinterValue(hPrinter, v.pDataName, REG_BINARY, pData, dwSize) == ERROR_SUCCESS;
}
#endif
