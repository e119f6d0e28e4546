// lblctl devmode: the fields of a device-mode file of this driver, public and
// private, by name. Anything else (a short or long file, other size fields, another
// version, no signature) is refused before a field is read.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include <nlohmann/json.hpp>

#include "base/codepage.h"
#include "commands.h"
#include "settings/records.h"
#include "spool_scope.h"

namespace lblctl {
namespace {

using Json = nlohmann::ordered_json;

constexpr WORD kSpecVersion = 0x0401, kDriverVersion = 0x0110;
constexpr DWORD kSignature = 0x30343138;

struct DevmodeArgs {
    std::string file;
    bool json = false;
};

DRVDEVMODE ReadDriverDevMode(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure{path + ": cannot be read"};
    std::vector<char> bytes;
    // One byte more than a device mode is enough to tell a longer file.
    bytes.resize(sizeof(DRVDEVMODE) + 1);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const size_t n = static_cast<size_t>(in.gcount());
    const std::string notOurs = path + ": not a device mode of this driver: ";
    if (n != sizeof(DRVDEVMODE))
        throw Failure{notOurs + (n > sizeof(DRVDEVMODE) ? "longer than" : std::to_string(n) + " bytes, not") +
                      " the 304 bytes of its device mode"};
    DRVDEVMODE dm;
    std::memcpy(&dm, bytes.data(), sizeof dm);
    const DEVMODEW& p = dm.dmPublic;
    if (p.dmSize != sizeof(DEVMODEW) || p.dmDriverExtra != sizeof(DRVEXTRA))
        throw Failure{notOurs + "its size fields say " + std::to_string(p.dmSize) + " + " +
                      std::to_string(p.dmDriverExtra) + " bytes, not 220 + 84"};
    if (p.dmSpecVersion != kSpecVersion || p.dmDriverVersion != kDriverVersion) {
        char text[96];
        std::snprintf(text, sizeof text, "version 0x%04X of driver version 0x%04X, not 0x0401 of 0x0110",
                      p.dmSpecVersion, p.dmDriverVersion);
        throw Failure{notOurs + text};
    }
    if (dm.dmPrivate.dwSignature != kSignature)
        throw Failure{notOurs + "its private part lacks the driver's signature"};
    return dm;
}

// A wide field of fixed length: up to its first NUL, never past the field.
template <size_t N>
std::string Wide(const WCHAR (&field)[N])
{
    std::u16string s(field, field + N);
    s.resize(s.find(u'\0') == std::u16string::npos ? N : s.find(u'\0'));
    return platform::Narrow(s.c_str());
}

Json Fields(const DRVDEVMODE& dm)
{
    const DEVMODEW& p = dm.dmPublic;
    Json pub;
    pub["dmDeviceName"] = Wide(p.dmDeviceName);
    pub["dmSpecVersion"] = p.dmSpecVersion;
    pub["dmDriverVersion"] = p.dmDriverVersion;
    pub["dmSize"] = p.dmSize;
    pub["dmDriverExtra"] = p.dmDriverExtra;
    pub["dmFields"] = p.dmFields;
    pub["dmOrientation"] = p.dmOrientation;
    pub["dmPaperSize"] = p.dmPaperSize;
    pub["dmPaperLength"] = p.dmPaperLength;
    pub["dmPaperWidth"] = p.dmPaperWidth;
    pub["dmScale"] = p.dmScale;
    pub["dmCopies"] = p.dmCopies;
    pub["dmDefaultSource"] = p.dmDefaultSource;
    pub["dmPrintQuality"] = p.dmPrintQuality;
    pub["dmColor"] = p.dmColor;
    pub["dmDuplex"] = p.dmDuplex;
    pub["dmYResolution"] = p.dmYResolution;
    pub["dmTTOption"] = p.dmTTOption;
    pub["dmCollate"] = p.dmCollate;
    pub["dmFormName"] = Wide(p.dmFormName);
    pub["dmLogPixels"] = p.dmLogPixels;
    pub["dmBitsPerPel"] = p.dmBitsPerPel;
    pub["dmPelsWidth"] = p.dmPelsWidth;
    pub["dmPelsHeight"] = p.dmPelsHeight;
    pub["dmDisplayFlags"] = p.dmDisplayFlags;
    pub["dmDisplayFrequency"] = p.dmDisplayFrequency;
    pub["dmICMMethod"] = p.dmICMMethod;
    pub["dmICMIntent"] = p.dmICMIntent;
    pub["dmMediaType"] = p.dmMediaType;
    pub["dmDitherType"] = p.dmDitherType;
    pub["dmReserved1"] = p.dmReserved1;
    pub["dmReserved2"] = p.dmReserved2;
    pub["dmPanningWidth"] = p.dmPanningWidth;
    pub["dmPanningHeight"] = p.dmPanningHeight;

    const DRVEXTRA& x = dm.dmPrivate;
    const COLORADJUSTMENT& c = x.coloradj;
    Json ca;
    ca["caSize"] = c.caSize;
    ca["caFlags"] = c.caFlags;
    ca["caIlluminantIndex"] = c.caIlluminantIndex;
    ca["caRedGamma"] = c.caRedGamma;
    ca["caGreenGamma"] = c.caGreenGamma;
    ca["caBlueGamma"] = c.caBlueGamma;
    ca["caReferenceBlack"] = c.caReferenceBlack;
    ca["caReferenceWhite"] = c.caReferenceWhite;
    ca["caContrast"] = c.caContrast;
    ca["caBrightness"] = c.caBrightness;
    ca["caColorfulness"] = c.caColorfulness;
    ca["caRedGreenTint"] = c.caRedGreenTint;
    Json priv;
    priv["dwSignature"] = x.dwSignature;
    priv["dwReserved1"] = x.dwReserved1;
    priv["coloradj"] = ca;
    priv["wPpdChecksum"] = x.wPpdChecksum;
    priv["wReserved2"] = x.wReserved2;
    priv["dwModel"] = x.dwModel;
    priv["bColorDevice"] = x.bColorDevice;
    priv["bBottomUp"] = x.bBottomUp;
    priv["bBackFeed"] = x.bBackFeed;
    priv["dwReserved3"] = x.dwReserved3;
    priv["lReserved4"] = x.lReserved4;
    priv["bRibbonSaver"] = x.bRibbonSaver;
    priv["bFourColor"] = x.bFourColor;
    priv["bAutoFeed"] = x.bAutoFeed;
    priv["bCompression"] = x.bCompression;
    priv["bMirror"] = x.bMirror;
    priv["iHalftone"] = x.iHalftone;
    return Json{{"public", pub}, {"private", priv}};
}

void PrintText(const Json& j, const std::string& indent)
{
    for (const auto& [key, value] : j.items()) {
        if (value.is_object()) {
            std::printf("%s%s:\n", indent.c_str(), key.c_str());
            PrintText(value, indent + "  ");
        } else if (value.is_string()) {
            std::printf("%s%s: \"%s\"\n", indent.c_str(), key.c_str(), value.get<std::string>().c_str());
        } else {
            std::printf("%s%s: %s\n", indent.c_str(), key.c_str(), value.dump().c_str());
        }
    }
}

}  // namespace

void AddDevmodeCommand(CLI::App& app)
{
    auto args = std::make_shared<DevmodeArgs>();
    CLI::App* cmd = app.add_subcommand("devmode", "Decode a device-mode file of this driver");
    cmd->add_option("FILE", args->file, "Device-mode file (as options --save writes it)")->required();
    cmd->add_flag("--json", args->json, "Print the fields as JSON");
    LeavesSpoolAlone(cmd);
    cmd->callback([args] {
        const Json fields = Fields(ReadDriverDevMode(args->file));
        if (args->json)
            std::printf("%s\n", fields.dump(2).c_str());
        else
            PrintText(fields, "");
    });
}

}  // namespace lblctl
