// The spooler's check before a job starts: the printer's UI library decides with
// DevQueryPrintEx whether the job's device mode can print there.
#include "base/codepage.h"
#include "driver_module.h"
#include "spooler/job.h"
#include "spooler/spooler.h"

namespace platform {

namespace {

using PFN_DevQueryPrintEx = BOOL (*)(PDEVQUERYPRINT_INFO);
constexpr DWORD kReasonChars = 256;

}  // namespace

bool QueryJob(HANDLE hPrinter, const PrinterRecord& printer, std::vector<BYTE>& devMode, std::string& reason)
{
    DWORD error = ERROR_SUCCESS;
    auto module = DriverModule::Load(printer.uiLibrary, error);
    // As on the real spooler, a UI library without the query (or none at all) lets every job through.
    if (!module) return true;
    auto query = module->Proc<PFN_DevQueryPrintEx>("DevQueryPrintEx");
    if (!query) return true;
    std::u16string text(kReasonChars, u'\0');
    DEVQUERYPRINT_INFO info{};
    info.cbSize = sizeof info;
    info.Level = 1;
    info.hPrinter = hPrinter;
    info.pDevMode = devMode.size() >= sizeof(DEVMODEW) ? reinterpret_cast<DEVMODEW*>(devMode.data()) : nullptr;
    info.pszErrorStr = text.data();
    info.cchErrorStr = kReasonChars;
    if (query(&info)) return true;
    text[kReasonChars - 1] = u'\0';
    reason = Narrow(text.c_str());
    if (reason.empty()) reason = "the printer's driver refused the job";
    return false;
}

}  // namespace platform
