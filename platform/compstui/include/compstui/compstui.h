// The common property sheet UI ("compstui.dll"): its published records, in
// their published field order, and constants. Records holding pointers have
// this machine's sizes.
#pragma once

#include <cstddef>

#include "base/wintypes.h"
#include "user/usertypes.h"

// ---- Item types (OPTTYPE.Type) ----------------------------------------------------
constexpr BYTE TVOT_2STATES = 0;
constexpr BYTE TVOT_3STATES = 1;
constexpr BYTE TVOT_UDARROW = 2;
constexpr BYTE TVOT_TRACKBAR = 3;
constexpr BYTE TVOT_SCROLLBAR = 4;
constexpr BYTE TVOT_LISTBOX = 5;
constexpr BYTE TVOT_COMBOBOX = 6;
constexpr BYTE TVOT_EDITBOX = 7;
constexpr BYTE TVOT_PUSHBUTTON = 8;
constexpr BYTE TVOT_CHKBOX = 9;
constexpr BYTE TVOT_LAST = TVOT_CHKBOX;
constexpr BYTE TVOT_NONE = TVOT_LAST + 1;

constexpr BYTE CHKBOXS_FALSE_TRUE = 0;
constexpr BYTE CHKBOXS_NO_YES = 1;
constexpr BYTE CHKBOXS_OFF_ON = 2;
constexpr BYTE CHKBOXS_FALSE_PDATA = 3;
constexpr BYTE CHKBOXS_NO_PDATA = 4;
constexpr BYTE CHKBOXS_OFF_PDATA = 5;
constexpr BYTE CHKBOXS_NONE_PDATA = 6;

constexpr BYTE PUSHBUTTON_TYPE_DLGPROC = 0;
constexpr BYTE PUSHBUTTON_TYPE_CALLBACK = 1;
constexpr BYTE PUSHBUTTON_TYPE_HTCLRADJ = 2;
constexpr BYTE PUSHBUTTON_TYPE_HTSETUP = 3;

constexpr int MAX_RES_STR_CHARS = 160;

// ---- OPTPARAM.Flags, OPTTYPE.Flags, OPTTYPE.Style ----------------------------------
constexpr BYTE OPTPF_HIDE = 0x01;
constexpr BYTE OPTPF_DISABLED = 0x02;
constexpr BYTE OPTPF_ICONID_AS_HICON = 0x04;
constexpr BYTE OPTPF_OVERLAY_WARNING_ICON = 0x08;
constexpr BYTE OPTPF_OVERLAY_STOP_ICON = 0x10;
constexpr BYTE OPTPF_OVERLAY_NO_ICON = 0x20;
constexpr BYTE OPTPF_USE_HDLGTEMPLATE = 0x40;

constexpr BYTE OPTTF_TYPE_DISABLED = 0x01;
constexpr BYTE OPTTF_NOSPACE_BEFORE_POSTFIX = 0x02;

constexpr WORD OTS_LBCB_SORT = 0x0001;
constexpr WORD OTS_LBCB_PROPPAGE_LBUSECB = 0x0002;
constexpr WORD OTS_LBCB_PROPPAGE_CBUSELB = 0x0004;
constexpr WORD OTS_LBCB_INCL_ITEM_NONE = 0x0008;
constexpr WORD OTS_LBCB_NO_ICON16_IN_ITEM = 0x0010;
constexpr WORD OTS_PUSH_INCL_SETUP_TITLE = 0x0020;
constexpr WORD OTS_PUSH_NO_DOT_DOT_DOT = 0x0040;
constexpr WORD OTS_PUSH_ENABLE_ALWAYS = 0x0080;

// ---- EXTPUSH.Flags, EXTCHKBOX.Flags --------------------------------------------------
constexpr WORD EPF_PUSH_TYPE_DLGPROC = 0x0001;
constexpr WORD EPF_INCL_SETUP_TITLE = 0x0002;
constexpr WORD EPF_NO_DOT_DOT_DOT = 0x0004;
constexpr WORD EPF_ICONID_AS_HICON = 0x0008;
constexpr WORD EPF_OVERLAY_WARNING_ICON = 0x0010;
constexpr WORD EPF_OVERLAY_STOP_ICON = 0x0020;
constexpr WORD EPF_OVERLAY_NO_ICON = 0x0040;
constexpr WORD EPF_USE_HDLGTEMPLATE = 0x0080;

