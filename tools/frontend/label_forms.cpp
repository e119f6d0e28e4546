#include "frontend/label_forms.h"

#include "base/codepage.h"
#include "frontend/owners.h"
#include "settings/settings.h"
#include "spooler/spooler.h"

namespace frontend {

namespace {

std::u16string LabelName(const LABELDATA& label)
{
    size_t n = 0;
    while (n < CCHLABELNAME - 1 && label.szLabelName[n] != 0) ++n;
    return std::u16string(label.szLabelName, n);
}

bool HasSize(const LABELDATA& label) { return label.lWidth > 0 && label.lHeight > 0; }

// The level-1 form of a label; pName points into `name`.
FORM_INFO_1W LabelForm(const LABELDATA& label, std::u16string& name)
{
    size_t n = 0;
    while (n < CCHLABELNAME - 1 && label.szLabelName[n] != 0) ++n;
    name.assign(label.szLabelName, n);
    FORM_INFO_1W form{};
    form.Flags = FORM_PRINTER;
    form.pName = name.data();
    form.Size = SIZEL{label.lWidth, label.lHeight};
    form.ImageableArea = RECTL{0, 0, label.lWidth, label.lHeight};
    return form;
}

struct FormsDeleter {
    void operator()(FORM_INFO_1W* p) const { FreeDatabaseForms(p); }
};

}  // namespace

std::vector<std::string> ReplaceLabelForms(HANDLE h, std::span<const LABELDATA> labels)
{
    std::vector<std::string> failed;
    for (const auto& label : labels) {
        if (!HasSize(label)) continue;
        std::u16string name;
        FORM_INFO_1W form = LabelForm(label, name);
        BOOL ok = GetFormIndex(h, name.c_str()) != 0 ? SetFormW(h, name.data(), 1, reinterpret_cast<LPBYTE>(&form))
                                                     : AddFormW(h, 1, reinterpret_cast<LPBYTE>(&form));
        if (!ok) failed.push_back(platform::Narrow(name));
    }
    return failed;
}

std::vector<std::string> DeleteLabelForms(HANDLE h, const std::set<std::u16string>& names,
                                          const std::string& printerName)
{
    std::vector<std::string> failed;
    if (names.empty()) return failed;
    std::set<std::u16string> keep = LabelNamesOfOtherPrinters(printerName);
    DWORD count = 0;
    std::unique_ptr<FORM_INFO_1W, FormsDeleter> forms(GetDatabaseForms(h, &count));
    std::vector<std::u16string> doomed;
    for (DWORD i = 0; forms && i < count; ++i) {
        const FORM_INFO_1W& form = forms.get()[i];
        if (!form.pName || !(form.Flags & FORM_PRINTER)) continue;
        std::u16string name(form.pName);
        if (names.count(name) && !keep.count(name)) doomed.push_back(name);
    }
    for (auto& name : doomed)
        if (!DeleteFormW(h, name.data())) failed.push_back(platform::Narrow(name));
    return failed;
}

std::set<std::u16string> LabelNamesOfOtherPrinters(const std::string& printerName)
{
    std::set<std::u16string> names;
    for (const auto& printer : platform::EnumPrinters()) {
        if (printer.name == printerName) continue;
        std::u16string wname = platform::Widen(printer.name);
        HANDLE h = nullptr;
        if (!OpenPrinterW(wname.data(), &h, nullptr) || !h) continue;
        PrinterHandle other(h);
        LabelDbPtr db(GetLabelDatabase(h, wname.c_str()));
        DWORD n = GetLabelNum(db.get());
        for (DWORD i = 0; i < n; ++i) names.insert(LabelName(db.get()[i]));
    }
    return names;
}

}  // namespace frontend
