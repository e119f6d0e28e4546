// The printer application end to end: printers made through IPP are printers
// of the spooler, and a job prints exactly the bytes `lblctl print` makes of
// the same page, label and settings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "e2e/print/print_files.h"
#include "lblprint/app_run.h"

namespace lblprint_test {
namespace {

using ::testing::HasSubstr;

class LblprintApp : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.Start()) << "the application did not start; log: " << ReadLog();
        png = app.Dir() + "/sample.png";
        const std::vector<std::uint8_t> sample = print_test::ReadBytes(LBL_SOURCE_DIR "/samples/sample-label.png");
        print_test::WriteBytes(png, sample);
        pdf = app.Dir() + "/page.pdf";
        print_test::WritePdf(pdf, 226.8, 210.3, {{20, 20, 120, 60}});
    }
    std::string ReadLog()
    {
        const std::vector<char> log = ReadFile(app.Dir() + "/app.log");
        return std::string(log.begin(), log.end());
    }
    // Prints through the application and with lblctl; both streams.
    void ExpectSame(const std::string& printer, const std::string& device, const std::string& file,
                    const std::string& format, const std::string& attrs, const std::vector<std::string>& options)
    {
        std::vector<char> got;
        const std::string failure = app.Print(printer, device, file, format, attrs, got);
        ASSERT_EQ(failure, "") << attrs;
        const std::vector<char> want = app.Reference(printer, file, options);
        ASSERT_GT(want.size(), 100u) << std::string(want.begin(), want.end());
        EXPECT_TRUE(got == want) << printer << " " << format << " [" << attrs << "]: " << got.size() << " bytes, lblctl "
                                 << want.size();
    }

    App app;
    std::string png, pdf;
};

TEST_F(LblprintApp, JobsPrintTheBytesOfLblctlPrint)
{
    const std::string mono = app.AddPrinter("Mono", "lbl-model1"), colour = app.AddPrinter("Colour", "lbl-model0");
    const lblprint_test::Run list = app.Lblctl({"printer", "list"});
    EXPECT_THAT(list.out, HasSubstr("Mono"));
    EXPECT_THAT(list.out, HasSubstr("Colour"));

    ExpectSame("Mono", mono, png, "image/png", "", {});
    ExpectSame("Mono", mono, pdf, "application/pdf", "", {});
    ExpectSame("Mono", mono, png, "image/png", "ATTR integer copies 3\nATTR enum orientation-requested 4",
               {"--copies", "3", "--orientation", "landscape"});
    ExpectSame("Mono", mono, png, "image/png", "ATTR keyword mirror-print on\nATTR keyword tag-rotation top-down",
               {"--set", "bMirror=1", "--set", "bBottomUp=0"});
    ExpectSame("Colour", colour, png, "image/png", "", {});
    ExpectSame("Colour", colour, pdf, "application/pdf", "ATTR keyword print-color-mode color\nATTR keyword color-inks 3-color",
               {"--color", "3color"});
    ExpectSame("Colour", colour, png, "image/png", "ATTR keyword print-color-mode monochrome", {"--color", "mono"});
    const std::vector<std::pair<std::string, std::string>> halftones = {
        {"dither1", "dither1"}, {"dither2", "dither2"}, {"error-diffusion", "diffusion"}};
    for (const auto& [keyword, name] : halftones) {
        ExpectSame("Colour", colour, png, "image/png", "ATTR keyword halftone " + keyword, {"--halftone", name});
        ExpectSame("Mono", mono, pdf, "application/pdf", "ATTR keyword halftone " + keyword, {"--halftone", name});
    }
}

// JPEG goes through PAPPL's converter: one page, with the driver's copy count.
TEST_F(LblprintApp, JpegPrintsEachPageOnceWithTheCopyCount)
{
    const std::string jpeg = app.Dir() + "/sample.jpg";
    if (RunProgram({"convert", png, jpeg}).status != 0) GTEST_SKIP() << "imagemagick's convert is not installed";
    const std::string device = app.AddPrinter("Photo", "lbl-model1");
    std::vector<char> got;
    ASSERT_EQ(app.Print("Photo", device, jpeg, "image/jpeg", "ATTR integer copies 2", got), "");
    const std::string stream = app.Dir() + "/jpeg.prn";
    print_test::WriteBytes(stream, std::vector<std::uint8_t>(got.begin(), got.end()));
    const std::string listing = app.Lblctl({"inspect", stream}).out;
    EXPECT_THAT(listing, HasSubstr("cCopies 2"));
    EXPECT_THAT(listing, HasSubstr("page 1,"));
    EXPECT_THAT(listing, ::testing::Not(HasSubstr("page 2,")));
}