constexpr WORD ECBF_CHECKNAME_AT_FRONT = 0x0001;
constexpr WORD ECBF_CHECKNAME_ONLY_ENABLED = 0x0002;
constexpr WORD ECBF_ICONID_AS_HICON = 0x0004;
constexpr WORD ECBF_OVERLAY_WARNING_ICON = 0x0008;
constexpr WORD ECBF_OVERLAY_ECBICON_IF_CHECKED = 0x0010;
constexpr WORD ECBF_OVERLAY_STOP_ICON = 0x0020;
constexpr WORD ECBF_OVERLAY_NO_ICON = 0x0040;
constexpr WORD ECBF_CHECKNAME_ONLY = 0x0080;

// ---- OPTITEM.Flags ------------------------------------------------------------------
constexpr DWORD OPTIF_COLLAPSE = 0x00000001;
constexpr DWORD OPTIF_HIDE = 0x00000002;
constexpr DWORD OPTIF_CALLBACK = 0x00000004;
constexpr DWORD OPTIF_CHANGED = 0x00000008;
constexpr DWORD OPTIF_CHANGEONCE = 0x00000010;
constexpr DWORD OPTIF_DISABLED = 0x00000020;
constexpr DWORD OPTIF_ECB_CHECKED = 0x00000040;
constexpr DWORD OPTIF_EXT_HIDE = 0x00000080;
constexpr DWORD OPTIF_EXT_DISABLED = 0x00000100;
constexpr DWORD OPTIF_SEL_AS_HICON = 0x00000200;
constexpr DWORD OPTIF_EXT_IS_EXTPUSH = 0x00000400;
constexpr DWORD OPTIF_NO_GROUPBOX_NAME = 0x00000800;
constexpr DWORD OPTIF_OVERLAY_WARNING_ICON = 0x00001000;
constexpr DWORD OPTIF_OVERLAY_STOP_ICON = 0x00002000;
constexpr DWORD OPTIF_OVERLAY_NO_ICON = 0x00004000;
constexpr DWORD OPTIF_INITIAL_TVITEM = 0x00008000;
constexpr DWORD OPTIF_HAS_POIEXT = 0x00010000;
constexpr DWORD OPTIF_MASK = 0x0001FFFF;

// ---- OPTITEM.DMPubID ----------------------------------------------------------------
constexpr BYTE DMPUB_NONE = 0;
constexpr BYTE DMPUB_FIRST = 1;
constexpr BYTE DMPUB_ORIENTATION = 1;
constexpr BYTE DMPUB_SCALE = 2;
constexpr BYTE DMPUB_COPIES_COLLATE = 3;
constexpr BYTE DMPUB_DEFSOURCE = 4;
constexpr BYTE DMPUB_PRINTQUALITY = 5;
constexpr BYTE DMPUB_COLOR = 6;
constexpr BYTE DMPUB_DUPLEX = 7;
constexpr BYTE DMPUB_TTOPTION = 8;
constexpr BYTE DMPUB_FORMNAME = 9;
constexpr BYTE DMPUB_ICMMETHOD = 10;
constexpr BYTE DMPUB_ICMINTENT = 11;
constexpr BYTE DMPUB_MEDIATYPE = 12;
constexpr BYTE DMPUB_DITHERTYPE = 13;
constexpr BYTE DMPUB_OUTPUTBIN = 14;
constexpr BYTE DMPUB_QUALITY = 15;
constexpr BYTE DMPUB_NUP = 16;
constexpr BYTE DMPUB_PAGEORDER = 17;
constexpr BYTE DMPUB_LAST = 17;
constexpr BYTE DMPUB_OEM_PAPER_ITEM = 97;
constexpr BYTE DMPUB_OEM_GRAPHIC_ITEM = 98;
constexpr BYTE DMPUB_OEM_ROOT_ITEM = 99;
constexpr BYTE DMPUB_USER = 100;

