// Every capability index on the eleven model descriptions and on real-world
// descriptions installed by the system's driver packages.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "ui_fixture.h"

using namespace uitest;

namespace {

constexpr DWORD kError = 0xFFFFFFFF;
// The driver default's fields: orientation, paper size, length, width, copies,
// default source, print quality, form name.
constexpr DWORD kDefaultFields = 0x00000001 | 0x00000002 | 0x00000004 | 0x00000008 | 0x00000100 | 0x00000200 |
                                 0x00000400 | 0x00010000;
constexpr DWORD kDmColor = 0x00000800;
constexpr DWORD kDmDuplex = 0x00001000;

// What a description says, read from its text (independently of the description library).
struct Described {
    bool color = false;
    std::vector<std::string> bins;  // translations, else keywords
    std::vector<LONG> dpis;
    bool duplex = false;
};

Described Read(const std::string& path)
{
    std::ifstream in(path);
    Described d;
    std::string line;
    const std::regex slot(R"(^\*InputSlot ([^/:]+)(/([^:]*))?:)");
    const std::regex res(R"(^\*Resolution (\d+)[^:]*:)");
    const std::regex duplex(R"(^\*Duplex [^:]+:)");
    std::smatch m;
    while (std::getline(in, line)) {
        if (line.rfind("*ColorDevice:", 0) == 0) d.color = line.find("True") != std::string::npos;
        if (std::regex_search(line, m, slot)) d.bins.push_back(m[3].matched && m[3].length() ? m[3].str() : m[1].str());
        if (std::regex_search(line, m, res)) d.dpis.push_back(std::stol(m[1].str()));
        if (std::regex_search(line, duplex)) d.duplex = true;
    }
    return d;
}

// Minimum (width, strip height) and maximum (width, height without expansion RAM) of each model, 0.1 mm.
constexpr LONG kMinExtent[11][2] = {{100, 220}, {100, 214}, {100, 214}, {100, 214}, {100, 214}, {100, 209},
                                   {100, 209}, {100, 214}, {100, 214}, {100, 214}, {100, 214}};
constexpr LONG kMaxExtent[11][2] = {{1000, 3000}, {800, 2560},  {1040, 3840}, {1040, 3840}, {1280, 2986}, {1706, 2986},
                                   {2133, 3200}, {1057, 5000}, {1057, 6508}, {1040, 8999}, {1036, 2000}};

class DevCapsTest : public UiTest {
protected:
    DWORD Cap(HANDLE h, WORD index, PVOID out = nullptr, DEVMODEW* pdm = nullptr)
    {
        std::u16string device = name_;
        return DrvDeviceCapabilities(h, device.data(), index, out, pdm);
    }

    // The capabilities every printer answers the same way, and its standard label as its only paper.
    void CheckCommon(HANDLE h)
    {
        const std::u16string label = name_ + u" Standard Label";
        EXPECT_EQ(Cap(h, 0), kError);
        EXPECT_EQ(Cap(h, 19), kError);
        EXPECT_EQ(Cap(h, DC_SIZE), 220u);
        EXPECT_EQ(Cap(h, DC_EXTRA), 84u);
        EXPECT_EQ(Cap(h, DC_VERSION), 0x0401u);
        EXPECT_EQ(Cap(h, DC_DRIVER), 0x0110u);
        EXPECT_EQ(Cap(h, DC_TRUETYPE), 0u);
        EXPECT_EQ(Cap(h, DC_ORIENTATION), 90u);
        EXPECT_EQ(Cap(h, DC_COPIES), 9999u);
        WCHAR deps[4] = {u'x', u'x', u'x', u'x'};
        EXPECT_EQ(Cap(h, DC_FILEDEPENDENCIES, deps), 0u);
        EXPECT_EQ(deps[0], 0);

        WORD papers[8] = {};
        ASSERT_EQ(Cap(h, DC_PAPERS), 1u);
        ASSERT_EQ(Cap(h, DC_PAPERS, papers), 1u);
        EXPECT_EQ(papers[0], FormNumber(label));
        POINTL size[2] = {};
        ASSERT_EQ(Cap(h, DC_PAPERSIZE, size), 1u);
        EXPECT_EQ(size[0].x, 800);  // 80.0 mm
        EXPECT_EQ(size[0].y, 742);  // 74.2 mm
        WCHAR names[2][64] = {};
        ASSERT_EQ(Cap(h, DC_PAPERNAMES, names), 1u);
        EXPECT_EQ(std::u16string(names[0]), label);
    }

