// The document property entries and the document sheet, driven as a person
// would: the device mode each gives, and the items each model shows.
#include <cstring>
#include <functional>

#include "ui_fixture.h"
#include "user/driving.h"

using namespace uitest;

namespace {

struct SheetRun {
    LONG rc = 0;
    DRVDEVMODE out{};
    user::CommonSheetState items;  // as the person first saw them
};

const user::ItemState* Item(const user::CommonSheetState& s, ULONG_PTR userData)
{
    for (const auto& it : s.items)
        if (it.userData == userData) return &it;
    return nullptr;
}

std::vector<std::u16string> Names(const user::CommonSheetState& s)
{
    std::vector<std::u16string> names;
    for (const auto& it : s.items) names.push_back(it.name);
    return names;
}

class DocSheetTest : public UiTest {
protected:
    // The sheet of printer name_ run with these flags; the person acts, then presses OK.
    SheetRun Run(DWORD fMode, const DEVMODEW* pdmIn, std::function<void(user::Desk&)> act)
    {
        SheetRun run;
        std::memset(&run.out, 0, sizeof run.out);
        user::Script script;
        script.Then([&](user::Desk& d) {
            run.items = d.Items();
            if (act) act(d);
            d.Ok();
        });
        run.rc = DrvDocumentProperties(nullptr, h_, name_.data(), &run.out.dmPublic, const_cast<DEVMODEW*>(pdmIn),
                                       fMode);
        return run;
    }
    // The device mode the driver gives without a dialog.
    DRVDEVMODE Simple(const DEVMODEW* pdmIn)
    {
        DRVDEVMODE out{};
        EXPECT_EQ(DrvDocumentProperties(nullptr, h_, name_.data(), &out.dmPublic, const_cast<DEVMODEW*>(pdmIn),
                                        DM_COPY),
                  IDOK);
        return out;
    }
    void Install(const std::string& ppd)
    {
        name_ = AddInstalledPrinter(ppd);
        h_ = Open(name_);
    }
    // Adds a label named like the standard one with a suffix; returns its name.
    std::u16string AddLabel(const std::u16string& suffix, LONG width, LONG height)
    {
        std::vector<BYTE> db = Value(h_, u"LabelData");
        DWORD count = 0;
        std::memcpy(&count, db.data(), 4);
        LABELDATA label;
        std::memcpy(&label, db.data() + 4, sizeof label);
        std::u16string name = (name_ + suffix).substr(0, CCHLABELNAME - 1);
        std::memset(label.szLabelName, 0, sizeof label.szLabelName);
        std::memcpy(label.szLabelName, name.data(), name.size() * 2);
        label.lWidth = width;
        label.lHeight = height;
        db.resize(db.size() + sizeof label);
        std::memcpy(db.data() + 4 + count * sizeof label, &label, sizeof label);
        ++count;
        std::memcpy(db.data(), &count, 4);
        SetValue(h_, u"LabelData", db.data(), static_cast<DWORD>(db.size()));
        return name;
    }
    std::u16string name_;
    HANDLE h_ = nullptr;
};

TEST_F(DocSheetTest, WithoutFlagsOrOutputTheSizeIsAllThatComesBack)
{
    Install(ModelPpd(1));
    DRVDEVMODE out;
    std::memset(&out, 0xAB, sizeof out);
    DRVDEVMODE before = out;
    EXPECT_EQ(DrvDocumentProperties(nullptr, h_, name_.data(), &out.dmPublic, nullptr, 0), 304);
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0);
    EXPECT_EQ(DrvDocumentProperties(nullptr, h_, name_.data(), nullptr, nullptr, DM_COPY | DM_PROMPT), 304);
    EXPECT_EQ(DrvAdvancedDocumentProperties(nullptr, h_, name_.data(), nullptr, nullptr), 304);
    DOCUMENTPROPERTYHEADER hdr{sizeof hdr, 0, h_, name_.data(), nullptr, nullptr, 0, DM_COPY};
    EXPECT_EQ(DrvDocumentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&hdr)), 304);
    EXPECT_EQ(hdr.cbOut, 304u);
}

