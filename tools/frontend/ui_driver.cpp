#include "frontend/ui_driver.h"

#include "frontend/failure.h"
#include "user/resources.h"

namespace frontend {

UiDriver LoadUiDriver(const platform::PrinterRecord& printer)
{
    UiDriver d;
    // Libraries are known by name: only the file-name part of the record counts.
    const std::string file = printer.uiLibrary.substr(printer.uiLibrary.find_last_of("/\\") + 1);
    d.module.h = LoadLibraryA(file.c_str());
    if (!d.module.h)
        throw Failure{"cannot load the UI library " + file + " of printer \"" + printer.name + "\" (error " +
                      std::to_string(GetLastError()) + ")"};
    d.DrvDeviceCapabilities = reinterpret_cast<decltype(d.DrvDeviceCapabilities)>(
        GetProcAddress(d.module.h, "DrvDeviceCapabilities"));
    d.DevQueryPrintEx = reinterpret_cast<decltype(d.DevQueryPrintEx)>(GetProcAddress(d.module.h, "DevQueryPrintEx"));
    d.DrvUpgradePrinter =
        reinterpret_cast<decltype(d.DrvUpgradePrinter)>(GetProcAddress(d.module.h, "DrvUpgradePrinter"));
    d.DrvDevicePropertySheets = reinterpret_cast<decltype(d.DrvDevicePropertySheets)>(
        GetProcAddress(d.module.h, "DrvDevicePropertySheets"));
    if (!d.DrvDeviceCapabilities || !d.DevQueryPrintEx || !d.DrvUpgradePrinter)
        throw Failure{"the UI library " + printer.uiLibrary + " lacks driver entry points"};
    return d;
}

std::u16string LoadUiText(HMODULE module, UINT id)
{
    LPCWSTR text = nullptr;
    const int n = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::u16string(text, static_cast<size_t>(n)) : std::u16string();
}

}  // namespace frontend
