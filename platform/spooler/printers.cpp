// Printers: opening and closing printer handles, and the administration of the
// printer list (what installing a printer does on the real platform).
#include "base/codepage.h"
#include "spool_internal.h"
#include "spooler/spooler.h"

namespace {

using namespace platform::spool;

constexpr size_t kMaxPrinterName = 220;

// Valid UTF-8 without control characters: names that do not convert exactly
// would turn into the same wide name and alias each other.
bool ValidPrinterName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxPrinterName) return false;
    for (char c : name)
        if (c == ',' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    std::u16string wide = platform::Widen(name);
    for (char16_t c : wide)
        if (c >= 0x80 && c < 0xA0) return false;
    return platform::Narrow(wide) == name;
}

std::optional<platform::PrinterRecord> ReadPrinter(Statement& q)
{
    platform::PrinterRecord p;
    p.name = q.Text(0);
    p.driverName = q.Text(1);
    p.dataFile = q.Text(2);
    p.helpFile = q.Text(3);
    p.port = q.Text(4);
    p.renderLibrary = q.Text(5);
    p.uiLibrary = q.Text(6);
    return p;
}

constexpr const char* kSelectPrinter =
    "SELECT name, driver_name, data_file, help_file, port, render_library, ui_library FROM printers";

}  // namespace

extern "C" {

BOOL OpenPrinterW(LPWSTR pPrinterName, HANDLE* phPrinter, PRINTER_DEFAULTSW*)
{
    if (!phPrinter) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *phPrinter = nullptr;
    auto handle = std::make_shared<PrinterHandle>();
    if (pPrinterName && *pPrinterName) {
        Session session;
        if (!session.db()) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return FALSE;
        }
        Statement q(session.db(), "SELECT name FROM printers WHERE name=?1");
        if (q.Bind(1, platform::Narrow(pPrinterName)).Step() != SQLITE_ROW) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return FALSE;
        }
        handle->name = q.Text(0);  // the stored spelling
    }
    handle->generation = Generation();
    *phPrinter = platform::RegisterHandle(handle);
    return TRUE;
}

BOOL ClosePrinter(HANDLE hPrinter)
{
    platform::spool::AbandonRawDocument(hPrinter);
    if (!platform::ReleaseHandleOf<PrinterHandle>(hPrinter)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"

namespace platform {

DWORD AddPrinter(const PrinterRecord& printer)
{
    if (!ValidPrinterName(printer.name)) return ERROR_INVALID_PRINTER_NAME;
    Session session;
    Transaction tx(session.db());
    if (!tx.ok()) return ERROR_WRITE_FAULT;
    if (PrinterExists(session.db(), printer.name)) return ERROR_PRINTER_ALREADY_EXISTS;
    Statement insert(session.db(),
                     "INSERT INTO printers(name, driver_name, data_file, help_file, port, render_library, ui_library) "
                     "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    insert.Bind(1, printer.name).Bind(2, printer.driverName).Bind(3, printer.dataFile).Bind(4, printer.helpFile);
    insert.Bind(5, printer.port).Bind(6, printer.renderLibrary).Bind(7, printer.uiLibrary);
    // Values of an earlier printer of the same name must not reappear.
    Statement clear(session.db(), "DELETE FROM printer_data WHERE printer=?1");
    clear.Bind(1, printer.name);
    if (insert.Step() != SQLITE_DONE || clear.Step() != SQLITE_DONE || !tx.Commit()) return ERROR_WRITE_FAULT;
    return ERROR_SUCCESS;
}

DWORD DeletePrinter(const std::string& name)
{
    Session session;
    Transaction tx(session.db());
    if (!tx.ok()) return ERROR_WRITE_FAULT;
    if (!PrinterExists(session.db(), name)) return ERROR_INVALID_PRINTER_NAME;
    Statement data(session.db(), "DELETE FROM printer_data WHERE printer=?1");
    Statement devmode(session.db(), "DELETE FROM printer_devmodes WHERE printer=?1");
    Statement printer(session.db(), "DELETE FROM printers WHERE name=?1");
    data.Bind(1, name);
    devmode.Bind(1, name);
    printer.Bind(1, name);
    if (data.Step() != SQLITE_DONE || devmode.Step() != SQLITE_DONE || printer.Step() != SQLITE_DONE ||
        !tx.Commit())
        return ERROR_WRITE_FAULT;
    return ERROR_SUCCESS;
}

std::vector<PrinterRecord> EnumPrinters()
{
    std::vector<PrinterRecord> printers;
    Session session;
    Statement q(session.db(), (std::string(kSelectPrinter) + " ORDER BY name").c_str());
    while (q.Step() == SQLITE_ROW) printers.push_back(*ReadPrinter(q));
    return printers;
}

std::optional<PrinterRecord> FindPrinter(const std::string& name)
{
    Session session;
    Statement q(session.db(), (std::string(kSelectPrinter) + " WHERE name=?1").c_str());
    if (q.Bind(1, name).Step() != SQLITE_ROW) return std::nullopt;
    return ReadPrinter(q);
}

std::optional<std::string> PrinterNameOf(HANDLE hPrinter)
{
    std::string name;
    if (spool::ResolveHandle(hPrinter, name) != ERROR_SUCCESS) return std::nullopt;
    return name;
}

}  // namespace platform
