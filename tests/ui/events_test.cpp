// Install events, driver upgrade and the registration of labels as forms; the
// printer's security context around a cache refresh.
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/codepage.h"
#include "spooler/job.h"
#include "ui_fixture.h"

using namespace uitest;

namespace {

// CRC-16 of a file: polynomial 0x1021, start 0, most significant bit first.
WORD Crc16(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    unsigned crc = 0;
    for (unsigned char c : bytes) {
        crc ^= static_cast<unsigned>(c) << 8;
        for (int i = 0; i < 8; ++i) crc = (crc & 0x8000) ? ((crc << 1) ^ 0x1021) : (crc << 1);
        crc &= 0xFFFF;
    }
    return static_cast<WORD>(crc);
}

template <class T>
T At(const std::vector<BYTE>& v, size_t offset)
{
    T x{};
    std::memcpy(&x, v.data() + offset, sizeof x);
    return x;
}

class EventsTest : public UiTest {};

TEST_F(EventsTest, ANewPrinterGetsItsValuesAndTheFormOfItsStandardLabel)
{
    const std::string ppd = ModelPpd(4);
    const std::u16string name = AddInstalledPrinter(ppd);
    HANDLE h = Open(name);

    DWORD type = 0;
    std::vector<BYTE> prop = Value(h, u"PrinterData", &type);
    ASSERT_EQ(prop.size(), 36u);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(At<WORD>(prop, 0), 0x0110);
    EXPECT_EQ(At<WORD>(prop, 2), 36);
    EXPECT_EQ(At<DWORD>(prop, 4), 1u);  // PP_METRIC
    for (size_t i = 8; i < 32; ++i) EXPECT_EQ(prop[i], 0) << i;
    EXPECT_EQ(At<WORD>(prop, 32), Crc16(ppd));
    EXPECT_EQ(At<WORD>(prop, 34), 0);

    std::vector<BYTE> size = Value(h, u"PrinterDataSize", &type);
    ASSERT_EQ(size.size(), 4u);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(At<DWORD>(size, 0), 36u);
    EXPECT_EQ(Value(h, u"PrinterHT"), std::vector<BYTE>(4, 0));

    std::vector<BYTE> db = Value(h, u"LabelData");
    ASSERT_EQ(db.size(), 4u + 248u);
    EXPECT_EQ(At<DWORD>(db, 0), 1u);
    const std::u16string label = name + u" Standard Label";
    EXPECT_EQ(At<DWORD>(db, 4), 248u);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(db.data() + 8)), label);
    EXPECT_EQ(At<LONG>(db, 4 + 68), 80000);
    EXPECT_EQ(At<LONG>(db, 4 + 72), 74200);
    EXPECT_EQ(At<LONG>(db, 4 + 76), 762);
    EXPECT_EQ(At<LONG>(db, 4 + 108), 100);
    EXPECT_EQ(At<LONG>(db, 4 + 112), 167);

    const DWORD number = FormNumber(label);
    ASSERT_NE(number, 0u);
    const Form form = Forms()[number - 1];
    EXPECT_EQ(form.flags, FORM_PRINTER);
    EXPECT_EQ(form.size.cx, 80000);
    EXPECT_EQ(form.size.cy, 74200);
    EXPECT_EQ(form.area.left, 0);
    EXPECT_EQ(form.area.top, 0);
    EXPECT_EQ(form.area.right, 80000);
    EXPECT_EQ(form.area.bottom, 74200);
}

TEST_F(EventsTest, OtherEventsDoNothing)
{
    const std::u16string name = AddBarePrinter(ModelPpd(2));
    std::u16string n = name;
    for (INT event : {PRINTER_EVENT_CONFIGURATION_CHANGE, PRINTER_EVENT_ADD_CONNECTION, PRINTER_EVENT_DELETE,
                      PRINTER_EVENT_CACHE_DELETE, 99})
        EXPECT_TRUE(DrvPrinterEvent(n.data(), event, 0, 0));
    EXPECT_TRUE(Value(Open(name), u"PrinterData").empty());
}

