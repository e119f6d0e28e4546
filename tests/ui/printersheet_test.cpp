// The printer property sheet driven as a person would: its items per model and
// description, the spot colour buttons, Apply with and without label changes,
// and allocation failures while it is built.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "user/driving.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

using user::Desk;

// The description of a model with its colour capability replaced.
std::string PpdWithColor(int model, bool color)
{
    std::ifstream in(ModelPpd(model));
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    const std::string from = color ? "*ColorDevice: False" : "*ColorDevice: True";
    const std::string to = color ? "*ColorDevice: True" : "*ColorDevice: False";
    if (auto at = s.find(from); at != std::string::npos) s.replace(at, from.size(), to);
    return WritePpd("model" + std::to_string(model) + (color ? "-colour" : "-mono") + ".ppd", s);
}

int Find(const user::CommonSheetState& s, std::u16string_view name)
{
    for (const auto& item : s.items)
        if (item.name == name) return item.index;
    return -1;
}

std::vector<std::u16string> Names(const user::CommonSheetState& s)
{
    std::vector<std::u16string> names;
    for (const auto& item : s.items) names.push_back(item.name);
    return names;
}

class PrinterSheetTest : public UiTest {
protected:
    // Opens the printer's sheet; the script acts in it.
    LONG Run(const std::u16string& name, WORD flags = 0)
    {
        HANDLE h = Open(name);
        std::u16string printerName = name;
        DEVICEPROPERTYHEADER header{sizeof(DEVICEPROPERTYHEADER), flags, h, printerName.data()};
        DWORD result = 0;
        return CallCompstui(nullptr, DrvDevicePropertySheets, reinterpret_cast<LPARAM>(&header), &result);
    }
    // The item names of a printer's sheet.
    std::vector<std::u16string> ItemNames(const std::string& ppd)
    {
        const std::u16string name = AddInstalledPrinter(ppd);
        std::vector<std::u16string> names;
        user::Script script;
        script.Then([&](Desk& d) {
            names = Names(d.Items());
            d.Cancel();
        });
        EXPECT_EQ(Run(name), CPSUI_CANCEL);
        return names;
    }
};

TEST_F(PrinterSheetTest, ItemsFollowTheModelAndTheDescription)
{
    for (int model = 0; model <= 10; ++model) {
        std::vector<std::u16string> expect = {u"Label All"};
        if (model != 0) expect.push_back(u"Feed");
        if (model == 1 || (model >= 3 && model <= 6)) expect.push_back(u"Expansion  RAM");
        expect.push_back(u"Pass Through");
        expect.push_back(u"Help");
        EXPECT_EQ(ItemNames(PpdWithColor(model, false)), expect) << "model " << model;
    }
    const std::vector<std::u16string> colour = {u"Label All", u"Feed",       u"Expansion  RAM", u"Pass Through",
                                                u"Spot Color", u"Black",      u"Magenta",        u"Cyan",
                                                u"Yellow",     u"Help"};
    EXPECT_EQ(ItemNames(PpdWithColor(3, true)), colour);
}

TEST_F(PrinterSheetTest, TheLabelListShowsTheLabelsWithTheEditorButton)
{
    const std::u16string name = AddInstalledPrinter(ModelPpd(1));
    user::Script script;
    script.Then([&](Desk& d) {
        const auto items = d.Items();
        const auto& list = items.items[Find(items, u"Label All")];
        EXPECT_EQ(list.type, TVOT_LISTBOX);
        EXPECT_EQ(list.choices, (std::vector<std::u16string>{name + u" Standard Label"}));
        EXPECT_EQ(list.selection, 0);
        EXPECT_TRUE(list.extIsPush);
        EXPECT_EQ(list.extName, u"Label Property/Add/Delete");
        d.Cancel();
    });
    EXPECT_EQ(Run(name), CPSUI_CANCEL);
}

