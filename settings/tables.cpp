// Static tables shared by both builds: the model table, the standard label, the
// ribbon tension defaults, the default halftone records and the default device mode.
#include "settings/settings.h"

namespace {

// A wide string literal copied into a fixed field at compile time.
template <std::size_t N>
constexpr void SetName(WCHAR (&field)[N], const char16_t* text)
{
    std::size_t i = 0;
    for (; text[i] != 0 && i + 1 < N; ++i) field[i] = text[i];
    for (; i < N; ++i) field[i] = 0;
}

constexpr LABELDATA MakeDefaultLabel()
{
    LABELDATA l{};
    l.cbSize = sizeof(LABELDATA);
    SetName(l.szLabelName, u"Standard Label");
    l.lWidth = 80000;
    l.lHeight = 74200;
    l.lPitch = 762;
    l.lAutoFeed = 100;
    l.lAutoFeed2 = 167;
    return l;
}

constexpr COLORADJUSTMENT kDefHTClrAdj = {
    sizeof(COLORADJUSTMENT),  // caSize
    0,                        // caFlags
    0,                        // caIlluminantIndex
    20000, 20000, 20000,      // red, green, blue gamma
    0,                        // reference black
    10000,                    // reference white
    0, 0, 0, 0,               // contrast, brightness, colorfulness, red-green tint
};

constexpr DRVDEVMODE MakeDefaultDevMode()
{
    DRVDEVMODE dm{};
    DEVMODEW& p = dm.dmPublic;
    p.dmSpecVersion = DM_SPECVERSION;
    p.dmDriverVersion = DM_DRIVERVERSION;
    p.dmSize = DM_PUBLIC_SIZE;
    p.dmDriverExtra = DM_PRIVATE_SIZE;
    p.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES | DM_DEFAULTSOURCE |
                 DM_PRINTQUALITY | DM_FORMNAME;
    p.dmOrientation = DMORIENT_PORTRAIT;
    p.dmPaperSize = DMPAPER_USER;
    p.dmScale = 100;
    p.dmCopies = 1;
    p.dmDefaultSource = DMBIN_FORMSOURCE;
    p.dmPrintQuality = 300;
    p.dmColor = DMCOLOR_COLOR;
    p.dmDuplex = DMDUP_SIMPLEX;
    p.dmYResolution = 300;
    p.dmTTOption = DMTT_BITMAP;
    p.dmCollate = DMCOLLATE_FALSE;
    SetName(p.dmFormName, u"Standard Label");
    p.dmBitsPerPel = 24;

    DRVEXTRA& x = dm.dmPrivate;
    x.dwSignature = DRVEXTRA_SIGNATURE;
    x.coloradj = kDefHTClrAdj;
    x.bBottomUp = 1;
    x.bBackFeed = 1;
    x.dwReserved3 = 1;
    x.lReserved4 = -1;
    x.bRibbonSaver = 1;
    x.bFourColor = 1;
    x.iHalftone = HALFTONE_DITHER1;
    return dm;
}

}  // namespace

// Columns: iModel, nSensor, alIssueSpeed, bSpeedMM, alSpeedCode, alPitchMin (batch, strip, cut),
// lPitchMax, alHeightMin (batch, strip, cut), alHeightMax (without, with expansion RAM),
// lWidthMin, lWidthMax. Lengths in 0.1 mm.
const DEVSPEC devspec[MODEL_COUNT] = {
    {0, 4, {6, 4, 0, 0}, 0, {6, 4, 0, 0}, {100, 300, 300}, 3000, {80, 220, 220}, {3000, 3000}, 100, 1000},
    {1, 4, {8, 5, 3, 0}, 0, {8, 5, 3, 0}, {100, 254, 254}, 9990, {60, 214, 209}, {2560, 8332}, 100, 800},
    {2, 6, {127, 80, 0, 0}, 1, {5, 3, 0, 0}, {100, 254, 254}, 9990, {60, 214, 209}, {3840, 3840}, 100, 1040},
    {3, 4, {10, 6, 3, 0}, 0, {8, 6, 3, 0}, {100, 254, 254}, 9990, {60, 214, 209}, {3840, 8332}, 100, 1040},
    {4, 4, {8, 5, 3, 0}, 0, {8, 5, 3, 0}, {100, 254, 254}, 9990, {60, 214, 209}, {2986, 8332}, 100, 1280},
    {5, 4, {8, 4, 3, 0}, 0, {8, 4, 3, 0}, {100, 254, 254}, 9990, {55, 209, 194}, {2986, 8332}, 100, 1706},
    {6, 4, {8, 4, 3, 0}, 0, {8, 4, 3, 0}, {100, 254, 254}, 9990, {55, 209, 194}, {3200, 6613}, 100, 2133},
    {7, 5, {4, 2, 0, 0}, 0, {4, 2, 0, 0}, {150, 254, 254}, 9990, {110, 214, 209}, {5000, 5000}, 100, 1057},
    {8, 6, {101, 50, 0, 0}, 1, {4, 2, 0, 0}, {100, 254, 254}, 9990, {60, 214, 220}, {6508, 6508}, 100, 1057},
    {9, 5, {8, 5, 4, 3}, 0, {8, 5, 4, 3}, {100, 254, 254}, 9999, {60, 214, 230}, {8999, 8999}, 100, 1040},
    {10, 5, {2, 0, 0, 0}, 0, {2, 0, 0, 0}, {50, 254, 370}, 9990, {30, 214, 290}, {2000, 2000}, 100, 1036},
};

const LABELDATA DefaultLabel = MakeDefaultLabel();

const WCHAR kStandardLabelName[] = u"Standard Label";

// (rewind, back tension) by ribbon type * 2 + ribbon width.
const LONG iLabelTension[4][2] = {{0, 0}, {-20, 0}, {-20, -10}, {-20, -10}};

const COLORADJUSTMENT DefHTClrAdj = kDefHTClrAdj;

const DEVHTINFO DefDevHTInfo = {
    HT_FLAG_HAS_BLACK_DYE,
    HT_PATSIZE_6x6,
    0,  // DevPelsDPI: the device's resolution is given per device
    {
        {6380, 3350, 0},  // red
        {2345, 6075, 0},  // green
        {1410, 932, 0},   // blue
        {2000, 2450, 0},  // cyan
        {5210, 2100, 0},  // magenta
        {4750, 5100, 0},  // yellow
        {3127, 3290, 0},  // alignment white
        12500, 12500, 12500,  // red, green, blue gamma
        585,    // magenta in cyan dye
        120,    // yellow in cyan dye
        0,      // cyan in magenta dye
        0,      // yellow in magenta dye
        0,      // cyan in yellow dye
        10000,  // magenta in yellow dye
    },
};

const DRVDEVMODE dmDefault = MakeDefaultDevMode();

const DRIVER_VERSION_INFO DriverVersions = {DM_DRIVERVERSION, DM_PRIVATE_SIZE, DM_DRIVERVERSION_351,
                                            DM_PRIVATE_SIZE_351};
