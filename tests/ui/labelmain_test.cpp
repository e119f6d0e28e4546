// Page "General" of the label editor driven as a person would: the checks of a
// label against its model's limits with their messages, and add, update and delete.
#include <cstring>
#include <fstream>
#include <iterator>

#include "editor_fixture.h"

using namespace uitest;
using user::Desk;

namespace {

class GeneralPageTest : public EditorTest {
protected:
    // Types the fields given (name, then width, height, pitch in the page's units) and presses a button.
    static void Fill(Desk& d, std::u16string_view name, std::u16string_view width = {},
                     std::u16string_view height = {}, std::u16string_view pitch = {},
                     std::u16string_view cut = {})
    {
        d.Type(IDC_LABEL_NAME, name);
        if (!width.empty()) d.Type(IDC_LABEL_WIDTH, width);
        if (!height.empty()) d.Type(IDC_LABEL_HEIGHT, height);
        if (!pitch.empty()) d.Type(IDC_LABEL_PITCH, pitch);
        if (!cut.empty()) d.Type(IDC_LABEL_CUT, cut);
    }

    // The one box shown, with its text.
    std::u16string OnlyBox()
    {
        auto boxes = Boxes();
        EXPECT_EQ(boxes.size(), 1u);
        return boxes.empty() ? u"" : boxes[0].text;
    }
};

constexpr UINT kWarning = MB_OK | MB_ICONEXCLAMATION;

// A box the driver shows is a wait of its own: the script's next step answers it.
void Acknowledge(Desk& d) { d.Answer(IDOK); }

TEST_F(GeneralPageTest, LimitsOfWidthHeightAndPitchAreShownAndTheValueClamped)
{
    struct Case {
        int model;
        std::u16string width, height, pitch, cut;
        std::u16string message;
        LONG LABELDATA::*field;
        LONG clamped;
    } cases[] = {
        // Width 0.5 mm on model 0: the model's width limits, and the smallest width.
        {0, u"5", u"", u"", u"", u"Label width is 100~1000", &LABELDATA::lWidth, 10000},
        // Cut every 3 labels: the height limits of cut mode.
        {0, u"", u"150", u"", u"3", u"Label Height is 220~3000", &LABELDATA::lHeight, 22000},
        // Pitch at most 20.0 mm over the height, at least 2.0 mm.
        {1, u"", u"500", u"510", u"", u"Label Pitch is 520~700", &LABELDATA::lPitch, 520},
        {1, u"", u"500", u"701", u"", u"Label Pitch is 520~700", &LABELDATA::lPitch, 700},
        // Model 9 allows pitches up to 100.0 mm over the height.
        {9, u"", u"500", u"1501", u"", u"Label Pitch is 520~1500", &LABELDATA::lPitch, 1500},
        // Expansion RAM is off: the height stays below the smaller maximum.
        {1, u"", u"2561", u"", u"", u"Label Height is 60~2560", &LABELDATA::lHeight, 256000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::Narrow(c.message));
        OpenModel(c.model);
        user::Script s;
        s.Then([&](Desk& d) {
            Fill(d, u"Box", c.width, c.height, c.pitch, c.cut);
            d.Press(IDC_LABEL_ADD);
        });
        RunEditor();
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_EQ(boxes[0].caption, u"Label Add/Change");
        EXPECT_EQ(boxes[0].type, kWarning);
        EXPECT_EQ(ui_->labelWork.*c.field, c.clamped);
        EXPECT_EQ(Count(), 1u);
        CloseUi();
    }
}

TEST_F(GeneralPageTest, PitchesAtTheLimitsAreAccepted)
{
    OpenModel(9);
    user::Script s;
    s.Then([](Desk& d) {
        Fill(d, u"Long", u"", u"500", u"1500");
        d.Press(IDC_LABEL_ADD);
    });
    RunEditor();
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(Count(), 2u);
    EXPECT_EQ(ui_->pLabelDb[1].lPitch, 1500);
    EXPECT_EQ(ui_->pLabelDb[1].lHeight, 50000);
}

TEST_F(GeneralPageTest, CutIntervalNineNineNineOnlyOnModelsOtherThanZero)
{
    OpenModel(1);
    {
        user::Script s;
        s.Then([](Desk& d) {
            Fill(d, u"Job", u"", u"", u"", u"999");
            d.Press(IDC_LABEL_ADD);
        });
        RunEditor();
    }
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(Count(), 2u);
    EXPECT_EQ(ui_->pLabelDb[1].iCutInterval, 999);
    CloseUi();

    OpenModel(0);
    user::Script s;
    s.Then([](Desk& d) {
        Fill(d, u"Job", u"", u"", u"", u"999");
        d.Press(IDC_LABEL_ADD);
    });
    RunEditor();
    EXPECT_EQ(OnlyBox(), u"Cut interval is 0~100");
    EXPECT_EQ(ui_->labelWork.iCutInterval, 100);
    EXPECT_EQ(Count(), 1u);
}

TEST_F(GeneralPageTest, BlanksAroundANameAreRefusedAndRemoved)
{
    OpenModel(3);
    std::u16string shownAfter;
    user::Script s;
    s.Then([](Desk& d) {
        Fill(d, u" Box ");
        d.Press(IDC_LABEL_ADD);
    });
    s.Then(Acknowledge);
    s.Then([&](Desk& d) {
        // The corrected name is shown, and survives leaving the page.
        shownAfter = Text(d, IDC_LABEL_NAME);
        d.SwitchPage(1);
        d.SwitchPage(0);
        EXPECT_EQ(Text(d, IDC_LABEL_NAME), u"Box");
    });
    RunEditor();
    EXPECT_EQ(OnlyBox(), u"Invalid name");
    EXPECT_EQ(std::u16string(ui_->labelWork.szLabelName), u"Box");
    EXPECT_EQ(shownAfter, u"Box");
    EXPECT_EQ(Count(), 1u);
}

TEST_F(GeneralPageTest, EmptyAndBlankNamesAreInvalid)
{
    OpenModel(3);
    user::Script s;
    s.Then([](Desk& d) {
        Fill(d, u"");
        d.Press(IDC_LABEL_ADD);
    });
    s.Then(Acknowledge);
    s.Then([](Desk& d) {
        Fill(d, u"   ");
        d.Press(IDC_LABEL_ADD);
    });
    RunEditor();
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, u"Invalid name");
    EXPECT_EQ(boxes[1].text, u"Invalid name");
    EXPECT_EQ(ui_->labelWork.szLabelName[0], 0);
    EXPECT_EQ(Count(), 1u);
}

