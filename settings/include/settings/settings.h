// Public header of the shared settings library: the private device mode, the
// printer properties and label database stored as printer data, the model table,
// and forms (the string helpers are common/strings.h). Compiled into both driver builds; the
// write side exists only in the UI build (LBL_UI_BUILD).
#pragma once

#include "base/wintypes.h"
#include "common/drvmem.h"
#include "common/strings.h"
#include "engine/gdi_halftone.h"
#include "settings/records.h"

struct PPDDATA;  // the description record (description/ppd.h)

// ---- Static tables ------------------------------------------------------------------------
extern const DEVSPEC devspec[MODEL_COUNT];
extern const LABELDATA DefaultLabel;
extern const WCHAR kStandardLabelName[];  // "Standard Label"
extern const LONG iLabelTension[4][2];   // (rewind, back tension) by ribbon type * 2 + ribbon width
extern const COLORADJUSTMENT DefHTClrAdj;
extern const DEVHTINFO DefDevHTInfo;
extern const DRVDEVMODE dmDefault;

// The standard label's name for a printer: the name (at most 31 characters), one
// blank and "Standard Label", cut to 31 characters and terminated. A null name
// gives " Standard Label". pDest holds CCHLABELNAME characters.
void MakeStandardLabelName(LPWSTR pDest, LPCWSTR pName);

// ---- Printer data and label database --------------------------------------------------------
// Pair index of the sized binary values: 0 = ("PrinterDataSize", "PrinterData").
constexpr INT PAIR_PRINTERDATA = 0;

PVOID GetPrinterDataFromRegistry(HANDLE hPrinter, PDWORD pdwSize, INT iPair);
PPRINTERPROP GetPrinterProperties(HANDLE hPrinter, const PPDDATA* pPpd);
PPRINTERPROP DefaultPrinterProperties(HANDLE hPrinter, const PPDDATA* pPpd);
PVOID GetProperty(HANDLE hPrinter, INT iTable);
PLABELDATA GetLabelDatabase(HANDLE hPrinter, LPCWSTR pName);
void FreeLabelDatabase(PLABELDATA pDb);
DWORD GetLabelNum(const LABELDATA* pDb);
PLABELDATA FindLabelData(PLABELDATA pDb, LPCWSTR pName);

#if defined(LBL_UI_BUILD)
BOOL SavePrinterDataToRegistry(HANDLE hPrinter, PVOID pData, DWORD dwSize, INT iPair);
BOOL SavePrinterProperties(HANDLE hPrinter, PPRINTERPROP pProp, DWORD dwSize);
BOOL SaveProperty(HANDLE hPrinter, PVOID pData, INT iTable);
BOOL SaveLabelData(HANDLE hPrinter, PLABELDATA pDb);
PVOID MyGetPrinter(HANDLE hPrinter, DWORD dwLevel);
PVOID MyGetPrinterDriver(HANDLE hPrinter, DWORD dwLevel);
#endif

// ---- Forms ---------------------------------------------------------------------------------------
PFORM_INFO_1W GetDatabaseForms(HANDLE hPrinter, PDWORD pcForms);
void FreeDatabaseForms(PFORM_INFO_1W pForms);
DWORD GetFormIndex(HANDLE hPrinter, LPCWSTR pName);
INT ValidateDevModeForm(HANDLE hPrinter, const DEVMODEW* pdm, PFORMCHECK pCheck);
void FillPrinterFormInfoCommon(PPRINTERFORMINFO pInfo, const FORM_INFO_1W* pForm, const LABELDATA* pLabel);
void FillStandardPrinterFormInfo(PPRINTERFORMINFO pInfo, const FORM_INFO_1W* pForm, PLABELDATA pLabel);
DWORD FindLabelNameIndex(PLABELDATA pDb, LPCWSTR pName);
BOOL FormSupportedOnPrinter(PLABELDATA pDb, const FORM_INFO_1W* pForm, PPRINTERFORMINFO pInfo, PVOID pUnused);

// ---- Device mode ---------------------------------------------------------------------------------------
constexpr DWORD CDM_CONVERT = 1;
constexpr DWORD CDM_CONVERT351 = 2;
constexpr DWORD CDM_DRIVER_DEFAULT = 4;

// The driver-version table handed to CommonDrvConvertDevmode.
struct DRIVER_VERSION_INFO {
    WORD dmDriverVersion;
    WORD dmDriverExtra;
    WORD dmDriverVersion351;
    WORD dmDriverExtra351;
};
extern const DRIVER_VERSION_INFO DriverVersions;

WORD CheckDevmodeVersion(const DEVMODEW* pdm);
LONG ConvertDevmode(const DEVMODEW* pdmIn, DEVMODEW* pdmOut);
// ConvertDevmode where the real byte sizes of both buffers are known: no byte
// outside them is read or written, whatever their size fields claim. -1 also
// when a buffer is too short to hold the header up to dmDriverExtra.
LONG ConvertDevmodeSized(const DEVMODEW* pdmIn, DWORD cbIn, DEVMODEW* pdmOut, DWORD cbOut);
BOOL ConvertDevmodeOut(const DEVMODEW* pdmSrc, const DEVMODEW* pdmIn, DEVMODEW* pdmOut);
INT CommonDrvConvertDevmode(LPCWSTR pPrinterName, const DEVMODEW* pdmIn, DEVMODEW* pdmOut, LONG* pcbNeeded,
                            DWORD fMode, const DRIVER_VERSION_INFO* pVersions);
BOOL SetDefaultDevMode(PDRVDEVMODE pdm, LPCWSTR pDeviceName, const PPDDATA* pPpd, BOOL bMetric);
// The unsized form trusts dmSize + dmDriverExtra of pdmIn; entry points that know
// the real size of the record handed in use the sized form.
BOOL ValidateSetDevMode(HANDLE hPrinter, PDRVDEVMODE pdmOut, const DEVMODEW* pdmIn, const PPDDATA* pPpd);
BOOL ValidateSetDevModeSized(HANDLE hPrinter, PDRVDEVMODE pdmOut, const DEVMODEW* pdmIn, DWORD cbIn,
                             const PPDDATA* pPpd);
BOOL IsMetricCountry();
