// The paper sizes, input slots and resolutions a printer offers.
#include <cstdlib>

#include "uidrv.h"

DWORD EnumPaperSizes(PLABELDATA pDb, const FORM_INFO_1W* pForms, DWORD cForms, PWSTR pNames, PWORD pPapers,
                     PPOINTL pSizes, PVOID)
{
    if (!pForms || cForms == 0) return 0;
    DWORD count = 0;
    for (DWORD i = 0; i < cForms; ++i) {
        if (!pForms[i].pName) continue;
        const LABELDATA* pLabel = FindLabelData(pDb, pForms[i].pName);
        if (!pLabel) continue;
        if (pPapers) pPapers[count] = static_cast<WORD>(i + 1);
        if (pSizes) pSizes[count] = POINTL{pLabel->lWidth / 100, pLabel->lHeight / 100};
        if (pNames) CopyStringW(pNames + count * CCHPAPERNAME, pForms[i].pName, CCHPAPERNAME);
        ++count;
    }
    return count;
}

DWORD EnumBinNames(PWSTR pNames, const PPDDATA* pPpdData)
{
    const UIGROUP* pGroup = PpdPredefGroup(pPpdData, PPDGROUP_INPUTSLOT);
    DWORD count = 0;
    for (const UIOPTION* pOption = PpdFirstOption(pPpdData, pGroup); pOption;
         pOption = PpdNextOption(pPpdData, pOption)) {
        if (pNames) {
            const char* pText = PpdOptionTranslation(pPpdData, pOption);
            if (!pText || !*pText) pText = PpdOptionName(pPpdData, pOption);
            SJIS2Unicode(pNames + count * CCHBINNAME, pText ? pText : "", CCHBINNAME);
        }
        ++count;
    }
    return count;
}

DWORD EnumBins(PWORD pBins, const PPDDATA* pPpdData)
{
    const DWORD count = PpdOptionCount(pPpdData, PpdPredefGroup(pPpdData, PPDGROUP_INPUTSLOT));
    for (DWORD i = 0; pBins && i < count; ++i) pBins[i] = static_cast<WORD>(DMBIN_USER + i);
    return count;
}

DWORD PsEnumResolutions(PLONG pResolutions, const PPDDATA* pPpdData)
{
    const UIGROUP* pGroup = PpdPredefGroup(pPpdData, PPDGROUP_RESOLUTION);
    DWORD count = 0;
    for (const UIOPTION* pOption = PpdFirstOption(pPpdData, pGroup); pOption;
         pOption = PpdNextOption(pPpdData, pOption)) {
        const char* pName = PpdOptionName(pPpdData, pOption);
        const long dpi = pName ? std::strtol(pName, nullptr, 10) : 0;
        if (dpi <= 0 || dpi > 0x7FFFFFFF) continue;
        if (pResolutions) {
            pResolutions[2 * count] = static_cast<LONG>(dpi);
            pResolutions[2 * count + 1] = static_cast<LONG>(dpi);
        }
        ++count;
    }
    if (count > 0) return count;
    if (pResolutions) {
        const LONG dpi = static_cast<LONG>(PpdDefaultResolution(pPpdData));
        pResolutions[0] = pResolutions[1] = dpi;
    }
    return 1;
}
