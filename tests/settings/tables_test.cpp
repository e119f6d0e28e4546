// The static tables against the model table and the default records.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace {

struct ModelRow {
    const char* text;  // the row as printed in the model table
};

// One line per model: iModel nSensor | speeds | bSpeedMM | codes | pitch min x3 | pitch max |
// height min x3 | height max x2 | width min | width max.
const ModelRow kRows[MODEL_COUNT] = {
    {"0 4 | 6 4 | 0 | 6 4 | 100 300 300 | 3000 | 80 220 220 | 3000 3000 | 100 | 1000"},
    {"1 4 | 8 5 3 | 0 | 8 5 3 | 100 254 254 | 9990 | 60 214 209 | 2560 8332 | 100 | 800"},
    {"2 6 | 127 80 | 1 | 5 3 | 100 254 254 | 9990 | 60 214 209 | 3840 3840 | 100 | 1040"},
    {"3 4 | 10 6 3 | 0 | 8 6 3 | 100 254 254 | 9990 | 60 214 209 | 3840 8332 | 100 | 1040"},
    {"4 4 | 8 5 3 | 0 | 8 5 3 | 100 254 254 | 9990 | 60 214 209 | 2986 8332 | 100 | 1280"},
    {"5 4 | 8 4 3 | 0 | 8 4 3 | 100 254 254 | 9990 | 55 209 194 | 2986 8332 | 100 | 1706"},
    {"6 4 | 8 4 3 | 0 | 8 4 3 | 100 254 254 | 9990 | 55 209 194 | 3200 6613 | 100 | 2133"},
    {"7 5 | 4 2 | 0 | 4 2 | 150 254 254 | 9990 | 110 214 209 | 5000 5000 | 100 | 1057"},
    {"8 6 | 101 50 | 1 | 4 2 | 100 254 254 | 9990 | 60 214 220 | 6508 6508 | 100 | 1057"},
    {"9 5 | 8 5 4 3 | 0 | 8 5 4 3 | 100 254 254 | 9999 | 60 214 230 | 8999 8999 | 100 | 1040"},
    {"10 5 | 2 | 0 | 2 | 50 254 370 | 9990 | 30 214 290 | 2000 2000 | 100 | 1036"},
};

// Splits "a b | c d | ..." into groups of numbers.
std::vector<std::vector<LONG>> Groups(const char* text)
{
    std::vector<std::vector<LONG>> groups(1);
    std::string tok;
    auto flush = [&] {
        if (!tok.empty()) groups.back().push_back(std::stol(tok));
        tok.clear();
    };
    for (const char* p = text; *p; ++p) {
        if (*p == '|') { flush(); groups.emplace_back(); }
        else if (*p == ' ') flush();
        else tok += *p;
    }
    flush();
    return groups;
}

// A list padded with zeros to n entries.
std::vector<LONG> Padded(std::vector<LONG> v, size_t n)
{
    v.resize(n, 0);
    return v;
}

TEST(ModelTable, EveryRowMatchesTheTable)
{
    for (DWORD m = 0; m < MODEL_COUNT; ++m) {
        SCOPED_TRACE("model " + std::to_string(m));
        auto g = Groups(kRows[m].text);
        ASSERT_EQ(g.size(), 10u);
        const DEVSPEC& d = devspec[m];
        EXPECT_EQ(d.iModel, g[0][0]);
        EXPECT_EQ(d.nSensor, g[0][1]);
        EXPECT_EQ(std::vector<LONG>(d.alIssueSpeed, d.alIssueSpeed + 4), Padded(g[1], 4));
        EXPECT_EQ(d.bSpeedMM, g[2][0]);
        EXPECT_EQ(std::vector<LONG>(d.alSpeedCode, d.alSpeedCode + 4), Padded(g[3], 4));
        EXPECT_EQ(std::vector<LONG>(d.alPitchMin, d.alPitchMin + 3), g[4]);
        EXPECT_EQ(d.lPitchMax, g[5][0]);
        EXPECT_EQ(std::vector<LONG>(d.alHeightMin, d.alHeightMin + 3), g[6]);
        EXPECT_EQ(std::vector<LONG>(d.alHeightMax, d.alHeightMax + 2), g[7]);
        EXPECT_EQ(d.lWidthMin, g[8][0]);
        EXPECT_EQ(d.lWidthMax, g[9][0]);
        // A speed list ends at its first 0 and every listed speed has a code.
        for (int i = 0; i < 4; ++i) EXPECT_EQ(d.alIssueSpeed[i] == 0, d.alSpeedCode[i] == 0) << i;
    }
}

TEST(StaticRecords, StandardLabelAndTensions)
{
    EXPECT_EQ(DefaultLabel.cbSize, 248u);
    EXPECT_EQ(std::u16string(DefaultLabel.szLabelName), u"Standard Label");
    EXPECT_EQ(std::u16string(kStandardLabelName), u"Standard Label");
    EXPECT_EQ(DefaultLabel.lWidth, 80000);
    EXPECT_EQ(DefaultLabel.lHeight, 74200);
    EXPECT_EQ(DefaultLabel.lPitch, 762);
    EXPECT_EQ(DefaultLabel.lAutoFeed, 100);
    EXPECT_EQ(DefaultLabel.lAutoFeed2, 167);
    // Everything after the auto feed lengths is zero.
    const BYTE* tail = reinterpret_cast<const BYTE*>(&DefaultLabel) + offsetof(LABELDATA, alDensAdj);
    for (size_t i = 0; i < sizeof(LABELDATA) - offsetof(LABELDATA, alDensAdj); ++i) ASSERT_EQ(tail[i], 0) << i;
    EXPECT_EQ(DefaultLabel.iSensor | DefaultLabel.iIssueSpeed | DefaultLabel.iCutInterval | DefaultLabel.lFeedAdj |
                  DefaultLabel.lCutPosAdj | DefaultLabel.lBackFeedAdj | DefaultLabel.lStopPosAdj,
              0);

    const LONG tension[4][2] = {{0, 0}, {-20, 0}, {-20, -10}, {-20, -10}};
    EXPECT_EQ(std::memcmp(iLabelTension, tension, sizeof(tension)), 0);
}

