// lblctl caps: every device capability of a printer, answered by its UI library.
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/codepage.h"
#include "commands.h"
#include "printer_access.h"
#include "frontend/ui_driver.h"

namespace lblctl {
namespace {

using Json = nlohmann::ordered_json;

struct CapsArgs {
    std::string printer;
    std::string devmode;
    bool json = false;
};

// How the data of a capability is laid out in the output buffer.
enum class Data { None, Words, Points, Longs, Pairs, Names24, Names64, String };

struct Capability {
    WORD index;
    const char* name;
    Data data;
};

constexpr Capability kCapabilities[] = {
    {DC_FIELDS, "DC_FIELDS", Data::None},
    {DC_PAPERS, "DC_PAPERS", Data::Words},
    {DC_PAPERSIZE, "DC_PAPERSIZE", Data::Points},
    {DC_MINEXTENT, "DC_MINEXTENT", Data::Points},
    {DC_MAXEXTENT, "DC_MAXEXTENT", Data::Points},
    {DC_BINS, "DC_BINS", Data::Words},
    {DC_DUPLEX, "DC_DUPLEX", Data::None},
    {DC_SIZE, "DC_SIZE", Data::None},
    {DC_EXTRA, "DC_EXTRA", Data::None},
    {DC_VERSION, "DC_VERSION", Data::None},
    {DC_DRIVER, "DC_DRIVER", Data::None},
    {DC_BINNAMES, "DC_BINNAMES", Data::Names24},
    {DC_ENUMRESOLUTIONS, "DC_ENUMRESOLUTIONS", Data::Pairs},
    {DC_FILEDEPENDENCIES, "DC_FILEDEPENDENCIES", Data::String},
    {DC_TRUETYPE, "DC_TRUETYPE", Data::None},
    {DC_PAPERNAMES, "DC_PAPERNAMES", Data::Names64},
    {DC_ORIENTATION, "DC_ORIENTATION", Data::None},
    {DC_COPIES, "DC_COPIES", Data::None},
};

size_t ElementSize(Data d)
{
    switch (d) {
    case Data::Words: return 2;
    case Data::Points:
    case Data::Pairs: return 8;
    case Data::Longs: return 4;
    case Data::Names24: return 48;
    case Data::Names64: return 128;
    case Data::String: return 2;
    case Data::None: return 0;
    }
    return 0;
}

std::string Name(const WCHAR* p, size_t cch)
{
    std::u16string s;
    for (size_t i = 0; i < cch && p[i]; ++i) s += p[i];
    return platform::Narrow(s);
}

Json Decode(Data d, const std::vector<BYTE>& buf, size_t count)
{
    Json data = Json::array();
    for (size_t i = 0; i < count; ++i) {
        const BYTE* at = buf.data() + i * ElementSize(d);
        if (d == Data::Words) {
            WORD w;
            std::memcpy(&w, at, 2);
            data.push_back(w);
        } else if (d == Data::Points || d == Data::Pairs) {
            LONG xy[2];
            std::memcpy(xy, at, 8);
            data.push_back(Json{xy[0], xy[1]});
        } else if (d == Data::Names24 || d == Data::Names64) {
            data.push_back(Name(reinterpret_cast<const WCHAR*>(at), d == Data::Names24 ? 24 : 64));
        }
    }
    return data;
}

std::string Text(const Json& j)
{
    std::string t;
    for (const auto& e : j) {
        if (!t.empty()) t += ", ";
        if (e.is_array()) t += std::to_string(e[0].get<long>()) + "x" + std::to_string(e[1].get<long>());
        else if (e.is_string()) t += "\"" + e.get<std::string>() + "\"";
        else t += e.dump();
    }
    return t;
}

void Caps(const CapsArgs& a)
{
    const platform::PrinterRecord record = FindPrinterOrFail(a.printer);
    auto printer = OpenPrinterOrFail(a.printer);
    UiDriver ui = LoadUiDriver(record);
    std::vector<BYTE> devmode;
    if (!a.devmode.empty()) devmode = ReadDevModeFile(a.devmode);
    auto* pdm = devmode.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(devmode.data());
    std::u16string device = platform::Widen(record.name);

    Json all = Json::object();
    for (const Capability& c : kCapabilities) {
        const DWORD first = ui.DrvDeviceCapabilities(printer->h, device.data(), c.index, nullptr, pdm);
        const long result = first == GDI_ERROR ? -1L : static_cast<long>(first);
        Json entry{{"result", result}};
        if (c.data != Data::None && result >= 0) {
            const size_t count = c.data == Data::Points && (c.index == DC_MINEXTENT || c.index == DC_MAXEXTENT)
                                     ? 1
                                     : static_cast<size_t>(result);
            std::vector<BYTE> buf((count + 1) * ElementSize(c.data), 0);
            ui.DrvDeviceCapabilities(printer->h, device.data(), c.index, buf.data(), pdm);
            entry["data"] = c.data == Data::String ? Json::array() : Decode(c.data, buf, count);
        }
        if (a.json) {
            all[c.name] = entry;
        } else {
            std::printf("%-20s %ld", c.name, result);
            if (entry.contains("data") && !entry["data"].empty()) std::printf("  %s", Text(entry["data"]).c_str());
            std::printf("\n");
        }
    }
    if (a.json) std::printf("%s\n", all.dump(2).c_str());
}

}  // namespace

void AddCapsCommand(CLI::App& app)
{
    auto args = std::make_shared<CapsArgs>();
    CLI::App* caps = app.add_subcommand("caps", "Every device capability of a printer, as its driver answers");
    caps->add_option("PRINTER", args->printer, "Printer name")->required();
    caps->add_option("--devmode", args->devmode, "A device mode file to merge into the driver default");
    caps->add_flag("--json", args->json, "As a JSON object keyed by the DC_ names");
    caps->callback([args] { Caps(*args); });
}

}  // namespace lblctl
