// Message boxes, the colour dialog and help requests with and without an agent.
#include <gtest/gtest.h>

#include "user/dialogs.h"
#include "user/driving.h"

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { user::ClearRecords(); }
};

TEST_F(MessageBoxTest, AgentSeesTheBoxAndAnswersWithOneOfItsButtons)
{
    user::Script person;
    person.Then([](user::Desk& d) {
        ASSERT_EQ(d.What(), user::Waiting::MessageBox);
        EXPECT_EQ(d.Box().text, u"Delete 'Box' ?");
        EXPECT_EQ(d.Box().caption, u"Delete Label");
        EXPECT_EQ(d.Box().type, MB_OKCANCEL | MB_ICONEXCLAMATION);
        EXPECT_FALSE(d.Answer(IDYES));  // not a button of this box
        EXPECT_TRUE(d.Answer(IDCANCEL));
        EXPECT_FALSE(d.Answer(IDOK));  // answered already
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Delete 'Box' ?", "Delete Label", MB_OKCANCEL | MB_ICONEXCLAMATION), IDCANCEL);
    auto boxes = user::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].answer, IDCANCEL);
}

TEST_F(MessageBoxTest, UnansweredBoxesAreDismissedAsEscapeWould)
{
    EXPECT_EQ(MessageBoxA(nullptr, "a", "t", MB_OK | MB_ICONEXCLAMATION), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "b", "t", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "c", "t", MB_YESNOCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "d", "t", MB_YESNO), IDNO);
    {
        user::Script idle;  // installed, but has no step for the box
        EXPECT_EQ(MessageBoxA(nullptr, "e", "t", MB_OKCANCEL), IDCANCEL);
    }
    EXPECT_EQ(MessageBoxA(nullptr, "f", "t", 0x0F), 0);  // no such button set
    EXPECT_EQ(user::MessageBoxes().size(), 5u);
    EXPECT_EQ(user::MessageBoxes()[2].text, u"c");
}

TEST_F(MessageBoxTest, ColourIsPickedOrCancelled)
{
    COLORREF custom[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.rgbResult = 0x00123456;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT;
    EXPECT_FALSE(ChooseColorW(&cc));  // nobody there: cancelled
    EXPECT_EQ(cc.rgbResult, 0x00123456u);

    user::Script person;
    person.Then([](user::Desk& d) {
        EXPECT_EQ(d.What(), user::Waiting::ColorDialog);
        EXPECT_EQ(d.InitialColor(), 0x00123456u);
        d.PickColor(0xFF0000FF);
    });
    person.Then([](user::Desk& d) { d.CancelColor(); });
    EXPECT_TRUE(ChooseColorW(&cc));
    EXPECT_EQ(cc.rgbResult, 0x000000FFu);
    EXPECT_FALSE(ChooseColorW(&cc));
    EXPECT_EQ(cc.rgbResult, 0x000000FFu);

    cc.lStructSize = 4;
    EXPECT_FALSE(ChooseColorW(&cc));
    EXPECT_NE(CommDlgExtendedError(), 0u);
}

TEST_F(MessageBoxTest, HelpRequestsAreRecorded)
{
    EXPECT_TRUE(WinHelpW(nullptr, u"/drivers/WQEN.hlp", HELP_FINDER, 0));
    EXPECT_TRUE(WinHelpW(nullptr, u"/drivers/WQEN.hlp", HELP_CONTEXT, 3020));
    EXPECT_FALSE(WinHelpW(nullptr, nullptr, HELP_CONTEXT, 1));
    auto help = user::HelpRequests();
    ASSERT_EQ(help.size(), 2u);
    EXPECT_EQ(help[0].file, u"/drivers/WQEN.hlp");
    EXPECT_EQ(help[0].command, HELP_FINDER);
    EXPECT_EQ(help[1].context, 3020u);
}

}  // namespace
