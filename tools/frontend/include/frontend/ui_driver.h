// A printer's UI library as a front end reaches it: loaded by name through the
// platform's module loader, as the spooler and applications load it.
#pragma once

#include <string>

#include "compstui/compstui.h"
#include "frontend/owners.h"

namespace frontend {

struct UiDriver {
    ModuleHandle module;
    DWORD (*DrvDeviceCapabilities)(HANDLE, PWSTR, WORD, PVOID, DEVMODEW*) = nullptr;
    BOOL (*DevQueryPrintEx)(PDEVQUERYPRINT_INFO) = nullptr;
    BOOL (*DrvUpgradePrinter)(DWORD, LPBYTE) = nullptr;
    LONG (*DrvDevicePropertySheets)(PPROPSHEETUI_INFO, LPARAM) = nullptr;  // null in an older library
};

// The UI library of the printer with its entry points; a Failure when it cannot be
// loaded or lacks one of them.
UiDriver LoadUiDriver(const platform::PrinterRecord& printer);

// A string of the UI library's string tables; empty when it has none of that id.
std::u16string LoadUiText(HMODULE module, UINT id);

}  // namespace frontend
