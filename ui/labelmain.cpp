// Page "General" of the label editor: name, size, pitch, cut interval, sensor,
// speed and print mode of the edited label, and the Add/Update/Delete buttons.
#include <cstring>

#include "labeleditor.h"

namespace {

constexpr WORD IDS_SPEED_INCH = 303;
constexpr WORD IDS_SPEED_MM = 304;
constexpr WORD IDS_SPEED_MM_TENTHS = 305;
constexpr WORD IDS_SENSOR_FIRST = 351;
constexpr WORD IDS_MODE_BATCH = 371;
constexpr WORD IDS_MODE_STRIP = 372;
constexpr INT MAX_SENSORS = 6;

constexpr DWORD aMainLabelDlgHelpID[] = {
    3000, 3000, 3001, 3001, 3002, 3002, 3003, 3003, 3010, 3007, 4024, 3008, 4025, 3009, 4038, 3010, 3005, 3004,
    3004, 3005, 3007, 3006, 4027, 3001, 4028, 3002, 4029, 3003, 4026, 3007, 4039, 3010, 0,    0};

void AddString(HWND hDlg, WORD wCombo, WORD wString)
{
    WCHAR szText[WSPRINTF_MAX];
    if (LoadStringW(ghInstance, wString, szText, WSPRINTF_MAX) <= 0) szText[0] = 0;
    SendDlgItemMessageW(hDlg, wCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szText));
}

void SetUpDown(HWND hDlg, WORD wId, LONG lMin, LONG lMax)
{
    SendDlgItemMessageW(hDlg, wId, UDM_SETRANGE32, static_cast<WPARAM>(lMin), static_cast<LPARAM>(lMax));
}

LONG ReadNumber(HWND hDlg, WORD wId)
{
    BOOL bOk = FALSE;
    return static_cast<LONG>(static_cast<INT>(GetDlgItemInt(hDlg, wId, &bOk, TRUE)));
}

BOOL Handled(HWND hDlg, LONG_PTR lResult)
{
    SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, lResult);
    return TRUE;
}

}  // namespace

void ddfn_InitIssueSpeed(HWND hDlg, const UIDATA* p)
{
    const DEVSPEC& spec = devspec[p->dwUiModel];
    SendDlgItemMessageW(hDlg, IDC_LABEL_SPEED, CB_RESETCONTENT, 0, 0);
    const WORD wFormat = p->dwUiModel == 8 ? IDS_SPEED_MM_TENTHS : spec.bSpeedMM ? IDS_SPEED_MM : IDS_SPEED_INCH;
    WCHAR szFormat[WSPRINTF_MAX], szText[WSPRINTF_MAX];
    if (LoadStringW(ghInstance, wFormat, szFormat, WSPRINTF_MAX) <= 0) szFormat[0] = 0;
    for (INT i = 0; i < 4 && spec.alIssueSpeed[i] != 0; ++i) {
        // Model 8 runs at 101.6 and 50.8 mm/s: whole millimetres, then the tenth.
        const LONG lTenth = spec.alIssueSpeed[i] == 101 ? 6 : 8;
        wsprintfW(szText, szFormat, spec.alIssueSpeed[i], lTenth);
        SendDlgItemMessageW(hDlg, IDC_LABEL_SPEED, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szText));
    }
    SendDlgItemMessageW(hDlg, IDC_LABEL_SPEED, CB_SETCURSEL, static_cast<WPARAM>(p->labelWork.iIssueSpeed), 0);
}

void ddfn_InitIssueMode(HWND hDlg, const UIDATA* p)
{
    if (p->dwUiModel == 0) {
        ShowWindow(GetDlgItem(hDlg, IDC_LABEL_MODE), SW_HIDE);
        ShowWindow(GetDlgItem(hDlg, IDC_LABEL_MODE_TEXT), SW_HIDE);
        return;
    }
    SendDlgItemMessageW(hDlg, IDC_LABEL_MODE, CB_RESETCONTENT, 0, 0);
    AddString(hDlg, IDC_LABEL_MODE, IDS_MODE_BATCH);
    AddString(hDlg, IDC_LABEL_MODE, IDS_MODE_STRIP);
    SendDlgItemMessageW(hDlg, IDC_LABEL_MODE, CB_SETCURSEL, static_cast<WPARAM>(p->labelWork.iIssueMode), 0);
}

