// A small fake driver sheet function run through CommonPropertySheetUIW, loaded as
// the driver loads it; a person changes items, presses the extended button, applies.
#include <gtest/gtest.h>

#include <vector>

#include "compstui/compstui.h"
#include "module_fixture.h"
#include "user/driving.h"

namespace {

struct FakeDriver {
    HMODULE inst = nullptr;
    std::vector<WORD> reasons;       // of the sheet function
    std::vector<WORD> callbacks;     // of the item callback
    LONG oldSel = -1;
    LONG setResult = -99;
    OPTPARAM labels[3]{};
    OPTPARAM twoLabels[2]{};
    OPTTYPE listType{};
    OPTPARAM yesNo[2]{};
    OPTTYPE yesNoType{};
    EXTPUSH edit{};
    OPTITEM items[3]{};
    COMPROPSHEETUI cps{};
};
FakeDriver* driver = nullptr;

LONG ItemCallback(PCPSUICBPARAM p)
{
    driver->callbacks.push_back(p->Reason);
    if (p->Reason == CPSUICB_REASON_SEL_CHANGED) driver->oldSel = p->OldSel;
    if (p->Reason == CPSUICB_REASON_EXTPUSH) {
        // The editor removed a label: a new, shorter option list, read again by the sheet.
        MessageBoxA(p->hDlg, "Label editor", "Label", MB_OK);
        driver->listType.Count = 2;
        driver->listType.pOptParam = driver->twoLabels;
        if (driver->items[1].Sel >= 2) driver->items[1].Sel = 1;
        return CPSUICB_ACTION_REINIT_ITEMS;
    }
    if (p->Reason == CPSUICB_REASON_APPLYNOW) {
        p->Result = CPSUI_OK;
        return CPSUICB_ACTION_ITEMS_APPLIED;
    }
    return CPSUICB_ACTION_NONE;
}

LONG SheetFunction(PPROPSHEETUI_INFO info, LPARAM lParam)
{
    driver->reasons.push_back(info->Reason);
    switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
        EXPECT_EQ(info->lParamInit, 1234);
        return info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PCOMPROPSHEETUIW,
                                     reinterpret_cast<LPARAM>(&driver->cps), 0) != 0
                   ? 1
                   : -1;
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
        auto* h = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
        h->Flags = PSUIHDRF_PROPTITLE;
        h->pTitle = const_cast<LPWSTR>(u"Printer");
        return 1;
    }
    case PROPSHEETUI_REASON_SET_RESULT:
        driver->setResult = static_cast<LONG>(reinterpret_cast<PSETRESULT_INFO>(lParam)->Result);
        info->Result = reinterpret_cast<PSETRESULT_INFO>(lParam)->Result;
        return 1;
    default: return 1;
    }
}

LPWSTR Id(WORD id) { return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(id)); }

class CommonSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(module.h, nullptr);
        compstui = LoadLibraryA("compstui.dll");
        ASSERT_NE(compstui, nullptr);
        run = reinterpret_cast<decltype(&CommonPropertySheetUIW)>(GetProcAddress(compstui, "CommonPropertySheetUIW"));
        ASSERT_NE(run, nullptr);
        d.inst = module.h;
        LPCWSTR names[3] = {u"Box", u"Tag", u"Ticket"};
        for (int i = 0; i < 3; ++i) d.labels[i] = {sizeof(OPTPARAM), 0, 0, const_cast<LPWSTR>(names[i]), 64054, 0, {}};
        d.twoLabels[0] = d.labels[0];
        d.twoLabels[1] = d.labels[2];
        d.listType = {sizeof(OPTTYPE), TVOT_LISTBOX, 0, 3, 0, d.labels, 0, {}, {}};
        d.yesNo[0] = {sizeof(OPTPARAM), 0, 0, const_cast<LPWSTR>(u"Off"), 0, 0, {}};
        d.yesNo[1] = {sizeof(OPTPARAM), 0, 0, const_cast<LPWSTR>(u"On"), 0, 0, {}};
        d.yesNoType = {sizeof(OPTTYPE), TVOT_2STATES, 0, 2, 0, d.yesNo, 0, {}, {}};
        d.edit = {};
        d.edit.cbSize = sizeof(EXTPUSH);
        d.edit.pTitle = const_cast<LPWSTR>(u"Edit labels...");

        d.items[0].cbSize = sizeof(OPTITEM);
        d.items[0].Level = 1;
        d.items[0].pName = Id(1);  // a string of the caller's table: "Hello world"
        d.items[1].cbSize = sizeof(OPTITEM);
        d.items[1].Level = 2;
        d.items[1].pName = const_cast<LPWSTR>(u"Label");
        d.items[1].pOptType = &d.listType;
        d.items[1].Sel = 2;
        d.items[1].Flags = OPTIF_CALLBACK | OPTIF_EXT_IS_EXTPUSH;
        d.items[1].pExtPush = &d.edit;
        d.items[2].cbSize = sizeof(OPTITEM);
        d.items[2].Level = 2;
        d.items[2].pName = const_cast<LPWSTR>(u"Expansion RAM");
        d.items[2].pOptType = &d.yesNoType;
        d.items[2].Flags = OPTIF_CALLBACK | OPTIF_DISABLED;

        d.cps.cbSize = sizeof(COMPROPSHEETUI);
        d.cps.hInstCaller = module.h;
        d.cps.pCallerName = Id(1);
        d.cps.pfnCallBack = ItemCallback;
        d.cps.pOptItem = d.items;
        d.cps.cOptItem = 3;
        driver = &d;
    }
    void TearDown() override
    {
        driver = nullptr;
        FreeLibrary(compstui);
    }
    TestModule module;
    HMODULE compstui = nullptr;
    decltype(&CommonPropertySheetUIW) run = nullptr;
    FakeDriver d;
};

