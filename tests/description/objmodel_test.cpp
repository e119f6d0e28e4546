// The description object: handlers, value conversions, groups and options.
#include "description/ppdtest.h"

using namespace ppdtest;

TEST(Values, IntegersBooleansAndWords)
{
    DWORD v = 7;
    EXPECT_EQ(GetIntegerValue(&v, "3x"), PPDERR_NONE);
    EXPECT_EQ(v, 3u);
    EXPECT_EQ(GetIntegerValue(&v, "-2"), PPDERR_NONE);
    EXPECT_EQ(v, 0u);
    v = 7;
    EXPECT_EQ(GetIntegerValue(&v, "x"), PPDERR_SYNTAX);
    EXPECT_EQ(GetIntegerValue(&v, "-"), PPDERR_SYNTAX);
    EXPECT_EQ(v, 7u);
    EXPECT_EQ(GetIntegerValue(&v, "4294967297"), PPDERR_NONE);  // 32-bit arithmetic
    EXPECT_EQ(v, 1u);

    EXPECT_EQ(GetBooleanValue(&v, "True \t"), PPDERR_NONE);
    EXPECT_EQ(v, 1u);
    EXPECT_EQ(GetBooleanValue(&v, "Truex"), PPDERR_SYNTAX);
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(GetBooleanValue(&v, "true"), PPDERR_SYNTAX);

    WORD w = 9;
    EXPECT_TRUE(SearchStringTable(lsoStrs, "Minus90", &w));
    EXPECT_EQ(w, 2);
    EXPECT_FALSE(SearchStringTable(lsoStrs, "Plus", &w));
    EXPECT_EQ(w, 3);
}

TEST(Handlers, DefaultsAndPrinterWideValues)
{
    ScratchDir dir;
    Obj obj = ParseText(dir, "*NickName: \"A<41>B\"\n");
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->bColorDevice, 0u);
    EXPECT_EQ(obj->dwLanguageLevel, 1u);
    EXPECT_EQ(Str(obj->pstrNickName), "AAB");

    obj = ParseText(dir, "*NickName: \"A<4>B\"\n*LanguageLevel: \"3\"\n*ColorDevice: Yes\n"
                         "*LandscapeOrientation: Minus90\n*MaxMediaWidth: \"283\"\n*MaxMediaHeight: 850\n");
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->pstrNickName, nullptr);
    EXPECT_EQ(obj->dwLanguageLevel, 3u);
    EXPECT_EQ(obj->bColorDevice, 0u);
    EXPECT_EQ(obj->wLsOrientation, 2);
    EXPECT_EQ(obj->dwMaxMediaWidth, 283u);
    EXPECT_EQ(obj->dwMaxMediaHeight, 850u);

    obj = ParseText(dir, "*LandscapeOrientation: Sideways\n*LanguageLevel: -2\n*ColorDevice: True  \n");
    ASSERT_TRUE(obj);
    EXPECT_EQ(obj->wLsOrientation, 0);
    EXPECT_EQ(obj->dwLanguageLevel, 0u);
    EXPECT_EQ(obj->bColorDevice, 1u);
}

TEST(Handlers, InputSlotsKeepFirstValuesAndOrder)
{
    ScratchDir dir;
    Obj obj = ParseText(dir,
                        "*DefaultInputSlot: Lower\n"
                        "*Duplex None: \"d\"\n"
                        "*InputSlot Upper: \"first\"\n"
                        "*InputSlot Lower/Lower <54>ray: \"low\"\n"
                        "*InputSlot Upper/Second: \"second\"\n"
                        "*InputSlot Upper/Third: \"third\"\n");
    ASSERT_TRUE(obj);
    UIGROUPOBJ* g = obj->pUiGroups;
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(Str(g->node.pstrName), "InputSlot");  // created by the default, so first
    EXPECT_EQ(g->wGroupIndex, PPDGROUP_INPUTSLOT);
    EXPECT_EQ(g->cbOption, 24u);
    EXPECT_EQ(Str(g->pstrDefault), "Lower");
    EXPECT_EQ(obj->apPredefGroups[PPDGROUP_INPUTSLOT], g);
    UIOPTIONOBJ* upper = g->pOptions;
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(Str(upper->node.pstrName), "Upper");
    EXPECT_EQ(Str(upper->pstrInvocation), "first");
    EXPECT_EQ(Str(upper->pstrTranslation), "Second");  // the first translation given
    EXPECT_EQ(upper->bRequiresPageRegion, 1u);
    UIOPTIONOBJ* lower = reinterpret_cast<UIOPTIONOBJ*>(upper->node.pNext);
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(Str(lower->pstrTranslation), "Lower Tray");
    EXPECT_EQ(Str(reinterpret_cast<UIGROUPOBJ*>(g->node.pNext)->node.pstrName), "Duplex");
}

TEST(Handlers, RequiresPageRegionBeforeAndAfterTheSlot)
{
    ScratchDir dir;
    Obj before = ParseText(dir, "*RequiresPageRegion Upper: False\n*InputSlot Upper: \"u\"\n");
    ASSERT_TRUE(before);
    EXPECT_EQ(Option(Group(before.get(), "InputSlot"), "Upper")->bRequiresPageRegion, 1u);
    Obj after = ParseText(dir, "*InputSlot Upper: \"u\"\n*RequiresPageRegion Upper: False\n");
    ASSERT_TRUE(after);
    EXPECT_EQ(Option(Group(after.get(), "InputSlot"), "Upper")->bRequiresPageRegion, 0u);

    Obj maybe = ParseText(dir, "*RequiresPageRegion All: Maybe\n");
    ASSERT_TRUE(maybe);
    ASSERT_NE(Group(maybe.get(), "InputSlot"), nullptr);
    EXPECT_EQ(Group(maybe.get(), "InputSlot")->wGroupFlags, 0);
    Obj both = ParseText(dir, "*RequiresPageRegion All: False\n*RequiresPageRegion All: True\n");
    ASSERT_TRUE(both);
    EXPECT_EQ(Group(both.get(), "InputSlot")->wGroupFlags, 3);
}

