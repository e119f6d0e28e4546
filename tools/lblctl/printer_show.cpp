// lblctl printer show: the printer's record, printer properties, spot colours and
// label database in readable form.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "base/codepage.h"
#include "label_json.h"
#include "printer_access.h"
#include "printer_commands.h"

namespace lblctl {

namespace {

const char* const kSpotNames[4] = {"spot.black", "spot.magenta", "spot.cyan", "spot.yellow"};

void Line(const char* key, const std::string& value) { std::printf("  %-16s %s\n", key, value.c_str()); }

std::string Hex4(unsigned v)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", v & 0xFFFF);
    return text;
}

std::string WordText(const void* record, const NumericField& f, int i)
{
    BYTE raw[4];
    std::memcpy(raw, static_cast<const BYTE*>(record) + f.offset + 4 * i, 4);
    if (f.isUnsigned) {
        std::uint32_t v;
        std::memcpy(&v, raw, 4);
        return std::to_string(v);
    }
    std::int32_t v;
    std::memcpy(&v, raw, 4);
    return std::to_string(v);
}

std::string FieldText(const void* record, const NumericField& f)
{
    std::string text;
    for (int i = 0; i < f.count; ++i) text += (i ? " " : "") + WordText(record, f, i);
    return text;
}

void ShowDescription(const platform::PrinterRecord& record, const PPDDATA* pPpd)
{
    std::string text = record.dataFile;
    if (!pPpd) {
        text += " (cannot be read)";
    } else {
        text += " (model " + std::to_string(pPpd->dwLanguageLevel) + ", " +
                (pPpd->bColorDevice ? "colour" : "monochrome");
        if (const char* nick = PpdNickName(pPpd); nick && *nick) text += std::string(", \"") + nick + "\"";
        text += ")";
    }
    Line("description", text);
}

void ShowProperties(const PRINTERPROP& prop)
{
    std::printf("Printer properties\n");
    Line("wVersion", Hex4(prop.wVersion));
    Line("PP_METRIC", std::to_string((prop.dwFlags & PP_METRIC) ? 1 : 0));
    Line("PP_HALFTONE", std::to_string((prop.dwFlags & PP_HALFTONE) ? 1 : 0));
    Line("bExpansionRAM", std::to_string(prop.bExpansionRAM));
    Line("bPassThrough", std::to_string(prop.bPassThrough));
    Line("wPpdChecksum", Hex4(prop.wPpdChecksum));
}

void ShowSpotColors(HANDLE h)
{
    std::printf("Spot colours\n");
    DrvPtr<SPOTCOLOR> spots(static_cast<SPOTCOLOR*>(GetProperty(h, PROP_SPOTCOLOR)));
    if (!spots) throw Failure{"out of memory reading the spot colours"};
    for (int i = 0; i < 4; ++i) {
        const SPOTCOLOR& spot = spots.get()[i];
        Line(kSpotNames[i], (spot.bSpotColor ? "on " : "off ") + ColorText(spot.crSpotColor));
    }
}

void ShowLabel(const LABELDATA& label, DWORD index)
{
    std::printf("  %u. \"%s\"\n", index + 1, LabelName(label).c_str());
    for (const auto& f : LabelFields()) std::printf("    %-16s %s\n", f.name, FieldText(&label, f).c_str());
    for (int r = 0; r < 4; ++r) {
        std::string text;
        for (const auto& f : RibbonFields()) text += std::string(text.empty() ? "" : ", ") + f.name + " " + FieldText(&label.aRibbon[r], f);
        std::printf("    aRibbon[%d]       %s\n", r, text.c_str());
    }
}

void PrinterShow(const std::string& name)
{
    platform::PrinterRecord record = FindPrinterOrFail(name);
    auto printer = OpenPrinterOrFail(name);
    PpdPtr ppd = LoadDescription(record.dataFile);

    std::printf("Printer \"%s\"\n", record.name.c_str());
    Line("port", record.port);
    ShowDescription(record, ppd.get());
    Line("driver", record.driverName);
    Line("render library", record.renderLibrary);
    Line("UI library", record.uiLibrary);

    ShowProperties(StoredPrinterProperties(printer->h, name));
    ShowSpotColors(printer->h);

    std::u16string wname = platform::Widen(name);
    LabelDbPtr db(GetLabelDatabase(printer->h, wname.c_str()));
    if (!db) throw Failure{"out of memory reading the label database"};
    DWORD count = GetLabelNum(db.get());
    std::printf("Labels (%u)\n", count);
    for (DWORD i = 0; i < count; ++i) ShowLabel(db.get()[i], i);
}

}  // namespace

void AddPrinterShowCommand(CLI::App& printer)
{
    auto name = std::make_shared<std::string>();
    CLI::App* show = printer.add_subcommand("show", "Show a printer's properties, spot colours and labels");
    show->add_option("NAME", *name, "Printer name")->required();
    show->callback([name] { PrinterShow(*name); });
}

}  // namespace lblctl
