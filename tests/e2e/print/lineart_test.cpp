// Line art through lblctl print: bars drawn at whole and odd module widths land in
// the ink plane exactly as wide as drawn (one to one), as drawn times the factor
// (whole-factor scaling) or at their width in dots (PDF pages), at 203 and 300 dpi;
// --dry-run says what is done to each page.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/print/print_env.h"

namespace print_test {
namespace {

using ::testing::HasSubstr;

// Module widths in pixels, bar and space alternately, starting and ending with a bar.
const std::vector<int> kModules = {1, 1, 2, 1, 3, 2, 5, 3, 1, 4, 2, 2, 7, 1, 3};

int Total(const std::vector<int>& modules, int factor = 1)
{
    int n = 0;
    for (int m : modules) n += m * factor;
    return n;
}

// A white picture with the bars, starting at column x0, over its full height.
Picture Bars(int width, int height, int x0, const std::vector<int>& modules)
{
    std::vector<bool> black(width, false);
    int x = x0;
    for (std::size_t i = 0; i < modules.size(); ++i)
        for (int k = 0; k < modules[i]; ++k, ++x)
            if (x < width) black[x] = i % 2 == 0;
    return RgbPicture(width, height, [&](int px, int) { return black[px] ? 0x000000u : 0xFFFFFFu; });
}

bool Dot(const lblinspect::Plane& plane, std::uint32_t x, std::uint32_t y)
{
    return (plane.bits[y * plane.RowBytes() + x / 8] >> (7 - x % 8)) & 1;
}

// The runs of one plane row from its first black dot: bar, space, bar, ...
std::vector<int> Runs(const lblinspect::Plane& plane, std::uint32_t y, std::size_t count)
{
    std::vector<int> runs;
    std::uint32_t x = 0;
    while (x < plane.width && !Dot(plane, x, y)) ++x;
    while (x < plane.width && runs.size() < count) {
        const bool v = Dot(plane, x, y);
        int n = 0;
        for (; x < plane.width && Dot(plane, x, y) == v; ++x) ++n;
        runs.push_back(n);
    }
    return runs;
}

std::vector<int> Scaled(const std::vector<int>& modules, int factor)
{
    std::vector<int> out;
    for (int m : modules) out.push_back(m * factor);
    return out;
}

struct Dpi {
    const char* name;
    const char* printer;
    int model, cx, cy, dpi;
};
const Dpi kDpis[] = {{"203", kMono, 1, kMonoCx, kMonoCy, 203}, {"300", kColour, 0, kColourCx, kColourCy, 300}};

class LineArt : public ::testing::TestWithParam<Dpi> {
protected:
    void SetUp() override { EnsurePrinter(GetParam().printer, GetParam().model); }

    // Prints the file in monochrome and gives its one plane.
    lblinspect::Plane PrintPlane(const std::string& file, const std::string& halftone = "dither1")
    {
        const std::string out = file + "-" + halftone + ".prn";
        e2e::RunResult r = e2e::Lblctl(
            {"print", GetParam().printer, file, "--output", out, "--color", "mono", "--halftone", halftone});
        EXPECT_EQ(r.status, 0) << r.err;
        const lblinspect::Result decoded = DecodeFile(out);
        if (decoded.pages.size() != 1 || decoded.pages[0].planes.size() != 1) {
            ADD_FAILURE() << "expected one page with one plane";
            return {};
        }
        return decoded.pages[0].planes[0];
    }