TEST(Handlers, ResolutionCollateAndOtherGroups)
{
    ScratchDir dir;
    Obj obj = ParseText(dir,
                        "*SetResolution 300dpi: \"set\"\n"
                        "*Resolution 300dpi: \"res\"\n"
                        "*DefaultInstalledMemory: 4MB\n"
                        "*Collate True: \"on\"\n*Collate False: \"off\"\n"
                        "*ManualFeed True: \"m\"\n");
    ASSERT_TRUE(obj);
    UIGROUPOBJ* res = Group(obj.get(), "Resolution");
    ASSERT_NE(res, nullptr);
    EXPECT_EQ(res->cbOption, 28u);
    UIOPTIONOBJ* o = Option(res, "300dpi");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(Str(o->pstrSetResolution), "set");
    EXPECT_EQ(Str(o->pstrInvocation), "res");
    EXPECT_EQ(o->pstrReserved, nullptr);

    UIGROUPOBJ* mem = Group(obj.get(), "InstalledMemory");
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(mem->wGroupIndex, PPDGROUP_OTHER);
    EXPECT_EQ(mem->cbOption, 20u);
    EXPECT_EQ(mem->pOptions, nullptr);
    EXPECT_EQ(Str(mem->pstrDefault), "4MB");

    UIGROUPOBJ* col = Group(obj.get(), "Collate");
    ASSERT_NE(col, nullptr);
    EXPECT_EQ(col->wGroupIndex, PPDGROUP_COLLATE);
    EXPECT_EQ(col->wUiType, UITYPE_BOOLEAN);
    EXPECT_EQ(Str(col->pOptions->node.pstrName), "True");
    EXPECT_EQ(Str(col->pOptions->node.pNext->pstrName), "False");
    EXPECT_EQ(Group(obj.get(), "ManualFeed")->wGroupIndex, PPDGROUP_MANUALFEED);
    EXPECT_EQ(obj->apPredefGroups[PPDGROUP_RESOLUTION], res);
    EXPECT_EQ(obj->apPredefGroups[PPDGROUP_DUPLEX], nullptr);
}

TEST(Handlers, MalformedTranslationEscapes)
{
    ScratchDir dir;
    // A new option whose translation holds a bad escape fails the whole build.
    EXPECT_FALSE(ParseText(dir, "*InputSlot Upper/Bad<4>: \"u\"\n"));
    // On an existing option it only skips the entry.
    Obj obj = ParseText(dir, "*InputSlot Upper: \"u\"\n*InputSlot Upper/Bad<4>: \"x\"\n");
    ASSERT_TRUE(obj);
    EXPECT_EQ(Option(Group(obj.get(), "InputSlot"), "Upper")->pstrTranslation, nullptr);
}

TEST(Lists, FindIndexCountAndEnum)
{
    ScratchDir dir;
    Obj obj = ParseText(dir, "*Duplex A: \"1\"\n*Duplex B: \"2\"\n*Duplex C: \"3\"\n");
    ASSERT_TRUE(obj);
    LISTNODE* list = ListOf(Group(obj.get(), "Duplex")->pOptions);
    WORD index = 0;
    EXPECT_EQ(Str(LISTOBJ_FindItemIndex(list, "C", &index)->pstrName), "C");
    EXPECT_EQ(index, 2);
    EXPECT_EQ(LISTOBJ_FindItemIndex(list, "c", &index), nullptr);
    EXPECT_EQ(index, 0xFFFF);
    EXPECT_EQ(LISTOBJ_Count(list), 3u);
    LISTNODE* stop = LISTOBJ_Enum(
        list, [](LISTNODE* n, void*) -> BOOL { return std::string(n->pstrName) != "B"; }, nullptr);
    EXPECT_EQ(Str(stop->pstrName), "B");
    EXPECT_EQ(LISTOBJ_Enum(list, [](LISTNODE*, void*) -> BOOL { return TRUE; }, nullptr), nullptr);
    EXPECT_EQ(UIGROUP_GetOptions(nullptr), nullptr);
}

TEST(Build, EveryAllocationFailureFailsCleanly)
{
    ScratchDir dir;
    std::string big(3000, 'v');
    std::string file = dir.Write("m.ppd", "*NickName: \"" + big + "\"\n*InputSlot A/a: \"" + big +
                                              "\"\n*Resolution 300dpi: \"r\"\n*DefaultResolution: 300dpi\n");
    const std::u16string path = Wide(file);
    const long before = LiveDriverBlocks();
    bool succeeded = false;
    long failures = 0;
    for (long n = 1; n < 200 && !succeeded; ++n) {
        platform::FailNthAllocation(n);
        PPDDATA* rec = PpdParse(path.c_str());
        platform::FailNthAllocation(0);
        succeeded = rec != nullptr;
        failures += !succeeded;
        PpdDelete(rec);
        EXPECT_EQ(LiveDriverBlocks(), before) << "failing allocation " << n;
    }
    EXPECT_TRUE(succeeded);
    EXPECT_GE(failures, 6);  // reader, value buffers, pool blocks, record
}
