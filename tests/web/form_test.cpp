// Reading posted forms against the view they were made on, the rows of a page,
// and the HTML of views: what a forged, stale or oversized form may not do.
#include <gtest/gtest.h>

#include "compstui/compstui.h"
#include "form.h"
#include "html.h"
#include "layout.h"
#include "render.h"
#include "user/msgbox.h"

namespace lblweb {
namespace {

using user::ControlClass;
using K = Action::Kind;

user::ControlState Ctl(WORD id, ControlClass kind, std::u16string text = u"")
{
    user::ControlState c;
    c.id = id, c.kind = kind, c.text = std::move(text);
    return c;
}

// A page shaped like the label editor's General page.
View EditorView()
{
    user::PageState page;
    page.title = u"General";
    page.templateId = 228;
    page.created = true;
    auto name = Ctl(3000, ControlClass::Edit, u"Box");
    name.limit = 31;
    auto width = Ctl(3001, ControlClass::Edit, u"800");
    width.limit = 4;
    auto combo = Ctl(4024, ControlClass::ComboBox);
    combo.items = {u"No Sensor", u"Gap"};
    combo.selection = 0;
    auto slider = Ctl(3020, ControlClass::Trackbar);
    slider.low = -50, slider.high = 50, slider.pos = 0;
    auto check = Ctl(4017, ControlClass::CheckBox, u"&Without Ribbon");
    auto hidden = Ctl(4018, ControlClass::ComboBox);
    hidden.visible = false;
    hidden.items = {u"A"};
    page.controls = {Ctl(0xFFFF, ControlClass::Static, u"Label &Name:"), name,
                     Ctl(0xFFFF, ControlClass::Static, u"&Width:"), width, Ctl(4027, ControlClass::UpDown),
                     Ctl(0xFFFF, ControlClass::Static, u"x0.1mm"), Ctl(3004, ControlClass::PushButton, u"&Add"),
                     Ctl(3007, ControlClass::PushButton, u"&Delete"), Ctl(0xFFFF, ControlClass::GroupBox, u"Cut Interval"),
                     Ctl(0xFFFF, ControlClass::Static, u"&each"), Ctl(0xFFFF, ControlClass::Static, u"Sens&or:"), combo,
                     Ctl(0xFFFF, ControlClass::Static, u"&Feed:"), slider, Ctl(3021, ControlClass::Static, u"0.0mm"),
                     check, hidden};
    View v;
    v.serial = 7;
    Frame f;
    f.what = user::Waiting::PropertySheet;
    f.sheet.title = u"Label Properties";
    f.sheet.applyButton = false;
    f.sheet.pages = {page, user::PageState{u"Position", 232, false, {}}};
    v.frames = {Frame{user::Waiting::CommonSheet}, f};
    return v;
}

TEST(ReadPost, OnlyChangedControlsBecomeActionsInPageOrderThenTheButton)
{
    const Post p = ReadPost(EditorView(), {{"c3000", "Box"}, {"c3001", "500"}, {"c4024", "1"}, {"c3020", "-25"},
                                           {"k4017", "1"}, {"c4017", "1"}, {"do", "press:3004"}});
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.actions.size(), 5u);
    EXPECT_EQ(p.actions[0].kind, K::Type);
    EXPECT_EQ(p.actions[0].text, u"500");
    EXPECT_EQ(p.actions[0].what, "\"Width\"");
    EXPECT_EQ(p.actions[1].kind, K::Pick);
    EXPECT_EQ(p.actions[1].value, 1);
    EXPECT_EQ(p.actions[2].kind, K::Slide);
    EXPECT_EQ(p.actions[2].value, -25);
    EXPECT_EQ(p.actions[3].kind, K::Check);
    EXPECT_EQ(p.actions[4].kind, K::Press);
    EXPECT_EQ(p.actions[4].target, 3004);
    for (const Action& a : p.actions) EXPECT_EQ(a.depth, 2u);
}

TEST(ReadPost, ACheckBoxIsClearedOnlyWhenTheFormShowedIt)
{
    View v = EditorView();
    v.frames.back().sheet.pages[0].controls[15].checked = true;
    EXPECT_TRUE(ReadPost(v, {}).actions.empty());
    const Post p = ReadPost(v, {{"k4017", "1"}});
    ASSERT_EQ(p.actions.size(), 1u);
    EXPECT_EQ(p.actions[0].kind, K::Check);
    EXPECT_EQ(p.actions[0].value, 0);
}

TEST(ReadPost, AFaultyValueRefusesTheWholeForm)
{
    const View v = EditorView();
    const std::string name300(300, 'N');
    for (const FormFields& bad : std::vector<FormFields>{
             {{"c3001", "500"}, {"c3000", name300}, {"do", "press:3004"}},  // over the edit's limit
             {{"c3001", "500"}, {"c4024", "2"}},                           // no such choice
             {{"c3020", "51"}},                                            // past the slider's range
             {{"c3020", "1e3"}},                                           // not a number
             {{"c3000", "\xC3\x28"}},                                      // not UTF-8
             {{"do", "press:4024"}},                                       // not a button
             {{"do", "press:4018"}},                                       // hidden
             {{"do", "step:4027:5"}},                                      // not an arrow
             {{"do", "apply"}},                                            // the sheet has no Apply
             {{"do", "page:2"}},                                           // no such page
             {{"do", std::string(100, 'x')}}}) {
        const Post p = ReadPost(v, bad);
        EXPECT_NE(p.error, "") << bad.begin()->first;
        EXPECT_TRUE(p.actions.empty()) << bad.begin()->first;
    }
    EXPECT_EQ(ReadPost(v, {{"c3000", name300}}).error,
              "\"Label Name\" takes at most 31 characters (300 given); nothing was changed.");
}

TEST(ReadPost, CommonSheetItemsAndTheirExtensions)
{
    user::ItemState list;
    list.index = 0, list.type = TVOT_LISTBOX, list.name = u"Label All", list.choices = {u"A", u"B"};
    list.extName = u"Edit", list.extIsPush = true;
    user::ItemState radio;
    radio.index = 1, radio.type = TVOT_2STATES, radio.name = u"Pass Through", radio.choices = {u"Without", u"With"};
    radio.extName = u"Spot", radio.flags = OPTIF_EXT_DISABLED, radio.extIsPush = true;
    user::ItemState disabled = radio;
    disabled.index = 2, disabled.flags = OPTIF_DISABLED;
    Frame f;
    f.what = user::Waiting::CommonSheet;
    f.items.items = {list, radio, disabled};
    View v;
    v.frames = {f};

    Post p = ReadPost(v, {{"i0", "1"}, {"i1", "1"}, {"i2", "1"}, {"do", "ext:0"}});
    ASSERT_EQ(p.error, "");
    ASSERT_EQ(p.actions.size(), 3u);  // the disabled item is not touched
    EXPECT_EQ(p.actions[0].kind, K::Select);
    EXPECT_EQ(p.actions[1].target, 1);
    EXPECT_EQ(p.actions[2].kind, K::PushExt);
    EXPECT_NE(ReadPost(v, {{"do", "ext:1"}}).error, "");  // its extension is disabled
    EXPECT_NE(ReadPost(v, {{"do", "push:0"}}).error, "");  // not a push button item
    EXPECT_NE(ReadPost(v, {{"i0", "2"}}).error, "");
}

TEST(ReadPost, MessageBoxesAndTheColourDialog)
{
    Frame box;
    box.what = user::Waiting::MessageBox;
    box.buttons = {IDOK, IDCANCEL};
    View v;
    v.frames = {box};
    EXPECT_EQ(ReadPost(v, {{"do", "answer:2"}}).actions.at(0).target, IDCANCEL);
    EXPECT_NE(ReadPost(v, {{"do", "answer:6"}}).error, "");

    Frame colour;
    colour.what = user::Waiting::ColorDialog;
    v.frames = {colour};
    const Post p = ReadPost(v, {{"do", "color"}, {"color", "#203040"}});
    ASSERT_EQ(p.actions.size(), 1u);
    EXPECT_EQ(p.actions[0].value, 0x403020);  // COLORREF is 0x00bbggrr
    EXPECT_NE(ReadPost(v, {{"do", "color"}, {"color", "#20304g"}}).error, "");
    EXPECT_NE(ReadPost(v, {{"do", "color"}, {"color", "203040"}}).error, "");
}

TEST(PageRows, CaptionsStartRowsAndAGroupEndsWithItsWording)
{
    const user::PageState page = EditorView().frames.back().sheet.pages[0];
    const auto rows = PageRows(page);
    // Name | Width+updown+unit | Add+Delete | [Cut Interval] | each | Sensor+combo | Feed+slider+text | check
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[1].controls, (std::vector<size_t>{2, 3, 4, 5}));
    EXPECT_EQ(rows[2].controls, (std::vector<size_t>{6, 7}));
    EXPECT_TRUE(rows[3].heading);
    EXPECT_TRUE(rows[4].inGroup);   // "each": the group's own row
    EXPECT_FALSE(rows[5].inGroup);  // "Sensor:" follows a row without a caption
    EXPECT_EQ(rows[6].controls, (std::vector<size_t>{12, 13, 14}));
    EXPECT_EQ(ControlName(page, 13), "\"Feed\"");
    EXPECT_EQ(ControlName(page, 6), "\"Add\"");
}

