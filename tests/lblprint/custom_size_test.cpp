// Sizes beside the labels: the model's limits are a media-size range, a job of
// a size within it prints on a label made for the job and gone afterwards, a
// job of a label's size prints on that label. Expected streams come from
// `lblctl print` on labels made with `lblctl labels add`; the limits are the
// model table's, worked out by hand.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>

#include "e2e/print/print_files.h"
#include "lblprint/app_run.h"

namespace lblprint_test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A media-col of a size in 0.01 mm and no name, as a client asks for a custom size.
std::string MediaSize(int x, int y)
{
    return "ATTR collection media-col { MEMBER collection media-size { MEMBER integer x-dimension " +
           std::to_string(x) + " MEMBER integer y-dimension " + std::to_string(y) + " } }";
}

class LblprintCustomSize : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.Start()) << "the application did not start";
        png = app.Dir() + "/sample.png";
        print_test::WriteBytes(png, print_test::ReadBytes(LBL_SOURCE_DIR "/samples/sample-label.png"));
    }

    // The printer's media attributes as ipptool shows them.
    std::string MediaAttributes(const std::string& printer)
    {
        return app.Ipp(app.PrinterUri(printer), Request("Get-Printer-Attributes") + R"(ATTR keyword requested-attributes media-supported,media-size-supported
STATUS successful-ok
}
)").out;
    }

    std::string Line(const std::string& text, const std::string& attribute)
    {
        std::smatch m;
        const std::regex line(attribute + " \\([^)]*\\) = ([^\n]*)");
        return std::regex_search(text, m, line) ? std::string(m[1]) : std::string();
    }

    std::string Labels(const std::string& printer) { return app.Lblctl({"labels", "export", printer}).out; }

    App app;
    std::string png;
};

