// Driver entry and device set-up: the entry table, refused callers, the label
// geometry and capabilities, the band surface and its budget, and the release
// of everything on every failure.
#include <cstring>

#include "banding.h"
#include "base/memory.h"
#include "commands.h"
#include "render/driver/driver_fixture.h"
#include "settings/settings.h"

namespace lbltest {
namespace {

using EnableTest = DriverTest;

struct Model8Test : DriverTest {
    Model8Test() : DriverTest(8) {}  // 300 dpi
};

struct Model0Test : DriverTest {
    Model0Test() : DriverTest(0) {}  // colour, 300 dpi, planes always compressed
};

TEST(DriverEntry, TableAndEngineVersion)
{
    DRVENABLEDATA ded{};
    EngSetLastError(0);
    EXPECT_FALSE(DrvEnableDriver(0x10000, sizeof(ded), &ded));
    EXPECT_EQ(EngGetLastError(), ERROR_BAD_DRIVER_LEVEL);
    EngSetLastError(0);
    EXPECT_FALSE(DrvEnableDriver(DDI_DRIVER_VERSION_NT4, sizeof(ded) - 1, &ded));
    EXPECT_EQ(EngGetLastError(), ERROR_BAD_DRIVER_LEVEL);
    EXPECT_EQ(ded.pdrvfn, nullptr);

    ASSERT_TRUE(DrvEnableDriver(0x30000, sizeof(ded), &ded));
    EXPECT_EQ(ded.iDriverVersion, 0x20000u);
    ASSERT_EQ(ded.c, 13u);
    const ULONG order[] = {0, 7, 1, 2, 3, 4, 35, 33, 32, 34, 24, 57, 58};
    for (ULONG i = 0; i < 13; ++i) EXPECT_EQ(ded.pdrvfn[i].iFunc, order[i]) << i;
    EXPECT_EQ(ded.pdrvfn[10].pfn, reinterpret_cast<PFN>(&DrvEscape));
    EXPECT_EQ(dwInitPrint, INITPRINT_PENDING);
    EXPECT_NE(hPpdSemaphore, nullptr);
}

TEST(DriverEntry, InvalidDevicesAreRefused)
{
    alignas(PDEV) BYTE junk[sizeof(PDEV)] = {};
    auto* pBad = reinterpret_cast<PDEV*>(junk);
    pBad->dwSignature = DRVEXTRA_SIGNATURE;  // the closing guard is missing
    SURFOBJ so{};
    so.dhpdev = reinterpret_cast<DHPDEV>(pBad);
    POINTL pt{};
    WORD wQuery = SETCOPYCOUNT;
    DWORD dwCopies = 2;

    auto refused = [](auto result) {
        const bool failed = !result && EngGetLastError() == ERROR_INVALID_PARAMETER;
        EngSetLastError(0);
        return failed;
    };
    EngSetLastError(0);
    DrvCompletePDEV(reinterpret_cast<DHPDEV>(pBad), nullptr);
    EXPECT_TRUE(refused(false));
    EXPECT_TRUE(refused(DrvEnableSurface(nullptr)));
    EXPECT_TRUE(refused(DrvResetPDEV(reinterpret_cast<DHPDEV>(pBad), reinterpret_cast<DHPDEV>(pBad))));
    EXPECT_TRUE(refused(DrvStartDoc(&so, nullptr, 1)));
    EXPECT_TRUE(refused(DrvStartPage(&so)));
    EXPECT_TRUE(refused(DrvSendPage(&so)));
    EXPECT_TRUE(refused(DrvEndDoc(&so, 0)));
    EXPECT_TRUE(refused(DrvStartBanding(&so, &pt)));
    EXPECT_TRUE(refused(DrvEscape(&so, SETCOPYCOUNT, 4, &dwCopies, 0, nullptr)));
    EXPECT_TRUE(refused(DrvEscape(nullptr, PASSTHROUGH, 4, &dwCopies, 0, nullptr)));
    DrvDisablePDEV(reinterpret_cast<DHPDEV>(pBad));
    EXPECT_TRUE(refused(false));
    // Neither of these consults the device.
    DrvDisableSurface(reinterpret_cast<DHPDEV>(pBad));
    EXPECT_EQ(EngGetLastError(), 0u);
    EXPECT_EQ(DrvEscape(&so, QUERYESCSUPPORT, 2, &wQuery, 0, nullptr), 9999u);
}

TEST_F(EnableTest, EveryFailedAllocationReleasesEverything)
{
    const long first = platform::AllocationCount();
    ASSERT_NE(EnableWithSurface(), nullptr);
    const long needed = platform::AllocationCount() - first;
    Disable();
    ASSERT_EQ(CountLive(), baseline_);

    int failures = 0;
    for (long n = 1; n <= needed; ++n) {
        platform::FailNthAllocation(n);
        const bool ok = Enable() != nullptr;
        platform::FailNthAllocation(0);
        if (!ok) {
            ++failures;
            EXPECT_EQ(CountLive(), baseline_) << "allocation " << n;
        }
        Disable();
        EXPECT_EQ(CountLive(), baseline_) << "allocation " << n;
    }
    EXPECT_GT(failures, 5);
}

TEST_F(EnableTest, MissingDriverFileOrDescriptionFails)
{
    platform::PrinterRecord noDriver{"x", "", dir_ + "/model1.ppd", "", "", dir_ + "/absent.so", ""};
    platform::PrinterRecord noPpd{"x", "", dir_ + "/absent.ppd", "", "", dir_ + "/liblblrender.so", ""};
    for (const auto& record : {noDriver, noPpd}) {
        HDEV hdev = platform::CreateEngineDevice(record);
        DHPDEV dhpdev = DrvEnablePDEV(nullptr, printerName_.data(), 0, nullptr, sizeof(caps_),
                                      reinterpret_cast<ULONG*>(&caps_), sizeof(devinfo_), &devinfo_, hdev, nullptr,
                                      hPrinter_);
        EXPECT_EQ(dhpdev, nullptr);
        EXPECT_EQ(CountLive(), baseline_);
        platform::DeleteEngineDevice(hdev);
    }
}

TEST_F(Model8Test, TwoInchLabelAtThreeHundredDpi)
{
    WriteLabels({Label(u"Standard", 80000, 74200), Label(u"Two Inch", 50800, 25400)});
    AddForm(u"Two Inch", 50800, 25400);
    const DEVMODEW dm = FormDevMode(u"Two Inch");
    PDEV* p = Enable(&dm);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->dm.dmPublic.dmPrintQuality, 300);
    EXPECT_EQ(p->formInfo.iLabel, 1u);
    EXPECT_EQ(p->cxPixels, 600);
    EXPECT_EQ(p->cyPixels, 300);
    EXPECT_EQ(p->cxPaper, 508);
    EXPECT_EQ(p->cyPaper, 254);