constexpr WORD OIEXTF_ANSI_STRING = 0x0001;

// ---- Item callback --------------------------------------------------------------------
constexpr WORD CPSUICB_REASON_SEL_CHANGED = 0;
constexpr WORD CPSUICB_REASON_PUSHBUTTON = 1;
constexpr WORD CPSUICB_REASON_ECB_CHANGED = 2;
constexpr WORD CPSUICB_REASON_DLGPROC = 3;
constexpr WORD CPSUICB_REASON_UNDO_CHANGES = 4;
constexpr WORD CPSUICB_REASON_EXTPUSH = 5;
constexpr WORD CPSUICB_REASON_APPLYNOW = 6;
constexpr WORD CPSUICB_REASON_OPTITEM_SETFOCUS = 7;
constexpr WORD CPSUICB_REASON_ITEMS_REVERTED = 8;
constexpr WORD CPSUICB_REASON_ABOUT = 9;
constexpr WORD CPSUICB_REASON_SETACTIVE = 10;
constexpr WORD CPSUICB_REASON_KILLACTIVE = 11;

constexpr LONG CPSUICB_ACTION_NONE = 0;
constexpr LONG CPSUICB_ACTION_OPTIF_CHANGED = 1;
constexpr LONG CPSUICB_ACTION_REINIT_ITEMS = 2;
constexpr LONG CPSUICB_ACTION_NO_APPLY_EXIT = 3;
constexpr LONG CPSUICB_ACTION_ITEMS_APPLIED = 4;

// ---- Dialog pages ---------------------------------------------------------------------
constexpr WORD DP_STD_TREEVIEWPAGE = 0xFFFF;
constexpr WORD DP_STD_DOCPROPPAGE2 = 0xFFFE;
constexpr WORD DP_STD_DOCPROPPAGE1 = 0xFFFD;
constexpr WORD DP_STD_RESERVED_START = 0xFFF0;
constexpr int MAX_DLGPAGE_COUNT = 64;
constexpr WORD DPF_ICONID_AS_HICON = 0x0001;
constexpr WORD DPF_USE_HDLGTEMPLATE = 0x0002;

// ---- COMPROPSHEETUI.Flags ---------------------------------------------------------------
constexpr WORD CPSUIF_UPDATE_PERMISSION = 0x0001;
constexpr WORD CPSUIF_ICONID_AS_HICON = 0x0002;
constexpr WORD CPSUIF_ABOUT_CALLBACK = 0x0004;

struct DLGPAGE;
using PDLGPAGE = DLGPAGE*;

// Standard page selections for COMPROPSHEETUI.pDlgPage.
inline PDLGPAGE const CPSUI_PDLGPAGE_DOCPROP = reinterpret_cast<PDLGPAGE>(1);
inline PDLGPAGE const CPSUI_PDLGPAGE_ADVDOCPROP = reinterpret_cast<PDLGPAGE>(2);
inline PDLGPAGE const CPSUI_PDLGPAGE_PRINTERPROP = reinterpret_cast<PDLGPAGE>(3);
inline PDLGPAGE const CPSUI_PDLGPAGE_TREEVIEWONLY = reinterpret_cast<PDLGPAGE>(4);

