// The test feed's bytes, worked out by hand from the command templates, and its
// behaviour when the spooler fails.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "spooler/job.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const std::vector<BYTE>& b) { return std::string(b.begin(), b.end()); }
// A command as it goes on the wire: its text, then NUL.
std::string Cmd(const std::string& text) { return text + std::string(1, '\0'); }

class SendFeedTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        printer = Open(AddBarePrinter(ModelPpd(1)));
        label = DefaultLabel;
        label.lWidth = 100000;
        label.lHeight = 75000;
        label.lPitch = 800;
        label.lFeedAdj = label.lCutPosAdj = label.lBackFeedAdj = 0;
        label.iSensor = 1;
        label.iCutInterval = 0;
        label.iIssueMode = 0;
        label.iIssueSpeed = 0;
        label.aRibbon[0] = RIBBONADJ{0, 0, 0, 0, 0};
        dm = dmDefault;
        dm.dmPrivate.dwModel = 1;
        dm.dmPrivate.bRibbonSaver = 1;
        dm.dmPrivate.bAutoFeed = 0;
    }
    // The bytes of one feed, collected by a sink on the printer handle.
    std::string Feed(BOOL* pOk = nullptr)
    {
        auto sink = platform::AttachJobSink(printer);
        std::u16string out = platform::Widen(TestDir() + "/feed.prn");
        const BOOL ok = SendFeed(printer, out.data(), &label, &dm);
        if (pOk) *pOk = ok;
        platform::DetachJobSink(printer);
        return Bytes(sink->Bytes());
    }

    HANDLE printer = nullptr;
    LABELDATA label{};
    DRVDEVMODE dm{};
};

const std::string kSize = Cmd("\x1b" "D0800,1000,0750\n");
const std::string kPos = Cmd("\x1b" "AX;+000,+000,+00\n");
const std::string kMotor = Cmd("\x1b" "RM;-00-00\n");
const std::string kType = Cmd("\x1b" "RN;00\n");

TEST_F(SendFeedTest, FeedsTheLabelWithItsSettings)
{
    BOOL ok = FALSE;
    EXPECT_EQ(Feed(&ok), kSize + kPos + kMotor + kType + Cmd("\x1b" "T10C81\n"));
    EXPECT_TRUE(ok);

    label.iCutInterval = 5;
    label.iIssueMode = 1;
    EXPECT_EQ(Feed(), kSize + kPos + kMotor + kType + Cmd("\x1b" "T11D81\n"));

    // Without ribbon the ribbon digit is 0; with ribbon and the saver off, 2.
    label.iCutInterval = 0;
    label.iIssueMode = 0;
    label.aRibbon[0].dwRibbonSel1 = 1;
    EXPECT_EQ(Feed().substr(kSize.size() + kPos.size() + kMotor.size() + kType.size()), Cmd("\x1b" "T10C80\n"));
    label.aRibbon[0].dwRibbonSel1 = 0;
    dm.dmPrivate.bRibbonSaver = 0;
    EXPECT_EQ(Feed().substr(kSize.size() + kPos.size() + kMotor.size() + kType.size()), Cmd("\x1b" "T10C82\n"));
}

TEST_F(SendFeedTest, SignedAdjustmentsAndRibbonMotor)
{
    label.lFeedAdj = -25;
    label.lCutPosAdj = 130;
    label.lBackFeedAdj = -9;
    label.aRibbon[0].lRewindAdj = -15;
    label.aRibbon[0].lBackTensionAdj = -7;
    label.aRibbon[0].dwRibbonSel2 = 1;
    EXPECT_EQ(Feed(), kSize + Cmd("\x1b" "AX;-025,+130,-09\n") + Cmd("\x1b" "RM;-15-07\n") + Cmd("\x1b" "RN;01\n") +
                          Cmd("\x1b" "T10C81\n"));
}

