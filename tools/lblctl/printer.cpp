// lblctl printer add, list and remove; show and set are in their own files.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include <fstream>
#include <iterator>
#include <set>

#include "base/codepage.h"
#include "commands.h"
#include "label_json.h"
#include "printer_access.h"
#include "printer_commands.h"
#include "spooler/port.h"
#include "frontend/ui_driver.h"
#include "spool_scope.h"

namespace lblctl {

namespace fs = std::filesystem;

namespace {

struct AddArgs {
    std::string name;
    std::string ppd;
    std::string port;
};

// The default port: a file in the spool directory named after the printer.
std::string DefaultPort(const std::string& name)
{
    std::string file = name;
    std::replace(file.begin(), file.end(), '/', '_');
    std::error_code ec;
    fs::path dir = fs::absolute(platform::SpoolDirectory(), ec);
    return (dir / (file + ".prn")).lexically_normal().string();
}

void PrinterList()
{
    for (const auto& printer : platform::EnumPrinters()) std::printf("%s\n", printer.name.c_str());
}

void PrinterUpgrade(const std::string& name)
{
    UiDriver ui = LoadUiDriver(FindPrinterOrFail(name));
    std::u16string wname = platform::Widen(name);
    DRIVER_UPGRADE_INFO_1 info{wname.data(), nullptr};
    if (!ui.DrvUpgradePrinter(1, reinterpret_cast<LPBYTE>(&info)))
        throw Failure{"the driver did not upgrade printer \"" + name + "\" (error " + std::to_string(GetLastError()) +
                      ")"};
}

}  // namespace

void AddPrinterCommand(CLI::App& app)
{
    CLI::App* printer = app.add_subcommand("printer", "Add, list, show, change and remove printers");
    printer->require_subcommand(1);

    auto addArgs = std::make_shared<AddArgs>();
    CLI::App* add = printer->add_subcommand("add", "Add a printer; its driver gives it its settings and standard label");
    add->add_option("NAME", addArgs->name, "Printer name")->required();
    add->add_option("--ppd", addArgs->ppd, "Printer description file (PPD)")->required();
    add->add_option("--port", addArgs->port, "Where jobs go: a file, socket://host[:port] or a device "
                                              "(default: NAME.prn in the spool directory)");
    add->callback([addArgs] {
        AddPrinterFromDescription(addArgs->name, addArgs->ppd,
                                  addArgs->port.empty() ? DefaultPort(addArgs->name) : addArgs->port);
    });
    ChangesSpool(add);

    CLI::App* list = printer->add_subcommand("list", "List the printers, one name a line");
    list->callback([] { PrinterList(); });

    auto removeName = std::make_shared<std::string>();
    CLI::App* remove = printer->add_subcommand("remove", "Remove a printer and the forms of its labels");
    remove->add_option("NAME", *removeName, "Printer name")->required();
    remove->callback([removeName] { RemovePrinterAndForms(*removeName); });
    ChangesSpool(remove);

    auto upgradeName = std::make_shared<std::string>();
    CLI::App* upgrade = printer->add_subcommand("upgrade", "Run the driver's upgrade, as installing a new driver version does");
    upgrade->add_option("NAME", *upgradeName, "Printer name")->required();
    upgrade->callback([upgradeName] { PrinterUpgrade(*upgradeName); });
    ChangesSpool(upgrade);

    AddPrinterDataCommand(*printer);
    AddPrinterShowCommand(*printer);
    AddPrinterSetCommand(*printer);
}

}  // namespace lblctl
