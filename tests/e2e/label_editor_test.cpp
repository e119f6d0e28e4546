// lblctl labels add, update, delete, import and fields acting in the label
// editor: the database and the forms follow, the driver's messages and the
// editor's limits refuse a change, and a refused change leaves everything as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include <nlohmann/json.hpp>

#include "e2e/lblctl_run.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;
using Json = nlohmann::ordered_json;

class LabelEditorCommands : public ::testing::Test {
protected:
    void SetUp() override { AddPrinter(name, 1); }
    void TearDown() override
    {
        for (const auto& p : printers) Lblctl({"printer", "remove", p});
    }
    void AddPrinter(const std::string& printer, int model)
    {
        RunResult add = Lblctl({"printer", "add", printer, "--ppd", TestPpd(model)});
        ASSERT_EQ(add.status, 0) << add.err;
        printers.push_back(printer);
    }
    Json Export(const std::string& printer)
    {
        RunResult r = Lblctl({"labels", "export", printer});
        EXPECT_EQ(r.status, 0) << r.err;
        return Json::parse(r.out, nullptr, false);
    }
    Json Find(const std::string& printer, const std::string& label)
    {
        for (const auto& l : Export(printer))
            if (l["szLabelName"] == label) return l;
        return Json();
    }
    // Runs a command that must be refused: exit 1, one line, nothing stored.
    std::string Refused(const std::vector<std::string>& args)
    {
        auto before = PrinterValue(name, "LabelData");
        RunResult r = Lblctl(args);
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_EQ(LineCount(r.err), 1) << r.err;
        EXPECT_EQ(PrinterValue(name, "LabelData"), before);
        return r.err;
    }

    std::string name = "Shelf";
    std::vector<std::string> printers;
};

TEST_F(LabelEditorCommands, AddUpdateAndDeleteStoreTheLabelAndItsFormFollows)
{
    RunResult add = Lblctl({"labels", "add", name, "Box", "lWidth=50mm", "lHeight=3cm", "lPitch=350",
                            "lFeedAdj=-2.5mm", "alDensAdj[0]=3", "iIssueMode=1"});
    ASSERT_EQ(add.status, 0) << add.err;
    Json box = Find(name, "Box");
    ASSERT_TRUE(box.is_object());
    EXPECT_EQ(box["lWidth"], 50000);
    EXPECT_EQ(box["lHeight"], 30000);
    EXPECT_EQ(box["lPitch"], 350);
    EXPECT_EQ(box["lFeedAdj"], -25);
    EXPECT_EQ(box["alDensAdj"], Json({3, 0, 0, 0}));
    EXPECT_EQ(box["iIssueMode"], 1);
    EXPECT_EQ(box["lAutoFeed"], 100);  // from the first label, the starting point
    auto form = FindForm("Box");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->size.cx, 50000);
    EXPECT_EQ(form->size.cy, 30000);

    // --from starts from another label: its values carry over.
    ASSERT_EQ(Lblctl({"labels", "add", name, "Box 2", "--from", "Box", "lPitch=1.4in"}).status, 1);
    RunResult second = Lblctl({"labels", "add", name, "Box 2", "--from", "Box", "lPitch=35.6mm"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(Find(name, "Box 2")["lWidth"], 50000);
    EXPECT_EQ(Find(name, "Box 2")["lPitch"], 356);

    RunResult update = Lblctl({"labels", "update", name, "Box", "--rename", "Crate", "lHeight=40mm", "lPitch=45mm",
                               "aRibbon[0].lRewindAdj=-5"});
    ASSERT_EQ(update.status, 0) << update.err;
    EXPECT_FALSE(FindForm("Box"));
    form = FindForm("Crate");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->size.cy, 40000);
    Json labels = Export(name);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[1]["szLabelName"], "Crate");  // in the place of the label it was
    EXPECT_EQ(labels[1]["aRibbon"][0]["lRewindAdj"], -5);

    RunResult del = Lblctl({"labels", "delete", name, "Crate"});
    ASSERT_EQ(del.status, 0) << del.err;
    EXPECT_FALSE(FindForm("Crate"));
    EXPECT_TRUE(FindForm("Box 2"));
    EXPECT_EQ(Export(name).size(), 2u);
}