TEST_F(EventsTest, ARefreshRunsInTheSpoolersContextAndAlwaysRestoresTheCallers)
{
    const std::u16string name = AddBarePrinter(ModelPpd(2));
    std::u16string n = name;
    ASSERT_EQ(platform::CurrentSecurityContext(), platform::SecurityContext::Client);
    EXPECT_TRUE(DrvPrinterEvent(n.data(), PRINTER_EVENT_CACHE_REFRESH, 0, 0));
    EXPECT_EQ(platform::CurrentSecurityContext(), platform::SecurityContext::Client);
    EXPECT_EQ(platform::OutstandingRevertTokens(), 0);
    // A refresh stores the label database but not the printer properties.
    HANDLE h = Open(name);
    EXPECT_EQ(Value(h, u"LabelData").size(), 252u);
    EXPECT_TRUE(Value(h, u"PrinterData").empty());

    // A printer that cannot be opened: the event fails, and the context is back.
    std::u16string unknown = u"No Such Printer";
    EXPECT_FALSE(DrvPrinterEvent(unknown.data(), PRINTER_EVENT_CACHE_REFRESH, 0, 0));
    EXPECT_EQ(platform::CurrentSecurityContext(), platform::SecurityContext::Client);
    EXPECT_EQ(platform::OutstandingRevertTokens(), 0);
    EXPECT_FALSE(DrvPrinterEvent(unknown.data(), PRINTER_EVENT_INITIALIZE, 0, 0));
    EXPECT_EQ(platform::OutstandingRevertTokens(), 0);
}

TEST(SecurityContext, TokensRestoreOnlyOnceAndOnlyOnTheirThread)
{
    HANDLE outer = RevertToPrinterSelf();
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(platform::CurrentSecurityContext(), platform::SecurityContext::Spooler);
    HANDLE inner = RevertToPrinterSelf();
    EXPECT_TRUE(ImpersonatePrinterClient(inner));
    EXPECT_EQ(platform::CurrentSecurityContext(), platform::SecurityContext::Spooler);
    EXPECT_FALSE(ImpersonatePrinterClient(inner));  // already used
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(ImpersonatePrinterClient(outer));
    EXPECT_EQ(platform::CurrentSecurityContext(), platform::SecurityContext::Client);
    EXPECT_EQ(platform::OutstandingRevertTokens(), 0);
    EXPECT_FALSE(ImpersonatePrinterClient(nullptr));
}

TEST_F(EventsTest, UpgradeBringsAnOldRecordToTheCurrentVersion)
{
    const std::string ppd = ModelPpd(5);
    const std::u16string name = AddInstalledPrinter(ppd);
    HANDLE h = Open(name);
    std::vector<BYTE> old(24);
    for (size_t i = 0; i < old.size(); ++i) old[i] = static_cast<BYTE>(0xA0 + i);
    const WORD version = 0x0100, size = 24;
    std::memcpy(old.data(), &version, 2);
    std::memcpy(old.data() + 2, &size, 2);
    SetValue(h, u"PrinterData", old.data(), 24);
    const DWORD cb = 24;
    SetValue(h, u"PrinterDataSize", &cb, 4, REG_DWORD);

    DRIVER_UPGRADE_INFO_1 info{const_cast<LPWSTR>(name.c_str()), nullptr};
    EXPECT_TRUE(DrvUpgradePrinter(1, reinterpret_cast<LPBYTE>(&info)));
    std::vector<BYTE> prop = Value(h, u"PrinterData");
    ASSERT_EQ(prop.size(), 36u);
    EXPECT_EQ(At<WORD>(prop, 0), 0x0110);
    EXPECT_EQ(At<WORD>(prop, 2), 36);
    for (size_t i = 4; i < 24; ++i) EXPECT_EQ(prop[i], old[i]) << i;
    for (size_t i = 24; i < 32; ++i) EXPECT_EQ(prop[i], 0) << i;
    EXPECT_EQ(At<WORD>(prop, 32), Crc16(ppd));
    EXPECT_EQ(At<DWORD>(Value(h, u"PrinterDataSize"), 0), 36u);
}

