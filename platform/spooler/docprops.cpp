// DocumentPropertiesW: an application's request for a job's device mode goes to
// the printer's UI library, after its input has been brought into the driver's
// own size and version with the library's DrvConvertDevMode.
#include "base/codepage.h"
#include "driver_module.h"
#include "spool_internal.h"
#include "spooler/spooler.h"

namespace {

using PFN_DrvDocumentProperties = LONG (*)(void*, HANDLE, LPWSTR, DEVMODEW*, DEVMODEW*, DWORD);
using PFN_DrvConvertDevMode = BOOL (*)(LPWSTR, DEVMODEW*, DEVMODEW*, LONG*, DWORD);
constexpr DWORD kConvert = 1, kDriverDefault = 4;

LONG Fail(DWORD error)
{
    SetLastError(error);
    return -1;
}

bool SameShape(const DEVMODEW& a, const DEVMODEW& b)
{
    return a.dmSpecVersion == b.dmSpecVersion && a.dmSize == b.dmSize && a.dmDriverVersion == b.dmDriverVersion &&
           a.dmDriverExtra == b.dmDriverExtra;
}

// pIn in the driver's shape: pIn itself when it has it, else a converted copy in
// `converted`. Null when the driver cannot convert it.
DEVMODEW* InDriverShape(PFN_DrvConvertDevMode convert, LPWSTR pPrinterName, DEVMODEW* pIn,
                        std::vector<BYTE>& converted)
{
    if (!convert) return pIn;
    LONG cb = 0;
    convert(pPrinterName, nullptr, nullptr, &cb, kDriverDefault);
    if (cb < static_cast<LONG>(sizeof(DEVMODEW)) || cb > 0x10000) return pIn;
    converted.assign(static_cast<size_t>(cb), 0);
    auto* pDefault = reinterpret_cast<DEVMODEW*>(converted.data());
    LONG cbDefault = cb;
    if (!convert(pPrinterName, nullptr, pDefault, &cbDefault, kDriverDefault)) return pIn;
    if (SameShape(*pIn, *pDefault)) return pIn;
    LONG cbOut = cb;
    if (!convert(pPrinterName, pIn, pDefault, &cbOut, kConvert)) return nullptr;
    return pDefault;
}

}  // namespace

extern "C" LONG DocumentPropertiesW(void* hWnd, HANDLE hPrinter, LPWSTR pDeviceName, DEVMODEW* pDevModeOutput,
                                    DEVMODEW* pDevModeInput, DWORD fMode)
{
    std::string name;
    if (DWORD error = platform::spool::ResolveHandle(hPrinter, name)) return Fail(error);
    auto record = platform::FindPrinter(name);
    if (!record) return Fail(ERROR_INVALID_HANDLE);
    DWORD error = ERROR_SUCCESS;
    auto module = platform::DriverModule::Load(record->uiLibrary, error);
    if (!module) return Fail(error);
    auto properties = module->Proc<PFN_DrvDocumentProperties>("DrvDocumentProperties");
    if (!properties) return Fail(platform::kErrorProcNotFound);

    std::u16string printerName = platform::Widen(record->name);
    std::u16string deviceName = pDeviceName ? std::u16string(pDeviceName) : printerName;
    DEVMODEW* pIn = nullptr;
    std::vector<BYTE> converted;
    if ((fMode & DM_IN_BUFFER) && pDevModeInput) {
        pIn = InDriverShape(module->Proc<PFN_DrvConvertDevMode>("DrvConvertDevMode"), printerName.data(),
                            pDevModeInput, converted);
        if (!pIn) return Fail(ERROR_INVALID_PARAMETER);
    }
    return properties(hWnd, hPrinter, deviceName.data(), pDevModeOutput, pIn, fMode);
}
