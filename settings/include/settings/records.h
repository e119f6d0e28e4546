// Stored and exchanged records of the shared settings: the private device mode,
// the printer-properties record, the label database, spot colours and the model
// table. Their layouts bind byte for byte (little-endian).
#pragma once

#include <cstddef>

#include "base/wintypes.h"

// ---- Private device mode ------------------------------------------------------------
constexpr DWORD DRVEXTRA_SIGNATURE = 0x30343138;  // the bytes "8140"

constexpr WORD DM_DRIVERVERSION = 0x0110;
constexpr WORD DM_PUBLIC_SIZE = 220;
constexpr WORD DM_PRIVATE_SIZE = 84;
constexpr WORD DM_DRIVERVERSION_351 = 0x0350;
constexpr WORD DM_PRIVATE_SIZE_351 = 32;

// Halftoning methods (iHalftone)
constexpr INT HALFTONE_DITHER1 = 0;
constexpr INT HALFTONE_DITHER2 = 1;
constexpr INT HALFTONE_DIFFUSION = 2;

struct DRVEXTRA {
    DWORD dwSignature;
    DWORD dwReserved1;
    COLORADJUSTMENT coloradj;
    WORD wPpdChecksum;
    WORD wReserved2;
    DWORD dwModel;
    DWORD bColorDevice;
    DWORD bBottomUp;
    DWORD bBackFeed;
    DWORD dwReserved3;
    LONG lReserved4;
    DWORD bRibbonSaver;
    DWORD bFourColor;
    DWORD bAutoFeed;
    DWORD bCompression;
    DWORD bMirror;
    INT iHalftone;
};
using PDRVEXTRA = DRVEXTRA*;
static_assert(sizeof(DRVEXTRA) == 84);
static_assert(offsetof(DRVEXTRA, coloradj) == 8);
static_assert(offsetof(DRVEXTRA, wPpdChecksum) == 32);
static_assert(offsetof(DRVEXTRA, dwModel) == 36);
static_assert(offsetof(DRVEXTRA, bBottomUp) == 44);
static_assert(offsetof(DRVEXTRA, lReserved4) == 56);
static_assert(offsetof(DRVEXTRA, bRibbonSaver) == 60);
static_assert(offsetof(DRVEXTRA, iHalftone) == 80);

struct DRVDEVMODE {
    DEVMODEW dmPublic;
    DRVEXTRA dmPrivate;
};
using PDRVDEVMODE = DRVDEVMODE*;
static_assert(sizeof(DRVDEVMODE) == 304);
static_assert(offsetof(DRVDEVMODE, dmPrivate) == 220);

// ---- Printer properties ("PrinterData") --------------------------------------------------
constexpr WORD PRINTERPROP_VERSION = 0x0110;
constexpr DWORD PP_METRIC = 0x00000001;
constexpr DWORD PP_HALFTONE = 0x00000002;

struct PRINTERPROP {
    WORD wVersion;
    WORD wSize;
    DWORD dwFlags;
    DWORD bExpansionRAM;
    DWORD bPassThrough;
    DWORD dwReserved[4];
    WORD wPpdChecksum;
    WORD wReserved;
};
using PPRINTERPROP = PRINTERPROP*;
static_assert(sizeof(PRINTERPROP) == 36);
static_assert(offsetof(PRINTERPROP, bExpansionRAM) == 8);
static_assert(offsetof(PRINTERPROP, dwReserved) == 16);
static_assert(offsetof(PRINTERPROP, wPpdChecksum) == 32);

// ---- Label database ("LabelData") ---------------------------------------------------------
constexpr DWORD MAX_LABELS = 30;
constexpr int CCHLABELNAME = 32;

struct RIBBONADJ {
    DWORD dwRibbonSel1;
    DWORD dwRibbonSel2;
    DWORD bMotorAdj;
    LONG lRewindAdj;
    LONG lBackTensionAdj;
};
using PRIBBONADJ = RIBBONADJ*;
static_assert(sizeof(RIBBONADJ) == 20);

