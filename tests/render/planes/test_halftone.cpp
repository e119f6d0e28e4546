// Halftoners and colour planes: pixel values, the edge cases of whole bands,
// spot colours, rotation, and random bands against the plain versions.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/memory.h"
#include "common/drvmem.h"
#include "halftone.h"
#include "render/planes/planes_fixture.h"
#include "render/planes/planes_reference.h"

namespace planes_test {
namespace {

using HalftoneFn = BOOL (*)(PDEV*, const BYTE*, LONG, LONG, LONG, BOOL);
constexpr HalftoneFn kMethods[] = {Dither, FloydSteinberg};

// Halftones the band into fresh planes; checks that each cursor ends exactly
// at the end of its plane and that nothing was written past it.
void Halftone(HalftoneFn fn, TestDevice& dev, Band& band, bool bLandscape)
{
    const LONG w = bLandscape ? band.cy : band.cx, h = bLandscape ? band.cx : band.cy;
    dev.ResetPlanes(w, h);
    ASSERT_TRUE(fn(dev.get(), band.bits.data(), band.cx, band.cy, band.lDelta, bLandscape));
    const size_t cb = size_t((w + 7) >> 3) * h;
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(dev.aPlane[p][cb], 0xA5) << "plane " << p << " overrun";
        dev.aPlane[p].pop_back();
    }
}

bool AllBytes(const std::vector<BYTE>& v, BYTE b)
{
    return std::all_of(v.begin(), v.end(), [b](BYTE x) { return x == b; });
}

TEST(Halftone, PixelReadersScaleAndOrder)
{
    TestDevice mono;
    LONG line[4][3] = {};
    LONG* const ap[4] = {line[0], line[1], line[2], line[3]};
    // White, black, pure green (B, G, R order in memory).
    const BYTE px[] = {255, 255, 255, 0, 0, 0, 0, 255, 0};
    Get1LineP(mono.get(), px, ap, 3, GETLINE_DIFFUSION);
    EXPECT_EQ(line[0][0], 0);
    EXPECT_EQ(line[0][1], 255);
    EXPECT_EQ(line[0][2], 112);
    Get1LineP(mono.get(), px, ap, 3, GETLINE_DITHER);
    EXPECT_EQ(line[0][1], 64);
    EXPECT_EQ(line[0][2], 28);
    // Landscape reader walks with the given step and stores back to front.
    Get1LineL(mono.get(), px, ap, 3, 3, GETLINE_DIFFUSION);
    EXPECT_EQ(line[0][2], 0);
    EXPECT_EQ(line[0][1], 255);
    EXPECT_EQ(line[0][0], 112);

    // Colour: cyan from red, magenta from green, yellow from blue.
    TestDevice colour(4);
    const BYTE red[] = {0, 0, 255};
    Get1LineP(colour.get(), red, ap, 1, GETLINE_DIFFUSION);
    EXPECT_EQ(line[2][0], 0);
    EXPECT_EQ(line[1][0], 255);
    EXPECT_EQ(line[3][0], 255);
}

TEST(Halftone, SpotColourRules)
{
    TestDevice dev(4, 1);
    LONG k = -1;
    // No entries: the colour comes back unchanged and black is not written.
    EXPECT_EQ(SpotColor(dev.get(), 1, 2, 3, &k), 0x030201u);
    EXPECT_EQ(k, -1);
    dev.aSpot[0] = {1, 0x0000FF};  // black entry = red
    EXPECT_EQ(SpotColor(dev.get(), 255, 0, 0, &k), 0xFFFFFFu);
    EXPECT_EQ(k, 255);
    EXPECT_EQ(SpotColor(dev.get(), 0, 255, 0, &k), 0x00FF00u);
    EXPECT_EQ(k, 0);
    // In three-colour mode the black entry does nothing.
    dev->dm.dmPrivate.bFourColor = 0;
    k = -1;
    EXPECT_EQ(SpotColor(dev.get(), 255, 0, 0, &k), 0x0000FFu);
    EXPECT_EQ(k, -1);
    // Magenta entry: other colours lose magenta, its own colour is magenta only.
    dev.aSpot[1] = {1, 0x00FF00};
    EXPECT_EQ(SpotColor(dev.get(), 10, 20, 30, &k), 0x1EFF0Au);
    EXPECT_EQ(SpotColor(dev.get(), 0, 255, 0, &k), 0xFF00FFu);
    // Later entries win; every test compares the pixel's own colour.
    dev.aSpot[3] = {1, 0x00FF00};
    EXPECT_EQ(SpotColor(dev.get(), 0, 255, 0, &k), 0x00FFFFu);
}

TEST(Halftone, WhiteAndBlackBands)
{
    for (HalftoneFn fn : kMethods) {
        for (ULONG cPlanes : {1u, 4u}) {
            TestDevice dev(cPlanes, 1);
            Band white(9, 5, 255);
            Halftone(fn, dev, white, false);
            for (int p = 0; p < 4; ++p) EXPECT_TRUE(AllBytes(dev.aPlane[p], 0));
        }
        // Black, 9 wide: every row is FF 80 in each printed plane.
        const std::vector<BYTE> full = {0xFF, 0x80, 0xFF, 0x80, 0xFF, 0x80};
        const std::vector<BYTE> none(6, 0);
        Band black(9, 3, 0);
        TestDevice mono(1);
        Halftone(fn, mono, black, false);
        EXPECT_EQ(mono.aPlane[0], full);
        TestDevice three(4, 0);
        Halftone(fn, three, black, false);
        EXPECT_EQ(three.aPlane[0], none);
        for (int p = 1; p < 4; ++p) EXPECT_EQ(three.aPlane[p], full);
        TestDevice four(4, 1);
        Halftone(fn, four, black, false);
        EXPECT_EQ(four.aPlane[0], full);
        for (int p = 1; p < 4; ++p) EXPECT_EQ(four.aPlane[p], none);
    }
}

TEST(Halftone, MidGreyPrintsHalfOfEachTile)
{
    for (INT iHalftone : {0, 1}) {
        TestDevice dev(1, 1, 1, iHalftone);
        Band grey(16, 16, 128);
        ColorTbl[127] = 0;  // every Dither call rebuilds the level table
        Halftone(Dither, dev, grey, false);
        const LONG(*M)[8] = iHalftone == 0 ? Dither1 : Dither2;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool on = dev.aPlane[0][y * 2 + x / 8] & (0x80 >> (x % 8));
                EXPECT_EQ(on, M[y % 8][x % 8] < 32) << x << "," << y;
            }
    }
    // Model 10 swaps the matrices and doubles the first.
    TestDevice m10(1, 1, 10, 0);
    Band grey(16, 16, 128);
    Halftone(Dither, m10, grey, false);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(bool(m10.aPlane[0][y * 2 + x / 8] & (0x80 >> (x % 8))), Dither2[y / 2][x / 2] < 32);
}