TEST_F(LabelEditorCommands, RefusalsNameTheLabelTheFieldTheAllowedValuesAndTheModel)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        // The driver's own messages, word for word, after the label's name.
        {{"add", name, "Box", "lWidth=5mm"}, "lblctl: label \"Box\": Label width is 100~800\n"},
        {{"add", name, "Box", "lHeight=30mm"}, "lblctl: label \"Box\": Label Pitch is 320~500\n"},
        {{"add", name, "Shelf Standard Label"}, "label \"Shelf Standard Label\": printer \"Shelf\" has a label of that name"},
        {{"delete", name, "Shelf Standard Label"}, "lblctl: label \"Shelf Standard Label\": Can't delete.\n"},
        // What the editor cannot show.
        {{"add", name, "Box", "lWidth=50.05mm"}, "lWidth: 50050 is not a whole 0.1 mm"},
        {{"add", name, "Box", "lFeedAdj=-0.25mm"}, "lFeedAdj: \"-0.25mm\" is not a whole 0.1mm"},
        {{"add", name, "Box", "alDensAdj[0]=11"}, "alDensAdj[0]: 11 is not allowed; allowed -10..10 on model 1"},
        {{"add", name, "Box", "lFeedAdj=501"}, "allowed -500..500 on model 1"},
        {{"add", name, "Box", "iSensor=4"}, "allowed 0 (No Sensor), 1 (Reflective Sensor)"},
        {{"add", name, "Box", "lWidth=10000mm"}, "lWidth: 10000000 is not allowed; allowed 10000..80000 on model 1"},
        {{"add", name, "Box", "lStopPosAdj=2"}, "lStopPosAdj: the label editor has no control for it on model 1"},
        {{"add", name, "Box", "alPosAdj[5]=-20"}, "alPosAdj[5]: the label editor has no control for it on model 1"},
        {{"add", name, "Box", "aRibbon[2].lRewindAdj=-5"}, "aRibbon[2].lRewindAdj: the label editor has no control"},
        {{"add", name, "Box", "aRibbon[0].dwRibbonSel1=1", "aRibbon[0].lRewindAdj=-5"},
         "aRibbon[0].lRewindAdj: the label editor disables it while \"Without Ribbon\" is checked on model 1"},
        {{"add", name, "Box", "iSensor=1mm"}, "iSensor: \"1mm\" is not a length"},
        {{"add", name, "Box", "lWidth=5furlong"}, "unknown unit"},
        {{"add", name, "Box", "lWidht=5"}, "unknown field \"lWidht\""},
        {{"add", name, "Box", "--from", "Nothing"}, "printer \"Shelf\" has no label \"Nothing\""},
        {{"update", name, "Nothing", "lPitch=400"}, "has no label \"Nothing\""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"labels"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_THAT(Refused(args), HasSubstr(c.message)) << args[1] << " " << args.back();
    }
    EXPECT_FALSE(FindForm("Box"));
}

TEST_F(LabelEditorCommands, ImportKeepsTheFilesOrderAndARefusalLeavesDatabaseAndForms)
{
    ASSERT_EQ(Lblctl({"labels", "add", name, "Old", "lWidth=60mm"}).status, 0);
    const Json standard = Export(name)[0];
    Json a = standard, b = standard, c = standard;
    a["szLabelName"] = "A";
    a["lWidth"] = 40000;
    b["szLabelName"] = "Old";
    b["lHeight"] = 50000;
    b["lPitch"] = 700;
    c["szLabelName"] = "C";
    RunResult r = Lblctl({"labels", "import", name, WriteFile("order.json", Json::array({c, b, a}).dump())});
    ASSERT_EQ(r.status, 0) << r.err;
    Json labels = Export(name);
    EXPECT_EQ(labels, Json::array({c, b, a}));
    EXPECT_FALSE(FindForm("Shelf Standard Label"));
    EXPECT_EQ(FindForm("Old")->size.cy, 50000);
    EXPECT_TRUE(FindForm("A"));

    // The second label is too narrow for model 1; a third with a value the editor
    // cannot set would be refused too, but the first refusal is reported.
    const auto before = PrinterValue(name, "LabelData");
    Json narrow = standard, hidden = standard;
    narrow["szLabelName"] = "Narrow";
    narrow["lWidth"] = 5000;
    hidden["szLabelName"] = "Hidden";
    hidden["lStopPosAdj"] = 4;
    r = Lblctl({"labels", "import", name, WriteFile("bad.json", Json::array({a, narrow, hidden}).dump())});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "lblctl: label \"Narrow\": Label width is 100~800\n");
    EXPECT_EQ(PrinterValue(name, "LabelData"), before);
    EXPECT_TRUE(FindForm("C"));
    EXPECT_TRUE(FindForm("Old"));
    EXPECT_FALSE(FindForm("Narrow"));

    r = Lblctl({"labels", "import", name, WriteFile("hidden.json", Json::array({a, hidden}).dump())});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("label \"Hidden\": lStopPosAdj=4 cannot be set (it keeps 0) in the label editor on "
                                 "model 1; nothing was stored"));
    EXPECT_EQ(PrinterValue(name, "LabelData"), before);
    EXPECT_TRUE(FindForm("C"));
    EXPECT_FALSE(FindForm("Hidden"));
}