TEST_F(PrinterSheetTest, SpotColourButtonsFollowTheirSwitchAtOnce)
{
    const std::u16string name = AddInstalledPrinter(PpdWithColor(3, true));
    HANDLE h = Open(name);
    user::Script script;
    bool pickedEnabled = false;
    script
        .Then([&](Desk& d) {
            const auto items = d.Items();
            const int black = Find(items, u"Black");
            EXPECT_EQ(items.items[black].extName, u"Spot Color Property");
            EXPECT_TRUE(items.items[black].flags & OPTIF_EXT_DISABLED);  // stored off
            EXPECT_FALSE(d.PushExt(black));
            EXPECT_EQ(items.items[black].choices, (std::vector<std::u16string>{u"Black", u"Spot Color"}));
            ASSERT_TRUE(d.Select(black, 1));
            EXPECT_FALSE(d.Items().items[black].flags & OPTIF_EXT_DISABLED);
            ASSERT_TRUE(d.Select(black, 0));
            EXPECT_TRUE(d.Items().items[black].flags & OPTIF_EXT_DISABLED);
            ASSERT_TRUE(d.Select(black, 1));
            pickedEnabled = d.PushExt(black);  // opens the colour dialog: the next step
        })
        .Then([&](Desk& d) {
            EXPECT_EQ(d.What(), user::Waiting::ColorDialog);
            EXPECT_EQ(d.InitialColor(), 0u);
            d.PickColor(0xFF123456);  // the high byte is not a colour
        })
        .Then([&](Desk& d) {
            const auto items = d.Items();
            ASSERT_TRUE(d.Select(Find(items, u"Cyan"), 1));
            d.Ok();
        });
    EXPECT_EQ(Run(name), CPSUI_OK);
    EXPECT_TRUE(pickedEnabled);
    std::vector<BYTE> spots = Value(h, u"SpotColor");
    ASSERT_EQ(spots.size(), 32u);
    SPOTCOLOR s[4];
    std::memcpy(s, spots.data(), sizeof s);
    EXPECT_EQ(s[0].bSpotColor, 1u);
    EXPECT_EQ(s[0].crSpotColor, 0x00123456u);
    EXPECT_EQ(s[1].bSpotColor, 0u);
    EXPECT_EQ(s[2].bSpotColor, 1u);
}

TEST_F(PrinterSheetTest, ApplyWithoutLabelChangesStoresFiveValuesAndNoForms)
{
    const std::u16string name = AddBarePrinter(ModelPpd(1));
    HANDLE h = Open(name);
    std::vector<Form> before;
    user::Script script;
    script.Then([&](Desk& d) {
        before = Forms();  // opening the sheet registered the label's form
        const auto items = d.Items();
        ASSERT_TRUE(d.Select(Find(items, u"Expansion  RAM"), 1));
        ASSERT_TRUE(d.Select(Find(items, u"Pass Through"), 1));
        d.Ok();
    });
    EXPECT_EQ(Run(name), CPSUI_OK);
    for (const char16_t* v : {u"PrinterData", u"PrinterDataSize", u"PrinterHT", u"SpotColor", u"CustomColor"})
        EXPECT_FALSE(Value(h, v).empty()) << platform::Narrow(v);
    EXPECT_TRUE(Value(h, u"LabelData").empty());
    const std::vector<Form> after = Forms();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].name, before[i].name);
    std::vector<BYTE> prop = Value(h, u"PrinterData");
    ASSERT_EQ(prop.size(), 36u);
    PRINTERPROP pp;
    std::memcpy(&pp, prop.data(), sizeof pp);
    EXPECT_EQ(pp.bExpansionRAM, 1u);
    EXPECT_EQ(pp.bPassThrough, 1u);
}

// One Apply writes five values; killed before each of its writes in turn, the
// printer keeps all of the old state or gets all of the new.
TEST_F(PrinterSheetTest, AnApplyKilledAtAnyWriteKeepsAllOrNothing)
{
    const std::u16string name = AddBarePrinter(ModelPpd(1));
    HANDLE h = Open(name);
    const char16_t* const values[] = {u"PrinterData", u"PrinterDataSize", u"PrinterHT", u"SpotColor", u"CustomColor"};
    platform::CloseSpoolDatabase();
    bool finished = false;
    for (long long n = 1; n < 40 && !finished; ++n) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            user::Script script;
            script.Then([&](Desk& d) {
                const auto items = d.Items();
                d.Select(Find(items, u"Pass Through"), 1);
                platform::ExitAtSpoolWrite(n);
                d.Ok();
            });
            ::_exit(Run(name) == CPSUI_OK ? 0 : 1);
        }
        int status = -1;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status)) << "write " << n;
        const int code = WEXITSTATUS(status);
        ASSERT_TRUE(code == 0 || code == 86) << "write " << n << ": " << code;
        finished = code == 0;
        for (const char16_t* v : values) EXPECT_EQ(!Value(h, v).empty(), finished) << "write " << n;
        platform::CloseSpoolDatabase();
    }
    EXPECT_TRUE(finished);
}