TEST_F(GeneralPageTest, AddingBeyondThirtyLabelsIsRefused)
{
    std::vector<LABELDATA> labels;
    for (int i = 0; i < 30; ++i) labels.push_back(Label(u"L" + platform::Widen(std::to_string(i))));
    OpenModel(3, labels);
    user::Script s;
    s.Then([](Desk& d) {
        Fill(d, u"Thirty-first");
        d.Press(IDC_LABEL_ADD);
    });
    RunEditor();
    EXPECT_EQ(OnlyBox(), u"Up to 30 kinds of paper can be entered including the standard labels");
    EXPECT_EQ(Count(), 30u);
}

TEST_F(GeneralPageTest, AddAppendsAndTheEditorStaysOpen)
{
    OpenModel(3);
    bool stillOpen = false;
    user::Script s;
    s.Then([](Desk& d) {
        Fill(d, u"Box", u"600", u"400", u"450");
        d.Press(IDC_LABEL_ADD);
    });
    s.Then([&](Desk& d) { stillOpen = d.What() == user::Waiting::PropertySheet; });
    RunEditor();
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(Names().size(), 2u);
    EXPECT_EQ(Names()[1], u"Box");
    EXPECT_EQ(ui_->pLabelDb[1].lWidth, 60000);
    EXPECT_EQ(ui_->pLabelDb[1].lHeight, 40000);
    EXPECT_EQ(ui_->pLabelDb[1].lPitch, 450);
    // The edited label was the first one: the rest of it is carried over.
    EXPECT_EQ(ui_->pLabelDb[1].lAutoFeed, ui_->pLabelDb[0].lAutoFeed);
}

TEST_F(GeneralPageTest, NamesOfOtherRecordsAndOfOtherFormsAreRefused)
{
    OpenModel(3, {Label(u"A"), Label(u"B")});
    user::Script s;
    s.Then([](Desk& d) {
        Fill(d, u"B");
        d.Press(IDC_LABEL_UPDATE);  // renaming A to B
    });
    s.Then(Acknowledge);
    s.Then([](Desk& d) {
        Fill(d, u"B");
        d.Press(IDC_LABEL_ADD);
    });
    s.Then(Acknowledge);
    s.Then([](Desk& d) {
        Fill(d, u"A4");  // a form of the spooler that is no label of this printer
        d.Press(IDC_LABEL_UPDATE);
    });
    RunEditor(0);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, u"Exist Same Label name");
    EXPECT_EQ(boxes[1].text, u"Exist Same Label name");
    EXPECT_EQ(boxes[2].text, u"Override");
    EXPECT_EQ(boxes[2].caption, u"New");
    EXPECT_EQ(boxes[2].owner, nullptr);
    EXPECT_EQ(boxes[2].type, static_cast<UINT>(MB_OK | MB_ICONQUESTION));
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"A", u"B"}));
}

