// A printer's default device mode, stored whole in the spool database and set
// with SetPrinterW (levels 2 and 8).
#include "spool_internal.h"
#include "spooler/spooler.h"

namespace platform::spool {

std::vector<BYTE> StoredDevMode(sqlite3* db, const std::string& printer)
{
    Statement q(db, "SELECT devmode FROM printer_devmodes WHERE printer=?1");
    q.Bind(1, printer);
    std::vector<BYTE> bytes;
    if (q.Step() == SQLITE_ROW) bytes = q.Blob(0);
    // A stored record always holds its header; anything shorter is ignored.
    if (bytes.size() < sizeof(DEVMODEW)) bytes.clear();
    return bytes;
}

}  // namespace platform::spool

namespace {

using namespace platform::spool;

constexpr size_t kMaxDevMode = 0x10000;

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// The bytes of a device mode as its size fields say; empty when they are unsound.
// The stored copy is at least a whole DEVMODEW so that readers may look at every
// public field; a shorter public part is padded with zeros.
std::vector<BYTE> DevModeBytes(const DEVMODEW* pdm)
{
    const size_t cbPublic = pdm->dmSize, cbPrivate = pdm->dmDriverExtra;
    if (cbPublic < offsetof(DEVMODEW, dmFields) + sizeof(DWORD) || cbPublic + cbPrivate > kMaxDevMode) return {};
    const auto* p = reinterpret_cast<const BYTE*>(pdm);
    std::vector<BYTE> bytes(p, p + cbPublic + cbPrivate);
    if (bytes.size() < sizeof(DEVMODEW)) bytes.resize(sizeof(DEVMODEW), 0);
    return bytes;
}

}  // namespace

extern "C" BOOL SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command)
{
    std::string printer;
    if (DWORD error = ResolveHandle(hPrinter, printer)) return Fail(error);
    if (Level != 2 && Level != 8) return Fail(ERROR_INVALID_LEVEL);
    if (!pPrinter || Command != 0) return Fail(ERROR_INVALID_PARAMETER);
    const DEVMODEW* pdm = Level == 8 ? reinterpret_cast<PRINTER_INFO_8W*>(pPrinter)->pDevMode
                                     : reinterpret_cast<PRINTER_INFO_2W*>(pPrinter)->pDevMode;
    if (!pdm) {
        if (Level == 2) return TRUE;  // nothing else of level 2 is kept by this spooler
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const std::vector<BYTE> bytes = DevModeBytes(pdm);
    if (bytes.empty()) return Fail(ERROR_INVALID_PARAMETER);

    Session session;
    Transaction tx(session.db());
    if (!tx.ok()) return Fail(ERROR_WRITE_FAULT);
    if (!PrinterExists(session.db(), printer)) return Fail(ERROR_INVALID_HANDLE);
    Statement upsert(session.db(),
                     "INSERT INTO printer_devmodes(printer, devmode) VALUES(?1, ?2) "
                     "ON CONFLICT(printer) DO UPDATE SET devmode=excluded.devmode");
    upsert.Bind(1, printer).BindBlob(2, bytes.data(), bytes.size());
    if (upsert.Step() != SQLITE_DONE || !tx.Commit()) return Fail(ERROR_WRITE_FAULT);
    return TRUE;
}