    EXPECT_EQ(caps_.ulVersion, 0x400u);
    EXPECT_EQ(caps_.ulTechnology, DT_RASPRINTER);
    EXPECT_EQ(caps_.ulHorzSize, 50u);
    EXPECT_EQ(caps_.ulVertSize, 25u);
    EXPECT_EQ(caps_.ulHorzRes, 600u);
    EXPECT_EQ(caps_.ulVertRes, 300u);
    EXPECT_EQ(caps_.cBitsPixel, 24u);
    EXPECT_EQ(caps_.ulLogPixelsX, 300u);
    EXPECT_EQ(caps_.ulAspectXY, 424u);
    EXPECT_EQ(caps_.denStyleStep, 6);
    EXPECT_EQ(caps_.szlPhysSize.cx, 600);
    EXPECT_EQ(caps_.ciDevice.Red.x, 6380);
    EXPECT_EQ(caps_.ciDevice.MagentaInYellowDye, 10000);
    EXPECT_EQ(caps_.ulHTOutputFormat, HT_FORMAT_24BPP);
    EXPECT_EQ(caps_.ulPanningVertRes, 300u);
    // The last 24 bytes of the colour-adjustment record hold the device mode's.
    EXPECT_EQ(std::memcmp(p->pColorAdj + 20, &DefHTClrAdj, sizeof(COLORADJUSTMENT)), 0);

