// A printer's default device mode in the spooler: stored with SetPrinterW, read
// back whole, merged into every sheet and document-properties call, and what
// DocumentPropertiesW hands an application.
#include <cstring>

#include "ui_fixture.h"
#include "user/msgbox.h"

using namespace uitest;

namespace {

class DefaultsTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        name_ = AddInstalledPrinter(ModelPpd(1));
        h_ = Open(name_);
    }
    DRVDEVMODE Simple(DEVMODEW* pdmIn)
    {
        DRVDEVMODE out{};
        EXPECT_EQ(DrvDocumentProperties(nullptr, h_, name_.data(), &out.dmPublic, pdmIn, DM_COPY), IDOK);
        return out;
    }
    std::vector<BYTE> Info(DWORD level)
    {
        DWORD cb = 0;
        GetPrinterW(h_, level, nullptr, 0, &cb);
        std::vector<BYTE> buf(cb);
        EXPECT_TRUE(GetPrinterW(h_, level, buf.data(), cb, &cb));
        return buf;
    }
    std::u16string name_;
    HANDLE h_ = nullptr;
};

TEST_F(DefaultsTest, StoredWholeAndReadBackAtBothLevels)
{
    EXPECT_EQ(reinterpret_cast<PRINTER_INFO_8W*>(Info(8).data())->pDevMode, nullptr);
    DRVDEVMODE dm = Simple(nullptr);
    dm.dmPublic.dmOrientation = DMORIENT_LANDSCAPE;
    dm.dmPrivate.bMirror = 1;
    PRINTER_INFO_8W i8{&dm.dmPublic};
    ASSERT_TRUE(SetPrinterW(h_, 8, reinterpret_cast<LPBYTE>(&i8), 0));

    std::vector<BYTE> b8 = Info(8);
    const DEVMODEW* p8 = reinterpret_cast<PRINTER_INFO_8W*>(b8.data())->pDevMode;
    ASSERT_NE(p8, nullptr);
    EXPECT_EQ(std::memcmp(p8, &dm, sizeof dm), 0);
    std::vector<BYTE> b2 = Info(2);
    const auto* i2 = reinterpret_cast<PRINTER_INFO_2W*>(b2.data());
    ASSERT_NE(i2->pDevMode, nullptr);
    EXPECT_EQ(std::memcmp(i2->pDevMode, &dm, sizeof dm), 0);
    EXPECT_EQ(std::u16string(i2->pPrinterName), name_);  // the strings still come whole

    // Level 2 without a device mode keeps the stored one.
    PRINTER_INFO_2W none{};
    EXPECT_TRUE(SetPrinterW(h_, 2, reinterpret_cast<LPBYTE>(&none), 0));
    EXPECT_NE(reinterpret_cast<PRINTER_INFO_8W*>(Info(8).data())->pDevMode, nullptr);
}

TEST_F(DefaultsTest, UnsoundRecordsAndLevelsAreRefused)
{
    DRVDEVMODE dm = Simple(nullptr);
    dm.dmPublic.dmSize = 10;
    PRINTER_INFO_8W i8{&dm.dmPublic};
    EXPECT_FALSE(SetPrinterW(h_, 8, reinterpret_cast<LPBYTE>(&i8), 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    i8.pDevMode = nullptr;
    EXPECT_FALSE(SetPrinterW(h_, 8, reinterpret_cast<LPBYTE>(&i8), 0));
    EXPECT_FALSE(SetPrinterW(h_, 3, reinterpret_cast<LPBYTE>(&i8), 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
    EXPECT_EQ(reinterpret_cast<PRINTER_INFO_8W*>(Info(8).data())->pDevMode, nullptr);
}

TEST_F(DefaultsTest, EveryJobStartsFromThePrinterDefaults)
{
    DRVDEVMODE dm = Simple(nullptr);
    dm.dmPublic.dmCopies = 4;
    dm.dmPrivate.bAutoFeed = 1;
    PRINTER_INFO_8W i8{&dm.dmPublic};
    ASSERT_TRUE(SetPrinterW(h_, 8, reinterpret_cast<LPBYTE>(&i8), 0));
    const DRVDEVMODE job = Simple(nullptr);
    EXPECT_EQ(job.dmPublic.dmCopies, 4);
    EXPECT_EQ(job.dmPrivate.bAutoFeed, 1u);
    // An application's own device mode goes over them.
    DRVDEVMODE mine = job;
    mine.dmPublic.dmCopies = 2;
    EXPECT_EQ(Simple(&mine.dmPublic).dmPublic.dmCopies, 2);
}

TEST_F(DefaultsTest, DeletingThePrinterDropsItsDefaults)
{
    DRVDEVMODE dm = Simple(nullptr);
    PRINTER_INFO_8W i8{&dm.dmPublic};
    ASSERT_TRUE(SetPrinterW(h_, 8, reinterpret_cast<LPBYTE>(&i8), 0));
    auto record = platform::FindPrinter(platform::Narrow(name_));
    ASSERT_TRUE(record);
    ClosePrinter(h_);
    handles_.clear();
    ASSERT_EQ(platform::DeletePrinter(record->name), ERROR_SUCCESS);
    ASSERT_EQ(platform::AddPrinter(*record), ERROR_SUCCESS);
    h_ = Open(name_);
    EXPECT_EQ(reinterpret_cast<PRINTER_INFO_8W*>(Info(8).data())->pDevMode, nullptr);
}

TEST_F(DefaultsTest, DocumentPropertiesWReachesTheDriverAndConvertsOldShapes)
{
    // The loaded library keeps its cached description for the life of the process.
    checkLeaks_ = false;
    EXPECT_EQ(DocumentPropertiesW(nullptr, h_, name_.data(), nullptr, nullptr, 0), 304);
    DRVDEVMODE cur = Simple(nullptr);
    cur.dmPublic.dmCopies = 6;
    cur.dmPublic.dmOrientation = DMORIENT_LANDSCAPE;
    // The same settings in the 3.51 shape, as an old application keeps them.
    std::vector<BYTE> old(220);
    LONG cb = 220;
    ASSERT_TRUE(DrvConvertDevMode(name_.data(), &cur.dmPublic, reinterpret_cast<DEVMODEW*>(old.data()), &cb,
                                  CDM_CONVERT351));
    DRVDEVMODE out{};
    EXPECT_EQ(DocumentPropertiesW(nullptr, h_, name_.data(), &out.dmPublic, reinterpret_cast<DEVMODEW*>(old.data()),
                                  DM_IN_BUFFER | DM_OUT_BUFFER),
              IDOK);
    EXPECT_EQ(out.dmPublic.dmSize, 220);
    EXPECT_EQ(out.dmPublic.dmDriverExtra, 84);
    EXPECT_EQ(out.dmPublic.dmCopies, 6);
    EXPECT_EQ(out.dmPublic.dmOrientation, DMORIENT_LANDSCAPE);
    // Without DM_IN_BUFFER the input is not looked at.
    DRVDEVMODE plain{};
    EXPECT_EQ(DocumentPropertiesW(nullptr, h_, name_.data(), &plain.dmPublic, reinterpret_cast<DEVMODEW*>(old.data()),
                                  DM_OUT_BUFFER),
              IDOK);
    EXPECT_EQ(plain.dmPublic.dmCopies, 1);
    EXPECT_EQ(DocumentPropertiesW(nullptr, nullptr, name_.data(), &plain.dmPublic, nullptr, DM_OUT_BUFFER), -1);
}

}  // namespace