TEST_F(LblprintCustomSize, TheModelsLimitsAreAMediaSizeRange)
{
    // Model 3: width 10.0..104.0 mm, height from the strip minimum 21.4 mm to
    // 384.0 mm, or 833.2 mm with expansion RAM.
    app.AddPrinter("Range", "lbl-model3");
    std::string attrs = MediaAttributes("Range");
    EXPECT_EQ(Line(attrs, "media-supported"), "om_range-standard-label_80x74.2mm,custom_min_10x21.4mm,custom_max_104x384mm");
    EXPECT_THAT(Line(attrs, "media-size-supported"),
                HasSubstr("{x-dimension=1000-10400 y-dimension=2140-38400}"));
    EXPECT_THAT(Line(attrs, "media-size-supported"), HasSubstr("{x-dimension=8000 y-dimension=7420}"));

    // Expansion RAM set elsewhere raises the limit within seconds, and after a restart.
    const lblprint_test::Run set = app.Lblctl({"printer", "set", "Range", "bExpansionRAM=1"});
    ASSERT_EQ(set.status, 0) << set.out;
    for (int i = 0; i < 100; ++i) {
        attrs = MediaAttributes("Range");
        if (Line(attrs, "media-supported").find("custom_max_104x833.2mm") != std::string::npos) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_THAT(Line(attrs, "media-supported"), HasSubstr("custom_max_104x833.2mm"));
    app.Stop();
    ASSERT_TRUE(app.Start());
    attrs = MediaAttributes("Range");
    EXPECT_THAT(Line(attrs, "media-supported"), HasSubstr("custom_max_104x833.2mm"));
    EXPECT_THAT(Line(attrs, "media-size-supported"), HasSubstr("{x-dimension=1000-10400 y-dimension=2140-83320}"));
}

TEST_F(LblprintCustomSize, ASizeWithinTheLimitsPrintsOnALabelMadeForTheJob)
{
    const std::string device = app.AddPrinter("Shelf", "lbl-model1");
    const std::string labels = Labels("Shelf"), media = Line(MediaAttributes("Shelf"), "media-supported");
    ASSERT_THAT(labels, HasSubstr("Shelf Standard Label"));

    std::vector<char> got;
    ASSERT_EQ(app.Print("Shelf", device, png, "image/png", MediaSize(5000, 3000) + "\nATTR integer copies 2", got), "");
    // The job's label left nothing behind: no label, no form, no new media.
    EXPECT_EQ(Labels("Shelf"), labels);
    EXPECT_THAT(app.Lblctl({"forms", "list"}).out, Not(HasSubstr("Custom")));
    EXPECT_EQ(Line(MediaAttributes("Shelf"), "media-supported"), media);

    // The same label made by hand: the standard label at 50 x 30 mm, its 2 mm
    // gap kept (pitch 74.2 + 2 = 76.2 mm becomes 30 + 2 = 32.0 mm).
    const lblprint_test::Run added = app.Lblctl({"labels", "add", "Shelf", "By hand", "--from", "Shelf Standard Label",
                                  "lWidth=50mm", "lHeight=30mm", "lPitch=320"});
    ASSERT_EQ(added.status, 0) << added.out;
    const std::vector<char> want = app.Reference("Shelf", png, {"--label", "By hand", "--copies", "2"});
    ASSERT_GT(want.size(), 100u) << std::string(want.begin(), want.end());
    EXPECT_TRUE(got == want) << got.size() << " bytes, lblctl " << want.size();
    EXPECT_TRUE(got != app.Reference("Shelf", png, {"--copies", "2"})) << "printed on the standard label";
}

TEST_F(LblprintCustomSize, ASizeOfALabelPrintsOnThatLabel)
{
    const std::string device = app.AddPrinter("Stock", "lbl-model1");
    // 50 x 30 mm with a gap of its own, so that a label made for the job would differ.
    const lblprint_test::Run added = app.Lblctl({"labels", "add", "Stock", "Tags", "lWidth=50mm", "lHeight=30mm", "lPitch=350"});
    ASSERT_EQ(added.status, 0) << added.out;
    const std::string labels = Labels("Stock");

    std::vector<char> got;
    ASSERT_EQ(app.Print("Stock", device, png, "image/png", MediaSize(5000, 3000), got), "");
    EXPECT_TRUE(got == app.Reference("Stock", png, {"--label", "Tags"}));
    ASSERT_EQ(app.Print("Stock", device, png, "image/png", MediaSize(8000, 7420), got), "");
    EXPECT_TRUE(got == app.Reference("Stock", png, {}));
    EXPECT_EQ(Labels("Stock"), labels);
}

TEST_F(LblprintCustomSize, ASizeTheLabelEditorRefusesIsNotPrinted)
{
    // Model 10 advertises heights from the strip minimum 21.4 mm; a label that
    // cuts needs 29.0 mm, and the editor says so.
    const std::string device = app.AddPrinter("Cutter", "lbl-model10");
    const lblprint_test::Run cut = app.Lblctl({"labels", "update", "Cutter", "Cutter Standard Label", "iCutInterval=1"});
    ASSERT_EQ(cut.status, 0) << cut.out;
    const std::string labels = Labels("Cutter");

    std::vector<char> got;
    EXPECT_EQ(app.Print("Cutter", device, png, "image/png", MediaSize(5000, 2500), got),
              "no label of this printer is 50x25mm and the label editor refused one: Label Height is 290~2000");
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(Labels("Cutter"), labels);
}

TEST_F(LblprintCustomSize, ASizeBeyondTheLimitsIsNotTakenAsAskedFor)
{
    const std::string device = app.AddPrinter("Narrow", "lbl-model1");
    const std::string labels = Labels("Narrow");
    // 90 mm is wider than model 1's 80 mm: PAPPL refuses it when the client
    // validates; a job of it is told the size was not taken and ends with the
    // label editor's reason, unprinted; no label stays.
    for (const auto& [operation, checks] : std::vector<std::pair<std::string, std::string>>{
             {"Validate-Job", "STATUS client-error-attributes-or-values-not-supported"},
             {"Print-Job", "FILE $filename\nSTATUS successful-ok-ignored-or-substituted-attributes\n"
                           "EXPECT media-col IN-GROUP unsupported-attributes-tag"}}) {
        const lblprint_test::Run r = app.Ipp(app.PrinterUri("Narrow"), Request(operation) + R"(ATTR name requesting-user-name test
ATTR mimeMediaType document-format image/png
GROUP job-attributes-tag
)" + MediaSize(9000, 3000) + "\n" + checks + "\n}\n", {{"filename", png}});
        EXPECT_EQ(r.status, 0) << operation << ": " << r.out;
    }
    std::vector<char> got;
    EXPECT_THAT(app.Print("Narrow", device, png, "image/png", MediaSize(9000, 3000), got),
                HasSubstr("no label of this printer is 90x30mm and the label editor refused one: Label width is"));
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(Labels("Narrow"), labels);
}

}  // namespace
}  // namespace lblprint_test
