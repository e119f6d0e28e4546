// PAPPL's printers as printers of the spooler stand-in: created the way
// `lblctl printer add` makes them, their media and defaults read from their
// labels and document sheet, removed with their labels' forms.
#include <cstring>
#include <map>
#include <filesystem>
#include <system_error>
#include <set>

#include "base/codepage.h"
#include "frontend/doc_sheet.h"
#include "frontend/failure.h"
#include "frontend/printers.h"
#include "lblprint.h"
#include "lblweb/web.h"
#include "spooler/spooler.h"
#include "vendor_options.h"

namespace lblprint {
namespace {

// Driver data points at strings it does not own: they stay for the life of the process.
const char* Keep(const std::string& text)
{
    static std::mutex lock;
    static std::set<std::string> pool;
    std::lock_guard<std::mutex> guard(lock);
    return pool.insert(text).first->c_str();
}

// The spooler printer's port: where a file:// or socket:// device writes, so that
// lblctl print to it goes to the same place; other devices get a file in the spool.
std::string PortFor(const std::string& name, const char* deviceUri)
{
    const std::string uri = deviceUri ? deviceUri : "";
    if (uri.rfind("file://", 0) == 0 && uri.size() > 7 && uri[7] == '/') {
        std::string path = uri.substr(7);
        if (const auto q = path.find('?'); q != std::string::npos) path.resize(q);
        std::error_code ec;
        if (!std::filesystem::is_directory(path, ec)) return path;
    }
    if (uri.rfind("socket://", 0) == 0) return uri;
    std::string file = name;
    for (char& c : file)
        if (c == '/') c = '_';
    return platform::SpoolDirectory() + "/" + file + ".prn";
}

void SetMediaCol(pappl_media_col_t& col, const LabelMedia& label)
{
    col = pappl_media_col_t{};
    std::snprintf(col.size_name, sizeof col.size_name, "%s", label.media.c_str());
    std::snprintf(col.source, sizeof col.source, "main-roll");
    col.size_width = static_cast<int>((label.widthUm + 5) / 10);
    col.size_length = static_cast<int>((label.heightUm + 5) / 10);
    col.tracking = PAPPL_MEDIA_TRACKING_GAP;
    std::snprintf(col.type, sizeof col.type, "labels");
}

const user::ItemState* FindItem(const user::CommonSheetState& s, ULONG_PTR id)
{
    for (const auto& it : s.items)
        if (it.userData == id) return &it;
    return nullptr;
}

}  // namespace

std::mutex& DriverLock()
{
    static std::mutex lock;
    return lock;
}

bool RefreshPrinter(pappl_printer_t* printer)
{
    const std::string name = papplPrinterGetName(printer);
    // The model's data afresh, completed from the printer's labels and sheet.
    pappl_pr_driver_data_t data{};
    if (!DriverCallback(papplPrinterGetSystem(printer), papplPrinterGetDriverName(printer), nullptr, nullptr, &data,
                        nullptr, nullptr))
        return false;
    user::CommonSheetState sheet;
    std::vector<LabelMedia> labels;
    std::optional<MediaRange> range;
    try {
        std::lock_guard<std::mutex> lock(DriverLock());
        auto handle = frontend::OpenPrinterOrFail(name);
        sheet = frontend::ReadDocumentSheet(handle->h, name, {});
        labels = PrinterLabels(name);
        range = PrinterMediaRange(name);
    } catch (const frontend::Failure& f) {
        papplLog(papplPrinterGetSystem(printer), PAPPL_LOGLEVEL_ERROR, "Printer '%s': %s", name.c_str(),
                 f.message.c_str());
        return false;
    }
    if (labels.empty()) return false;

    // Media: every label, and the model's size range for jobs of other sizes
    // (PAPPL keeps a job's media-size when it lies within the range); the
    // sheet's selected label is loaded and the default.
    data.num_media = 0;
    for (const LabelMedia& label : labels)
        if (data.num_media < PAPPL_MAX_MEDIA - 2) data.media[data.num_media++] = Keep(label.media);
    if (range) {
        data.media[data.num_media++] = Keep(RangeMediaName("custom_min_", range->minWidthUm, range->minHeightUm));
        data.media[data.num_media++] = Keep(RangeMediaName("custom_max_", range->maxWidthUm, range->maxHeightUm));
    } else {
        papplLog(papplPrinterGetSystem(printer), PAPPL_LOGLEVEL_WARN,
                 "Printer '%s': the driver gives no size limits; jobs print only on its labels", name.c_str());
    }
    SetMediaCol(data.media_default, *SelectedLabel(sheet, labels));
    data.media_ready[0] = data.media_default;

    if (const user::ItemState* item = FindItem(sheet, kResolutionItem)) {
        data.num_resolution = 0;
        for (size_t i = 0; i < item->choices.size() && data.num_resolution < PAPPL_MAX_RESOLUTION; ++i) {
            const int dpi = std::atoi(platform::Narrow(item->choices[i].c_str()).c_str());
            if (dpi <= 0) continue;
            data.x_resolution[data.num_resolution] = data.y_resolution[data.num_resolution] = dpi;
            if (static_cast<LONG>(i) == item->selection || data.num_resolution == 0)
                data.x_default = data.y_default = dpi;
            ++data.num_resolution;
        }
    }

    ipp_t* attrs = ippNew();
    const user::ItemState* colour = FindItem(sheet, kColorItem);
    data.color_supported = PAPPL_COLOR_MODE_MONOCHROME | (colour ? PAPPL_COLOR_MODE_COLOR : 0);
    data.color_default = colour && colour->selection != 0 ? PAPPL_COLOR_MODE_COLOR : PAPPL_COLOR_MODE_MONOCHROME;
    data.num_vendor = 0;
    int numDefaults = 0;
    cups_option_t* defaults = nullptr;
    if (colour) {
        const char* inks[] = {"4-color", "3-color"};
        data.vendor[data.num_vendor++] = kColorInks;
        ippAddStrings(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "color-inks-supported", 2, nullptr, inks);
        ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "color-inks-default", nullptr,
                     colour->selection == 2 ? inks[1] : inks[0]);
        numDefaults = cupsAddOption(kColorInks, colour->selection == 2 ? inks[1] : inks[0], numDefaults, &defaults);
    }
    for (const VendorOption& option : kVendorOptions) {
        const user::ItemState* item = FindItem(sheet, option.item);
        if (!item) continue;
        std::vector<const char*> keywords;
        for (size_t i = 0; i < item->choices.size() && i < option.keywords.size() && option.keywords[i]; ++i)
            keywords.push_back(option.keywords[i]);
        if (keywords.empty()) continue;
        const size_t sel = item->selection >= 0 && static_cast<size_t>(item->selection) < keywords.size()
                               ? static_cast<size_t>(item->selection) : 0;
        data.vendor[data.num_vendor++] = option.attribute;
        const std::string supported = std::string(option.attribute) + "-supported";
        const std::string def = std::string(option.attribute) + "-default";
        ippAddStrings(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, supported.c_str(), static_cast<int>(keywords.size()),
                      nullptr, keywords.data());
        ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, def.c_str(), nullptr, keywords[sel]);
        numDefaults = cupsAddOption(option.attribute, keywords[sel], numDefaults, &defaults);
    }
    // The sheet's printing defaults are the printer's job defaults.
    const bool ok = papplPrinterSetDriverData(printer, &data, attrs) &&
                    papplPrinterSetDriverDefaults(printer, &data, numDefaults, defaults);
    ippDelete(attrs);
    cupsFreeOptions(numDefaults, defaults);
    papplPrinterSetReadyMedia(printer, 1, &data.media_default);
    return ok;
}

