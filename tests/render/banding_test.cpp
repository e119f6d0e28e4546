// Whole pages through the band walk: halftoning, compression and the framing
// of the planes, in the model families, orientations and band counts; output
// failures in the middle of a page.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "banding.h"
#include "base/memory.h"
#include "channel.h"
#include "commands.h"
#include "render/pdev_fixture.h"

namespace {

using lbltest::BigEndian32;
using lbltest::Cmd;
using lbltest::DeviceOptions;
using lbltest::kBlack;
using lbltest::kCyan;
using lbltest::kMagenta;
using lbltest::kWhite;
using lbltest::TestDevice;
using Mode = platform::JobSink::Mode;
using namespace std::string_literals;

const std::string kLfNul("\n\0", 2);

// Page set-up of a model 1 to 10 device with the fixture's label and all adjustments 0.
const std::string kSetupModel1 = Cmd("D0800,1000,0750") + Cmd("AX;+000,+000,+00") + Cmd("AY;+00,0") +
                                 Cmd("RM;-00-00") + Cmd("RN;00") + Cmd("C");
const std::string kIssueModel1 = Cmd("XS;I,0001,0001C8100");

class Banding : public ::testing::Test {
protected:
    void SetUp() override
    {
        lbltest::ResetDriverState();
        dwInitPrint = 0;  // the start-of-job NUL run is not part of these pages
    }
};

// One plane of w x h dots as the printer reads it: 1 bit per dot, MSB first.
struct Plane {
    LONG w, h;
    std::string bytes;
    Plane(LONG w_, LONG h_) : w(w_), h(h_), bytes(static_cast<std::size_t>((w_ + 7) / 8 * h_), '\0') {}
    void Set(LONG x, LONG y) { bytes[static_cast<std::size_t>(y * ((w + 7) / 8) + x / 8)] |= char(0x80 >> (x % 8)); }
    std::string Lines(LONG first, LONG count) const
    {
        const std::size_t cb = static_cast<std::size_t>((w + 7) / 8);
        return bytes.substr(static_cast<std::size_t>(first) * cb, static_cast<std::size_t>(count) * cb);
    }
};

std::string Repeat(const std::string& s, int n)
{
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

TEST_F(Banding, UncompressedMonochromeInThreeBands)
{
    for (INT iHalftone : {0, 1, 2}) {
        DeviceOptions o;
        o.cyBand = 16;
        TestDevice d(o);
        d.extra().iHalftone = iHalftone;
        d.StartDoc();
        // Solid black and white print exactly with every halftoning method.
        ASSERT_TRUE(d.PrintPage([](LONG x, LONG y) { return y == 20 || (x == 3 && y == 47) ? kBlack : kWhite; }));
        EXPECT_EQ(d.bandsDone, 3);
        d.EndDoc();
        Plane p(64, 48);
        for (LONG x = 0; x < 64; ++x) p.Set(x, 20);
        p.Set(3, 47);
        EXPECT_EQ(d.Sent(), kSetupModel1 + "\x1bSG;0000,0000,0064,0048," + "1," + p.bytes + kLfNul + kIssueModel1)
            << "iHalftone " << iHalftone;
        EXPECT_EQ(d.pdev()->cPages, 1u);
        EXPECT_FALSE(d.pdev()->flPdev & PDEVF_PAGESTARTED);
    }
}

TEST_F(Banding, UnknownHalftoningSendsBlankPlanes)
{
    TestDevice d;
    d.extra().iHalftone = 7;
    d.StartDoc();
    ASSERT_TRUE(d.PrintPage([](LONG, LONG) { return kBlack; }));
    d.EndDoc();
    EXPECT_EQ(d.Sent(), kSetupModel1 + "\x1bSG;0000,0000,0064,0048," + "1," + Plane(64, 48).bytes + kLfNul +
                            kIssueModel1);
}

std::string Model0ColourSetup(ULONG first)
{
    std::string s = Cmd("D0800,1000,0750") + Cmd("AX;+000,+000,+00,+0000");
    for (ULONG p = first; p < 4; ++p) s += Cmd("AY;+00,0," + std::to_string(p));
    for (ULONG p = first; p < 4; ++p) s += Cmd("AZ;" + std::to_string(p) + ",+000,+000");
    return s + Cmd("RN;00") + Cmd("RM;1") + Cmd("C");
}

std::string Model0Block(const std::string& data) { return "9," + BigEndian32(DWORD(data.size())) + "," + data + kLfNul; }

// Left 504 of 1000 dots black, the rest white: 63 bytes FF and 62 bytes 00 per line.
DWORD LeftBlack(LONG x, LONG) { return x < 504 ? kBlack : kWhite; }

TEST_F(Banding, Model0FourColourPageInOneBand)
{
    DeviceOptions o;
    o.dwModel = 0;
    o.bColor = true;
    o.cxPixels = 1000;
    o.cyPixels = 1200;
    TestDevice d(o);
    d.extra().bFourColor = 1;
    d.extra().bBackFeed = 0;
    d.extra().iHalftone = 0;
    d.StartDoc();
    ASSERT_TRUE(d.PrintPage(LeftBlack));
    EXPECT_EQ(d.bandsDone, 1);
    d.EndDoc();
    // Black generation moves the shared dots into plane 0 and empties the others.
    const std::string black = Model0Block(Repeat("\xC2\xFF\xC3\x00"s, 1200));
    const std::string empty = Model0Block(Repeat("\x84\x00"s, 1200));
    std::string expected = Model0ColourSetup(0);
    expected += "\x1bSG0;0000,0000,1000,1200," + black;
    for (int p = 1; p < 4; ++p) expected += "\x1bSG" + std::to_string(p) + ";0000,0000,1000,1200," + empty;
    expected += Cmd("XS;I,0001,0001E6300");
    EXPECT_EQ(d.Sent(), expected);
}

TEST_F(Banding, Model0ThreeColourPageSkipsTheBlackPlane)
{
    DeviceOptions o;
    o.dwModel = 0;
    o.bColor = true;
    o.cxPixels = 1000;
    o.cyPixels = 1200;
    TestDevice d(o);
    d.extra().bFourColor = 0;
    d.extra().bBackFeed = 1;
    d.extra().iHalftone = 1;
    d.StartDoc();
    ASSERT_TRUE(d.PrintPage(LeftBlack));
    d.EndDoc();
    const std::string half = Model0Block(Repeat("\xC2\xFF\xC3\x00"s, 1200));
    std::string expected = Model0ColourSetup(1);
    for (int p = 1; p < 4; ++p) expected += "\x1bSG" + std::to_string(p) + ";0000,0000,1000,1200," + half;
    expected += Cmd("XS;I,0001,0001C6300");
    EXPECT_EQ(d.Sent(), expected);
}

TEST_F(Banding, CompressedLandscapePageInThreeBands)
{
    // Device page 48 x 64 dots turned from a 64 x 48 label; bands of 16 columns.
    DeviceOptions o;
    o.dwModel = 2;
    o.bColor = true;
    o.bLandscape = true;
    o.cxPixels = 48;
    o.cyPixels = 64;
    o.cxPaper = 750;
    o.cyPaper = 1000;
    o.cxBand = 16;
    TestDevice d(o);
    d.extra().bCompression = 1;
    d.extra().bFourColor = 0;
    d.extra().iHalftone = 2;
    d.label().iIssueSpeed = 1;
    d.StartDoc();
    // Columns 0-15 cyan, 16-31 magenta, 32-47 white.
    ASSERT_TRUE(d.PrintPage([](LONG x, LONG) { return x < 16 ? kCyan : x < 32 ? kMagenta : kWhite; }));
    EXPECT_EQ(d.bandsDone, 3);
    d.EndDoc();
    // Each band is 16 raster lines of 64 dots: one line, then "15 more times".
    auto block = [](char b) {
        const std::string data = std::string{'\xF9', b} + "\x7F\x0F";
        return "A," + BigEndian32(4) + "," + data + kLfNul;
    };
    const std::string full = block('\xFF'), none = block('\x00');
    std::string expected = kSetupModel1;
    expected += "\x1bSG1;0000,0000,0064,0048," + none + "\x1bSG2;0000,0000,0064,0048," + full +
                "\x1bSG3;0000,0000,0064,0048," + none;  // band 0: cyan
    expected += full + none + none;                      // band 1: magenta
    expected += none + none + none;                      // band 2: white
    expected += Cmd("XS;I,0001,0001C3100");
    EXPECT_EQ(d.Sent(), expected);
}

TEST_F(Banding, UncompressedLandscapeRasterLinesAreColumnsReadUpwards)
{
    DeviceOptions o;
    o.bLandscape = true;
    o.cxPixels = 128;
    o.cyPixels = 1200;
    o.cxPaper = 750;
    o.cyPaper = 1000;
    o.cxBand = 64;
    TestDevice d(o);
    d.extra().iHalftone = 0;
    d.StartDoc();
    ASSERT_TRUE(d.PrintPage([](LONG x, LONG y) {
        return (x == 0 && y == 1199) || (x == 65 && y == 0) || (x == 127 && y == 600) ? kBlack : kWhite;
    }));
    EXPECT_EQ(d.bandsDone, 2);
    d.EndDoc();
    // Raster line k is page column k, dot i of it is page row 1199 - i.
    Plane p(1200, 128);
    p.Set(0, 0);
    p.Set(1199, 65);
    p.Set(599, 127);
    EXPECT_EQ(d.Sent(), kSetupModel1 + "\x1bSG;0000,0000,1200,0128," + "1," + p.bytes + kLfNul + kIssueModel1);
}

TEST_F(Banding, UncompressedColourPlanesOverTwoBands)
{
    DeviceOptions o;
    o.bColor = true;
    o.cxPixels = 16;
    o.cyPixels = 8;
    o.cyBand = 4;
    TestDevice d(o);
    d.extra().bFourColor = 1;
    d.extra().iHalftone = 0;
    d.StartDoc();
    ASSERT_TRUE(d.PrintPage([](LONG, LONG y) { return y == 1 ? kCyan : y == 6 ? kMagenta : y == 7 ? kBlack : kWhite; }));
    d.EndDoc();
    Plane k(16, 8), m(16, 8), c(16, 8), yel(16, 8);
    for (LONG x = 0; x < 16; ++x) {
        c.Set(x, 1);
        m.Set(x, 6);
        k.Set(x, 7);
    }
    const Plane* planes[4] = {&k, &m, &c, &yel};
    std::string expected = kSetupModel1;
    for (const Plane* p : planes) expected += "\x1bSG;0000,0000,0016,0008,1," + p->Lines(0, 4);
    for (const Plane* p : planes) expected += p->Lines(4, 4) + kLfNul;
    expected += kIssueModel1;
    EXPECT_EQ(d.Sent(), expected);
}

TEST_F(Banding, PlaneThatCompressionDoesNotShrinkGoesRaw)
{
    DeviceOptions o;
    o.dwModel = 0;
    o.cxPixels = 16;
    o.cyPixels = 1;
    TestDevice d(o);
    d.extra().iHalftone = 0;
    d.extra().bBackFeed = 0;
    d.StartDoc();
    // The line 01 02 encodes as 00 01 00 02: not smaller.
    ASSERT_TRUE(d.PrintPage([](LONG x, LONG) { return x == 7 || x == 14 ? kBlack : kWhite; }));
    d.EndDoc();
    const std::string setup = Cmd("D0800,1000,0750") + Cmd("AX;+000,+000,+00,+0000") + Cmd("AY;+00,0,0") +
                              Cmd("AZ;0,+000,+000") + Cmd("RN;00") + Cmd("RM;1") + Cmd("C");
    EXPECT_EQ(d.Sent(), setup + "\x1bSG0;0000,0000,0016,0001," + "1,\x01\x02" + kLfNul + Cmd("XS;I,0001,0001E6300"));

    // FF FF encodes as FF FF: the same size, also sent raw.
    TestDevice e(o);
    e.extra().iHalftone = 0;
    e.extra().bBackFeed = 0;
    e.StartDoc();
    ASSERT_TRUE(e.PrintPage([](LONG, LONG) { return kBlack; }));
    e.EndDoc();
    EXPECT_EQ(e.Sent(), setup + "\x1bSG0;0000,0000,0016,0001," + "1,\xFF\xFF" + kLfNul + Cmd("XS;I,0001,0001E6300"));
}

TEST_F(Banding, Model9PageUsesWideFieldsAndLineRepeats)
{
    DeviceOptions o;
    o.dwModel = 9;
    o.cxPixels = 64;
    o.cyPixels = 4;
    TestDevice d(o);
    d.extra().bCompression = 0;  // model 9 compresses regardless
    d.extra().iHalftone = 0;
    d.StartDoc();
    ASSERT_TRUE(d.PrintPage([](LONG, LONG) { return kWhite; }));
    d.EndDoc();
    const std::string setup = Cmd("D00800,1000,00750") + Cmd("AX;+000,+000,+00") + Cmd("AY;+00,0") +
                              Cmd("RM;-00-00") + Cmd("RN;00") + Cmd("C");
    EXPECT_EQ(d.Sent(), setup + "\x1bSG0;0000,00000,0064,00004," + "A," + BigEndian32(4) + ",\xF9\x00\x7F\x03"s +
                            kLfNul + kIssueModel1);
}

TEST_F(Banding, PagesCountAndEachOpensWithItsSetup)
{
    TestDevice d;
    d.label().iCutInterval = 2;
    d.StartDoc();
    ASSERT_TRUE(d.PrintPage([](LONG, LONG) { return kWhite; }));
    ASSERT_TRUE(d.PrintPage([](LONG, LONG) { return kWhite; }));
    d.EndDoc();
    const std::string page = kSetupModel1 + "\x1bSG;0000,0000,0064,0048,1," + Plane(64, 48).bytes + kLfNul;
    EXPECT_EQ(d.Sent(), page + Cmd("XS;I,0001,0001C8100") + page + Cmd("XS;I,0001,0011C8100"));
    EXPECT_EQ(d.pdev()->cPages, 2u);
}

TEST_F(Banding, PassThroughEndsEachPageAtOnce)
{
    TestDevice d;
    d.prop().bPassThrough = 1;
    d.pdev()->flPdev |= PDEVF_DOCSTARTED;
    POINTL pt{5, 5};
    EXPECT_TRUE(DrvStartBanding(d.surface(), &pt));
    EXPECT_TRUE(DrvNextBand(d.surface(), &pt));
    EXPECT_EQ(pt.x, -1);
    EXPECT_EQ(pt.y, -1);
    FlushChannel(d.pdev());
    EXPECT_EQ(d.Sent(), "");
    EXPECT_EQ(d.pdev()->cPages, 0u);
    EXPECT_FALSE(d.pdev()->flPdev & PDEVF_PAGESTARTED);
}

TEST_F(Banding, InvalidRecordOrSurfaceIsRefused)
{
    TestDevice d;
    d.pdev()->flPdev |= PDEVF_DOCSTARTED;
    POINTL pt{};
    d.pdev()->dwSignature2 = 0;
    EngSetLastError(0);
    EXPECT_FALSE(DrvStartBanding(d.surface(), &pt));
    EXPECT_EQ(EngGetLastError(), ERROR_INVALID_PARAMETER);
    EngSetLastError(0);
    EXPECT_FALSE(DrvNextBand(d.surface(), &pt));
    EXPECT_EQ(EngGetLastError(), ERROR_INVALID_PARAMETER);
    d.pdev()->dwSignature2 = DRVEXTRA_SIGNATURE;

    d.surface()->iBitmapFormat = BMF_8BPP;
    EXPECT_FALSE(DrvStartBanding(d.surface(), &pt));
    d.surface()->iBitmapFormat = BMF_24BPP;
    d.surface()->lDelta = 3 * d.surface()->sizlBitmap.cx - 1;
    EXPECT_FALSE(DrvStartBanding(d.surface(), &pt));
    FlushChannel(d.pdev());
    EXPECT_EQ(d.Sent(), "");
}

// A page large enough to fill the send buffer several times.
DeviceOptions BigPage()
{
    DeviceOptions o;
    o.cxPixels = 512;
    o.cyPixels = 480;
    o.cyBand = 48;
    return o;
}

DWORD Speckle(LONG x, LONG y) { return (x * 7 + y * 3) % 5 == 0 ? kBlack : kWhite; }

TEST_F(Banding, SpoolerFailureMidPageAbortsTheDevice)
{
    std::string good;
    {
        TestDevice d(BigPage());
        d.StartDoc();
        ASSERT_TRUE(d.PrintPage(Speckle));
        d.EndDoc();
        good = d.Sent();
        ASSERT_GT(good.size(), 30000u);
    }
    for (Mode mode : {Mode::FailAfter, Mode::TakeNothing}) {
        DeviceOptions o = BigPage();
        o.sinkMode = mode;
        o.cbSinkLimit = 10000;
        TestDevice d(o);
        d.StartDoc();
        EXPECT_FALSE(d.PrintPage(Speckle));
        EXPECT_TRUE(d.pdev()->flPdev & PDEVF_ABORT);
        EXPECT_LT(d.bandsDone, 10);
        const std::size_t cWrites = d.sink().Writes().size();
        // The failed state: band calls fail, output is refused, nothing more is sent.
        POINTL pt{};
        EXPECT_FALSE(DrvStartBanding(d.surface(), &pt));
        EXPECT_FALSE(DrvNextBand(d.surface(), &pt));
        EXPECT_FALSE(WriteChannel(d.pdev(), "x", 1));
        d.EndDoc();
        EXPECT_EQ(d.sink().Writes().size(), cWrites);
        EXPECT_TRUE(d.pdev()->flPdev & PDEVF_ABORT);
        if (mode == Mode::FailAfter) {
            EXPECT_EQ(d.Sent(), good.substr(0, 10000));
        } else {
            EXPECT_EQ(d.Sent(), "");
            EXPECT_EQ(cWrites, 1u);
        }
    }
}

// A band that cannot be halftoned goes out blank, so that the page keeps the
// size its graphic header announces and the issue command stays a command.
TEST_F(Banding, BandWithoutMemoryIsSentBlank)
{
    const std::string inked(8 * 16, '\xFF'), blank(8 * 16, '\0');
    struct Case {
        int failedBand;
        long nthAllocation;  // 1: the plane buffer, 2: the halftoner's line buffer
    } cases[] = {{1, 1}, {0, 1}, {2, 2}};
    for (const Case& c : cases) {
        DeviceOptions o;
        o.cyBand = 16;
        TestDevice d(o);
        d.extra().iHalftone = 0;
        d.StartDoc();
        POINTL pt{};
        ASSERT_TRUE(DrvStartBanding(d.surface(), &pt));
        std::string bands;
        for (int band = 0; band < 3; ++band) {
            // Paint the band black, as the engine would.
            for (LONG y = 0; y < 16; ++y) {
                BYTE* line = static_cast<BYTE*>(d.surface()->pvScan0) + y * d.surface()->lDelta;
                std::fill(line, line + 3 * 64, BYTE(0));
            }
            const long before = platform::LivePoolBlocks();
            if (band == c.failedBand) platform::FailNthAllocation(c.nthAllocation);
            ASSERT_TRUE(DrvNextBand(d.surface(), &pt));
            platform::FailNthAllocation(0);
            EXPECT_EQ(platform::LivePoolBlocks(), before);
            bands += band == c.failedBand ? blank : inked;
        }
        EXPECT_EQ(pt.x, -1);
        d.EndDoc();
        EXPECT_EQ(d.Sent(), kSetupModel1 + "\x1bSG;0000,0000,0064,0048,1," + bands + kLfNul + kIssueModel1)
            << "band " << c.failedBand << " allocation " << c.nthAllocation;
    }
}

TEST_F(Banding, BandBudget)
{
    DeviceOptions o;
    o.cxPixels = 1000;
    o.cyPixels = 4000;
    TestDevice d(o);
    EXPECT_EQ(ddfn_CalcBandSize(d.pdev(), FALSE, 3000), BAND_BUDGET_LIMIT);
    EXPECT_EQ(ddfn_CalcBandSize(d.pdev(), TRUE, 3 * 4000), BAND_BUDGET_LIMIT);
    EXPECT_EQ(ddfn_CalcBandSize(d.pdev(), TRUE, 300), 300u * 1000);
    d.pdev()->cyPixels = 100;
    EXPECT_EQ(ddfn_CalcBandSize(d.pdev(), FALSE, 3000), 300000u);
    d.pdev()->cyPixels = 4000;
    d.extra().bCompression = 1;
    EXPECT_EQ(ddfn_CalcBandSize(d.pdev(), FALSE, 3000), 12000000u);
    for (DWORD model : {0u, 9u, 10u}) {
        d.extra().bCompression = 0;
        d.extra().dwModel = model;
        EXPECT_EQ(ddfn_CalcBandSize(d.pdev(), FALSE, 3000), 12000000u) << model;
    }
}

}  // namespace
