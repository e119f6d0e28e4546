// The print query: which jobs print, the reasons of those that do not, and the
// formatter that writes a reason into a caller's buffer.
#include <cstring>

#include "ui_fixture.h"

using namespace uitest;

namespace {

class DevQueryTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        name_ = AddInstalledPrinter(ModelPpd(3));
        h_ = Open(name_);
        ASSERT_TRUE(SetDefaultDevMode(&dm_, nullptr, nullptr, TRUE));
        dm_.dmPublic.dmFields = 0;
    }

    // The query's answer and the reason it wrote.
    bool Query(DWORD cch = 64)
    {
        reason_.assign(cch + 1, u'#');
        DEVQUERYPRINT_INFO info{};
        info.cbSize = sizeof info;
        info.Level = 1;
        info.hPrinter = h_;
        info.pDevMode = &dm_.dmPublic;
        info.pszErrorStr = reason_.data();
        info.cchErrorStr = cch;
        const BOOL ok = DevQueryPrintEx(&info);
        needed_ = info.cchNeeded;
        return ok;
    }
    std::u16string Reason() const { return std::u16string(reason_.c_str()); }

    void ChooseForm(SHORT number)
    {
        dm_.dmPublic.dmFields |= DM_PAPERSIZE;
        dm_.dmPublic.dmPaperSize = number;
    }

    std::u16string name_;
    HANDLE h_ = nullptr;
    DRVDEVMODE dm_{};
    std::u16string reason_;
    DWORD needed_ = 0;
};

TEST_F(DevQueryTest, AJobOnALabelAtAResolutionOfThePrinterPrints)
{
    ChooseForm(static_cast<SHORT>(FormNumber(name_ + u" Standard Label")));
    dm_.dmPublic.dmFields |= DM_PRINTQUALITY;
    dm_.dmPublic.dmPrintQuality = 300;
    EXPECT_TRUE(Query());
}

TEST_F(DevQueryTest, ALabelChosenByNamePrints)
{
    const std::u16string label = name_ + u" Standard Label";
    dm_.dmPublic.dmFields |= DM_FORMNAME;
    CopyStringW(dm_.dmPublic.dmFormName, label.c_str(), CCHFORMNAME);
    EXPECT_TRUE(Query());
}

TEST_F(DevQueryTest, AJobWithoutDeviceModePrints)
{
    DEVQUERYPRINT_INFO info{};
    info.hPrinter = h_;
    EXPECT_TRUE(DevQueryPrintEx(&info));
    EXPECT_FALSE(DevQueryPrintEx(nullptr));
}

TEST_F(DevQueryTest, FormNumberZeroIsNoPaper)
{
    ChooseForm(0);
    EXPECT_FALSE(Query());
    EXPECT_EQ(Reason(), u"No paper");
    EXPECT_EQ(needed_, 9u);
}

TEST_F(DevQueryTest, AFormThatIsNoLabelIsAnInvalidPaperSize)
{
    ChooseForm(9);  // A4, built in
    EXPECT_FALSE(Query());
    EXPECT_EQ(Reason(), u"Invalid paper size");
    EXPECT_EQ(needed_, 19u);
}

TEST_F(DevQueryTest, AResolutionThePrinterLacksFallsBackToItsDefault)
{
    // Merging brings the job to a resolution of the printer, so the job prints.
    ChooseForm(static_cast<SHORT>(FormNumber(name_ + u" Standard Label")));
    dm_.dmPublic.dmFields |= DM_PRINTQUALITY;
    dm_.dmPublic.dmPrintQuality = 600;
    EXPECT_TRUE(Query());
}

TEST_F(DevQueryTest, ABrokenDeviceModeIsRefused)
{
    dm_.dmPublic.dmSpecVersion = 0;  // and a size of no known version
    dm_.dmPublic.dmSize = 77;
    dm_.dmPublic.dmDriverExtra = 0;
    EXPECT_FALSE(Query());
    EXPECT_EQ(Reason(), u"Invalid DEVMODE");
}

TEST_F(DevQueryTest, AnUnreadableDescriptionIsReported)
{
    h_ = Open(AddBarePrinter(TestDir() + "/gone.ppd"));
    ChooseForm(1);
    EXPECT_FALSE(Query());
    EXPECT_EQ(Reason(), u"You failed to read data file");
}

TEST_F(DevQueryTest, AShortBufferHoldsWhatFitsAndTellsTheWholeLength)
{
    ChooseForm(0);
    EXPECT_FALSE(Query(5));
    EXPECT_EQ(reason_.substr(0, 5), std::u16string(u"No p\0", 5));
    EXPECT_EQ(reason_[5], u'#');  // nothing written past the buffer
    EXPECT_EQ(needed_, 9u);
    EXPECT_FALSE(Query(0));  // no room at all: nothing written, the length still told
    EXPECT_EQ(reason_[0], u'#');
    EXPECT_EQ(needed_, 9u);
}

TEST(DQPsprintf, Directives)
{
    HMODULE h = UiModule();
    ASSERT_NE(h, nullptr);
    WCHAR buf[64];
    DWORD needed = 0;
    EXPECT_EQ(DQPsprintf(h, buf, 64, &needed, u"%! %d|%u|%x|%X|%c|%s|%%|%q", 208, -12, 4000000000u, 0xBEEFu, 0xBEEFu,
                         static_cast<int>(u'Z'), u"wide"),
              54);
    EXPECT_EQ(std::u16string(buf), u"Invalid paper size -12|4000000000|beef|BEEF|Z|wide|%|q");
    EXPECT_EQ(needed, 55u);
    // A missing string inserts nothing.
    EXPECT_EQ(DQPsprintf(h, buf, 64, &needed, u"[%!]", 9999), 2);
    EXPECT_EQ(std::u16string(buf), u"[]");
    // A one-character buffer holds only the terminator.
    EXPECT_EQ(DQPsprintf(h, buf, 1, &needed, u"%!", 209), 0);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(needed, 9u);
}

}  // namespace
