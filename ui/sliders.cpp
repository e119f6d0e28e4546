// The slider pages of the label editor: Position, Density and the two Color
// Position pages. Each row is a trackbar, its value text and a step arrow.
#include "labeleditor.h"

namespace {

constexpr INT ROWS_POSITION = 5;
constexpr INT ROWS_OTHER = 4;
constexpr WORD ROW_STOPPOS = 3;
constexpr WORD ROW_AUTOFEED = 4;

struct SliderRange {
    LONG lMin;
    LONG lMax;
};

// Position rows (feed, cut position, back feed, stop position, auto feed) and
// density, by model: model 0, model 7, every other model.
constexpr SliderRange kPosition0[ROWS_POSITION] = {{-300, 130}, {-200, 200}, {-99, 99}, {0, 0}, {0, 0}};
constexpr SliderRange kPosition7[ROWS_POSITION] = {{-100, 100}, {-100, 100}, {-99, 99}, {0, 0}, {30, 330}};
constexpr SliderRange kPositionN[ROWS_POSITION] = {{-500, 500}, {-500, 500}, {-99, 99}, {0, 0}, {30, 2000}};
constexpr SliderRange kDensity0 = {-50, 50};
constexpr SliderRange kDensityN = {-10, 10};
constexpr SliderRange kColorPos = {-200, 200};

constexpr DWORD aFeedAdjDlgHelpID[] = {3020, 3020, 3021, 3020, 3022, 3020, 3023, 3021, 3024, 3021, 3025, 3021,
                                       3026, 3022, 3027, 3022, 3028, 3022, 3029, 3023, 3030, 3023, 3031, 3023,
                                       4040, 3023, 3032, 3024, 3033, 3024, 3034, 3024, 4046, 3024, 0,    0};
constexpr DWORD aDensityAdjDlgHelpID[] = {3020, 3040, 3021, 3040, 3022, 3040, 3023, 3040, 3024, 3040, 3025, 3040,
                                          3026, 3040, 3027, 3040, 3028, 3040, 3029, 3040, 3030, 3040, 3031, 3040,
                                          4000, 3040, 4001, 3040, 4002, 3040, 0,    0};
constexpr DWORD aPosAdjDlgHelpID[] = {3020, 3380, 3021, 3380, 3022, 3380, 3026, 3380, 3027, 3380, 3028, 3380,
                                      4000, 3380, 4001, 3380, 4003, 3380, 4004, 3380, 3023, 3081, 3024, 3081,
                                      3025, 3081, 3029, 3081, 3030, 3081, 3031, 3081, 4002, 3081, 4005, 3081,
                                      0,    0};

WORD RowId(INT iRow) { return static_cast<WORD>(IDC_SLIDER_FIRST + 3 * iRow); }

INT RowCount(WORD wPage) { return wPage == IDD_LABEL_POSITION ? ROWS_POSITION : ROWS_OTHER; }

// Models 7 and 10 keep their auto feed in a field of its own.
bool UsesAutoFeed2(DWORD dwModel) { return dwModel == 7 || dwModel == 10; }

// The field of the edited label that a row edits.
PLONG RowField(PUIDATA p, WORD wPage, INT iRow)
{
    LABELDATA& l = p->labelWork;
    switch (wPage) {
    case IDD_LABEL_POSITION: {
        PLONG aFields[ROWS_POSITION] = {&l.lFeedAdj, &l.lCutPosAdj, &l.lBackFeedAdj, &l.lStopPosAdj,
                                        UsesAutoFeed2(p->dwUiModel) ? &l.lAutoFeed2 : &l.lAutoFeed};
        return aFields[iRow];
    }
    case IDD_LABEL_DENSITY: return &l.alDensAdj[iRow];
    case IDD_LABEL_COLORPOS1: return &l.alPosAdj[iRow];
    case IDD_LABEL_COLORPOS2: return &l.alPosAdj[4 + iRow];
    default: return nullptr;
    }
}

SliderRange PositionRange(DWORD dwModel, INT iRow)
{
    if (dwModel == 0) return kPosition0[iRow];
    if (dwModel == 7) return kPosition7[iRow];
    return kPositionN[iRow];
}

// The value text of a row: millimetres with the sign in front on the Position
// and Color Position pages, the plain number elsewhere.
void SetValueText(HWND hDlg, WORD wTextId, LONG lValue, WORD wPage)
{
    WCHAR szText[WSPRINTF_MAX];
    const WCHAR cSign = lValue < 0 ? u'-' : u' ';
    const LONG lAbs = lValue < 0 ? -lValue : lValue;
    if (wPage == IDD_LABEL_POSITION)
        wsprintfW(szText, u"%c%01.1ld.%01ldmm", cSign, lAbs / 10, lAbs % 10);
    else if (wPage == IDD_LABEL_COLORPOS1 || wPage == IDD_LABEL_COLORPOS2)
        wsprintfW(szText, u"%c%1.1ld.%02ldmm", cSign, lAbs / 100, lAbs % 100);
    else
        wsprintfW(szText, u"%ld", lValue);
    SetDlgItemTextW(hDlg, wTextId, szText);
}

void ResetStepArrow(HWND hDlg, WORD wId)
{
    SendDlgItemMessageW(hDlg, wId, UDM_SETRANGE, 0, MAKELPARAM(2, 0));
    SendDlgItemMessageW(hDlg, wId, UDM_SETPOS, 0, MAKELPARAM(1, 0));
}

void SetColorPosCtrl(HWND hDlg, PUIDATA p, WORD wPage)
{
    for (INT i = 0; i < ROWS_OTHER; ++i)
        SliderBar_Init(hDlg, RowId(i), kColorPos.lMin, kColorPos.lMax, *RowField(p, wPage, i), wPage);
}

const DWORD* HelpTable(WORD wPage)
{
    if (wPage == IDD_LABEL_POSITION) return aFeedAdjDlgHelpID;
    if (wPage == IDD_LABEL_DENSITY) return aDensityAdjDlgHelpID;
    return aPosAdjDlgHelpID;
}

// A step arrow was clicked: position 2 is one up, 0 one down. The arrow goes back
// to the middle at once; the trackbar two identifiers below moves by the step
// when the result stays in its range.
void StepSlider(HWND hDlg, HWND hUpDown, SHORT nPos, WORD wPage)
{
    const WORD wUpDown = static_cast<WORD>(GetDlgCtrlID(hUpDown));
    SendMessageW(hUpDown, UDM_SETPOS, 0, MAKELPARAM(1, 0));
    const LONG lStep = nPos - 1;
    if (lStep == 0 || wUpDown < IDC_SLIDER_FIRST + 2) return;
    const WORD wTrack = static_cast<WORD>(wUpDown - 2);
    const LONG lValue = static_cast<LONG>(SendDlgItemMessageW(hDlg, wTrack, TBM_GETPOS, 0, 0)) + lStep;
    const LONG lMin = static_cast<LONG>(SendDlgItemMessageW(hDlg, wTrack, TBM_GETRANGEMIN, 0, 0));
    const LONG lMax = static_cast<LONG>(SendDlgItemMessageW(hDlg, wTrack, TBM_GETRANGEMAX, 0, 0));
    if (lValue < lMin || lValue > lMax) return;
    SendDlgItemMessageW(hDlg, wTrack, TBM_SETPOS, TRUE, lValue);
    SetValueText(hDlg, static_cast<WORD>(wTrack + 1), lValue, wPage);
}

}  // namespace

