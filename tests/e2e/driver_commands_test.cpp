// The lblctl commands that reach the driver through its UI library: printer add
// and upgrade, caps, query, print --form; and the spooler's forms and stored values.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "e2e/lblctl_run.h"
#include "spooler/spooler.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;
using Json = nlohmann::json;
namespace fs = std::filesystem;

RunResult Add(const std::string& name, const std::string& ppd) { return Lblctl({"printer", "add", name, "--ppd", ppd}); }

size_t FormCount() { return Json::parse(Lblctl({"forms", "list", "--json"}).out).size(); }

// The flags of the form of that name as lblctl lists them, "" when there is none.
std::string FormFlags(const std::string& name)
{
    for (const auto& f : Json::parse(Lblctl({"forms", "list", "--json"}).out))
        if (f["pName"] == name) return f["Flags"];
    return "";
}

TEST(LblctlDriver, DescriptionsTheDriverCannotUseMakeNoPrinter)
{
    const size_t forms = FormCount();
    const std::string junk = WriteFile("junk.ppd", "not a description\n");
    RunResult r = Add("Junk", junk);
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("not a printer description"));
    EXPECT_EQ(LineCount(r.err), 1);

    const std::string model12 = WriteFile("model12.ppd", "*PPD-Adobe: \"4.3\"\n*LanguageLevel: \"12\"\n");
    r = Add("Twelve", model12);
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("models 0 to 10"));
    EXPECT_FALSE(platform::FindPrinter("Twelve"));
    EXPECT_FALSE(fs::exists(SpoolDir() + "/drivers/model12.ppd"));
    EXPECT_EQ(FormFlags("Twelve Standard Label"), "");
    EXPECT_EQ(FormCount(), forms);
}

TEST(LblctlDriver, ADifferentFileOfTheSameNameGetsItsOwnCopy)
{
    ASSERT_EQ(Add("Same A", TestPpd(2)).status, 0);
    fs::create_directories(SpoolDir() + "/../other");
    const std::string other = SpoolDir() + "/../other/model2.ppd";
    fs::copy_file(TestPpd(5), other, fs::copy_options::overwrite_existing);
    ASSERT_EQ(Add("Same B", other).status, 0);
    EXPECT_EQ(platform::FindPrinter("Same A")->dataFile, SpoolDir() + "/drivers/model2.ppd");
    EXPECT_EQ(platform::FindPrinter("Same B")->dataFile, SpoolDir() + "/drivers/model2-2.ppd");
    Json caps = Json::parse(Lblctl({"caps", "Same B", "--json"}).out);
    EXPECT_EQ(caps["DC_MAXEXTENT"]["data"], Json::parse("[[1706, 2986]]"));  // model 5's limits
}

