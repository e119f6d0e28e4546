// Internal: the spooler services as each build reaches them. The render build
// reads printer data and forms through the graphics engine, the UI build through
// the spooler API; only the UI build writes.
#pragma once

#include "base/wintypes.h"

// A Windows error code: ERROR_SUCCESS, ERROR_MORE_DATA with *pcbNeeded, ERROR_FILE_NOT_FOUND, ...
DWORD ReadPrinterValue(HANDLE hPrinter, LPCWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD cbData,
                       LPDWORD pcbNeeded);
// Level-1 form list; the platform's EnumForms contract.
BOOL EnumPrinterForms(HANDLE hPrinter, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned);

#if defined(LBL_UI_BUILD)
DWORD WritePrinterValue(HANDLE hPrinter, LPCWSTR pValueName, DWORD dwType, const void* pData, DWORD cbData);
#endif