TEST_F(DocSheetTest, ChoosingALabelNamesItsFormAndDropsThePaperSize)
{
    Install(ModelPpd(1));
    const std::u16string wide = AddLabel(u" Wide", 100000, 50000);
    SheetRun run = Run(DM_PROMPT | DM_COPY, nullptr, [&](user::Desk& d) {
        const user::CommonSheetState s = d.Items();
        const user::ItemState* label = Item(s, 11);
        ASSERT_NE(label, nullptr);
        ASSERT_EQ(label->choices.size(), 2u);
        EXPECT_EQ(label->choices[1], wide);
        EXPECT_TRUE(d.Select(label->index, 1));
    });
    EXPECT_EQ(run.rc, IDOK);
    EXPECT_EQ(std::u16string(run.out.dmPublic.dmFormName), wide);
    EXPECT_TRUE(run.out.dmPublic.dmFields & DM_FORMNAME);
    EXPECT_FALSE(run.out.dmPublic.dmFields & (DM_PAPERLENGTH | DM_PAPERWIDTH));
    EXPECT_EQ(static_cast<DWORD>(run.out.dmPublic.dmPaperSize), FormNumber(wide));
    EXPECT_GT(FormNumber(wide), 0u);
}

TEST_F(DocSheetTest, ADeviceModeNamingNoLabelOpensOnTheStandardLabel)
{
    Install(ModelPpd(1));
    AddLabel(u" Wide", 100000, 50000);
    DRVDEVMODE in = Simple(nullptr);
    std::u16string letter = u"Letter";
    std::memset(in.dmPublic.dmFormName, 0, sizeof in.dmPublic.dmFormName);
    std::memcpy(in.dmPublic.dmFormName, letter.data(), letter.size() * 2);
    in.dmPublic.dmFields = (in.dmPublic.dmFields | DM_FORMNAME) & ~DM_PAPERSIZE;
    SheetRun run = Run(DM_PROMPT | DM_COPY | DM_MODIFY, &in.dmPublic, nullptr);
    const user::ItemState* label = Item(run.items, 11);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->selection, 0);
    EXPECT_EQ(label->text, name_ + u" Standard Label");
}

TEST_F(DocSheetTest, ColourItemOnlyForAColourDescriptionAndItsThreeModes)
{
    Install(ModelPpd(1));
    EXPECT_EQ(Item(Run(DM_PROMPT, nullptr, nullptr).items, 4), nullptr);

    Install(ModelPpd(0));
    auto choose = [&](LONG sel) {
        return Run(DM_PROMPT | DM_COPY, nullptr, [&](user::Desk& d) {
            const user::CommonSheetState s = d.Items();
            const user::ItemState* color = Item(s, 4);
            ASSERT_NE(color, nullptr);
            EXPECT_EQ(color->choices, (std::vector<std::u16string>{u"Monochrome", u"4 color", u"3 color"}));
            EXPECT_TRUE(d.Select(color->index, sel));
        });
    };
    SheetRun three = choose(2);
    EXPECT_EQ(three.out.dmPublic.dmColor, DMCOLOR_COLOR);
    EXPECT_EQ(three.out.dmPrivate.bFourColor, 0u);
    SheetRun four = choose(1);
    EXPECT_EQ(four.out.dmPublic.dmColor, DMCOLOR_COLOR);
    EXPECT_EQ(four.out.dmPrivate.bFourColor, 1u);
    SheetRun mono = choose(0);
    EXPECT_EQ(mono.out.dmPublic.dmColor, DMCOLOR_MONOCHROME);
    // The three-colour device mode opens on "3 color" again.
    SheetRun again = Run(DM_PROMPT | DM_MODIFY, &three.out.dmPublic, nullptr);
    EXPECT_EQ(Item(again.items, 4)->selection, 2);
}

TEST_F(DocSheetTest, WithoutPermissionApplyChangesNothing)
{
    Install(ModelPpd(1));
    DRVDEVMODE in = Simple(nullptr);
    in.dmPublic.dmCopies = 3;
    const DRVDEVMODE validated = Simple(&in.dmPublic);
    SheetRun run = Run(DM_PROMPT | DM_COPY | DM_NOPERMISSION, &in.dmPublic, [](user::Desk& d) {
        const user::CommonSheetState s = d.Items();
        d.Select(Item(s, 1)->index, 1);
        d.Select(Item(s, 3)->index, 7);
        d.Select(Item(s, 13)->index, 1);
    });
    EXPECT_EQ(run.rc, IDOK);
    EXPECT_EQ(std::memcmp(&run.out, &validated, sizeof run.out), 0);
    EXPECT_EQ(run.out.dmPublic.dmCopies, 3);
}