TEST_F(CommonSheetTest, PersonPicksALabelEditsTheListAndPressesOk)
{
    user::Script person;
    person.Then([](user::Desk& desk) {
        ASSERT_EQ(desk.What(), user::Waiting::CommonSheet);
        user::CommonSheetState s = desk.Items();
        EXPECT_EQ(s.title, u"Printer Properties");
        EXPECT_EQ(s.caller, u"Hello world");
        ASSERT_EQ(s.items.size(), 3u);
        EXPECT_EQ(s.items[0].name, u"Hello world");
        EXPECT_EQ(s.items[0].type, 0xFF);
        EXPECT_EQ(s.items[1].text, u"Ticket");
        EXPECT_EQ(s.items[1].extName, u"Edit labels...");
        EXPECT_FALSE(desk.Select(2, 1));  // disabled item
        EXPECT_FALSE(desk.Select(1, 3));  // no such label
        EXPECT_TRUE(desk.Select(1, 0));
        EXPECT_TRUE(desk.Items().items[1].flags & OPTIF_CHANGED);
    });
    person.Then([](user::Desk& desk) {
        EXPECT_TRUE(desk.Select(1, 2));
        EXPECT_TRUE(desk.PushExt(1));  // opens the "editor", which shows a box
    });
    person.Then([](user::Desk& desk) {
        ASSERT_EQ(desk.What(), user::Waiting::MessageBox);
        desk.Answer(IDOK);
    });
    person.Then([](user::Desk& desk) {
        user::ItemState label = desk.Items().items[1];  // read again after REINIT_ITEMS
        EXPECT_EQ(label.choices, (std::vector<std::u16string>{u"Box", u"Ticket"}));
        EXPECT_EQ(label.text, u"Ticket");
        EXPECT_TRUE(desk.Ok());
    });
    DWORD result = 0;
    EXPECT_EQ(run(nullptr, SheetFunction, 1234, &result), CPSUI_OK);
    EXPECT_EQ(person.Left(), 0u);
    EXPECT_EQ(d.oldSel, 0);
    EXPECT_EQ(d.callbacks, (std::vector<WORD>{CPSUICB_REASON_SEL_CHANGED, CPSUICB_REASON_SEL_CHANGED,
                                              CPSUICB_REASON_EXTPUSH, CPSUICB_REASON_APPLYNOW}));
    EXPECT_EQ(d.reasons, (std::vector<WORD>{PROPSHEETUI_REASON_INIT, PROPSHEETUI_REASON_GET_INFO_HEADER,
                                            PROPSHEETUI_REASON_SET_RESULT, PROPSHEETUI_REASON_DESTROY}));
    EXPECT_EQ(d.setResult, CPSUI_OK);
    EXPECT_EQ(result, static_cast<DWORD>(CPSUI_OK));
    EXPECT_FALSE(d.items[1].Flags & OPTIF_CHANGED);  // ITEMS_APPLIED
}

TEST_F(CommonSheetTest, NobodyThereCancels)
{
    DWORD result = 7;
    EXPECT_EQ(run(nullptr, SheetFunction, 1234, &result), CPSUI_CANCEL);
    EXPECT_EQ(d.setResult, CPSUI_CANCEL);
    EXPECT_TRUE(d.callbacks.empty());
}

TEST_F(CommonSheetTest, BadItemSizesAreRefused)
{
    d.items[1].cbSize = 52;  // a 32-bit size: the records are this machine's
    DWORD result = 0;
    EXPECT_LT(run(nullptr, SheetFunction, 1234, &result), 0);
    EXPECT_EQ(d.reasons.back(), PROPSHEETUI_REASON_DESTROY);
}

}  // namespace