TEST(StaticRecords, HalftoneDefaults)
{
    EXPECT_EQ(DefHTClrAdj.caSize, 24);
    EXPECT_EQ(DefHTClrAdj.caFlags, 0);
    EXPECT_EQ(DefHTClrAdj.caIlluminantIndex, 0);
    EXPECT_EQ(DefHTClrAdj.caRedGamma, 20000);
    EXPECT_EQ(DefHTClrAdj.caGreenGamma, 20000);
    EXPECT_EQ(DefHTClrAdj.caBlueGamma, 20000);
    EXPECT_EQ(DefHTClrAdj.caReferenceBlack, 0);
    EXPECT_EQ(DefHTClrAdj.caReferenceWhite, 10000);
    EXPECT_EQ(DefHTClrAdj.caContrast | DefHTClrAdj.caBrightness | DefHTClrAdj.caColorfulness |
                  DefHTClrAdj.caRedGreenTint,
              0);

    const COLORINFO& ci = DefDevHTInfo.ColorInfo;
    EXPECT_EQ(DefDevHTInfo.HTFlags, HT_FLAG_HAS_BLACK_DYE);
    EXPECT_EQ(DefDevHTInfo.HTPatternSize, HT_PATSIZE_6x6);
    const LDECI4 chroma[7][3] = {{6380, 3350, 0}, {2345, 6075, 0}, {1410, 932, 0}, {2000, 2450, 0},
                                 {5210, 2100, 0}, {4750, 5100, 0}, {3127, 3290, 0}};
    EXPECT_EQ(std::memcmp(&ci.Red, chroma, sizeof(chroma)), 0);
    EXPECT_EQ(ci.RedGamma, 12500);
    EXPECT_EQ(ci.GreenGamma, 12500);
    EXPECT_EQ(ci.BlueGamma, 12500);
    EXPECT_EQ(ci.MagentaInCyanDye, 585);
    EXPECT_EQ(ci.YellowInCyanDye, 120);
    EXPECT_EQ(ci.CyanInMagentaDye | ci.YellowInMagentaDye | ci.CyanInYellowDye, 0);
    EXPECT_EQ(ci.MagentaInYellowDye, 10000);
}

TEST(StaticRecords, DefaultDevMode)
{
    const DEVMODEW& p = dmDefault.dmPublic;
    EXPECT_EQ(p.dmDeviceName[0], 0);
    EXPECT_EQ(p.dmSpecVersion, 0x0401);
    EXPECT_EQ(p.dmDriverVersion, 0x0110);
    EXPECT_EQ(p.dmSize, 220);
    EXPECT_EQ(p.dmDriverExtra, 84);
    EXPECT_EQ(p.dmFields, 0x0001070Fu);
    EXPECT_EQ(p.dmOrientation, 1);
    EXPECT_EQ(p.dmPaperSize, 256);
    EXPECT_EQ(p.dmPaperLength, 0);
    EXPECT_EQ(p.dmPaperWidth, 0);
    EXPECT_EQ(p.dmScale, 100);
    EXPECT_EQ(p.dmCopies, 1);
    EXPECT_EQ(p.dmDefaultSource, 15);
    EXPECT_EQ(p.dmColor, 2);
    EXPECT_EQ(p.dmDuplex, 1);
    EXPECT_EQ(p.dmTTOption, 1);
    EXPECT_EQ(p.dmCollate, 0);
    EXPECT_EQ(std::u16string(p.dmFormName), u"Standard Label");
    EXPECT_EQ(p.dmBitsPerPel, 24u);
    EXPECT_EQ(p.dmDisplayFlags, 0u);

    const DRVEXTRA& x = dmDefault.dmPrivate;
    EXPECT_EQ(x.dwSignature, 0x30343138u);
    EXPECT_EQ(std::memcmp(&x.dwSignature, "8140", 4), 0);
    EXPECT_EQ(std::memcmp(&x.coloradj, &DefHTClrAdj, sizeof(COLORADJUSTMENT)), 0);
    EXPECT_EQ(x.dwReserved1, 0u);
    EXPECT_EQ(x.wReserved2, 0);
    EXPECT_EQ(x.bBottomUp, 1u);
    EXPECT_EQ(x.bBackFeed, 1u);
    EXPECT_EQ(x.dwReserved3, 1u);
    EXPECT_EQ(x.lReserved4, -1);
    EXPECT_EQ(x.bRibbonSaver, 1u);
    EXPECT_EQ(x.bFourColor, 1u);
    EXPECT_EQ(x.bAutoFeed, 0u);
    EXPECT_EQ(x.bCompression, 0u);
    EXPECT_EQ(x.bMirror, 0u);
    EXPECT_EQ(x.iHalftone, 0);

    EXPECT_EQ(DriverVersions.dmDriverVersion, 0x0110);
    EXPECT_EQ(DriverVersions.dmDriverExtra, 84);
    EXPECT_EQ(DriverVersions.dmDriverVersion351, 0x0350);
    EXPECT_EQ(DriverVersions.dmDriverExtra351, 32);
}

}  // namespace
