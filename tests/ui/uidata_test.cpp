// The working record of a sheet: what it holds, and that a failure at any step
// releases everything acquired before it.
#include <cstring>

#include "ui_fixture.h"

using namespace uitest;

namespace {

class UiDataTest : public UiTest {};

// Tears a sheet's record down as a sheet does.
void Destroy(PUIDATA p)
{
    PPDDATA* pPpd = p->pPpdData;
    HANDLE hHeap = p->hHeap;
    DelUiData(p);
    UnloadPpdFile(pPpd);
    HeapDestroy(hHeap);
}

TEST_F(UiDataTest, HoldsThePrintersSettings)
{
    const std::u16string name = AddInstalledPrinter(ModelPpd(3));
    HANDLE h = Open(name);
    PUIDATA p = FillUiData(h, nullptr);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(ValidUiData(p));
    EXPECT_EQ(p->hPrinter, h);
    EXPECT_EQ(std::u16string(p->pwstrDriverName), u"LBL Test Driver");
    EXPECT_EQ(p->dwUiModel, 3u);
    EXPECT_EQ(p->prnProps.wVersion, 0x0110);
    EXPECT_EQ(p->prnProps.wSize, 36);
    EXPECT_EQ(p->prnProps.wPpdChecksum, p->pPpdData->wChecksum);
    EXPECT_EQ(std::u16string(p->labelWork.szLabelName), name + u" Standard Label");
    EXPECT_EQ(std::memcmp(&p->labelWork, p->pLabelDb, sizeof(LABELDATA)), 0);
    EXPECT_NE(p->pLabelDb, p->pLabelDbSaved);
    // The device mode's paper size is the number of the form it names (0 when there is none).
    EXPECT_EQ(static_cast<DWORD>(p->devmode.dmPublic.dmPaperSize), FormNumber(p->devmode.dmPublic.dmFormName));
    // No help file in the driver record: the model's file in the driver directory.
    EXPECT_NE(std::u16string(p->pwstrHelpFile).find(u"/drivers/WQEN.hlp"), std::u16string::npos);
    Destroy(p);
}

TEST_F(UiDataTest, TheCallersDeviceModeIsMergedIn)
{
    HANDLE h = Open(AddInstalledPrinter(ModelPpd(3)));
    DRVDEVMODE dm{};
    ASSERT_TRUE(SetDefaultDevMode(&dm, nullptr, nullptr, TRUE));
    dm.dmPublic.dmFields = DM_ORIENTATION;
    dm.dmPublic.dmOrientation = DMORIENT_LANDSCAPE;
    PUIDATA p = FillUiData(h, &dm.dmPublic);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->devmode.dmPublic.dmOrientation, DMORIENT_LANDSCAPE);
    Destroy(p);
}

TEST_F(UiDataTest, AFailureAtAnyAllocationReleasesEverything)
{
    HANDLE h = Open(AddInstalledPrinter(ModelPpd(0)));
    // Count the allocations of one run, the description build included.
    FlushPpdCache();
    const long first = platform::AllocationCount();
    PUIDATA whole = FillUiData(h, nullptr);
    ASSERT_NE(whole, nullptr);
    const long allocations = platform::AllocationCount() - first;
    Destroy(whole);
    long failures = 0;
    for (long n = 1; n <= allocations; ++n) {
        FlushPpdCache();
        const long global = platform::LiveGlobalBlocks();
        const long heaps = platform::LiveHeapBlocks(nullptr);
        platform::FailNthAllocation(n);
        PUIDATA p = FillUiData(h, nullptr);
        platform::FailNthAllocation(0);
        if (p) {
            Destroy(p);  // a failure the code works around (a binary description file it then parses anew)
        } else {
            ++failures;
        }
        FlushPpdCache();
        EXPECT_EQ(platform::LiveGlobalBlocks(), global) << "allocation " << n;
        EXPECT_EQ(platform::LiveHeapBlocks(nullptr), heaps) << "allocation " << n;
    }
    EXPECT_GT(failures, 10);
}

TEST_F(UiDataTest, DelUiDataFreesTheFourBuffersOnce)
{
    HANDLE h = Open(AddInstalledPrinter(ModelPpd(1)));
    PUIDATA p = FillUiData(h, nullptr);
    ASSERT_NE(p, nullptr);
    DelUiData(p);
    EXPECT_EQ(p->pLabelDb, nullptr);
    EXPECT_EQ(p->pLabelDbSaved, nullptr);
    EXPECT_EQ(p->pSpotColor, nullptr);
    EXPECT_EQ(p->pCustomColor, nullptr);
    Destroy(p);  // a second DelUiData frees nothing twice
}

TEST_F(UiDataTest, NoRecordForAPrinterWithoutItsDescription)
{
    HANDLE h = Open(AddBarePrinter(TestDir() + "/none.ppd"));
    EXPECT_EQ(FillUiData(h, nullptr), nullptr);
    EXPECT_EQ(FillUiData(nullptr, nullptr), nullptr);
}

TEST(UiStrings, CopiesLandInTheHeap)
{
    uitest::TestDir();
    HANDLE hHeap = HeapCreate(0, 8192, 0);
    LPWSTR a = GetStringFromAnsi("Caf\xE9", hHeap);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(std::u16string(a), u"Caf\u00E9");  // code page 1252
    LPWSTR w = GetStringFromUnicode(u"Label", hHeap);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(std::u16string(w), u"Label");
    EXPECT_EQ(platform::LiveHeapBlocks(hHeap), 2);
    EXPECT_EQ(GetStringFromAnsi(nullptr, hHeap), nullptr);
    HeapDestroy(hHeap);
}

}  // namespace
