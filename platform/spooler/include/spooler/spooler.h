// The spooler stand-in: printers, their printer data values and the machine-wide
// form list, kept in one SQLite database in the spool directory. The Windows
// functions keep their signatures and result codes; the engine's
// EngGetPrinterData and EngEnumForms read the same store.
#pragma once

#include <cstddef>
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

// Installs a driver (level 3): its name, render library (pDriverPath), UI library
// (pConfigFile), description (pDataFile) and help file. Only the file-name part of
// the two library paths is kept: libraries are found by name in the driver
// directory. An existing driver of that name is replaced.
BOOL AddPrinterDriverW(LPWSTR pName, DWORD Level, LPBYTE pDriverInfo);

// Adds a printer (level 2: pPrinterName, pPortName, pDriverName of an installed
// driver) and runs the install event: the printer's UI library is loaded and its
// DrvPrinterEvent(PRINTER_EVENT_INITIALIZE) called. Returns an open handle, or
// NULL with the last error set (ERROR_UNKNOWN_PRINTER_DRIVER, ERROR_PRINTER_ALREADY_EXISTS,
// ERROR_INVALID_PRINTER_NAME, ERROR_MOD_NOT_FOUND, ERROR_PROC_NOT_FOUND, or the
// event's error); a printer whose event failed is removed again.
HANDLE AddPrinterW(LPWSTR pName, DWORD Level, LPBYTE pPrinter);

// The record the spooler hands the UI library's DevQueryPrintEx before a job.
struct DEVQUERYPRINT_INFO {
    WORD cbSize;
    WORD Level;
    HANDLE hPrinter;
    DEVMODEW* pDevMode;
    LPWSTR pszErrorStr;  // the driver's reason when the job cannot print
    DWORD cchErrorStr;   // characters of pszErrorStr
    DWORD cchNeeded;     // characters the whole reason needs, terminator included
};
using PDEVQUERYPRINT_INFO = DEVQUERYPRINT_INFO*;

// The record the spooler hands DrvUpgradePrinter (level 1).
struct DRIVER_UPGRADE_INFO_1W {
    LPWSTR pPrinterName;
    LPWSTR pOldDriverDirectory;
};
using DRIVER_UPGRADE_INFO_1 = DRIVER_UPGRADE_INFO_1W;
using PDRIVER_UPGRADE_INFO_1 = DRIVER_UPGRADE_INFO_1W*;

// Printer events passed to DrvPrinterEvent.
constexpr INT PRINTER_EVENT_CONFIGURATION_CHANGE = 0;
constexpr INT PRINTER_EVENT_ADD_CONNECTION = 1;
constexpr INT PRINTER_EVENT_DELETE_CONNECTION = 2;
constexpr INT PRINTER_EVENT_INITIALIZE = 3;
constexpr INT PRINTER_EVENT_DELETE = 4;
constexpr INT PRINTER_EVENT_CACHE_REFRESH = 5;
constexpr INT PRINTER_EVENT_CACHE_DELETE = 6;
constexpr DWORD PRINTER_EVENT_FLAG_NO_UI = 0x00000001;

// A printer's default device mode (PRINTER_INFO_2.pDevMode, PRINTER_INFO_8.pDevMode).
struct PRINTER_INFO_8W {
    DEVMODEW* pDevMode;
};
using PPRINTER_INFO_8W = PRINTER_INFO_8W*;

// Stores the printer's default device mode: level 2 (PRINTER_INFO_2W, only its
// pDevMode is taken; NULL leaves the stored one alone) or level 8. The record must
// hold at least the public header and at most 64 KiB (dmSize + dmDriverExtra);
// ERROR_INVALID_PARAMETER otherwise, ERROR_INVALID_LEVEL for other levels.
// Command must be 0. GetPrinterW levels 2 and 8 hand the stored record back, NULL
// when the printer has none.
BOOL SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command);

// Mode flags of DocumentPropertiesW and DrvDocumentProperties.
constexpr DWORD DM_UPDATE = 1;
constexpr DWORD DM_COPY = 2;
constexpr DWORD DM_PROMPT = 4;
constexpr DWORD DM_MODIFY = 8;
constexpr DWORD DM_IN_BUFFER = DM_MODIFY;
constexpr DWORD DM_IN_PROMPT = DM_PROMPT;
constexpr DWORD DM_OUT_BUFFER = DM_COPY;
constexpr DWORD DM_OUT_DEFAULT = DM_UPDATE;
constexpr DWORD DM_ADVANCED = 0x10;
constexpr DWORD DM_NOPERMISSION = 0x20;
constexpr DWORD DM_USER_DEFAULT = 0x40;

// The application's call for a job's device mode: the printer's UI library's
// DrvDocumentProperties. With fMode 0 (or no output) the size of the driver's
// device mode. pDevModeInput is used only with DM_IN_BUFFER; one of another size
// or version than the driver's is first converted with the library's
// DrvConvertDevMode (CDM_CONVERT onto its CDM_DRIVER_DEFAULT record). Otherwise
// IDOK or IDCANCEL, or a negative value when the library or the sheet fails.
LONG DocumentPropertiesW(void* hWnd, HANDLE hPrinter, LPWSTR pDeviceName, DEVMODEW* pDevModeOutput,
                         DEVMODEW* pDevModeInput, DWORD fMode);
