// Both sets of row kernels (baseline and AVX2), forced in turn, against the
// plain versions: odd widths around the kernels' block sizes, every halftone
// method and matrix, monochrome and colour, spot colours, both orientations.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "halftone.h"
#include "kernels.h"
#include "render/planes/planes_fixture.h"
#include "render/planes/planes_reference.h"

namespace planes_test {
namespace {

using planes::KernelPath;

// Selects a kernel set for one test and restores the previous one.
class KernelPathScope {
public:
    explicit KernelPathScope(KernelPath path) : previous_(planes::ActiveKernelPath()), ok_(planes::SelectKernelPath(path)) {}
    ~KernelPathScope() { planes::SelectKernelPath(previous_); }
    KernelPathScope(const KernelPathScope&) = delete;
    KernelPathScope& operator=(const KernelPathScope&) = delete;
    bool ok() const { return ok_; }

private:
    KernelPath previous_;
    bool ok_;
};

class RowKernels : public testing::TestWithParam<KernelPath> {
protected:
    void SetUp() override
    {
        scope_ = std::make_unique<KernelPathScope>(GetParam());
        if (!scope_->ok()) GTEST_SKIP() << "the processor lacks these kernels";
        ASSERT_EQ(planes::ActiveKernelPath(), GetParam());
    }
    std::unique_ptr<KernelPathScope> scope_;
};

struct Colours {
    ULONG cPlanes;
    DWORD bFourColor;
    bool bBlackSpot, bMagentaSpot, bCyanSpot;
};

constexpr Colours kColours[] = {
    {1, 1, false, false, false},  // monochrome
    {4, 1, false, false, false},  // four colours, black generation
    {4, 0, false, false, false},  // three colours
    {4, 1, true, false, false},   // black spot colour
    {4, 0, true, false, false},   // black entry set but inactive: plane 0 halftoned without ink
    {4, 1, false, true, false},   // magenta spot colour
    {4, 1, true, false, true},    // black and cyan spot colours
};

struct Method {
    DWORD dwModel;
    INT iHalftone;
};

// Both matrices, model 10's double-size one, and error diffusion.
constexpr Method kMethods[] = {{1, 0}, {1, 1}, {10, 0}, {10, 1}, {1, 2}};

// Random pixels; a third of them from a palette of the spot colours, and a
// third near the print decision (127/128) or at the extremes, which drive the
// diffusion error to its largest sizes.
Band StressBand(std::mt19937& rng, LONG cx, LONG cy)
{
    Band band = RandomBand(rng, cx, cy, true);
    static const BYTE kEdges[] = {0, 127, 128, 255};
    for (LONG y = 0; y < cy; ++y)
        for (LONG x = 0; x < cx; ++x)
            if (rng() % 3 == 0) {
                const BYTE v = kEdges[rng() % 4];
                band.Set(x, y, v, v, v);
            }
    return band;
}

void Compare(TestDevice& dev, Band& band, bool bLandscape, const Method& m)
{
    const LONG w = bLandscape ? band.cy : band.cx, h = bLandscape ? band.cx : band.cy;
    dev.ResetPlanes(w, h);
    const bool bDiffusion = m.iHalftone == 2;
    ASSERT_TRUE((bDiffusion ? FloydSteinberg : Dither)(dev.get(), band.bits.data(), band.cx, band.cy, band.lDelta, bLandscape));
    const size_t cb = size_t((w + 7) >> 3) * h;
    for (int p = 0; p < 4; ++p) {
        ASSERT_EQ(dev.aPlane[p][cb], 0xA5) << "plane " << p << " overrun";
        dev.aPlane[p].pop_back();
        // Cursors move over the halftoned planes only: monochrome plane 0;
        // colour planes 1-3, and plane 0 when its spot entry is set.
        const bool bHalftoned = dev->cPlanes == 1 ? p == 0 : (p != 0 || dev.aSpot[0].bSpotColor);
        EXPECT_EQ(dev->apPlaneCursor[p] - dev->apPlane[p], bHalftoned ? ptrdiff_t(cb) : 0) << "plane " << p;
    }
    const Planes want = bDiffusion ? RefFloydSteinberg(dev.get(), band, bLandscape) : RefDither(dev.get(), band, bLandscape);
    EXPECT_EQ(Planes(dev.aPlane, dev.aPlane + 4), want);
}

TEST_P(RowKernels, OddWidthsMatchPlainVersions)
{
    std::mt19937 rng(1201);
    for (LONG w : {1, 7, 15, 16, 17, 33, 1201}) {
        const LONG h = w > 100 ? 3 : 10;  // 10 rows: both directions, the matrix phase and its restart
        for (const Colours& c : kColours) {
            for (const Method& m : kMethods) {
                for (bool bLandscape : {false, true}) {
                    TestDevice dev(c.cPlanes, c.bFourColor, m.dwModel, m.iHalftone);
                    if (c.bBlackSpot) dev.aSpot[0] = {1, 0x0000FF};
                    if (c.bMagentaSpot) dev.aSpot[1] = {1, 0x00FF00};
                    if (c.bCyanSpot) dev.aSpot[2] = {1, 0xFF0000};
                    Band band = bLandscape ? StressBand(rng, h, w) : StressBand(rng, w, h);
                    SCOPED_TRACE(testing::Message() << "width " << w << " planes " << c.cPlanes << " fourColour " << c.bFourColor
                                                    << " spots " << c.bBlackSpot << c.bMagentaSpot << c.bCyanSpot << " model "
                                                    << m.dwModel << " halftone " << m.iHalftone << " landscape " << bLandscape);
                    Compare(dev, band, bLandscape, m);
                }
            }
        }
    }
}

TEST_P(RowKernels, PlanesAreOredInto)
{
    // The halftoners only set bits: marked bytes keep their bits. Monochrome
    // and three colours, where no black generation rewrites the planes.
    std::mt19937 rng(7);
    for (const Method& m : kMethods) {
        for (ULONG cPlanes : {1u, 4u}) {
            TestDevice dev(cPlanes, 0, m.dwModel, m.iHalftone);
            Band band = StressBand(rng, 45, 6);
            dev.ResetPlanes(45, 6);
            for (int p = 0; p < 4; ++p) dev.aPlane[p][3] = dev.aPlane[p][30] = 0x5A;
            const bool bDiffusion = m.iHalftone == 2;
            ASSERT_TRUE((bDiffusion ? FloydSteinberg : Dither)(dev.get(), band.bits.data(), band.cx, band.cy, band.lDelta, FALSE));
            Planes want = bDiffusion ? RefFloydSteinberg(dev.get(), band, false) : RefDither(dev.get(), band, false);
            for (int p = 0; p < 4; ++p) {
                dev.aPlane[p].pop_back();
                want[p][3] |= 0x5A;
                want[p][30] |= 0x5A;
            }
            EXPECT_EQ(Planes(dev.aPlane, dev.aPlane + 4), want) << "model " << m.dwModel << " halftone " << m.iHalftone;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, RowKernels, testing::Values(KernelPath::Baseline, KernelPath::Avx2),
                         [](const testing::TestParamInfo<KernelPath>& info) { return info.param == KernelPath::Avx2 ? "Avx2" : "Baseline"; });

TEST(KernelPaths, BaselineAlwaysRuns)
{
    EXPECT_TRUE(planes::KernelPathSupported(KernelPath::Baseline));
    KernelPathScope scope(KernelPath::Baseline);
    EXPECT_TRUE(scope.ok());
    EXPECT_EQ(&planes::Kernels(), &planes::kBaselineKernels);
}

}  // namespace
}  // namespace planes_test
