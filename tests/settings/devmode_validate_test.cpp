// Merging device modes handed in into a valid one.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "settings/settings_env.h"

namespace {

using settings_test::Ppd;
using settings_test::PpdParams;

class Validate : public settings_test::SettingsTest {
protected:
    void SetUp() override
    {
        SettingsTest::SetUp();
        if (HasFatalFailure()) return;
        // Three labels, the last two registered as forms.
        const std::u16string suffix = u" " + printerName.substr(14);
        names = {u"First" + suffix, u"Second" + suffix, u"Third" + suffix};
        std::vector<BYTE> image(4 + 3 * sizeof(LABELDATA));
        DWORD count = 3;
        std::memcpy(image.data(), &count, 4);
        for (int i = 0; i < 3; ++i) {
            LABELDATA l = DefaultLabel;
            CopyStringW(l.szLabelName, names[i].c_str(), CCHLABELNAME);
            l.lWidth = 50000 + 10000 * i + 99;
            l.lHeight = 20000 + 1000 * i + 55;
            std::memcpy(image.data() + 4 + i * sizeof(LABELDATA), &l, sizeof(l));
        }
        ASSERT_EQ(SetValue(u"LabelData", image.data(), static_cast<DWORD>(image.size())), ERROR_SUCCESS);
        AddForm(names[1]);
        AddForm(names[2]);
        ppd = std::make_unique<Ppd>(PpdParams{.model = 5, .color = true, .dpis = {300, 600}, .duplex = true,
                                            .collate = true});
        ASSERT_TRUE(SetDefaultDevMode(&out, printerName.c_str(), *ppd, TRUE));
        liveAtStart = settings_test::LiveDrvBlocks();
    }
    void TearDown() override
    {
        platform::FailNthAllocation(0);
        EXPECT_EQ(settings_test::LiveDrvBlocks(), liveAtStart) << "blocks of the shared code left live";
        ppd.reset();
        liveAtStart = settings_test::LiveDrvBlocks();
        SettingsTest::TearDown();
    }

    // An input device mode: the current record with only the given fields asked for.
    DRVDEVMODE Input(DWORD fields)
    {
        DRVDEVMODE in = out;
        in.dmPublic.dmFields = fields;
        return in;
    }

    BOOL Run(const DRVDEVMODE& in, const PPDDATA* pPpd = nullptr)
    {
        return ValidateSetDevMode(h, &out, &in.dmPublic, pPpd ? pPpd : ppd->get());
    }

