// Sessions over the driver's real sheets in a private spool: the label editor
// opened from the printer sheet, a refusal as a message box, a slider's value
// text, stale and idle sessions, and the printing defaults stored on OK.
#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <thread>

#include "base/codepage.h"
#include "compstui/compstui.h"
#include "e2e/lblctl_run.h"
#include "form.h"
#include "session.h"
#include "sheets.h"
#include "spooler/spooler.h"
#include "user/msgbox.h"

namespace lblweb {
namespace {

using namespace std::chrono_literals;

class SessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const auto r = e2e::Lblctl({"printer", "add", "Web", "--ppd", e2e::TestPpd(0)});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    static size_t Labels()
    {
        const auto r = e2e::Lblctl({"labels", "export", "Web"});
        size_t n = 0;
        for (size_t at = 0; (at = r.out.find("\"szLabelName\"", at)) != std::string::npos; ++at) ++n;
        return n;
    }
    // Reads the form against the current view and acts; the post must be sound.
    static View Do(Session& s, const View& v, const FormFields& form)
    {
        Post p = ReadPost(v, form);
        EXPECT_EQ(p.error, "");
        return s.Act(v.serial, std::move(p.actions), 10s);
    }
    static const user::ControlState* Control(const View& v, WORD id)
    {
        const auto& sheet = v.frames.back().sheet;
        for (const auto& c : sheet.pages.at(static_cast<size_t>(sheet.active)).controls)
            if (c.id == id) return &c;
        return nullptr;
    }
};

TEST_F(SessionTest, TheEditorOpensFromTheLabelListRefusesAWidthAndShowsSliderTexts)
{
    const size_t before = Labels();
    Session s([] { return RunPrinterSheet("Web"); }, 60s);
    View v = s.Settle(10s);
    ASSERT_EQ(v.frames.size(), 1u);
    ASSERT_EQ(v.frames[0].what, user::Waiting::CommonSheet);
    int list = -1;
    for (const auto& it : v.frames[0].items.items)
        if (list < 0 && it.type == TVOT_LISTBOX && it.extIsPush) list = it.index;
    ASSERT_GE(list, 0);

    v = Do(s, v, {{"do", "ext:" + std::to_string(list)}});
    ASSERT_EQ(v.frames.size(), 2u);
    ASSERT_EQ(v.frames[1].what, user::Waiting::PropertySheet);
    EXPECT_EQ(v.frames[1].sheet.pages.at(0).title, u"General");
    EXPECT_EQ(v.frames[0].items.items.at(static_cast<size_t>(list)).choices.size(), 1u);  // as it was when it waited

    // Model 0 takes widths of 10 to 100 mm: 999.9 mm is refused in a box over the editor.
    v = Do(s, v, {{"c3001", "9999"}, {"do", "press:3004"}});
    ASSERT_EQ(v.frames.size(), 3u);
    ASSERT_EQ(v.frames[2].what, user::Waiting::MessageBox);
    EXPECT_EQ(v.frames[2].box.text, u"Label width is 100~1000");
    EXPECT_EQ(v.frames[2].buttons, std::vector<int>{IDOK});
    v = Do(s, v, {{"do", "answer:1"}});
    ASSERT_EQ(v.frames.size(), 2u);

    // A label the editor takes: the sheet under it is not read while its label list is replaced.
    v = Do(s, v, {{"c3000", "Session Label"}, {"c3001", "500"}, {"c3002", "300"}, {"c3003", "330"}, {"do", "press:3004"}});
    ASSERT_EQ(v.frames.size(), 2u) << (v.frames.size() > 2 ? platform::Narrow(v.frames[2].box.text) : "");

    // A page already left is stale: its form changes nothing.
    const View stale = v;
    v = Do(s, v, {{"do", "page:1"}});
    ASSERT_EQ(v.frames[1].sheet.active, 1);
    const View refused = s.Act(stale.serial, ReadPost(stale, {{"do", "page:0"}}).actions, 1s);
    EXPECT_NE(refused.note, "");
    EXPECT_EQ(s.Current().frames[1].sheet.active, 1);

    // The feed slider in 0.1 mm: -25 reads "-2.5mm" in its value text.
    v = Do(s, v, {{"c3020", "-25"}});
    ASSERT_NE(Control(v, 3021), nullptr);
    EXPECT_EQ(Control(v, 3021)->text, u"-2.5mm");
    EXPECT_EQ(Control(v, 3020)->pos, -25);

    s.Close();
    EXPECT_TRUE(s.Ended());
    EXPECT_EQ(s.Current().outcome, "Closed without changes.");
    EXPECT_EQ(Labels(), before);
}

TEST_F(SessionTest, RibbonSlotsAndRestoreDefaults)
{
    Session s([] { return RunPrinterSheet("Web"); }, 60s);
    View v = s.Settle(10s);
    v = Do(s, v, {{"do", "ext:0"}});
    ASSERT_EQ(v.frames.size(), 2u);
    int ribbon = -1;
    const auto& pages = v.frames[1].sheet.pages;
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i].title == u"Ribbon Options") ribbon = static_cast<int>(i);
    ASSERT_GE(ribbon, 0);
    v = Do(s, v, {{"do", "page:" + std::to_string(ribbon)}});
    ASSERT_NE(Control(v, 3020), nullptr);
    EXPECT_FALSE(Control(v, 3020)->enabled);  // until the motors are adjusted
    v = Do(s, v, {{"k4020", "1"}, {"c4020", "1"}});
    ASSERT_TRUE(Control(v, 3020)->enabled);
    // The magenta slot's rewind voltage, then the slots' defaults back.
    v = Do(s, v, {{"c4038", "1"}});
    v = Do(s, v, {{"c3020", "5"}});
    EXPECT_EQ(Control(v, 3020)->pos, 5);
    v = Do(s, v, {{"do", "press:4043"}});
    while (v.frames.size() > 2 && v.frames.back().what == user::Waiting::MessageBox)
        v = Do(s, v, {{"do", "answer:" + std::to_string(v.frames.back().buttons.front())}});
    ASSERT_EQ(v.frames.size(), 2u);
    EXPECT_EQ(Control(v, 3020)->pos, 0);
    s.Close();
}

