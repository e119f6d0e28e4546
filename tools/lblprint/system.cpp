// The system of `lblprint server`: one state directory for PAPPL's state and
// jobs and our spooler's database, loopback listeners unless told otherwise,
// and the printers restored from the saved state.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <cstring>
#include <string>

#include "lblprint.h"
#include "lblweb/web.h"
#include "spooler/spooler.h"
#include "system.h"

namespace lblprint {
namespace {

std::string DefaultStateDirectory()
{
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state) return std::string(state) + "/lblprint";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/state/lblprint";
    return "";
}

bool MakeDirectory(const std::string& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return std::filesystem::is_directory(dir, ec);
}

pappl_loglevel_t LogLevel(const char* text)
{
    if (!text) return PAPPL_LOGLEVEL_WARN;
    const std::string t = text;
    if (t == "debug") return PAPPL_LOGLEVEL_DEBUG;
    if (t == "info") return PAPPL_LOGLEVEL_INFO;
    if (t == "error") return PAPPL_LOGLEVEL_ERROR;
    if (t == "fatal") return PAPPL_LOGLEVEL_FATAL;
    return PAPPL_LOGLEVEL_WARN;
}

std::string& StateFile()
{
    static std::string file;
    return file;
}

bool SaveState(pappl_system_t* system, void*) { return papplSystemSaveState(system, StateFile().c_str()); }

}  // namespace

pappl_system_t* CreateSystem(int numOptions, cups_option_t* options, void*)
{
    const char* dirOption = cupsGetOption("spool-directory", numOptions, options);
    const std::string dir = dirOption ? dirOption : DefaultStateDirectory();
    if (dir.empty() || !MakeDirectory(dir)) {
        std::fprintf(stderr, "lblprint: cannot use the state directory \"%s\"\n", dir.c_str());
        return nullptr;
    }
    const std::string spool = dir + "/spool";
    if (!MakeDirectory(spool)) {
        std::fprintf(stderr, "lblprint: cannot make the spool directory \"%s\"\n", spool.c_str());
        return nullptr;
    }
    platform::SetSpoolDirectory(spool);
    if (platform::OpenSpoolDatabase() != ERROR_SUCCESS) {
        std::fprintf(stderr, "lblprint: %s\n", platform::SpoolDatabaseError().c_str());
        return nullptr;
    }

    int port = 8631;
    if (const char* value = cupsGetOption("server-port", numOptions, options)) {
        char* end = nullptr;
        const long n = std::strtol(value, &end, 10);
        if (!*value || *end || n < 0 || n > 65535) {
            std::fprintf(stderr, "lblprint: bad server-port \"%s\"\n", value);
            return nullptr;
        }
        port = static_cast<int>(n);
    }
    const char* listen = cupsGetOption("listen-hostname", numOptions, options);
    const char* logFile = cupsGetOption("log-file", numOptions, options);
    const std::string log = logFile ? logFile : dir + "/lblprint.log";
    const pappl_loglevel_t level = LogLevel(cupsGetOption("log-level", numOptions, options));

    pappl_system_t* system = papplSystemCreate(
        PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE | PAPPL_SOPTIONS_WEB_LOG | PAPPL_SOPTIONS_NO_TLS,
        "lblprint", port, "_print,_universal", dir.c_str(), log.c_str(), level, nullptr, false);
    if (!system) return nullptr;
    // Loopback unless told otherwise; "*" listens on every address.
    const std::string host = listen ? listen : "localhost";
    if (!papplSystemAddListeners(system, host == "*" ? nullptr : host.c_str())) {
        std::fprintf(stderr, "lblprint: cannot listen on %s port %d\n", host.c_str(), port);
        papplSystemDelete(system);
        return nullptr;
    }
    std::vector<pappl_pr_driver_t>& drivers = DriverList();
    papplSystemSetPrinterDrivers(system, static_cast<int>(drivers.size()), drivers.data(), nullptr, PrinterCreated,
                                 DriverCallback, nullptr);
    AddFilters(system);
    papplSystemSetFooterHTML(system, "lblprint " LBL_VERSION);
    LblWebAddSystem(system);
    // What the web pages store (labels, printing defaults) shows in the printer's attributes at once.
    LblWebSetDriverLock(system, &DriverLock());
    LblWebSetChangedCallback(system, [](pappl_printer_t* printer, void*) { RefreshPrinter(printer); }, nullptr);
    StateFile() = dir + "/lblprint.state";
    papplSystemLoadState(system, StateFile().c_str());
    // The saved defaults give way to the printers' labels and printing defaults as they are now.
    RefreshChangedPrinters(system, nullptr);
    papplSystemSetSaveCallback(system, SaveState, nullptr);
    papplSystemAddTimerCallback(system, 0, 2, RefreshChangedPrinters, nullptr);
    return system;
}

}  // namespace lblprint
