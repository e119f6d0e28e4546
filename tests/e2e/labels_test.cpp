// lblctl labels export and import: the JSON form of the label database, the stored
// "LabelData" value and the spooler forms that follow it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "e2e/lblctl_run.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;
using Json = nlohmann::ordered_json;

Json StandardLabel(const std::string& name)
{
    Json ribbon = {{"dwRibbonSel1", 0}, {"dwRibbonSel2", 0}, {"bMotorAdj", 0}, {"lRewindAdj", 0}, {"lBackTensionAdj", 0}};
    return Json{{"szLabelName", name},
                {"lWidth", 80000},
                {"lHeight", 74200},
                {"lPitch", 762},
                {"iSensor", 0},
                {"iIssueSpeed", 0},
                {"iCutInterval", 0},
                {"lFeedAdj", 0},
                {"lCutPosAdj", 0},
                {"lBackFeedAdj", 0},
                {"lStopPosAdj", 0},
                {"lAutoFeed", 100},
                {"lAutoFeed2", 167},
                {"alDensAdj", {0, 0, 0, 0}},
                {"alPosAdj", {0, 0, 0, 0, 0, 0, 0, 0}},
                {"iIssueMode", 0},
                {"aRibbon", {ribbon, ribbon, ribbon, ribbon}}};
}

class LblctlLabels : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunResult add = Lblctl({"printer", "add", name, "--ppd", TestPpd()});
        ASSERT_EQ(add.status, 0) << add.err;
    }
    void TearDown() override { Lblctl({"printer", "remove", name}); }

    Json Export()
    {
        RunResult r = Lblctl({"labels", "export", name});
        EXPECT_EQ(r.status, 0) << r.err;
        return Json::parse(r.out, nullptr, false);
    }
    RunResult Import(const Json& labels) { return Import(labels.dump()); }
    RunResult Import(const std::string& text) { return Lblctl({"labels", "import", name, WriteFile("in.json", text)}); }

    std::string name = "Stock";
};

TEST_F(LblctlLabels, NewPrinterExportsTheStandardLabel)
{
    RunResult r = Lblctl({"labels", "export", name});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, R"([
  {
    "szLabelName": "Stock Standard Label",
    "lWidth": 80000,
    "lHeight": 74200,
    "lPitch": 762,
    "iSensor": 0,
    "iIssueSpeed": 0,
    "iCutInterval": 0,
    "lFeedAdj": 0,
    "lCutPosAdj": 0,
    "lBackFeedAdj": 0,
    "lStopPosAdj": 0,
    "lAutoFeed": 100,
    "lAutoFeed2": 167,
    "alDensAdj": [0, 0, 0, 0],
    "alPosAdj": [0, 0, 0, 0, 0, 0, 0, 0],
    "iIssueMode": 0,
    "aRibbon": [
      {"dwRibbonSel1": 0, "dwRibbonSel2": 0, "bMotorAdj": 0, "lRewindAdj": 0, "lBackTensionAdj": 0},
      {"dwRibbonSel1": 0, "dwRibbonSel2": 0, "bMotorAdj": 0, "lRewindAdj": 0, "lBackTensionAdj": 0},
      {"dwRibbonSel1": 0, "dwRibbonSel2": 0, "bMotorAdj": 0, "lRewindAdj": 0, "lBackTensionAdj": 0},
      {"dwRibbonSel1": 0, "dwRibbonSel2": 0, "bMotorAdj": 0, "lRewindAdj": 0, "lBackTensionAdj": 0}
    ]
  }
]
)");
    EXPECT_EQ(Json::parse(r.out), Json::array({StandardLabel("Stock Standard Label")}));
}

TEST(LblctlLabelsLongName, StandardLabelNameIsCutTo31Characters)
{
    std::string longName(40, 'P');
    ASSERT_EQ(Lblctl({"printer", "add", longName, "--ppd", TestPpd()}).status, 0);
    RunResult r = Lblctl({"labels", "export", longName});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out)[0]["szLabelName"], std::string(31, 'P'));
    Lblctl({"printer", "remove", longName});
}

