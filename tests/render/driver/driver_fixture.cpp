#include "render/driver/driver_fixture.h"

#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/codepage.h"
#include "base/memory.h"
#include "commands.h"
#include "spooler/spooler.h"

namespace lbltest {

LiveCounts CountLive()
{
    return {platform::LivePoolBlocks(), platform::LiveGlobalBlocks(), platform::LiveSurfaces(),
            platform::LivePalettes(), platform::LockedSurfaces()};
}

void PrintTo(const LiveCounts& c, std::ostream* os)
{
    *os << "pool " << c.pool << " global " << c.global << " surfaces " << c.surfaces << " palettes " << c.palettes
        << " locks " << c.locks;
}

void DriverTest::SetUp()
{
    std::string pattern = std::string(LBL_BINARY_DIR) + "/tmp-driver-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    // The description is copied so that nothing is ever written beside the repository's.
    const std::string ppd = dir_ + "/model" + std::to_string(model_) + ".ppd";
    std::filesystem::copy_file(std::string(LBL_SOURCE_DIR) + "/ppd/model" + std::to_string(model_) + ".ppd", ppd);
    const std::string driver = dir_ + "/liblblrender.so";
    std::ofstream(driver) << "driver module stand-in";

    platform::SetSpoolDirectory(dir_ + "/spool");
    platform::PrinterRecord printer{platform::Narrow(printerName_), "Label Driver", ppd, "", dir_ + "/out.prn",
                                    driver, ""};
    ASSERT_EQ(platform::AddPrinter(printer), ERROR_SUCCESS);
    ASSERT_TRUE(OpenPrinterW(printerName_.data(), &hPrinter_, nullptr));
    hdev_ = platform::CreateEngineDevice(printer);
    ASSERT_NE(hdev_, nullptr);
    sink_ = platform::AttachJobSink(hPrinter_);

    DRVENABLEDATA ded{};
    ASSERT_TRUE(DrvEnableDriver(DDI_DRIVER_VERSION_NT4, sizeof(ded), &ded));
    // One enable first: process-wide tables built on first use are not leaks.
    ASSERT_NE(Enable(), nullptr);
    Disable();
    baseline_ = CountLive();
}

void DriverTest::TearDown()
{
    Disable();
    EXPECT_EQ(CountLive(), baseline_);
    platform::FailNthAllocation(0);
    platform::SetBitmapByteLimit(0);
    platform::DetachJobSink(hPrinter_);
    platform::DeleteEngineDevice(hdev_);
    if (hPrinter_) ClosePrinter(hPrinter_);
    platform::CloseSpoolDatabase();
    std::filesystem::remove_all(dir_);
}

void DriverTest::WriteLabels(const std::vector<LABELDATA>& labels)
{
    std::vector<BYTE> block(sizeof(DWORD) + labels.size() * sizeof(LABELDATA));
    const DWORD count = static_cast<DWORD>(labels.size());
    std::memcpy(block.data(), &count, sizeof(count));
    std::memcpy(block.data() + sizeof(count), labels.data(), labels.size() * sizeof(LABELDATA));
    std::u16string value = u"LabelData";
    ASSERT_EQ(SetPrinterDataW(hPrinter_, value.data(), REG_BINARY, block.data(), static_cast<DWORD>(block.size())),
              ERROR_SUCCESS);
}

void DriverTest::WritePassThrough(bool on)
{
    PRINTERPROP prop{};
    prop.wVersion = PRINTERPROP_VERSION;
    prop.wSize = sizeof(prop);
    prop.bPassThrough = on ? 1 : 0;
    DWORD size = sizeof(prop);
    std::u16string sizeName = u"PrinterDataSize", dataName = u"PrinterData";
    ASSERT_EQ(SetPrinterDataW(hPrinter_, sizeName.data(), REG_DWORD, reinterpret_cast<LPBYTE>(&size), sizeof(size)),
              ERROR_SUCCESS);
    ASSERT_EQ(SetPrinterDataW(hPrinter_, dataName.data(), REG_BINARY, reinterpret_cast<LPBYTE>(&prop), sizeof(prop)),
              ERROR_SUCCESS);
}

void DriverTest::AddForm(const std::u16string& name, LONG cx, LONG cy)
{
    std::u16string copy = name;
    FORM_INFO_1W form{FORM_PRINTER, copy.data(), {cx, cy}, {0, 0, cx, cy}};
    ASSERT_TRUE(AddFormW(hPrinter_, 1, reinterpret_cast<LPBYTE>(&form)));
}

LABELDATA DriverTest::Label(const std::u16string& name, LONG lWidth, LONG lHeight)
{
    LABELDATA l = DefaultLabel;
    std::memset(l.szLabelName, 0, sizeof(l.szLabelName));
    std::memcpy(l.szLabelName, name.data(), std::min<std::size_t>(name.size(), CCHLABELNAME - 1) * sizeof(WCHAR));
    l.lWidth = lWidth;
    l.lHeight = lHeight;
    return l;
}

DEVMODEW DriverTest::FormDevMode(const std::u16string& name)
{
    DEVMODEW dm = dmDefault.dmPublic;
    dm.dmDriverExtra = 0;
    dm.dmFields = (dm.dmFields & ~DM_PAPERSIZE) | DM_FORMNAME;
    std::memset(dm.dmFormName, 0, sizeof(dm.dmFormName));
    std::memcpy(dm.dmFormName, name.data(), std::min<std::size_t>(name.size(), CCHFORMNAME - 1) * sizeof(WCHAR));
    return dm;
}

PDEV* DriverTest::Enable(const DEVMODEW* pdm)
{
    caps_ = {};
    devinfo_ = {};
    HSURF patterns[4]{};
    DHPDEV dhpdev = DrvEnablePDEV(const_cast<DEVMODEW*>(pdm), printerName_.data(), 4, patterns, sizeof(caps_),
                                  reinterpret_cast<ULONG*>(&caps_), sizeof(devinfo_), &devinfo_, hdev_, nullptr,
                                  hPrinter_);
    if (!dhpdev) return nullptr;
    DrvCompletePDEV(dhpdev, hdev_);
    platform::SetEngineDeviceDriverData(hdev_, dhpdev);
    pdev_ = reinterpret_cast<PDEV*>(dhpdev);
    return pdev_;
}

SURFOBJ* DriverTest::EnableWithSurface(const DEVMODEW* pdm)
{
    if (!Enable(pdm)) return nullptr;
    hsurf_ = DrvEnableSurface(reinterpret_cast<DHPDEV>(pdev_));
    if (!hsurf_) return nullptr;
    pso_ = EngLockSurface(hsurf_);
    return pso_;
}

void DriverTest::Disable()
{
    if (pso_) EngUnlockSurface(pso_);
    pso_ = nullptr;
    if (pdev_) {
        DrvDisableSurface(reinterpret_cast<DHPDEV>(pdev_));
        DrvDisablePDEV(reinterpret_cast<DHPDEV>(pdev_));
    }
    pdev_ = nullptr;
    hsurf_ = nullptr;
    platform::SetEngineDeviceDriverData(hdev_, nullptr);
}

std::string DriverTest::Sent() const
{
    const std::vector<BYTE> b = sink_->Bytes();
    return std::string(b.begin(), b.end());
}

}  // namespace lbltest
