// Printer properties, colour tables and the label database as printer data.
#include <cstring>
#include <string>
#include <vector>

#include "settings/settings_env.h"

namespace {

using settings_test::Ppd;
using settings_test::SettingsTest;

std::vector<BYTE> Bytes(const void* p, size_t n)
{
    auto* b = static_cast<const BYTE*>(p);
    return std::vector<BYTE>(b, b + n);
}

// A stored database image: count, then the records.
std::vector<BYTE> DatabaseImage(const std::vector<LABELDATA>& labels, DWORD count)
{
    std::vector<BYTE> v(4 + labels.size() * sizeof(LABELDATA));
    std::memcpy(v.data(), &count, 4);
    if (!labels.empty()) std::memcpy(v.data() + 4, labels.data(), labels.size() * sizeof(LABELDATA));
    return v;
}

std::vector<LABELDATA> SampleLabels(int n)
{
    std::vector<LABELDATA> v;
    for (int i = 0; i < n; ++i) {
        LABELDATA l = DefaultLabel;
        CopyStringW(l.szLabelName, (u"Label " + std::u16string(1, char16_t(u'A' + i))).c_str(), CCHLABELNAME);
        l.lWidth = 40000 + 1000 * i;
        l.lHeight = 30000 + 500 * i;
        l.lPitch = 330 + i;
        l.iCutInterval = i == 2 ? 999 : i;
        l.alPosAdj[7] = -i;
        l.aRibbon[3].lBackTensionAdj = 7 * i;
        v.push_back(l);
    }
    return v;
}

class Storage : public SettingsTest {};

TEST_F(Storage, NothingStoredGivesTheDefaults)
{
    Ppd ppd;
    PPRINTERPROP pp = GetPrinterProperties(h, ppd);
    ASSERT_NE(pp, nullptr);
    PRINTERPROP want{};
    want.wVersion = 0x0110;
    want.wSize = 36;
#if defined(LBL_UI_BUILD)
    want.dwFlags = PP_METRIC;
#endif
    want.wPpdChecksum = ppd.get()->wChecksum;
    EXPECT_EQ(Bytes(pp, 36), Bytes(&want, 36));
    DrvFreeMem(pp);

    PLABELDATA db = GetLabelDatabase(h, printerName.c_str());
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(GetLabelNum(db), 1u);
    LABELDATA label = DefaultLabel;
    CopyStringW(label.szLabelName, (printerName + u" Standard Label").c_str(), CCHLABELNAME);
    EXPECT_EQ(Bytes(db, sizeof(LABELDATA)), Bytes(&label, sizeof(LABELDATA)));
    EXPECT_EQ(FindLabelData(db, (printerName + u" Standard Label").c_str()), db);
    EXPECT_EQ(FindLabelData(db, (printerName + u" standard label").c_str()), nullptr);
    EXPECT_EQ(FindLabelData(db, nullptr), nullptr);
    EXPECT_EQ(FindLabelData(nullptr, u"x"), nullptr);
    EXPECT_EQ(GetLabelNum(nullptr), 0u);
    FreeLabelDatabase(db);
    FreeLabelDatabase(nullptr);

    for (INT t : {PROP_SPOTCOLOR, PROP_CUSTOMCOLOR}) {
        const size_t cb = t == PROP_SPOTCOLOR ? 32 : 64;
        PVOID table = GetProperty(h, t);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(Bytes(table, cb), std::vector<BYTE>(cb, 0));
        DrvFreeMem(table);
    }
    EXPECT_EQ(GetProperty(h, 2), nullptr);
}

TEST_F(Storage, HalftoneValueAndStoredChecksum)
{
    Ppd ppd;
    DWORD ht = 1;
    ASSERT_EQ(SetValue(u"PrinterHT", &ht, 4), ERROR_SUCCESS);
    PPRINTERPROP pp = DefaultPrinterProperties(h, ppd);
    ASSERT_NE(pp, nullptr);
    EXPECT_TRUE(pp->dwFlags & PP_HALFTONE);
    DrvFreeMem(pp);

    // A stored record with a stale checksum comes back with the description's.
    PRINTERPROP stored{0x0110, 36, 0, 1, 1, {}, static_cast<WORD>(ppd.get()->wChecksum ^ 0x5A5A), 0};
    DWORD size = 36;
    ASSERT_EQ(SetValue(u"PrinterDataSize", &size, 4, REG_DWORD), ERROR_SUCCESS);
    ASSERT_EQ(SetValue(u"PrinterData", &stored, 36), ERROR_SUCCESS);
    pp = GetPrinterProperties(h, ppd);
    ASSERT_NE(pp, nullptr);
    EXPECT_EQ(pp->bExpansionRAM, 1u);
    EXPECT_EQ(pp->bPassThrough, 1u);
    EXPECT_EQ(pp->dwFlags, 0u);
    EXPECT_EQ(pp->wPpdChecksum, ppd.get()->wChecksum);
    DrvFreeMem(pp);
}

TEST_F(Storage, ShortOrMissizedPrinterDataIsZeroExtended)
{
    Ppd ppd;
    const BYTE shortRec[10] = {0x10, 0x01, 10, 0, 2, 0, 0, 0, 1, 0};
    DWORD size = sizeof(shortRec);
    ASSERT_EQ(SetValue(u"PrinterDataSize", &size, 4, REG_DWORD), ERROR_SUCCESS);
    ASSERT_EQ(SetValue(u"PrinterData", shortRec, sizeof(shortRec)), ERROR_SUCCESS);
    PPRINTERPROP pp = GetPrinterProperties(h, ppd);
    ASSERT_NE(pp, nullptr);
    EXPECT_EQ(pp->wSize, 10);
    EXPECT_EQ(pp->dwFlags, PP_HALFTONE);
    EXPECT_EQ(pp->bExpansionRAM, 1u);
    EXPECT_EQ(pp->bPassThrough, 0u);
    EXPECT_EQ(pp->wPpdChecksum, ppd.get()->wChecksum);
    EXPECT_EQ(pp->wReserved, 0);
    DrvFreeMem(pp);

    // The size value claims more than is stored: the missing bytes read as zeros.
    size = 36;
    ASSERT_EQ(SetValue(u"PrinterDataSize", &size, 4, REG_DWORD), ERROR_SUCCESS);
    pp = GetPrinterProperties(h, ppd);
    ASSERT_NE(pp, nullptr);
    EXPECT_EQ(pp->bExpansionRAM, 1u);
    EXPECT_EQ(pp->dwReserved[3], 0u);
    DrvFreeMem(pp);

    // A size value of 0, or one beyond any record, gives the default record.
    for (DWORD bad : {0u, 0xFFFFFFF0u}) {
        ASSERT_EQ(SetValue(u"PrinterDataSize", &bad, 4, REG_DWORD), ERROR_SUCCESS);
        pp = GetPrinterProperties(h, ppd);
        ASSERT_NE(pp, nullptr);
        EXPECT_EQ(pp->wSize, 36);
        EXPECT_EQ(pp->bExpansionRAM, 0u);
        DrvFreeMem(pp);
    }
}

TEST_F(Storage, StoredColourTablesAreCutOrZeroExtended)
{
    const BYTE spot[8] = {1, 0, 0, 0, 0xFF, 0x80, 0x00, 0};  // black as spot colour 0x0080FF
    ASSERT_EQ(SetValue(u"SpotColor", spot, sizeof(spot)), ERROR_SUCCESS);
    PVOID table = GetProperty(h, PROP_SPOTCOLOR);
    ASSERT_NE(table, nullptr);
    auto* sc = static_cast<PSPOTCOLOR>(table);
    EXPECT_EQ(sc[0].bSpotColor, 1u);
    EXPECT_EQ(sc[0].crSpotColor, 0x0080FFu);
    EXPECT_EQ(sc[3].bSpotColor, 0u);
    DrvFreeMem(table);

    std::vector<BYTE> big(100, 0xEE);
    ASSERT_EQ(SetValue(u"CustomColor", big.data(), 100), ERROR_SUCCESS);
    table = GetProperty(h, PROP_CUSTOMCOLOR);  // larger than the table: not read past 64 bytes
    ASSERT_NE(table, nullptr);
    DrvFreeMem(table);
}

TEST_F(Storage, DatabaseOfThreeReadsBackByteForByte)
{
    const auto labels = SampleLabels(3);
    const auto image = DatabaseImage(labels, 3);
    ASSERT_EQ(SetValue(u"LabelData", image.data(), static_cast<DWORD>(image.size())), ERROR_SUCCESS);

    PLABELDATA db = GetLabelDatabase(h, printerName.c_str());
    ASSERT_NE(db, nullptr);
    ASSERT_EQ(GetLabelNum(db), 3u);
    EXPECT_EQ(Bytes(db, 3 * sizeof(LABELDATA)), Bytes(labels.data(), 3 * sizeof(LABELDATA)));
    EXPECT_EQ(FindLabelData(db, u"Label C"), db + 2);
    EXPECT_EQ(FindLabelNameIndex(db, u"Label C"), 2u);
    EXPECT_EQ(FindLabelNameIndex(db, u"Label Z"), 0u);
#if defined(LBL_UI_BUILD)
    ASSERT_EQ(SetValue(u"LabelData", "\0\0\0\0", 4), ERROR_SUCCESS);
    EXPECT_TRUE(SaveLabelData(h, db));
    EXPECT_EQ(GetValue(u"LabelData"), image);
    EXPECT_FALSE(SaveLabelData(nullptr, db));
#endif
    FreeLabelDatabase(db);
}

TEST_F(Storage, DamagedDatabasesGiveTheDefault)
{
    auto labels = SampleLabels(3);
    std::vector<std::vector<BYTE>> damaged;
    damaged.push_back(DatabaseImage(labels, 4));             // count larger than the records present
    damaged.push_back(DatabaseImage(labels, 2));             // count smaller than the records present
    damaged.push_back(DatabaseImage(labels, 0));             // no entries
    auto cut = DatabaseImage(labels, 3);
    cut.resize(cut.size() - 1);                              // last record cut short
    damaged.push_back(cut);
    damaged.push_back(std::vector<BYTE>{1, 0, 0, 0, 248, 0});  // shorter than one record
    labels[0].cbSize = 244;                                   // another layout
    damaged.push_back(DatabaseImage(labels, 3));

    for (size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        ASSERT_EQ(SetValue(u"LabelData", damaged[i].data(), static_cast<DWORD>(damaged[i].size())), ERROR_SUCCESS);
        PLABELDATA db = GetLabelDatabase(h, nullptr);
        ASSERT_NE(db, nullptr);
        EXPECT_EQ(GetLabelNum(db), 1u);
        EXPECT_EQ(std::u16string(db->szLabelName), u" Standard Label");
        EXPECT_EQ(db->lWidth, 80000);
        FreeLabelDatabase(db);
        // The stored value stays as it was.
        EXPECT_EQ(GetValue(u"LabelData"), damaged[i]);
    }
}

TEST_F(Storage, UnterminatedStoredNamesEndInTheirField)
{
    auto labels = SampleLabels(2);
    for (auto& c : labels[1].szLabelName) c = u'N';
    const auto image = DatabaseImage(labels, 2);
    ASSERT_EQ(SetValue(u"LabelData", image.data(), static_cast<DWORD>(image.size())), ERROR_SUCCESS);
    PLABELDATA db = GetLabelDatabase(h, nullptr);
    ASSERT_NE(db, nullptr);
    ASSERT_EQ(GetLabelNum(db), 2u);
    EXPECT_EQ(std::u16string(db[1].szLabelName), std::u16string(31, u'N'));
    EXPECT_EQ(FindLabelData(db, std::u16string(31, u'N').c_str()), db + 1);
    EXPECT_EQ(FindLabelData(db, std::u16string(40, u'N').c_str()), nullptr);
    FreeLabelDatabase(db);
}

TEST_F(Storage, LongPrinterNameStillGivesA31CharacterLabelName)
{
    const std::u16string longName(45, u'L');
    PLABELDATA db = GetLabelDatabase(h, longName.c_str());
    ASSERT_NE(db, nullptr);
    EXPECT_EQ(std::u16string(db->szLabelName), std::u16string(31, u'L'));
    FreeLabelDatabase(db);
}

TEST_F(Storage, OutOfMemoryReturnsNullAndLeaksNothing)
{
    Ppd ppd;
    const auto image = DatabaseImage(SampleLabels(2), 2);
    ASSERT_EQ(SetValue(u"LabelData", image.data(), static_cast<DWORD>(image.size())), ERROR_SUCCESS);
    const BYTE shortRec[8] = {0x10, 0x01, 8, 0};
    DWORD size = sizeof(shortRec);
    ASSERT_EQ(SetValue(u"PrinterDataSize", &size, 4, REG_DWORD), ERROR_SUCCESS);
    ASSERT_EQ(SetValue(u"PrinterData", shortRec, sizeof(shortRec)), ERROR_SUCCESS);

    const long live = settings_test::LiveDrvBlocks();
    for (long n = 1; n <= 3; ++n) {
        SCOPED_TRACE("failing allocation " + std::to_string(n));
        platform::FailNthAllocation(n);
        // The stored value (whose loss reads as "nothing stored"), then its zero-extended copy.
        PPRINTERPROP pp = GetPrinterProperties(h, ppd);
        platform::FailNthAllocation(0);
        if (n == 2) {
            EXPECT_EQ(pp, nullptr);
        } else {
            EXPECT_NE(pp, nullptr);
        }
        DrvFreeMem(pp);
        EXPECT_EQ(settings_test::LiveDrvBlocks(), live);

        platform::FailNthAllocation(n);
        PLABELDATA db = GetLabelDatabase(h, nullptr);
        platform::FailNthAllocation(0);
        if (n == 1) {
            EXPECT_EQ(db, nullptr);
        }
        FreeLabelDatabase(db);
        EXPECT_EQ(settings_test::LiveDrvBlocks(), live);
    }
    // The default database and the colour tables have one allocation each.
    ASSERT_EQ(SetValue(u"LabelData", "\0", 1), ERROR_SUCCESS);
    platform::FailNthAllocation(1);
    EXPECT_EQ(GetLabelDatabase(h, nullptr), nullptr);
    platform::FailNthAllocation(1);
    EXPECT_EQ(GetProperty(h, PROP_SPOTCOLOR), nullptr);
    platform::FailNthAllocation(1);
    EXPECT_EQ(DefaultPrinterProperties(h, ppd), nullptr);
    platform::FailNthAllocation(0);
    EXPECT_EQ(settings_test::LiveDrvBlocks(), live);
}

#if defined(LBL_UI_BUILD)

TEST_F(Storage, SavesWriteTheStoredImages)
{
    Ppd ppd;
    PRINTERPROP pp{0x0110, 36, PP_METRIC | PP_HALFTONE, 1, 0, {}, 0x1234, 0};
    EXPECT_TRUE(SavePrinterProperties(h, &pp, 36));
    DWORD one = 1, size36 = 36;
    EXPECT_EQ(GetValue(u"PrinterHT"), Bytes(&one, 4));
    EXPECT_EQ(GetValue(u"PrinterDataSize"), Bytes(&size36, 4));
    EXPECT_EQ(GetValue(u"PrinterData"), Bytes(&pp, 36));

    pp.dwFlags = PP_METRIC;
    EXPECT_TRUE(SavePrinterProperties(h, &pp, 36));
    DWORD zero = 0;
    EXPECT_EQ(GetValue(u"PrinterHT"), Bytes(&zero, 4));

    PPRINTERPROP back = GetPrinterProperties(h, ppd);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->bExpansionRAM, 1u);
    DrvFreeMem(back);

