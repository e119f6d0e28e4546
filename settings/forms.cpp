// The spooler's form list: reading it, form numbers and names, and the check of
// a device mode's form.
#include "settings/settings.h"
#include "spooler_io.h"

namespace {

// Exact comparison of a form name with a name held in a fixed field of cchField characters.
bool SameName(LPCWSTR pFormName, LPCWSTR pName, INT cchField)
{
    if (!pFormName || !pName) return false;
    INT k = 0;
    for (; k < cchField; ++k) {
        WCHAR c = k < cchField - 1 ? pName[k] : 0;  // the last character of the field ends it
        if (pFormName[k] != c) return false;
        if (c == 0) return true;
    }
    return false;
}

}  // namespace

PFORM_INFO_1W GetDatabaseForms(HANDLE hPrinter, PDWORD pcForms)
{
    if (pcForms) *pcForms = 0;
    DWORD cbNeeded = 0, cReturned = 0;
    if (EnumPrinterForms(hPrinter, nullptr, 0, &cbNeeded, &cReturned) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER || cbNeeded == 0)
        return nullptr;
    auto* pForms = static_cast<PFORM_INFO_1W>(DrvAllocMem(cbNeeded, true));
    if (!pForms) return nullptr;
    if (!EnumPrinterForms(hPrinter, reinterpret_cast<LPBYTE>(pForms), cbNeeded, &cbNeeded, &cReturned) ||
        cReturned > cbNeeded / sizeof(FORM_INFO_1W)) {
        DrvFreeMem(pForms);
        return nullptr;
    }
    if (pcForms) *pcForms = cReturned;
    return pForms;
}

void FreeDatabaseForms(PFORM_INFO_1W pForms)
{
    DrvFreeMem(pForms);
}

DWORD GetFormIndex(HANDLE hPrinter, LPCWSTR pName)
{
    if (!pName) return 0;
    DWORD cForms = 0, dwIndex = 0;
    PFORM_INFO_1W pForms = GetDatabaseForms(hPrinter, &cForms);
    if (!pForms) return 0;
    for (DWORD i = 0; i < cForms; ++i) {
        if (SameName(pForms[i].pName, pName, 0x7FFFFFFF)) {
            dwIndex = i + 1;
            break;
        }
    }
    FreeDatabaseForms(pForms);
    return dwIndex;
}

INT ValidateDevModeForm(HANDLE hPrinter, const DEVMODEW* pdm, PFORMCHECK pCheck)
{
    if (!pdm || !pCheck) return 2;
    DWORD cForms = 0;
    PFORM_INFO_1W pForms = GetDatabaseForms(hPrinter, &cForms);
    if (!pForms) return 2;

    const FORM_INFO_1W* pForm = nullptr;
    if (pdm->dmFields & DM_PAPERSIZE) {
        if (pdm->dmPaperSize >= 1 && static_cast<DWORD>(pdm->dmPaperSize) <= cForms)
            pForm = &pForms[pdm->dmPaperSize - 1];
    } else if (pdm->dmFields & DM_FORMNAME) {
        for (DWORD i = 0; i < cForms && !pForm; ++i) {
            if (SameName(pForms[i].pName, pdm->dmFormName, CCHFORMNAME)) pForm = &pForms[i];
        }
    }
    if (!pForm) {
        FreeDatabaseForms(pForms);
        return 2;
    }
    pCheck->fi = *pForm;
    CopyStringW(pCheck->wszName, pForm->pName, CCHFORMNAME);
    pCheck->fi.pName = pCheck->wszName;
    FreeDatabaseForms(pForms);
    return 0;
}