    std::string DryRun(const std::string& file)
    {
        e2e::RunResult r = e2e::Lblctl({"print", GetParam().printer, file, "--dry-run"});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }
};

TEST_P(LineArt, BarsKeepTheirWidthsOneToOneUnderEveryHalftone)
{
    const Dpi& d = GetParam();
    const std::string png = TestPath(std::string("bars-") + d.name + ".png");
    WritePng(png, Bars(d.cx, d.cy, 10, kModules));
    for (const char* halftone : {"dither1", "dither2", "diffusion"}) {
        const lblinspect::Plane plane = PrintPlane(png, halftone);
        ASSERT_EQ(plane.width, static_cast<std::uint32_t>(d.cx));
        for (std::uint32_t y : {0u, plane.height / 2, plane.height - 1})
            EXPECT_EQ(Runs(plane, y, kModules.size()), kModules) << halftone << " row " << y;
        EXPECT_TRUE(Dot(plane, 10, 0));
        EXPECT_FALSE(Dot(plane, 9, 0));
    }
}

TEST_P(LineArt, PictureADotOffTheLabelIsPlacedOneToOne)
{
    const Dpi& d = GetParam();
    // One pixel wider and one narrower than the label (an 800-pixel picture for a
    // 799-dot label): neither is resampled; the bars stay where they were drawn.
    for (int delta : {1, -1}) {
        const std::string png = TestPath(std::string("near-") + d.name + std::to_string(delta) + ".png");
        WritePng(png, Bars(d.cx + delta, d.cy, 20, kModules));
        EXPECT_THAT(DryRun(png), HasSubstr("one to one")) << delta;
        const lblinspect::Plane plane = PrintPlane(png);
        for (std::uint32_t y : {0u, plane.height - 1}) EXPECT_EQ(Runs(plane, y, kModules.size()), kModules) << delta;
        EXPECT_TRUE(Dot(plane, 20, plane.height / 2)) << delta;
        EXPECT_FALSE(Dot(plane, 19, plane.height / 2)) << delta;
    }
}

TEST_P(LineArt, WholeFactorReplicatesModules)
{
    const Dpi& d = GetParam();
    for (int factor : {2, 3}) {
        const int w = d.cx / factor, h = d.cy / factor;
        ASSERT_GT(w, Total(kModules) + 4);
        const std::string png = TestPath(std::string("small-") + d.name + "x" + std::to_string(factor) + ".png");
        WritePng(png, Bars(w, h, 2, kModules));
        EXPECT_THAT(DryRun(png), HasSubstr("scaled by " + std::to_string(factor) + " with pixel replication"));
        const lblinspect::Plane plane = PrintPlane(png);
        const std::uint32_t y = plane.height / 2;
        EXPECT_EQ(Runs(plane, y, kModules.size()), Scaled(kModules, factor)) << factor;
    }
}

TEST_P(LineArt, PdfBarsAreRenderedAtTheirWidthInDots)
{
    const Dpi& d = GetParam();
    // A page of the label's size with bars at whole dot positions, widths in dots.
    const double pt = 72.0 / d.dpi;
    std::vector<PdfRect> rects;
    int x = 30;
    for (std::size_t i = 0; i < kModules.size(); ++i) {
        if (i % 2 == 0) rects.push_back({x * pt, 0, kModules[i] * pt, d.cy * pt});
        x += kModules[i];
    }
    const std::string pdf = TestPath(std::string("bars-") + d.name + ".pdf");
    WritePdfPages(pdf, d.cx * pt, d.cy * pt, {rects});
    const lblinspect::Plane plane = PrintPlane(pdf);
    ASSERT_EQ(plane.width, static_cast<std::uint32_t>(d.cx));
    EXPECT_EQ(Runs(plane, plane.height / 2, kModules.size()), kModules);
    EXPECT_TRUE(Dot(plane, 30, plane.height / 2));
    EXPECT_FALSE(Dot(plane, 29, plane.height / 2));
}

INSTANTIATE_TEST_SUITE_P(Resolutions, LineArt, ::testing::ValuesIn(kDpis),
                         [](const auto& info) { return std::string("dpi") + info.param.name; });

TEST(DryRun, SaysPerPageWhatIsDoneAndPrintsNothing)
{
    EnsurePrinter(kMono, 1);
    const std::string grey = TestPath("dry-grey.png");
    WritePng(grey, RgbPicture(100, 50, [](int x, int) { return x < 50 ? 0x808080u : 0xFFFFFFu; }));
    const std::string exact = TestPath("dry-exact.png");
    WritePng(exact, Bars(kMonoCx, kMonoCy, 0, {1, 1}));
    const std::string out = TestPath("dry.prn");
    e2e::RunResult r = e2e::Lblctl({"print", kMono, exact, grey, "--dry-run", "--output", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "page 1: label 639 x 593 dots, picture 639 x 593: one to one\n"
                     "page 2: label 639 x 593 dots, picture 100 x 50: scaled by 6.39 with area averaging to 639 x 320, "
                     "padded by 273 dots down\n");
    EXPECT_FALSE(std::filesystem::exists(out));
    r = e2e::Lblctl({"print", kMono, grey, "--dry-run", "--scale", "sharp"});
    EXPECT_THAT(r.out, HasSubstr("scaled by 6.39 with nearest neighbour to 639 x 320"));
}

}  // namespace
}  // namespace print_test
