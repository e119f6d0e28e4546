// lblctl printer add, list, show and remove, run as a user would.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/lblctl_run.h"
#include "spooler/spooler.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

RunResult AddPrinter(const std::string& name, std::vector<std::string> extra = {})
{
    std::vector<std::string> args = {"printer", "add", name, "--ppd", TestPpd()};
    args.insert(args.end(), extra.begin(), extra.end());
    return Lblctl(args);
}

TEST(LblctlPrinter, AddedPrinterHasWhatAnInstalledPrinterHas)
{
    RunResult add = AddPrinter("Shipping");
    ASSERT_EQ(add.status, 0) << add.err;
    EXPECT_EQ(add.err, "");

    auto record = platform::FindPrinter("Shipping");
    ASSERT_TRUE(record);
    // The description is installed in the spooler's driver directory, with its binary file beside it.
    EXPECT_EQ(record->dataFile, SpoolDir() + "/drivers/model1.ppd");
    EXPECT_TRUE(std::filesystem::exists(SpoolDir() + "/drivers/model1.BPD"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(TestPpd()).replace_extension(".BPD")));
    EXPECT_EQ(record->port, SpoolDir() + "/Shipping.prn");
    // Driver libraries are known by name only.
    EXPECT_EQ(record->renderLibrary, "liblblrender.so");
    EXPECT_EQ(record->uiLibrary, "liblblui.so");

    auto prop = PrinterValue("Shipping", "PrinterData");
    ASSERT_TRUE(prop);
    ASSERT_EQ(prop->size(), 36u);
    EXPECT_EQ(Dword(*prop, 0), 0x0110u | (36u << 16));  // wVersion, wSize
    EXPECT_EQ(Dword(*prop, 4), 1u);                      // PP_METRIC only
    EXPECT_EQ(Dword(*prop, 8), 0u);
    EXPECT_EQ(Dword(*prop, 12), 0u);
    EXPECT_EQ(Dword(*PrinterValue("Shipping", "PrinterDataSize"), 0), 36u);
    auto ht = PrinterValue("Shipping", "PrinterHT");
    ASSERT_TRUE(ht);
    EXPECT_EQ(*ht, std::vector<BYTE>(4, 0));

    auto labels = PrinterValue("Shipping", "LabelData");
    ASSERT_TRUE(labels);
    ASSERT_EQ(labels->size(), 4u + 248u);
    EXPECT_EQ(Dword(*labels, 0), 1u);
    EXPECT_EQ(Dword(*labels, 4), 248u);
    EXPECT_FALSE(PrinterValue("Shipping", "LabelDataSize"));

    auto form = FindForm("Shipping Standard Label");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->flags, FORM_PRINTER);
    EXPECT_EQ(form->size.cx, 80000);
    EXPECT_EQ(form->size.cy, 74200);
    EXPECT_EQ(form->area.left, 0);
    EXPECT_EQ(form->area.top, 0);
    EXPECT_EQ(form->area.right, 80000);
    EXPECT_EQ(form->area.bottom, 74200);
}

TEST(LblctlPrinter, ListShowAndRemove)
{
    ASSERT_EQ(AddPrinter("Keeper").status, 0);
    ASSERT_EQ(AddPrinter("Dock 4", {"--port", "socket://192.0.2.7:9100"}).status, 0);
    EXPECT_EQ(platform::FindPrinter("Dock 4")->port, "socket://192.0.2.7:9100");

    RunResult list = Lblctl({"printer", "list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_THAT(list.out, HasSubstr("Keeper\n"));
    EXPECT_THAT(list.out, HasSubstr("Dock 4\n"));

    RunResult show = Lblctl({"printer", "show", "Dock 4"});
    ASSERT_EQ(show.status, 0) << show.err;
    for (const char* text : {"Printer \"Dock 4\"", "socket://192.0.2.7:9100", "(model 1,", "PP_METRIC", "bExpansionRAM",
                             "wPpdChecksum", "spot.black", "spot.yellow", "Labels (1)", "1. \"Dock 4 Standard Label\"",
                             "lWidth           80000", "lPitch           762", "aRibbon[3]"})
        EXPECT_THAT(show.out, HasSubstr(text));

    RunResult remove = Lblctl({"printer", "remove", "Dock 4"});
    ASSERT_EQ(remove.status, 0) << remove.err;
    EXPECT_FALSE(platform::FindPrinter("Dock 4"));
    EXPECT_FALSE(PrinterValue("Dock 4", "LabelData"));
    EXPECT_FALSE(FindForm("Dock 4 Standard Label"));
    EXPECT_TRUE(FindForm("Keeper Standard Label"));
    EXPECT_THAT(Lblctl({"printer", "list"}).out, Not(HasSubstr("Dock 4")));
}

TEST(LblctlPrinter, RemoveKeepsFormsOtherPrintersStillName)
{
    ASSERT_EQ(AddPrinter("Left").status, 0);
    ASSERT_EQ(AddPrinter("Right").status, 0);
    std::string file = WriteFile("shared.json", R"([{"szLabelName": "Shared", "lWidth": 50000, "lHeight": 30000}])");
    ASSERT_EQ(Lblctl({"labels", "import", "Left", file}).status, 0);
    ASSERT_EQ(Lblctl({"labels", "import", "Right", file}).status, 0);

    ASSERT_EQ(Lblctl({"printer", "remove", "Left"}).status, 0);
    EXPECT_TRUE(FindForm("Shared"));
    ASSERT_EQ(AddPrinter("Other").status, 0);
    ASSERT_EQ(Lblctl({"printer", "remove", "Right"}).status, 0);
    EXPECT_FALSE(FindForm("Shared"));
}

TEST(LblctlPrinter, RefusalsAreOneLineAndChangeNothing)
{
    ASSERT_EQ(AddPrinter("Twice").status, 0);
    RunResult again = AddPrinter("Twice");
    EXPECT_EQ(again.status, 1);
    EXPECT_THAT(again.err, HasSubstr("already exists"));
    EXPECT_EQ(LineCount(again.err), 1);

    RunResult noPpd = Lblctl({"printer", "add", "Ghost", "--ppd", SpoolDir() + "/missing.ppd"});
    EXPECT_EQ(noPpd.status, 1);
    EXPECT_EQ(LineCount(noPpd.err), 1);
    EXPECT_FALSE(platform::FindPrinter("Ghost"));

    std::string file = WriteFile("one.json", "[{}]");
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"printer", "show", "Nobody"},
             {"printer", "remove", "Nobody"},
             {"printer", "set", "Nobody", "bPassThrough=1"},
             {"labels", "export", "Nobody"},
             {"labels", "import", "Nobody", file}}) {
        RunResult r = Lblctl(args);
        EXPECT_EQ(r.status, 1) << args[1];
        EXPECT_EQ(r.err, "lblctl: no printer named \"Nobody\"\n");
    }
    EXPECT_FALSE(platform::FindPrinter("Nobody"));
}

}  // namespace
}  // namespace e2e