    EXPECT_EQ(devinfo_.lfDefaultFont.lfHeight, -42);
    EXPECT_EQ(devinfo_.lfAnsiFixFont.lfFaceName[0], 0x201A);
    EXPECT_EQ(devinfo_.lfAnsiVarFont.lfFaceName[12], 0x004E);
    EXPECT_EQ(devinfo_.lfDefaultFont.lfPitchAndFamily, 0x31);
    EXPECT_EQ(devinfo_.iDitherFormat, BMF_24BPP);
    EXPECT_EQ(devinfo_.hpalDefault, p->hpal);
    EXPECT_EQ(platform::LivePalettes(), baseline_.palettes + 1);
}

TEST_F(Model0Test, ColourPlanesAndSpotColours)
{
    // Black and cyan are stored as spot colours.
    SPOTCOLOR spots[4] = {{1, 0x00112233}, {0, 0}, {1, 0x00445566}, {0, 0}};
    std::u16string value = u"SpotColor";
    ASSERT_EQ(SetPrinterDataW(hPrinter_, value.data(), REG_BINARY, reinterpret_cast<LPBYTE>(spots), sizeof(spots)),
              ERROR_SUCCESS);

    DRVDEVMODE dm = dmDefault;
    dm.dmPublic.dmFields |= DM_COLOR;
    dm.dmPublic.dmColor = DMCOLOR_COLOR;
    for (DWORD bFourColor : {0u, 1u}) {
        dm.dmPrivate.bFourColor = bFourColor;
        PDEV* p = Enable(&dm.dmPublic);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->cPlanes, 4u);
        ASSERT_NE(p->pSpotColor, nullptr);
        // Without a fourth ink the black plane is never a spot colour.
        EXPECT_EQ(p->pSpotColor[0].bSpotColor, bFourColor);
        EXPECT_EQ(p->pSpotColor[0].crSpotColor, 0x00112233u);
        EXPECT_EQ(p->pSpotColor[2].bSpotColor, 1u);
        EXPECT_EQ(p->lLogPixels, 300);
        Disable();
    }
    dm.dmPublic.dmColor = DMCOLOR_MONOCHROME;
    PDEV* p = Enable(&dm.dmPublic);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->cPlanes, 1u);
}

TEST_F(EnableTest, CapabilitiesAreCutToTheCallersSize)
{
    ULONG caps[4] = {0, 0, 0, 0xDEADBEEF};
    DEVINFO di{};
    std::memset(&di, 0xEE, sizeof(di));
    DHPDEV dhpdev = DrvEnablePDEV(nullptr, printerName_.data(), 0, nullptr, 3 * sizeof(ULONG), caps, 4, &di, hdev_,
                                  nullptr, hPrinter_);
    ASSERT_NE(dhpdev, nullptr);
    pdev_ = reinterpret_cast<PDEV*>(dhpdev);
    EXPECT_EQ(caps[0], 0x400u);
    EXPECT_EQ(caps[3], 0xDEADBEEFu);
    EXPECT_EQ(di.flGraphicsCaps, 0u);
    EXPECT_EQ(di.lfDefaultFont.lfHeight, static_cast<LONG>(0xEEEEEEEE));
}

TEST_F(EnableTest, FormWithoutLabelTakesTheStandardLabel)
{
    WriteLabels({Label(u"First", 60000, 40000), Label(u"Second", 50000, 30000)});
    AddForm(u"Not A Label", 70000, 70000);
    for (const char16_t* form : {u"Not A Label", u"Not A Form"}) {
        const DEVMODEW dm = FormDevMode(form);
        PDEV* p = Enable(&dm);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->formInfo.iLabel, 0u);
        EXPECT_EQ(p->formInfo.pLabel, p->pLabelDb);
        EXPECT_EQ(std::u16string(p->formInfo.wszFormName), u"First");
        EXPECT_EQ(p->formInfo.rclImageArea.right, 60000);
        EXPECT_EQ(p->formInfo.szlPaper.cy, 40000);
        Disable();
    }
}

TEST_F(EnableTest, LandscapeTurnsTheLabel)
{
    WriteLabels({Label(u"Wide", 100000, 50000)});
    AddForm(u"Wide", 100000, 50000);
    DEVMODEW dm = FormDevMode(u"Wide");
    dm.dmFields |= DM_ORIENTATION;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    PDEV* p = Enable(&dm);
    ASSERT_NE(p, nullptr);
    const RECTL& r = p->formInfo.rclImageArea;
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 50000);
    EXPECT_EQ(r.bottom, 100000);
    EXPECT_EQ(p->formInfo.szlPaper.cx, 50000);
    EXPECT_EQ(p->formInfo.szlPaper.cy, 100000);
    EXPECT_EQ(p->formInfo.bLandscape, 1u);

    // An offset area turns about the paper: (l, t, r, b) -> (t, cx - r, b, cx - l).
    p->formInfo.rclImageArea = {1000, 2000, 90000, 45000};
    p->formInfo.szlPaper = {100000, 50000};
    AdjustForLandscape(p);
    EXPECT_EQ(p->formInfo.rclImageArea.left, 2000);
    EXPECT_EQ(p->formInfo.rclImageArea.top, 10000);
    EXPECT_EQ(p->formInfo.rclImageArea.right, 45000);
    EXPECT_EQ(p->formInfo.rclImageArea.bottom, 99000);
}