TEST(LblctlDriver, CapsAsJson)
{
    ASSERT_EQ(Add("Caps", TestPpd(3)).status, 0);
    RunResult r = Lblctl({"caps", "Caps", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    Json caps = Json::parse(r.out);
    EXPECT_EQ(caps.size(), 18u);
    EXPECT_EQ(caps["DC_FIELDS"], Json::parse(R"({"result": 67343})"));
    EXPECT_EQ(caps["DC_PAPERNAMES"]["data"], Json::parse(R"(["Caps Standard Label"])"));
    EXPECT_EQ(caps["DC_PAPERSIZE"]["data"], Json::parse("[[800, 742]]"));
    EXPECT_EQ(caps["DC_MINEXTENT"]["data"], Json::parse("[[100, 214]]"));
    EXPECT_EQ(caps["DC_BINNAMES"]["data"], Json::parse(R"(["Roll Feed", "Fanfold"])"));
    EXPECT_EQ(caps["DC_BINS"]["data"], Json::parse("[256, 257]"));
    EXPECT_EQ(caps["DC_ENUMRESOLUTIONS"]["data"], Json::parse("[[203, 203], [300, 300]]"));
    EXPECT_EQ(caps["DC_COPIES"]["result"], 9999);
    EXPECT_FALSE(caps["DC_COPIES"].contains("data"));

    // A device mode file shorter than it says is refused before the driver sees it.
    const std::string shortFile = WriteFile("short.dm", std::string(100, '\0'));
    EXPECT_EQ(Lblctl({"caps", "Caps", "--devmode", shortFile}).status, 1);
}

TEST(LblctlDriver, QueryAndPrintAskTheDriver)
{
    ASSERT_EQ(Add("Query", TestPpd(3)).status, 0);
    RunResult ok = Lblctl({"query", "Query", "--form", "Query Standard Label", "--resolution", "300"});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out, "ok\n");
    RunResult a4 = Lblctl({"query", "Query", "--form", "A4"});
    EXPECT_EQ(a4.status, 1);
    EXPECT_EQ(a4.err, "lblctl: Invalid paper size\n");
    RunResult none = Lblctl({"query", "Query", "--form", "No Such Form"});
    EXPECT_EQ(none.err, "lblctl: No paper\n");

    const std::string out = SpoolDir() + "/../refused.prn";
    const std::string picture = std::string(LBL_SOURCE_DIR) + "/samples/sample-label.png";
    RunResult refused = Lblctl({"print", "Query", picture, "--form", "A4", "--output", out});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "lblctl: Invalid paper size\n");
    EXPECT_FALSE(fs::exists(out));
    RunResult printed = Lblctl({"print", "Query", picture, "--form", "Query Standard Label", "--output", out});
    EXPECT_EQ(printed.status, 0) << printed.err;
    EXPECT_GT(fs::file_size(out), 0u);
}

// A device mode saved for a label that was deleted since: the job is refused,
// never printed on the standard label's size; with --label it prints.
TEST(LblctlDriver, ASavedJobForADeletedLabelIsRefused)
{
    ASSERT_EQ(Add("Gone", TestPpd(1)).status, 0);
    ASSERT_EQ(Lblctl({"labels", "add", "Gone", "Alpha", "lWidth=50mm", "lHeight=30mm", "lPitch=32mm"}).status, 0);
    const std::string dm = SpoolDir() + "/../alpha.dm";
    ASSERT_EQ(Lblctl({"options", "Gone", "--label", "Alpha", "--save", dm}).status, 0);
    ASSERT_EQ(Lblctl({"labels", "delete", "Gone", "Alpha"}).status, 0);

    const std::string out = SpoolDir() + "/../gone.prn";
    const std::string picture = std::string(LBL_SOURCE_DIR) + "/samples/sample-label.png";
    RunResult refused = Lblctl({"print", "Gone", picture, "--devmode", dm, "--output", out});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "lblctl: No paper\n");
    EXPECT_FALSE(fs::exists(out));
    RunResult chosen = Lblctl({"print", "Gone", picture, "--devmode", dm, "--label", "Gone Standard Label", "--output", out});
    EXPECT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_TRUE(fs::exists(out));
}

