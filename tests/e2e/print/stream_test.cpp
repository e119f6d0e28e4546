// lblctl print checked through the stream inspector: the planes against the
// halftoners, the command order of a job, copies, landscape and PDF pages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include <nlohmann/json.hpp>

#include "e2e/print/print_env.h"
#include "halftone.h"
#include "render/planes/planes_fixture.h"

namespace print_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A page-sized picture with structure at every scale: a ramp, a bar pattern and noise.
Picture PagePicture(int cx, int cy, unsigned seed)
{
    std::mt19937 rng(seed);
    return RgbPicture(cx, cy, [&](int x, int y) -> std::uint32_t {
        if (y < cy / 3) {
            const std::uint32_t g = static_cast<std::uint32_t>(255 * x / (cx - 1));
            return g << 16 | g << 8 | g;
        }
        if (y < cy / 2) return (x / 3) % 2 ? 0xFFFFFF : 0x000000;
        return rng() & 0xFFFFFF;
    });
}

// The band the engine draws: the picture as blue, green, red bytes.
planes_test::Band BandOf(const Picture& p)
{
    planes_test::Band band(p.width, p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t* s = &p.pixels[(static_cast<std::size_t>(y) * p.width + x) * 3];
            band.Set(x, y, s[0], s[1], s[2]);
        }
    return band;
}

// What the halftoners make of the whole page in one band.
std::vector<std::vector<BYTE>> Halftone(const Picture& p, ULONG cPlanes, DWORD dwModel, INT iHalftone, bool bLandscape)
{
    planes_test::TestDevice dev(cPlanes, 1, dwModel, iHalftone);
    const LONG w = bLandscape ? p.height : p.width, h = bLandscape ? p.width : p.height;
    dev.ResetPlanes(w, h);
    planes_test::Band band = BandOf(p);
    const BOOL ok = iHalftone == HALFTONE_DIFFUSION
                        ? FloydSteinberg(dev.get(), band.bits.data(), band.cx, band.cy, band.lDelta, bLandscape)
                        : Dither(dev.get(), band.bits.data(), band.cx, band.cy, band.lDelta, bLandscape);
    EXPECT_TRUE(ok);
    std::vector<std::vector<BYTE>> planes;
    const std::size_t cb = static_cast<std::size_t>((w + 7) / 8) * h;
    for (int i = 0; i < 4; ++i) planes.emplace_back(dev.aPlane[i].begin(), dev.aPlane[i].begin() + cb);
    return planes;
}

struct PlaneCase {
    const char* halftone;
    INT iHalftone;
};

class MonoPlanes : public ::testing::TestWithParam<PlaneCase> {};

TEST_P(MonoPlanes, EqualWhatTheHalftonersMakeOfThePage)
{
    EnsurePrinter(kMono, 1);
    const Picture page = PagePicture(kMonoCx, kMonoCy, 7);
    const std::string png = TestPath(std::string("mono-") + GetParam().halftone + ".png");
    const std::string out = png + ".prn";
    WritePng(png, page);
    e2e::RunResult r = e2e::Lblctl({"print", kMono, png, "--output", out, "--halftone", GetParam().halftone});
    ASSERT_EQ(r.status, 0) << r.err;

    const lblinspect::Result decoded = DecodeFile(out);
    ASSERT_FALSE(decoded.error) << decoded.error->message;
    ASSERT_EQ(decoded.pages.size(), 1u);
    ASSERT_EQ(decoded.pages[0].planes.size(), 1u);
    const lblinspect::Plane& plane = decoded.pages[0].planes[0];
    EXPECT_EQ(plane.width, static_cast<std::uint32_t>(kMonoCx));
    EXPECT_EQ(plane.height, static_cast<std::uint32_t>(kMonoCy));
    EXPECT_TRUE(plane.bits == Halftone(page, 1, 1, GetParam().iHalftone, false)[0]);
}

INSTANTIATE_TEST_SUITE_P(Halftones, MonoPlanes,
                         ::testing::Values(PlaneCase{"dither1", HALFTONE_DITHER1}, PlaneCase{"dither2", HALFTONE_DITHER2},
                                           PlaneCase{"diffusion", HALFTONE_DIFFUSION}),
                         [](const auto& info) { return std::string(info.param.halftone); });

TEST(PrintStream, ColourPlanesEqualWhatTheHalftonersMake)
{
    EnsurePrinter(kColour, 0);
    const Picture page = PagePicture(kColourCx, kColourCy, 11);
    const std::string png = TestPath("colour.png");
    const std::string out = png + ".prn";
    WritePng(png, page);
    e2e::RunResult r = e2e::Lblctl({"print", kColour, png, "--output", out, "--color", "4color"});
    ASSERT_EQ(r.status, 0) << r.err;

    const lblinspect::Result decoded = DecodeFile(out);
    ASSERT_FALSE(decoded.error) << decoded.error->message;
    ASSERT_EQ(decoded.pages.size(), 1u);
    const auto expected = Halftone(page, 4, 0, HALFTONE_DITHER1, false);
    ASSERT_FALSE(decoded.pages[0].planes.empty());
    for (const lblinspect::Plane& plane : decoded.pages[0].planes) {
        SCOPED_TRACE(lblinspect::ColourName(plane.colour));
        EXPECT_EQ(plane.width, static_cast<std::uint32_t>(kColourCx));
        EXPECT_TRUE(plane.bits == expected[plane.colour]);
    }
}