void SliderBar_Init(HWND hDlg, WORD wId, LONG lMin, LONG lMax, LONG lValue, WORD wPage)
{
    SendDlgItemMessageW(hDlg, wId, TBM_SETRANGE, TRUE, MAKELPARAM(static_cast<WORD>(lMin), static_cast<WORD>(lMax)));
    SendDlgItemMessageW(hDlg, wId, TBM_SETPOS, TRUE, lValue);
    SetValueText(hDlg, static_cast<WORD>(wId + 1), lValue, wPage);
}

void ddfn_SetFeedAdjCtrl(HWND hDlg, PUIDATA p)
{
    for (INT i = 0; i < ROWS_POSITION; ++i) {
        if (i == ROW_STOPPOS || (i == ROW_AUTOFEED && p->dwUiModel == 0)) continue;
        const SliderRange r = PositionRange(p->dwUiModel, i);
        SliderBar_Init(hDlg, RowId(i), r.lMin, r.lMax, *RowField(p, IDD_LABEL_POSITION, i), IDD_LABEL_POSITION);
    }
    if (p->dwUiModel == 0) {
        const WORD aHidden[] = {IDC_AUTOFEED_TEXT, RowId(ROW_AUTOFEED), static_cast<WORD>(RowId(ROW_AUTOFEED) + 1),
                                static_cast<WORD>(RowId(ROW_AUTOFEED) + 2)};
        for (WORD wId : aHidden) ShowWindow(GetDlgItem(hDlg, wId), SW_HIDE);
    }
}

