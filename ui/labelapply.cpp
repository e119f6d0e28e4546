// Applying page "General": the question when OK is pressed without a button,
// the checks of the edited label against the model's limits, and add, update
// and delete with their messages.
#include <cstring>

#include "labeleditor.h"

namespace {

constexpr WORD IDS_TITLE_CHANGE = 220;
constexpr WORD IDS_ASK_UPDATE = 221;
constexpr WORD IDS_ASK_REPLACE = 222;
constexpr WORD IDS_TITLE_DELETE = 223;
constexpr WORD IDS_CANT_DELETE = 224;
constexpr WORD IDS_ASK_DELETE = 225;
constexpr WORD IDS_SAME_NAME = 226;
constexpr WORD IDS_CANT_ADD = 227;
constexpr WORD IDS_BAD_WIDTH = 228;
constexpr WORD IDS_BAD_HEIGHT = 229;
constexpr WORD IDS_BAD_PITCH = 230;
constexpr WORD IDS_BAD_CUT = 232;
constexpr WORD IDS_TOO_MANY = 234;
constexpr WORD IDS_BAD_NAME = 235;

constexpr INT MODE_CUT = 2;
constexpr INT MAX_CUT_INTERVAL = 100;
constexpr INT CUT_ONCE_PER_JOB = 999;

// Shows string wText, formatted with the arguments, in a box titled wTitle.
int LabelMessage(HWND hOwner, WORD wTitle, UINT uType, WORD wText, ...)
{
    WCHAR szFormat[WSPRINTF_MAX], szText[WSPRINTF_MAX], szTitle[WSPRINTF_MAX];
    if (LoadStringW(ghInstance, wText, szFormat, WSPRINTF_MAX) <= 0) szFormat[0] = 0;
    if (LoadStringW(ghInstance, wTitle, szTitle, WSPRINTF_MAX) <= 0) szTitle[0] = 0;
    va_list args;
    va_start(args, wText);
    wvsprintfW(szText, szFormat, args);
    va_end(args);
    return MessageBoxW(hOwner, szText, szTitle, uType);
}

void Refuse(HWND hDlg, WORD wText, LONG lLow, LONG lHigh)
{
    LabelMessage(hDlg, IDS_TITLE_CHANGE, MB_OK | MB_ICONEXCLAMATION, wText, lLow, lHigh);
}

bool SameName(const WCHAR* a, const WCHAR* b)
{
    for (INT i = 0; i < CCHLABELNAME; ++i) {
        if (a[i] != b[i]) return false;
        if (a[i] == 0) return true;
    }
    return true;
}

// Index of the record bearing the name, or -1.
LONG FindName(const UIDATA* p, const WCHAR* pName)
{
    for (DWORD i = 0, n = GetLabelNum(p->pLabelDb); i < n; ++i)
        if (SameName(p->pLabelDb[i].szLabelName, pName)) return static_cast<LONG>(i);
    return -1;
}

// Cuts trailing blanks, then shifts the name left over its leading blanks. TRUE
// when there were any.
BOOL TrimName(WCHAR* pName)
{
    INT n = 0;
    while (n < CCHLABELNAME - 1 && pName[n]) ++n;
    INT end = n;
    while (end > 0 && pName[end - 1] == u' ') --end;
    INT begin = 0;
    while (begin < end && pName[begin] == u' ') ++begin;
    if (begin == 0 && end == n) return FALSE;
    std::memmove(pName, pName + begin, static_cast<size_t>(end - begin) * sizeof(WCHAR));
    for (INT i = end - begin; i < CCHLABELNAME; ++i) pName[i] = 0;
    return TRUE;
}

// The checks of the edited label, in order; the first failure clamps its value and refuses.
BOOL CheckLabel(HWND hDlg, PUIDATA p)
{
    LABELDATA& l = p->labelWork;
    const DEVSPEC& spec = devspec[p->dwUiModel];
    l.szLabelName[CCHLABELNAME - 1] = 0;
    if (l.szLabelName[0] == 0) {
        LabelMessage(hDlg, IDS_TITLE_CHANGE, MB_OK | MB_ICONEXCLAMATION, IDS_BAD_NAME);
        return FALSE;
    }
    if (TrimName(l.szLabelName)) {
        LabelMessage(hDlg, IDS_TITLE_CHANGE, MB_OK | MB_ICONEXCLAMATION, IDS_BAD_NAME);
        return FALSE;
    }

    const LONG lWidth = l.lWidth / 100;
    if (lWidth < spec.lWidthMin || lWidth > spec.lWidthMax) {
        Refuse(hDlg, IDS_BAD_WIDTH, spec.lWidthMin, spec.lWidthMax);
        l.lWidth = 100 * (lWidth < spec.lWidthMin ? spec.lWidthMin : spec.lWidthMax);
        return FALSE;
    }

    // A label cut after every few is fed as in cut mode whatever its print mode.
    const INT iMode = l.iCutInterval != 0 ? MODE_CUT : (l.iIssueMode == 1 ? 1 : 0);
    const LONG lHeightMin = spec.alHeightMin[iMode];
    const LONG lHeightMax = spec.alHeightMax[p->prnProps.bExpansionRAM ? 1 : 0];
    const LONG lHeight = l.lHeight / 100;
    if (lHeight < lHeightMin || lHeight > lHeightMax) {
        Refuse(hDlg, IDS_BAD_HEIGHT, lHeightMin, lHeightMax);
        l.lHeight = 100 * (lHeight < lHeightMin ? lHeightMin : lHeightMax);
        return FALSE;
    }

    LONG lPitchMax = 0;
    const LONG lPitchMin = ddfn_ChkHeightPitch(p->dwUiModel, iMode, l.lHeight, &lPitchMax);
    if (l.lPitch < lPitchMin || l.lPitch > lPitchMax) {
        Refuse(hDlg, IDS_BAD_PITCH, lPitchMin, lPitchMax);
        l.lPitch = l.lPitch < lPitchMin ? lPitchMin : lPitchMax;
        return FALSE;
    }

    if (!ddfn_ChkCutInterval(p->dwUiModel, l.iCutInterval)) {
        Refuse(hDlg, IDS_BAD_CUT, 0, MAX_CUT_INTERVAL);
        if (l.iCutInterval > MAX_CUT_INTERVAL) l.iCutInterval = MAX_CUT_INTERVAL;
        if (l.iCutInterval < 1) l.iCutInterval = 0;
        return FALSE;
    }
    return TRUE;
}

BOOL AddLabel(HWND hDlg, PUIDATA p)
{
    PLABELDATA pNew = AddLabelToDatabase(p, &p->labelWork);
    if (pNew == ADDLABEL_EXISTS) {
        LabelMessage(hDlg, IDS_TITLE_CHANGE, MB_OK | MB_ICONEXCLAMATION, IDS_SAME_NAME);
        return FALSE;
    }
    if (pNew == ADDLABEL_FORMREFUSED) return FALSE;  // the form check has said why
    if (pNew == ADDLABEL_FULL) {
        LabelMessage(hDlg, IDS_TITLE_CHANGE, MB_OK | MB_ICONEXCLAMATION, IDS_TOO_MANY);
        return FALSE;
    }
    if (pNew == ADDLABEL_NOMEMORY) {
        LabelMessage(hDlg, IDS_TITLE_CHANGE, MB_OK | MB_ICONEXCLAMATION, IDS_CANT_ADD);
        return FALSE;
    }
    return TRUE;
}

BOOL UpdateLabel(HWND hDlg, PUIDATA p, DWORD dwSel)
{
    const LONG lOther = FindName(p, p->labelWork.szLabelName);
    if (lOther >= 0 && static_cast<DWORD>(lOther) != dwSel) {
        LabelMessage(hDlg, IDS_TITLE_CHANGE, MB_OK | MB_ICONEXCLAMATION, IDS_SAME_NAME);
        return FALSE;
    }
    if (!SameName(p->labelWork.szLabelName, p->pLabelDb[dwSel].szLabelName) &&
        !RegistPrinterForms(p->hPrinter, p, &p->labelWork, 0))
        return FALSE;
    std::memcpy(&p->pLabelDb[dwSel], &p->labelWork, sizeof(LABELDATA));
    return TRUE;
}

BOOL RemoveLabel(HWND hDlg, PUIDATA p, DWORD dwSel)
{
    if (GetLabelNum(p->pLabelDb) < 2) {
        LabelMessage(hDlg, IDS_TITLE_DELETE, MB_OK | MB_ICONEXCLAMATION, IDS_CANT_DELETE);
        return FALSE;
    }
    if (LabelMessage(hDlg, IDS_TITLE_DELETE, MB_OKCANCEL | MB_ICONEXCLAMATION, IDS_ASK_DELETE,
                     p->pLabelDb[dwSel].szLabelName) != IDOK)
        return FALSE;
    return DeleteLabel(p->hPrinter, p->pLabelDb, dwSel);
}

}  // namespace

