// Printer and driver information records (PRINTER_INFO_2, DRIVER_INFO_2/3) and
// the printer driver directory, each laid out as the record followed by its strings.
#include "base/codepage.h"
#include "spool_internal.h"
#include "spooler/spooler.h"

namespace {

using namespace platform::spool;

constexpr char16_t kDefaultEnvironment[] = u"Windows NT x86";
constexpr DWORD kDriverVersion = 2;  // kernel-mode printer driver

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// The printer record of a handle; FALSE with the last error set when there is none.
BOOL RecordOf(HANDLE h, platform::PrinterRecord& record)
{
    std::string name;
    if (DWORD error = ResolveHandle(h, name)) return Fail(error);
    auto found = platform::FindPrinter(name);
    if (!found) return Fail(ERROR_INVALID_HANDLE);  // deleted meanwhile
    record = *found;
    return TRUE;
}

// Runs fill twice: once to measure, once to write when the buffer is large enough.
template <class Record, class Fill>
BOOL Deliver(LPBYTE buffer, DWORD cbBuf, LPDWORD pcbNeeded, Fill fill)
{
    if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
    Record record{};
    Packer measure(nullptr, sizeof(Record));
    fill(record, measure);
    if (measure.size() > 0xFFFFFFFFu) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    *pcbNeeded = static_cast<DWORD>(measure.size());
    if (!buffer || cbBuf < measure.size()) return Fail(ERROR_INSUFFICIENT_BUFFER);
    Packer pack(buffer, sizeof(Record));
    record = Record{};
    fill(record, pack);
    std::memcpy(buffer, &record, sizeof record);
    return TRUE;
}

}  // namespace

extern "C" {

BOOL GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded)
{
    platform::PrinterRecord p;
    if (!RecordOf(hPrinter, p)) return FALSE;
    if (Level != 2 && Level != 8) return Fail(ERROR_INVALID_LEVEL);
    std::vector<BYTE> devmode;
    {
        Session session;
        if (!session.db()) return Fail(ERROR_READ_FAULT);
        devmode = StoredDevMode(session.db(), p.name);
    }
    auto devmodeIn = [&](Packer& s) {
        return devmode.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(s.AddBytes(devmode));
    };
    if (Level == 8)
        return Deliver<PRINTER_INFO_8W>(pPrinter, cbBuf, pcbNeeded,
                                        [&](PRINTER_INFO_8W& r, Packer& s) { r.pDevMode = devmodeIn(s); });
    return Deliver<PRINTER_INFO_2W>(pPrinter, cbBuf, pcbNeeded, [&](PRINTER_INFO_2W& r, Packer& s) {
        r.pPrinterName = s.Add(platform::Widen(p.name));
        r.pShareName = s.Add(u"");
        r.pPortName = s.Add(platform::Widen(p.port));
        r.pDriverName = s.Add(platform::Widen(p.driverName));
        r.pComment = s.Add(u"");
        r.pLocation = s.Add(u"");
        r.pSepFile = s.Add(u"");
        r.pPrintProcessor = s.Add(u"");
        r.pDatatype = s.Add(u"RAW");
        r.pParameters = s.Add(u"");
        r.pDevMode = devmodeIn(s);
        r.Priority = 1;
    });
}

BOOL GetPrinterDriverW(HANDLE hPrinter, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo, DWORD cbBuf,
                       LPDWORD pcbNeeded)
{
    platform::PrinterRecord p;
    if (!RecordOf(hPrinter, p)) return FALSE;
    std::u16string environment = pEnvironment && *pEnvironment ? std::u16string(pEnvironment) : kDefaultEnvironment;
    auto common = [&](auto& r, Packer& s) {
        r.cVersion = kDriverVersion;
        r.pName = s.Add(platform::Widen(p.driverName));
        r.pEnvironment = s.Add(environment);
        r.pDriverPath = s.Add(platform::Widen(p.renderLibrary));
        r.pDataFile = s.Add(platform::Widen(p.dataFile));
        r.pConfigFile = s.Add(platform::Widen(p.uiLibrary));
    };
    if (Level == 2) return Deliver<DRIVER_INFO_2W>(pDriverInfo, cbBuf, pcbNeeded, common);
    if (Level == 3) {
        return Deliver<DRIVER_INFO_3W>(pDriverInfo, cbBuf, pcbNeeded, [&](DRIVER_INFO_3W& r, Packer& s) {
            common(r, s);
            r.pHelpFile = s.Add(platform::Widen(p.helpFile));
            r.pDependentFiles = s.Add(u"", true);  // an empty list: two NULs
            r.pMonitorName = s.Add(u"");
            r.pDefaultDataType = s.Add(u"RAW");
        });
    }
    return Fail(ERROR_INVALID_LEVEL);
}

// The driver directory is "drivers" in the spool directory, created when missing.
BOOL GetPrinterDriverDirectoryW(LPWSTR, LPWSTR, DWORD Level, LPBYTE pDriverDirectory, DWORD cbBuf,
                                LPDWORD pcbNeeded)
{
    if (Level != 1) return Fail(ERROR_INVALID_LEVEL);
    if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
    std::string dir = platform::SpoolDirectory() + "/drivers";
    MakeDirectories(dir);  // a failure shows when the caller uses the directory
    std::u16string path = platform::Widen(dir);
    size_t bytes = (path.size() + 1) * sizeof(WCHAR);
    *pcbNeeded = static_cast<DWORD>(bytes);
    if (!pDriverDirectory || cbBuf < bytes) return Fail(ERROR_INSUFFICIENT_BUFFER);
    Packer pack(pDriverDirectory, 0);
    pack.Add(path);
    return TRUE;
}

}  // extern "C"