// ---- pfnComPropSheet functions ---------------------------------------------------------
constexpr UINT CPSFUNC_ADD_HPROPSHEETPAGE = 0;
constexpr UINT CPSFUNC_ADD_PROPSHEETPAGEW = 1;
constexpr UINT CPSFUNC_ADD_PCOMPROPSHEETUIA = 2;
constexpr UINT CPSFUNC_ADD_PCOMPROPSHEETUIW = 3;
constexpr UINT CPSFUNC_ADD_PFNPROPSHEETUIA = 4;
constexpr UINT CPSFUNC_ADD_PFNPROPSHEETUIW = 5;
constexpr UINT CPSFUNC_DELETE_HCOMPROPSHEET = 6;
constexpr UINT CPSFUNC_SET_HSTARTPAGE = 7;
constexpr UINT CPSFUNC_GET_PAGECOUNT = 8;
constexpr UINT CPSFUNC_SET_RESULT = 9;
constexpr UINT CPSFUNC_GET_HPSUIPAGES = 10;
constexpr UINT CPSFUNC_LOAD_CPSUI_STRINGA = 11;
constexpr UINT CPSFUNC_LOAD_CPSUI_STRINGW = 12;
constexpr UINT CPSFUNC_LOAD_CPSUI_ICON = 13;
constexpr UINT CPSFUNC_GET_PFNPROPSHEETUI_ICON = 14;
constexpr UINT CPSFUNC_ADD_PROPSHEETPAGEA = 15;
constexpr UINT CPSFUNC_INSERT_PSUIPAGEA = 16;
constexpr UINT CPSFUNC_INSERT_PSUIPAGEW = 17;
constexpr UINT CPSFUNC_SET_PSUIPAGE_TITLEA = 18;
constexpr UINT CPSFUNC_SET_PSUIPAGE_TITLEW = 19;
constexpr UINT CPSFUNC_SET_PSUIPAGE_ICON = 20;
constexpr UINT CPSFUNC_SET_DATABLOCK = 21;
constexpr UINT CPSFUNC_QUERY_DATABLOCK = 22;
constexpr UINT CPSFUNC_SET_DMPUB_HIDEBITS = 23;
constexpr UINT CPSFUNC_IGNORE_CPSUI_PSN_APPLY = 24;
constexpr UINT CPSFUNC_DO_APPLY_CPSUI = 25;
constexpr UINT MAX_CPSFUNC_INDEX = 25;
// The wide forms are this platform's only ones.
constexpr UINT CPSFUNC_ADD_PCOMPROPSHEETUI = CPSFUNC_ADD_PCOMPROPSHEETUIW;
constexpr UINT CPSFUNC_ADD_PFNPROPSHEETUI = CPSFUNC_ADD_PFNPROPSHEETUIW;
constexpr UINT CPSFUNC_LOAD_CPSUI_STRING = CPSFUNC_LOAD_CPSUI_STRINGW;
constexpr UINT CPSFUNC_ADD_PROPSHEETPAGE = CPSFUNC_ADD_PROPSHEETPAGEW;
constexpr UINT CPSFUNC_INSERT_PSUIPAGE = CPSFUNC_INSERT_PSUIPAGEW;
constexpr UINT CPSFUNC_SET_PSUIPAGE_TITLE = CPSFUNC_SET_PSUIPAGE_TITLEW;

constexpr WORD SR_OWNER = 0;
constexpr WORD SR_OWNER_PARENT = 1;

// ---- The sheet function -------------------------------------------------------------------
constexpr WORD PROPSHEETUI_REASON_INIT = 0;
constexpr WORD PROPSHEETUI_REASON_GET_INFO_HEADER = 1;
constexpr WORD PROPSHEETUI_REASON_DESTROY = 2;
constexpr WORD PROPSHEETUI_REASON_SET_RESULT = 3;
constexpr WORD PROPSHEETUI_REASON_GET_ICON = 4;
constexpr WORD MAX_PROPSHEETUI_REASON_INDEX = 4;
constexpr WORD PROPSHEETUI_INFO_VERSION = 0x0100;
constexpr WORD PSUIINFO_UNICODE = 0x0001;

// ---- CommonPropertySheetUIW results ---------------------------------------------------------
constexpr LONG CPSUI_CANCEL = 0;
constexpr LONG CPSUI_OK = 1;
constexpr LONG CPSUI_RESTARTWINDOWS = 2;
constexpr LONG CPSUI_REBOOTSYSTEM = 3;

