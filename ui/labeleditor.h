// The label editor: the label list item of the printer sheet, the modal "Label"
// sheet with its General, Position, Density, Ribbon and Color Position pages, and
// the add, update and delete rules of the working label database.
#pragma once

#include "uidrv.h"
#include "user/dialogs.h"
#include "user/msgbox.h"
#include "user/wsprintf.h"

// ---- Label list item of the printer sheet (labellist.cpp) -------------------------------------
constexpr ULONG_PTR LABELLIST_USERDATA = 28;
constexpr DWORD LABELLIST_HELPINDEX = 2002;
constexpr WORD IDS_LABEL_ALL = 390;
constexpr WORD IDS_LABEL_PROPERTY = 394;
constexpr WORD IDI_CPSUI_LABEL = 64054;  // icon of every entry

// A new TVOT_LISTBOX option list of the working database from the sheet's heap:
// one entry per label, its text pointing at the record's name. NULL when out of
// memory. The entries point into pLabelDb, so the list is rebuilt whenever the
// database block changes.
POPTTYPE FillLabelOptType(PUIDATA pUiData);
// Gives an option list made by FillLabelOptType back to the sheet's heap.
void FreeLabelOptType(PUIDATA pUiData, POPTTYPE pOptType);
// Adds the label list item ("Label All", selection 0, with the extended push
// button "Label Property/Add/Delete") and copies label 0 into the edited label.
// Its option list and push button come from the heap, not from the pack's type
// array: the item counts as one item and no type.
BOOL PackItemLabelList(POPTITEMPACK pPack);

// ---- The sheet (labelprop.cpp) --------------------------------------------------------------------
// Runs the modal "Label" sheet over the label selected in the printer sheet's
// list. pCbParam is the printer sheet's callback block: its UserData is the
// UIDATA, its pCurItem the label list item whose Sel is the selected index.
BOOL LabelProperty(HINSTANCE hInst, HWND hWndParent, PCPSUICBPARAM pCbParam);

// The pages' dialog templates.
constexpr WORD IDD_LABEL_GENERAL = 228;
constexpr WORD IDD_LABEL_POSITION = 232;
constexpr WORD IDD_LABEL_DENSITY = 233;
constexpr WORD IDD_LABEL_COLORPOS1 = 234;
constexpr WORD IDD_LABEL_COLORPOS2 = 235;
constexpr WORD IDD_LABEL_RIBBON = 312;
constexpr WORD IDD_LABEL_RIBBON_OPTIONS = 314;

// What every page procedure of the sheet reaches through the page's lParam.
PCPSUICBPARAM PageCbParam(HWND hDlg);
PUIDATA PageUiData(HWND hDlg);
// The selected index of the label list, kept inside the working database.
DWORD SelectedLabel(const CPSUICBPARAM* pCbParam, const UIDATA* pUiData);
// Context help for a page: the control's help id from a (control, help id) table ending in 0.
void LabelPageHelp(const UIDATA* pUiData, const HELPINFO* pHelp, const DWORD* pTable);

// ---- Page "General" (labelmain.cpp, labelapply.cpp) -------------------------------------------------
constexpr WORD IDC_LABEL_NAME = 3000;
constexpr WORD IDC_LABEL_WIDTH = 3001;
constexpr WORD IDC_LABEL_HEIGHT = 3002;
constexpr WORD IDC_LABEL_PITCH = 3003;
constexpr WORD IDC_LABEL_ADD = 3004;
constexpr WORD IDC_LABEL_UPDATE = 3005;
constexpr WORD IDC_LABEL_DELETE = 3007;
constexpr WORD IDC_LABEL_CUT = 3010;
constexpr WORD IDC_LABEL_SENSOR = 4024;
constexpr WORD IDC_LABEL_SPEED = 4025;
constexpr WORD IDC_LABEL_CUT_UD = 4026;
constexpr WORD IDC_LABEL_WIDTH_UD = 4027;
constexpr WORD IDC_LABEL_HEIGHT_UD = 4028;
constexpr WORD IDC_LABEL_PITCH_UD = 4029;
constexpr WORD IDC_LABEL_MODE = 4038;
constexpr WORD IDC_LABEL_MODE_TEXT = 4039;

// Pending label actions: the identifiers of the buttons that set them.
constexpr DWORD LABEL_ACTION_NONE = 0;
constexpr DWORD LABEL_ACTION_ADD = IDC_LABEL_ADD;
constexpr DWORD LABEL_ACTION_UPDATE = IDC_LABEL_UPDATE;
constexpr DWORD LABEL_ACTION_DELETE = IDC_LABEL_DELETE;

