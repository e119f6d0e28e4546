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

}  // namespace platform