constexpr LONG ERR_CPSUI_GETLASTERROR = -1;
constexpr LONG ERR_CPSUI_ALLOCMEM_FAILED = -2;
constexpr LONG ERR_CPSUI_INVALID_PDATA = -3;
constexpr LONG ERR_CPSUI_INVALID_LPARAM = -4;
constexpr LONG ERR_CPSUI_NULL_HINST = -5;
constexpr LONG ERR_CPSUI_NULL_CALLERNAME = -6;
constexpr LONG ERR_CPSUI_NULL_OPTITEMNAME = -7;
constexpr LONG ERR_CPSUI_NO_PROPSHEETPAGE = -8;
constexpr LONG ERR_CPSUI_TOO_MANY_PROPSHEETPAGES = -9;
constexpr LONG ERR_CPSUI_CREATEPROPPAGE_FAILED = -10;
constexpr LONG ERR_CPSUI_INVALID_PDLGPAGE = -13;
constexpr LONG ERR_CPSUI_NULL_POPTITEM = -18;
constexpr LONG ERR_CPSUI_INVALID_OPTITEM_CBSIZE = -19;
constexpr LONG ERR_CPSUI_INVALID_OPTTYPE_CBSIZE = -20;
constexpr LONG ERR_CPSUI_INVALID_OPTTYPE_COUNT = -21;
constexpr LONG ERR_CPSUI_NULL_POPTPARAM = -22;
constexpr LONG ERR_CPSUI_INVALID_OPTPARAM_CBSIZE = -23;
constexpr LONG ERR_CPSUI_INVALID_EDITBOX_PSEL = -24;
constexpr LONG ERR_CPSUI_INVALID_EDITBOX_BUF_SIZE = -25;
constexpr LONG ERR_CPSUI_INVALID_ECB_CBSIZE = -26;
constexpr LONG ERR_CPSUI_NULL_ECB_PTITLE = -27;
constexpr LONG ERR_CPSUI_NULL_ECB_PCHECKEDNAME = -28;
constexpr LONG ERR_CPSUI_INVALID_DMPUBID = -29;
constexpr LONG ERR_CPSUI_INVALID_DMPUB_TVOT = -30;
constexpr LONG ERR_CPSUI_INVALID_TVOT_TYPE = -34;
constexpr LONG ERR_CPSUI_INVALID_LBCB_TYPE = -35;
constexpr LONG ERR_CPSUI_INVALID_PUSHBUTTON_TYPE = -38;
constexpr LONG ERR_CPSUI_INVALID_EXTPUSH_CBSIZE = -39;
constexpr LONG ERR_CPSUI_NULL_EXTPUSH_DLGPROC = -40;
constexpr LONG ERR_CPSUI_NO_EXTPUSH_DLGTEMPLATEID = -41;
constexpr LONG ERR_CPSUI_NULL_EXTPUSH_CALLBACK = -42;
constexpr LONG ERR_CPSUI_ZERO_OPTITEM = -44;
constexpr LONG ERR_CPSUI_FUNCTION_NOT_IMPLEMENTED = -9999;
constexpr LONG ERR_CPSUI_INTERNAL_ERROR = -10000;

// ---- PROPSHEETUI_INFO_HEADER.Flags -------------------------------------------------------
constexpr WORD PSUIHDRF_OBSOLETE = 0x0001;
constexpr WORD PSUIHDRF_NOAPPLYNOW = 0x0002;
constexpr WORD PSUIHDRF_PROPTITLE = 0x0004;
constexpr WORD PSUIHDRF_USEHICON = 0x0008;
constexpr WORD PSUIHDRF_DEFTITLE = 0x0010;
constexpr WORD PSUIHDRF_EXACT_PTITLE = 0x0020;

// ---- Sheet headers handed to the driver's sheet functions ------------------------------
constexpr WORD DPS_NOPERMISSION = 0x0001;

// ---- Records ---------------------------------------------------------------------------------
// Texts (pName, pData, pTitle ...) are either wide strings or, below 0x10000,
// string resource identifiers of the caller's module (hInstCaller).

struct OPTPARAM {
    WORD cbSize;
    BYTE Flags;
    BYTE Style;
    LPWSTR pData;
    ULONG_PTR IconID;
    LPARAM lParam;
    ULONG_PTR dwReserved[2];
};
using POPTPARAM = OPTPARAM*;

struct OPTTYPE {
    WORD cbSize;
    BYTE Type;
    BYTE Flags;
    WORD Count;
    WORD BegCtrlID;
    POPTPARAM pOptParam;
    WORD Style;
    WORD wReserved[3];
    ULONG_PTR dwReserved[3];
};
using POPTTYPE = OPTTYPE*;