    void CheckDescribed(HANDLE h, const Described& d, DWORD defaultDpi)
    {
        EXPECT_EQ(Cap(h, DC_FIELDS), kDefaultFields | (d.color ? kDmColor : 0) | (d.duplex ? kDmDuplex : 0));
        EXPECT_EQ(Cap(h, DC_DUPLEX), d.duplex ? 1u : 0u);
        std::vector<WORD> bins(d.bins.size() + 1);
        ASSERT_EQ(Cap(h, DC_BINS, bins.data()), d.bins.size());
        for (size_t i = 0; i < d.bins.size(); ++i) EXPECT_EQ(bins[i], 256 + i);
        std::vector<WCHAR> names((d.bins.size() + 1) * 24);
        ASSERT_EQ(Cap(h, DC_BINNAMES, names.data()), d.bins.size());
        for (size_t i = 0; i < d.bins.size(); ++i) {
            std::string expect = d.bins[i].substr(0, 23);
            EXPECT_EQ(platform::Narrow(&names[i * 24]), expect);
        }
        std::vector<LONG> dpis = d.dpis.empty() ? std::vector<LONG>{static_cast<LONG>(defaultDpi)} : d.dpis;
        std::vector<LONG> pairs(2 * dpis.size() + 2);
        ASSERT_EQ(Cap(h, DC_ENUMRESOLUTIONS, pairs.data()), dpis.size());
        for (size_t i = 0; i < dpis.size(); ++i) {
            EXPECT_EQ(pairs[2 * i], dpis[i]);
            EXPECT_EQ(pairs[2 * i + 1], dpis[i]);
        }
    }

