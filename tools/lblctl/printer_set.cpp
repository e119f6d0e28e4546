// lblctl printer set NAME FIELD=VALUE ...: changes the printer's installed options
// and spot colours through the printer sheet's items, as a person would, and
// applies. PP_METRIC and PP_HALFTONE have no item on the sheet and are stored
// as printer-properties flags afterwards. Every assignment is checked, and every
// item found, before anything is applied or written.
#include <cctype>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "printer_access.h"
#include "printer_commands.h"
#include "frontend/printer_sheet.h"
#include "spool_scope.h"

namespace lblctl {

namespace {

struct SetArgs {
    std::string name;
    std::vector<std::string> assignments;
};

// One change to make in the sheet: select a state, and for a spot colour
// optionally pick a colour in its dialog.
struct ItemChange {
    std::string field;
    LONG selection = 0;
    std::optional<COLORREF> color;
};

DWORD ParseSwitch(const std::string& field, const std::string& value)
{
    if (value == "1" || value == "on") return 1;
    if (value == "0" || value == "off") return 0;
    throw Failure{field + ": \"" + value + "\" is not 0, 1, on or off"};
}

// "#RRGGBB" as the COLORREF 0x00BBGGRR.
COLORREF ParseColor(const std::string& field, const std::string& value)
{
    bool ok = value.size() == 7 && value[0] == '#';
    for (size_t i = 1; ok && i < 7; ++i) ok = std::isxdigit(static_cast<unsigned char>(value[i])) != 0;
    if (!ok) throw Failure{field + ": \"" + value + "\" is not a colour #RRGGBB, on or off"};
    unsigned long rgb = std::stoul(value.substr(1), nullptr, 16);
    DWORD r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r | (g << 8) | (b << 16);
}

void SetFlag(PRINTERPROP& prop, DWORD flag, DWORD on)
{
    prop.dwFlags = on ? (prop.dwFlags | flag) : (prop.dwFlags & ~flag);
}

bool IsSpot(const std::string& field) { return field.rfind("spot.", 0) == 0; }

// The fields this printer's sheet offers, for the message about one it does not.
std::string OfferedFields(const PrinterSheet& sheet, const user::CommonSheetState& items)
{
    std::string list;
    for (const auto& [field, name] : sheet.fields) {
        if (field == "labels" || field == "feed" || FindFieldItem(sheet, items, field) < 0) continue;
        list += (list.empty() ? "" : ", ") + field;
    }
    return list + (list.empty() ? "" : ", ") + "PP_METRIC, PP_HALFTONE";
}

void PrinterSet(const SetArgs& args)
{
    std::vector<ItemChange> changes;
    std::optional<DWORD> metric, halftone;
    for (const auto& assignment : args.assignments) {
        size_t eq = assignment.find('=');
        if (eq == std::string::npos) throw Failure{"\"" + assignment + "\" is not FIELD=VALUE"};
        std::string field = assignment.substr(0, eq);
        std::string value = assignment.substr(eq + 1);
        if (field == "PP_METRIC") {
            metric = ParseSwitch(field, value);
        } else if (field == "PP_HALFTONE") {
            halftone = ParseSwitch(field, value);
        } else if (field == "bExpansionRAM" || field == "bPassThrough") {
            changes.push_back({field, static_cast<LONG>(ParseSwitch(field, value)), std::nullopt});
        } else if (IsSpot(field) && field != "spot.") {
            if (value == "on" || value == "off")
                changes.push_back({field, value == "on" ? 1 : 0, std::nullopt});
            else
                changes.push_back({field, 1, ParseColor(field, value)});
        } else {
            throw Failure{"unknown field \"" + field + "\""};
        }
    }

    PrinterSheet sheet = OpenPrinterSheet(args.name);
    if (!changes.empty()) {
        std::string error;
        std::optional<COLORREF> pendingColor;
        bool applied = false;
        RunPrinterSheet(sheet, [&](user::Desk& d) {
            switch (d.What()) {
            case user::Waiting::ColorDialog:
                if (pendingColor) d.PickColor(*pendingColor);
                else d.CancelColor();
                return;
            case user::Waiting::CommonSheet: break;
            default: return;  // any other wait is dismissed
            }
            for (const ItemChange& c : changes) {
                const auto items = d.Items();
                const int item = FindFieldItem(sheet, items, c.field);
                if (item < 0) {
                    error = c.field + ": printer \"" + args.name + "\" (model " + std::to_string(sheet.model) +
                            ") has no such item; its fields are " + OfferedFields(sheet, items);
                    break;
                }
                if (items.items[item].selection != c.selection && !d.Select(item, c.selection)) {
                    error = c.field + ": the printer sheet refused the value";
                    break;
                }
                if (c.color) {
                    pendingColor = c.color;
                    if (!d.PushExt(item)) {
                        error = c.field + ": the colour could not be chosen";
                        break;
                    }
                    pendingColor.reset();
                }
            }
            if (error.empty()) applied = d.Ok();
            else d.Cancel();
        });
        if (!error.empty()) throw Failure{error};
        if (!applied) throw Failure{"the printer sheet of printer \"" + args.name + "\" was not applied"};
    }

    if (metric || halftone) {
        auto printer = OpenPrinterOrFail(args.name);
        PRINTERPROP prop = StoredPrinterProperties(printer->h, args.name);
        if (prop.wSize == 0)
            throw Failure{"printer \"" + args.name +
                          "\" has no printer properties; \"lblctl printer upgrade\" makes them"};
        if (metric) SetFlag(prop, PP_METRIC, *metric);
        if (halftone) SetFlag(prop, PP_HALFTONE, *halftone);
        if (!SavePrinterProperties(printer->h, &prop, sizeof prop))
            throw Failure{"could not store the printer properties of printer \"" + args.name + "\""};
    }
}

}  // namespace

void AddPrinterSetCommand(CLI::App& printer)
{
    auto args = std::make_shared<SetArgs>();
    CLI::App* set = printer.add_subcommand(
        "set", "Change printer properties through the printer sheet (bExpansionRAM, bPassThrough, spot colours "
               "spot.black, spot.magenta, spot.cyan, spot.yellow = #RRGGBB, on or off) and the flags PP_METRIC, "
               "PP_HALFTONE");
    set->add_option("NAME", args->name, "Printer name")->required();
    set->add_option("FIELD=VALUE", args->assignments, "Assignments")->required();
    set->callback([args] { PrinterSet(*args); });
    ChangesSpool(set);
}

}  // namespace lblctl