TEST_F(PrinterSheetTest, CancelStoresNothing)
{
    const std::u16string name = AddBarePrinter(ModelPpd(1));
    HANDLE h = Open(name);
    user::Script script;
    script.Then([&](Desk& d) {
        ASSERT_TRUE(d.Select(Find(d.Items(), u"Pass Through"), 1));
        d.Cancel();
    });
    EXPECT_EQ(Run(name), CPSUI_CANCEL);
    EXPECT_TRUE(Value(h, u"PrinterData").empty());
}

TEST_F(PrinterSheetTest, WithoutPermissionNothingReacts)
{
    const std::u16string name = AddInstalledPrinter(PpdWithColor(3, true));
    HANDLE h = Open(name);
    const std::vector<BYTE> prop = Value(h, u"PrinterData");
    user::Script script;
    script.Then([&](Desk& d) {
        const auto items = d.Items();
        const int black = Find(items, u"Black");
        ASSERT_TRUE(d.Select(black, 1));
        EXPECT_TRUE(d.Items().items[black].flags & OPTIF_EXT_DISABLED);
        ASSERT_TRUE(d.Select(Find(items, u"Pass Through"), 1));
        d.Ok();
    });
    EXPECT_EQ(Run(name, DPS_NOPERMISSION), CPSUI_OK);
    EXPECT_EQ(Value(h, u"PrinterData"), prop);
}

TEST_F(PrinterSheetTest, FeedAndHelpButtons)
{
    const std::u16string name = AddInstalledPrinter(ModelPpd(1));
    platform::ClearLastRawDocument();
    user::ClearRecords();
    user::Script script;
    script.Then([&](Desk& d) {
        const auto items = d.Items();
        EXPECT_TRUE(d.PushItem(Find(items, u"Feed")));
        EXPECT_TRUE(d.PushItem(Find(items, u"Help")));
        d.Cancel();
    });
    Run(name);
    auto doc = platform::LastRawDocument();
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->delivered) << doc->why;
    EXPECT_EQ(doc->output, TestDir() + "/" + platform::Narrow(name) + ".prn");  // the printer's port
    const auto help = user::HelpRequests();
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0].command, HELP_FINDER);
}

// The sheet's record as DrvDevicePropertySheets builds it, for Apply after the
// working database was changed as the label editor changes it.
class PrinterApplyTest : public UiTest {
protected:
    static void SetCount(PLABELDATA pDb, DWORD n) { std::memcpy(reinterpret_cast<BYTE*>(pDb) - 4, &n, 4); }

    void Apply(PUIDATA p)
    {
        PCOMPROPSHEETUI cps = PrepareDataForCommonUi(p, CPSUI_PDLGPAGE_PRINTERPROP, PackPrinterPropertyItems);
        ASSERT_NE(cps, nullptr);
        CPSUICBPARAM param{};
        param.cbSize = sizeof param;
        param.Reason = CPSUICB_REASON_APPLYNOW;
        param.pOptItem = cps->pOptItem;
        param.cOptItem = cps->cOptItem;
        param.UserData = reinterpret_cast<ULONG_PTR>(p);
        EXPECT_EQ(PrnPropApplyNow(p, &param), CPSUICB_ACTION_ITEMS_APPLIED);
        EXPECT_EQ(param.Result, static_cast<ULONG_PTR>(CPSUI_OK));
    }
    static void Destroy(PUIDATA p)
    {
        HANDLE heap = p->hHeap;
        DelUiData(p);
        UnloadPpdFile(p->pPpdData);
        HeapDestroy(heap);
    }
};

