// Sizes beside the labels: the model's limits are a media-size range; the
// limits are the model table's, worked out by hand.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "e2e/print/print_files.h"
#include "lblprint/app_run.h"

namespace lblprint_test {
namespace {

using ::testing::HasSubstr;

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
        return app.Ipp(app.PrinterUri(printer), R"({
OPERATION Get-Printer-Attributes
GROUP operation-attributes-tag
ATTR charset attributes-charset utf-8
ATTR naturalLanguage attributes-natural-language en
ATTR uri printer-uri $uri
ATTR keyword requested-attributes media-supported,media-size-supported
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

    // The limits are read from the driver when the printer is loaded again.
    const lblprint_test::Run set = app.Lblctl({"printer", "set", "Range", "bExpansionRAM=1"});
    ASSERT_EQ(set.status, 0) << set.out;
    app.Stop();
    ASSERT_TRUE(app.Start());
    attrs = MediaAttributes("Range");
    EXPECT_THAT(Line(attrs, "media-supported"), HasSubstr("custom_max_104x833.2mm"));
    EXPECT_THAT(Line(attrs, "media-size-supported"), HasSubstr("{x-dimension=1000-10400 y-dimension=2140-83320}"));
}

}  // namespace
}  // namespace lblprint_test