// Raw documents: the bytes an application writes go to the printer unchanged.
// StartDocPrinterW (level 1; data type NULL or "RAW") starts a document on a
// printer handle and returns its job number, 0 on failure (ERROR_INVALID_HANDLE,
// ERROR_INVALID_LEVEL, ERROR_INVALID_DATATYPE, ERROR_INVALID_PRINTER_STATE when
// the handle already has one). The bytes are spooled to a file in the spool
// directory, or, when a job sink is attached to the handle (tests), go into that
// sink. EndDocPrinter delivers them whole to pOutputFile, or to the printer's
// port when that is NULL or empty; a document in which a write failed, or whose
// delivery fails, delivers nothing and ends with FALSE (ERROR_WRITE_FAULT).
// Closing the handle abandons an unfinished document. WritePrinter and
// EndDocPrinter without a document fail with ERROR_SPL_NO_STARTDOC.
DWORD StartDocPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo);
BOOL WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten);
BOOL EndDocPrinter(HANDLE hPrinter);

// Security context of the calling thread during printer events: RevertToPrinterSelf
// switches to the spooler's own context and returns a token of the caller's, which
// ImpersonatePrinterClient restores (and closes). NULL / FALSE on failure.
HANDLE RevertToPrinterSelf();
BOOL ImpersonatePrinterClient(HANDLE hToken);

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
// e.g. before the spool directory is removed. An open spool transaction is lost:
// its commit fails.
void CloseSpoolDatabase();

// Opens the database now: ERROR_SUCCESS, or ERROR_READ_FAULT with the reason in
// SpoolDatabaseError(). A database that fails SQLite's quick check (damaged, not
// a database, not a file) is reported and left untouched; every spooler call then
// fails until it is repaired. An empty spool directory (no HOME) is an error too.
DWORD OpenSpoolDatabase();
// One line: the database's path and SQLite's reason for the last failure to open
// it or to begin or commit a spool transaction; empty when there was none.
std::string SpoolDatabaseError();

// SQLite's integrity check of the database, read-only: ERROR_SUCCESS when it is
// whole; otherwise ERROR_FILE_NOT_FOUND (none yet), ERROR_PATH_NOT_FOUND (no spool
// directory) or ERROR_FILE_INVALID, with one line per finding, each naming the file.
DWORD CheckSpoolDatabase(std::vector<std::string>& findings);

// One change, one transaction. Between Begin and Commit every spooler write of
// this process (SetPrinterDataW, AddFormW, SetFormW, DeleteFormW, AddPrinter,
// ...) belongs to one database transaction that holds the write lock from the
// start: other processes wait (busy timeout) until it ends, so a read-modify-write
// made inside it loses no other process's change, and a process killed before the
// commit leaves the earlier state whole. Other threads of this process wait too.
// Transactions nest (an inner one is a savepoint). Begin gives ERROR_SUCCESS,
// ERROR_BUSY when another process kept the database busy past the time-out, or
// ERROR_READ_FAULT/ERROR_WRITE_FAULT; the reason is in SpoolDatabaseError().
// Commit and Rollback end the innermost transaction, on the thread that began it.
DWORD BeginSpoolTransaction();
DWORD CommitSpoolTransaction();
void RollbackSpoolTransaction();

// The scope of one spool transaction: rolled back unless committed.
class SpoolTransaction {
public:
    SpoolTransaction() : result_(BeginSpoolTransaction()) {}
    ~SpoolTransaction()
    {
        if (result_ == ERROR_SUCCESS && !ended_) RollbackSpoolTransaction();
    }
    SpoolTransaction(const SpoolTransaction&) = delete;
    SpoolTransaction& operator=(const SpoolTransaction&) = delete;
    // The result of Begin.
    DWORD Status() const { return result_; }
    DWORD Commit()
    {
        if (result_ != ERROR_SUCCESS || ended_) return result_ ? result_ : ERROR_INVALID_FUNCTION;
        ended_ = true;
        return CommitSpoolTransaction();
    }

private:
    DWORD result_;
    bool ended_ = false;
};

// Test hook: ends the process (_exit(86)) just before its n-th database write
// from now (0: never). The environment variable LBL_SPOOL_EXIT_AT_WRITE sets it
// for a whole process, e.g. a command run by a test.
void ExitAtSpoolWrite(long long n);

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

// The names of a printer's data values, in name order (empty for an unknown printer).
std::vector<std::string> PrinterValueNames(const std::string& printer);

// The calling thread's security context, and how many tokens it has taken with
// RevertToPrinterSelf and not yet handed back, so tests can prove that every
// path that reverts also restores.
enum class SecurityContext { Client, Spooler };
SecurityContext CurrentSecurityContext();
long OutstandingRevertTokens();

// The last raw document this process ended or abandoned (StartDocPrinterW ...
// EndDocPrinter), for front ends that start one through a driver and want to
// know how it went; nullopt when there was none since the last clear.
struct RawDocumentRecord {
    std::string printer;
    std::string docName;
    std::string output;     // where it went (or was to go)
    std::size_t cbData = 0; // bytes written
    bool delivered = false;
    std::string why;        // the reason when not delivered
};
std::optional<RawDocumentRecord> LastRawDocument();
void ClearLastRawDocument();
// Sends every raw document this process starts to `output` (a port string or
// file) instead of its own output, as printing to a file does; empty ends it.
void RedirectRawDocuments(const std::string& output);

// An installed driver (AddPrinterDriverW), or nullopt.
struct DriverRecord {
    std::string name;
    std::string dataFile;
    std::string helpFile;
    std::string renderLibrary;  // file name, found in the driver directory
    std::string uiLibrary;      // file name, found in the driver directory
};
std::optional<DriverRecord> FindDriver(const std::string& name);

}  // namespace platform