INT_PTR MainLabelPropDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
void InitMainLabelDlg(HWND hDlg, PUIDATA pUiData);
void GetMainLabelDlg(HWND hDlg, PUIDATA pUiData);
// TRUE when the pending action was carried out (or there was nothing to do);
// FALSE when it was refused, after its message.
BOOL ApplyMainLabelDlg(HWND hDlg, PUIDATA pUiData, DWORD dwSel);
void ddfn_InitIssueSpeed(HWND hDlg, const UIDATA* pUiData);
void ddfn_InitIssueMode(HWND hDlg, const UIDATA* pUiData);
// The smallest pitch a label of this height allows, in 0.1 mm; *plMax gets the largest.
LONG ddfn_ChkHeightPitch(DWORD dwModel, INT iModeIndex, LONG lHeight, PLONG plMax);
// TRUE for a valid cut interval (0..100, and 999 on models other than 0).
BOOL ddfn_ChkCutInterval(DWORD dwModel, INT iCutInterval);

// ---- The working label database (labeledit.cpp) ----------------------------------------------------
// Results of AddLabelToDatabase besides the new database.
inline PLABELDATA const ADDLABEL_EXISTS = nullptr;
inline PLABELDATA const ADDLABEL_NOMEMORY = reinterpret_cast<PLABELDATA>(static_cast<LONG_PTR>(-1));
inline PLABELDATA const ADDLABEL_FORMREFUSED = reinterpret_cast<PLABELDATA>(static_cast<LONG_PTR>(-2));
inline PLABELDATA const ADDLABEL_FULL = reinterpret_cast<PLABELDATA>(static_cast<LONG_PTR>(-3));
inline bool AddedLabel(PLABELDATA p)
{
    return p != ADDLABEL_EXISTS && p != ADDLABEL_NOMEMORY && p != ADDLABEL_FORMREFUSED && p != ADDLABEL_FULL;
}

// Appends the label to a new block of the working database, releases the old
// block and makes the new one the working database. On any refusal the working
// database is left as it was.
PLABELDATA AddLabelToDatabase(PUIDATA pUiData, const LABELDATA* pLabel);
// Removes the record at the index by moving the later ones down; the block keeps its size.
BOOL DeleteLabel(HANDLE hPrinter, PLABELDATA pDb, DWORD dwIndex);
// TRUE when the name may become a new label's name: a label of the reference
// database, or a name the spooler has no form of. Otherwise asks nothing, shows
// "Override" and gives FALSE.
BOOL RegistPrinterForms(HANDLE hPrinter, PUIDATA pUiData, const LABELDATA* pLabel, DWORD dwFlag);

// ---- Slider pages (sliders.cpp) ---------------------------------------------------------------------
constexpr WORD IDC_SLIDER_FIRST = 3020;  // rows at 3020, 3023, 3026, 3029, 3032: trackbar, text, up-down
constexpr WORD IDC_AUTOFEED_TEXT = 4046;

INT_PTR SliderLabelDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam, WORD wPage);
INT_PTR FeedAdjLabelDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR DensityAdjDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR Pos1AdjDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR Pos2AdjDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
void SliderBar_Init(HWND hDlg, WORD wId, LONG lMin, LONG lMax, LONG lValue, WORD wPage);
void SetDlgControl(HWND hDlg, PUIDATA pUiData, WORD wPage);
void GetDlgControl(HWND hDlg, PUIDATA pUiData, WORD wPage);
void ddfn_SetFeedAdjCtrl(HWND hDlg, PUIDATA pUiData);
void ddfn_SetDensAdjCtrl(HWND hDlg, PUIDATA pUiData);

// ---- Ribbon page (ribbon.cpp) -----------------------------------------------------------------------
constexpr WORD IDC_RIBBON_SEL1 = 4017;      // model 0: ribbon type; others: "Without Ribbon"
constexpr WORD IDC_RIBBON_SEL2 = 4018;      // model 0: ribbon width; model 10: ribbon type
constexpr WORD IDC_RIBBON_MOTOR = 4020;
constexpr WORD IDC_RIBBON_NAME = 4038;
constexpr WORD IDC_RIBBON_DEFAULTS = 4043;
constexpr WORD IDC_RIBBON_REWIND = 3020;
constexpr WORD IDC_RIBBON_TENSION = 3023;

INT_PTR RibbonDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
void SetRibbonProp(HWND hDlg, PUIDATA pUiData, INT iSlot);
void GetRibbonProp(HWND hDlg, PUIDATA pUiData, INT iSlot);
void ddfn_SetRibbonButton(HWND hDlg, PUIDATA pUiData, WORD wId);
void ddfn_RibbonHelp(const UIDATA* pUiData, const HELPINFO* pHelp);
