// lblctl options: the printer's document property sheet, as a print dialog opens
// it: its items listed, or changed and applied into a device-mode file or the
// printer's printing defaults.
#include <cstdio>
#include <fstream>
#include <memory>

#include <nlohmann/json.hpp>

#include "base/codepage.h"
#include "compstui/compstui.h"
#include "sheet_options.h"
#include "printer_access.h"
#include "spooler/spooler.h"
#include "spool_scope.h"

namespace lblctl {
namespace {

using Json = nlohmann::ordered_json;

struct OptionsArgs {
    std::string printer;
    std::string devmode;
    std::string save;
    bool defaults = false;
    bool json = false;
    SheetChanges changes;
};

std::string Text(const std::u16string& s) { return platform::Narrow(s.c_str()); }

const char* TypeName(BYTE type)
{
    switch (type) {
    case TVOT_2STATES: return "2states";
    case TVOT_3STATES: return "3states";
    case TVOT_UDARROW: return "udarrow";
    case TVOT_TRACKBAR: return "trackbar";
    case TVOT_SCROLLBAR: return "scrollbar";
    case TVOT_LISTBOX: return "listbox";
    case TVOT_COMBOBOX: return "combobox";
    case TVOT_EDITBOX: return "editbox";
    case TVOT_PUSHBUTTON: return "pushbutton";
    case TVOT_CHKBOX: return "checkbox";
    default: return "header";
    }
}

bool IsRange(BYTE type) { return type == TVOT_UDARROW || type == TVOT_TRACKBAR || type == TVOT_SCROLLBAR; }

void PrintItems(const user::CommonSheetState& s, bool json)
{
    if (json) {
        Json all = Json::array();
        for (const auto& it : s.items) {
            Json j;
            j["UserData"] = it.userData;
            j["name"] = Text(it.name);
            j["type"] = TypeName(it.type);
            Json choices = Json::array();
            for (const auto& c : it.choices) choices.push_back(Text(c));
            if (IsRange(it.type)) {
                j["range"] = {it.low, it.high};
            } else {
                j["choices"] = choices;
            }
            j["selection"] = it.selection;
            if (!it.extName.empty() && !it.extIsPush) j["check"] = {{"name", Text(it.extName)}, {"checked", it.extChecked}};
            all.push_back(j);
        }
        std::printf("%s\n", all.dump(2).c_str());
        return;
    }
    for (const auto& it : s.items) {
        std::string line = Text(it.name) + ":";
        if (it.type == TVOT_PUSHBUTTON) {
            line += " (push button)";
        } else if (IsRange(it.type)) {
            line += " " + std::to_string(it.selection) + " (" + std::to_string(it.low) + " to " +
                    std::to_string(it.high) + ")";
        } else {
            for (size_t i = 0; i < it.choices.size(); ++i)
                line += std::string(i ? ", " : " ") + (static_cast<LONG>(i) == it.selection ? "*" : "") +
                        Text(it.choices[i]);
        }
        if (!it.extName.empty() && !it.extIsPush) line += "; " + Text(it.extName) + (it.extChecked ? ": on" : ": off");
        std::printf("%s\n", line.c_str());
    }
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes)
{
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw Failure{path + ": cannot be written"};
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) throw Failure{path + ": cannot be written"};
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw Failure{path + ": cannot be written"};
    }
}

void Options(const OptionsArgs& a)
{
    const platform::PrinterRecord rec = FindPrinterOrFail(a.printer);
    auto printer = OpenPrinterOrFail(a.printer);
    const std::vector<BYTE> input = a.devmode.empty() ? std::vector<BYTE>{} : ReadDevModeFile(a.devmode);
    if (!a.changes.Any() && a.save.empty() && !a.defaults) {
        PrintItems(ReadDocumentSheet(printer->h, rec.name, input), a.json);
        return;
    }
    std::vector<BYTE> devmode = DeviceModeFromSheet(printer->h, rec.name, input, a.changes);
    if (!a.save.empty()) WriteFile(a.save, devmode);
    if (a.defaults) {
        PRINTER_INFO_8W info{reinterpret_cast<DEVMODEW*>(devmode.data())};
        if (!SetPrinterW(printer->h, 8, reinterpret_cast<LPBYTE>(&info), 0))
            throw Failure{"cannot store the printing defaults of printer \"" + rec.name + "\" (error " +
                          std::to_string(GetLastError()) + ")"};
    }
    // Without a place to keep it, the result is shown as the sheet now stands.
    if (a.json || (a.save.empty() && !a.defaults)) PrintItems(ReadDocumentSheet(printer->h, rec.name, devmode), a.json);
}

}  // namespace

void AddOptionsCommand(CLI::App& app)
{
    auto args = std::make_shared<OptionsArgs>();
    CLI::App* cmd = app.add_subcommand("options", "Show or change a job's settings in the printer's document sheet");
    cmd->add_option("PRINTER", args->printer, "Printer name")->required();
    cmd->add_option("--devmode", args->devmode, "Open the sheet on this device-mode file");
    AddSheetOptions(cmd, args->changes);
    auto* save = cmd->add_option("--save", args->save, "Write the resulting device mode to this file");
    auto* defaults = cmd->add_flag("--defaults", args->defaults, "Store the result as the printer's printing defaults");
    save->excludes(defaults);
    cmd->add_flag("--json", args->json, "List the sheet's items as JSON");
    cmd->callback([args] { Options(*args); });
    ChangesSpool(cmd);  // --defaults stores the printing defaults
}

}  // namespace lblctl