TEST_F(DocSheetTest, CancelLeavesTheOutputAlone)
{
    Install(ModelPpd(1));
    DRVDEVMODE out;
    std::memset(&out, 0x5A, sizeof out);
    const DRVDEVMODE before = out;
    user::Script script;
    script.Then([](user::Desk& d) { d.Cancel(); });
    EXPECT_EQ(DrvDocumentProperties(nullptr, h_, name_.data(), &out.dmPublic, nullptr, DM_PROMPT | DM_COPY),
              IDCANCEL);
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0);
}

TEST_F(DocSheetTest, PublicItemsReachTheDeviceMode)
{
    // A description with collation and two resolutions.
    std::string text = "*PPD-Adobe: \"4.3\"\n*LanguageLevel: \"3\"\n*ColorDevice: False\n"
                       "*OpenUI *Resolution: PickOne\n*DefaultResolution: 203dpi\n"
                       "*Resolution 203dpi: \"r203\"\n*Resolution 300dpi: \"r300\"\n*CloseUI: *Resolution\n"
                       "*OpenUI *Collate: Boolean\n*DefaultCollate: False\n*Collate True: \"c1\"\n"
                       "*Collate False: \"c0\"\n*CloseUI: *Collate\n";
    Install(WritePpd("collate.ppd", text));
    SheetRun run = Run(DM_PROMPT | DM_COPY, nullptr, [](user::Desk& d) {
        const user::CommonSheetState s = d.Items();
        const user::ItemState* copies = Item(s, 3);
        ASSERT_NE(copies, nullptr);
        EXPECT_EQ(copies->extName, u"Collate");
        EXPECT_FALSE(d.Select(copies->index, 10000));
        EXPECT_TRUE(d.Select(copies->index, 12));
        EXPECT_TRUE(d.CheckExt(copies->index, true));
        const user::ItemState* res = Item(s, 9);
        ASSERT_NE(res, nullptr);
        EXPECT_EQ(res->choices, (std::vector<std::u16string>{u"203", u"300"}));
        EXPECT_TRUE(d.Select(res->index, 1));
        EXPECT_TRUE(d.Select(Item(s, 1)->index, 1));
    });
    EXPECT_EQ(run.out.dmPublic.dmCopies, 12);
    EXPECT_EQ(run.out.dmPublic.dmCollate, 1);
    EXPECT_EQ(run.out.dmPublic.dmPrintQuality, 300);
    EXPECT_EQ(run.out.dmPublic.dmYResolution, 300);
    EXPECT_EQ(run.out.dmPublic.dmOrientation, DMORIENT_LANDSCAPE);
    // And the sheet opens on what it wrote.
    SheetRun again = Run(DM_PROMPT | DM_MODIFY, &run.out.dmPublic, nullptr);
    EXPECT_EQ(Item(again.items, 3)->selection, 12);
    EXPECT_TRUE(Item(again.items, 3)->extChecked);
    EXPECT_EQ(Item(again.items, 9)->selection, 1);
    EXPECT_EQ(Item(again.items, 1)->selection, 1);
}

TEST_F(DocSheetTest, DeviceOptionItemsFollowTheModel)
{
    const std::vector<std::u16string> common = {u"Orientation", u"Copies"};
    Install(ModelPpd(0));
    user::CommonSheetState s0 = Run(DM_PROMPT, nullptr, nullptr).items;
    EXPECT_EQ(Names(s0), (std::vector<std::u16string>{u"Orientation", u"Copies", u"Color", u"Form Name",
                                                       u"Resolution", u"Tag Rotation", u"Ribbon Saver",
                                                       u"Back Feed", u"Halftone", u"Help"}));
    EXPECT_EQ(Item(s0, 24)->choices.size(), 3u);

    Install(ModelPpd(7));
    EXPECT_EQ(Names(Run(DM_PROMPT, nullptr, nullptr).items),
              (std::vector<std::u16string>{u"Orientation", u"Copies", u"Form Name", u"Feed", u"Resolution",
                                           u"Tag Rotation", u"Auto Feed", u"Data Compression", u"Halftone",
                                           u"Help"}));

    Install(ModelPpd(10));
    user::CommonSheetState s10 = Run(DM_PROMPT, nullptr, nullptr).items;
    EXPECT_EQ(Names(s10), (std::vector<std::u16string>{u"Orientation", u"Copies", u"Form Name", u"Feed",
                                                        u"Resolution", u"Tag Rotation", u"Auto Feed", u"Halftone",
                                                        u"Help"}));
    EXPECT_EQ(Item(s10, 24)->choices, (std::vector<std::u16string>{u"Dither1", u"Dither2"}));

    Install(ModelPpd(1));
    EXPECT_EQ(Names(Run(DM_PROMPT, nullptr, nullptr).items),
              (std::vector<std::u16string>{u"Orientation", u"Copies", u"Form Name", u"Feed", u"Resolution",
                                           u"Tag Rotation", u"Ribbon Saver", u"Auto Feed", u"Mirror Print",
                                           u"Halftone", u"Help"}));
}

