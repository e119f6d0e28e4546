// The ribbon page of the label editor: ribbon type and width, printing without
// ribbon, and the ribbon motor adjustments of each ribbon slot of the edited label.
#include "labeleditor.h"

namespace {

constexpr INT RIBBON_SLOTS = 4;
constexpr WORD IDC_RIBBON_NAME_TEXT = 4000;
constexpr WORD IDC_RIBBON_REWIND_TEXT = 4001;
constexpr WORD IDC_RIBBON_TENSION_TEXT = 4002;
constexpr WORD IDC_RIBBON_SEL2_TEXT = 4003;

// Choice lists, each ending in 0.
constexpr WORD Ribbon[] = {311, 312, 0};
constexpr WORD Width[] = {431, 432, 0};
constexpr WORD HRibbon[] = {313, 314, 0};
constexpr WORD RibbonColors[] = {1010, 1011, 1012, 1013, 0};

// The controls enabled and disabled together with the motor adjustment.
constexpr WORD AdjustControls[] = {IDC_RIBBON_NAME,        IDC_RIBBON_REWIND,       IDC_RIBBON_REWIND + 1,
                                   IDC_RIBBON_TENSION,     IDC_RIBBON_TENSION + 1,  IDC_RIBBON_NAME_TEXT,
                                   IDC_RIBBON_REWIND_TEXT, IDC_RIBBON_TENSION_TEXT, IDC_RIBBON_DEFAULTS};

constexpr DWORD aCRibbonDlgHelpID[] = {4017, 3060, 4018, 3061, 4020, 3062, 3020, 3063, 3023, 3064, 4000, 3066, 4001,
                                       3063, 3021, 3063, 3024, 3064, 4038, 3066, 4043, 3067, 4002, 3064, 0,    0};
constexpr DWORD aMRibbonDlgHelpID[] = {4017, 3065, 4018, 3060, 4003, 3060, 3020, 3063, 3023, 3064, 4001,
                                       3063, 4002, 3064, 3021, 3063, 3024, 3064, 0,    0};

// Model 0 takes its adjustment range from its own motors; the others from 0 down to -15.
constexpr LONG kAdjMin0 = -50, kAdjMax0 = 50;
constexpr LONG kAdjMinN = -15, kAdjMaxN = 0;

void FillCombo(HWND hDlg, WORD wId, const WORD* pList, DWORD dwSel)
{
    SendDlgItemMessageW(hDlg, wId, CB_RESETCONTENT, 0, 0);
    WCHAR szText[WSPRINTF_MAX];
    for (; *pList; ++pList) {
        if (LoadStringW(ghInstance, *pList, szText, WSPRINTF_MAX) <= 0) szText[0] = 0;
        SendDlgItemMessageW(hDlg, wId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szText));
    }
    SendDlgItemMessageW(hDlg, wId, CB_SETCURSEL, dwSel, 0);
}

void EnableAdjustment(HWND hDlg, BOOL bEnable)
{
    for (WORD wId : AdjustControls) EnableWindow(GetDlgItem(hDlg, wId), bEnable);
}

DWORD ComboSel(HWND hDlg, WORD wId)
{
    return static_cast<DWORD>(SendDlgItemMessageW(hDlg, wId, CB_GETCURSEL, 0, 0));
}

LONG TrackPos(HWND hDlg, WORD wId) { return static_cast<LONG>(SendDlgItemMessageW(hDlg, wId, TBM_GETPOS, 0, 0)); }

INT CurrentSlot(HWND hDlg)
{
    const LONG_PTR k = GetWindowLongPtrW(hDlg, GWLP_USERDATA);
    return k >= 0 && k < RIBBON_SLOTS ? static_cast<INT>(k) : 0;
}

WORD PageId(const UIDATA* p) { return p->dwUiModel == 0 ? IDD_LABEL_RIBBON_OPTIONS : IDD_LABEL_RIBBON; }