TEST(Halftone, LandscapeTurnsClockwise)
{
    for (HalftoneFn fn : kMethods) {
        TestDevice dev(1);
        Band band(3, 2, 255);
        band.Set(0, 1, 0, 0, 0);  // source row 1, column 0
        Halftone(fn, dev, band, true);
        // Output: 2 wide, 3 rows; row 0 pixel 0 is that pixel.
        EXPECT_EQ(dev.aPlane[0], (std::vector<BYTE>{0x80, 0, 0}));
    }
}

TEST(Halftone, SpotColoursInBands)
{
    for (HalftoneFn fn : kMethods) {
        // Black entry = red: red prints solid black only; black pixels still
        // separate into cyan, magenta and yellow (no black generation).
        TestDevice dev(4, 1);
        dev.aSpot[0] = {1, 0x0000FF};
        Band band(8, 2, 0);
        for (LONG x = 0; x < 8; ++x) band.Set(x, 0, 255, 0, 0);
        Halftone(fn, dev, band, false);
        EXPECT_EQ(dev.aPlane[0], (std::vector<BYTE>{0xFF, 0x00}));
        for (int p = 1; p < 4; ++p) EXPECT_EQ(dev.aPlane[p], (std::vector<BYTE>{0x00, 0xFF}));

        // Magenta entry: only its own colour prints magenta.
        TestDevice mag(4, 0);
        mag.aSpot[1] = {1, 0x123456};
        Band dark(8, 1, 0);
        dark.Set(3, 0, 0x56, 0x34, 0x12);
        Halftone(fn, mag, dark, false);
        EXPECT_EQ(mag.aPlane[1], std::vector<BYTE>{0x10});
        EXPECT_EQ(mag.aPlane[2], std::vector<BYTE>{0xEF});
    }
}