TEST_F(EventsTest, UpgradeRefusesWhatItCannotUse)
{
    EXPECT_FALSE(DrvUpgradePrinter(1, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    const std::u16string name = AddInstalledPrinter(ModelPpd(5));
    DRIVER_UPGRADE_INFO_1 info{const_cast<LPWSTR>(name.c_str()), nullptr};
    EXPECT_FALSE(DrvUpgradePrinter(2, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    std::u16string unknown = u"No Such Printer";
    DRIVER_UPGRADE_INFO_1 none{unknown.data(), nullptr};
    EXPECT_FALSE(DrvUpgradePrinter(1, reinterpret_cast<LPBYTE>(&none)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    // Without its description the record is not touched.
    const std::u16string bare = AddBarePrinter(TestDir() + "/lost.ppd");
    DRIVER_UPGRADE_INFO_1 lost{const_cast<LPWSTR>(bare.c_str()), nullptr};
    EXPECT_FALSE(DrvUpgradePrinter(1, reinterpret_cast<LPBYTE>(&lost)));
    EXPECT_TRUE(Value(Open(bare), u"PrinterData").empty());
}

class FormsTest : public UiTest {
protected:
    // A database of three labels; the second has no width.
    void SetUp() override
    {
        UiTest::SetUp();
        name_ = AddInstalledPrinter(ModelPpd(6));
        h_ = Open(name_);
        db_.assign(4 + 3 * 248, 0);
        const DWORD three = 3;
        std::memcpy(db_.data(), &three, 4);
        const std::u16string names[3] = {name_ + u" One", name_ + u" Two", name_ + u" Three"};
        for (int i = 0; i < 3; ++i) {
            BYTE* r = db_.data() + 4 + i * 248;
            const DWORD cb = 248;
            const LONG w = i == 1 ? 0 : 50000 + i, hgt = 30000 + i;
            std::memcpy(r, &cb, 4);
            std::memcpy(r + 4, names[i].data(), names[i].size() * 2);
            std::memcpy(r + 68, &w, 4);
            std::memcpy(r + 72, &hgt, 4);
            labels_[i] = names[i];
        }
    }
    PLABELDATA Db() { return reinterpret_cast<PLABELDATA>(db_.data() + 4); }
    void AddUserForm(const std::u16string& name)
    {
        std::u16string n = name;
        FORM_INFO_1W f{FORM_USER, n.data(), {10000, 10000}, {0, 0, 10000, 10000}};
        ASSERT_TRUE(AddFormW(h_, 1, reinterpret_cast<LPBYTE>(&f)));
    }
    void SetMarker(DWORD v) { SetValue(h_, u"Forms?", &v, 4, REG_DWORD); }

    std::u16string name_;
    HANDLE h_ = nullptr;
    std::vector<BYTE> db_;
    std::u16string labels_[3];
};

TEST_F(FormsTest, EveryLabelWithASizeBecomesAPrinterFormOnce)
{
    EXPECT_TRUE(AddPrinterForms(h_, Db()));
    const auto after = Forms();
    EXPECT_NE(FormNumber(labels_[0]), 0u);
    EXPECT_EQ(FormNumber(labels_[1]), 0u);  // width 0
    const Form three = after[FormNumber(labels_[2]) - 1];
    EXPECT_EQ(three.flags, FORM_PRINTER);
    EXPECT_EQ(three.size.cx, 50002);
    EXPECT_EQ(three.area.bottom, 30002);
    EXPECT_TRUE(AddPrinterForms(h_, Db()));
    EXPECT_EQ(Forms().size(), after.size());
    EXPECT_TRUE(AddPrinterForms(h_, nullptr));
}

TEST_F(FormsTest, UserFormsNamedLikeLabelsAreConvertedWhenMarked)
{
    AddUserForm(labels_[0]);
    AddUserForm(labels_[2]);
    SetMarker(1);
    RemovePrinterForms(h_, Db());
    EXPECT_EQ(Forms()[FormNumber(labels_[0]) - 1].flags, FORM_PRINTER);
    EXPECT_EQ(Forms()[FormNumber(labels_[2]) - 1].size.cx, 50002);
    EXPECT_EQ(At<DWORD>(Value(h_, u"Forms?"), 0), 0u);
}

TEST_F(FormsTest, UserFormsStayWithoutTheMarker)
{
    AddUserForm(labels_[0]);
    RemovePrinterForms(h_, Db());  // "Forms?" absent
    EXPECT_EQ(Forms()[FormNumber(labels_[0]) - 1].flags, FORM_USER);
    SetMarker(0);
    RemovePrinterForms(h_, Db());
    EXPECT_EQ(Forms()[FormNumber(labels_[0]) - 1].flags, FORM_USER);
    EXPECT_EQ(FormNumber(labels_[2]), 0u);
}

TEST_F(FormsTest, AnUpgradeConvertsThroughTheMarker)
{
    // The stored database carries the three labels.
    SetValue(h_, u"LabelData", db_.data(), static_cast<DWORD>(db_.size()));
    AddUserForm(labels_[0]);
    AddUserForm(labels_[2]);
    SetMarker(1);
    DRIVER_UPGRADE_INFO_1 info{const_cast<LPWSTR>(name_.c_str()), nullptr};
    EXPECT_TRUE(DrvUpgradePrinter(1, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(Forms()[FormNumber(labels_[0]) - 1].flags, FORM_PRINTER);
    EXPECT_EQ(Forms()[FormNumber(labels_[2]) - 1].flags, FORM_PRINTER);
    EXPECT_EQ(At<DWORD>(Value(h_, u"Forms?"), 0), 0u);
}

// The spooler side: a printer added through AddPrinterW gets its values from the
// built liblblui.so, and a job start asks that library first.
class SpoolerTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        checkLeaks_ = false;  // the library's own cache keeps a record
    }
};

TEST_F(SpoolerTest, AddPrinterRunsTheInstallEventOfTheUiLibrary)
{
    std::u16string driver = u"LBL Model 8", data = platform::Widen(ModelPpd(8)), render = u"/elsewhere/liblblrender.so",
                   ui = u"/elsewhere/liblblui.so", help = u"";
    DRIVER_INFO_3W di{};
    di.pName = driver.data();
    di.pDataFile = data.data();
    di.pDriverPath = render.data();
    di.pConfigFile = ui.data();
    di.pHelpFile = help.data();
    ASSERT_TRUE(AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&di)));
    auto stored = platform::FindDriver("LBL Model 8");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->uiLibrary, "liblblui.so");  // libraries are known by name only

    std::u16string name = u"Spooled Printer", port = platform::Widen(TestDir() + "/spooled.prn");
    PRINTER_INFO_2W pi{};
    pi.pPrinterName = name.data();
    pi.pPortName = port.data();
    pi.pDriverName = driver.data();
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&pi));
    ASSERT_NE(h, nullptr) << GetLastError();
    handles_.push_back(h);
    printers_.push_back(name);
    EXPECT_EQ(Value(h, u"PrinterData").size(), 36u);
    EXPECT_NE(FormNumber(name + u" Standard Label"), 0u);

    // The job check: a job on A4 is refused with the driver's message, a job on the label passes.
    auto record = platform::FindPrinter("Spooled Printer");
    ASSERT_TRUE(record);
    DRVDEVMODE dm{};
    ASSERT_TRUE(SetDefaultDevMode(&dm, nullptr, nullptr, TRUE));
    dm.dmPublic.dmFields = DM_PAPERSIZE;
    dm.dmPublic.dmPaperSize = 9;
    std::vector<BYTE> bytes(reinterpret_cast<BYTE*>(&dm), reinterpret_cast<BYTE*>(&dm) + sizeof dm);
    std::string reason;
    EXPECT_FALSE(platform::QueryJob(h, *record, bytes, reason));
    EXPECT_EQ(reason, "Invalid paper size");
    dm.dmPublic.dmPaperSize = static_cast<SHORT>(FormNumber(name + u" Standard Label"));
    std::memcpy(bytes.data(), &dm, sizeof dm);
    EXPECT_TRUE(platform::QueryJob(h, *record, bytes, reason));

    // Unknown driver, existing name.
    std::u16string other = u"Other";
    pi.pDriverName = other.data();
    EXPECT_EQ(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&pi)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_UNKNOWN_PRINTER_DRIVER);
    pi.pDriverName = driver.data();
    EXPECT_EQ(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&pi)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PRINTER_ALREADY_EXISTS);
}

TEST_F(SpoolerTest, APrinterWhoseUiLibraryIsMissingIsNotMade)
{
    std::u16string driver = u"Broken", data = platform::Widen(ModelPpd(8)), render = u"liblblrender.so",
                   ui = u"libnosuchui.so", help = u"";
    DRIVER_INFO_3W di{};
    di.pName = driver.data();
    di.pDataFile = data.data();
    di.pDriverPath = render.data();
    di.pConfigFile = ui.data();
    di.pHelpFile = help.data();
    ASSERT_TRUE(AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&di)));
    std::u16string name = u"Broken Printer", port = u"/dev/null";
    PRINTER_INFO_2W pi{};
    pi.pPrinterName = name.data();
    pi.pPortName = port.data();
    pi.pDriverName = driver.data();
    EXPECT_EQ(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&pi)), nullptr);
    EXPECT_EQ(GetLastError(), 126u);
    EXPECT_FALSE(platform::FindPrinter("Broken Printer"));
}

}  // namespace
