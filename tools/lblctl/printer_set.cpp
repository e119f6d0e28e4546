// lblctl printer set NAME FIELD=VALUE ...: changes printer properties and spot colours.
// Every assignment is checked before anything is written.
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "printer_access.h"
#include "printer_commands.h"
#include "spool_scope.h"

namespace lblctl {

namespace {

struct SetArgs {
    std::string name;
    std::vector<std::string> assignments;
};

const char* const kSpotNames[4] = {"spot.black", "spot.magenta", "spot.cyan", "spot.yellow"};

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

void PrinterSet(const SetArgs& args)
{
    auto printer = OpenPrinterOrFail(args.name);
    HANDLE h = printer->h;
    PRINTERPROP prop = StoredPrinterProperties(h, args.name);
    if (prop.wSize == 0)
        throw Failure{"printer \"" + args.name + "\" has no printer properties; \"lblctl printer upgrade\" makes them"};

    DrvPtr<SPOTCOLOR> stored(static_cast<SPOTCOLOR*>(GetProperty(h, PROP_SPOTCOLOR)));
    if (!stored) throw Failure{"out of memory reading the spot colours"};
    SPOTCOLOR spots[4];
    std::memcpy(spots, stored.get(), sizeof spots);

    bool propChanged = false;
    bool spotChanged = false;
    for (const auto& assignment : args.assignments) {
        size_t eq = assignment.find('=');
        if (eq == std::string::npos) throw Failure{"\"" + assignment + "\" is not FIELD=VALUE"};
        std::string field = assignment.substr(0, eq);
        std::string value = assignment.substr(eq + 1);
        if (field == "bExpansionRAM") {
            prop.bExpansionRAM = ParseSwitch(field, value);
            propChanged = true;
        } else if (field == "bPassThrough") {
            prop.bPassThrough = ParseSwitch(field, value);
            propChanged = true;
        } else if (field == "PP_METRIC") {
            SetFlag(prop, PP_METRIC, ParseSwitch(field, value));
            propChanged = true;
        } else if (field == "PP_HALFTONE") {
            SetFlag(prop, PP_HALFTONE, ParseSwitch(field, value));
            propChanged = true;
        } else {
            int i = 0;
            while (i < 4 && field != kSpotNames[i]) ++i;
            if (i == 4) throw Failure{"unknown field \"" + field + "\""};
            if (value == "off" || value == "on") {
                spots[i].bSpotColor = value == "on";
            } else {
                spots[i].crSpotColor = ParseColor(field, value);
                spots[i].bSpotColor = 1;
            }
            spotChanged = true;
        }
    }

    if (propChanged && !SavePrinterProperties(h, &prop, sizeof prop))
        throw Failure{"could not store the printer properties of printer \"" + args.name + "\""};
    if (spotChanged && !SaveProperty(h, spots, PROP_SPOTCOLOR))
        throw Failure{"could not store the spot colours of printer \"" + args.name + "\""};
}

}  // namespace

void AddPrinterSetCommand(CLI::App& printer)
{
    auto args = std::make_shared<SetArgs>();
    CLI::App* set = printer.add_subcommand(
        "set", "Change printer properties (bExpansionRAM, bPassThrough, PP_METRIC, PP_HALFTONE) and spot colours "
               "(spot.black, spot.magenta, spot.cyan, spot.yellow = #RRGGBB, on or off)");
    set->add_option("NAME", args->name, "Printer name")->required();
    set->add_option("FIELD=VALUE", args->assignments, "Assignments")->required();
    set->callback([args] { PrinterSet(*args); });
    ChangesSpool(set);
}

}  // namespace lblctl
