// PNG, PNM and PDF documents through our own page readers, so that a page
// becomes exactly the raster `lblctl print` makes of it.
#include <cstring>

#include "lblprint.h"

namespace lblprint {
namespace {

bool PageFileFilter(pappl_job_t* job, pappl_device_t* device, void*)
{
    const char* file = papplJobGetFilename(job);
    if (!file) return false;
    int pages = 1;
    if (platform::SniffPageFile(file) == platform::PageFileKind::Pdf) {
        std::string why;
        pages = platform::PdfPageCount(file, why);
        if (pages < 0) {
            papplJobSetMessage(job, "%s", why.c_str());
            return false;
        }
    }
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(papplJobGetPrinter(job), &data);
    pappl_pr_options_t* options = papplJobCreatePrintOptions(
        job, static_cast<unsigned>(pages), (data.color_supported & PAPPL_COLOR_MODE_COLOR) != 0);
    if (!options) return false;
    JobPages doc;
    doc.files.push_back(file);
    const bool ok = PrintJob(job, options, device, doc);
    papplJobDeletePrintOptions(options);
    return ok;
}

// Documents sent as application/octet-stream: netpbm pictures by their magic.
const char* DetectFormat(const unsigned char* header, size_t size, void*)
{
    if (size >= 3 && header[0] == 'P' && header[1] >= '4' && header[1] <= '6' &&
        (header[2] == ' ' || header[2] == '\n' || header[2] == '\r' || header[2] == '\t'))
        return "image/x-portable-anymap";
    return nullptr;
}

}  // namespace

void AddFilters(pappl_system_t* system)
{
    for (const char* format : {"image/png", "image/x-portable-anymap", "image/x-portable-bitmap",
                               "image/x-portable-graymap", "image/x-portable-pixmap", "application/pdf"})
        papplSystemAddMIMEFilter(system, format, kLabelFormat, PageFileFilter, nullptr);
    papplSystemSetMIMECallback(system, DetectFormat, nullptr);
}

}  // namespace lblprint
