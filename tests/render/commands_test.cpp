// The printer commands: fields, orders and the model families, against the
// byte strings of the printer language.
#include <gtest/gtest.h>

#include <string>

#include "channel.h"
#include "commands.h"
#include "render/pdev_fixture.h"

namespace {

using lbltest::Cmd;
using lbltest::DeviceOptions;
using lbltest::TestDevice;

DeviceOptions Model(DWORD dwModel, bool bColor = false)
{
    DeviceOptions o;
    o.dwModel = dwModel;
    o.bColor = bColor;
    return o;
}

// Runs f inside an open document and returns what reached the spooler.
template <class F>
std::string RunDoc(TestDevice& d, F f)
{
    d.pdev()->flPdev |= PDEVF_DOCSTARTED;
    f(d.pdev());
    FlushChannel(d.pdev());
    return d.Sent();
}

std::string Issue(TestDevice& d, ULONG cPage)
{
    const std::size_t before = d.Sent().size();
    d.pdev()->cPages = cPage;
    RunDoc(d, ClosePage);
    return d.Sent().substr(before);
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override { lbltest::ResetDriverState(); }
};

TEST_F(Commands, WorkedExampleByteForByte)
{
    const DRVEXTRA& defaults = dmDefault.dmPrivate;
    ASSERT_EQ(defaults.bRibbonSaver, 1u);
    ASSERT_EQ(defaults.bBottomUp, 1u);
    ASSERT_EQ(defaults.bMirror, 0u);
    ASSERT_EQ(defaults.bCompression, 0u);
    ASSERT_EQ(defaults.bAutoFeed, 0u);

    TestDevice d(Model(1));  // 64 x 48 dots, label 100.0 x 75.0 mm, pitch 80.0 mm, sensor 1
    d.StartDoc();
    ASSERT_TRUE(d.PrintPage([](LONG, LONG) { return lbltest::kWhite; }));
    d.EndDoc();

    const std::string expected = std::string(3000, '\0') + Cmd("D0800,1000,0750") + Cmd("AX;+000,+000,+00") +
                                 Cmd("AY;+00,0") + Cmd("RM;-00-00") + Cmd("RN;00") + Cmd("C") +
                                 "\x1bSG;0000,0000,0064,0048," + "1," + std::string(8 * 48, '\0') +
                                 std::string("\n\0", 2) + Cmd("XS;I,0001,0001C8100");
    EXPECT_EQ(d.Sent(), expected);
    EXPECT_EQ(dwInitPrint, 0u);
}

TEST_F(Commands, NulRunOncePerLoadAndAutoFeedAcrossDocuments)
{
    TestDevice d(Model(1));
    d.extra().bAutoFeed = 1;
    d.label().lAutoFeed = 100;
    d.label().lAutoFeed2 = 167;
    d.StartDoc();
    d.EndDoc();
    d.StartDoc();
    d.EndDoc();
    EXPECT_EQ(d.Sent(), std::string(3000, '\0') + Cmd("U2;0100") + Cmd("U1;0100") + Cmd("U2;0100") + Cmd("U1;0100"));

    // A second printer on the same load: no NUL run; models 7 and 10 use the second length.
    TestDevice d7(Model(7));
    d7.extra().bAutoFeed = 1;
    d7.label().lAutoFeed = 100;
    d7.label().lAutoFeed2 = 167;
    d7.StartDoc();
    d7.EndDoc();
    EXPECT_EQ(d7.Sent(), Cmd("U2;0167") + Cmd("U1;0167"));

    // A document starting while auto feed is on sends no second auto feed on.
    TestDevice a(Model(1)), b(Model(1));
    a.extra().bAutoFeed = b.extra().bAutoFeed = 1;
    a.StartDoc();
    b.StartDoc();
    EXPECT_EQ(autofeed, 1);
    b.EndDoc();
    a.EndDoc();
    EXPECT_EQ(b.Sent(), Cmd("U1;0000"));
    EXPECT_EQ(a.Sent(), Cmd("U2;0000"));
}

TEST_F(Commands, SignedFieldsKeepSignAndWidth)
{
    TestDevice d0(Model(0));
    d0.label().lFeedAdj = 130;
    d0.label().lBackFeedAdj = -5;
    d0.label().lStopPosAdj = -300;
    d0.label().lCutPosAdj = -1234;  // more digits than the field: the leading one is dropped
    EXPECT_EQ(RunDoc(d0, [&](PDEV* p) { ddfn_PosAdjustCommand(p, &d0.label()); }), Cmd("AX;+130,-234,-05,-0300"));

    TestDevice d1(Model(1));
    d1.label().lFeedAdj = -7;
    d1.label().lBackFeedAdj = 12;
    d1.label().lStopPosAdj = -300;  // not sent outside model 0
    EXPECT_EQ(RunDoc(d1, [&](PDEV* p) { ddfn_PosAdjustCommand(p, &d1.label()); }), Cmd("AX;-007,+000,+12"));
}

TEST_F(Commands, LabelSizeFieldsByModel)
{
    TestDevice d1(Model(1));
    d1.label().lPitch = 12345;
    EXPECT_TRUE(RunDoc(d1, BeginPage).starts_with(Cmd("D2345,1000,0750")));

    TestDevice d9(Model(9));
    d9.label().lPitch = 12345;
    EXPECT_TRUE(RunDoc(d9, BeginPage).starts_with(Cmd("D12345,1000,00750")));

    // Landscape: the device-oriented page is exchanged back to the label's own size.
    DeviceOptions o = Model(1);
    o.bLandscape = true;
    o.cxPaper = 750;
    o.cyPaper = 1000;
    TestDevice dl(o);
    EXPECT_TRUE(RunDoc(dl, BeginPage).starts_with(Cmd("D0800,1000,0750")));
}

TEST_F(Commands, PageSetupOfModelsOneToTen)
{
    TestDevice d(Model(4, true));
    LABELDATA& l = d.label();
    l.alDensAdj[0] = -3;
    l.alDensAdj[1] = 9;  // one density value whatever the planes
    l.aRibbon[0] = {1, 1, 0, -5, -12};
    EXPECT_EQ(RunDoc(d, BeginPage), Cmd("D0800,1000,0750") + Cmd("AX;+000,+000,+00") + Cmd("AY;-03,1") +
                                     Cmd("RM;-05-12") + Cmd("RN;01") + Cmd("C"));
}

void SetModel0Adjustments(LABELDATA& l)
{
    const LONG dens[4] = {1, -2, 3, -4};
    const LONG pos[8] = {10, -20, 30, -40, 50, -60, 70, -80};
    for (int p = 0; p < 4; ++p) {
        l.alDensAdj[p] = dens[p];
        l.aRibbon[p].lRewindAdj = -p;
        l.aRibbon[p].lBackTensionAdj = p + 1;
    }
    for (int i = 0; i < 8; ++i) l.alPosAdj[i] = pos[i];
    l.aRibbon[0].bMotorAdj = 1;
}

TEST_F(Commands, Model0FourColourSendsEveryPlane)
{
    TestDevice d(Model(0, true));
    d.extra().bFourColor = 1;
    SetModel0Adjustments(d.label());
    EXPECT_EQ(RunDoc(d, [&](PDEV* p) { ddfn_OthersAdjustCommand(p, &d.label()); }),
              Cmd("AY;+01,0,0") + Cmd("AY;-02,0,1") + Cmd("AY;+03,0,2") + Cmd("AY;-04,0,3") +
                  Cmd("AZ;0,+010,-020") + Cmd("AZ;1,+030,-040") + Cmd("AZ;2,+050,-060") + Cmd("AZ;3,+070,-080") +
                  Cmd("RN;00") + Cmd("RM;9,+00+010") + Cmd("RM;9,-01+021") + Cmd("RM;9,-02+032") +
                  Cmd("RM;9,-03+043"));
}

TEST_F(Commands, Model0ThreeColourSkipsBlack)
{
    TestDevice d(Model(0, true));
    d.extra().bFourColor = 0;
    SetModel0Adjustments(d.label());
    EXPECT_EQ(RunDoc(d, [&](PDEV* p) { ddfn_OthersAdjustCommand(p, &d.label()); }),
              Cmd("AY;-02,0,1") + Cmd("AY;+03,0,2") + Cmd("AY;-04,0,3") + Cmd("AZ;1,+030,-040") +
                  Cmd("AZ;2,+050,-060") + Cmd("AZ;3,+070,-080") + Cmd("RN;00") + Cmd("RM;9,-01+021") +
                  Cmd("RM;9,-02+032") + Cmd("RM;9,-03+043"));
}

TEST_F(Commands, Model0MotorPresetNamesRibbonTypeAndWidth)
{
    TestDevice d(Model(0));  // monochrome: plane 0 only
    d.label().aRibbon[0] = {1, 1, 0, -4, -4};
    EXPECT_EQ(RunDoc(d, [&](PDEV* p) { ddfn_OthersAdjustCommand(p, &d.label()); }),
              Cmd("AY;+00,0,0") + Cmd("AZ;0,+000,+000") + Cmd("RN;01") + Cmd("RM;4"));
    TestDevice e(Model(0));
    EXPECT_EQ(RunDoc(e, [&](PDEV* p) { ddfn_OthersAdjustCommand(p, &e.label()); }),
              Cmd("AY;+00,0,0") + Cmd("AZ;0,+000,+000") + Cmd("RN;00") + Cmd("RM;1"));
}

TEST_F(Commands, CutValueCountsLabelsWithOneCopy)
{
    TestDevice d(Model(1));
    d.label().iCutInterval = 3;
    const char* cuts[] = {"000", "000", "001", "000", "000", "001"};
    for (ULONG page = 1; page <= 6; ++page)
        EXPECT_EQ(Issue(d, page), Cmd(std::string("XS;I,0001,") + cuts[page - 1] + "1C8100")) << page;
    d.pdev()->cCopies = 5;
    for (ULONG page = 1; page <= 3; ++page) EXPECT_EQ(Issue(d, page), Cmd("XS;I,0005,0031C8100"));
}

TEST_F(Commands, CutEveryTimeJob)
{
    TestDevice d(Model(1));
    d.label().iCutInterval = 999;
    for (ULONG page = 1; page <= 3; ++page) EXPECT_EQ(Issue(d, page), Cmd("XS;I,0001,0001C8100"));
    d.pdev()->cCopies = 2;
    EXPECT_EQ(Issue(d, 4), Cmd("XS;I,0002,0001C8100"));
    const std::size_t before = d.Sent().size();
    RunDoc(d, TermDevice);
    EXPECT_EQ(d.Sent().substr(before), Cmd("IB"));
}

TEST_F(Commands, IssueCommandFlagsByModelFamily)
{
    TestDevice d0(Model(0));
    d0.extra().bBackFeed = 1;
    d0.extra().bRibbonSaver = 0;
    d0.extra().bBottomUp = 0;
    d0.label().iSensor = 2;
    EXPECT_EQ(Issue(d0, 1), Cmd("XS;I,0001,0002C6210"));
    d0.extra().bBackFeed = 0;
    d0.extra().bRibbonSaver = 1;
    d0.extra().bBottomUp = 1;
    d0.label().iIssueSpeed = 1;
    EXPECT_EQ(Issue(d0, 1), Cmd("XS;I,0001,0002E4300"));

    TestDevice d2(Model(2));
    d2.label().iIssueMode = 1;           // strip
    d2.label().iIssueSpeed = 1;          // code 3
    d2.label().aRibbon[0].dwRibbonSel1 = 1;  // without ribbon
    d2.extra().bMirror = 1;
    EXPECT_EQ(Issue(d2, 1), Cmd("XS;I,0001,0001D3020"));
    d2.label().aRibbon[0].dwRibbonSel1 = 0;
    d2.extra().bRibbonSaver = 0;
    d2.extra().bBottomUp = 0;
    EXPECT_EQ(Issue(d2, 1), Cmd("XS;I,0001,0001D3230"));
}

TEST_F(Commands, IssueSpeedOutsideTheModelListIsClamped)
{
    struct Case {
        DWORD model;
        INT index;
        const char* code;
    } cases[] = {
        {1, 2, "3"}, {1, 3, "3"}, {1, 70, "3"}, {1, -1, "8"}, {10, 1, "2"}, {9, 3, "3"}, {9, 4, "3"}, {7, 2, "2"},
    };
    for (const Case& c : cases) {
        TestDevice d(Model(c.model));
        d.label().iIssueSpeed = c.index;
        const std::string issue = Issue(d, 1);
        EXPECT_EQ(issue.substr(16, 1), c.code) << "model " << c.model << " index " << c.index;
    }
}

TEST_F(Commands, NegativeValuesInPlainDigitFieldsGoOutAsZero)
{
    TestDevice d(Model(1));
    d.label().lPitch = -800;
    d.pdev()->cxPaper = -5;
    d.pdev()->cCopies = -2;
    d.label().iCutInterval = -3;
    d.extra().bAutoFeed = 1;
    d.label().lAutoFeed = -1;
    const std::string s = RunDoc(d, [](PDEV* p) {
        InitDevice(p);
        BeginPage(p);
        ClosePage(p);
    });
    EXPECT_NE(s.find(Cmd("U2;0000")), std::string::npos);
    EXPECT_NE(s.find(Cmd("D0000,0000,0750")), std::string::npos);
    EXPECT_NE(s.find(Cmd("XS;I,0000,0001C8100")), std::string::npos);
    EXPECT_EQ(s.find('-', 3000), s.find("RM;-") + 3);  // the only minus signs are those of the motor command
}

TEST_F(Commands, GraphicHeaderByModel)
{
    TestDevice d1(Model(1));
    EXPECT_EQ(RunDoc(d1, [](PDEV* p) { ddfn_FirstBand(p, 0, 1000, 1200); }), "\x1bSG;0000,0000,1000,1200,");
    TestDevice c1(Model(1));
    c1.extra().bCompression = 1;
    EXPECT_EQ(RunDoc(c1, [](PDEV* p) { ddfn_FirstBand(p, 0, 1000, 1200); }), "\x1bSG0;0000,0000,1000,1200,");
    TestDevice d0(Model(0));
    EXPECT_EQ(RunDoc(d0, [](PDEV* p) { ddfn_FirstBand(p, 3, 64, 48); }), "\x1bSG3;0000,0000,0064,0048,");
    TestDevice d10(Model(10));
    EXPECT_EQ(RunDoc(d10, [](PDEV* p) { ddfn_FirstBand(p, 1, 64, 48); }), "\x1bSG1;0000,0000,0064,0048,");
    TestDevice d9(Model(9));
    EXPECT_EQ(RunDoc(d9, [](PDEV* p) { ddfn_FirstBand(p, 2, 1000, 12000); }), "\x1bSG2;0000,00000,1000,12000,");
}

}  // namespace