TEST_F(DocSheetTest, DeviceOptionsReachThePrivatePart)
{
    Install(ModelPpd(1));
    const DRVDEVMODE def = Simple(nullptr);
    ASSERT_EQ(def.dmPrivate.bBottomUp, 1u);
    ASSERT_EQ(def.dmPrivate.bRibbonSaver, 1u);
    SheetRun run = Run(DM_PROMPT | DM_COPY, nullptr, [](user::Desk& d) {
        const user::CommonSheetState s = d.Items();
        EXPECT_EQ(Item(s, 13)->text, u"Bottom Up");
        d.Select(Item(s, 13)->index, 1);  // Top Down
        d.Select(Item(s, 17)->index, 0);
        d.Select(Item(s, 19)->index, 1);
        d.Select(Item(s, 12)->index, 1);
        d.Select(Item(s, 24)->index, 2);
    });
    const DRVEXTRA& x = run.out.dmPrivate;
    EXPECT_EQ(x.bBottomUp, 0u);
    EXPECT_EQ(x.bRibbonSaver, 0u);
    EXPECT_EQ(x.bAutoFeed, 1u);
    EXPECT_EQ(x.bMirror, 1u);
    EXPECT_EQ(x.iHalftone, 2);
    EXPECT_EQ(x.bBackFeed, def.dmPrivate.bBackFeed);  // not offered on this model
}

TEST_F(DocSheetTest, AHalftoneTheModelLacksOpensOnTheFirstMethod)
{
    Install(ModelPpd(10));
    DRVDEVMODE in = Simple(nullptr);
    in.dmPrivate.iHalftone = 2;
    SheetRun run = Run(DM_PROMPT | DM_COPY | DM_MODIFY, &in.dmPublic, nullptr);
    EXPECT_EQ(Item(run.items, 24)->selection, 0);
    EXPECT_EQ(run.out.dmPrivate.iHalftone, 0);
}

TEST_F(DocSheetTest, EveryAllocationFailureReleasesEverything)
{
    Install(ModelPpd(0));
    auto once = [&] {
        user::Script script;
        script.Then([](user::Desk& d) { d.Ok(); });
        DRVDEVMODE out{};
        return DrvDocumentProperties(nullptr, h_, name_.data(), &out.dmPublic, nullptr, DM_PROMPT | DM_COPY);
    };
    FlushPpdCache();
    const long first = platform::AllocationCount();
    ASSERT_EQ(once(), IDOK);
    const long allocations = platform::AllocationCount() - first;
    long failures = 0;
    for (long n = 1; n <= allocations; ++n) {
        FlushPpdCache();
        const long global = platform::LiveGlobalBlocks();
        const long heaps = platform::LiveHeapBlocks(nullptr);
        platform::FailNthAllocation(n);
        const LONG rc = once();
        platform::FailNthAllocation(0);
        if (rc < 0) ++failures;
        else EXPECT_EQ(rc, IDOK) << "allocation " << n;
        FlushPpdCache();
        EXPECT_EQ(platform::LiveGlobalBlocks(), global) << "allocation " << n;
        EXPECT_EQ(platform::LiveHeapBlocks(nullptr), heaps) << "allocation " << n;
    }
    EXPECT_GT(failures, 10);
}

