// The arrays of the common property sheet UI made from an item packer's two passes.
#include "ui_fixture.h"

using namespace uitest;

namespace {

class CommonUiTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        h_ = Open(AddInstalledPrinter(ModelPpd(0)));
        p_ = FillUiData(h_, nullptr);
        ASSERT_NE(p_, nullptr);
    }
    void TearDown() override
    {
        if (p_) {
            PPDDATA* pPpd = p_->pPpdData;
            HANDLE hHeap = p_->hHeap;
            DelUiData(p_);
            UnloadPpdFile(pPpd);
            HeapDestroy(hHeap);
        }
        UiTest::TearDown();
    }
    HANDLE h_ = nullptr;
    PUIDATA p_ = nullptr;
};

// Two items with an OPTTYPE of three and two parameters, and a header without one.
constexpr OPTITEMTEMPLATE kColor[] = {441, 1, 2, 7, 1002, 3, TVOT_3STATES, 64765, 64039, 441, 64040, 443, 64040};
constexpr OPTITEMTEMPLATE kSaver[] = {320, 2, 0, 17, 1010, 2, TVOT_2STATES, 381, 0, 380, 0};

int g_calls = 0;
int g_failOnCall = 0;

BOOL Packer(POPTITEMPACK pPack)
{
    ++g_calls;
    if (g_calls == g_failOnCall) return FALSE;
    return PackOptItemTemplate(pPack, kColor, 2) && PackOptItemGroupHeader(pPack, 460, 64040, 2004) &&
           PackOptItemTemplate(pPack, kSaver, 1);
}

TEST_F(CommonUiTest, BothPassesFillTheItemTree)
{
    g_calls = 0;
    g_failOnCall = 0;
    PCOMPROPSHEETUI ui = PrepareDataForCommonUi(p_, nullptr, Packer);
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(g_calls, 2);
    EXPECT_EQ(ui->cbSize, sizeof(COMPROPSHEETUI));
    EXPECT_EQ(ui->hInstCaller, ghInstance);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(ui->pCallerName), 112u);  // model 0
    EXPECT_EQ(ui->UserData, reinterpret_cast<ULONG_PTR>(p_));
    EXPECT_EQ(ui->IconID, 64062u);
    EXPECT_EQ(ui->CallerVersion, 0x0110);
    EXPECT_EQ(ui->Flags, 0);  // bPermission 0
    EXPECT_EQ(ui->pOptItemName, p_->pwstrDriverName);
    EXPECT_NE(std::u16string(ui->pHelpFile).find(u"LX3060Q.hlp"), std::u16string::npos);
    ASSERT_EQ(ui->cOptItem, 3);

    const OPTITEM& color = ui->pOptItem[0];
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(color.pName), 441u);
    EXPECT_EQ(color.Sel, 2);
    EXPECT_EQ(color.Level, 1);
    EXPECT_EQ(color.DMPubID, 2);
    EXPECT_EQ(color.UserData, 7u);
    EXPECT_EQ(color.HelpIndex, 1002u);
    EXPECT_TRUE(color.Flags & OPTIF_CALLBACK);
    ASSERT_NE(color.pOptType, nullptr);
    EXPECT_EQ(color.pOptType->Type, TVOT_3STATES);
    ASSERT_EQ(color.pOptType->Count, 3);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(color.pOptType->pOptParam[2].pData), 443u);
    EXPECT_EQ(color.pOptType->pOptParam[0].IconID, 64039u);

    const OPTITEM& header = ui->pOptItem[1];
    EXPECT_EQ(header.pOptType, nullptr);
    EXPECT_EQ(header.Sel, 64040);
    EXPECT_EQ(header.Level, 1);
    EXPECT_EQ(header.HelpIndex, 2004u);

    const OPTITEM& saver = ui->pOptItem[2];
    EXPECT_EQ(saver.pOptType, color.pOptType + 1);  // types follow each other
    EXPECT_EQ(saver.pOptType->Count, 2);

    // The choices of the sheet: the standard label's form, two bins, one resolution.
    EXPECT_EQ(p_->pwPaperIndex[0], FormNumber(std::u16string(p_->labelWork.szLabelName)));
    EXPECT_EQ(p_->cBins, 2u);
    EXPECT_EQ(std::u16string(p_->pBinNames), u"Roll Feed");
    EXPECT_EQ(p_->cResolutions, 1u);
    EXPECT_EQ(p_->pResolutions[0], 300);
}

TEST_F(CommonUiTest, PermissionSetsTheUpdateFlag)
{
    p_->bPermission = TRUE;
    g_calls = 0;
    g_failOnCall = 0;
    PCOMPROPSHEETUI ui = PrepareDataForCommonUi(p_, nullptr, Packer);
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(ui->Flags, CPSUIF_UPDATE_PERMISSION);
}

TEST_F(CommonUiTest, APackerFailingInTheCountingPassAllocatesNoItems)
{
    g_calls = 0;
    g_failOnCall = 1;
    const long before = platform::LiveHeapBlocks(p_->hHeap);
    EXPECT_EQ(PrepareDataForCommonUi(p_, nullptr, Packer), nullptr);
    EXPECT_EQ(g_calls, 1);
    const long afterCounting = platform::LiveHeapBlocks(p_->hHeap) - before;

    // Failing at the start of the filling pass instead: the item and type arrays are the difference.
    PUIDATA fresh = FillUiData(h_, nullptr);
    ASSERT_NE(fresh, nullptr);
    g_calls = 0;
    g_failOnCall = 2;
    const long before2 = platform::LiveHeapBlocks(fresh->hHeap);
    EXPECT_EQ(PrepareDataForCommonUi(fresh, nullptr, Packer), nullptr);
    EXPECT_EQ(platform::LiveHeapBlocks(fresh->hHeap) - before2, afterCounting + 2);
    PPDDATA* pPpd = fresh->pPpdData;
    HANDLE hHeap = fresh->hHeap;
    DelUiData(fresh);
    UnloadPpdFile(pPpd);
    HeapDestroy(hHeap);
}

TEST_F(CommonUiTest, NoFormListGivesNoSheetData)
{
    // A handle that no longer names a printer reads no form list.
    HANDLE gone = nullptr;
    std::u16string name = AddBarePrinter(ModelPpd(0));
    ASSERT_TRUE(OpenPrinterW(name.data(), &gone, nullptr));
    ClosePrinter(gone);
    p_->hPrinter = gone;
    g_calls = 0;
    EXPECT_EQ(PrepareDataForCommonUi(p_, nullptr, Packer), nullptr);
    EXPECT_EQ(g_calls, 0);
    p_->hPrinter = h_;
}

TEST_F(CommonUiTest, ARecordWithBrokenGuardsIsRefused)
{
    p_->pvGuardEnd = nullptr;
    EXPECT_EQ(PrepareDataForCommonUi(p_, nullptr, Packer), nullptr);
    p_->pvGuardEnd = p_;
}

TEST_F(CommonUiTest, CallerNameFollowsTheModel)
{
    EXPECT_EQ(ddfn_CallerName(p_), 112);
    p_->dwUiModel = 4;
    EXPECT_EQ(ddfn_CallerName(p_), 113);
}

TEST_F(CommonUiTest, CallCompstuiRunsTheCommonUiOfThePlatform)
{
    DWORD result = 7;
    // The platform's common UI refuses a missing sheet function; what matters is that it was reached.
    const LONG r = CallCompstui(nullptr, nullptr, 0, &result);
    EXPECT_EQ(r, ERR_CPSUI_INVALID_LPARAM);
    EXPECT_EQ(result, 0u);
}

}  // namespace