TEST_F(PrinterApplyTest, DeletedLabelsLoseTheirFormsAndTheRestFitTheirSize)
{
    HANDLE h = Open(AddInstalledPrinter(ModelPpd(1)));
    // A database of the standard label and "Box 1", stored as the editor would.
    PUIDATA p = FillUiData(h, nullptr);
    ASSERT_NE(p, nullptr);
    std::vector<BYTE> block(4 + 2 * sizeof(LABELDATA));
    const DWORD two = 2;
    LABELDATA box = p->pLabelDb[0];
    CopyStringW(box.szLabelName, u"Box 1", CCHLABELNAME);
    box.lWidth = 60000;
    box.lHeight = 40000;
    std::memcpy(block.data(), &two, 4);
    std::memcpy(block.data() + 4, p->pLabelDb, sizeof(LABELDATA));
    std::memcpy(block.data() + 4 + sizeof(LABELDATA), &box, sizeof box);
    Destroy(p);
    SetValue(h, u"LabelData", block.data(), static_cast<DWORD>(block.size()));

    p = FillUiData(h, nullptr);  // registers "Box 1" as a form
    ASSERT_NE(p, nullptr);
    ASSERT_NE(FormNumber(u"Box 1"), 0u);
    const std::u16string standard = p->pLabelDb[0].szLabelName;
    p->pLabelDb[0].lWidth = 70000;  // the standard label changed in the editor
    SetCount(p->pLabelDb, 1);       // "Box 1" deleted
    Apply(p);
    Destroy(p);

    EXPECT_EQ(FormNumber(u"Box 1"), 0u);
    const auto forms = Forms();
    auto it = std::find_if(forms.begin(), forms.end(), [&](const Form& f) { return f.name == standard; });
    ASSERT_NE(it, forms.end());
    EXPECT_EQ(it->size.cx, 70000);
    EXPECT_EQ(it->area.right, 70000);
    EXPECT_EQ(it->flags, FORM_PRINTER);
    const std::vector<BYTE> stored = Value(h, u"LabelData");
    ASSERT_EQ(stored.size(), 4 + sizeof(LABELDATA));
}

TEST_F(PrinterApplyTest, ARemovedLabelKeepsItsFormWhileAnotherPrintersLabelBearsTheName)
{
    // Two printers with a label "Shared" each (forms are machine-wide); "Own" is the first's alone.
    auto store = [&](HANDLE h, const std::vector<std::u16string>& names) {
        PUIDATA p = FillUiData(h, nullptr);
        ASSERT_NE(p, nullptr);
        std::vector<BYTE> block(4 + names.size() * sizeof(LABELDATA));
        const DWORD n = static_cast<DWORD>(names.size());
        std::memcpy(block.data(), &n, 4);
        for (size_t i = 0; i < names.size(); ++i) {
            LABELDATA label = p->pLabelDb[0];
            CopyStringW(label.szLabelName, names[i].c_str(), CCHLABELNAME);
            std::memcpy(block.data() + 4 + i * sizeof(LABELDATA), &label, sizeof label);
        }
        Destroy(p);
        SetValue(h, u"LabelData", block.data(), static_cast<DWORD>(block.size()));
    };
    HANDLE first = Open(AddInstalledPrinter(ModelPpd(1)));
    HANDLE second = Open(AddInstalledPrinter(ModelPpd(1)));
    store(first, {u"Shared", u"Own", u"Kept"});
    store(second, {u"Shared"});
    PUIDATA p = FillUiData(first, nullptr);  // registers the forms
    ASSERT_NE(p, nullptr);
    ASSERT_NE(FormNumber(u"Shared"), 0u);
    ASSERT_NE(FormNumber(u"Own"), 0u);
    std::memcpy(&p->pLabelDb[0], &p->pLabelDb[2], sizeof(LABELDATA));  // "Shared" and "Own" deleted in the editor
    SetCount(p->pLabelDb, 1);
    Apply(p);
    Destroy(p);
    EXPECT_NE(FormNumber(u"Shared"), 0u);  // the second printer's label still has its form
    EXPECT_EQ(FormNumber(u"Own"), 0u);
    EXPECT_NE(FormNumber(u"Kept"), 0u);
}