TEST_F(DocSheetTest, SheetFunctionRefusesMissingHeadersAndBrokenRecords)
{
    Install(ModelPpd(1));
    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof info;
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), -1);  // no header
    DOCUMENTPROPERTYHEADER hdr{sizeof hdr, 0, h_, name_.data(), nullptr, nullptr, 0, DM_PROMPT};
    info.lParamInit = reinterpret_cast<LPARAM>(&hdr);
    UIDATA fake{};
    info.UserData = reinterpret_cast<ULONG_PTR>(&fake);
    EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), -1);  // guards do not match
    info.Reason = 99;
    EXPECT_EQ(DrvDocumentPropertySheets(&info, 0), -1);
}

// ---- Device-mode conversion ------------------------------------------------------------

class ConvertTest : public DocSheetTest {};

TEST_F(ConvertTest, DriverDefaultNeeds304BytesAndNamesTheDriver)
{
    Install(ModelPpd(7));
    DRVDEVMODE out{};
    LONG cb = 303;
    EXPECT_FALSE(DrvConvertDevMode(name_.data(), nullptr, &out.dmPublic, &cb, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(cb, 304);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    cb = 304;
    ASSERT_TRUE(DrvConvertDevMode(name_.data(), nullptr, &out.dmPublic, &cb, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(cb, 304);
    EXPECT_EQ(std::u16string(out.dmPublic.dmDeviceName), u"LBL Test Driver");
    EXPECT_EQ(std::u16string(out.dmPublic.dmFormName), u"LBL Test Driver Standard Label");
    EXPECT_EQ(out.dmPublic.dmSize, 220);
    EXPECT_EQ(out.dmPublic.dmDriverExtra, 84);
    EXPECT_EQ(out.dmPrivate.dwSignature, 0x30343138u);
    EXPECT_EQ(out.dmPrivate.dwModel, 7u);

    std::u16string unknown = u"No Such Printer";
    cb = 304;
    EXPECT_FALSE(DrvConvertDevMode(unknown.data(), nullptr, &out.dmPublic, &cb, CDM_DRIVER_DEFAULT));
}

TEST_F(ConvertTest, ConversionsTheCommonCodeHandles)
{
    Install(ModelPpd(1));
    DRVDEVMODE cur = Simple(nullptr);
    cur.dmPrivate.bMirror = 1;
    cur.dmPublic.dmCopies = 5;

    // Down to the 3.51 shape: 188 public and 32 private bytes.
    std::vector<BYTE> old(220, 0xEE);
    auto* pOld = reinterpret_cast<DEVMODEW*>(old.data());
    LONG cb = 219;
    EXPECT_FALSE(DrvConvertDevMode(name_.data(), &cur.dmPublic, pOld, &cb, CDM_CONVERT351));
    EXPECT_EQ(cb, 220);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    cb = 220;
    ASSERT_TRUE(DrvConvertDevMode(name_.data(), &cur.dmPublic, pOld, &cb, CDM_CONVERT351));
    EXPECT_EQ(pOld->dmSize, 188);
    EXPECT_EQ(pOld->dmDriverExtra, 32);
    EXPECT_EQ(pOld->dmDriverVersion, 0x0350);
    EXPECT_EQ(pOld->dmSpecVersion, 0x0320);
    EXPECT_EQ(pOld->dmCopies, 5);

    // Back up onto a current record: the 32 private bytes come over, the rest stays.
    DRVDEVMODE back = Simple(nullptr);
    cb = 304;
    ASSERT_TRUE(DrvConvertDevMode(name_.data(), pOld, &back.dmPublic, &cb, CDM_CONVERT));
    EXPECT_EQ(cb, 304);
    EXPECT_EQ(back.dmPublic.dmCopies, 5);
    EXPECT_EQ(back.dmPublic.dmSize, 220);
    EXPECT_EQ(back.dmPrivate.dwSignature, cur.dmPrivate.dwSignature);
    EXPECT_EQ(back.dmPrivate.bMirror, 0u);  // beyond the first 32 private bytes

    cb = 100;
    EXPECT_FALSE(DrvConvertDevMode(name_.data(), pOld, &back.dmPublic, &cb, CDM_CONVERT));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(DrvConvertDevMode(name_.data(), pOld, &back.dmPublic, nullptr, CDM_CONVERT));
    cb = 304;
    EXPECT_FALSE(DrvConvertDevMode(name_.data(), pOld, &back.dmPublic, &cb, 8));
}

}  // namespace
