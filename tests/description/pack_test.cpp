// Packing a description object into a record, and validating packed records.
#include <cstring>
#include <vector>

#include "description/ppdtest.h"

using namespace ppdtest;

namespace {

void Put32(std::vector<BYTE>& b, std::size_t off, DWORD v) { std::memcpy(&b[off], &v, 4); }
void Put16(std::vector<BYTE>& b, std::size_t off, WORD v) { std::memcpy(&b[off], &v, 2); }
void PutStr(std::vector<BYTE>& b, std::size_t off, const char* s) { std::memcpy(&b[off], s, std::strlen(s) + 1); }

}  // namespace

TEST(Pack, TheTwoHundredByteRecord)
{
    ScratchDir dir;
    Obj obj = ParseText(dir, "*NickName: \"Label\"\n*ColorDevice: True\n"
                             "*InputSlot Roll/Roll Feed: \"code\"\n*DefaultInputSlot: Roll\n");
    ASSERT_TRUE(obj);
    static const WCHAR kName[] = u"C:\\a.ppd";
    obj->pwstrFileName = const_cast<WCHAR*>(kName);
    const WORD crc = obj->wChecksum;
    PPDDATA* p = PackPpdData(obj.release());
    ASSERT_NE(p, nullptr);

    std::vector<BYTE> want(200, 0);
    Put32(want, 0, 200);
    Put32(want, 4, 68);
    Put32(want, 8, 88);
    Put16(want, 12, 3);
    Put16(want, 14, crc);
    Put32(want, 20, 1);
    Put32(want, 24, 1);
    Put16(want, 36, 1);
    Put32(want, 40, 100);
    Put32(want, 64, 96);
    for (int i = 0; kName[i]; ++i) Put16(want, 68 + 2 * i, kName[i]);
    PutStr(want, 88, "Label");
    Put16(want, 96, 0);
    Put16(want, 98, 8);
    // group at 100
    Put32(want, 104, 136);
    Put32(want, 108, 0x6862);
    Put32(want, 120, 24);
    Put16(want, 124, 0);  // wGroupIndex
    Put16(want, 128, 1);  // wUiType
    Put32(want, 132, 148);
    PutStr(want, 136, "InputSlot");
    // option at 148
    Put32(want, 152, 172);
    Put32(want, 156, 0x398);
    Put32(want, 160, 180);
    Put32(want, 164, 192);
    Put32(want, 168, 1);
    PutStr(want, 172, "Roll");
    PutStr(want, 180, "Roll Feed");
    PutStr(want, 192, "code");

    ASSERT_EQ(p->dwSize, 200u);
    std::vector<BYTE> got(reinterpret_cast<BYTE*>(p), reinterpret_cast<BYTE*>(p) + 200);
    for (std::size_t i = 0; i < 200; ++i) EXPECT_EQ(got[i], want[i]) << "byte " << i;
    PpdDelete(p);
}