struct EXTPUSH {
    WORD cbSize;
    WORD Flags;
    LPWSTR pTitle;
    union {
        DLGPROC DlgProc;
        FARPROC pfnCallBack;
    };
    ULONG_PTR IconID;
    union {
        WORD DlgTemplateID;
        HANDLE hDlgTemplate;
    };
    ULONG_PTR dwReserved[3];
};
using PEXTPUSH = EXTPUSH*;

struct EXTCHKBOX {
    WORD cbSize;
    WORD Flags;
    LPWSTR pTitle;
    LPWSTR pSeparator;
    LPWSTR pCheckedName;
    ULONG_PTR IconID;
    WORD wReserved[4];
    ULONG_PTR dwReserved[2];
};
using PEXTCHKBOX = EXTCHKBOX*;

struct OIEXT {
    WORD cbSize;
    WORD Flags;
    HINSTANCE hInstCaller;
    LPWSTR pHelpFile;
    ULONG_PTR dwReserved[4];
};
using POIEXT = OIEXT*;

struct OPTITEM {
    WORD cbSize;
    BYTE Level;
    BYTE DlgPageIdx;
    DWORD Flags;
    ULONG_PTR UserData;
    LPWSTR pName;
    union {
        LONG Sel;
        LPWSTR pSel;
    };
    union {
        PEXTCHKBOX pExtChkBox;
        PEXTPUSH pExtPush;
    };
    POPTTYPE pOptType;
    DWORD HelpIndex;
    BYTE DMPubID;
    BYTE UserItemID;
    WORD wReserved;
    POIEXT pOIExt;
    ULONG_PTR dwReserved[3];
};
using POPTITEM = OPTITEM*;

struct CPSUICBPARAM {
    WORD cbSize;
    WORD Reason;
    HWND hDlg;
    POPTITEM pOptItem;
    WORD cOptItem;
    WORD Flags;
    POPTITEM pCurItem;
    union {
        LONG OldSel;
        LPWSTR pOldSel;
    };
    ULONG_PTR UserData;
    ULONG_PTR Result;
};
using PCPSUICBPARAM = CPSUICBPARAM*;

using _CPSUICALLBACK = LONG (*)(PCPSUICBPARAM pCPSUICBParam);

struct DLGPAGE {
    WORD cbSize;
    WORD Flags;
    DLGPROC DlgProc;
    LPWSTR pTabName;
    ULONG_PTR IconID;
    union {
        WORD DlgTemplateID;
        HANDLE hDlgTemplate;
    };
};

struct COMPROPSHEETUI {
    WORD cbSize;
    WORD Flags;
    HINSTANCE hInstCaller;
    LPWSTR pCallerName;
    ULONG_PTR UserData;
    LPWSTR pHelpFile;
    _CPSUICALLBACK pfnCallBack;
    POPTITEM pOptItem;
    PDLGPAGE pDlgPage;
    WORD cOptItem;
    WORD cDlgPage;
    ULONG_PTR IconID;
    LPWSTR pOptItemName;
    WORD CallerVersion;
    WORD OptItemVersion;
    ULONG_PTR dwReserved[4];
};
using PCOMPROPSHEETUI = COMPROPSHEETUI*;

struct SETRESULT_INFO {
    WORD cbSize;
    WORD wReserved;
    HANDLE hSetResult;
    LRESULT Result;
};
using PSETRESULT_INFO = SETRESULT_INFO*;

using PFNCOMPROPSHEET = LONG_PTR (*)(HANDLE hComPropSheet, UINT Function, LPARAM lParam1, LPARAM lParam2);

struct PROPSHEETUI_INFO {
    WORD cbSize;
    WORD Version;
    WORD Flags;
    WORD Reason;
    HANDLE hComPropSheet;
    PFNCOMPROPSHEET pfnComPropSheet;
    LPARAM lParamInit;
    ULONG_PTR UserData;
    ULONG_PTR Result;
};
using PPROPSHEETUI_INFO = PROPSHEETUI_INFO*;