    std::u16string name_;
};

TEST_F(DevCapsTest, EveryIndexOnEveryModel)
{
    for (int model = 0; model <= 10; ++model) {
        SCOPED_TRACE(model);
        name_ = AddInstalledPrinter(ModelPpd(model));
        HANDLE h = Open(name_);
        CheckCommon(h);
        CheckDescribed(h, Read(ModelPpd(model)), 0);
        POINTL extent{};
        ASSERT_EQ(Cap(h, DC_MINEXTENT, &extent), 1u);
        EXPECT_EQ(extent.x, kMinExtent[model][0]);
        EXPECT_EQ(extent.y, kMinExtent[model][1]);
        ASSERT_EQ(Cap(h, DC_MAXEXTENT, &extent), 1u);
        EXPECT_EQ(extent.x, kMaxExtent[model][0]);
        EXPECT_EQ(extent.y, kMaxExtent[model][1]);
    }
}

TEST_F(DevCapsTest, ExpansionRamRaisesTheMaximumHeight)
{
    name_ = AddInstalledPrinter(ModelPpd(3));
    HANDLE h = Open(name_);
    std::vector<BYTE> prop = Value(h, u"PrinterData");
    ASSERT_EQ(prop.size(), 36u);
    prop[8] = 1;  // bExpansionRAM
    SetValue(h, u"PrinterData", prop.data(), 36);
    POINTL extent{};
    ASSERT_EQ(Cap(h, DC_MAXEXTENT, &extent), 1u);
    EXPECT_EQ(extent.x, 1040);
    EXPECT_EQ(extent.y, 8332);
}

TEST_F(DevCapsTest, RealWorldDescriptions)
{
    const std::filesystem::path dir = "/usr/share/ppd/cupsfilters";
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) GTEST_SKIP() << "cups-filters descriptions are not installed";
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        if (entry.path().extension() != ".ppd") continue;
        SCOPED_TRACE(entry.path().string());
        const std::string copy = TestDir() + "/" + entry.path().filename().string();
        std::filesystem::copy_file(entry.path(), copy, std::filesystem::copy_options::overwrite_existing, ec);
        name_ = AddInstalledPrinter(copy);
        HANDLE h = Open(name_);
        PPDDATA* pPpd = PpdCreate(platform::Widen(copy).c_str(), nullptr);
        ASSERT_NE(pPpd, nullptr);
        const DWORD defaultDpi = PpdDefaultResolution(pPpd);
        const DWORD model = pPpd->dwLanguageLevel;
        PpdDelete(pPpd);
        CheckCommon(h);
        CheckDescribed(h, Read(copy), defaultDpi);
        POINTL extent{};
        if (model < 11) {
            ASSERT_EQ(Cap(h, DC_MINEXTENT, &extent), 1u);
            EXPECT_EQ(extent.x, kMinExtent[model][0]);
        } else {
            EXPECT_EQ(Cap(h, DC_MINEXTENT, &extent), kError);
        }
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST_F(DevCapsTest, ACallersDeviceModeIsMergedIn)
{
    name_ = AddInstalledPrinter(ModelPpd(9));
    HANDLE h = Open(name_);
    DRVDEVMODE dm{};
    ASSERT_TRUE(SetDefaultDevMode(&dm, nullptr, nullptr, TRUE));
    dm.dmPublic.dmFields = DM_PRINTQUALITY;
    dm.dmPublic.dmPrintQuality = 203;
    EXPECT_EQ(Cap(h, DC_FIELDS, nullptr, &dm.dmPublic), kDefaultFields);
    // A record of no known device-mode version is refused.
    DEVMODEW broken = dm.dmPublic;
    broken.dmSpecVersion = 0;  // and a size of no known version
    broken.dmSize = 77;
    broken.dmDriverExtra = 0;
    EXPECT_EQ(Cap(h, DC_FIELDS, nullptr, &broken), kError);
}

TEST_F(DevCapsTest, OnlyFormsThatAreLabelsArePapers)
{
    // A label database whose second label is named like the 5th form (A3, built in).
    name_ = AddInstalledPrinter(ModelPpd(1));
    HANDLE h = Open(name_);
    auto forms = Forms();
    ASSERT_GE(forms.size(), 5u);
    std::vector<BYTE> db = Value(h, u"LabelData");
    ASSERT_EQ(db.size(), 4u + 248u);
    db.resize(4 + 2 * 248);
    std::memcpy(db.data() + 4 + 248, db.data() + 4, 248);
    std::u16string a3 = forms[4].name;
    std::memset(db.data() + 4 + 248 + 4, 0, 64);
    std::memcpy(db.data() + 4 + 248 + 4, a3.data(), a3.size() * 2);
    const DWORD two = 2;
    std::memcpy(db.data(), &two, 4);
    SetValue(h, u"LabelData", db.data(), static_cast<DWORD>(db.size()));
    WORD papers[4] = {};
    ASSERT_EQ(Cap(h, DC_PAPERS, papers), 2u);
    EXPECT_EQ(papers[0], 5);
    EXPECT_EQ(papers[1], FormNumber(name_ + u" Standard Label"));
}

TEST_F(DevCapsTest, WithoutADescriptionEveryIndexFails)
{
    name_ = AddBarePrinter(TestDir() + "/absent.ppd");
    HANDLE h = Open(name_);
    for (WORD i = 0; i <= 19; ++i) EXPECT_EQ(Cap(h, i), kError) << i;
}

TEST(EnumResolutions, NamesThatAreNotNumbersGiveTheDefault)
{
    const std::string path = WritePpd("words.ppd",
                                      "*PPD-Adobe: \"4.3\"\n*LanguageLevel: \"2\"\n*ColorDevice: False\n"
                                      "*OpenUI *Resolution/Resolution: PickOne\n*DefaultResolution: 203dpi\n"
                                      "*Resolution fine/Fine: \"<</HWResolution[203 203]>>setpagedevice\"\n"
                                      "*CloseUI: *Resolution\n");
    PPDDATA* pPpd = PpdCreate(platform::Widen(path).c_str(), nullptr);
    ASSERT_NE(pPpd, nullptr);
    LONG pairs[4] = {};
    EXPECT_EQ(PsEnumResolutions(nullptr, pPpd), 1u);
    EXPECT_EQ(PsEnumResolutions(pairs, pPpd), 1u);
    EXPECT_EQ(pairs[0], static_cast<LONG>(PpdDefaultResolution(pPpd)));
    EXPECT_EQ(pairs[1], pairs[0]);
    PpdDelete(pPpd);
}

}  // namespace
