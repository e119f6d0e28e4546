// A modal property sheet of two pages from the test module's template, driven
// by a person through the Desk; the page procedure is a small fake driver page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_fixture.h"
#include "user/dialogs.h"
#include "user/driving.h"
#include "user/wsprintf.h"

namespace {

struct Editor {  // what the fake driver keeps for its sheet
    std::vector<std::string> log;
    std::u16string name;
    int trackbar = 0;
    int steps = 0;
    int helpControl = 0;
    bool refuseLeave = false;
};

Editor* Of(HWND hDlg) { return reinterpret_cast<Editor*>(GetWindowLongPtrW(hDlg, DWLP_USER)); }

INT_PTR PageProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        auto* e = reinterpret_cast<Editor*>(reinterpret_cast<LPPROPSHEETPAGEA>(lParam)->lParam);
        SetWindowLongPtrW(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(e));
        e->log.push_back("init");
        return TRUE;
    }
    case WM_NOTIFY: {
        Editor* e = Of(hDlg);
        auto* n = reinterpret_cast<LPNMHDR>(lParam);
        if (n->code == UDN_DELTAPOS) return FALSE;
        switch (n->code) {
        case PSN_SETACTIVE:
            e->log.push_back("setactive");
            SendDlgItemMessageW(hDlg, 1003, TBM_SETRANGE, TRUE, MAKELPARAM(static_cast<WORD>(-5), 5));
            SendDlgItemMessageW(hDlg, 1003, TBM_SETPOS, TRUE, e->trackbar);
            SendDlgItemMessageW(hDlg, 1004, CB_RESETCONTENT, 0, 0);
            SendDlgItemMessageA(hDlg, 1004, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Batch"));
            SendDlgItemMessageW(hDlg, 1004, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Strip"));
            SendDlgItemMessageW(hDlg, 1004, CB_SETCURSEL, 0, 0);
            SendDlgItemMessageW(hDlg, 1002, UDM_SETRANGE, 0, MAKELPARAM(2, 0));
            SendDlgItemMessageW(hDlg, 1002, UDM_SETPOS, 0, MAKELPARAM(1, 0));
            SetDlgItemTextW(hDlg, 1001, e->name.c_str());
            SendDlgItemMessageW(hDlg, 1001, EM_LIMITTEXT, 5, 0);
            ShowWindow(GetDlgItem(hDlg, 0xFFFF), SW_HIDE);
            return TRUE;
        case PSN_KILLACTIVE: {
            e->log.push_back("killactive");
            WCHAR text[32];
            GetDlgItemTextW(hDlg, 1001, text, 32);
            e->name = text;
            e->trackbar = static_cast<int>(SendDlgItemMessageW(hDlg, 1003, TBM_GETPOS, 0, 0));
            SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, e->refuseLeave);
            return TRUE;
        }
        case PSN_APPLY:
            e->log.push_back(reinterpret_cast<LPPSHNOTIFY>(lParam)->lParam ? "apply ok" : "apply");
            if (e->name.empty()) {
                MessageBoxA(hDlg, "Invalid name", "Label Add/Change", MB_OK | MB_ICONEXCLAMATION);
                SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, PSNRET_INVALID_NOCHANGEPAGE);
            }
            return TRUE;
        case PSN_RESET: e->log.push_back("reset"); return TRUE;
        case PSN_QUERYCANCEL: e->log.push_back("querycancel"); return TRUE;
        default: return FALSE;
        }
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == 1005 && HIWORD(wParam) == BN_CLICKED) {
            Of(hDlg)->log.push_back("clicked");
            SendMessageW(GetParent(hDlg), PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
        }
        return TRUE;
    case WM_HSCROLL: {
        // The value text beside the trackbar, as the slider pages write it.
        LONG v = static_cast<LONG>(SendMessageW(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0));
        WCHAR text[32];
        wsprintfW(text, u"%c%01.1ld.%01ldmm", v < 0 ? u'-' : u' ', (v < 0 ? -v : v) / 10, (v < 0 ? -v : v) % 10);
        SetDlgItemTextW(hDlg, 0xFFFF, text);
        return TRUE;
    }
    case WM_VSCROLL:
        if (LOWORD(wParam) == SB_THUMBPOSITION) {
            Of(hDlg)->steps += static_cast<int>(SendDlgItemMessageW(hDlg, 1002, UDM_GETPOS, 0, 0) & 0xFFFF) - 1;
            SendDlgItemMessageW(hDlg, 1002, UDM_SETPOS, 0, MAKELPARAM(1, 0));
        }
        return TRUE;
    case WM_HELP: Of(hDlg)->helpControl = reinterpret_cast<LPHELPINFO>(lParam)->iCtrlId; return TRUE;
    default: return FALSE;
    }
}

class PropertySheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(module.h, nullptr);
        user::ClearRecords();
        for (int i = 0; i < 2; ++i) {
            pages[i] = {};
            pages[i].dwSize = sizeof(PROPSHEETPAGEA);
            pages[i].hInstance = module.h;
            pages[i].pszTemplate = MAKEINTRESOURCEA(100);
            pages[i].pfnDlgProc = PageProc;
            pages[i].lParam = reinterpret_cast<LPARAM>(&editor);
        }
        pages[1].dwFlags = PSP_USETITLE;
        pages[1].pszTitle = MAKEINTRESOURCEA(1);  // "Hello world"
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_PROPTITLE | PSH_NOAPPLYNOW;
        header.pszCaption = "Label";
        header.nPages = 2;
        header.ppsp = pages;
    }
    TestModule module;
    Editor editor;
    PROPSHEETPAGEA pages[2];
    PROPSHEETHEADERA header{};
};

