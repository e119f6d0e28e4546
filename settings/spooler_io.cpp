#include "spooler_io.h"

#include "spooler/spooler.h"

// The platform's functions take non-const names and buffers they do not change.
DWORD ReadPrinterValue(HANDLE hPrinter, LPCWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD cbData,
                       LPDWORD pcbNeeded)
{
    DWORD dwType = 0, cbNeeded = 0;
    if (!pType) pType = &dwType;
    if (!pcbNeeded) pcbNeeded = &cbNeeded;
    LPWSTR pName = const_cast<LPWSTR>(pValueName);
#if defined(LBL_RENDER_BUILD)
    return EngGetPrinterData(hPrinter, pName, pType, pData, cbData, pcbNeeded);
#else
    return GetPrinterDataW(hPrinter, pName, pType, pData, cbData, pcbNeeded);
#endif
}

BOOL EnumPrinterForms(HANDLE hPrinter, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned)
{
#if defined(LBL_RENDER_BUILD)
    return EngEnumForms(hPrinter, 1, pForm, cbBuf, pcbNeeded, pcReturned);
#else
    return EnumFormsW(hPrinter, 1, pForm, cbBuf, pcbNeeded, pcReturned);
#endif
}

#if defined(LBL_UI_BUILD)
DWORD WritePrinterValue(HANDLE hPrinter, LPCWSTR pValueName, DWORD dwType, const void* pData, DWORD cbData)
{
    return SetPrinterDataW(hPrinter, const_cast<LPWSTR>(pValueName), dwType,
                           static_cast<LPBYTE>(const_cast<void*>(pData)), cbData);
}
#endif
