// Private header of the UI library: its process-wide state, the working record of
// a sheet or query (UIDATA), the item-packing plumbing of the common property
// sheet UI, and the internal functions of every module. Reached by the tests
// through the static library lblui_driver.
#pragma once

#include <cstdarg>

#include "compstui/compstui.h"
#include "description/ppd.h"
#include "base/memory.h"
#include "spooler/spooler.h"
#include "settings/settings.h"
#include "user/user.h"

// The library's exported entry points (everything else stays hidden).
#define LBLUI_EXPORT extern "C" __attribute__((visibility("default")))

// ---- Process-wide state ----------------------------------------------------------------
extern HINSTANCE ghInstance;
extern CRITICAL_SECTION psuiSemaphore;
extern PPDDATA* cachedPpdData;
extern WORD cacheRefCount;

// ---- The working record of one sheet or query --------------------------------------------
constexpr SIZE_T UIDATA_HEAP_SIZE = 8192;

struct UIDATA {
    PVOID pvGuardStart;
    HWND hDlg;
    BOOL bPermission;
    HANDLE hPrinter;
    PPDDATA* pPpdData;
    HANDLE hHeap;
    PFNCOMPROPSHEET pfnComPropSheet;
    HANDLE hComPropSheet;
    LPWSTR pwstrDriverName;
    LPWSTR pwstrPortName;
    LPWSTR pwstrHelpFile;
    PRINTERPROP prnProps;
    DRVDEVMODE devmode;
    DWORD dwUiModel;
    PLABELDATA pLabelDb;
    PLABELDATA pLabelDbSaved;
    LABELDATA labelWork;
    DWORD dwLabelAction;
    PWORD pwPaperIndex;
    DWORD cBins;
    PWSTR pBinNames;  // cBins slots of CCHBINNAME characters
    DWORD cResolutions;
    PLONG pResolutions;  // cResolutions pairs (x dpi, y dpi)
    PVOID pSpotColor;
    PVOID pCustomColor;
    PVOID pvGuardEnd;
};
using PUIDATA = UIDATA*;

// TRUE when both guards of the record equal its address.
inline BOOL ValidUiData(const UIDATA* p) { return p && p->pvGuardStart == p && p->pvGuardEnd == p; }

constexpr INT CCHBINNAME = 24;
constexpr INT CCHPAPERNAME = 64;

// ---- Item packing ---------------------------------------------------------------------------
// Both item pointers are null during the counting pass.
struct OPTITEMPACK {
    WORD cOptItem;
    WORD cOptType;
    POPTITEM pOptItem;
    POPTTYPE pOptType;
    PUIDATA pUiData;
};
using POPTITEMPACK = OPTITEMPACK*;
using PFNPACKITEM = BOOL (*)(POPTITEMPACK pPack);

// An item template: name, level, DMPubID, user data, help index, parameter count,
// OPTTYPE type, then (text, icon) for each parameter.
using OPTITEMTEMPLATE = WORD;
using POPTITEMTEMPLATE = const OPTITEMTEMPLATE*;
constexpr INT OIT_NAME = 0, OIT_LEVEL = 1, OIT_DMPUBID = 2, OIT_USERDATA = 3, OIT_HELPINDEX = 4, OIT_COUNT = 5,
              OIT_TYPE = 6, OIT_PARAMS = 7;

constexpr WORD IDI_CPSUI_PRINTER = 64062;      // icon of the item tree
constexpr WORD CALLER_VERSION = 0x0110;
constexpr WORD IDS_CALLER_MODEL0 = 112;
constexpr WORD IDS_CALLER_OTHER = 113;

// ---- Document property sheet (docprop.cpp, docitems.cpp, devoptions.cpp, convertdm.cpp) ----------------
// The items' identities (OPTITEM UserData).
constexpr WORD ITEM_ORIENTATION = 1;
constexpr WORD ITEM_COPIES = 3;
constexpr WORD ITEM_COLOR = 4;
constexpr WORD ITEM_RESOLUTION = 9;
constexpr WORD ITEM_FORMNAME = 11;
constexpr WORD ITEM_MIRROR = 12;
constexpr WORD ITEM_ROTATE = 13;
constexpr WORD ITEM_RIBBONSAVER = 17;
constexpr WORD ITEM_BACKFEED = 18;
constexpr WORD ITEM_AUTOFEED = 19;
constexpr WORD ITEM_COMPRESSION = 20;
constexpr WORD ITEM_HALFTONE = 24;

