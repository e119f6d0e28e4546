// lblctl ppd list: the model descriptions that come with lblctl, so a person can
// choose the model of a printer.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/codepage.h"
#include "commands.h"
#include "frontend/owners.h"

namespace lblctl {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

// The bundled descriptions: share/lbl/ppd of the installed tree, else the source tree's ppd/.
fs::path BundledDirectory()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path installed = (exe.parent_path() / ".." / "share" / "lbl" / "ppd").lexically_normal();
        if (fs::is_directory(installed, ec)) return installed;
    }
    return fs::path(LBL_BUNDLED_PPD_DIR);
}

double Mm(LONG tenths) { return tenths / 10.0; }

void PpdList(bool json)
{
    const fs::path dir = BundledDirectory();
    std::error_code ec;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.path().extension() == ".ppd") files.push_back(entry.path());
    if (files.empty()) throw Failure{"no model descriptions in " + dir.string()};

    struct Row {
        DWORD model;
        Json j;
    };
    std::vector<Row> rows;
    for (const fs::path& file : files) {
        // Parsed only: the bundled folder gets no binary description files.
        PpdPtr ppd(PpdParse(platform::Widen(file.string()).c_str()));
        if (!ppd || ppd->dwLanguageLevel >= MODEL_COUNT) continue;
        const DEVSPEC& limits = devspec[ppd->dwLanguageLevel];
        Json dpis = Json::array();
        const UIGROUP* res = PpdPredefGroup(ppd.get(), PPDGROUP_RESOLUTION);
        for (const UIOPTION* o = PpdFirstOption(ppd.get(), res); o; o = PpdNextOption(ppd.get(), o))
            if (const char* name = PpdOptionName(ppd.get(), o); name && std::atol(name) > 0) dpis.push_back(std::atol(name));
        const char* nick = PpdNickName(ppd.get());
        LONG heightMin = std::min({limits.alHeightMin[0], limits.alHeightMin[1], limits.alHeightMin[2]});
        rows.push_back({ppd->dwLanguageLevel,
                        Json{{"model", ppd->dwLanguageLevel},
                             {"file", file.string()},
                             {"name", nick ? nick : file.stem().string()},
                             {"resolutions", dpis},
                             {"color", ppd->bColorDevice != 0},
                             {"width", {Mm(limits.lWidthMin), Mm(limits.lWidthMax)}},
                             {"height", {Mm(heightMin), Mm(limits.alHeightMax[0])}},
                             {"heightWithExpansionRAM", Mm(limits.alHeightMax[1])}}});
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.model < b.model; });
    Json all = Json::array();
    for (auto& r : rows) {
        if (json) {
            all.push_back(r.j);
            continue;
        }
        std::string dpis;
        for (const auto& d : r.j["resolutions"]) dpis += (dpis.empty() ? "" : ",") + d.dump();
        std::printf("%2u  %-28s %-10s %s dpi  width %.1f-%.1f mm  height %.1f-%.1f mm  %s\n", r.model,
                    r.j["name"].get<std::string>().c_str(), r.j["color"].get<bool>() ? "colour" : "monochrome",
                    dpis.c_str(), r.j["width"][0].get<double>(), r.j["width"][1].get<double>(),
                    r.j["height"][0].get<double>(), r.j["height"][1].get<double>(),
                    r.j["file"].get<std::string>().c_str());
    }
    if (json) std::printf("%s\n", all.dump(2).c_str());
}

}  // namespace

void AddPpdListCommand(CLI::App& ppd)
{
    auto json = std::make_shared<bool>(false);
    CLI::App* list = ppd.add_subcommand("list", "The model descriptions that come with lblctl");
    list->add_flag("--json", *json, "As JSON");
    list->callback([json] { PpdList(*json); });
}

}  // namespace lblctl