TEST_F(LabelEditorCommands, AFormStaysWhileAnotherPrintersLabelBearsItsName)
{
    AddPrinter("Bench", 1);
    ASSERT_EQ(Lblctl({"labels", "add", name, "Shared", "lWidth=50mm"}).status, 0);
    // The editor refuses a name that another printer's form holds.
    RunResult r = Lblctl({"labels", "add", "Bench", "Shared"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("label \"Shared\": "));
    // A database stored before names were checked shares it.
    auto stored = PrinterValue(name, "LabelData");
    ASSERT_TRUE(stored);
    ASSERT_TRUE(SetPrinterValue("Bench", "LabelData", *stored));

    ASSERT_EQ(Lblctl({"labels", "delete", name, "Shared"}).status, 0);
    EXPECT_TRUE(FindForm("Shared"));  // still the label of "Bench"
    ASSERT_EQ(Lblctl({"labels", "delete", "Bench", "Shared"}).status, 0);
    EXPECT_FALSE(FindForm("Shared"));
}

TEST_F(LabelEditorCommands, FieldsListWhatTheModelsEditorOffers)
{
    AddPrinter("Zero", 0);
    AddPrinter("Seven", 7);
    auto fields = [&](const std::string& printer) {
        RunResult r = Lblctl({"labels", "fields", printer, "--json"});
        EXPECT_EQ(r.status, 0) << r.err;
        std::map<std::string, Json> byName;
        for (const auto& f : Json::parse(r.out, nullptr, false)) byName[f["field"]] = f;
        return byName;
    };
    auto one = fields(name);
    ASSERT_TRUE(one.count("lWidth"));
    EXPECT_EQ(one["lWidth"]["unit"], "µm");
    EXPECT_EQ(one["lWidth"]["min"], 10000);
    EXPECT_EQ(one["lWidth"]["max"], 80000);
    EXPECT_EQ(one["lWidth"]["page"], "General");
    EXPECT_EQ(one["iIssueMode"]["choices"], Json({"Batch", "Strip"}));
    EXPECT_EQ(one["alDensAdj[0]"]["min"], -10);
    EXPECT_EQ(one["lAutoFeed"]["max"], 2000);
    EXPECT_FALSE(one.count("lAutoFeed2"));
    EXPECT_FALSE(one.count("lStopPosAdj"));
    EXPECT_FALSE(one.count("alPosAdj[0]"));  // a monochrome description has no colour pages
    EXPECT_FALSE(one.count("aRibbon[1].lRewindAdj"));
    EXPECT_EQ(one["aRibbon[0].lRewindAdj"]["min"], -15);

    auto zero = fields("Zero");
    EXPECT_FALSE(zero.count("iIssueMode"));  // hidden on model 0
    EXPECT_FALSE(zero.count("lAutoFeed"));
    EXPECT_EQ(zero["alDensAdj[0]"]["max"], 50);
    EXPECT_EQ(zero["aRibbon[3].lBackTensionAdj"]["page"], "Ribbon Options");  // enabled by the motor check box
    EXPECT_EQ(zero["lFeedAdj"]["min"], -300);

    auto seven = fields("Seven");
    EXPECT_FALSE(seven.count("lAutoFeed"));
    EXPECT_EQ(seven["lAutoFeed2"]["min"], 30);
    EXPECT_EQ(seven["lAutoFeed2"]["max"], 330);

    RunResult text = Lblctl({"labels", "fields", name});
    EXPECT_EQ(text.status, 0);
    EXPECT_THAT(text.out, HasSubstr("print darkness of black"));
    EXPECT_THAT(text.out, HasSubstr("model 1"));
}

}  // namespace
}  // namespace e2e