TEST_F(PropertySheetTest, APersonFillsThePageAndIsStoppedByTheDriversRefusal)
{
    user::Script person;
    person.Then([](user::Desk& d) {
        ASSERT_EQ(d.What(), user::Waiting::PropertySheet);
        user::SheetState s = d.Sheet();
        EXPECT_EQ(s.title, u"Label Properties");
        EXPECT_FALSE(s.applyButton);
        ASSERT_EQ(s.pages.size(), 2u);
        EXPECT_EQ(s.pages[0].title, u"Test page");
        EXPECT_EQ(s.pages[1].title, u"Hello world");
        EXPECT_FALSE(s.pages[1].created);
        EXPECT_FALSE(d.Apply());                  // no Apply button on this sheet
        EXPECT_FALSE(d.Check(1005, true));        // disabled in the template
        EXPECT_EQ(d.Control(1003).low, -5);       // 16-bit halves, the low one negative
        EXPECT_EQ(d.Control(1004).items, (std::vector<std::u16string>{u"Batch", u"Strip"}));
        EXPECT_FALSE(d.Ok());                     // the name is empty: refused, the sheet stays
    });
    person.Then([](user::Desk& d) {              // the driver's message, while the sheet stays
        ASSERT_EQ(d.What(), user::Waiting::MessageBox);
        EXPECT_EQ(d.Box().text, u"Invalid name");
        d.Answer(IDOK);
    });
    person.Then([](user::Desk& d) {
        ASSERT_EQ(d.What(), user::Waiting::PropertySheet);
        EXPECT_TRUE(d.Slide(1003, -25));          // clamped to the range
        EXPECT_EQ(d.Control(1003).pos, -5);
        EXPECT_EQ(d.Control(0xFFFF).text, u"-0.5mm");
        EXPECT_FALSE(d.Control(0xFFFF).visible);
        EXPECT_TRUE(d.Step(1002, +1));
        EXPECT_TRUE(d.Step(1002, +1));
        EXPECT_TRUE(d.Step(1002, -1));
        EXPECT_EQ(d.Control(1002).pos, 1);         // set back by the page each time
        EXPECT_EQ(d.Control(1001).text, u"1");     // and its buddy edit shows it
        EXPECT_TRUE(d.Type(1001, u"Box label"));  // limited to 5 characters
        EXPECT_EQ(d.Control(1001).text, u"Box l");
        EXPECT_TRUE(d.Pick(1004, 1));
        EXPECT_FALSE(d.Pick(1004, 2));
        EXPECT_TRUE(d.Help(1001));
        EXPECT_TRUE(d.SwitchPage(1));
        EXPECT_EQ(d.Control(1001).text, u"Box l");  // the second page reads what the first kept
        EXPECT_TRUE(d.Ok());
    });
    EXPECT_EQ(PropertySheetA(&header), 1);
    EXPECT_EQ(person.Left(), 0u);
    EXPECT_EQ(editor.name, u"Box l");
    EXPECT_EQ(editor.trackbar, -5);
    EXPECT_EQ(editor.steps, 1);
    EXPECT_EQ(editor.helpControl, 1001);
    EXPECT_EQ(editor.log, (std::vector<std::string>{"init", "setactive", "killactive", "apply ok", "killactive",
                                                    "init", "setactive", "killactive", "apply ok", "apply ok"}));
    ASSERT_EQ(user::MessageBoxes().size(), 1u);
}

TEST_F(PropertySheetTest, ButtonPressAppliesAndCancelResets)
{
    editor.name = u"Box";
    user::Script person;
    person.Then([](user::Desk& d) {
        EXPECT_EQ(d.Control(1005).enabled, false);
        EXPECT_FALSE(d.Press(1005));
    });
    EXPECT_EQ(PropertySheetA(&header), 0);  // the person did nothing the second time: cancelled
    EXPECT_EQ(editor.log, (std::vector<std::string>{"init", "setactive", "querycancel", "reset"}));
}

TEST_F(PropertySheetTest, KillActiveRefusalKeepsThePage)
{
    editor.name = u"Box";
    editor.refuseLeave = true;
    user::Script person;
    person.Then([](user::Desk& d) {
        EXPECT_FALSE(d.SwitchPage(1));
        EXPECT_EQ(d.Sheet().active, 0);
        EXPECT_FALSE(d.Ok());
        EXPECT_TRUE(d.Cancel());
    });
    EXPECT_EQ(PropertySheetA(&header), 0);
}

TEST_F(PropertySheetTest, BadHeadersAndTemplatesAreRefused)
{
    PROPSHEETHEADERA bad = header;
    bad.dwFlags &= ~PSH_PROPSHEETPAGE;
    EXPECT_EQ(PropertySheetA(&bad), -1);
    bad = header;
    bad.dwSize = 8;
    EXPECT_EQ(PropertySheetA(&bad), -1);
    pages[1].pszTemplate = MAKEINTRESOURCEA(999);
    EXPECT_EQ(PropertySheetA(&header), -1);
    EXPECT_TRUE(editor.log.empty());
    EXPECT_EQ(PropertySheetA(nullptr), -1);
}

}  // namespace