    std::vector<std::u16string> names;
    std::unique_ptr<Ppd> ppd;
    DRVDEVMODE out{};
};

TEST_F(Validate, NoInputLeavesTheRecordAlone)
{
    const DRVDEVMODE before = out;
    EXPECT_TRUE(ValidateSetDevMode(h, &out, nullptr, *ppd));
    EXPECT_EQ(std::memcmp(&before, &out, sizeof(out)), 0);
}

TEST_F(Validate, LabelByFormNumber)
{
    const DWORD second = GetFormIndex(h, names[1].c_str());
    ASSERT_GT(second, 0u);
    DRVDEVMODE in = Input(DM_PAPERSIZE);
    in.dmPublic.dmPaperSize = static_cast<SHORT>(second);
    ASSERT_TRUE(Run(in));
    EXPECT_EQ(out.dmPublic.dmPaperSize, static_cast<SHORT>(second));
    EXPECT_EQ(std::u16string(out.dmPublic.dmFormName), names[1]);
    EXPECT_EQ(out.dmPublic.dmPaperWidth, 600);   // 60099 µm, truncated to 0.1 mm
    EXPECT_EQ(out.dmPublic.dmPaperLength, 210);  // 21055 µm

    // Form number 0, one past the list, and a form that is no label: the first label.
    const DWORD count = FormCount();
    for (SHORT n : {SHORT(0), static_cast<SHORT>(count + 1), SHORT(1)}) {
        SCOPED_TRACE(n);
        in.dmPublic.dmPaperSize = n;
        ASSERT_TRUE(Run(in));
        EXPECT_EQ(std::u16string(out.dmPublic.dmFormName), names[0]);
        EXPECT_EQ(out.dmPublic.dmPaperSize, 0);  // the first label has no form
        EXPECT_EQ(out.dmPublic.dmPaperWidth, 500);
    }
}

TEST_F(Validate, LabelByFormNameOrKeptWhenNoneAsked)
{
    DRVDEVMODE in = Input(DM_FORMNAME);
    CopyStringW(in.dmPublic.dmFormName, names[2].c_str(), CCHFORMNAME);
    out.dmPublic.dmFields &= ~DM_FORMNAME;
    ASSERT_TRUE(Run(in));
    EXPECT_TRUE(out.dmPublic.dmFields & DM_FORMNAME);
    EXPECT_EQ(std::u16string(out.dmPublic.dmFormName), names[2]);
    EXPECT_EQ(out.dmPublic.dmPaperSize, static_cast<SHORT>(GetFormIndex(h, names[2].c_str())));
    EXPECT_EQ(out.dmPublic.dmPaperWidth, 700);

    // Asking for neither keeps the current label.
    in = Input(DM_COPIES);
    in.dmPublic.dmCopies = 3;
    ASSERT_TRUE(Run(in));
    EXPECT_EQ(std::u16string(out.dmPublic.dmFormName), names[2]);
    EXPECT_EQ(out.dmPublic.dmPaperWidth, 700);
    EXPECT_EQ(out.dmPublic.dmCopies, 3);

    // An unknown name, or the right name in another letter case: the first label.
    in = Input(DM_FORMNAME);
    std::u16string other = names[2];
    other[0] = u't';
    CopyStringW(in.dmPublic.dmFormName, other.c_str(), CCHFORMNAME);
    ASSERT_TRUE(Run(in));
    EXPECT_EQ(std::u16string(out.dmPublic.dmFormName), names[0]);
}

TEST_F(Validate, ScalarFieldsAreBroughtIntoRange)
{
    struct Case {
        const char* what;
        DWORD field;
        void (*set)(DEVMODEW&);
        void (*check)(const DEVMODEW&);
    };
    const Case cases[] = {
        {"copies 0", DM_COPIES, [](DEVMODEW& d) { d.dmCopies = 0; }, [](const DEVMODEW& d) { EXPECT_EQ(d.dmCopies, 1); }},
        {"copies 10000", DM_COPIES, [](DEVMODEW& d) { d.dmCopies = 10000; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmCopies, 1); }},
        {"copies 9999", DM_COPIES, [](DEVMODEW& d) { d.dmCopies = 9999; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmCopies, 9999); }},
        {"scale 50", DM_SCALE, [](DEVMODEW& d) { d.dmScale = 50; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmScale, 100); EXPECT_TRUE(d.dmFields & DM_SCALE); }},
        {"orientation 3", DM_ORIENTATION, [](DEVMODEW& d) { d.dmOrientation = 3; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmOrientation, 1); }},
        {"orientation 2", DM_ORIENTATION, [](DEVMODEW& d) { d.dmOrientation = 2; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmOrientation, 2); }},
        {"source", DM_DEFAULTSOURCE, [](DEVMODEW& d) { d.dmDefaultSource = 1234; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmDefaultSource, 1234); }},
        {"600 dpi", DM_PRINTQUALITY, [](DEVMODEW& d) { d.dmPrintQuality = 600; d.dmYResolution = 1; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmPrintQuality, 600); EXPECT_EQ(d.dmYResolution, 600); }},
        {"400 dpi", DM_PRINTQUALITY, [](DEVMODEW& d) { d.dmPrintQuality = 400; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmPrintQuality, 300); EXPECT_EQ(d.dmYResolution, 300); }},
        {"draft", DM_PRINTQUALITY, [](DEVMODEW& d) { d.dmPrintQuality = DMRES_DRAFT; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmPrintQuality, 300); }},
        {"colour", DM_COLOR, [](DEVMODEW& d) { d.dmColor = 2; d.dmDisplayFlags = 7; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmColor, 2); EXPECT_EQ(d.dmDisplayFlags, 0u); }},
        {"colour 5", DM_COLOR, [](DEVMODEW& d) { d.dmColor = 5; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmColor, 1); EXPECT_EQ(d.dmBitsPerPel, 24u); }},
        {"duplex 3", DM_DUPLEX, [](DEVMODEW& d) { d.dmDuplex = 3; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmDuplex, 3); }},
        {"duplex 4", DM_DUPLEX, [](DEVMODEW& d) { d.dmDuplex = 4; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmDuplex, 1); }},
        {"collate 1", DM_COLLATE, [](DEVMODEW& d) { d.dmCollate = 1; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmCollate, 1); }},
        {"collate 2", DM_COLLATE, [](DEVMODEW& d) { d.dmCollate = 2; },
         [](const DEVMODEW& d) { EXPECT_EQ(d.dmCollate, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DRVDEVMODE in = Input(c.field);
        c.set(in.dmPublic);
        ASSERT_TRUE(Run(in));
        EXPECT_TRUE(out.dmPublic.dmFields & c.field);
        c.check(out.dmPublic);
    }
}

TEST_F(Validate, WhatAPlainDescriptionDoesNotOffer)
{
    Ppd plain(PpdParams{.model = 1, .color = false, .dpis = {203}});
    DRVDEVMODE in = Input(DM_COLOR | DM_DUPLEX | DM_COLLATE | DM_PRINTQUALITY);
    in.dmPublic.dmColor = 2;
    in.dmPublic.dmDuplex = 2;
    in.dmPublic.dmCollate = 1;
    in.dmPublic.dmPrintQuality = 600;
    out.dmPublic.dmFields &= ~(DM_DUPLEX | DM_COLLATE);
    ASSERT_TRUE(Run(in, plain.get()));
    EXPECT_EQ(out.dmPublic.dmColor, 1);
    EXPECT_EQ(out.dmPublic.dmDuplex, 1);
    EXPECT_EQ(out.dmPublic.dmCollate, 0);
    EXPECT_FALSE(out.dmPublic.dmFields & (DM_DUPLEX | DM_COLLATE));
    EXPECT_EQ(out.dmPublic.dmPrintQuality, 203);
}

TEST_F(Validate, PrivatePartIsTakenOverWithSwitchesMadeZeroOrOne)
{
    DRVDEVMODE in = Input(0);
    DRVEXTRA& x = in.dmPrivate;
    x.dwReserved1 = 0xDEAD;
    x.wPpdChecksum = 0x0BAD;
    x.dwModel = 42;
    x.bBottomUp = 0;
    x.bBackFeed = 7;
    x.bRibbonSaver = 0;
    x.bFourColor = 0x80000000u;
    x.bAutoFeed = 1;
    x.bCompression = 2;
    x.bMirror = 0xFFFFFFFFu;
    x.iHalftone = 9;
    x.lReserved4 = 123;
    ASSERT_TRUE(Run(in));
    const DRVEXTRA& o = out.dmPrivate;
    EXPECT_EQ(o.dwReserved1, 0xDEADu);
    EXPECT_EQ(o.wPpdChecksum, ppd->get()->wChecksum);
    EXPECT_EQ(o.dwModel, 42u);
    EXPECT_EQ(o.iHalftone, 9);
    EXPECT_EQ(o.lReserved4, 123);
    EXPECT_EQ(o.bBottomUp, 0u);
    EXPECT_EQ(o.bBackFeed, 1u);
    EXPECT_EQ(o.bRibbonSaver, 0u);
    EXPECT_EQ(o.bFourColor, 1u);
    EXPECT_EQ(o.bAutoFeed, 1u);
    EXPECT_EQ(o.bCompression, 1u);
    EXPECT_EQ(o.bMirror, 1u);

    // Without the signature the current private part stays.
    const DRVEXTRA before = out.dmPrivate;
    in.dmPrivate.dwSignature = 0x12345678;
    ASSERT_TRUE(Run(in));
    EXPECT_EQ(std::memcmp(&before, &out.dmPrivate, sizeof(DRVEXTRA)), 0);
}

TEST_F(Validate, ThreeFiftyOneRecordTakesItsThirtyTwoPrivateBytes)
{
    out.dmPrivate.bMirror = 1;
    out.dmPrivate.iHalftone = 2;
    // 188 public bytes, then 32 private ones.
    std::vector<BYTE> rec(220, 0);
    DEVMODEW pub = out.dmPublic;
    pub.dmSize = 188;
    pub.dmSpecVersion = 0x0320;
    pub.dmDriverExtra = 32;
    pub.dmDriverVersion = 0x0350;
    pub.dmFields = DM_COPIES;
    pub.dmCopies = 4;
    std::memcpy(rec.data(), &pub, 188);
    DRVEXTRA priv = out.dmPrivate;
    priv.dwReserved1 = 77;
    priv.coloradj.caContrast = 50;
    std::memcpy(rec.data() + 188, &priv, 32);

    ASSERT_TRUE(ValidateSetDevModeSized(h, &out, reinterpret_cast<DEVMODEW*>(rec.data()), 220, *ppd));
    EXPECT_EQ(out.dmPublic.dmCopies, 4);
    EXPECT_EQ(out.dmPublic.dmSize, 220);
    EXPECT_EQ(out.dmPrivate.dwReserved1, 77u);
    EXPECT_EQ(out.dmPrivate.coloradj.caContrast, 50);
    EXPECT_EQ(out.dmPrivate.bMirror, 1u);
    EXPECT_EQ(out.dmPrivate.iHalftone, 2);
}

TEST_F(Validate, TruncatedRecordsAreNeverReadPastTheirEnd)
{
    // Real sizes from 0 to the full record, each claiming 220 + 84 bytes.
    const DRVDEVMODE full = Input(DM_COPIES | DM_FORMNAME);
    for (DWORD cb : {0u, 40u, 72u, 100u, 150u, 220u, 250u, 303u}) {
        SCOPED_TRACE(cb);
        auto buf = std::make_unique<BYTE[]>(cb ? cb : 1);
        std::memcpy(buf.get(), &full, cb);
        const BOOL ok = ValidateSetDevModeSized(h, &out, reinterpret_cast<DEVMODEW*>(buf.get()), cb, *ppd);
        EXPECT_EQ(ok, cb >= 72 ? TRUE : FALSE);
    }

    // A record without a version, of no known size, is refused.
    DRVDEVMODE in = Input(DM_COPIES);
    in.dmPublic.dmSize = 200;
    in.dmPublic.dmSpecVersion = 0;
    const DRVDEVMODE before = out;
    EXPECT_FALSE(Run(in));
    EXPECT_EQ(std::memcmp(&before, &out, sizeof(out)), 0);
}

TEST_F(Validate, OutOfMemoryFailsAndLeavesTheRecordAlone)
{
    DRVDEVMODE in = Input(DM_PAPERSIZE | DM_COPIES);
    in.dmPublic.dmPaperSize = static_cast<SHORT>(GetFormIndex(h, names[2].c_str()));
    in.dmPublic.dmCopies = 8;
    const DRVDEVMODE before = out;
    // Work copy, label database, form list: each failure fails the call.
    for (long n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        platform::FailNthAllocation(n);
        EXPECT_FALSE(Run(in));
        platform::FailNthAllocation(0);
        EXPECT_EQ(std::memcmp(&before, &out, sizeof(out)), 0);
        EXPECT_EQ(settings_test::LiveDrvBlocks(), liveAtStart);
    }
    // The form number of the chosen label cannot be read: no form number, still valid.
    platform::FailNthAllocation(4);
    EXPECT_TRUE(Run(in));
    platform::FailNthAllocation(0);
    EXPECT_EQ(out.dmPublic.dmPaperSize, 0);
    EXPECT_EQ(std::u16string(out.dmPublic.dmFormName), names[2]);
    EXPECT_EQ(out.dmPublic.dmCopies, 8);
}

}  // namespace
