// Printer data values: typed values (REG_BINARY, REG_DWORD, REG_SZ, ...) per
// printer. Value names compare without regard to ASCII case, as registry names do.
#include "spool_internal.h"
#include "spooler/spooler.h"

namespace {

using namespace platform::spool;

DWORD GetValue(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded)
{
    std::string printer;
    if (DWORD error = ResolveHandle(hPrinter, printer)) return error;
    if (!pValueName || !pcbNeeded || (nSize > 0 && !pData)) return ERROR_INVALID_PARAMETER;
    Session session;
    if (!session.db()) return ERROR_READ_FAULT;
    Statement q(session.db(), "SELECT type, value FROM printer_data WHERE printer=?1 AND name=?2");
    int rc = q.Bind(1, printer).Bind(2, ValueKey(pValueName)).Step();
    if (rc == SQLITE_DONE) return PrinterExists(session.db(), printer) ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_HANDLE;
    if (rc != SQLITE_ROW) return ERROR_READ_FAULT;
    std::vector<BYTE> value = q.Blob(1);
    if (value.size() > 0xFFFFFFFFu) return ERROR_READ_FAULT;
    *pcbNeeded = static_cast<DWORD>(value.size());
    if (pType) *pType = static_cast<DWORD>(q.Int(0));
    if (value.size() > nSize) return ERROR_MORE_DATA;
    if (!value.empty()) std::memcpy(pData, value.data(), value.size());
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" {

DWORD GetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded)
{
    return GetValue(hPrinter, pValueName, pType, pData, nSize, pcbNeeded);
}

DWORD EngGetPrinterData(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD cjSize,
                        LPDWORD pcjNeeded)
{
    return GetValue(hPrinter, pValueName, pType, pData, cjSize, pcjNeeded);
}

// The new value replaces the old one in one transaction: a reader (or a process
// killed mid-write) sees either the old value or the new one, whole.
DWORD SetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, DWORD Type, LPBYTE pData, DWORD cbData)
{
    std::string printer;
    if (DWORD error = ResolveHandle(hPrinter, printer)) return error;
    if (!pValueName || (cbData > 0 && !pData)) return ERROR_INVALID_PARAMETER;
    Session session;
    Transaction tx(session.db());
    if (!tx.ok()) return ERROR_WRITE_FAULT;
    if (!PrinterExists(session.db(), printer)) return ERROR_INVALID_HANDLE;
    Statement upsert(session.db(),
                     "INSERT INTO printer_data(printer, name, type, value) VALUES(?1, ?2, ?3, ?4) "
                     "ON CONFLICT(printer, name) DO UPDATE SET type=excluded.type, value=excluded.value");
    upsert.Bind(1, printer).Bind(2, ValueKey(pValueName)).Bind(3, static_cast<long long>(Type));
    upsert.BindBlob(4, pData, cbData);
    if (upsert.Step() != SQLITE_DONE || !tx.Commit()) return ERROR_WRITE_FAULT;
    return ERROR_SUCCESS;
}

}  // extern "C"

namespace platform {

std::vector<std::string> PrinterValueNames(const std::string& printer)
{
    std::vector<std::string> names;
    Session session;
    Statement q(session.db(), "SELECT name FROM printer_data WHERE printer=?1 ORDER BY name COLLATE NOCASE");
    q.Bind(1, printer);
    while (q.Step() == SQLITE_ROW) names.push_back(q.Text(0));
    return names;
}

}  // namespace platform