TEST_F(SendFeedTest, AutoFeedOffFollowsWhenAutoFeedIsOn)
{
    dm.dmPrivate.dwModel = 7;
    dm.dmPrivate.bAutoFeed = 1;
    label.lAutoFeed = 55;
    label.lAutoFeed2 = 167;
    // Model 7's first speed code is 4; its auto-feed length is lAutoFeed2.
    EXPECT_EQ(Feed(), kSize + kPos + kMotor + kType + Cmd("\x1b" "T10C41\n") + Cmd("\x1b" "U1;0167\n"));
    dm.dmPrivate.dwModel = 1;
    EXPECT_EQ(Feed().substr(Feed().size() - 10), Cmd("\x1b" "U1;0055\n"));
}

TEST_F(SendFeedTest, ModelNineCarriesFiveDigitPitchAndHeight)
{
    dm.dmPrivate.dwModel = 9;
    label.lPitch = 9990;
    const std::string bytes = Feed();
    const std::string size = Cmd("\x1b" "D09990,1000,00750\n");
    ASSERT_EQ(size.size(), 20u);
    EXPECT_EQ(bytes.substr(0, 20), size);
    EXPECT_EQ(bytes.substr(20, kPos.size()), kPos);
}

TEST_F(SendFeedTest, WideFieldsKeepEveryCommandWhole)
{
    // A ribbon type of 12 formats to two characters: the command grows by one
    // byte and still ends in LF NUL, and the next command starts with ESC.
    label.aRibbon[0].dwRibbonSel2 = 12;
    label.iSensor = 10;
    const std::string bytes = Feed();
    EXPECT_EQ(bytes, kSize + kPos + kMotor + Cmd("\x1b" "RN;012\n") + Cmd("\x1b" "T100C81\n"));
}

TEST_F(SendFeedTest, ASpeedIndexOutsideTheModelsListTakesItsLastSpeed)
{
    label.iIssueSpeed = 7;  // model 1 has three speeds, codes 8, 5, 3
    EXPECT_EQ(Feed().substr(Feed().size() - 9), Cmd("\x1b" "T10C31\n"));
    label.iIssueSpeed = -4;
    EXPECT_EQ(Feed().substr(Feed().size() - 9), Cmd("\x1b" "T10C81\n"));
}

TEST_F(SendFeedTest, TheDocumentGoesToTheOutputFile)
{
    const std::string out = TestDir() + "/feed-out.prn";
    fs::remove(out);
    std::u16string wout = platform::Widen(out);
    ASSERT_TRUE(SendFeed(printer, wout.data(), &label, &dm));
    std::ifstream in(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              kSize + kPos + kMotor + kType + Cmd("\x1b" "T10C81\n"));
    ASSERT_TRUE(platform::LastRawDocument());
    EXPECT_EQ(platform::LastRawDocument()->docName, "Varnel PrinterDriver");
}

TEST_F(SendFeedTest, AWriteFailureStopsTheFeedAndSendsNothing)
{
    const std::string out = TestDir() + "/failed-feed.prn";
    fs::remove(out);
    std::u16string wout = platform::Widen(out);
    auto sink = platform::AttachJobSink(printer, platform::JobSink::Mode::FailAfter, 30);
    EXPECT_FALSE(SendFeed(printer, wout.data(), &label, &dm));
    // The size command went, the position command failed, nothing after it was tried.
    EXPECT_EQ(sink->Writes(), (std::vector<DWORD>{18, 19}));
    EXPECT_FALSE(fs::exists(out));
    platform::DetachJobSink(printer);
    // The failed document was ended: the next feed on the same handle goes out.
    EXPECT_TRUE(SendFeed(printer, wout.data(), &label, &dm));
    EXPECT_TRUE(fs::exists(out));
}

TEST_F(SendFeedTest, ARefusedDocumentIsAFailure)
{
    HANDLE server = nullptr;
    ASSERT_TRUE(OpenPrinterW(nullptr, &server, nullptr));
    std::u16string out = platform::Widen(TestDir() + "/never.prn");
    EXPECT_FALSE(SendFeed(server, out.data(), &label, &dm));
    ClosePrinter(server);
    EXPECT_FALSE(fs::exists(TestDir() + "/never.prn"));
}

}  // namespace
}  // namespace uitest
