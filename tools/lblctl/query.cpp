// lblctl query: whether the printer's driver would print a job of this device mode.
#include <cstdio>
#include <memory>
#include <optional>

#include "commands.h"
#include "printer_access.h"
#include "frontend/ui_driver.h"

namespace lblctl {
namespace {

struct QueryArgs {
    std::string printer;
    std::string devmode;
    std::string form;
    std::optional<int> resolution;
};

void Query(const QueryArgs& a)
{
    const platform::PrinterRecord record = FindPrinterOrFail(a.printer);
    auto printer = OpenPrinterOrFail(a.printer);
    UiDriver ui = LoadUiDriver(record);
    std::vector<BYTE> devmode;  // none: a job without a device mode
    if (!a.devmode.empty()) devmode = ReadDevModeFile(a.devmode);
    else if (!a.form.empty() || a.resolution) devmode = PublicDevMode(record.name);
    if (!a.form.empty()) ChooseForm(devmode, a.form);
    if (a.resolution) ChooseResolution(devmode, *a.resolution);
    const std::string reason = AskDriver(ui, printer->h, devmode);
    if (!reason.empty()) throw Failure{reason};
    std::printf("ok\n");
}

}  // namespace

void AddQueryCommand(CLI::App& app)
{
    auto args = std::make_shared<QueryArgs>();
    CLI::App* query = app.add_subcommand("query", "Ask the printer's driver whether it would print a job");
    query->add_option("PRINTER", args->printer, "Printer name")->required();
    query->add_option("--devmode", args->devmode, "The job's device mode, from a file");
    query->add_option("--form", args->form, "The job's form, by name");
    query->add_option("--resolution", args->resolution, "The job's resolution in dpi")->check(CLI::Range(1, 32767));
    query->callback([args] { Query(*args); });
}

}  // namespace lblctl
