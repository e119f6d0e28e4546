// lblctl forms: the spooler's machine-wide form list, as a print server's form
// settings show and change it.
#include <cstdio>
#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/codepage.h"
#include "commands.h"
#include "frontend/owners.h"
#include "spool_scope.h"

namespace lblctl {
namespace {

using Json = nlohmann::ordered_json;

struct FormArgs {
    std::string name;
    long width = 0;
    long height = 0;
    bool printerForm = false;
    bool json = false;
};

const char* FlagName(DWORD flags)
{
    if (flags & FORM_BUILTIN) return "FORM_BUILTIN";
    if (flags & FORM_PRINTER) return "FORM_PRINTER";
    return "FORM_USER";
}

std::unique_ptr<PrinterHandle> Server()
{
    HANDLE h = nullptr;
    if (!OpenPrinterW(nullptr, &h, nullptr)) throw Failure{"cannot open the spooler"};
    return std::make_unique<PrinterHandle>(h);
}

std::string ErrorText(const std::string& name, DWORD rc)
{
    switch (rc) {
    case ERROR_FILE_EXISTS: return "a form named \"" + name + "\" already exists";
    case ERROR_INVALID_FORM_NAME: return "\"" + name + "\" is not a form name of the spooler";
    case ERROR_INVALID_FORM_SIZE: return "the size of form \"" + name + "\" is not valid";
    case ERROR_ACCESS_DENIED: return "form \"" + name + "\" is built in";
    default: return "form \"" + name + "\": error " + std::to_string(rc);
    }
}

void FormsList(bool json)
{
    auto server = Server();
    DWORD cbNeeded = 0, count = 0;
    EnumFormsW(server->h, 1, nullptr, 0, &cbNeeded, &count);
    std::vector<BYTE> buf(cbNeeded);
    if (!EnumFormsW(server->h, 1, buf.data(), cbNeeded, &cbNeeded, &count))
        throw Failure{"cannot read the spooler's forms (error " + std::to_string(GetLastError()) + ")"};
    const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buf.data());
    Json all = Json::array();
    for (DWORD i = 0; i < count; ++i) {
        const FORM_INFO_1W& f = forms[i];
        const std::string name = platform::Narrow(f.pName);
        if (json) {
            all.push_back(Json{{"number", i + 1},
                               {"pName", name},
                               {"Flags", FlagName(f.Flags)},
                               {"Size", {f.Size.cx, f.Size.cy}},
                               {"ImageableArea",
                                {f.ImageableArea.left, f.ImageableArea.top, f.ImageableArea.right,
                                 f.ImageableArea.bottom}}});
        } else {
            std::printf("%3u  %-12s %7d x %-7d  %s\n", i + 1, FlagName(f.Flags), f.Size.cx, f.Size.cy, name.c_str());
        }
    }
    if (json) std::printf("%s\n", all.dump(2).c_str());
}

void FormsAdd(const FormArgs& a)
{
    auto server = Server();
    std::u16string name = platform::Widen(a.name);
    FORM_INFO_1W form{};
    form.Flags = a.printerForm ? FORM_PRINTER : FORM_USER;
    form.pName = name.data();
    form.Size = SIZEL{static_cast<LONG>(a.width), static_cast<LONG>(a.height)};
    form.ImageableArea = RECTL{0, 0, static_cast<LONG>(a.width), static_cast<LONG>(a.height)};
    if (!AddFormW(server->h, 1, reinterpret_cast<LPBYTE>(&form))) throw Failure{ErrorText(a.name, GetLastError())};
}

void FormsDelete(const std::string& formName)
{
    auto server = Server();
    std::u16string name = platform::Widen(formName);
    if (!DeleteFormW(server->h, name.data())) throw Failure{ErrorText(formName, GetLastError())};
}

}  // namespace

void AddFormsCommand(CLI::App& app)
{
    CLI::App* forms = app.add_subcommand("forms", "List, add and delete the spooler's forms");
    forms->require_subcommand(1);

    auto listJson = std::make_shared<bool>(false);
    CLI::App* list = forms->add_subcommand("list", "List the forms in order with their numbers");
    list->add_flag("--json", *listJson, "As JSON");
    list->callback([listJson] { FormsList(*listJson); });

    auto args = std::make_shared<FormArgs>();
    CLI::App* add = forms->add_subcommand("add", "Add a form (micrometres); a user form unless --printer-form");
    add->add_option("NAME", args->name, "Form name")->required();
    add->add_option("WIDTH", args->width, "Width in micrometres")->required()->check(CLI::Range(1L, 0x7FFFFFFFL));
    add->add_option("HEIGHT", args->height, "Height in micrometres")->required()->check(CLI::Range(1L, 0x7FFFFFFFL));
    add->add_flag("--printer-form", args->printerForm, "A printer form (FORM_PRINTER)");
    add->callback([args] { FormsAdd(*args); });
    ChangesSpool(add);

    auto deleteName = std::make_shared<std::string>();
    CLI::App* del = forms->add_subcommand("delete", "Delete a form that is not built in");
    del->add_option("NAME", *deleteName, "Form name")->required();
    del->callback([deleteName] { FormsDelete(*deleteName); });
    ChangesSpool(del);
}

}  // namespace lblctl
