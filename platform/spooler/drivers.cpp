// Installed drivers and adding a printer with its install event.
#include <cstdint>

#include "base/codepage.h"
#include "driver_module.h"
#include "spool_internal.h"
#include "spooler/spooler.h"

namespace {

using namespace platform::spool;

using PFN_DrvPrinterEvent = BOOL (*)(LPWSTR, INT, DWORD, std::intptr_t);

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

std::string Text(LPCWSTR p) { return p ? platform::Narrow(p) : std::string(); }

std::string FileNamePart(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Runs the UI library's install event for a new printer; ERROR_SUCCESS or the reason.
DWORD RunInitializeEvent(const platform::PrinterRecord& printer)
{
    DWORD error = ERROR_SUCCESS;
    auto module = platform::DriverModule::Load(printer.uiLibrary, error);
    if (!module) return error;
    auto event = module->Proc<PFN_DrvPrinterEvent>("DrvPrinterEvent");
    if (!event) return platform::kErrorProcNotFound;
    std::u16string name = platform::Widen(printer.name);
    SetLastError(ERROR_SUCCESS);
    if (event(name.data(), PRINTER_EVENT_INITIALIZE, PRINTER_EVENT_FLAG_NO_UI, 0)) return ERROR_SUCCESS;
    DWORD why = GetLastError();
    return why != ERROR_SUCCESS ? why : ERROR_INVALID_DATA;
}

}  // namespace

extern "C" {

BOOL AddPrinterDriverW(LPWSTR, DWORD Level, LPBYTE pDriverInfo)
{
    if (Level != 3) return Fail(ERROR_INVALID_LEVEL);
    if (!pDriverInfo) return Fail(ERROR_INVALID_PARAMETER);
    const auto& info = *reinterpret_cast<const DRIVER_INFO_3W*>(pDriverInfo);
    platform::DriverRecord d{Text(info.pName), Text(info.pDataFile), Text(info.pHelpFile),
                             FileNamePart(Text(info.pDriverPath)), FileNamePart(Text(info.pConfigFile))};
    if (d.name.empty() || d.dataFile.empty() || d.renderLibrary.empty() || d.uiLibrary.empty())
        return Fail(ERROR_INVALID_PARAMETER);
    Session session;
    Transaction tx(session.db());
    if (!tx.ok()) return Fail(ERROR_WRITE_FAULT);
    Statement insert(session.db(),
                     "INSERT OR REPLACE INTO drivers(name, data_file, help_file, render_library, ui_library) "
                     "VALUES(?1, ?2, ?3, ?4, ?5)");
    insert.Bind(1, d.name).Bind(2, d.dataFile).Bind(3, d.helpFile).Bind(4, d.renderLibrary).Bind(5, d.uiLibrary);
    if (insert.Step() != SQLITE_DONE || !tx.Commit()) return Fail(ERROR_WRITE_FAULT);
    return TRUE;
}

HANDLE AddPrinterW(LPWSTR, DWORD Level, LPBYTE pPrinter)
{
    if (Level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return nullptr;
    }
    if (!pPrinter) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto& info = *reinterpret_cast<const PRINTER_INFO_2W*>(pPrinter);
    auto driver = platform::FindDriver(Text(info.pDriverName));
    if (!driver) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return nullptr;
    }
    platform::PrinterRecord record{Text(info.pPrinterName), driver->name,          driver->dataFile,
                                   driver->helpFile,        Text(info.pPortName), driver->renderLibrary,
                                   driver->uiLibrary};
    // The printer and what its install event writes are one change: a printer
    // without its settings is not made.
    platform::SpoolTransaction tx;
    if (tx.Status() != ERROR_SUCCESS) {
        SetLastError(tx.Status());
        return nullptr;
    }
    if (DWORD rc = platform::AddPrinter(record)) {
        SetLastError(rc);
        return nullptr;
    }
    if (DWORD rc = RunInitializeEvent(record)) {
        SetLastError(rc);
        return nullptr;
    }
    if (DWORD rc = tx.Commit()) {
        SetLastError(rc);
        return nullptr;
    }
    std::u16string name = platform::Widen(record.name);
    HANDLE h = nullptr;
    return OpenPrinterW(name.data(), &h, nullptr) ? h : nullptr;
}

}  // extern "C"

namespace platform {

std::optional<DriverRecord> FindDriver(const std::string& name)
{
    Session session;
    Statement q(session.db(), "SELECT name, data_file, help_file, render_library, ui_library FROM drivers WHERE name=?1");
    if (q.Bind(1, name).Step() != SQLITE_ROW) return std::nullopt;
    return DriverRecord{q.Text(0), q.Text(1), q.Text(2), q.Text(3), q.Text(4)};
}

}  // namespace platform