bool RefreshChangedPrinters(pappl_system_t* system, void*)
{
    static std::mutex lock;
    static std::map<int, std::string> seen;  // printer id: its media as last given to PAPPL
    papplSystemIteratePrinters(
        system,
        [](pappl_printer_t* printer, void*) {
            // Its labels and its size range (which expansion RAM changes).
            std::string media;
            {
                std::lock_guard<std::mutex> driver(DriverLock());
                const std::string name = papplPrinterGetName(printer);
                for (const LabelMedia& label : PrinterLabels(name)) media += label.media + " ";
                if (const std::optional<MediaRange> range = PrinterMediaRange(name))
                    media += RangeMediaName("custom_max_", range->maxWidthUm, range->maxHeightUm);
            }
            std::lock_guard<std::mutex> guard(lock);
            std::string& last = seen[papplPrinterGetID(printer)];
            if (last == media) return;
            last = media;
            RefreshPrinter(printer);
        },
        nullptr);
    return true;
}

void PrinterCreated(pappl_printer_t* printer, void*)
{
    pappl_system_t* system = papplPrinterGetSystem(printer);
    const std::string name = papplPrinterGetName(printer);
    const std::string ppd = DescriptionFile(papplPrinterGetDriverName(printer));
    {
        std::lock_guard<std::mutex> lock(DriverLock());
        if (!platform::FindPrinter(name)) {
            try {
                platform::SpoolTransaction transaction;
                if (transaction.Status() != ERROR_SUCCESS)
                    throw frontend::Failure{"the spool database is busy: " + platform::SpoolDatabaseError()};
                frontend::AddPrinterFromDescription(name, ppd, PortFor(name, papplPrinterGetDeviceURI(printer)));
                if (transaction.Commit() != ERROR_SUCCESS)
                    throw frontend::Failure{"the printer could not be stored: " + platform::SpoolDatabaseError()};
            } catch (const frontend::Failure& f) {
                papplLog(system, PAPPL_LOGLEVEL_ERROR, "Printer '%s' has no spooler printer: %s", name.c_str(),
                         f.message.c_str());
                return;
            }
        }
    }
    RefreshPrinter(printer);
    LblWebAddPrinter(system, printer, name.c_str());
    // Made by a request (not restored at start-up, not made again under its number).
    if (papplSystemIsRunning(system) && !IsBeingRemade(name)) RenumberLater(printer);
}

void PrinterDeleted(pappl_printer_t* printer, pappl_pr_driver_data_t*)
{
    // PAPPL also lets go of every printer when the application stops; those stay.
    // PAPPL holds the system's write lock here: papplSystemIsShutdown reads without
    // the lock, where papplSystemIsRunning would take it again and release it once
    // too often, leaving the system lock damaged and the server hanging.
    pappl_system_t* system = papplPrinterGetSystem(printer);
    if (!papplPrinterIsDeleted(printer) || papplSystemIsShutdown(system)) return;
    const std::string name = papplPrinterGetName(printer);
    if (IsBeingRemade(name)) return;
    std::lock_guard<std::mutex> lock(DriverLock());
    try {
        platform::SpoolTransaction transaction;
        frontend::RemovePrinterAndForms(name);
        transaction.Commit();
    } catch (const frontend::Failure& f) {
        papplLog(papplPrinterGetSystem(printer), PAPPL_LOGLEVEL_ERROR, "Removing printer '%s': %s", name.c_str(),
                 f.message.c_str());
    }
}

}  // namespace lblprint