TEST_F(LblctlLabels, ImportRoundTripsEveryFieldTheEditorShows)
{
    // Model 1, monochrome: every control of its editor away from the standard label.
    Json labels = Json::array({StandardLabel("Stock Standard Label"), StandardLabel("Tag 50x30 \xC3\xA9t\xC3\xA9")});
    Json& tag = labels[1];
    tag["lWidth"] = 50000;
    tag["lHeight"] = 30000;
    tag["lPitch"] = 350;
    tag["iSensor"] = 2;
    tag["iIssueSpeed"] = 1;
    tag["iCutInterval"] = 999;
    tag["lFeedAdj"] = -500;
    tag["lCutPosAdj"] = 500;
    tag["lBackFeedAdj"] = -99;
    tag["lAutoFeed"] = 2000;
    tag["alDensAdj"] = {-10, 0, 0, 0};
    tag["iIssueMode"] = 1;
    tag["aRibbon"][0]["lRewindAdj"] = -15;
    tag["aRibbon"][0]["lBackTensionAdj"] = -7;
    labels.push_back(StandardLabel("Third"));
    labels[2]["aRibbon"][0]["dwRibbonSel1"] = 1;

    RunResult r = Import(labels);
    ASSERT_EQ(r.status, 0) << r.err;
    Json exported = Export();
    EXPECT_EQ(exported, labels);

    auto stored = PrinterValue(name, "LabelData");
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->size(), 4u + 3 * 248u);
    EXPECT_EQ(Dword(*stored, 0), 3u);
    EXPECT_EQ(Dword(*stored, 4 + 248 + 68), 50000u);    // lWidth of the second label
    EXPECT_EQ(Dword(*stored, 4 + 496 + 168), 1u);       // aRibbon[0].dwRibbonSel1 of the third

    RunResult first = Lblctl({"labels", "export", name});
    ASSERT_EQ(Import(first.out).status, 0);
    EXPECT_EQ(Lblctl({"labels", "export", name}).out, first.out);
    EXPECT_EQ(PrinterValue(name, "LabelData"), stored);
}

TEST_F(LblctlLabels, FieldsNotGivenTakeTheStandardValues)
{
    RunResult r = Import(std::string(R"([{"lWidth": 50000}, {"szLabelName": "B", "lAutoFeed": 300}])"));
    ASSERT_EQ(r.status, 0) << r.err;
    Json labels = Export();
    Json first = StandardLabel("Stock Standard Label");
    first["lWidth"] = 50000;
    Json second = StandardLabel("B");
    second["lAutoFeed"] = 300;
    EXPECT_EQ(labels, Json::array({first, second}));
}

TEST_F(LblctlLabels, FormsAreBroughtIntoLine)
{
    Json a = StandardLabel("Form A"), b = StandardLabel("Form B");
    a["lWidth"] = 50000;
    a["lHeight"] = 30000;
    a["lPitch"] = 350;
    b["lWidth"] = 60000;
    b["lHeight"] = 40000;
    b["lPitch"] = 450;
    ASSERT_EQ(Import(Json::array({StandardLabel("Stock Standard Label"), a, b})).status, 0);
    auto formA = FindForm("Form A");
    ASSERT_TRUE(formA);
    EXPECT_EQ(formA->flags, FORM_PRINTER);
    EXPECT_EQ(formA->size.cx, 50000);
    EXPECT_EQ(formA->size.cy, 30000);
    EXPECT_EQ(formA->area.right, 50000);
    EXPECT_EQ(formA->area.bottom, 30000);
    ASSERT_TRUE(FindForm("Form B"));

    a["lWidth"] = 55000;
    ASSERT_EQ(Import(Json::array({StandardLabel("Stock Standard Label"), a})).status, 0);
    formA = FindForm("Form A");
    ASSERT_TRUE(formA);
    EXPECT_EQ(formA->size.cx, 55000);
    EXPECT_EQ(formA->area.right, 55000);
    EXPECT_EQ(formA->flags, FORM_PRINTER);
    EXPECT_FALSE(FindForm("Form B"));

    ASSERT_EQ(Import(Json::array({a})).status, 0);
    EXPECT_FALSE(FindForm("Stock Standard Label"));
    EXPECT_TRUE(FindForm("Form A"));
}

