#include "frontend/printer_sheet.h"

#include "base/codepage.h"
#include "compstui/compstui.h"

namespace frontend {

namespace {

// The UI library's field table: strings 9000 upward, "FIELD NAME-ID".
constexpr UINT kFieldTableFirst = 9000;
constexpr UINT kFieldTableMax = 200;

std::map<std::string, std::u16string> FieldTable(HMODULE module)
{
    std::map<std::string, std::u16string> fields;
    for (UINT id = kFieldTableFirst; id < kFieldTableFirst + kFieldTableMax; ++id) {
        const std::string entry = platform::Narrow(LoadUiText(module, id));
        if (entry.empty()) break;
        const size_t space = entry.find(' ');
        if (space == std::string::npos) continue;
        fields[entry.substr(0, space)] = LoadUiText(module, static_cast<UINT>(std::stoul(entry.substr(space + 1))));
    }
    return fields;
}

}  // namespace

PrinterSheet OpenPrinterSheet(const std::string& printerName)
{
    platform::PrinterRecord record = FindPrinterOrFail(printerName);
    PrinterSheet sheet{record, LoadUiDriver(record)};
    if (!sheet.ui.DrvDevicePropertySheets)
        throw Failure{"the UI library of printer \"" + printerName + "\" has no printer property sheet"};
    sheet.fields = FieldTable(sheet.ui.module.h);
    if (sheet.fields.empty())
        throw Failure{"the UI library of printer \"" + printerName + "\" names no fields of its printer sheet"};
    PpdPtr ppd = LoadDescription(sheet.printer.dataFile);
    if (!ppd) throw Failure{"cannot read the description " + sheet.printer.dataFile};
    sheet.model = ppd->dwLanguageLevel;
    return sheet;
}

int FindFieldItem(const PrinterSheet& sheet, const user::CommonSheetState& items, const std::string& field)
{
    auto it = sheet.fields.find(field);
    if (it == sheet.fields.end()) return -1;
    for (const auto& item : items.items)
        if (item.name == it->second) return item.index;
    return -1;
}

LONG RunPrinterSheet(PrinterSheet& sheet, user::Agent agent)
{
    auto printer = OpenPrinterOrFail(sheet.printer.name);
    std::u16string name = platform::Widen(sheet.printer.name);
    DEVICEPROPERTYHEADER header{sizeof(DEVICEPROPERTYHEADER), 0, printer->h, name.data()};

    ModuleHandle compstui;
    compstui.h = LoadLibraryA("compstui.dll");
    using PFN_CommonPropertySheetUIW = LONG (*)(HWND, PFNPROPSHEETUI, LPARAM, LPDWORD);
    auto run = compstui.h ? reinterpret_cast<PFN_CommonPropertySheetUIW>(
                                GetProcAddress(compstui.h, "CommonPropertySheetUIW"))
                          : nullptr;
    if (!run) throw Failure{"cannot load the common property sheet UI (compstui.dll)"};
    user::ScopedAgent scoped(std::move(agent));
    DWORD result = 0;
    const LONG rc = run(nullptr, sheet.ui.DrvDevicePropertySheets, reinterpret_cast<LPARAM>(&header), &result);
    if (rc < 0)
        throw Failure{"the printer sheet of printer \"" + sheet.printer.name + "\" could not be opened (error " +
                      std::to_string(rc) + ")"};
    return rc;
}

}  // namespace frontend
