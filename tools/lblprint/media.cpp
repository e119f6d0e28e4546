// The printer's label database as IPP media: every label is a size with a
// self-describing name, found again from a job's media name or size.
#include <cstdlib>

#include "base/codepage.h"
#include "frontend/owners.h"
#include "lblprint.h"

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
    return name + "_" + Millimetres(widthUm) + "x" + Millimetres(heightUm) + "mm";
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
        m.media = MediaName(m.name, m.widthUm, m.heightUm);
        labels.push_back(std::move(m));
    }
    return labels;
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

}  // namespace lblprint