TEST_F(LblprintApp, EveryLabelIsAMediaThatSurvivesARestart)
{
    const std::string device = app.AddPrinter("Wide", "lbl-model9");
    const lblprint_test::Run added = app.Lblctl({"labels", "add", "Wide", "Box 4x6", "lWidth=101600", "lHeight=152400", "lPitch=1564"});
    ASSERT_EQ(added.status, 0) << added.out;
    const std::string query = Request("Get-Printer-Attributes") + R"(ATTR keyword requested-attributes media-supported,media-default,media-ready
STATUS successful-ok
}
)";
    // A label added while the application runs becomes a media within seconds.
    lblprint_test::Run attrs;
    for (int i = 0; i < 100; ++i) {
        attrs = app.Ipp(app.PrinterUri("Wide"), query);
        if (attrs.out.find("om_box-4x6_101.6x152.4mm") != std::string::npos) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_THAT(attrs.out, HasSubstr("om_box-4x6_101.6x152.4mm"));
    // Printers and labels are kept across a restart.
    app.Stop();
    ASSERT_TRUE(app.Start());
    attrs = app.Ipp(app.PrinterUri("Wide"), query);
    EXPECT_THAT(attrs.out, HasSubstr("om_box-4x6_101.6x152.4mm"));
    EXPECT_THAT(attrs.out, HasSubstr("om_wide-standard-label_"));
    ExpectSame("Wide", device, png, "image/png", "ATTR keyword media om_box-4x6_101.6x152.4mm", {"--label", "Box 4x6"});
    ExpectSame("Wide", device, pdf, "application/pdf", "", {});
}

TEST_F(LblprintApp, BadRequestsGetAClearErrorAndChangeNothing)
{
    const std::string device = app.AddPrinter("Shop", "lbl-model1");
    const std::string before = app.Lblctl({"labels", "export", "Shop"}).out;

    std::vector<char> out;
    EXPECT_THAT(app.Print("Nobody", device, png, "image/png", "", out), HasSubstr("not accepted"));

    // Media that no label of the printer is, by name or in a media-col: refused
    // with the reason, never printed on the printer's label.
    for (const std::string& media :
         {std::string("ATTR keyword media om_gone_50x30mm"), std::string("ATTR keyword media na_index-4x6_4x6in"),
          std::string("ATTR collection media-col { MEMBER keyword media-size-name iso_a6_105x148mm }")}) {
        EXPECT_THAT(app.Print("Shop", device, png, "image/png", media, out),
                    HasSubstr("is not a label of this printer; it has om_shop-standard-label_80x74.2mm"))
            << media;
        EXPECT_TRUE(out.empty()) << media;
    }
    // Validate-Job says so before any job is made.
    const std::string longName = "om_" + std::string(300, 'x') + "_80x74.2mm";
    const lblprint_test::Run validate = app.Ipp(app.PrinterUri("Shop"), Request("Validate-Job") + R"(ATTR name requesting-user-name test
ATTR boolean ipp-attribute-fidelity true
GROUP job-attributes-tag
ATTR keyword media $media
STATUS client-error-attributes-or-values-not-supported
}
)", {{"media", longName}});
    EXPECT_THAT(validate.out, HasSubstr("Unsupported media keyword value."));

    // A vendor value the printer does not offer.
    EXPECT_NE(app.Print("Shop", device, png, "image/png", "ATTR keyword halftone sideways", out), "");
    EXPECT_TRUE(out.empty());

    // A second printer of the same name is refused; the first stays as it was.
    lblprint_test::Run again;
    app.AddPrinter("Shop", "lbl-model0", &again);
    EXPECT_THAT(again.out, ::testing::Not(HasSubstr("status-code = successful-ok")));
    EXPECT_EQ(app.Lblctl({"labels", "export", "Shop"}).out, before);
}

TEST_F(LblprintApp, DeletingAPrinterRemovesItsSpoolerPrinter)
{
    app.AddPrinter("Gone", "lbl-model1");
    const std::string kept = app.AddPrinter("Kept", "lbl-model0");
    // PAPPL's delete subcommand, which reaches the server through its socket, finds a
    // printer by its printer-id: a printer just made has its number within a second,
    // without a restart.
    lblprint_test::Run deleted;
    for (int i = 0; i < 50; ++i) {
        deleted = RunProgram({app.Program(), "delete", "-d", "Gone"}, {"TMPDIR=" + app.Dir() + "/tmp"});
        if (deleted.status == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_EQ(deleted.status, 0) << deleted.out;
    lblprint_test::Run list;
    for (int i = 0; i < 50; ++i) {
        list = app.Lblctl({"printer", "list"});
        if (list.out.find("Gone") == std::string::npos) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_THAT(list.out, ::testing::Not(HasSubstr("Gone")));
    EXPECT_THAT(list.out, HasSubstr("Kept"));
    // The server still answers after the removal (its system lock is whole).
    const lblprint_test::Run printers = RunProgram({"timeout", "20", app.Program(), "printers"},
                                                   {"TMPDIR=" + app.Dir() + "/tmp"});
    EXPECT_EQ(printers.status, 0) << printers.out;
    EXPECT_THAT(printers.out, HasSubstr("Kept"));
    EXPECT_THAT(printers.out, ::testing::Not(HasSubstr("Gone")));
    // The other printer, made again under its number meanwhile, still prints.
    ExpectSame("Kept", kept, png, "image/png", "", {});
}

}  // namespace
}  // namespace lblprint_test
