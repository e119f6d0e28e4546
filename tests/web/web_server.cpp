// A small PAPPL system with one printer and our pages, for the tests of the
// pages until they run in the application:
//   lblweb_test_server SPOOLDIR STATEDIR PORT PRINTER
// The spooler's printer PRINTER must exist in SPOOLDIR. Stops on SIGTERM.
#include <pappl/pappl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "lblweb/web.h"
#include "spooler/spooler.h"

namespace {

bool Start(pappl_job_t*, pappl_pr_options_t*, pappl_device_t*) { return true; }
bool StartPage(pappl_job_t*, pappl_pr_options_t*, pappl_device_t*, unsigned) { return true; }
bool Line(pappl_job_t*, pappl_pr_options_t*, pappl_device_t*, unsigned, const unsigned char*) { return true; }

bool Driver(pappl_system_t*, const char*, const char*, const char*, pappl_pr_driver_data_t* d, ipp_t**, void*)
{
    d->rstartjob_cb = Start;
    d->rendjob_cb = Start;
    d->rstartpage_cb = StartPage;
    d->rendpage_cb = StartPage;
    d->rwriteline_cb = Line;
    d->format = "application/octet-stream";
    std::snprintf(d->make_and_model, sizeof d->make_and_model, "Test Label Printer");
    d->kind = PAPPL_KIND_LABEL;
    d->color_supported = PAPPL_COLOR_MODE_MONOCHROME;
    d->color_default = PAPPL_COLOR_MODE_MONOCHROME;
    d->raster_types = PAPPL_PWG_RASTER_TYPE_BLACK_1;
    d->num_resolution = 1;
    d->x_resolution[0] = d->y_resolution[0] = 203;
    d->x_default = d->y_default = 203;
    d->num_media = 1;
    d->media[0] = "oe_4x6-label_4x6in";
    std::snprintf(d->media_default.size_name, sizeof d->media_default.size_name, "oe_4x6-label_4x6in");
    d->media_default.size_width = 10160;
    d->media_default.size_length = 15240;
    d->media_ready[0] = d->media_default;
    d->num_source = 1;
    d->source[0] = "main-roll";
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: lblweb_test_server SPOOLDIR STATEDIR PORT PRINTER\n");
        return 2;
    }
    platform::SetSpoolDirectory(argv[1]);
    const std::string state = argv[2];
    const int port = std::atoi(argv[3]);
    pappl_system_t* system = papplSystemCreate(
        static_cast<pappl_soptions_t>(PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE | PAPPL_SOPTIONS_NO_TLS),
        "Label Test", port, nullptr, state.c_str(), (state + "/log").c_str(), PAPPL_LOGLEVEL_DEBUG, nullptr, false);
    if (!system || !papplSystemAddListeners(system, "localhost")) return 1;
    papplSystemSetFooterHTML(system, "Label test system");
    static pappl_pr_driver_t drivers[] = {{"lbl-test", "Test Label Printer", "MFG:Test;MDL:Label;", nullptr}};
    papplSystemSetPrinterDrivers(system, 1, drivers, nullptr, nullptr, Driver, nullptr);
    pappl_printer_t* printer = papplPrinterCreate(system, 0, argv[4], "lbl-test", "MFG:Test;MDL:Label;", "file:///dev/null");
    if (!printer) return 1;
    LblWebAddSystem(system);
    LblWebAddPrinter(system, printer, argv[4]);
    papplSystemRun(system);
    papplSystemDelete(system);
    return 0;
}
