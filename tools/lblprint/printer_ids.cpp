// PAPPL 1.3 writes a printer's printer-id attribute before it numbers the
// printer, so a printer made while the server runs reports printer-id 0 and
// PAPPL's own delete and modify subcommands cannot find it until a restart.
// Such a printer is made again under its number, as a restart would make it,
// once the request that made it is done.
#include <chrono>
#include <set>
#include <thread>

#include "lblprint.h"

namespace lblprint {
namespace {

std::mutex& RemakeLock()
{
    static std::mutex lock;
    return lock;
}

std::set<std::string>& Remaking()
{
    static std::set<std::string> names;
    return names;
}

// What a person or Create-Printer may have set on the printer so far.
struct PrinterSettings {
    std::string name, driver, deviceId, deviceUri;
    char location[256]{}, geo[256]{}, organization[256]{}, unit[256]{}, dnssd[256]{}, group[256]{};
    pappl_contact_t contact{};
    int maxActive = 0, maxCompleted = 0, maxPreserved = 0, nextJob = 0;
};

PrinterSettings Read(pappl_printer_t* p)
{
    PrinterSettings s;
    s.name = papplPrinterGetName(p);
    s.driver = papplPrinterGetDriverName(p);
    if (const char* id = papplPrinterGetDeviceID(p)) s.deviceId = id;
    if (const char* uri = papplPrinterGetDeviceURI(p)) s.deviceUri = uri;
    papplPrinterGetLocation(p, s.location, sizeof s.location);
    papplPrinterGetGeoLocation(p, s.geo, sizeof s.geo);
    papplPrinterGetOrganization(p, s.organization, sizeof s.organization);
    papplPrinterGetOrganizationalUnit(p, s.unit, sizeof s.unit);
    papplPrinterGetDNSSDName(p, s.dnssd, sizeof s.dnssd);
    papplPrinterGetPrintGroup(p, s.group, sizeof s.group);
    papplPrinterGetContact(p, &s.contact);
    s.maxActive = papplPrinterGetMaxActiveJobs(p);
    s.maxCompleted = papplPrinterGetMaxCompletedJobs(p);
    s.maxPreserved = papplPrinterGetMaxPreservedJobs(p);
    s.nextJob = papplPrinterGetNextJobID(p);
    return s;
}

void Write(pappl_printer_t* p, PrinterSettings& s)
{
    if (s.location[0]) papplPrinterSetLocation(p, s.location);
    if (s.geo[0]) papplPrinterSetGeoLocation(p, s.geo);
    if (s.organization[0]) papplPrinterSetOrganization(p, s.organization);
    if (s.unit[0]) papplPrinterSetOrganizationalUnit(p, s.unit);
    if (s.dnssd[0]) papplPrinterSetDNSSDName(p, s.dnssd);
    if (s.group[0]) papplPrinterSetPrintGroup(p, s.group);
    papplPrinterSetContact(p, &s.contact);
    papplPrinterSetMaxActiveJobs(p, s.maxActive);
    papplPrinterSetMaxCompletedJobs(p, s.maxCompleted);
    papplPrinterSetMaxPreservedJobs(p, s.maxPreserved);
    if (s.nextJob > 1) papplPrinterSetNextJobID(p, s.nextJob);
}

// On a thread of its own: PAPPL's timers run under the system lock that
// removing a printer takes.
// Waits in short steps, so that the thread is gone soon after the server starts
// to stop (the system is deleted once its last jobs are done).
bool Wait(pappl_system_t* system, int ms)
{
    for (int waited = 0; waited < ms; waited += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (papplSystemIsShutdown(system)) return false;
    }
    return true;
}

void Remake(pappl_system_t* system, int id)
{
    for (int attempt = 0; attempt < 600; ++attempt) {
        // The request that made the printer answers first; a job in progress finishes.
        if (!Wait(system, attempt == 0 ? 500 : 100)) return;
        pappl_printer_t* printer = papplSystemFindPrinter(system, nullptr, id, nullptr);
        if (!printer || papplPrinterIsDeleted(printer)) return;
        // Made again only while it has no job, none is lost with the old printer:
        // new jobs are held off (clients are told it is not accepting jobs and
        // try again) only for the moment of the change.
        if (papplPrinterGetNumberOfActiveJobs(printer) > 0) continue;
        papplPrinterDisable(printer);
        if (papplPrinterGetNumberOfActiveJobs(printer) > 0) {
            papplPrinterEnable(printer);
            continue;
        }
        PrinterSettings settings = Read(printer);
        {
            std::lock_guard<std::mutex> guard(RemakeLock());
            Remaking().insert(settings.name);
        }
        papplPrinterDelete(printer);
        pappl_printer_t* again = papplPrinterCreate(system, id, settings.name.c_str(), settings.driver.c_str(),
                                                    settings.deviceId.empty() ? nullptr : settings.deviceId.c_str(),
                                                    settings.deviceUri.c_str());
        {
            std::lock_guard<std::mutex> guard(RemakeLock());
            Remaking().erase(settings.name);
        }
        if (!again) {
            papplLog(system, PAPPL_LOGLEVEL_ERROR, "Printer '%s' could not be made again under its number %d.",
                     settings.name.c_str(), id);
            return;
        }
        Write(again, settings);
        return;
    }
}

}  // namespace

bool IsBeingRemade(const std::string& name)
{
    std::lock_guard<std::mutex> guard(RemakeLock());
    return Remaking().count(name) != 0;
}

void RenumberLater(pappl_printer_t* printer)
{
    std::thread(Remake, papplPrinterGetSystem(printer), papplPrinterGetID(printer)).detach();
}

}  // namespace lblprint
