// Labels as spooler forms: every label with a size is a printer form of its name,
// and user forms that carry a label's name are converted when "Forms?" says so.
#include <string>

#include "uidrv.h"

namespace {

constexpr char16_t kFormsMarker[] = u"Forms?";

// The label's name as a form name (at most 31 characters).
void LabelName(const LABELDATA& label, WCHAR (&name)[CCHLABELNAME])
{
    CopyStringW(name, label.szLabelName, CCHLABELNAME);
}

bool IsUserForm(const FORM_INFO_1W& form) { return (form.Flags & (FORM_BUILTIN | FORM_PRINTER)) == FORM_USER; }

bool SameName(LPCWSTR a, LPCWSTR b)
{
    if (!a || !b) return false;
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

DWORD ReadMarker(HANDLE hPrinter)
{
    DWORD dwMarker = 0, dwType = 0, cbNeeded = 0;
    std::u16string name = kFormsMarker;
    if (GetPrinterDataW(hPrinter, name.data(), &dwType, reinterpret_cast<LPBYTE>(&dwMarker), sizeof dwMarker,
                        &cbNeeded) != ERROR_SUCCESS)
        return 0;
    return dwMarker;
}

}  // namespace

BOOL AddPrinterForms(HANDLE hPrinter, PLABELDATA pDb)
{
    for (DWORD i = 0, n = GetLabelNum(pDb); i < n; ++i) {
        const LABELDATA& label = pDb[i];
        if (label.lWidth == 0 || label.lHeight == 0) continue;
        WCHAR name[CCHLABELNAME];
        LabelName(label, name);
        FORM_INFO_1W form{};
        form.Flags = FORM_PRINTER;
        form.pName = name;
        form.Size = SIZEL{label.lWidth, label.lHeight};
        form.ImageableArea = RECTL{0, 0, label.lWidth, label.lHeight};
        AddFormW(hPrinter, 1, reinterpret_cast<LPBYTE>(&form));  // an existing form stays as it is
    }
    return TRUE;
}

void RemovePrinterForms(HANDLE hPrinter, PLABELDATA pDb)
{
    const DWORD dwMarker = ReadMarker(hPrinter);
    if (!pDb) return;
    DWORD cForms = 0;
    PFORM_INFO_1W pForms = GetDatabaseForms(hPrinter, &cForms);
    bool anyUserForm = false;
    for (DWORD i = 0; pForms && i < cForms; ++i) anyUserForm = anyUserForm || IsUserForm(pForms[i]);
    DWORD cDeleted = 0;
    if (dwMarker != 0 && anyUserForm) {
        for (DWORD l = 0, n = GetLabelNum(pDb); l < n; ++l) {
            WCHAR name[CCHLABELNAME];
            LabelName(pDb[l], name);
            for (DWORD i = 0; i < cForms; ++i)
                if (IsUserForm(pForms[i]) && SameName(pForms[i].pName, name) && DeleteFormW(hPrinter, pForms[i].pName))
                    ++cDeleted;
        }
    }
    if (cDeleted > 0) {
        DWORD dwZero = 0;
        std::u16string name = kFormsMarker;
        SetPrinterDataW(hPrinter, name.data(), REG_DWORD, reinterpret_cast<LPBYTE>(&dwZero), sizeof dwZero);
        AddPrinterForms(hPrinter, pDb);
    }
    FreeDatabaseForms(pForms);
}