    SPOTCOLOR spot[4] = {{1, 0x0000FF}, {0, 0}, {1, 0x00FF00}, {0, 0}};
    EXPECT_TRUE(SaveProperty(h, spot, PROP_SPOTCOLOR));
    EXPECT_EQ(GetValue(u"SpotColor"), Bytes(spot, 32));
    COLORREF custom[16];
    for (int i = 0; i < 16; ++i) custom[i] = 0x010101u * i;
    EXPECT_TRUE(SaveProperty(h, custom, PROP_CUSTOMCOLOR));
    EXPECT_EQ(GetValue(u"CustomColor"), Bytes(custom, 64));
    EXPECT_FALSE(SaveProperty(h, custom, 2));
}

TEST_F(Storage, PrinterAndDriverInformation)
{
    auto* pi = static_cast<PRINTER_INFO_2W*>(MyGetPrinter(h, 2));
    ASSERT_NE(pi, nullptr);
    EXPECT_EQ(std::u16string(pi->pPrinterName), printerName);
    DrvFreeMem(pi);

    auto* di = static_cast<DRIVER_INFO_2W*>(MyGetPrinterDriver(h, 2));
    ASSERT_NE(di, nullptr);
    ASSERT_NE(di->pDataFile, nullptr);
    DrvFreeMem(di);

    platform::FailNthAllocation(1);
    EXPECT_EQ(MyGetPrinter(h, 2), nullptr);
    platform::FailNthAllocation(0);
}

#endif

}  // namespace