void InitMainLabelDlg(HWND hDlg, PUIDATA p)
{
    const DEVSPEC& spec = devspec[p->dwUiModel];
    const LABELDATA& l = p->labelWork;
    const DWORD bRam = p->prnProps.bExpansionRAM ? 1 : 0;

    SendDlgItemMessageW(hDlg, IDC_LABEL_NAME, EM_LIMITTEXT, CCHLABELNAME - 1, 0);
    SetDlgItemTextW(hDlg, IDC_LABEL_NAME, l.szLabelName);

    // Signed, so that a negative value typed before a page switch comes back as typed.
    SendDlgItemMessageW(hDlg, IDC_LABEL_WIDTH, EM_LIMITTEXT, 4, 0);
    SetUpDown(hDlg, IDC_LABEL_WIDTH_UD, spec.lWidthMin, spec.lWidthMax);
    SetDlgItemInt(hDlg, IDC_LABEL_WIDTH, static_cast<UINT>(l.lWidth / 100), TRUE);

    SendDlgItemMessageW(hDlg, IDC_LABEL_HEIGHT, EM_LIMITTEXT, 4, 0);
    SetUpDown(hDlg, IDC_LABEL_HEIGHT_UD, spec.alHeightMin[0], spec.alHeightMax[bRam]);
    SetDlgItemInt(hDlg, IDC_LABEL_HEIGHT, static_cast<UINT>(l.lHeight / 100), TRUE);

    SendDlgItemMessageW(hDlg, IDC_LABEL_PITCH, EM_LIMITTEXT, 4, 0);
    SetUpDown(hDlg, IDC_LABEL_PITCH_UD, spec.alPitchMin[0], spec.lPitchMax);
    SetDlgItemInt(hDlg, IDC_LABEL_PITCH, static_cast<UINT>(l.lPitch), TRUE);

    SendDlgItemMessageW(hDlg, IDC_LABEL_CUT, EM_LIMITTEXT, 3, 0);
    SetUpDown(hDlg, IDC_LABEL_CUT_UD, 0, 100);
    SetDlgItemInt(hDlg, IDC_LABEL_CUT, static_cast<UINT>(l.iCutInterval), TRUE);

    SendDlgItemMessageW(hDlg, IDC_LABEL_SENSOR, CB_RESETCONTENT, 0, 0);
    for (INT i = 0; i < spec.nSensor && i < MAX_SENSORS; ++i)
        AddString(hDlg, IDC_LABEL_SENSOR, static_cast<WORD>(IDS_SENSOR_FIRST + i));
    SendDlgItemMessageW(hDlg, IDC_LABEL_SENSOR, CB_SETCURSEL, static_cast<WPARAM>(l.iSensor), 0);

    ddfn_InitIssueSpeed(hDlg, p);
    ddfn_InitIssueMode(hDlg, p);
}

void GetMainLabelDlg(HWND hDlg, PUIDATA p)
{
    LABELDATA& l = p->labelWork;
    WCHAR szName[CCHLABELNAME]{};
    GetDlgItemTextW(hDlg, IDC_LABEL_NAME, szName, CCHLABELNAME);
    std::memcpy(l.szLabelName, szName, sizeof(szName));
    l.lWidth = ReadNumber(hDlg, IDC_LABEL_WIDTH) * 100;
    l.lHeight = ReadNumber(hDlg, IDC_LABEL_HEIGHT) * 100;
    l.lPitch = ReadNumber(hDlg, IDC_LABEL_PITCH);
    l.iCutInterval = ReadNumber(hDlg, IDC_LABEL_CUT);
    l.iSensor = static_cast<INT>(SendDlgItemMessageW(hDlg, IDC_LABEL_SENSOR, CB_GETCURSEL, 0, 0));
    l.iIssueSpeed = static_cast<INT>(SendDlgItemMessageW(hDlg, IDC_LABEL_SPEED, CB_GETCURSEL, 0, 0));
    const LRESULT lMode = SendDlgItemMessageW(hDlg, IDC_LABEL_MODE, CB_GETCURSEL, 0, 0);
    l.iIssueMode = lMode == CB_ERR ? 0 : static_cast<INT>(lMode);
}

INT_PTR MainLabelPropDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG: {
        auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        SetWindowLongPtrW(hDlg, DWLP_USER, psp ? psp->lParam : 0);
        if (PUIDATA p = PageUiData(hDlg))
            std::memcpy(&p->labelWork, &p->pLabelDb[SelectedLabel(PageCbParam(hDlg), p)], sizeof(LABELDATA));
        return TRUE;
    }
    case WM_NOTIFY: {
        PUIDATA p = PageUiData(hDlg);
        const auto* pnm = reinterpret_cast<const NMHDR*>(lParam);
        if (!p || !pnm) return FALSE;
        switch (pnm->code) {
        case PSN_SETACTIVE:
            InitMainLabelDlg(hDlg, p);
            return Handled(hDlg, PSNRET_NOERROR);
        case PSN_KILLACTIVE:
            GetMainLabelDlg(hDlg, p);
            return Handled(hDlg, FALSE);
        case PSN_APPLY: {
            const DWORD dwSel = SelectedLabel(PageCbParam(hDlg), p);
            if (p->dwLabelAction != LABEL_ACTION_DELETE &&
                std::memcmp(&p->labelWork, &p->pLabelDb[dwSel], sizeof(LABELDATA)) == 0) {
                // Nothing to add or change; a button pressed on it must not carry over to OK.
                p->dwLabelAction = LABEL_ACTION_NONE;
                return Handled(hDlg, PSNRET_NOERROR);
            }
            if (ApplyMainLabelDlg(hDlg, p, dwSel)) return Handled(hDlg, PSNRET_NOERROR);
            p->dwLabelAction = LABEL_ACTION_NONE;
            // Show the corrected value at once: the page stays active, and leaving
            // it would otherwise read the refused value back over the correction.
            InitMainLabelDlg(hDlg, p);
            return Handled(hDlg, PSNRET_INVALID_NOCHANGEPAGE);
        }
        default: return FALSE;
        }
    }
    case WM_COMMAND: {
        const WORD wId = LOWORD(wParam);
        if (wId != IDC_LABEL_ADD && wId != IDC_LABEL_UPDATE && wId != IDC_LABEL_DELETE) return FALSE;
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        PUIDATA p = PageUiData(hDlg);
        if (!p) return FALSE;
        p->dwLabelAction = wId;
        SendMessageW(GetParent(hDlg), PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
        return TRUE;
    }
    case WM_HELP:
        LabelPageHelp(PageUiData(hDlg), reinterpret_cast<const HELPINFO*>(lParam), aMainLabelDlgHelpID);
        return TRUE;
    default: return FALSE;
    }
}
