// The slider pages of the label editor: ranges per model, value texts, the step
// arrows at the ends of a range, and what leaving a page stores.
#include "editor_fixture.h"

using namespace uitest;
using user::Desk;

namespace {

class SliderPageTest : public EditorTest {};

constexpr int kPosition = 1, kDensity = 2, kColorPos1 = 4, kColorPos2 = 5;

TEST_F(SliderPageTest, FeedStepsStopAtTheEndsOfTheModelsRange)
{
    OpenModel(0);
    std::vector<std::pair<int, std::u16string>> seen;
    int arrowAfter = -1;
    user::Script s;
    s.Then([&](Desk& d) {
        d.SwitchPage(kPosition);
        d.Slide(3020, 129);
        d.Step(3022, +1);
        seen.emplace_back(d.Control(3020).pos, Text(d, 3021));
        d.Step(3022, +1);  // 130 is the top on model 0
        seen.emplace_back(d.Control(3020).pos, Text(d, 3021));
        arrowAfter = d.Control(3022).pos;
        d.Slide(3020, -300);
        d.Step(3022, -1);
        seen.emplace_back(d.Control(3020).pos, Text(d, 3021));
        d.Slide(3020, -25);
        seen.emplace_back(d.Control(3020).pos, Text(d, 3021));
        d.Step(3022, -1);
        seen.emplace_back(d.Control(3020).pos, Text(d, 3021));
        d.SwitchPage(0);
    });
    RunEditor();
    using P = std::pair<int, std::u16string>;
    EXPECT_EQ(seen, (std::vector<P>{{130, u" 13.0mm"}, {130, u" 13.0mm"}, {-300, u"-30.0mm"}, {-25, u"-2.5mm"},
                                     {-26, u"-2.6mm"}}));
    EXPECT_EQ(arrowAfter, 1);  // the arrow is back in the middle after each click
    EXPECT_EQ(ui_->labelWork.lFeedAdj, -26);
}

TEST_F(SliderPageTest, RangesOfThePositionRowsPerModel)
{
    struct Case {
        int model;
        int feed[2], cut[2], back[2], autofeed[2];
    } cases[] = {
        {0, {-300, 130}, {-200, 200}, {-99, 99}, {0, 0}},
        {7, {-100, 100}, {-100, 100}, {-99, 99}, {30, 330}},
        {3, {-500, 500}, {-500, 500}, {-99, 99}, {30, 2000}},
        {10, {-500, 500}, {-500, 500}, {-99, 99}, {30, 2000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        OpenModel(c.model);
        user::ControlState feed, cut, back, autofeed, autofeedText;
        user::Script s;
        s.Then([&](Desk& d) {
            d.SwitchPage(kPosition);
            feed = d.Control(3020);
            cut = d.Control(3023);
            back = d.Control(3026);
            autofeed = d.Control(3032);
            autofeedText = d.Control(IDC_AUTOFEED_TEXT);
        });
        RunEditor();
        EXPECT_EQ(std::make_pair(feed.low, feed.high), std::make_pair(c.feed[0], c.feed[1]));
        EXPECT_EQ(std::make_pair(cut.low, cut.high), std::make_pair(c.cut[0], c.cut[1]));
        EXPECT_EQ(std::make_pair(back.low, back.high), std::make_pair(c.back[0], c.back[1]));
        EXPECT_EQ(autofeed.visible, c.model != 0);
        EXPECT_EQ(autofeedText.visible, c.model != 0);
        if (c.model != 0) EXPECT_EQ(std::make_pair(autofeed.low, autofeed.high), std::make_pair(c.autofeed[0], c.autofeed[1]));
        CloseUi();
    }
}

TEST_F(SliderPageTest, AutoFeedGoesToTheModelsOwnField)
{
    for (int model : {7, 3}) {
        SCOPED_TRACE(model);
        OpenModel(model);
        const LONG autofeed = ui_->labelWork.lAutoFeed, autofeed2 = ui_->labelWork.lAutoFeed2;
        std::u16string text;
        user::Script s;
        s.Then([&](Desk& d) {
            d.SwitchPage(kPosition);
            d.Slide(3032, 300);
            text = Text(d, 3033);
            d.SwitchPage(0);
        });
        RunEditor();
        EXPECT_EQ(text, u" 30.0mm");
        EXPECT_EQ(ui_->labelWork.lAutoFeed, model == 7 ? autofeed : 300);
        EXPECT_EQ(ui_->labelWork.lAutoFeed2, model == 7 ? 300 : autofeed2);
        CloseUi();
    }
}

TEST_F(SliderPageTest, LeavingAPageStoresItsRowsAndZeroesTheRowsWithoutControls)
{
    LABELDATA l = Label(u"Inks");
    l.lStopPosAdj = 7;
    l.alDensAdj[0] = 3;
    l.alDensAdj[1] = l.alDensAdj[2] = l.alDensAdj[3] = 5;
    l.lAutoFeed = 120;
    OpenModel(0, {l});
    std::u16string density;
    std::pair<int, int> densityRange;
    user::Script s;
    s.Then([&](Desk& d) {
        d.SwitchPage(kDensity);
        density = Text(d, 3021);
        densityRange = {d.Control(3020).low, d.Control(3020).high};
        d.SwitchPage(kPosition);
        d.SwitchPage(0);
    });
    RunEditor();
    EXPECT_EQ(density, u"3");
    EXPECT_EQ(densityRange, std::make_pair(-50, 50));
    EXPECT_EQ(ui_->labelWork.alDensAdj[0], 3);
    EXPECT_EQ(ui_->labelWork.alDensAdj[1], 0);
    EXPECT_EQ(ui_->labelWork.alDensAdj[2], 0);
    EXPECT_EQ(ui_->labelWork.alDensAdj[3], 0);
    EXPECT_EQ(ui_->labelWork.lStopPosAdj, 0);
    // The auto feed row that model 0 hides keeps the label's value.
    EXPECT_EQ(ui_->labelWork.lAutoFeed, 120);
}

TEST_F(SliderPageTest, ColourPositionsInHundredthsOfAMillimetre)
{
    LABELDATA l = Label(u"Colours");
    l.alPosAdj[0] = -5;
    l.alPosAdj[7] = 200;
    OpenModel(0, {l});
    std::u16string black, yellowSub, magenta;
    std::pair<int, int> range;
    user::Script s;
    s.Then([&](Desk& d) {
        d.SwitchPage(kColorPos1);
        black = Text(d, 3021);
        range = {d.Control(3026).low, d.Control(3026).high};
        d.Slide(3026, -200);
        magenta = Text(d, 3027);
        d.Step(3031, +1);  // magenta sub scan
        d.SwitchPage(kColorPos2);
        yellowSub = Text(d, 3030);
        d.Step(3031, +1);  // at the top already
        d.SwitchPage(0);
    });
    RunEditor();
    EXPECT_EQ(black, u"-0.05mm");
    EXPECT_EQ(range, std::make_pair(-200, 200));
    EXPECT_EQ(magenta, u"-2.00mm");
    EXPECT_EQ(yellowSub, u" 2.00mm");
    EXPECT_EQ(ui_->labelWork.alPosAdj[2], -200);
    EXPECT_EQ(ui_->labelWork.alPosAdj[3], 1);
    EXPECT_EQ(ui_->labelWork.alPosAdj[7], 200);
}

TEST_F(SliderPageTest, ContextHelpPerPage)
{
    OpenModel(0);
    user::Script s;
    s.Then([&](Desk& d) {
        d.SwitchPage(kPosition);
        d.Help(3034);
        d.Help(3025);
        d.SwitchPage(kDensity);
        d.Help(4000);
        d.SwitchPage(kColorPos1);
        d.Help(4005);
        d.Help(3026);
    });
    RunEditor();
    std::vector<DWORD> contexts;
    for (const auto& h : user::HelpRequests()) contexts.push_back(h.context);
    EXPECT_EQ(contexts, (std::vector<DWORD>{3024, 3021, 3040, 3081, 3380}));
}

}  // namespace
