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
#include "label_forms.h"
#include "label_json.h"
#include "printer_access.h"
#include "printer_commands.h"
#include "spooler/port.h"
#include "ui_driver.h"
#include "spool_scope.h"
#include "names.h"

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

// The spooler's printer-driver directory.
fs::path DriverDirectory()
{
    DWORD cbNeeded = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, nullptr, 0, &cbNeeded);
    std::u16string dir(cbNeeded / sizeof(WCHAR) + 1, u'\0');
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(dir.data()),
                                    static_cast<DWORD>(dir.size() * sizeof(WCHAR)), &cbNeeded))
        throw Failure{"cannot find the spooler's printer-driver directory"};
    return fs::path(platform::Narrow(dir.c_str()));
}

bool SameContent(const fs::path& a, const fs::path& b)
{
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    return fa && fb && std::equal(std::istreambuf_iterator<char>(fa), std::istreambuf_iterator<char>(),
                                  std::istreambuf_iterator<char>(fb), std::istreambuf_iterator<char>());
}

// The description installed in the driver directory, as the platform installs a
// driver's data file: a copy named after the file, numbered when another file of
// that name is there already. `created` tells whether this call made the copy.
fs::path InstallDescription(const fs::path& source, bool& created)
{
    const fs::path dir = DriverDirectory();
    const std::string stem = source.stem().string(), ext = source.extension().string();
    std::error_code ec;
    for (int n = 1; n < 1000; ++n) {
        fs::path target = dir / (n == 1 ? stem + ext : stem + "-" + std::to_string(n) + ext);
        if (fs::exists(target, ec)) {
            if (SameContent(source, target)) {
                created = false;
                return target;
            }
            continue;
        }
        if (!fs::copy_file(source, target, ec))
            throw Failure{source.string() + ": cannot be copied into " + dir.string() + ": " + ec.message()};
        created = true;
        return target;
    }
    throw Failure{source.string() + ": too many descriptions of that name in " + dir.string()};
}

// Removes a description copy and the binary description file made from it.
void UninstallDescription(const fs::path& copy)
{
    std::error_code ec;
    fs::path bpd = copy;
    bpd.replace_extension(".BPD");
    fs::remove(copy, ec);
    fs::remove(bpd, ec);
}

std::set<std::u16string> FormNames()
{
    std::set<std::u16string> names;
    HANDLE server = nullptr;
    if (!OpenPrinterW(nullptr, &server, nullptr)) return names;
    PrinterHandle owner(server);
    DWORD cbNeeded = 0, count = 0;
    EnumFormsW(server, 1, nullptr, 0, &cbNeeded, &count);
    std::vector<BYTE> buf(cbNeeded);
    if (!EnumFormsW(server, 1, buf.data(), cbNeeded, &cbNeeded, &count)) return names;
    const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buf.data());
    for (DWORD i = 0; i < count; ++i) names.insert(forms[i].pName);
    return names;
}

// Deletes the printer forms that were not there before.
void RemoveNewForms(const std::set<std::u16string>& before)
{
    HANDLE server = nullptr;
    if (!OpenPrinterW(nullptr, &server, nullptr)) return;
    PrinterHandle owner(server);
    for (std::u16string name : FormNames())
        if (!before.count(name)) DeleteFormW(server, name.data());
}

// A description file opens with its format's marker.
bool LooksLikeDescription(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string head(11, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    return in.gcount() == 11 && head == "*PPD-Adobe:";
}

[[noreturn]] void AddFailed(const AddArgs& args, DWORD rc)
{
    const std::string name = Quoted(args.name);
    if (rc == ERROR_PRINTER_ALREADY_EXISTS) throw Failure{"a printer named \"" + name + "\" already exists"};
    if (rc == ERROR_INVALID_PRINTER_NAME) throw Failure{"\"" + name + "\" is not a valid printer name"};
    throw Failure{"cannot add printer \"" + name + "\" (error " + std::to_string(rc) + ")"};
}

// Adds the printer as the platform does: its description installed as the driver's
// data file, the driver record, then AddPrinterW, whose install event in the UI
// library stores the printer's values and registers its label forms. A description
// the UI library cannot use for a model 0 to 10 undoes all of it.
void PrinterAdd(const AddArgs& args)
{
    CheckName("printer name", args.name);
    std::error_code ec;
    if (!fs::is_regular_file(args.ppd, ec)) throw Failure{Quoted(args.ppd, kMaxQuotedPath) + ": no such printer description file"};
    if (!LooksLikeDescription(args.ppd)) throw Failure{Quoted(args.ppd, kMaxQuotedPath) + ": not a printer description (PPD) file"};
    if (std::string why; !args.port.empty() && !platform::CheckPort(args.port, why))
        throw Failure{"port \"" + Quoted(args.port, kMaxQuotedPath) + "\": " + why + "; no printer was added"};
    if (platform::FindPrinter(args.name)) AddFailed(args, ERROR_PRINTER_ALREADY_EXISTS);
    bool created = false;
    const fs::path copy = InstallDescription(fs::absolute(args.ppd, ec).lexically_normal(), created);
    auto undo = [&] {
        if (created) UninstallDescription(copy);
    };

    std::u16string driver = platform::Widen(copy.filename().string()), data = platform::Widen(copy.string()),
                   render = u"liblblrender.so", uiLibrary = u"liblblui.so", help = u"";
    DRIVER_INFO_3W di{};
    di.pName = driver.data();
    di.pDriverPath = render.data();
    di.pConfigFile = uiLibrary.data();
    di.pDataFile = data.data();
    di.pHelpFile = help.data();
    if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&di))) {
        undo();
        throw Failure{"cannot install the driver of " + args.ppd + " (error " + std::to_string(GetLastError()) + ")"};
    }

    const std::set<std::u16string> formsBefore = FormNames();
    std::u16string name = platform::Widen(args.name);
    std::u16string port = platform::Widen(args.port.empty() ? DefaultPort(args.name) : args.port);
    PRINTER_INFO_2W pi{};
    pi.pPrinterName = name.data();
    pi.pPortName = port.data();
    pi.pDriverName = driver.data();
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&pi));
    if (!h) {
        const DWORD rc = GetLastError();
        RemoveNewForms(formsBefore);
        undo();
        AddFailed(args, rc);
    }
    PrinterHandle printer(h);
    UiDriver uiDriver = LoadUiDriver(*platform::FindPrinter(args.name));
    if (uiDriver.DrvDeviceCapabilities(h, name.data(), DC_MINEXTENT, nullptr, nullptr) == GDI_ERROR) {
        ClosePrinter(printer.h);
        printer.h = nullptr;
        platform::DeletePrinter(args.name);
        RemoveNewForms(formsBefore);
        undo();
        throw Failure{args.ppd + ": not a printer description of models 0 to 10; no printer was added"};
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
    add->callback([addArgs] { PrinterAdd(*addArgs); });
    ChangesSpool(add);

    CLI::App* list = printer->add_subcommand("list", "List the printers, one name a line");
    list->callback([] { PrinterList(); });

    auto removeName = std::make_shared<std::string>();
    CLI::App* remove = printer->add_subcommand("remove", "Remove a printer and the forms of its labels");
    remove->add_option("NAME", *removeName, "Printer name")->required();
    remove->callback([removeName] { PrinterRemove(*removeName); });
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
