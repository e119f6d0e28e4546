// The spooler stand-in: printers, their printer data values and the machine-wide
// form list, kept in one SQLite database in the spool directory. The Windows
// functions keep their signatures and result codes; the engine's
// EngGetPrinterData and EngEnumForms read the same store.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/wintypes.h"

extern "C" {

BOOL OpenPrinterW(LPWSTR pPrinterName, HANDLE* phPrinter, PRINTER_DEFAULTSW* pDefault);
BOOL ClosePrinter(HANDLE hPrinter);

// Return a Windows error code (ERROR_SUCCESS, ERROR_MORE_DATA with *pcbNeeded set,
// ERROR_FILE_NOT_FOUND for a missing value, ERROR_INVALID_HANDLE).
DWORD GetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
                      LPDWORD pcbNeeded);
DWORD SetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, DWORD Type, LPBYTE pData, DWORD cbData);
DWORD EngGetPrinterData(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD cjSize,
                        LPDWORD pcjNeeded);

// Level 1 only. ERROR_INSUFFICIENT_BUFFER with *pcbNeeded set when the buffer is short.
BOOL EnumFormsW(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned);
BOOL EngEnumForms(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned);
BOOL AddFormW(HANDLE hPrinter, DWORD Level, LPBYTE pForm);           // fails for an existing name
BOOL SetFormW(HANDLE hPrinter, LPWSTR pFormName, DWORD Level, LPBYTE pForm);
BOOL DeleteFormW(HANDLE hPrinter, LPWSTR pFormName);

BOOL GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded);  // level 2
BOOL GetPrinterDriverW(HANDLE hPrinter, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo, DWORD cbBuf,
                       LPDWORD pcbNeeded);  // levels 2 and 3
BOOL GetPrinterDriverDirectoryW(LPWSTR pName, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverDirectory,
                                DWORD cbBuf, LPDWORD pcbNeeded);

}  // extern "C"

// Administration of the stand-in itself (what installing a printer does on the
// real platform); used by lblctl and the tests.
namespace platform {

// Where the spooler keeps its database; the default is $XDG_DATA_HOME/lbl/spool
// (or ~/.local/share/lbl/spool). The directory is created when missing. Choosing
// another directory closes the database (the next call opens the new one) and
// invalidates the printer handles opened on the old one.
void SetSpoolDirectory(const std::string& dir);
std::string SpoolDirectory();
// Closes the process's database connection (the next spooler call reopens it),
// e.g. before the spool directory is removed.
void CloseSpoolDatabase();

struct PrinterRecord {
    std::string name;
    std::string driverName;
    std::string dataFile;       // printer description (PPD)
    std::string helpFile;
    std::string port;           // file path, socket://host[:port] or device node
    std::string renderLibrary;  // path of liblblrender.so
    std::string uiLibrary;      // path of liblblui.so
};

// ERROR_SUCCESS, ERROR_PRINTER_ALREADY_EXISTS or ERROR_INVALID_PRINTER_NAME.
DWORD AddPrinter(const PrinterRecord& printer);
// Removes the printer and its printer data values; ERROR_INVALID_PRINTER_NAME when unknown.
DWORD DeletePrinter(const std::string& name);
std::vector<PrinterRecord> EnumPrinters();
std::optional<PrinterRecord> FindPrinter(const std::string& name);
// The name of an open printer handle, or nullopt for an invalid handle.
std::optional<std::string> PrinterNameOf(HANDLE hPrinter);

}  // namespace platform
