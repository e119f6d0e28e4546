// The printer's label database as IPP media: every label is a size with a
// self-describing name, found again from a job's media name or size; the
// model's limits are the range of sizes a job may ask for beside them.
#include <cstdlib>

#include "base/codepage.h"
#include "frontend/failure.h"
#include "frontend/owners.h"
#include "frontend/printers.h"
#include "frontend/ui_driver.h"
#include "lblprint.h"
#include "vendor_options.h"

namespace lblprint {
namespace {

bool IsAsciiAlnum(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// Micrometres as millimetres with at most three decimals and no trailing zeros.
std::string Millimetres(long um)
{
    if (um < 0) um = 0;
    std::string text = std::to_string(um / 1000);
    long frac = um % 1000;
    if (frac) {
        std::string digits = std::to_string(1000 + frac).substr(1);
        while (!digits.empty() && digits.back() == '0') digits.pop_back();
        text += "." + digits;
    }
    return text;
}

}  // namespace

std::string MediaName(const std::u16string& labelName, long widthUm, long heightUm)
{
    std::string name = "om_";
    bool inRun = false;
    for (char16_t c : labelName) {
        if (IsAsciiAlnum(c)) {
            name += static_cast<char>(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
            inRun = false;
        } else if (!inRun) {
            name += '-';
            inRun = true;
        }
    }
    return name + "_" + SizeText(widthUm, heightUm);
}

std::vector<LabelMedia> PrinterLabels(const std::string& spoolPrinter)
{
    std::vector<LabelMedia> labels;
    std::u16string wname = platform::Widen(spoolPrinter);
    HANDLE h = nullptr;
    if (!OpenPrinterW(wname.data(), &h, nullptr) || !h) return labels;
    frontend::PrinterHandle owner(h);
    frontend::LabelDbPtr db(GetLabelDatabase(h, wname.c_str()));
    const DWORD count = GetLabelNum(db.get());
    for (DWORD i = 0; i < count && i < MAX_LABELS; ++i) {
        const LABELDATA& label = db.get()[i];
        if (label.lWidth <= 0 || label.lHeight <= 0) continue;
        size_t n = 0;
        while (n < CCHLABELNAME - 1 && label.szLabelName[n] != 0) ++n;
        LabelMedia m;
        m.name.assign(label.szLabelName, n);
        m.widthUm = label.lWidth;
        m.heightUm = label.lHeight;
        m.pitch = label.lPitch;
        m.media = MediaName(m.name, m.widthUm, m.heightUm);
        labels.push_back(std::move(m));
    }
    return labels;
}

RequestedMedia JobMedia(pappl_job_t* job, const pappl_media_col_t& read)
{
    return ReadRequestedMedia([job](const char* name) { return papplJobGetAttribute(job, name); }, read);
}

const LabelMedia* FindLabelForMedia(const std::vector<LabelMedia>& labels, const pappl_media_col_t& media)
{
    for (const LabelMedia& label : labels)
        if (label.media == media.size_name) return &label;
    // A client that sends only a size (media-col without a name) gets the label of that size.
    for (const LabelMedia& label : labels)
        if (std::labs((label.widthUm + 5) / 10 - media.size_width) <= 1 &&
            std::labs((label.heightUm + 5) / 10 - media.size_length) <= 1)
            return &label;
    return nullptr;
}

const LabelMedia* SelectedLabel(const user::CommonSheetState& sheet, const std::vector<LabelMedia>& labels)
{
    for (const auto& item : sheet.items) {
        if (item.userData != kLabelItem) continue;
        if (item.selection < 0 || static_cast<size_t>(item.selection) >= item.choices.size()) break;
        for (const LabelMedia& label : labels)
            if (label.name == item.choices[static_cast<size_t>(item.selection)]) return &label;
    }
    return labels.empty() ? nullptr : &labels.front();
}

std::optional<MediaRange> PrinterMediaRange(const std::string& spoolPrinter)
{
    try {
        const frontend::UiDriver ui = frontend::LoadUiDriver(frontend::FindPrinterOrFail(spoolPrinter));
        auto printer = frontend::OpenPrinterOrFail(spoolPrinter);
        std::u16string device = platform::Widen(spoolPrinter);
        POINTL low{}, high{};
        if (ui.DrvDeviceCapabilities(printer->h, device.data(), DC_MINEXTENT, &low, nullptr) != 1 ||
            ui.DrvDeviceCapabilities(printer->h, device.data(), DC_MAXEXTENT, &high, nullptr) != 1)
            return std::nullopt;
        // The extents are in 0.1 mm; an answer that is no range is not used.
        if (low.x <= 0 || low.y <= 0 || low.x > high.x || low.y > high.y || high.x > 100000 || high.y > 100000)
            return std::nullopt;
        return MediaRange{low.x * 100L, low.y * 100L, high.x * 100L, high.y * 100L};
    } catch (const frontend::Failure&) {
        return std::nullopt;
    }
}

std::string SizeText(long widthUm, long heightUm) { return Millimetres(widthUm) + "x" + Millimetres(heightUm) + "mm"; }

std::string RangeMediaName(const char* prefix, long widthUm, long heightUm)
{
    return prefix + SizeText(widthUm, heightUm);
}

std::u16string CustomLabelName(long widthUm, long heightUm) { return platform::Widen("Custom " + SizeText(widthUm, heightUm)); }

}  // namespace lblprint