void ddfn_SetDensAdjCtrl(HWND hDlg, PUIDATA p)
{
    const SliderRange r = p->dwUiModel == 0 ? kDensity0 : kDensityN;
    SliderBar_Init(hDlg, RowId(0), r.lMin, r.lMax, p->labelWork.alDensAdj[0], IDD_LABEL_DENSITY);
}

void SetDlgControl(HWND hDlg, PUIDATA p, WORD wPage)
{
    if (wPage == IDD_LABEL_POSITION) ddfn_SetFeedAdjCtrl(hDlg, p);
    else if (wPage == IDD_LABEL_DENSITY) ddfn_SetDensAdjCtrl(hDlg, p);
    else SetColorPosCtrl(hDlg, p, wPage);
    for (INT i = 0; i < ROWS_POSITION; ++i) ResetStepArrow(hDlg, static_cast<WORD>(RowId(i) + 2));
}

void GetDlgControl(HWND hDlg, PUIDATA p, WORD wPage)
{
    for (INT i = 0; i < RowCount(wPage); ++i) {
        PLONG pField = RowField(p, wPage, i);
        HWND hTrack = GetDlgItem(hDlg, RowId(i));
        // A row without a control reads 0; a row the model hides keeps its value.
        if (!hTrack) *pField = 0;
        else if (IsWindowVisible(hTrack)) *pField = static_cast<LONG>(SendMessageW(hTrack, TBM_GETPOS, 0, 0));
    }
}

INT_PTR SliderLabelDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam, WORD wPage)
{
    switch (uMsg) {
    case WM_INITDIALOG: {
        auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        SetWindowLongPtrW(hDlg, DWLP_USER, psp ? psp->lParam : 0);
        return TRUE;
    }
    case WM_NOTIFY: {
        PUIDATA p = PageUiData(hDlg);
        const auto* pnm = reinterpret_cast<const NMHDR*>(lParam);
        if (!p || !pnm) return FALSE;
        if (pnm->code == PSN_SETACTIVE) SetDlgControl(hDlg, p, wPage);
        else if (pnm->code == PSN_KILLACTIVE) GetDlgControl(hDlg, p, wPage);
        else if (pnm->code != PSN_APPLY && pnm->code != PSN_RESET && pnm->code != PSN_QUERYCANCEL) return FALSE;
        SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    case WM_HSCROLL: {
        const auto hTrack = reinterpret_cast<HWND>(lParam);
        const WORD wId = static_cast<WORD>(GetDlgCtrlID(hTrack));
        if (!hTrack || wId == 0) return FALSE;
        SetValueText(hDlg, static_cast<WORD>(wId + 1), static_cast<LONG>(SendMessageW(hTrack, TBM_GETPOS, 0, 0)),
                     wPage);
        return TRUE;
    }
    case WM_VSCROLL:
        if (LOWORD(wParam) != SB_THUMBPOSITION || !lParam) return FALSE;
        StepSlider(hDlg, reinterpret_cast<HWND>(lParam), static_cast<SHORT>(HIWORD(wParam)), wPage);
        return TRUE;
    case WM_HELP:
        LabelPageHelp(PageUiData(hDlg), reinterpret_cast<const HELPINFO*>(lParam), HelpTable(wPage));
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR FeedAdjLabelDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return SliderLabelDlgProc(hDlg, uMsg, wParam, lParam, IDD_LABEL_POSITION);
}

INT_PTR DensityAdjDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return SliderLabelDlgProc(hDlg, uMsg, wParam, lParam, IDD_LABEL_DENSITY);
}

INT_PTR Pos1AdjDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return SliderLabelDlgProc(hDlg, uMsg, wParam, lParam, IDD_LABEL_COLORPOS1);
}

INT_PTR Pos2AdjDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return SliderLabelDlgProc(hDlg, uMsg, wParam, lParam, IDD_LABEL_COLORPOS2);
}
