#include "job_options.h"

#include "base/codepage.h"
#include "frontend/failure.h"
#include "vendor_options.h"

namespace lblprint {
namespace {

const char* Vendor(const pappl_pr_options_t& options, const char* name)
{
    return cupsGetOption(name, options.num_vendor, options.vendor);
}

}  // namespace

frontend::SheetChanges JobChanges(const pappl_pr_options_t& options, const std::u16string& label)
{
    frontend::SheetChanges c;
    if (!label.empty()) c.label = platform::Narrow(label.c_str());
    c.copies = options.copies > 0 ? options.copies : 1;
    if (options.orientation_requested == IPP_ORIENT_LANDSCAPE) c.orientation = "landscape";
    else if (options.orientation_requested == IPP_ORIENT_PORTRAIT) c.orientation = "portrait";
    if (options.print_color_mode & PAPPL_COLOR_MODE_COLOR) {
        const char* inks = Vendor(options, kColorInks);
        c.color = inks && std::string(inks) == "3-color" ? "3color" : "4color";
    } else {
        c.color = "mono";
    }
    if (options.printer_resolution[0] > 0) c.resolution = options.printer_resolution[0];
    for (const VendorOption& option : kVendorOptions) {
        const char* value = Vendor(options, option.attribute);
        if (!value) continue;
        std::string offered;
        bool found = false;
        for (size_t i = 0; i < option.keywords.size() && option.keywords[i]; ++i) {
            offered += (offered.empty() ? "" : ", ") + std::string(option.keywords[i]);
            if (std::string(value) == option.keywords[i]) {
                c.sets.push_back(std::string(option.field) + "=" + option.values[i]);
                found = true;
            }
        }
        if (!found)
            throw frontend::Failure{std::string(option.attribute) + " takes " + offered + ", not \"" +
                                    std::string(value).substr(0, 40) + "\""};
    }
    return c;
}

}  // namespace lblprint