constexpr LONG DRVDEVMODE_SIZE = sizeof(DRVDEVMODE);

LONG PsDocumentProperties(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName, DEVMODEW* pdmOut, DEVMODEW* pdmIn,
                          DWORD fMode);
LONG SimpleDocumentProperties(PDOCUMENTPROPERTYHEADER pDPHdr);
BOOL PackDocumentPropertyItems(POPTITEMPACK pPack);
LONG DocumentPropertyCallback(PCPSUICBPARAM pCallbackParam);
void UnpackDocumentPropertiesItems(PUIDATA pUiData, const OPTITEM* pItems, WORD cItems);
BOOL PackItemDeviceOptions(POPTITEMPACK pPack, const DRVDEVMODE* pdm);
// Writes one device option item into the private device mode; FALSE when the item is none of them.
BOOL UnpackDeviceOption(const OPTITEM& item, DRVDEVMODE* pdm);
// Tears down a record made by FillUiData: its buffers, its description and its heap.
void ReleaseUiData(PUIDATA pUiData);

// ---- Description cache (cache.cpp) -----------------------------------------------------------
void InitPpdCache();
void FlushPpdCache();
PPDDATA* LoadPpdFile(HANDLE hPrinter);
void UnloadPpdFile(PPDDATA* pPpdData);

// ---- UI data (uidata.cpp, uistrings.cpp, helpfile.cpp) -------------------------------------------
PUIDATA FillUiData(HANDLE hPrinter, const DEVMODEW* pdmInput);
void DelUiData(PUIDATA pUiData);
LPWSTR GetStringFromAnsi(LPCSTR pAnsi, HANDLE hHeap);
LPWSTR GetStringFromUnicode(LPCWSTR pUnicode, HANDLE hHeap);
WORD ddfn_CallerName(const UIDATA* pUiData);
LPWSTR GetHelpFileName(DWORD dwModel, HANDLE hPrinter, HANDLE hHeap);

// ---- Common property sheet plumbing (commonui.cpp) ------------------------------------------------
PCOMPROPSHEETUI PrepareDataForCommonUi(PUIDATA pUiData, PDLGPAGE pDlgPage, PFNPACKITEM pfnPackItem);
POPTPARAM FillOutOptType(POPTTYPE pOptType, DWORD dwType, DWORD cParams, HANDLE hHeap);
BOOL PackOptItemTemplate(POPTITEMPACK pPack, POPTITEMTEMPLATE pTemplate, LONG lSel);
BOOL PackOptItemGroupHeader(POPTITEMPACK pPack, WORD wName, WORD wIcon, WORD wHelpIndex);
LONG CallCompstui(HWND hWnd, PFNPROPSHEETUI pfnPropSheetUI, LPARAM lParam, LPDWORD pResult);

// ---- Capabilities and the print query (enumpaper.cpp, devcaps.cpp, devquery.cpp, dqprintf.cpp) ----
DWORD EnumPaperSizes(PLABELDATA pDb, const FORM_INFO_1W* pForms, DWORD cForms, PWSTR pNames, PWORD pPapers,
                     PPOINTL pSizes, PVOID pUnused);
DWORD EnumBinNames(PWSTR pNames, const PPDDATA* pPpdData);
DWORD EnumBins(PWORD pBins, const PPDDATA* pPpdData);
DWORD PsEnumResolutions(PLONG pResolutions, const PPDDATA* pPpdData);
BOOL QueryPrintForm(PDEVQUERYPRINT_INFO pInfo, const PPDDATA* pPpdData, const DRVDEVMODE* pdmMerged);
INT DQPsprintf(HINSTANCE hModule, LPWSTR pBuf, DWORD cchBuf, PDWORD pcchNeeded, LPCWSTR pFormat, ...);
INT DQPvsprintf(HINSTANCE hModule, LPWSTR pBuf, DWORD cchBuf, PDWORD pcchNeeded, LPCWSTR pFormat, va_list args);