using PFNPROPSHEETUI = LONG (*)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);

struct PROPSHEETUI_INFO_HEADER {
    WORD cbSize;
    WORD Flags;
    LPWSTR pTitle;
    HWND hWndParent;
    HINSTANCE hInst;
    union {
        HICON hIcon;
        ULONG_PTR IconID;
    };
};
using PPROPSHEETUI_INFO_HEADER = PROPSHEETUI_INFO_HEADER*;

struct DOCUMENTPROPERTYHEADER {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    DEVMODEW* pdmIn;
    DEVMODEW* pdmOut;
    DWORD cbOut;
    DWORD fMode;
};
using PDOCUMENTPROPERTYHEADER = DOCUMENTPROPERTYHEADER*;

struct DEVICEPROPERTYHEADER {
    WORD cbSize;
    WORD Flags;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
};
using PDEVICEPROPERTYHEADER = DEVICEPROPERTYHEADER*;

// Field order as published, at this machine's alignment.
static_assert(offsetof(OPTPARAM, pData) == 8 && offsetof(OPTPARAM, IconID) == 16 && sizeof(OPTPARAM) == 48);
static_assert(offsetof(OPTTYPE, Count) == 4 && offsetof(OPTTYPE, BegCtrlID) == 6 && offsetof(OPTTYPE, pOptParam) == 8 &&
              offsetof(OPTTYPE, Style) == 16 && sizeof(OPTTYPE) == 48);
static_assert(offsetof(OPTITEM, Flags) == 4 && offsetof(OPTITEM, UserData) == 8 && offsetof(OPTITEM, pName) == 16 &&
              offsetof(OPTITEM, Sel) == 24 && offsetof(OPTITEM, pExtChkBox) == 32 && offsetof(OPTITEM, pOptType) == 40 &&
              offsetof(OPTITEM, HelpIndex) == 48 && offsetof(OPTITEM, DMPubID) == 52 && offsetof(OPTITEM, pOIExt) == 56 &&
              sizeof(OPTITEM) == 88);
static_assert(offsetof(COMPROPSHEETUI, hInstCaller) == 8 && offsetof(COMPROPSHEETUI, pfnCallBack) == 40 &&
              offsetof(COMPROPSHEETUI, cOptItem) == 64 && offsetof(COMPROPSHEETUI, IconID) == 72 &&
              offsetof(COMPROPSHEETUI, CallerVersion) == 88 && sizeof(COMPROPSHEETUI) == 128);
static_assert(offsetof(CPSUICBPARAM, cOptItem) == 24 && offsetof(CPSUICBPARAM, pCurItem) == 32 &&
              sizeof(CPSUICBPARAM) == 64);
static_assert(offsetof(PROPSHEETUI_INFO, hComPropSheet) == 8 && sizeof(PROPSHEETUI_INFO) == 48);
static_assert(offsetof(DOCUMENTPROPERTYHEADER, pdmIn) == 24 && offsetof(DOCUMENTPROPERTYHEADER, cbOut) == 40 &&
              sizeof(DOCUMENTPROPERTYHEADER) == 48);
static_assert(sizeof(DEVICEPROPERTYHEADER) == 24 && sizeof(SETRESULT_INFO) == 24 && sizeof(EXTPUSH) == 64 &&
              sizeof(EXTCHKBOX) == 64 && sizeof(PROPSHEETUI_INFO_HEADER) == 40 && sizeof(DLGPAGE) == 40);

extern "C" {

// Runs the sheets that pfnPropSheetUI adds (PROPSHEETUI_REASON_INIT with lParam,
// then GET_INFO_HEADER, the modal sheet, SET_RESULT and DESTROY); *pResult gets
// the result the sheet function set. Returns CPSUI_OK or CPSUI_CANCEL as the sheet
// ended, or a negative ERR_CPSUI_ code.
LONG CommonPropertySheetUIW(HWND hWndOwner, PFNPROPSHEETUI pfnPropSheetUI, LPARAM lParam, LPDWORD pResult);

}  // extern "C"