TEST_F(LblctlLabels, RefusedFilesWriteNothing)
{
    Json two = Json::array({StandardLabel("Stock Standard Label"), StandardLabel("Kept")});
    ASSERT_EQ(Import(two).status, 0);
    auto before = PrinterValue(name, "LabelData");

    Json many = Json::array();
    for (int i = 0; i < 31; ++i) many.push_back(Json{{"szLabelName", "L" + std::to_string(i)}});
    struct Case {
        std::string file;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"[{\"lWidth\": 1}", "not valid JSON"},
        {R"({"szLabelName": "A"})", "not a JSON array"},
        {"[]", "no labels"},
        {many.dump(), "31 labels"},
        {R"([{"szLabelName": "A"}, 7])", "label 2: not an object"},
        {R"([{"szLabelName": "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"}])", "field szLabelName: longer than 31"},
        {R"([{"szLabelName": ""}])", "field szLabelName: empty"},
        {R"([{"szLabelName": 5}])", "label 1: field szLabelName: not a string"},
        {R"([{"szLabelName": "A"}, {"szLabelName": "A"}])", "label 2 \"A\": field szLabelName"},
        {R"([{"szLabelName": "A", "lWidht": 1}])", "label 1 \"A\": field lWidht: unknown field"},
        {R"([{"szLabelName": "A"}, {"szLabelName": "B", "lWidth": 1.5}])", "label 2 \"B\": field lWidth: not a 32-bit"},
        {R"([{"szLabelName": "A", "lHeight": "100"}])", "field lHeight: not a 32-bit integer"},
        {R"([{"szLabelName": "A", "lPitch": true}])", "field lPitch: not a 32-bit integer"},
        {R"([{"szLabelName": "A", "lPitch": 2147483648}])", "field lPitch: out of range"},
        {R"([{"szLabelName": "A", "lPitch": -2147483649}])", "field lPitch: out of range"},
        {R"([{"szLabelName": "A", "lPitch": 1e3}])", "field lPitch: not a 32-bit integer"},
        {R"([{"szLabelName": "A", "alDensAdj": [1, 2, 3]}])", "field alDensAdj: not an array of 4"},
        {R"([{"szLabelName": "A", "alPosAdj": [1, 2, 3, 4, 5, 6, 7, 9999999999]}])", "field alPosAdj[7]: out of range"},
        {R"([{"szLabelName": "A", "aRibbon": [{}, {}, {}]}])", "field aRibbon: not an array of 4"},
        {R"([{"szLabelName": "A", "aRibbon": [{}, {"dwRibbonSel1": -1}, {}, {}]}])", "field aRibbon[1].dwRibbonSel1: out of range"},
        {R"([{"szLabelName": "A", "aRibbon": [{}, {}, {"lRewind": 1}, {}]}])", "field aRibbon[2].lRewind: unknown field"},
        {R"([{"szLabelName": "A", "cbSize": 247}])", "field cbSize"},
    };
    for (const auto& c : cases) {
        RunResult r = Import(c.file);
        EXPECT_EQ(r.status, 1) << c.file;
        EXPECT_THAT(r.err, HasSubstr(c.message)) << c.file;
        EXPECT_EQ(LineCount(r.err), 1) << r.err;
    }
    RunResult missing = Lblctl({"labels", "import", name, SpoolDir() + "/no-such.json"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_THAT(missing.err, HasSubstr("cannot be read"));

    EXPECT_EQ(PrinterValue(name, "LabelData"), before);
    EXPECT_TRUE(FindForm("Kept"));
    EXPECT_FALSE(FindForm("A"));
    EXPECT_FALSE(FindForm("L0"));
}

TEST_F(LblctlLabels, ImportReadsStandardInput)
{
    RunResult r = Lblctl({"labels", "import", name, "-"}, R"([{"szLabelName": "Piped"}])");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Export()[0]["szLabelName"], "Piped");
}

}  // namespace
}  // namespace e2e
