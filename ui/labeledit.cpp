// The working label database of a printer sheet: adding and deleting records,
// and the check that a new label's name does not take over another printer's form.
#include <cstring>

#include "labeleditor.h"

namespace {

constexpr WORD IDS_OVERRIDE = 233;
constexpr WORD IDS_TITLE_NEW = 392;

// The database block: a u32 count followed by the records.
BYTE* BlockOf(PLABELDATA pDb) { return reinterpret_cast<BYTE*>(pDb) - sizeof(DWORD); }

void SetLabelNum(PLABELDATA pDb, DWORD dwCount) { std::memcpy(BlockOf(pDb), &dwCount, sizeof(dwCount)); }

}  // namespace

BOOL RegistPrinterForms(HANDLE hPrinter, PUIDATA p, const LABELDATA* pLabel, DWORD /*dwFlag*/)
{
    if (!ValidUiData(p) || !pLabel) return FALSE;
    WCHAR szName[CCHLABELNAME];
    std::memcpy(szName, pLabel->szLabelName, sizeof(szName));
    szName[CCHLABELNAME - 1] = 0;
    // A label of that name existed when the sheet was opened: its form is this printer's own.
    if (FindLabelData(p->pLabelDbSaved, szName)) return TRUE;
    if (GetFormIndex(hPrinter, szName) == 0) return TRUE;
    WCHAR szText[WSPRINTF_MAX], szTitle[WSPRINTF_MAX];
    if (LoadStringW(ghInstance, IDS_OVERRIDE, szText, WSPRINTF_MAX) <= 0) szText[0] = 0;
    if (LoadStringW(ghInstance, IDS_TITLE_NEW, szTitle, WSPRINTF_MAX) <= 0) szTitle[0] = 0;
    MessageBoxW(nullptr, szText, szTitle, MB_OK | MB_ICONQUESTION);
    return FALSE;
}

PLABELDATA AddLabelToDatabase(PUIDATA p, const LABELDATA* pLabel)
{
    if (!ValidUiData(p) || !p->pLabelDb || !pLabel) return ADDLABEL_NOMEMORY;
    if (FindLabelData(p->pLabelDb, pLabel->szLabelName)) return ADDLABEL_EXISTS;
    if (!RegistPrinterForms(p->hPrinter, p, pLabel, 0)) return ADDLABEL_FORMREFUSED;
    const DWORD cLabels = GetLabelNum(p->pLabelDb);
    if (cLabels >= MAX_LABELS) return ADDLABEL_FULL;

    auto* pBlock = static_cast<BYTE*>(DrvAllocMem(sizeof(DWORD) + (cLabels + 1) * sizeof(LABELDATA), false));
    if (!pBlock) return ADDLABEL_NOMEMORY;
    auto* pNew = reinterpret_cast<PLABELDATA>(pBlock + sizeof(DWORD));
    std::memcpy(pNew, p->pLabelDb, cLabels * sizeof(LABELDATA));
    std::memcpy(&pNew[cLabels], pLabel, sizeof(LABELDATA));
    SetLabelNum(pNew, cLabels + 1);
    FreeLabelDatabase(p->pLabelDb);
    p->pLabelDb = pNew;
    return pNew;
}

BOOL DeleteLabel(HANDLE /*hPrinter*/, PLABELDATA pDb, DWORD dwIndex)
{
    if (!pDb) return FALSE;
    const DWORD cLabels = GetLabelNum(pDb);
    if (dwIndex >= cLabels) return FALSE;
    std::memmove(&pDb[dwIndex], &pDb[dwIndex + 1], (cLabels - dwIndex - 1) * sizeof(LABELDATA));
    SetLabelNum(pDb, cLabels - 1);
    return TRUE;
}
