#include "frontend/printers.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "base/codepage.h"
#include "frontend/failure.h"
#include "frontend/label_forms.h"
#include "frontend/names.h"
#include "frontend/ui_driver.h"
#include "spooler/port.h"

namespace frontend {

namespace fs = std::filesystem;

namespace {

std::u16string LabelName(const LABELDATA& label)
{
    size_t n = 0;
    while (n < CCHLABELNAME - 1 && label.szLabelName[n] != 0) ++n;
    return std::u16string(label.szLabelName, n);
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

[[noreturn]] void AddFailed(const std::string& printerName, DWORD rc)
{
    const std::string name = Quoted(printerName);
    if (rc == ERROR_PRINTER_ALREADY_EXISTS) throw Failure{"a printer named \"" + name + "\" already exists"};
    if (rc == ERROR_INVALID_PRINTER_NAME) throw Failure{"\"" + name + "\" is not a valid printer name"};
    throw Failure{"cannot add printer \"" + name + "\" (error " + std::to_string(rc) + ")"};
}

}  // namespace

platform::PrinterRecord FindPrinterOrFail(const std::string& name)
{
    CheckName("printer name", name);
    auto printer = platform::FindPrinter(name);
    if (!printer) throw Failure{"no printer named \"" + Quoted(name) + "\""};
    return *printer;
}

std::unique_ptr<PrinterHandle> OpenPrinterOrFail(const std::string& name)
{
    FindPrinterOrFail(name);
    std::u16string wname = platform::Widen(name);
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE h = nullptr;
    if (!OpenPrinterW(wname.data(), &h, &defaults) || !h)
        throw Failure{"cannot open printer \"" + Quoted(name) + "\" (error " + std::to_string(GetLastError()) + ")"};
    return std::make_unique<PrinterHandle>(h);
}

PpdPtr LoadDescription(const std::string& path)
{
    if (path.empty()) return nullptr;
    std::u16string wpath = platform::Widen(path);
    return PpdPtr(PpdCreate(wpath.c_str(), nullptr));
}

// A description the UI library cannot use for a model 0 to 10 undoes all of it.
void AddPrinterFromDescription(const std::string& printerName, const std::string& ppd, const std::string& portName)
{
    CheckName("printer name", printerName);
    std::error_code ec;
    if (!fs::is_regular_file(ppd, ec)) throw Failure{Quoted(ppd, kMaxQuotedPath) + ": no such printer description file"};
    if (!LooksLikeDescription(ppd)) throw Failure{Quoted(ppd, kMaxQuotedPath) + ": not a printer description (PPD) file"};
    if (std::string why; !portName.empty() && !platform::CheckPort(portName, why))
        throw Failure{"port \"" + Quoted(portName, kMaxQuotedPath) + "\": " + why + "; no printer was added"};
    if (platform::FindPrinter(printerName)) AddFailed(printerName, ERROR_PRINTER_ALREADY_EXISTS);
    bool created = false;
    const fs::path copy = InstallDescription(fs::absolute(ppd, ec).lexically_normal(), created);
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
        throw Failure{"cannot install the driver of " + ppd + " (error " + std::to_string(GetLastError()) + ")"};
    }

    const std::set<std::u16string> formsBefore = FormNames();
    std::u16string name = platform::Widen(printerName);
    std::u16string port = platform::Widen(portName);
    PRINTER_INFO_2W pi{};
    pi.pPrinterName = name.data();
    pi.pPortName = port.data();
    pi.pDriverName = driver.data();
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&pi));
    if (!h) {
        const DWORD rc = GetLastError();
        RemoveNewForms(formsBefore);
        undo();
        AddFailed(printerName, rc);
    }
    PrinterHandle printer(h);
    UiDriver uiDriver = LoadUiDriver(*platform::FindPrinter(printerName));
    if (uiDriver.DrvDeviceCapabilities(h, name.data(), DC_MINEXTENT, nullptr, nullptr) == GDI_ERROR) {
        ClosePrinter(printer.h);
        printer.h = nullptr;
        platform::DeletePrinter(printerName);
        RemoveNewForms(formsBefore);
        undo();
        throw Failure{ppd + ": not a printer description of models 0 to 10; no printer was added"};
    }
}

void RemovePrinterAndForms(const std::string& name)
{
    std::vector<std::string> failed;
    {
        auto printer = OpenPrinterOrFail(name);
        std::u16string wname = platform::Widen(name);
        LabelDbPtr db(GetLabelDatabase(printer->h, wname.c_str()));
        std::set<std::u16string> names;
        for (DWORD i = 0; i < GetLabelNum(db.get()); ++i) names.insert(LabelName(db.get()[i]));
        failed = DeleteLabelForms(printer->h, names, name);
    }
    DWORD rc = platform::DeletePrinter(name);
    if (rc != ERROR_SUCCESS) throw Failure{"cannot remove printer \"" + name + "\" (error " + std::to_string(rc) + ")"};
    if (!failed.empty()) throw Failure{"printer removed, but its form \"" + failed.front() + "\" could not be deleted"};
}

}  // namespace frontend