TEST_F(GeneralPageTest, UpdateRenamesToANameTheSheetStartedWith)
{
    // B was a label when the sheet opened, so its form is this printer's: A may take the name once B is gone.
    OpenModel(3, {Label(u"A"), Label(u"B")});
    user::Script s;
    s.Then([](Desk& d) { d.Press(IDC_LABEL_DELETE); });
    s.Then([](Desk& d) { d.Answer(IDOK); });
    RunEditor(1);
    ASSERT_EQ(Names(), (std::vector<std::u16string>{u"A"}));
    user::Script s2;
    s2.Then([](Desk& d) {
        Fill(d, u"B", u"500");
        d.Press(IDC_LABEL_UPDATE);
    });
    RunEditor(0);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"B"}));
    EXPECT_EQ(ui_->pLabelDb[0].lWidth, 50000);
}

TEST_F(GeneralPageTest, DeleteAsksAndKeepsTheLastLabel)
{
    OpenModel(3, {Label(u"A"), Label(u"B")});
    user::Script s;
    s.Then([](Desk& d) { d.Press(IDC_LABEL_DELETE); });
    s.Then([](Desk& d) { d.Answer(IDCANCEL); });
    s.Then([](Desk& d) { d.Press(IDC_LABEL_DELETE); });
    s.Then([](Desk& d) { d.Answer(IDOK); });
    s.Then([](Desk& d) { d.Press(IDC_LABEL_DELETE); });  // A is the only one left
    RunEditor(1);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, u"Delete 'B' ?");
    EXPECT_EQ(boxes[0].caption, u"Delete Label");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[1].text, u"Delete 'B' ?");
    EXPECT_EQ(boxes[2].text, u"Can't delete. \n");
    EXPECT_EQ(boxes[2].caption, u"Delete Label");
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"A"}));
}

TEST_F(GeneralPageTest, AfterDeletingTheLastRecordTheEditorWorksOnTheNewLast)
{
    OpenModel(3, {Label(u"A"), Label(u"B"), Label(u"C")});
    user::Script s;
    s.Then([](Desk& d) { d.Press(IDC_LABEL_DELETE); });
    s.Then([](Desk& d) { d.Answer(IDOK); });
    s.Then([](Desk& d) { d.Press(IDC_LABEL_DELETE); });  // the selection still says 2
    s.Then([](Desk& d) { d.Answer(IDOK); });
    RunEditor(2);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, u"Delete 'C' ?");
    EXPECT_EQ(boxes[1].text, u"Delete 'B' ?");
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"A"}));
}

TEST_F(GeneralPageTest, OkAsksWhetherToUpdateOrAdd)
{
    OpenModel(3, {Label(u"A"), Label(u"B")});
    {
        // Unchanged: nothing is asked and nothing changes.
        user::Script s;
        s.Then([](Desk& d) { d.Ok(); });
        RunEditor(1);
        EXPECT_TRUE(Boxes().empty());
        EXPECT_EQ(Names(), (std::vector<std::u16string>{u"A", u"B"}));
    }
    {
        user::Script s;
        s.Then([](Desk& d) {
            Fill(d, u"New");
            d.Ok();
        });
        s.Then([](Desk& d) { d.Answer(IDNO); });  // No: add
        RunEditor(1);
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, u"Do you want to update  'B' ?\n if [Yes] then Update?[No] then Add");
        EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
        EXPECT_EQ(Names(), (std::vector<std::u16string>{u"A", u"B", u"New"}));
    }
    {
        user::Script s;
        s.Then([](Desk& d) {
            Fill(d, u"Newer");
            d.Ok();
        });
        s.Then([](Desk& d) { d.Answer(IDYES); });  // Yes: update the selected record
        RunEditor(0);
        EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Newer", u"B", u"New"}));
    }
    {
        // Same name as the selected record but changed: replace it after asking.
        user::Script s;
        s.Then([](Desk& d) {
            Fill(d, u"B", u"700");
            d.Ok();
        });
        s.Then([](Desk& d) { d.Answer(IDCANCEL); });
        s.Then([](Desk& d) { d.Ok(); });
        s.Then([](Desk& d) { d.Answer(IDOK); });
        RunEditor(1);
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].text, u"Same name label exist. Do you want to replace update ?");
        EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
        EXPECT_EQ(ui_->pLabelDb[1].lWidth, 70000);
    }
}