// ---- Install events and label forms (upgrade.cpp, printerevent.cpp, printerforms.cpp) ---------------
BOOL UpgradePrinterProperties(HANDLE hPrinter, const PPDDATA* pPpdData);
BOOL AddPrinterForms(HANDLE hPrinter, PLABELDATA pDb);
void RemovePrinterForms(HANDLE hPrinter, PLABELDATA pDb);

// ---- Printer property sheet and test feed (prnpropsheet.cpp, prnpropitems.cpp, prnpropapply.cpp,
//      sendfeed.cpp) ------------------------------------------------------------------------------
// Item identities (OPTITEM UserData) of the printer sheet; the document sheet shares 34 and 35.
constexpr ULONG_PTR ITEM_EXPANSION_RAM = 26;
constexpr ULONG_PTR ITEM_PASS_THROUGH = 27;
constexpr ULONG_PTR ITEM_LABEL_LIST = 28;
constexpr ULONG_PTR ITEM_SPOT_FIRST = 30;  // black, magenta, cyan, yellow: 30..33
constexpr ULONG_PTR ITEM_SPOT_LAST = 33;
constexpr ULONG_PTR ITEM_FEED = 34;
constexpr ULONG_PTR ITEM_HELP = 35;

BOOL PackPrinterPropertyItems(POPTITEMPACK pPack);
// The Feed push button, on every model but 0 (adds nothing on model 0). Pressing
// it calls the sheet's callback with CPSUICB_REASON_PUSHBUTTON.
BOOL PackItemFeed(POPTITEMPACK pPack);
// The Help push button; pressing it calls back with CPSUICB_REASON_PUSHBUTTON.
BOOL PackItemHelp(POPTITEMPACK pPack);
BOOL PackItemMemory(POPTITEMPACK pPack);
BOOL PackItemPassThrough(POPTITEMPACK pPack);
BOOL PackItemSpot(POPTITEMPACK pPack);
LONG PrinterPropertyCallback(PCPSUICBPARAM pCallbackParam);
LONG PrnPropSelChange(PUIDATA pUiData, POPTITEM pItem);
void UnpackPrinterPropertiesItems(PUIDATA pUiData, POPTITEM pItems, WORD cItems);
LONG PrnPropApplyNow(PUIDATA pUiData, PCPSUICBPARAM pCallbackParam);
// Sends a test feed of the label as a RAW document; FALSE when the spooler failed.
BOOL SendFeed(HANDLE hPrinter, LPWSTR pwstrOutputFile, const LABELDATA* pLabel, const DRVDEVMODE* pdm);

// ---- Entry points ---------------------------------------------------------------------------------
LBLUI_EXPORT BOOL DllInitialize(HINSTANCE hModule, DWORD ulReason, LPVOID pContext);
LBLUI_EXPORT DWORD DrvDeviceCapabilities(HANDLE hPrinter, PWSTR pDeviceName, WORD iDevCap, PVOID pOutput,
                                         DEVMODEW* pdmSrc);
LBLUI_EXPORT BOOL DevQueryPrintEx(PDEVQUERYPRINT_INFO pDQPInfo);
LBLUI_EXPORT BOOL DrvUpgradePrinter(DWORD dwLevel, LPBYTE pDriverUpgradeInfo);
LBLUI_EXPORT BOOL DrvPrinterEvent(LPWSTR pPrinterName, INT DriverEvent, DWORD Flags, LPARAM lParam);
LBLUI_EXPORT LONG DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
LBLUI_EXPORT LONG DrvDocumentProperties(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName, DEVMODEW* pdmOutput,
                                        DEVMODEW* pdmInput, DWORD fMode);
LBLUI_EXPORT LONG DrvAdvancedDocumentProperties(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName,
                                                DEVMODEW* pdmOutput, DEVMODEW* pdmInput);
LBLUI_EXPORT BOOL DrvConvertDevMode(LPWSTR pPrinterName, DEVMODEW* pdmIn, DEVMODEW* pdmOut, LONG* pcbNeeded,
                                    DWORD fMode);
LBLUI_EXPORT LONG DrvDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
