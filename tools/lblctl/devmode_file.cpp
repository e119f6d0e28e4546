// Device modes read from files for caps, query and print.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/codepage.h"
#include "commands.h"
#include "frontend/ui_driver.h"
#include "input_file.h"

namespace lblctl {

std::vector<BYTE> ReadDevModeFile(const std::string& path)
{
    std::vector<BYTE> bytes = ReadInputFile(path, kMaxValueFile, "a device mode");
    DEVMODEW header{};
    if (bytes.size() < sizeof header) throw Failure{path + ": shorter than a device mode"};
    std::memcpy(&header, bytes.data(), sizeof header);
    // The driver reads as far as the size fields say: the file must hold that much.
    if (bytes.size() < static_cast<size_t>(header.dmSize) + header.dmDriverExtra)
        throw Failure{path + ": shorter than its device mode says (" + std::to_string(header.dmSize) + " + " +
                      std::to_string(header.dmDriverExtra) + " bytes)"};
    return bytes;
}

std::string FormNameOf(const std::vector<BYTE>& devmode)
{
    DEVMODEW dm{};
    if (devmode.size() < sizeof dm) return {};
    std::memcpy(&dm, devmode.data(), sizeof dm);
    if (!(dm.dmFields & DM_FORMNAME)) return {};
    const std::u16string_view name(dm.dmFormName, CCHFORMNAME);
    return platform::Narrow(name.substr(0, std::min(name.find(u'\0'), name.size())));
}

}  // namespace lblctl

namespace lblctl {

std::vector<BYTE> PublicDevMode(const std::string& deviceName)
{
    std::vector<BYTE> bytes(sizeof(DEVMODEW), 0);
    DEVMODEW dm{};
    dm.dmSpecVersion = 0x0401;
    dm.dmSize = sizeof(DEVMODEW);
    std::u16string name = platform::Widen(deviceName).substr(0, CCHDEVICENAME - 1);
    std::copy(name.begin(), name.end(), dm.dmDeviceName);
    std::memcpy(bytes.data(), &dm, sizeof dm);
    return bytes;
}

void ChooseForm(std::vector<BYTE>& devmode, const std::string& formName)
{
    DEVMODEW dm;
    std::memcpy(&dm, devmode.data(), sizeof dm);
    std::u16string name = platform::Widen(formName);
    if (name.size() >= CCHFORMNAME) throw Failure{"\"" + formName + "\" is longer than a form name"};
    std::fill(std::begin(dm.dmFormName), std::end(dm.dmFormName), u'\0');
    std::copy(name.begin(), name.end(), dm.dmFormName);
    dm.dmFields |= DM_FORMNAME;
    dm.dmFields &= ~static_cast<DWORD>(DM_PAPERSIZE);
    // An application picks a paper by its number in the spooler's form list.
    HANDLE server = nullptr;
    if (OpenPrinterW(nullptr, &server, nullptr)) {
        PrinterHandle owner(server);
        DWORD cbNeeded = 0, count = 0;
        EnumFormsW(server, 1, nullptr, 0, &cbNeeded, &count);
        std::vector<BYTE> buf(cbNeeded);
        if (EnumFormsW(server, 1, buf.data(), cbNeeded, &cbNeeded, &count)) {
            const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buf.data());
            for (DWORD i = 0; i < count && i < 0x7FFF; ++i)
                if (name == forms[i].pName) {
                    dm.dmPaperSize = static_cast<SHORT>(i + 1);
                    dm.dmFields |= DM_PAPERSIZE;
                    break;
                }
        }
    }
    std::memcpy(devmode.data(), &dm, sizeof dm);
}

void ChooseResolution(std::vector<BYTE>& devmode, int dpi)
{
    DEVMODEW dm;
    std::memcpy(&dm, devmode.data(), sizeof dm);
    dm.dmPrintQuality = static_cast<SHORT>(dpi);
    dm.dmYResolution = static_cast<SHORT>(dpi);
    dm.dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
    std::memcpy(devmode.data(), &dm, sizeof dm);
}

std::string AskDriver(const UiDriver& ui, HANDLE hPrinter, std::vector<BYTE>& devmode)
{
    std::u16string reason(256, u'\0');
    DEVQUERYPRINT_INFO info{};
    info.cbSize = sizeof info;
    info.Level = 1;
    info.hPrinter = hPrinter;
    info.pDevMode = devmode.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(devmode.data());
    info.pszErrorStr = reason.data();
    info.cchErrorStr = static_cast<DWORD>(reason.size());
    if (ui.DevQueryPrintEx(&info)) return {};
    reason.back() = u'\0';
    std::string text = platform::Narrow(reason.c_str());
    return text.empty() ? "the driver refused the job" : text;
}

}  // namespace lblctl