TEST_F(GeneralPageTest, AnUnchangedAddDoesNotTurnALaterOkIntoAnAdd)
{
    OpenModel(3, {Label(u"A")});
    user::Script s;
    s.Then([](Desk& d) { d.Press(IDC_LABEL_ADD); });  // nothing changed: accepted, nothing added
    s.Then([](Desk& d) {
        Fill(d, u"Other");
        d.Ok();
    });
    s.Then([](Desk& d) { d.Answer(IDYES); });
    RunEditor(0);
    ASSERT_EQ(Boxes().size(), 1u);  // OK still asks
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Other"}));
}

TEST_F(GeneralPageTest, OutOfMemoryWhileAddingKeepsTheDatabase)
{
    OpenModel(3, {Label(u"A")});
    bool sawCantAdd = false;
    for (long n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        user::Script s;
        s.Then([&](Desk& d) {
            Fill(d, u"Box" + platform::Widen(std::to_string(n)));
            platform::FailNthAllocation(n);
            d.Press(IDC_LABEL_ADD);
            platform::FailNthAllocation(0);
        });
        const DWORD before = Count();
        RunEditor(0);
        auto boxes = Boxes();
        if (Count() == before) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, u"Can't Add");
            sawCantAdd = true;
        } else {
            EXPECT_EQ(Count(), before + 1);
            EXPECT_TRUE(boxes.empty());
        }
        EXPECT_EQ(std::u16string(ui_->pLabelDb[0].szLabelName), u"A");
    }
    EXPECT_TRUE(sawCantAdd);
}

TEST_F(GeneralPageTest, ControlsPerModel)
{
    OpenModel(8);
    std::vector<std::u16string> speeds;
    bool modeVisible = false;
    std::u16string width;
    user::Script s;
    s.Then([&](Desk& d) {
        speeds = d.Control(IDC_LABEL_SPEED).items;
        modeVisible = d.Control(IDC_LABEL_MODE).visible;
        width = Text(d, IDC_LABEL_WIDTH);
    });
    RunEditor();
    EXPECT_EQ(speeds, (std::vector<std::u16string>{u"101.6mm/sec", u"50.8mm/sec"}));
    EXPECT_TRUE(modeVisible);
    EXPECT_EQ(width, u"800");
    CloseUi();

    OpenModel(0);
    std::vector<std::u16string> sensors;
    bool modeLabelVisible = true;
    user::Script s0;
    s0.Then([&](Desk& d) {
        speeds = d.Control(IDC_LABEL_SPEED).items;
        sensors = d.Control(IDC_LABEL_SENSOR).items;
        modeVisible = d.Control(IDC_LABEL_MODE).visible;
        modeLabelVisible = d.Control(IDC_LABEL_MODE_TEXT).visible;
        d.Help(IDC_LABEL_CUT_UD);
    });
    RunEditor();
    EXPECT_EQ(speeds, (std::vector<std::u16string>{u"6inch/sec", u"4inch/sec"}));
    EXPECT_EQ(sensors.size(), 4u);
    EXPECT_EQ(sensors[3], u"Transmissive(with Manual Threshold Value)");
    EXPECT_FALSE(modeVisible);
    EXPECT_FALSE(modeLabelVisible);
    auto help = user::HelpRequests();
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0].command, HELP_WM_HELP);
    EXPECT_EQ(help[0].context, 3007u);
    EXPECT_EQ(help[0].file, std::u16string(ui_->pwstrHelpFile));
}

TEST_F(GeneralPageTest, PagesPerModelAndDescription)
{
    struct Case {
        std::string ppd;
        std::vector<WORD> templates;
    };
    std::string colour3 = ModelPpd(3);
    {
        std::ifstream in(colour3);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        text.replace(text.find("*ColorDevice: False"), 19, "*ColorDevice: True");
        colour3 = WritePpd("colour3.ppd", text);
    }
    const Case cases[] = {
        {ModelPpd(0), {228, 232, 233, 314, 234, 235}}, {ModelPpd(3), {228, 232, 233, 312}},
        {ModelPpd(2), {228, 232, 233}},                {ModelPpd(8), {228, 232, 233}},
        {colour3, {228, 232, 233, 312, 234, 235}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ppd);
        OpenPrinter(c.ppd);
        user::SheetState sheet;
        user::Script s;
        s.Then([&](Desk& d) { sheet = d.Sheet(); });
        RunEditor();
        EXPECT_EQ(sheet.title, u"Label Properties");
        EXPECT_FALSE(sheet.applyButton);
        std::vector<WORD> templates;
        for (const auto& page : sheet.pages) templates.push_back(page.templateId);
        EXPECT_EQ(templates, c.templates);
        CloseUi();
    }
}

}  // namespace