TEST(Halftone, DiffusionErrorOfOnePixelColumn)
{
    // Values 200 then 140: the first prints (e = -55) and only its 5/16 share,
    // -17, reaches the second row: 123 does not print.
    TestDevice dev(1);
    Band band(1, 2, 0);
    band.Set(0, 0, 55, 55, 55);
    band.Set(0, 1, 115, 115, 115);
    Halftone(FloydSteinberg, dev, band, false);
    EXPECT_EQ(dev.aPlane[0], (std::vector<BYTE>{0x80, 0x00}));
}

TEST(Halftone, AllocationFailureFreesAndFails)
{
    for (HalftoneFn fn : kMethods) {
        for (long n : {1L, 2L, 4L}) {
            TestDevice dev(4, 1);
            Band band(10, 4, 0);
            dev.ResetPlanes(10, 4);
            const long before = platform::LivePoolBlocks(DRV_POOL_TAG);
            platform::FailNthAllocation(n);
            const BOOL ok = fn(dev.get(), band.bits.data(), band.cx, band.cy, band.lDelta, FALSE);
            platform::FailNthAllocation(0);
            EXPECT_FALSE(ok);
            EXPECT_EQ(platform::LivePoolBlocks(DRV_POOL_TAG), before);
        }
    }
}

TEST(Halftone, RandomBandsMatchPlainVersions)
{
    std::mt19937 rng(99);
    struct Mode {
        ULONG cPlanes;
        DWORD bFourColor;
        bool bSpot;
    };
    const Mode modes[] = {{1, 1, false}, {4, 1, false}, {4, 0, false}, {4, 1, true}, {4, 0, true}};
    for (int iter = 0; iter < 120; ++iter) {
        const Mode& m = modes[iter % 5];
        const DWORD model = (iter / 5) % 3 == 0 ? 10 : 1;
        const INT iHalftone = (iter / 15) % 2;
        const bool bLandscape = (iter / 30) % 2;
        TestDevice dev(m.cPlanes, m.bFourColor, model, iHalftone);
        if (m.bSpot) {
            dev.aSpot[0] = {1, 0x0000FF};
            dev.aSpot[iter % 3 + 1] = {1, 0xFF0000};
        }
        Band band = RandomBand(rng, 1 + rng() % 40, 1 + rng() % 30, m.bSpot);
        SCOPED_TRACE(testing::Message() << "iter " << iter << " " << band.cx << "x" << band.cy);
        Halftone(Dither, dev, band, bLandscape);
        EXPECT_EQ(Planes(dev.aPlane, dev.aPlane + 4), RefDither(dev.get(), band, bLandscape));
        Halftone(FloydSteinberg, dev, band, bLandscape);
        EXPECT_EQ(Planes(dev.aPlane, dev.aPlane + 4), RefFloydSteinberg(dev.get(), band, bLandscape));
    }
}

}  // namespace
}  // namespace planes_test