LONG ddfn_ChkHeightPitch(DWORD dwModel, INT iModeIndex, LONG lHeight, PLONG plMax)
{
    const DEVSPEC& spec = devspec[dwModel < MODEL_COUNT ? dwModel : 0];
    const LONG lHeightTenths = lHeight / 100;
    LONG lMin = lHeightTenths + 20;
    if (iModeIndex >= 0 && iModeIndex <= MODE_CUT && spec.alPitchMin[iModeIndex] > lMin)
        lMin = spec.alPitchMin[iModeIndex];
    LONG lMax = lHeightTenths + (dwModel == 9 ? 1000 : 200);
    if (lMax > spec.lPitchMax) lMax = spec.lPitchMax;
    if (plMax) *plMax = lMax;
    return lMin;
}

BOOL ddfn_ChkCutInterval(DWORD dwModel, INT iCutInterval)
{
    if (iCutInterval >= 0 && iCutInterval <= MAX_CUT_INTERVAL) return TRUE;
    return dwModel != 0 && iCutInterval == CUT_ONCE_PER_JOB;
}

BOOL ApplyMainLabelDlg(HWND hDlg, PUIDATA p, DWORD dwSel)
{
    if (p->dwLabelAction == LABEL_ACTION_NONE) {
        if (FindName(p, p->labelWork.szLabelName) < 0) {
            const int iAnswer = LabelMessage(hDlg, IDS_TITLE_CHANGE, MB_YESNOCANCEL | MB_ICONQUESTION, IDS_ASK_UPDATE,
                                             p->pLabelDb[dwSel].szLabelName);
            if (iAnswer == IDYES) p->dwLabelAction = LABEL_ACTION_UPDATE;
            else if (iAnswer == IDNO) p->dwLabelAction = LABEL_ACTION_ADD;
            else return FALSE;
        } else {
            if (LabelMessage(hDlg, IDS_TITLE_CHANGE, MB_OKCANCEL | MB_ICONQUESTION, IDS_ASK_REPLACE) != IDOK)
                return FALSE;
            p->dwLabelAction = LABEL_ACTION_UPDATE;
        }
    }

    BOOL bDone = FALSE;
    if (p->dwLabelAction == LABEL_ACTION_DELETE) {
        bDone = RemoveLabel(hDlg, p, dwSel);
    } else if (CheckLabel(hDlg, p)) {
        bDone = p->dwLabelAction == LABEL_ACTION_ADD ? AddLabel(hDlg, p) : UpdateLabel(hDlg, p, dwSel);
    }
    p->dwLabelAction = LABEL_ACTION_NONE;
    return bDone;
}