// Model 1 at 203 dpi: a label of 1200 x 8000 dots.
constexpr LONG kTallWidth = 150148;
constexpr LONG kTallHeight = 1000985;

TEST_F(EnableTest, BandBudgetAndHalvingRetry)
{
    WriteLabels({Label(u"Tall", kTallWidth, kTallHeight)});
    SURFOBJ* pso = EnableWithSurface();
    ASSERT_NE(pso, nullptr);
    ASSERT_EQ(pdev_->cxPixels, 1200);
    ASSERT_EQ(pdev_->cyPixels, 8000);
    EXPECT_EQ(pso->sizlBitmap.cx, 1200);
    EXPECT_EQ(pso->sizlBitmap.cy, 2320);
    EXPECT_EQ(pso->lDelta, 3600);
    EXPECT_EQ(pso->dhpdev, reinterpret_cast<DHPDEV>(pdev_));
    EXPECT_TRUE(platform::IsBandingSurface(hsurf_));
    Disable();

    // Full size refused: half the budget, 4194304 / 3600 = 1165 lines -> 1152.
    platform::SetBitmapByteLimit(4 * 1024 * 1024);
    pso = EnableWithSurface();
    ASSERT_NE(pso, nullptr);
    EXPECT_EQ(pso->sizlBitmap.cy, 1152);
    Disable();

    // Or the full-size bitmap's memory is not there.
    platform::SetBitmapByteLimit(0);
    ASSERT_NE(Enable(), nullptr);
    platform::FailNthAllocation(1);
    hsurf_ = DrvEnableSurface(reinterpret_cast<DHPDEV>(pdev_));
    ASSERT_NE(hsurf_, nullptr);
    pso_ = EngLockSurface(hsurf_);
    EXPECT_EQ(pso_->sizlBitmap.cy, 1152);
    Disable();

    // Fewer than 16 lines fit in any budget: no surface, nothing left behind.
    platform::SetBitmapByteLimit(15 * 3600);
    ASSERT_NE(Enable(), nullptr);
    EXPECT_EQ(DrvEnableSurface(reinterpret_cast<DHPDEV>(pdev_)), nullptr);
    EXPECT_EQ(platform::LiveSurfaces(), baseline_.surfaces);
}

TEST_F(EnableTest, LandscapeBandsSpanThePageHeight)
{
    WriteLabels({Label(u"Tall", kTallWidth, kTallHeight)});
    AddForm(u"Tall", kTallWidth, kTallHeight);
    DEVMODEW dm = FormDevMode(u"Tall");
    dm.dmFields |= DM_ORIENTATION;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    SURFOBJ* pso = EnableWithSurface(&dm);
    ASSERT_NE(pso, nullptr);
    ASSERT_EQ(pdev_->cxPixels, 8000);
    ASSERT_EQ(pdev_->cyPixels, 1200);
    EXPECT_EQ(pso->sizlBitmap.cx, 2320);
    EXPECT_EQ(pso->sizlBitmap.cy, 1200);
}

// A page of 1200 x 2400 dots (8,640,000 bytes) at 300 dpi.
constexpr LONG kBigWidth = 101600;
constexpr LONG kBigHeight = 203200;

TEST_F(Model0Test, CompressingModelsBandTheWholePage)
{
    WriteLabels({Label(u"Big", kBigWidth, kBigHeight)});
    SURFOBJ* pso = EnableWithSurface();
    ASSERT_NE(pso, nullptr);
    ASSERT_EQ(pdev_->cyPixels, 2400);
    EXPECT_EQ(pso->sizlBitmap.cx, 1200);
    EXPECT_EQ(pso->sizlBitmap.cy, 2400);
}

TEST_F(EnableTest, CompressionLiftsTheBandBudgetCap)
{
    // 1200 x 2400 dots at 203 dpi: above the 8 MiB cap, which would give 2320 lines.
    WriteLabels({Label(u"Big", kTallWidth, 300296)});
    DRVDEVMODE dm = dmDefault;
    dm.dmPrivate.dwModel = 1;
    dm.dmPrivate.bCompression = 1;
    SURFOBJ* pso = EnableWithSurface(&dm.dmPublic);
    ASSERT_NE(pso, nullptr);
    ASSERT_EQ(pdev_->cyPixels, 2400);
    EXPECT_EQ(pso->sizlBitmap.cy, 2400);
}