TEST(LblctlDriver, UpgradeBringsAnOldRecordForward)
{
    ASSERT_EQ(Add("Old", TestPpd(4)).status, 0);
    const auto current = PrinterValue("Old", "PrinterData");
    ASSERT_TRUE(current);
    std::string old(24, '\0');
    for (size_t i = 4; i < 24; ++i) old[i] = static_cast<char>(0x40 + i);
    old[0] = 0x00, old[1] = 0x01, old[2] = 24, old[3] = 0;  // version 0x0100, size 24
    const std::string file = WriteFile("old.bin", old);
    ASSERT_EQ(Lblctl({"printer", "data", "Old", "PrinterData", "--write", file, "--type", "REG_BINARY"}).status, 0);
    const std::string size = WriteFile("size.bin", std::string("\x18\0\0\0", 4));
    ASSERT_EQ(Lblctl({"printer", "data", "Old", "PrinterDataSize", "--write", size, "--type", "REG_DWORD"}).status, 0);

    RunResult r = Lblctl({"printer", "upgrade", "Old"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto prop = PrinterValue("Old", "PrinterData");
    ASSERT_TRUE(prop);
    ASSERT_EQ(prop->size(), 36u);
    EXPECT_EQ(Dword(*prop, 0), 0x0110u | (36u << 16));
    for (size_t i = 4; i < 24; ++i) EXPECT_EQ((*prop)[i], 0x40 + i) << i;
    for (size_t i = 24; i < 32; ++i) EXPECT_EQ((*prop)[i], 0) << i;
    EXPECT_EQ(Dword(*prop, 32), Dword(*current, 32));  // the description's checksum
    EXPECT_EQ(Lblctl({"printer", "upgrade", "Nobody"}).status, 1);
}

TEST(LblctlDriver, PrinterDataShowsEveryValue)
{
    ASSERT_EQ(Add("Data", TestPpd(1)).status, 0);
    RunResult r = Lblctl({"printer", "data", "Data", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    Json values = Json::parse(r.out);
    std::vector<std::string> names;
    for (const auto& v : values) names.push_back(v["name"]);
    EXPECT_EQ(names, (std::vector<std::string>{"LabelData", "PrinterData", "PrinterDataSize", "PrinterHT"}));
    EXPECT_EQ(values[2], Json::parse(R"({"name": "PrinterDataSize", "type": "REG_DWORD", "size": 4, "hex": "24000000"})"));
    EXPECT_EQ(Lblctl({"printer", "data", "Data", "PrinterHT"}).out, "00000000\n");
    EXPECT_EQ(Lblctl({"printer", "data", "Data", "Missing"}).status, 1);
    const std::string three = WriteFile("three.bin", "abc");
    EXPECT_EQ(Lblctl({"printer", "data", "Data", "X", "--write", three, "--type", "REG_DWORD"}).status, 1);
}

TEST(LblctlDriver, FormsListAddDelete)
{
    Json forms = Json::parse(Lblctl({"forms", "list", "--json"}).out);
    ASSERT_GE(forms.size(), 9u);
    EXPECT_EQ(forms[8]["number"], 9);
    EXPECT_EQ(forms[8]["pName"], "A4");
    EXPECT_EQ(forms[8]["Flags"], "FORM_BUILTIN");
    EXPECT_EQ(forms[8]["Size"], Json::parse("[210000, 297000]"));
    EXPECT_EQ(forms[8]["ImageableArea"], Json::parse("[0, 0, 210000, 297000]"));

    ASSERT_EQ(Lblctl({"forms", "add", "Tag 40x20", "40000", "20000"}).status, 0);
    ASSERT_EQ(Lblctl({"forms", "add", "Tag 30x10", "30000", "10000", "--printer-form"}).status, 0);
    EXPECT_EQ(FormFlags("Tag 40x20"), "FORM_USER");
    EXPECT_EQ(FormFlags("Tag 30x10"), "FORM_PRINTER");
    EXPECT_EQ(Lblctl({"forms", "add", "Tag 40x20", "1", "1"}).status, 1);
    EXPECT_EQ(Lblctl({"forms", "delete", "A4"}).err, "lblctl: form \"A4\" is built in\n");
    ASSERT_EQ(Lblctl({"forms", "delete", "Tag 40x20"}).status, 0);
    EXPECT_EQ(FormFlags("Tag 40x20"), "");
}

TEST(LblctlDriver, PpdListAndVersion)
{
    RunResult r = Lblctl({"ppd", "list", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    Json models = Json::parse(r.out);
    ASSERT_EQ(models.size(), 11u);
    EXPECT_EQ(models[3]["model"], 3);
    EXPECT_EQ(models[3]["name"], "LBL Model 3 Label Printer");
    EXPECT_EQ(models[3]["resolutions"], Json::parse("[203, 300]"));
    EXPECT_EQ(models[0]["color"], true);
    EXPECT_EQ(models[3]["width"], Json::parse("[10.0, 104.0]"));
    EXPECT_EQ(models[3]["height"], Json::parse("[6.0, 384.0]"));
    EXPECT_EQ(models[3]["heightWithExpansionRAM"], 833.2);
    EXPECT_THAT(Lblctl({"--version"}).out, HasSubstr("lblctl 0."));
}

}  // namespace
}  // namespace e2e