TEST_F(SessionTest, TheDriverLockIsFreeWhileASheetWaitsForThePerson)
{
    std::mutex driver;
    Session s([] { return RunPrinterSheet("Web"); }, 60s, &driver);
    View v = s.Settle(10s);
    ASSERT_EQ(v.frames.size(), 1u);
    ASSERT_TRUE(driver.try_lock());  // a job may run meanwhile
    // Held by someone else, the sheet takes no action until it is free.
    auto pending = std::async(std::launch::async, [&] { return Do(s, v, {{"do", "ext:0"}}); });
    EXPECT_EQ(pending.wait_for(300ms), std::future_status::timeout);
    driver.unlock();
    v = pending.get();
    EXPECT_EQ(v.frames.size(), 2u);
    EXPECT_TRUE(driver.try_lock());
    driver.unlock();
    s.Close();
}

TEST_F(SessionTest, AnIdleSessionCancelsItsSheets)
{
    Session s([] { return RunPrinterSheet("Web"); }, 300ms);
    View v = s.Settle(10s);
    ASSERT_EQ(v.frames.size(), 1u);
    v = Do(s, v, {{"do", "ext:0"}});
    ASSERT_EQ(v.frames.size(), 2u);
    for (int i = 0; i < 100 && !s.Ended(); ++i) std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(s.Ended());
    EXPECT_NE(s.Current().outcome.find("without use"), std::string::npos);
}

TEST_F(SessionTest, PrintingDefaultsAreStoredOnOkOnly)
{
    std::u16string name = u"Web";
    HANDLE h = nullptr;
    ASSERT_TRUE(OpenPrinterW(name.data(), &h, nullptr));
    auto stored = [&] {
        DWORD needed = 0;
        GetPrinterW(h, 8, nullptr, 0, &needed);
        std::vector<BYTE> buf(needed);
        return needed >= sizeof(PRINTER_INFO_8W) && GetPrinterW(h, 8, buf.data(), needed, &needed) &&
               reinterpret_cast<PRINTER_INFO_8W*>(buf.data())->pDevMode != nullptr;
    };
    {
        Session s([] { return RunDefaultsSheet("Web"); }, 60s);
        View v = s.Settle(10s);
        ASSERT_EQ(v.frames.size(), 1u);
        v = Do(s, v, {{"do", "cancel"}});
        EXPECT_TRUE(v.ended);
        EXPECT_EQ(v.outcome, "The printing defaults were left as they were.");
    }
    EXPECT_FALSE(stored());
    {
        Session s([] { return RunDefaultsSheet("Web"); }, 60s);
        View v = s.Settle(10s);
        v = Do(s, v, {{"do", "ok"}});
        EXPECT_EQ(v.outcome, "The printing defaults were stored.");
    }
    EXPECT_TRUE(stored());
    ClosePrinter(h);
}

}  // namespace
}  // namespace lblweb
