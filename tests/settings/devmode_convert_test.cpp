// Device-mode versions, conversion, defaults and the measurement system.
#include <stdlib.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "settings/settings_env.h"

namespace {

using settings_test::Ppd;
using settings_test::PpdParams;

DRVDEVMODE Filled(BYTE b)
{
    DRVDEVMODE dm;
    std::memset(&dm, b, sizeof(dm));
    return dm;
}

TEST(CheckDevmodeVersion, SizeFirstThenOwnVersion)
{
    DEVMODEW dm{};
    EXPECT_EQ(CheckDevmodeVersion(nullptr), 0);
    dm.dmSpecVersion = 0x0777;
    dm.dmSize = 188;
    EXPECT_EQ(CheckDevmodeVersion(&dm), 0x0320);
    dm.dmSize = 212;
    EXPECT_EQ(CheckDevmodeVersion(&dm), 0x0400);
    dm.dmSize = 220;
    EXPECT_EQ(CheckDevmodeVersion(&dm), 0x0401);
    dm.dmSize = 200;
    EXPECT_EQ(CheckDevmodeVersion(&dm), 0x0777);
    dm.dmSpecVersion = 0;
    EXPECT_EQ(CheckDevmodeVersion(&dm), 0);
}

TEST(ConvertDevmode, CopiesWhatBothHaveAndKeepsTheOutputShape)
{
    DRVDEVMODE in = Filled(0x11), out = Filled(0x22);
    in.dmPublic.dmSize = 188;
    in.dmPublic.dmDriverExtra = 32;
    in.dmPublic.dmSpecVersion = 0x0320;
    in.dmPublic.dmDriverVersion = 0x0350;
    // The 32 private bytes sit right behind the 188 public ones.
    auto* inBytes = reinterpret_cast<BYTE*>(&in);
    std::memset(inBytes + 188, 0x33, 32);
    out.dmPublic = dmDefault.dmPublic;
    std::memset(&out.dmPrivate, 0x44, sizeof(DRVEXTRA));

    EXPECT_EQ(ConvertDevmode(&in.dmPublic, &out.dmPublic), 188 + 32);
    EXPECT_EQ(out.dmPublic.dmSpecVersion, 0x0401);
    EXPECT_EQ(out.dmPublic.dmDriverVersion, 0x0110);
    EXPECT_EQ(out.dmPublic.dmSize, 220);
    EXPECT_EQ(out.dmPublic.dmDriverExtra, 84);
    EXPECT_EQ(out.dmPublic.dmFields, 0x11111111u);
    const auto* outBytes = reinterpret_cast<const BYTE*>(&out);
    EXPECT_EQ(outBytes[187], 0x11);
    EXPECT_EQ(out.dmPublic.dmICMMethod, 0u);  // public bytes beyond 188 keep the output's values
    EXPECT_EQ(outBytes[220], 0x33);
    EXPECT_EQ(outBytes[220 + 31], 0x33);
    EXPECT_EQ(outBytes[220 + 32], 0x44);

    DEVMODEW zero{};
    zero.dmSize = 100;
    EXPECT_EQ(ConvertDevmode(&zero, &out.dmPublic), -1);
    EXPECT_EQ(ConvertDevmode(&out.dmPublic, &zero), -1);
    EXPECT_EQ(ConvertDevmode(nullptr, &out.dmPublic), -1);
}

TEST(ConvertDevmode, SizedFormStaysInsideBothBuffers)
{
    // An input whose size fields claim far more than its 100 real bytes.
    auto in = std::make_unique<BYTE[]>(100);
    std::memset(in.get(), 0x55, 100);
    DEVMODEW* pin = reinterpret_cast<DEVMODEW*>(in.get());
    pin->dmSize = 220;
    pin->dmDriverExtra = 84;
    pin->dmSpecVersion = 0x0401;
    DRVDEVMODE out = dmDefault;
    EXPECT_EQ(ConvertDevmodeSized(pin, 100, &out.dmPublic, sizeof(out)), 100);
    EXPECT_EQ(out.dmPrivate.dwSignature, DRVEXTRA_SIGNATURE);  // nothing private was there

    // An output buffer smaller than its size fields say.
    auto small = std::make_unique<BYTE[]>(230);
    std::memcpy(small.get(), &dmDefault, 230);
    DRVDEVMODE full = dmDefault;
    EXPECT_EQ(ConvertDevmodeSized(&full.dmPublic, sizeof(full), reinterpret_cast<DEVMODEW*>(small.get()), 230),
              220 + 10);
    EXPECT_EQ(ConvertDevmodeSized(&full.dmPublic, 71, &out.dmPublic, sizeof(out)), -1);
    EXPECT_EQ(ConvertDevmodeSized(&full.dmPublic, sizeof(full), &out.dmPublic, 71), -1);
}

TEST(ConvertDevmodeOut, InTheCallersShape)
{
    DRVDEVMODE src = dmDefault;
    src.dmPrivate.iHalftone = 2;
    DRVDEVMODE out = Filled(0x77);
    ASSERT_TRUE(ConvertDevmodeOut(&src.dmPublic, nullptr, &out.dmPublic));
    EXPECT_EQ(std::memcmp(&out, &src, sizeof(out)), 0);

    DEVMODEW in351{};
    in351.dmSize = 188;
    in351.dmSpecVersion = 0x0320;
    in351.dmDriverExtra = 32;
    in351.dmDriverVersion = 0x0350;
    out = Filled(0x77);
    ASSERT_TRUE(ConvertDevmodeOut(&src.dmPublic, &in351, &out.dmPublic));
    EXPECT_EQ(out.dmPublic.dmSize, 188);
    EXPECT_EQ(out.dmPublic.dmSpecVersion, 0x0320);
    EXPECT_EQ(out.dmPublic.dmDriverExtra, 32);
    EXPECT_EQ(out.dmPublic.dmDriverVersion, 0x0350);
    const auto* b = reinterpret_cast<const BYTE*>(&out);
    EXPECT_EQ(std::memcmp(b + 188, &src.dmPrivate, 32), 0);
    EXPECT_EQ(b[188 + 32], 0x77);  // nothing written past the caller's shape
    EXPECT_FALSE(ConvertDevmodeOut(nullptr, &in351, &out.dmPublic));
}

TEST(CommonDrvConvertDevmode, EveryMode)
{
    DRVDEVMODE in = dmDefault, out = Filled(0);
    LONG cb = sizeof(out);
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", &in.dmPublic, &out.dmPublic, nullptr, CDM_CONVERT, &DriverVersions), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    // CDM_CONVERT: into the output's own shape.
    out = dmDefault;
    in.dmPrivate.bMirror = 1;
    cb = 304;
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", &in.dmPublic, &out.dmPublic, &cb, CDM_CONVERT, &DriverVersions), 1);
    EXPECT_EQ(cb, 304);
    EXPECT_EQ(out.dmPrivate.bMirror, 1u);
    cb = 303;
    SetLastError(0);
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", &in.dmPublic, &out.dmPublic, &cb, CDM_CONVERT, &DriverVersions), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    cb = 304;
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", &in.dmPublic, nullptr, &cb, CDM_CONVERT, &DriverVersions), 0);
    cb = 10;  // too short to hold even the header: the output is not looked at
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", &in.dmPublic, &out.dmPublic, &cb, CDM_CONVERT, &DriverVersions), 0);

    // CDM_CONVERT351: a 188 + 32 byte record.
    out = Filled(0x66);
    cb = 220;
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", &in.dmPublic, &out.dmPublic, &cb, CDM_CONVERT351, &DriverVersions), 1);
    EXPECT_EQ(cb, 220);
    EXPECT_EQ(out.dmPublic.dmSize, 188);
    EXPECT_EQ(out.dmPublic.dmSpecVersion, 0x0320);
    EXPECT_EQ(out.dmPublic.dmDriverVersion, 0x0350);
    EXPECT_EQ(out.dmPublic.dmDriverExtra, 32);
    const auto* b = reinterpret_cast<const BYTE*>(&out);
    EXPECT_EQ(std::memcmp(b + 188, &in.dmPrivate, 32), 0);
    EXPECT_EQ(b[220], 0x66);
    cb = 219;
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", &in.dmPublic, &out.dmPublic, &cb, CDM_CONVERT351, &DriverVersions), 0);
    EXPECT_EQ(cb, 220);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    cb = 220;  // nothing to convert from
    SetLastError(0);
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", nullptr, &out.dmPublic, &cb, CDM_CONVERT351, &DriverVersions), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    // CDM_DRIVER_DEFAULT: left to the caller once the buffer is large enough.
    cb = 304;
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", nullptr, &out.dmPublic, &cb, CDM_DRIVER_DEFAULT, &DriverVersions), 2);
    EXPECT_EQ(cb, 304);
    cb = 303;
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", nullptr, &out.dmPublic, &cb, CDM_DRIVER_DEFAULT, &DriverVersions), 0);
    EXPECT_EQ(cb, 304);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    cb = 304;
    EXPECT_EQ(CommonDrvConvertDevmode(u"P", &in.dmPublic, &out.dmPublic, &cb, 3, &DriverVersions), 2);
}

class DefaultDevMode : public settings_test::SettingsTest {};

TEST_F(DefaultDevMode, ColourDuplexCollateDescription)
{
    Ppd ppd(PpdParams{.model = 7, .color = true, .dpis = {600, 300}, .duplex = true, .collate = true});
    DRVDEVMODE dm = Filled(0xAB);
    ASSERT_TRUE(SetDefaultDevMode(&dm, u"Front Desk", ppd, TRUE));
    const DEVMODEW& p = dm.dmPublic;
    EXPECT_EQ(std::u16string(p.dmDeviceName), u"Front Desk");
    EXPECT_EQ(p.dmFields, 0x0001070Fu | DM_COLOR | DM_DUPLEX | DM_COLLATE);
    EXPECT_EQ(p.dmPrintQuality, 600);
    EXPECT_EQ(p.dmYResolution, 600);
    EXPECT_EQ(p.dmColor, 2);
    EXPECT_EQ(p.dmDisplayFlags, 0u);
    EXPECT_EQ(p.dmBitsPerPel, 24u);
    EXPECT_EQ(std::u16string(p.dmFormName), u"Front Desk Standard Label");
    EXPECT_EQ(dm.dmPrivate.dwModel, 7u);
    EXPECT_EQ(dm.dmPrivate.bColorDevice, 1u);
    EXPECT_EQ(dm.dmPrivate.wPpdChecksum, ppd.get()->wChecksum);

    // Everything else is the static default record.
    DRVDEVMODE want = dmDefault;
    std::memcpy(want.dmPublic.dmDeviceName, p.dmDeviceName, sizeof(p.dmDeviceName));
    std::memcpy(want.dmPublic.dmFormName, p.dmFormName, sizeof(p.dmFormName));
    want.dmPublic.dmFields = p.dmFields;
    want.dmPublic.dmPrintQuality = want.dmPublic.dmYResolution = 600;
    want.dmPrivate.dwModel = 7;
    want.dmPrivate.bColorDevice = 1;
    want.dmPrivate.wPpdChecksum = ppd.get()->wChecksum;
    EXPECT_EQ(std::memcmp(&dm, &want, sizeof(dm)), 0);
}

TEST_F(DefaultDevMode, MonochromeAndNames)
{
    Ppd ppd(PpdParams{.model = 0, .color = false, .dpis = {}});
    DRVDEVMODE dm{};
    ASSERT_TRUE(SetDefaultDevMode(&dm, nullptr, ppd, FALSE));
    EXPECT_EQ(dm.dmPublic.dmDeviceName[0], 0);
    EXPECT_EQ(std::u16string(dm.dmPublic.dmFormName), u" Standard Label");
    EXPECT_EQ(dm.dmPublic.dmFields, 0x0001070Fu);
    EXPECT_EQ(dm.dmPublic.dmColor, 1);
    EXPECT_EQ(dm.dmPublic.dmDisplayFlags, 1u);
    EXPECT_EQ(dm.dmPublic.dmPrintQuality, 300);  // no Resolution group
    EXPECT_EQ(dm.dmPrivate.dwModel, 0u);

    DRVDEVMODE metric{};
    ASSERT_TRUE(SetDefaultDevMode(&metric, nullptr, ppd, TRUE));
    EXPECT_EQ(std::memcmp(&dm, &metric, sizeof(dm)), 0);

    const std::u16string name31(31, u'd'), name40(40, u'e');
    ASSERT_TRUE(SetDefaultDevMode(&dm, name31.c_str(), ppd, FALSE));
    EXPECT_EQ(std::u16string(dm.dmPublic.dmDeviceName), name31);
    EXPECT_EQ(std::u16string(dm.dmPublic.dmFormName), name31);
    ASSERT_TRUE(SetDefaultDevMode(&dm, name40.c_str(), ppd, FALSE));
    EXPECT_EQ(std::u16string(dm.dmPublic.dmDeviceName), name40.substr(0, 31));
    EXPECT_EQ(std::u16string(dm.dmPublic.dmFormName), name40.substr(0, 31));
}

// Sets LC_ALL for the life of the object.
struct LocaleOverride {
    std::string saved;
    bool had = false;
    explicit LocaleOverride(const char* value)
    {
        if (const char* v = getenv("LC_ALL")) { saved = v; had = true; }
        setenv("LC_ALL", value, 1);
    }
    ~LocaleOverride()
    {
        if (had) setenv("LC_ALL", saved.c_str(), 1); else unsetenv("LC_ALL");
    }
};

TEST(IsMetricCountry, ImperialCountryCodes)
{
    const struct { const char* locale; BOOL metric; } cases[] = {
        {"en_US.UTF-8", FALSE}, {"en_CA.UTF-8", FALSE}, {"es_AR.UTF-8", FALSE}, {"pt_BR.UTF-8", FALSE},
        {"de_DE.UTF-8", TRUE},  {"en_GB.UTF-8", TRUE},  {"ja_JP.UTF-8", TRUE},  {"pt_PT.UTF-8", TRUE},
    };
    for (const auto& c : cases) {
        LocaleOverride lo(c.locale);
        EXPECT_EQ(IsMetricCountry(), c.metric) << c.locale;
    }
}

}  // namespace