struct LABELDATA {
    DWORD cbSize;  // always 248
    WCHAR szLabelName[CCHLABELNAME];
    LONG lWidth;   // micrometres
    LONG lHeight;  // micrometres
    LONG lPitch;   // 0.1 mm
    INT iSensor;
    INT iIssueSpeed;
    INT iCutInterval;
    LONG lFeedAdj;
    LONG lCutPosAdj;
    LONG lBackFeedAdj;
    LONG lStopPosAdj;
    LONG lAutoFeed;
    LONG lAutoFeed2;
    LONG alDensAdj[4];  // black, magenta, cyan, yellow
    LONG alPosAdj[8];   // 0.01 mm: black X/Y, magenta X/Y, cyan X/Y, yellow X/Y
    INT iIssueMode;     // 0 "Batch", 1 "Strip"
    RIBBONADJ aRibbon[4];
};
using PLABELDATA = LABELDATA*;
static_assert(sizeof(LABELDATA) == 248);
static_assert(offsetof(LABELDATA, szLabelName) == 4);
static_assert(offsetof(LABELDATA, lWidth) == 68);
static_assert(offsetof(LABELDATA, lPitch) == 76);
static_assert(offsetof(LABELDATA, iCutInterval) == 88);
static_assert(offsetof(LABELDATA, lAutoFeed) == 108);
static_assert(offsetof(LABELDATA, alDensAdj) == 116);
static_assert(offsetof(LABELDATA, alPosAdj) == 132);
static_assert(offsetof(LABELDATA, iIssueMode) == 164);
static_assert(offsetof(LABELDATA, aRibbon) == 168);

// ---- Spot colours ("SpotColor") and custom colours ("CustomColor") -------------------------
struct SPOTCOLOR {
    DWORD bSpotColor;
    COLORREF crSpotColor;  // 0x00BBGGRR
};
using PSPOTCOLOR = SPOTCOLOR*;
static_assert(sizeof(SPOTCOLOR) == 8);

constexpr DWORD SPOTCOLOR_TABLE_SIZE = 32;    // four SPOTCOLOR: black, magenta, cyan, yellow
constexpr DWORD CUSTOMCOLOR_TABLE_SIZE = 64;  // sixteen COLORREF

// Index into the colour-table pair list of GetProperty / SaveProperty.
constexpr INT PROP_SPOTCOLOR = 0;
constexpr INT PROP_CUSTOMCOLOR = 1;

// ---- Model table -----------------------------------------------------------------------------
constexpr DWORD MODEL_COUNT = 11;

struct DEVSPEC {
    LONG iModel;
    LONG nSensor;
    LONG alIssueSpeed[4];
    LONG bSpeedMM;
    LONG alSpeedCode[4];
    LONG alPitchMin[3];   // batch, strip, cut
    LONG lPitchMax;
    LONG alHeightMin[3];  // batch, strip, cut
    LONG alHeightMax[2];  // without, with expansion RAM
    LONG lWidthMin;
    LONG lWidthMax;
};
using PDEVSPEC = DEVSPEC*;
static_assert(sizeof(DEVSPEC) == 22 * 4);

// ---- Geometry of the label in use ----------------------------------------------------------------
struct PRINTERFORMINFO {
    WCHAR wszFormName[CCHFORMNAME];
    WCHAR wszLabelName[CCHLABELNAME];
    RECTL rclImageArea;  // micrometres
    SIZEL szlPaper;      // micrometres
    DWORD bLandscape;
    DWORD iLabel;
    PLABELDATA pLabel;
};
using PPRINTERFORMINFO = PRINTERFORMINFO*;

// Result of ValidateDevModeForm: the form and a copy of its name that pName points into.
struct FORMCHECK {
    FORM_INFO_1W fi;
    WCHAR wszName[CCHFORMNAME];
};
using PFORMCHECK = FORMCHECK*;