TEST_F(EnableTest, ResetCarriesTheDocumentOn)
{
    WriteLabels({Label(u"A", 50000, 30000), Label(u"B", 60000, 30000)});
    AddForm(u"A", 50000, 30000);
    AddForm(u"B", 60000, 30000);
    const DEVMODEW dmA = FormDevMode(u"A"), dmB = FormDevMode(u"B");
    SURFOBJ* pso = EnableWithSurface(&dmA);
    ASSERT_NE(pso, nullptr);
    // Before the document the old device hands nothing on.
    {
        DHPDEV dhpNew = DrvEnablePDEV(const_cast<DEVMODEW*>(&dmA), printerName_.data(), 0, nullptr, 0, nullptr, 0,
                                      nullptr, hdev_, nullptr, hPrinter_);
        ASSERT_NE(dhpNew, nullptr);
        EXPECT_TRUE(DrvResetPDEV(reinterpret_cast<DHPDEV>(pdev_), dhpNew));
        EXPECT_EQ(reinterpret_cast<PDEV*>(dhpNew)->flPdev, 0u);
        DrvDisablePDEV(dhpNew);
    }
    ASSERT_TRUE(DrvStartDoc(pso, nullptr, 1));
    ASSERT_TRUE(DrvStartPage(pso));
    ASSERT_TRUE(DrvSendPage(pso));
    PDEV* pOld = pdev_;
    const std::size_t cbBefore = sink_->Bytes().size();
    // Bytes still buffered in the old device reach the spooler at the reset.
    const BYTE pass[] = {3, 0, 'x', 'y', 'z'};
    ASSERT_EQ(DrvEscape(pso, PASSTHROUGH, sizeof(pass), const_cast<BYTE*>(pass), 0, nullptr), 3u);

    for (const DEVMODEW* pdm : {&dmA, &dmB}) {
        DHPDEV dhpNew = DrvEnablePDEV(const_cast<DEVMODEW*>(pdm), printerName_.data(), 0, nullptr, 0, nullptr, 0,
                                      nullptr, hdev_, nullptr, hPrinter_);
        ASSERT_NE(dhpNew, nullptr);
        auto* pNew = reinterpret_cast<PDEV*>(dhpNew);
        EXPECT_TRUE(DrvResetPDEV(reinterpret_cast<DHPDEV>(pOld), dhpNew));
        EXPECT_EQ(pNew->cPages, 1u);
        EXPECT_TRUE(pNew->flPdev & PDEVF_DOCSTARTED);
        EXPECT_EQ((pNew->flPdev & PDEVF_SAMEFORM) != 0, pdm == &dmA);
        DrvDisablePDEV(dhpNew);
    }
    // The document start is not sent again.
    EXPECT_EQ(Sent().substr(cbBefore), "xyz");
}

TEST(SameDevmodeFormTray, PaperComparison)
{
    DEVMODEW a{}, b{};
    a.dmFields = b.dmFields = DM_PAPERSIZE;
    a.dmPaperSize = b.dmPaperSize = 9;
    EXPECT_TRUE(SameDevmodeFormTray(&a, &b));
    b.dmDefaultSource = 2;
    EXPECT_FALSE(SameDevmodeFormTray(&a, &b));
    b.dmDefaultSource = 0;
    a.dmFields = DM_PAPERLENGTH | DM_PAPERWIDTH;
    a.dmPaperLength = 100;
    a.dmPaperWidth = 50;
    EXPECT_FALSE(SameDevmodeFormTray(&a, &b));
    b.dmFields = DM_PAPERLENGTH | DM_PAPERWIDTH;
    b.dmPaperLength = 100;
    b.dmPaperWidth = 50;
    EXPECT_TRUE(SameDevmodeFormTray(&a, &b));
    a.dmFields = b.dmFields = DM_FORMNAME;
    std::memcpy(a.dmFormName, u"Label", 12);
    EXPECT_FALSE(SameDevmodeFormTray(&a, &b));
    std::memcpy(b.dmFormName, u"Label", 12);
    EXPECT_TRUE(SameDevmodeFormTray(&a, &b));
}

}  // namespace
}  // namespace lbltest