// A Resolution option record is 28 bytes and is followed by its name, then
// translation, invocation and SetResolution value; an option-less group of
// another name keeps default 0.
TEST(Pack, ResolutionAndOtherGroupRecords)
{
    ScratchDir dir;
    Obj obj = ParseText(dir, "*Resolution 300dpi/300 dpi: \"r\"\n*SetResolution 300dpi: \"s\"\n"
                             "*DefaultInstalledMemory: 4MB\n");
    ASSERT_TRUE(obj);
    static const WCHAR kName[] = u"C:\\a.ppd";
    obj->pwstrFileName = const_cast<WCHAR*>(kName);
    const WORD crc = obj->wChecksum;
    PPDDATA* p = PackPpdData(obj.release());
    ASSERT_NE(p, nullptr);

    std::vector<BYTE> want(244, 0);
    Put32(want, 0, 244);
    Put32(want, 4, 68);
    Put16(want, 12, 3);
    Put16(want, 14, crc);
    Put32(want, 20, 1);
    Put16(want, 36, 2);
    Put32(want, 40, 92);
    Put32(want, 64, 88);
    for (int i = 0; kName[i]; ++i) Put16(want, 68 + 2 * i, kName[i]);
    Put16(want, 90, 8);
    // Resolution group at 92
    Put32(want, 92, 192);
    Put32(want, 96, 128);
    Put32(want, 100, HashKeyword("Resolution"));
    Put32(want, 108, 300);  // no default: the first option's number
    Put32(want, 112, 28);
    Put16(want, 116, 4);
    Put16(want, 120, 1);
    Put32(want, 124, 140);
    PutStr(want, 128, "Resolution");
    // its option at 140
    Put32(want, 144, 168);
    Put32(want, 148, HashKeyword("300dpi"));
    Put32(want, 152, 176);
    Put32(want, 156, 184);
    Put32(want, 164, 188);
    PutStr(want, 168, "300dpi");
    PutStr(want, 176, "300 dpi");
    PutStr(want, 184, "r");
    PutStr(want, 188, "s");
    // InstalledMemory group at 192
    Put32(want, 196, 228);
    Put32(want, 200, HashKeyword("InstalledMemory"));
    Put32(want, 212, 20);
    Put16(want, 216, 5);
    Put16(want, 220, 1);
    Put16(want, 222, 1);  // wSequence
    PutStr(want, 228, "InstalledMemory");

    ASSERT_EQ(p->dwSize, 244u);
    std::vector<BYTE> got(reinterpret_cast<BYTE*>(p), reinterpret_cast<BYTE*>(p) + 244);
    for (std::size_t i = 0; i < 244; ++i) EXPECT_EQ(got[i], want[i]) << "byte " << i;
    PpdDelete(p);
}

