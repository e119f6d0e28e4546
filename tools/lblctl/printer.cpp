// lblctl printer add, list and remove; show and set are in their own files.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/codepage.h"
#include "platform/driverdir.h"
#include "tools/lblctl/commands.h"
#include "tools/lblctl/label_forms.h"
#include "tools/lblctl/label_json.h"
#include "tools/lblctl/printer_access.h"
#include "tools/lblctl/printer_commands.h"

namespace lblctl {

namespace fs = std::filesystem;

namespace {

struct AddArgs {
    std::string name;
    std::string ppd;
    std::string port;
};

// The driver library `file` (liblblrender.so, liblblui.so), found where the platform
// finds driver libraries (an installed tree, else the build tree).
std::string DriverLibrary(const char*, const char* file) { return platform::DriverLibraryPath(file); }

// The default port: a file in the spool directory named after the printer.
std::string DefaultPort(const std::string& name)
{
    std::string file = name;
    std::replace(file.begin(), file.end(), '/', '_');
    std::error_code ec;
    fs::path dir = fs::absolute(platform::SpoolDirectory(), ec);
    return (dir / (file + ".prn")).lexically_normal().string();
}

// What installing a printer leaves behind: its printer-properties record, its label
// database (the standard label) and a printer form for every label.
void InstallPrinterSettings(const std::string& name, const PPDDATA* pPpd)
{
    auto printer = OpenPrinterOrFail(name);
    HANDLE h = printer->h;
    PRINTERPROP prop = ReadPrinterProperties(h, pPpd, name);
    if (!SavePrinterProperties(h, &prop, sizeof prop))
        throw Failure{"could not store the printer properties of printer \"" + name + "\""};

    std::u16string wname = platform::Widen(name);
    LabelDbPtr db(GetLabelDatabase(h, wname.c_str()));
    if (!db) throw Failure{"out of memory reading the label database"};
    auto block = std::make_unique<LabelBlock>();
    block->count = std::min<DWORD>(GetLabelNum(db.get()), MAX_LABELS);
    std::copy_n(db.get(), block->count, block->labels);
    StoreLabelDatabase(h, *block, name);
    AddLabelForms(h, std::span<const LABELDATA>(block->labels, block->count));
}

void PrinterAdd(const AddArgs& args)
{
    std::error_code ec;
    if (!fs::is_regular_file(args.ppd, ec)) throw Failure{args.ppd + ": no such printer description file"};
    std::string ppdPath = fs::absolute(args.ppd, ec).lexically_normal().string();
    PpdPtr ppd = LoadDescription(ppdPath);
    if (!ppd) throw Failure{args.ppd + ": not a readable printer description"};

    platform::PrinterRecord record;
    record.name = args.name;
    const char* nickname = PpdNickName(ppd.get());
    record.driverName = nickname && *nickname ? nickname : fs::path(ppdPath).stem().string();
    record.dataFile = ppdPath;
    record.port = args.port.empty() ? DefaultPort(args.name) : args.port;
    record.renderLibrary = DriverLibrary("render", "liblblrender.so");
    record.uiLibrary = DriverLibrary("ui", "liblblui.so");

    DWORD rc = platform::AddPrinter(record);
    if (rc == ERROR_PRINTER_ALREADY_EXISTS) throw Failure{"a printer named \"" + args.name + "\" already exists"};
    if (rc == ERROR_INVALID_PRINTER_NAME) throw Failure{"\"" + args.name + "\" is not a valid printer name"};
    if (rc != ERROR_SUCCESS)
        throw Failure{"cannot add printer \"" + args.name + "\" (error " + std::to_string(rc) + ")"};
    try {
        InstallPrinterSettings(args.name, ppd.get());
    } catch (...) {
        platform::DeletePrinter(args.name);  // never leave a printer without its settings
        throw;
    }
}

void PrinterList()
{
    for (const auto& printer : platform::EnumPrinters()) std::printf("%s\n", printer.name.c_str());
}

void PrinterRemove(const std::string& name)
{
    std::vector<std::string> failed;
    {
        auto printer = OpenPrinterOrFail(name);
        std::u16string wname = platform::Widen(name);
        LabelDbPtr db(GetLabelDatabase(printer->h, wname.c_str()));
        std::set<std::u16string> names;
        for (DWORD i = 0; i < GetLabelNum(db.get()); ++i) names.insert(platform::Widen(LabelName(db.get()[i])));
        failed = DeleteLabelForms(printer->h, names, name);
    }
    DWORD rc = platform::DeletePrinter(name);
    if (rc != ERROR_SUCCESS) throw Failure{"cannot remove printer \"" + name + "\" (error " + std::to_string(rc) + ")"};
    if (!failed.empty()) throw Failure{"printer removed, but its form \"" + failed.front() + "\" could not be deleted"};
}

}  // namespace

void AddPrinterCommand(CLI::App& app)
{
    CLI::App* printer = app.add_subcommand("printer", "Add, list, show, change and remove printers");
    printer->require_subcommand(1);

    auto addArgs = std::make_shared<AddArgs>();
    CLI::App* add = printer->add_subcommand("add", "Add a printer with its standard label");
    add->add_option("NAME", addArgs->name, "Printer name")->required();
    add->add_option("--ppd", addArgs->ppd, "Printer description file (PPD)")->required();
    add->add_option("--port", addArgs->port, "Where jobs go: a file, socket://host[:port] or a device "
                                              "(default: NAME.prn in the spool directory)");
    add->callback([addArgs] { PrinterAdd(*addArgs); });

    CLI::App* list = printer->add_subcommand("list", "List the printers, one name a line");
    list->callback([] { PrinterList(); });

    auto removeName = std::make_shared<std::string>();
    CLI::App* remove = printer->add_subcommand("remove", "Remove a printer and the forms of its labels");
    remove->add_option("NAME", *removeName, "Printer name")->required();
    remove->callback([removeName] { PrinterRemove(*removeName); });

    AddPrinterShowCommand(*printer);
    AddPrinterSetCommand(*printer);
}

}  // namespace lblctl
