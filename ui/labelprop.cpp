// The modal "Label" sheet: its pages per model and description, and what every
// page reaches through the printer sheet's callback block.
#include "labeleditor.h"

namespace {

constexpr UINT MAX_LABEL_PAGES = 6;

// Templates of model 0 and of the other models, and the page procedures, by page.
constexpr WORD TemplatesC[MAX_LABEL_PAGES] = {IDD_LABEL_GENERAL,        IDD_LABEL_POSITION,  IDD_LABEL_DENSITY,
                                              IDD_LABEL_RIBBON_OPTIONS, IDD_LABEL_COLORPOS1, IDD_LABEL_COLORPOS2};
constexpr WORD TemplatesM[MAX_LABEL_PAGES] = {IDD_LABEL_GENERAL, IDD_LABEL_POSITION,  IDD_LABEL_DENSITY,
                                              IDD_LABEL_RIBBON,  IDD_LABEL_COLORPOS1, IDD_LABEL_COLORPOS2};
constexpr DLGPROC Procs[MAX_LABEL_PAGES] = {MainLabelPropDlgProc, FeedAdjLabelDlgProc, DensityAdjDlgProc,
                                            RibbonDlgProc,        Pos1AdjDlgProc,      Pos2AdjDlgProc};

// Colour printers get all six pages; models 2 and 8 have no ribbon page.
UINT LabelPageCount(const UIDATA* p)
{
    if (p->pPpdData && p->pPpdData->bColorDevice) return 6;
    return p->dwUiModel == 2 || p->dwUiModel == 8 ? 3 : 4;
}

}  // namespace

BOOL LabelProperty(HINSTANCE hInst, HWND hWndParent, PCPSUICBPARAM pCbParam)
{
    if (!pCbParam) return FALSE;
    auto* p = reinterpret_cast<PUIDATA>(pCbParam->UserData);
    if (!ValidUiData(p) || !p->pLabelDb || GetLabelNum(p->pLabelDb) == 0 || p->dwUiModel >= MODEL_COUNT)
        return FALSE;

    const UINT cPages = LabelPageCount(p);
    const WORD* pTemplates = p->dwUiModel == 0 ? TemplatesC : TemplatesM;
    PROPSHEETPAGEA pages[MAX_LABEL_PAGES]{};
    for (UINT i = 0; i < cPages; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEA);
        pages[i].dwFlags = PSP_DEFAULT;
        pages[i].hInstance = hInst;
        pages[i].pszTemplate = MAKEINTRESOURCEA(pTemplates[i]);
        pages[i].pfnDlgProc = Procs[i];
        pages[i].lParam = reinterpret_cast<LPARAM>(pCbParam);
    }

    PROPSHEETHEADERA psh{};
    psh.dwSize = sizeof(PROPSHEETHEADERA);
    psh.dwFlags = PSH_PROPSHEETPAGE | PSH_PROPTITLE | PSH_NOAPPLYNOW;
    psh.hwndParent = hWndParent;
    psh.hInstance = hInst;
    psh.pszCaption = "Label";
    psh.nPages = cPages;
    psh.nStartPage = 0;
    psh.ppsp = pages;
    p->dwLabelAction = LABEL_ACTION_NONE;
    PropertySheetA(&psh);
    p->dwLabelAction = LABEL_ACTION_NONE;
    return TRUE;
}

PCPSUICBPARAM PageCbParam(HWND hDlg) { return reinterpret_cast<PCPSUICBPARAM>(GetWindowLongPtrW(hDlg, DWLP_USER)); }

PUIDATA PageUiData(HWND hDlg)
{
    PCPSUICBPARAM pCbParam = PageCbParam(hDlg);
    auto* p = pCbParam ? reinterpret_cast<PUIDATA>(pCbParam->UserData) : nullptr;
    return ValidUiData(p) ? p : nullptr;
}

DWORD SelectedLabel(const CPSUICBPARAM* pCbParam, const UIDATA* p)
{
    const DWORD cLabels = GetLabelNum(p->pLabelDb);
    const LONG lSel = pCbParam && pCbParam->pCurItem ? pCbParam->pCurItem->Sel : 0;
    if (cLabels == 0 || lSel < 0) return 0;
    return static_cast<DWORD>(lSel) < cLabels ? static_cast<DWORD>(lSel) : cLabels - 1;
}

void LabelPageHelp(const UIDATA* p, const HELPINFO* pHelp, const DWORD* pTable)
{
    if (!p || !pHelp) return;
    WinHelpW(static_cast<HWND>(pHelp->hItemHandle), p->pwstrHelpFile, HELP_WM_HELP,
             reinterpret_cast<ULONG_PTR>(pTable));
}