TEST(RenderView, TextsFromTheModelAreEscapedAndTheModalSheetIsInert)
{
    View v = EditorView();
    v.frames.back().sheet.pages[0].controls[1].text = u"<script>\"x\"</script>";
    Frame box;
    box.what = user::Waiting::MessageBox;
    box.box.caption = u"Label Add/Change";
    box.box.text = u"Label width is 100~1000\n& more";
    box.buttons = {IDOK};
    v.frames.push_back(box);
    const std::string html = RenderView(v, {"/p/lbl-settings", "tok\"en", "", ""});
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_NE(html.find("value=\"&lt;script&gt;&quot;x&quot;&lt;/script&gt;\""), std::string::npos);
    EXPECT_NE(html.find("value=\"tok&quot;en\""), std::string::npos);
    EXPECT_NE(html.find("<section class=\"lbl-sheet\" inert>"), std::string::npos);
    EXPECT_NE(html.find("Label width is 100~1000<br>&amp; more"), std::string::npos);
    EXPECT_NE(html.find("value=\"answer:1\""), std::string::npos);
    EXPECT_EQ(html.find("value=\"apply\""), std::string::npos);  // this sheet has no Apply
}

TEST(Html, Utf8AndMnemonics)
{
    EXPECT_TRUE(IsUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x99\x82"));
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "\xE2\x82"})
        EXPECT_FALSE(IsUtf8(bad)) << bad;
    EXPECT_EQ(WithoutMnemonic(u"Label &Name: R&&D"), u"Label Name: R&D");
}

}  // namespace
}  // namespace lblweb
