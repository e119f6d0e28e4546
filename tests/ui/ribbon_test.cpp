// The ribbon page of the label editor: slots on model 0, Restore Defaults, and
// printing without ribbon on the other models.
#include "editor_fixture.h"

using namespace uitest;
using user::Desk;

namespace {

class RibbonPageTest : public EditorTest {};

constexpr int kRibbon = 3;

TEST_F(RibbonPageTest, ModelZeroKeepsEachColoursAdjustmentInItsSlot)
{
    LABELDATA l = Label(u"Ribbons");
    l.aRibbon[2].lRewindAdj = -7;
    l.aRibbon[2].lBackTensionAdj = 4;
    OpenModel(0, {l});
    bool disabledAtFirst = false;
    std::u16string rewindText;
    int shownRewind = 0, shownTension = 0;
    std::vector<std::u16string> colours, types;
    user::Script s;
    s.Then([&](Desk& d) {
        d.SwitchPage(kRibbon);
        disabledAtFirst = !d.Control(3020).enabled && !d.Control(4043).enabled && !d.Control(4038).enabled;
        colours = d.Control(4038).items;
        types = d.Control(4017).items;
        d.Check(4020, true);
        d.Slide(3020, 12);
        rewindText = Text(d, 3021);
        d.Pick(4038, 2);  // Cyan
        shownRewind = d.Control(3020).pos;
        shownTension = d.Control(3023).pos;
        d.Slide(3023, -3);
        d.SwitchPage(0);
    });
    RunEditor();
    EXPECT_TRUE(disabledAtFirst);
    EXPECT_EQ(colours, (std::vector<std::u16string>{u"Black", u"Magenta", u"Cyan", u"Yellow"}));
    EXPECT_EQ(types, (std::vector<std::u16string>{u"RT-1(Standard)", u"RT-2(Super Premium)"}));
    EXPECT_EQ(rewindText, u"12");
    EXPECT_EQ(shownRewind, -7);
    EXPECT_EQ(shownTension, 4);
    EXPECT_EQ(ui_->labelWork.aRibbon[0].bMotorAdj, 1u);
    EXPECT_EQ(ui_->labelWork.aRibbon[0].lRewindAdj, 12);
    EXPECT_EQ(ui_->labelWork.aRibbon[2].lRewindAdj, -7);
    EXPECT_EQ(ui_->labelWork.aRibbon[2].lBackTensionAdj, -3);
}

TEST_F(RibbonPageTest, RestoreDefaultsFollowsRibbonTypeAndWidth)
{
    LABELDATA l = Label(u"Defaults");
    l.aRibbon[0].bMotorAdj = 1;
    l.aRibbon[1].lRewindAdj = 30;
    l.aRibbon[1].lBackTensionAdj = 30;
    OpenModel(0, {l});
    std::pair<int, int> shown;
    user::Script s;
    s.Then([&](Desk& d) {
        d.SwitchPage(kRibbon);
        d.Pick(4017, 1);  // RT-2
        d.Pick(4018, 1);  // 68 mm
        d.Pick(4038, 1);  // Magenta
        d.Press(4043);
        shown = {d.Control(3020).pos, d.Control(3023).pos};
        d.SwitchPage(0);
    });
    RunEditor();
    EXPECT_EQ(shown, std::make_pair(-20, -10));
    EXPECT_EQ(ui_->labelWork.aRibbon[0].dwRibbonSel1, 1u);
    EXPECT_EQ(ui_->labelWork.aRibbon[0].dwRibbonSel2, 1u);
    EXPECT_EQ(ui_->labelWork.aRibbon[1].lRewindAdj, -20);
    EXPECT_EQ(ui_->labelWork.aRibbon[1].lBackTensionAdj, -10);
}

TEST_F(RibbonPageTest, RestoreDefaultsWithAStaleRibbonTypeUsesTheFirstEntry)
{
    LABELDATA l = Label(u"Stale");
    l.aRibbon[0].bMotorAdj = 1;
    l.aRibbon[0].dwRibbonSel1 = 7;  // no entry of the list
    l.aRibbon[0].lRewindAdj = 9;
    OpenModel(0, {l});
    int typeSelection = 0;
    user::Script s;
    s.Then([&](Desk& d) {
        d.SwitchPage(kRibbon);
        typeSelection = d.Control(4017).selection;
        d.Press(4043);
        d.SwitchPage(0);
    });
    RunEditor();
    EXPECT_EQ(typeSelection, -1);
    EXPECT_EQ(ui_->labelWork.aRibbon[0].dwRibbonSel1, 0xFFFFFFFFu);  // a combo without selection stores -1
    EXPECT_EQ(ui_->labelWork.aRibbon[0].lRewindAdj, 0);
    EXPECT_EQ(ui_->labelWork.aRibbon[0].lBackTensionAdj, 0);
}

TEST_F(RibbonPageTest, PrintingWithoutRibbonDisablesTheAdjustment)
{
    OpenModel(3);
    bool typeDisabled = false, enabledBefore = false, disabledAfter = false;
    std::pair<int, int> range;
    user::Script s;
    s.Then([&](Desk& d) {
        d.SwitchPage(kRibbon);
        typeDisabled = !d.Control(4018).enabled && !d.Control(4003).enabled;
        enabledBefore = d.Control(3020).enabled && d.Control(3023).enabled;
        range = {d.Control(3020).low, d.Control(3020).high};
        d.Slide(3020, -4);
        d.Check(4017, true);
        disabledAfter = !d.Control(3020).enabled && !d.Control(3023).enabled;
        d.Help(4017);
        d.SwitchPage(0);
    });
    RunEditor();
    EXPECT_TRUE(typeDisabled);
    EXPECT_TRUE(enabledBefore);
    EXPECT_TRUE(disabledAfter);
    EXPECT_EQ(range, std::make_pair(-15, 0));
    EXPECT_EQ(ui_->labelWork.aRibbon[0].dwRibbonSel1, 1u);
    EXPECT_EQ(ui_->labelWork.aRibbon[0].lRewindAdj, -4);
    auto help = user::HelpRequests();
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0].context, 3065u);
}

TEST_F(RibbonPageTest, ModelTenChoosesTheRibbonType)
{
    OpenModel(10);
    bool withoutDisabled = false, adjustEnabled = false;
    std::vector<std::u16string> types;
    user::Script s;
    s.Then([&](Desk& d) {
        d.SwitchPage(kRibbon);
        withoutDisabled = !d.Control(4017).enabled;
        adjustEnabled = d.Control(3020).enabled;
        types = d.Control(4018).items;
        d.Pick(4018, 1);
        d.SwitchPage(0);
    });
    RunEditor();
    EXPECT_TRUE(withoutDisabled);
    EXPECT_TRUE(adjustEnabled);
    EXPECT_EQ(types, (std::vector<std::u16string>{u"RT-3", u"RT-4"}));
    EXPECT_EQ(ui_->labelWork.aRibbon[0].dwRibbonSel2, 1u);
}

}  // namespace