TEST(Pack, RoundTripKeepsValuesAndOrder)
{
    ScratchDir dir;
    Record r = ParseRecord(dir,
                           "*NickName: \"Nick\"\n*LanguageLevel: 7\n*LandscapeOrientation: Minus90\n"
                           "*MaxMediaWidth: 300\n*MaxMediaHeight: 2400\n"
                           "*Duplex None/Off: \"d0\"\n*Duplex DuplexNoTumble: \"d1\"\n*DefaultDuplex: DuplexNoTumble\n"
                           "*Resolution 203dpi/203 dpi: \"r203\"\n*SetResolution 203dpi: \"s203\"\n"
                           "*InputSlot Roll: \"roll\"\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->dwLanguageLevel, 7u);
    EXPECT_EQ(r->wLsOrientation, 2);
    EXPECT_EQ(r->dwMaxMediaWidth, 300u);
    EXPECT_EQ(r->dwMaxMediaHeight, 2400u);
    EXPECT_EQ(Str(PpdNickName(r.get())), "Nick");
    EXPECT_EQ(r->wGroupCount, 3);
    const char* names[] = {"Duplex", "Resolution", "InputSlot"};
    int i = 0;
    for (const UIGROUP* g = PpdFirstGroup(r.get()); g; g = PpdNextGroup(r.get(), g), ++i) {
        ASSERT_LT(i, 3);
        EXPECT_EQ(Str(PpdGroupName(r.get(), g)), names[i]);
        EXPECT_EQ(g->wSequence, i);
        EXPECT_EQ(g->dwHash, HashKeyword(names[i]));
    }
    EXPECT_EQ(i, 3);
    const UIGROUP* dup = PpdPredefGroup(r.get(), PPDGROUP_DUPLEX);
    EXPECT_EQ(dup->dwDefault, 1u);
    EXPECT_EQ(Str(PpdOptionTranslation(r.get(), PpdOptionAt(r.get(), dup, 0))), "Off");
    EXPECT_EQ(Str(PpdOptionInvocation(r.get(), PpdOptionAt(r.get(), dup, 1))), "d1");
    EXPECT_EQ(PpdOptionCount(r.get(), dup), 2u);
    const UIGROUP* res = PpdPredefGroup(r.get(), PPDGROUP_RESOLUTION);
    const RESOPTION* ro = PpdResOption(res, PpdFirstOption(r.get(), res));
    ASSERT_NE(ro, nullptr);
    EXPECT_EQ(Str(PpdString(r.get(), ro->pstrSetResolution)), "s203");
    EXPECT_EQ(ro->pstrReserved, 0u);
    EXPECT_EQ(res->dwDefault, 203u);
    const UICONSTRAINTS* c = PpdConstraints(r.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->wCount, 0);
    EXPECT_EQ(c->wEntrySize, 8);
}

TEST(Pack, GroupDefaults)
{
    ScratchDir dir;
    auto resDefault = [&](const std::string& text) {
        Record r = ParseRecord(dir, text);
        return r ? PpdDefaultResolution(r.get()) : 0u;
    };
    EXPECT_EQ(resDefault("*Resolution 300dpi: \"a\"\n*Resolution 600dpi: \"b\"\n*DefaultResolution: 600dpi\n"), 600u);
    EXPECT_EQ(resDefault("*Resolution 300x300dpi: \"a\"\n"), 300u);
    EXPECT_EQ(resDefault("*Resolution 203dpi: \"a\"\n*DefaultResolution: abc\n"), 300u);
    EXPECT_EQ(resDefault("*DefaultResolution: 150dpi\n"), 150u);
    EXPECT_EQ(resDefault("*Resolution -5dpi: \"a\"\n"), 300u);
    EXPECT_EQ(resDefault("*Resolution +720dpi: \"a\"\n"), 720u);

    Record r = ParseRecord(dir, "*Duplex None: \"a\"\n*Duplex Both: \"b\"\n*DefaultDuplex: Missing\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(PpdPredefGroup(r.get(), PPDGROUP_DUPLEX)->dwDefault, 0u);
}

TEST(Pack, RequiresPageRegionAllAppliesToEverySlot)
{
    ScratchDir dir;
    Record r = ParseRecord(dir, "*InputSlot Upper: \"u\"\n*InputSlot Lower: \"l\"\n"
                                "*RequiresPageRegion All: False\n*RequiresPageRegion Upper: True\n");
    ASSERT_TRUE(r);
    const UIGROUP* g = PpdPredefGroup(r.get(), PPDGROUP_INPUTSLOT);
    EXPECT_EQ(PpdOptionCount(r.get(), g), 2u);
    for (const UIOPTION* o = PpdFirstOption(r.get(), g); o; o = PpdNextOption(r.get(), o))
        EXPECT_EQ(PpdInputSlotOption(g, o)->bRequiresPageRegion, 0u);
    r = ParseRecord(dir, "*InputSlot Upper: \"u\"\n*RequiresPageRegion All: False\n*RequiresPageRegion All: True\n");
    g = PpdPredefGroup(r.get(), PPDGROUP_INPUTSLOT);
    EXPECT_EQ(PpdInputSlotOption(g, PpdFirstOption(r.get(), g))->bRequiresPageRegion, 1u);
    EXPECT_EQ(g->wGroupFlags, 3);
}

TEST(Pack, AnEmptyDescriptionPacksToHeaderNameAndConstraints)
{
    ScratchDir dir;
    std::string file = dir.Write("e.ppd", "*% nothing\n");
    Record r(PpdParse(Wide(file).c_str()));
    ASSERT_TRUE(r);
    const std::size_t name = (file.size() + 1) * 2;
    EXPECT_EQ(r->dwSize, 68 + ((name + 3) & ~std::size_t{3}) + 4);
    EXPECT_EQ(r->pUiGroups, 0u);
    EXPECT_EQ(r->pstrNickName, 0u);
    EXPECT_EQ(std::u16string(PpdFileName(r.get())), Wide(file));
}

// ---- Validation of packed records -------------------------------------------------------

class Damaged : public ::testing::Test {
protected:
    void SetUp() override
    {
        Record r = ParseRecord(dir_, "*NickName: \"N\"\n*InputSlot A/a: \"x\"\n*InputSlot B: \"y\"\n"
                                     "*Resolution 300dpi: \"r\"\n*SetResolution 300dpi: \"s\"\n");
        ASSERT_TRUE(r);
        bytes_.assign(reinterpret_cast<BYTE*>(r.get()), reinterpret_cast<BYTE*>(r.get()) + r->dwSize);
        std::memset(&bytes_[44], 0, 20);  // as in the file
    }
    PPDDATA* Rec() { return reinterpret_cast<PPDDATA*>(bytes_.data()); }
    const UIGROUP* FirstGroup() { return reinterpret_cast<const UIGROUP*>(&bytes_[Rec()->pUiGroups]); }
    DWORD Get32(DWORD off) { DWORD v; std::memcpy(&v, &bytes_[off], 4); return v; }
    void Set32(DWORD off, DWORD v) { std::memcpy(&bytes_[off], &v, 4); }
    BOOL Valid() { return UnpackPpdData(Rec()); }

    ScratchDir dir_;
    std::vector<BYTE> bytes_;
};

TEST_F(Damaged, IntactRecordIsValidAndUnpacksIdempotently)
{
    EXPECT_TRUE(Valid());
    std::vector<BYTE> once = bytes_;
    EXPECT_TRUE(Valid());
    EXPECT_EQ(bytes_, once);
    EXPECT_EQ(Rec()->apPredefGroups[PPDGROUP_INPUTSLOT], Rec()->pUiGroups);
    EXPECT_NE(Rec()->apPredefGroups[PPDGROUP_RESOLUTION], 0u);
}

TEST_F(Damaged, OffsetsOutsideTheRecord)
{
    const DWORD groups = Rec()->pUiGroups;
    Set32(40, Rec()->dwSize);
    EXPECT_FALSE(Valid());
    Set32(40, Rec()->dwSize - 8);  // group record would run past the end
    EXPECT_FALSE(Valid());
    Set32(40, groups + 2);  // misaligned
    EXPECT_FALSE(Valid());
    Set32(40, groups);
    Set32(8, 0xFFFFFFF0);  // nickname
    EXPECT_FALSE(Valid());
    Set32(8, 0);
    EXPECT_TRUE(Valid());
    Set32(4, 0);  // the file name is required
    EXPECT_FALSE(Valid());
}

TEST_F(Damaged, StringWithoutNulBeforeTheEnd)
{
    const DWORD size = Rec()->dwSize;
    // Point the last option's invocation at the record's last bytes and fill them.
    const UIGROUP* g = FirstGroup();
    DWORD opt = g->pOptions;
    while (Get32(opt)) opt = Get32(opt);
    Set32(opt + 16, size - 4);
    std::memset(&bytes_[size - 4], 'x', 4);
    EXPECT_FALSE(Valid());
}

TEST_F(Damaged, LoopingOrBackwardLists)
{
    const DWORD groups = Rec()->pUiGroups;
    const UIGROUP* g = FirstGroup();
    const DWORD firstOpt = g->pOptions;
    Set32(firstOpt, firstOpt);  // option points at itself
    EXPECT_FALSE(Valid());
    Set32(firstOpt, 0);
    Set32(groups, groups);  // group points at itself
    EXPECT_FALSE(Valid());
    Set32(groups, 0);
    Rec()->wGroupCount = 1;
    EXPECT_TRUE(Valid());
    Set32(groups + 32, 68);  // options before their group
    EXPECT_FALSE(Valid());
}

TEST_F(Damaged, GroupFieldsOutOfRange)
{
    auto* g = reinterpret_cast<UIGROUP*>(&bytes_[Rec()->pUiGroups]);
    g->cbOption = 20;  // InputSlot options are 24 bytes
    EXPECT_FALSE(Valid());
    g->cbOption = 24;
    g->wGroupIndex = 9;
    EXPECT_FALSE(Valid());
    g->wGroupIndex = 0;
    g->dwDefault = 2;  // two options
    EXPECT_FALSE(Valid());
    g->dwDefault = 1;
    EXPECT_TRUE(Valid());
    Rec()->wGroupCount = 5;
    EXPECT_FALSE(Valid());
    Rec()->wGroupCount = 2;
    Rec()->wVersion = 2;
    EXPECT_FALSE(Valid());
}