TEST_F(PrinterApplyTest, TheListFollowsTheEditorsDatabase)
{
    HANDLE h = Open(AddInstalledPrinter(ModelPpd(1)));
    PUIDATA p = FillUiData(h, nullptr);
    ASSERT_NE(p, nullptr);
    PCOMPROPSHEETUI cps = PrepareDataForCommonUi(p, CPSUI_PDLGPAGE_PRINTERPROP, PackPrinterPropertyItems);
    ASSERT_NE(cps, nullptr);
    POPTITEM list = &cps->pOptItem[0];
    ASSERT_EQ(list->UserData, ITEM_LABEL_LIST);
    list->Sel = 3;  // past the end, as after the editor removed the selected last label
    p->pLabelDb[0].lPitch = 1234;
    EXPECT_EQ(PrnPropSelChange(p, list), CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_EQ(list->Sel, 0);
    EXPECT_EQ(list->pOptType->Count, 1);
    EXPECT_EQ(p->labelWork.lPitch, 1234);
    EXPECT_TRUE(list->Flags & OPTIF_CHANGED);
    Destroy(p);
}

TEST_F(PrinterSheetTest, DeletingInTheEditorAndApplyingRemovesTheForm)
{
    const std::u16string name = AddInstalledPrinter(ModelPpd(1));
    HANDLE h = Open(name);
    // A second label, "Box 1", stored and registered as a form.
    std::vector<BYTE> stored = Value(h, u"LabelData");
    ASSERT_EQ(stored.size(), 4 + sizeof(LABELDATA));
    LABELDATA box;
    std::memcpy(&box, stored.data() + 4, sizeof box);
    CopyStringW(box.szLabelName, u"Box 1", CCHLABELNAME);
    box.lWidth = 60000;
    stored[0] = 2;
    stored.insert(stored.end(), reinterpret_cast<BYTE*>(&box), reinterpret_cast<BYTE*>(&box) + sizeof box);
    SetValue(h, u"LabelData", stored.data(), static_cast<DWORD>(stored.size()));

    std::vector<std::u16string> listAfter;
    LONG selAfter = -1;
    user::Script script;
    script
        .Then([&](Desk& d) {
            const int list = Find(d.Items(), u"Label All");
            ASSERT_TRUE(d.Select(list, 1));
            ASSERT_TRUE(d.PushExt(list));  // the editor: the next steps
        })
        .Then([&](Desk& d) {
            ASSERT_EQ(d.What(), user::Waiting::PropertySheet);
            EXPECT_EQ(d.Control(3000).text, u"Box 1");
            ASSERT_TRUE(d.Press(3007));  // Delete: its question is the next step
        })
        .Then([&](Desk& d) {
            ASSERT_EQ(d.What(), user::Waiting::MessageBox);
            EXPECT_EQ(d.Box().text, u"Delete 'Box 1' ?");
            d.Answer(IDOK);
        })
        .Then([&](Desk& d) { d.Cancel(); })  // leaves the editor; the deletion stays in the working copy
        .Then([&](Desk& d) {
            const auto items = d.Items();
            const auto& list = items.items[Find(items, u"Label All")];
            listAfter = list.choices;
            selAfter = list.selection;
            d.Ok();
        });
    EXPECT_EQ(Run(name), CPSUI_OK);
    EXPECT_EQ(listAfter, (std::vector<std::u16string>{name + u" Standard Label"}));
    EXPECT_EQ(selAfter, 0);  // the selection moved back into the list
    EXPECT_EQ(FormNumber(u"Box 1"), 0u);
    EXPECT_NE(FormNumber(name + u" Standard Label"), 0u);
    EXPECT_EQ(Value(h, u"LabelData").size(), 4 + sizeof(LABELDATA));
}

TEST_F(PrinterSheetTest, AFailureAtAnyAllocationWhileBuildingReleasesEverything)
{
    const std::u16string name = AddInstalledPrinter(PpdWithColor(3, true));
    auto cancel = [](Desk& d) { d.Cancel(); };
    {
        user::ScopedAgent agent(cancel);
        ASSERT_EQ(Run(name), CPSUI_CANCEL);  // warms the description cache
    }
    const long first = platform::AllocationCount();
    {
        user::ScopedAgent agent(cancel);
        ASSERT_EQ(Run(name), CPSUI_CANCEL);
    }
    const long allocations = platform::AllocationCount() - first;
    ASSERT_GT(allocations, 10);
    long refused = 0;
    for (long n = 1; n <= allocations; ++n) {
        const long global = platform::LiveGlobalBlocks();
        const long heaps = platform::LiveHeapBlocks(nullptr);
        user::ScopedAgent agent(cancel);
        platform::FailNthAllocation(n);
        const LONG rc = Run(name);
        platform::FailNthAllocation(0);
        if (rc < 0) ++refused;
        EXPECT_EQ(platform::LiveGlobalBlocks(), global) << "allocation " << n;
        EXPECT_EQ(platform::LiveHeapBlocks(nullptr), heaps) << "allocation " << n;
    }
    EXPECT_GT(refused, allocations / 2);
}

}  // namespace
}  // namespace uitest