// Default rewind and back tension of the ribbon slot 0's type and width select.
// A selection outside the lists (none, or a stale stored value) counts as the first entry.
void RestoreDefaults(PUIDATA p, INT iSlot)
{
    const DWORD dwType = p->labelWork.aRibbon[0].dwRibbonSel1 <= 1 ? p->labelWork.aRibbon[0].dwRibbonSel1 : 0;
    const DWORD dwWidth = p->labelWork.aRibbon[0].dwRibbonSel2 <= 1 ? p->labelWork.aRibbon[0].dwRibbonSel2 : 0;
    const LONG* pTension = iLabelTension[dwType * 2 + dwWidth];
    p->labelWork.aRibbon[iSlot].lRewindAdj = pTension[0];
    p->labelWork.aRibbon[iSlot].lBackTensionAdj = pTension[1];
}

}  // namespace

void SetRibbonProp(HWND hDlg, PUIDATA p, INT iSlot)
{
    if (iSlot < 0 || iSlot >= RIBBON_SLOTS) iSlot = 0;
    const RIBBONADJ& slot0 = p->labelWork.aRibbon[0];
    const RIBBONADJ& slot = p->labelWork.aRibbon[iSlot];
    const WORD wPage = PageId(p);
    BOOL bEnable = TRUE;
    if (p->dwUiModel == 0) {
        FillCombo(hDlg, IDC_RIBBON_SEL1, Ribbon, slot0.dwRibbonSel1);
        FillCombo(hDlg, IDC_RIBBON_SEL2, Width, slot0.dwRibbonSel2);
        CheckDlgButton(hDlg, IDC_RIBBON_MOTOR, slot0.bMotorAdj ? BST_CHECKED : BST_UNCHECKED);
        FillCombo(hDlg, IDC_RIBBON_NAME, RibbonColors, static_cast<DWORD>(iSlot));
        SetWindowLongPtrW(hDlg, GWLP_USERDATA, iSlot);
        SliderBar_Init(hDlg, IDC_RIBBON_REWIND, kAdjMin0, kAdjMax0, slot.lRewindAdj, wPage);
        SliderBar_Init(hDlg, IDC_RIBBON_TENSION, kAdjMin0, kAdjMax0, slot.lBackTensionAdj, wPage);
        bEnable = slot0.bMotorAdj ? TRUE : FALSE;
    } else if (p->dwUiModel == 10) {
        EnableWindow(GetDlgItem(hDlg, IDC_RIBBON_SEL1), FALSE);
        FillCombo(hDlg, IDC_RIBBON_SEL2, HRibbon, slot.dwRibbonSel2);
        SliderBar_Init(hDlg, IDC_RIBBON_REWIND, kAdjMinN, kAdjMaxN, slot.lRewindAdj, wPage);
        SliderBar_Init(hDlg, IDC_RIBBON_TENSION, kAdjMinN, kAdjMaxN, slot.lBackTensionAdj, wPage);
    } else {
        CheckDlgButton(hDlg, IDC_RIBBON_SEL1, slot.dwRibbonSel1 ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(GetDlgItem(hDlg, IDC_RIBBON_SEL2_TEXT), FALSE);
        EnableWindow(GetDlgItem(hDlg, IDC_RIBBON_SEL2), FALSE);
        SliderBar_Init(hDlg, IDC_RIBBON_REWIND, kAdjMinN, kAdjMaxN, slot.lRewindAdj, wPage);
        SliderBar_Init(hDlg, IDC_RIBBON_TENSION, kAdjMinN, kAdjMaxN, slot.lBackTensionAdj, wPage);
        bEnable = IsDlgButtonChecked(hDlg, IDC_RIBBON_SEL1) ? FALSE : TRUE;
    }
    EnableAdjustment(hDlg, bEnable);
}

void GetRibbonProp(HWND hDlg, PUIDATA p, INT iSlot)
{
    if (iSlot < 0 || iSlot >= RIBBON_SLOTS) iSlot = 0;
    RIBBONADJ& slot0 = p->labelWork.aRibbon[0];
    RIBBONADJ& slot = p->labelWork.aRibbon[iSlot];
    if (p->dwUiModel == 0) {
        slot0.dwRibbonSel1 = ComboSel(hDlg, IDC_RIBBON_SEL1);
        slot0.dwRibbonSel2 = ComboSel(hDlg, IDC_RIBBON_SEL2);
    } else if (p->dwUiModel == 10) {
        slot.dwRibbonSel2 = ComboSel(hDlg, IDC_RIBBON_SEL2);
    } else {
        slot.dwRibbonSel1 = IsDlgButtonChecked(hDlg, IDC_RIBBON_SEL1) ? 1 : 0;
    }
    slot0.bMotorAdj = IsDlgButtonChecked(hDlg, IDC_RIBBON_MOTOR) ? 1 : 0;
    slot.lRewindAdj = TrackPos(hDlg, IDC_RIBBON_REWIND);
    slot.lBackTensionAdj = TrackPos(hDlg, IDC_RIBBON_TENSION);
}

void ddfn_SetRibbonButton(HWND hDlg, PUIDATA p, WORD wId)
{
    if (p->dwUiModel == 0 && wId == IDC_RIBBON_MOTOR)
        EnableAdjustment(hDlg, IsDlgButtonChecked(hDlg, IDC_RIBBON_MOTOR) ? TRUE : FALSE);
    else if (p->dwUiModel != 0 && wId == IDC_RIBBON_SEL1)
        EnableAdjustment(hDlg, IsDlgButtonChecked(hDlg, IDC_RIBBON_SEL1) ? FALSE : TRUE);
}

void ddfn_RibbonHelp(const UIDATA* p, const HELPINFO* pHelp)
{
    LabelPageHelp(p, pHelp, p && p->dwUiModel == 0 ? aCRibbonDlgHelpID : aMRibbonDlgHelpID);
}

INT_PTR RibbonDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG: {
        auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        SetWindowLongPtrW(hDlg, DWLP_USER, psp ? psp->lParam : 0);
        SetWindowLongPtrW(hDlg, GWLP_USERDATA, 0);
        return TRUE;
    }
    case WM_NOTIFY: {
        PUIDATA p = PageUiData(hDlg);
        const auto* pnm = reinterpret_cast<const NMHDR*>(lParam);
        if (!p || !pnm) return FALSE;
        if (pnm->code == PSN_SETACTIVE) SetRibbonProp(hDlg, p, 0);  // the page always opens on black
        else if (pnm->code == PSN_KILLACTIVE) GetRibbonProp(hDlg, p, p->dwUiModel == 0 ? CurrentSlot(hDlg) : 0);
        else return FALSE;
        SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    case WM_COMMAND: {
        PUIDATA p = PageUiData(hDlg);
        if (!p) return FALSE;
        const WORD wId = LOWORD(wParam);
        if (wId == IDC_RIBBON_NAME) {
            if (HIWORD(wParam) != CBN_SELCHANGE || p->dwUiModel != 0) return FALSE;
            GetRibbonProp(hDlg, p, CurrentSlot(hDlg));
            const LRESULT lSel = SendDlgItemMessageW(hDlg, IDC_RIBBON_NAME, CB_GETCURSEL, 0, 0);
            SetRibbonProp(hDlg, p, lSel >= 0 && lSel < RIBBON_SLOTS ? static_cast<INT>(lSel) : 0);
            return TRUE;
        }
        if (wId == IDC_RIBBON_DEFAULTS && HIWORD(wParam) == BN_CLICKED) {
            const INT iSlot = CurrentSlot(hDlg);
            GetRibbonProp(hDlg, p, iSlot);
            RestoreDefaults(p, iSlot);
            SetRibbonProp(hDlg, p, iSlot);
        }
        ddfn_SetRibbonButton(hDlg, p, wId);
        return TRUE;
    }
    case WM_HSCROLL: {
        const auto hTrack = reinterpret_cast<HWND>(lParam);
        const WORD wId = static_cast<WORD>(GetDlgCtrlID(hTrack));
        if (!hTrack || wId == 0) return FALSE;
        WCHAR szText[WSPRINTF_MAX];
        wsprintfW(szText, u"%ld", static_cast<LONG>(SendMessageW(hTrack, TBM_GETPOS, 0, 0)));
        SetDlgItemTextW(hDlg, static_cast<WORD>(wId + 1), szText);
        return TRUE;
    }
    case WM_HELP:
        ddfn_RibbonHelp(PageUiData(hDlg), reinterpret_cast<const HELPINFO*>(lParam));
        return TRUE;
    default: return FALSE;
    }
}
