// One driver per model, "lbl-model0" .. "lbl-model10", backed by the model's
// description file; a printer's labels and sheet complete its driver data when
// the printer is created (printers.cpp).
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "base/codepage.h"
#include "description/ppd.h"
#include "frontend/owners.h"
#include "lblprint.h"

namespace lblprint {
namespace fs = std::filesystem;
namespace {

// The installed descriptions (share/lbl/ppd beside bin/), else those of the source tree.
fs::path DescriptionDirectory()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path installed = exe.parent_path().parent_path() / "share" / "lbl" / "ppd";
        if (fs::is_regular_file(installed / "model0.ppd", ec)) return installed;
    }
    return fs::path(LBL_BUNDLED_PPD_DIR);
}

struct DriverNames {
    std::vector<std::string> names, descriptions;
    std::vector<pappl_pr_driver_t> drivers;
};

DriverNames& Drivers()
{
    static DriverNames d = [] {
        DriverNames n;
        for (int model = 0; model < kModelCount; ++model) {
            n.names.push_back("lbl-model" + std::to_string(model));
            std::string nick = "Label printer model " + std::to_string(model);
            const std::u16string path = platform::Widen(DescriptionFile(n.names.back()));
            // Parsed without writing a binary description file beside an installed one.
            if (frontend::PpdPtr ppd(PpdParse(path.c_str())); ppd && PpdNickName(ppd.get()))
                nick = PpdNickName(ppd.get());
            n.descriptions.push_back(nick);
        }
        for (int model = 0; model < kModelCount; ++model)
            n.drivers.push_back(pappl_pr_driver_t{n.names[model].c_str(), n.descriptions[model].c_str(), nullptr, nullptr});
        return n;
    }();
    return d;
}

}  // namespace

std::vector<pappl_pr_driver_t>& DriverList() { return Drivers().drivers; }

std::string DescriptionFile(const std::string& driverName)
{
    const std::string prefix = "lbl-model";
    if (driverName.compare(0, prefix.size(), prefix) != 0) return "";
    const std::string number = driverName.substr(prefix.size());
    if (number.empty() || number.size() > 2 || number.find_first_not_of("0123456789") != std::string::npos ||
        (number.size() == 2 && number[0] == '0'))
        return "";
    const int model = std::stoi(number);
    if (model >= kModelCount) return "";
    return (DescriptionDirectory() / ("model" + number + ".ppd")).string();
}

bool DriverCallback(pappl_system_t*, const char* driverName, const char*, const char*, pappl_pr_driver_data_t* data,
                    ipp_t**, void*)
{
    const std::string file = DescriptionFile(driverName ? driverName : "");
    if (file.empty()) return false;
    std::lock_guard<std::mutex> lock(DriverLock());
    const std::u16string path = platform::Widen(file);
    frontend::PpdPtr ppd(PpdParse(path.c_str()));
    if (!ppd) return false;

    const std::string nick = PpdNickName(ppd.get()) ? PpdNickName(ppd.get()) : driverName;
    std::snprintf(data->make_and_model, sizeof data->make_and_model, "%s", nick.c_str());
    data->format = kLabelFormat;
    data->kind = PAPPL_KIND_LABEL | PAPPL_KIND_ROLL;
    data->ppm = 1;
    data->orient_default = IPP_ORIENT_PORTRAIT;
    data->quality_default = IPP_QUALITY_NORMAL;
    data->scaling_default = PAPPL_SCALING_AUTO;
    data->content_default = PAPPL_CONTENT_AUTO;
    const bool colour = ppd->bColorDevice != 0;
    data->color_supported = PAPPL_COLOR_MODE_MONOCHROME | (colour ? PAPPL_COLOR_MODE_COLOR : 0);
    data->color_default = colour ? PAPPL_COLOR_MODE_COLOR : PAPPL_COLOR_MODE_MONOCHROME;
    // 8-bit pictures only: the driver halftones, PAPPL never dithers.
    data->raster_types = PAPPL_PWG_RASTER_TYPE_SGRAY_8 | PAPPL_PWG_RASTER_TYPE_SRGB_8;
    data->force_raster_type = PAPPL_PWG_RASTER_TYPE_NONE;
    data->duplex = PAPPL_DUPLEX_NONE;
    data->sides_supported = PAPPL_SIDES_ONE_SIDED;
    data->sides_default = PAPPL_SIDES_ONE_SIDED;
    const int dpi = static_cast<int>(PpdDefaultResolution(ppd.get()));
    data->num_resolution = 1;
    data->x_resolution[0] = data->y_resolution[0] = dpi;
    data->x_default = data->y_default = dpi;
    // Labels print to their edges. Each size is also offered with margins of
    // 0.01 mm: CUPS names a size without margins "NAME.Borderless" but its queue's
    // default page size "NAME", so an IPP Everywhere queue of only borderless
    // sizes has a default that is none of its sizes (and prints the default on
    // another page size). The driver prints the whole label either way.
    data->borderless = true;
    data->left_right = data->bottom_top = 1;
    // Until the printer's labels are known: one size so that PAPPL has a default
    // (a job given it asked for no media and prints on the printer's label).
    data->num_media = 1;
    data->media[0] = "oe_4x6-label_4x6in";
    std::snprintf(data->media_default.size_name, sizeof data->media_default.size_name, "%s", data->media[0]);
    data->media_default.size_width = 10160;
    data->media_default.size_length = 15240;
    data->num_source = 1;
    data->source[0] = "main-roll";
    std::snprintf(data->media_default.source, sizeof data->media_default.source, "main-roll");
    data->num_type = 1;
    data->type[0] = "labels";
    std::snprintf(data->media_default.type, sizeof data->media_default.type, "labels");
    data->media_ready[0] = data->media_default;
    data->tracking_supported = PAPPL_MEDIA_TRACKING_GAP;
    data->delete_cb = PrinterDeleted;
    SetRasterCallbacks(data);
    return true;
}

}  // namespace lblprint