TEST(PrintStream, LandscapePageIsTheTurnedLabel)
{
    EnsurePrinter(kMono, 1);
    // The landscape page is the label turned: as many dots across as the label is long.
    const Picture page = PagePicture(kMonoCy, kMonoCx, 5);
    const std::string png = TestPath("landscape.png");
    const std::string out = png + ".prn";
    WritePng(png, page);
    e2e::RunResult r = e2e::Lblctl({"print", kMono, png, "--output", out, "--orientation", "landscape"});
    ASSERT_EQ(r.status, 0) << r.err;

    const lblinspect::Result decoded = DecodeFile(out);
    ASSERT_FALSE(decoded.error) << decoded.error->message;
    ASSERT_EQ(decoded.pages.size(), 1u);
    const lblinspect::Plane& plane = decoded.pages[0].planes.at(0);
    EXPECT_EQ(plane.width, static_cast<std::uint32_t>(kMonoCx));
    EXPECT_EQ(plane.height, static_cast<std::uint32_t>(kMonoCy));
    EXPECT_TRUE(plane.bits == Halftone(page, 1, 1, HALFTONE_DITHER1, true)[0]);
}

TEST(PrintStream, WholeJobInOrderWithCopies)
{
    EnsurePrinter(kMono, 1);
    const std::string a = TestPath("order-a.png"), b = TestPath("order-b.pnm");
    WritePng(a, RgbPicture(100, 50, [](int x, int) { return x < 50 ? 0u : 0xFFFFFFu; }));
    WriteBytes(b, {'P', '5', ' ', '2', ' ', '2', ' ', '2', '5', '5', '\n', 0, 255, 255, 0});
    const std::string out = TestPath("order.prn");
    e2e::RunResult r = e2e::Lblctl({"print", kMono, a, b, "--output", out, "--copies", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(e2e::LineCount(r.out), 1);

    const lblinspect::Result decoded = DecodeFile(out);
    ASSERT_FALSE(decoded.error) << decoded.error->message;
    const std::vector<std::string> page = {"label size",     "position adjustment", "density",
                                           "ribbon motor",   "ribbon type",         "end of page set-up",
                                           "graphic header", "raw raster",          "issue"};
    std::vector<std::string> expected = {"NUL run"};
    expected.insert(expected.end(), page.begin(), page.end());
    expected.insert(expected.end(), page.begin(), page.end());
    std::vector<std::string> names = CommandNames(decoded);
    // The document end, if the model has one, closes the job.
    while (names.size() > expected.size()) names.pop_back();
    EXPECT_EQ(names, expected);
    ASSERT_EQ(decoded.pages.size(), 2u);
    for (const auto& c : decoded.commands) {
        if (c.name == "issue") {
            EXPECT_EQ(FieldOf(c, "cCopies"), "3");
        }
    }
}

TEST(PrintStream, LabelIsChosenByName)
{
    const std::string name = "Print Labels";
    EnsurePrinter(name, 1);
    e2e::RunResult exported = e2e::Lblctl({"labels", "export", name});
    ASSERT_EQ(exported.status, 0) << exported.err;
    nlohmann::json labels = nlohmann::json::parse(exported.out);
    nlohmann::json small = labels.at(0);
    small["szLabelName"] = "Small 50x30";
    small["lWidth"] = 50000;
    small["lHeight"] = 30000;
    small["lPitch"] = 330;
    labels.push_back(small);
    ASSERT_EQ(e2e::Lblctl({"labels", "import", name, "-"}, labels.dump()).status, 0);

    const std::string png = TestPath("small-label.png"), out = TestPath("small.prn");
    WritePng(png, RgbPicture(10, 6, [](int, int) { return 0u; }));
    e2e::RunResult r = e2e::Lblctl({"print", name, png, "--label", "Small 50x30", "--output", out});
    ASSERT_EQ(r.status, 0) << r.err;
    const lblinspect::Result decoded = DecodeFile(out);
    ASSERT_EQ(decoded.pages.size(), 1u);
    // 50 x 30 mm at 203 dpi.
    EXPECT_EQ(decoded.pages[0].planes.at(0).width, 400u);
    EXPECT_EQ(decoded.pages[0].planes.at(0).height, 240u);
    for (const auto& c : decoded.commands) {
        if (c.name == "label size") {
            EXPECT_EQ(FieldOf(c, "width"), "50.0 mm");
        }
    }
}

TEST(PrintStream, SetTakesOneFieldEach)
{
    EnsurePrinter(kMono, 1);
    const std::string png = TestPath("set.png"), out = TestPath("set.prn");
    WritePng(png, RgbPicture(8, 8, [](int, int) { return 0u; }));
    // The picture after --set FIELD=VALUE is a page, not a second assignment.
    e2e::RunResult r = e2e::Lblctl({"print", kMono, "--set", "bMirror=1", png, "--set", "bAutoFeed=1", "--output", out});
    ASSERT_EQ(r.status, 0) << r.err;
    const lblinspect::Result decoded = DecodeFile(out);
    ASSERT_EQ(decoded.pages.size(), 1u);
    for (const auto& c : decoded.commands) {
        if (c.name == "issue") {
            EXPECT_EQ(FieldOf(c, "bMirror"), "on");
        }
    }
}

TEST(PrintStream, PdfPagesAreLabels)
{
    EnsurePrinter(kMono, 1);
    const std::string pdf = TestPath("two.pdf");
    const double w = 80.0 / 25.4 * 72, h = 74.2 / 25.4 * 72;  // the standard label in points
    // Page 1: the left half black; page 2: the top half black.
    WritePdf(pdf, w, h, {{0, 0, w / 2, h}, {0, h / 2, w, h / 2}});
    const std::string out = TestPath("two.prn");
    e2e::RunResult r = e2e::Lblctl({"print", kMono, pdf, "--output", out});
    ASSERT_EQ(r.status, 0) << r.err;

    const lblinspect::Result decoded = DecodeFile(out);
    ASSERT_FALSE(decoded.error) << decoded.error->message;
    ASSERT_EQ(decoded.pages.size(), 2u);
    auto dot = [](const lblinspect::Plane& p, std::uint32_t x, std::uint32_t y) {
        return (p.bits[y * p.RowBytes() + x / 8] >> (7 - x % 8)) & 1;
    };
    const lblinspect::Plane& left = decoded.pages[0].planes.at(0);
    const lblinspect::Plane& top = decoded.pages[1].planes.at(0);
    ASSERT_EQ(left.width, static_cast<std::uint32_t>(kMonoCx));
    ASSERT_EQ(left.height, static_cast<std::uint32_t>(kMonoCy));
    for (std::uint32_t y = 10; y < left.height - 10; y += 37) {
        EXPECT_EQ(dot(left, 100, y), 1) << y;
        EXPECT_EQ(dot(left, 500, y), 0) << y;
        EXPECT_EQ(dot(top, 100 + y % 400, 100), 1) << y;
        EXPECT_EQ(dot(top, 100 + y % 400, 500), 0) << y;
    }
}

TEST(PrintStream, RawBytesJoinTheDocumentBeforeItsPages)
{
    EnsurePrinter(kMono, 1);
    const std::vector<std::uint8_t> raw = {'R', 'A', 'W', '-', 'B', 'Y', 'T', 'E', 'S'};
    const std::string rawFile = TestPath("raw.bin"), out = TestPath("raw.prn");
    WriteBytes(rawFile, raw);
    e2e::RunResult r = e2e::Lblctl({"print", kMono, "--raw", rawFile, "--output", out});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::uint8_t> stream = ReadBytes(out);
    auto at = std::search(stream.begin(), stream.end(), raw.begin(), raw.end());
    ASSERT_NE(at, stream.end());
    // Raw-only: the job's own start comes first, and no page follows.
    EXPECT_GT(at - stream.begin(), 0);
    EXPECT_TRUE(DecodeFile(out).pages.empty());
}

TEST(PrintStream, PassThroughModeSendsOnlyTheEscapesBytes)
{
    const std::string name = "Print Passthrough";
    EnsurePrinter(name, 1);
    e2e::RunResult set = e2e::Lblctl({"printer", "set", name, "bPassThrough=1"});
    ASSERT_EQ(set.status, 0) << set.err;
    // More than one PASSTHROUGH piece: 65535 bytes at most each.
    std::vector<std::uint8_t> raw(70000);
    for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<std::uint8_t>(i * 7 + 1);
    const std::string rawFile = TestPath("pass.bin"), png = TestPath("pass.png"), out = TestPath("pass.prn");
    WriteBytes(rawFile, raw);
    WritePng(png, RgbPicture(20, 20, [](int, int) { return 0u; }));
    e2e::RunResult r = e2e::Lblctl({"print", name, png, "--raw", rawFile, "--output", out, "--copies", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadBytes(out) == raw);
}

TEST(PrintStream, PreviewShowsEachPage)
{
    EnsurePrinter(kMono, 1);
    const std::string png = TestPath("preview-in.png"), preview = TestPath("preview.png");
    WritePng(png, RgbPicture(kMonoCx, kMonoCy, [](int x, int) { return x < 100 ? 0u : 0xFFFFFFu; }));
    e2e::RunResult r = e2e::Lblctl({"print", kMono, png, png, "--output", TestPath("preview.prn"), "--preview", preview});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(preview));
    EXPECT_TRUE(std::filesystem::exists(lblinspect::PreviewPath(preview, 1)));
    EXPECT_EQ(r.err, "");  // no progress when standard error is not a terminal
}

}  // namespace
}  // namespace print_test
