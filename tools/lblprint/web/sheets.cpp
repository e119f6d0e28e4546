#include "sheets.h"

#include <vector>

#include "base/codepage.h"
#include "compstui/compstui.h"
#include "spooler/spooler.h"
#include "user/modules.h"
#include "user/msgbox.h"

namespace lblweb {

namespace {

struct PrinterHandle {
    HANDLE h = nullptr;
    ~PrinterHandle()
    {
        if (h) ClosePrinter(h);
    }
};

struct Module {
    HMODULE h = nullptr;
    ~Module()
    {
        if (h) FreeLibrary(h);
    }
};

std::string Failed(const std::string& what) { return what + " (error " + std::to_string(GetLastError()) + ")."; }

}  // namespace

std::string RunPrinterSheet(const std::string& printer)
{
    const auto record = platform::FindPrinter(printer);
    if (!record) return "The printer \"" + printer + "\" is not in the spooler.";
    std::u16string name = platform::Widen(printer);
    PrinterHandle handle;
    if (!OpenPrinterW(name.data(), &handle.h, nullptr)) return Failed("The printer could not be opened");

    // Driver libraries are known by name: only the file-name part of the record counts.
    const std::string file = record->uiLibrary.substr(record->uiLibrary.find_last_of("/\\") + 1);
    Module ui, compstui;
    ui.h = LoadLibraryA(file.c_str());
    if (!ui.h) return Failed("The printer's UI library " + file + " could not be loaded");
    auto sheets = reinterpret_cast<PFNPROPSHEETUI>(GetProcAddress(ui.h, "DrvDevicePropertySheets"));
    if (!sheets) return "The printer's UI library has no printer property sheet.";
    compstui.h = LoadLibraryA("compstui.dll");
    using PFN_CommonPropertySheetUIW = LONG (*)(HWND, PFNPROPSHEETUI, LPARAM, LPDWORD);
    auto run = compstui.h ? reinterpret_cast<PFN_CommonPropertySheetUIW>(
                                GetProcAddress(compstui.h, "CommonPropertySheetUIW"))
                          : nullptr;
    if (!run) return "The common property sheet UI could not be loaded.";

    DEVICEPROPERTYHEADER header{sizeof(DEVICEPROPERTYHEADER), 0, handle.h, name.data()};
    DWORD result = 0;
    const LONG rc = run(nullptr, sheets, reinterpret_cast<LPARAM>(&header), &result);
    if (rc < 0) return "The printer sheet could not be opened (error " + std::to_string(rc) + ").";
    return rc == CPSUI_OK ? "The printer sheet was closed with OK." : "The printer sheet was closed.";
}

std::string RunDefaultsSheet(const std::string& printer)
{
    std::u16string name = platform::Widen(printer);
    PrinterHandle handle;
    if (!OpenPrinterW(name.data(), &handle.h, nullptr)) return Failed("The printer could not be opened");
    const LONG size = DocumentPropertiesW(nullptr, handle.h, nullptr, nullptr, nullptr, 0);
    if (size < static_cast<LONG>(sizeof(DEVMODEW)) || size > 0x10000)
        return Failed("The printer's UI library gives no device mode size");

    // The stored default, when there is one, is what the sheet opens on.
    std::vector<BYTE> in;
    DWORD needed = 0;
    GetPrinterW(handle.h, 8, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    if (needed >= sizeof(PRINTER_INFO_8W) && GetPrinterW(handle.h, 8, info.data(), needed, &needed)) {
        const DEVMODEW* dm = reinterpret_cast<const PRINTER_INFO_8W*>(info.data())->pDevMode;
        if (dm) {
            const size_t n = static_cast<size_t>(dm->dmSize) + dm->dmDriverExtra;
            const BYTE* p = reinterpret_cast<const BYTE*>(dm);
            if (p >= info.data() && n <= info.size() - static_cast<size_t>(p - info.data())) in.assign(p, p + n);
        }
    }
    std::vector<BYTE> out(static_cast<size_t>(size), 0);
    const DWORD mode = DM_IN_PROMPT | DM_OUT_BUFFER | (in.empty() ? 0 : DM_IN_BUFFER);
    const LONG rc = DocumentPropertiesW(nullptr, handle.h, nullptr, reinterpret_cast<DEVMODEW*>(out.data()),
                                        in.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(in.data()), mode);
    if (rc < 0) return Failed("The document sheet could not be opened");
    if (rc != IDOK) return "The printing defaults were left as they were.";

    platform::SpoolTransaction transaction;
    PRINTER_INFO_8W stored{reinterpret_cast<DEVMODEW*>(out.data())};
    if (transaction.Status() != ERROR_SUCCESS || !SetPrinterW(handle.h, 8, reinterpret_cast<LPBYTE>(&stored), 0))
        return Failed("The printing defaults could not be stored");
    if (const DWORD rcCommit = transaction.Commit(); rcCommit != ERROR_SUCCESS)
        return "The printing defaults could not be stored (error " + std::to_string(rcCommit) + ").";
    return "The printing defaults were stored.";
}

}  // namespace lblweb
