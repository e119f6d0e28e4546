// The render driver's entry points and device set-up: the table handed to the
// engine, enabling and disabling a device and its band surface, the document
// flow and the printer escapes.
#pragma once

#include "engine/gdi.h"
#include "pdev.h"

#define LBL_EXPORT __attribute__((visibility("default")))

// Driver version reported to the engine; the oldest engine version accepted.
constexpr ULONG DRIVER_VERSION = DDI_DRIVER_VERSION_NT4;
constexpr ULONG DRVFN_COUNT = 13;

// ---- Library-wide state --------------------------------------------------------------
extern const DRVFN gadrvfn[DRVFN_COUNT];
// Held while a description is built or read.
extern HSEMAPHORE hPpdSemaphore;

// ---- Entry points -----------------------------------------------------------------------
extern "C" LBL_EXPORT BOOL DrvEnableDriver(ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded);

DHPDEV DrvEnablePDEV(DEVMODEW* pdm, LPWSTR pwszLogAddress, ULONG cPat, HSURF* phsurfPatterns, ULONG cjCaps,
                     ULONG* pdevcaps, ULONG cjDevInfo, DEVINFO* pdi, HDEV hdev, LPWSTR pwszDeviceName,
                     HANDLE hDriver);
void DrvCompletePDEV(DHPDEV dhpdev, HDEV hdev);
void DrvDisablePDEV(DHPDEV dhpdev);
BOOL DrvResetPDEV(DHPDEV dhpdevOld, DHPDEV dhpdevNew);
HSURF DrvEnableSurface(DHPDEV dhpdev);
void DrvDisableSurface(DHPDEV dhpdev);

BOOL DrvStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);
BOOL DrvEndDoc(SURFOBJ* pso, FLONG fl);
BOOL DrvStartPage(SURFOBJ* pso);
BOOL DrvSendPage(SURFOBJ* pso);
ULONG DrvEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut);

// ---- Device set-up steps -------------------------------------------------------------------
// Releases the driver module, printer properties, description and whatever
// per-device data is still held, then the render heap with the PDEV itself.
void FreePdevMemory(PDEV* pPDev);
BOOL FillPDEV(PDEV* pPDev, const DEVMODEW* pdm, LPCWSTR pwszName);
// Writes min(cjCaps, sizeof(GDIINFO)) bytes of the capabilities to pdevcaps.
void FillDevcap(PDEV* pPDev, ULONG cjCaps, ULONG* pdevcaps);
// Writes min(cjDevInfo, sizeof(DEVINFO)) bytes; FALSE when no palette can be made.
BOOL FillDevinfo(PDEV* pPDev, ULONG cjDevInfo, DEVINFO* pdi);
BOOL SetFormMetrics(PDEV* pPDev);
BOOL SetDefaultPrinterForm(PDEV* pPDev);
void AdjustForLandscape(PDEV* pPDev);
BOOL SameDevmodeFormTray(const DEVMODEW* pdmNew, const DEVMODEW* pdmOld);

// Band surface geometry for a byte budget: band width and height in pixels
// (either may come out 0 when the budget is too small).
SIZEL BandSizeForBudget(const PDEV* pPDev, ULONG cbBudget);

// TRUE for the escapes the driver supports.
BOOL isSupported(ULONG iEsc);
