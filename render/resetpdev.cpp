// A device mode change inside a document: the new device carries the document on.
#include <cstring>

#include "channel.h"
#include "driver.h"

namespace {

bool Has(const DEVMODEW* pdm, DWORD dwField) { return (pdm->dmFields & dwField) != 0; }

}  // namespace

BOOL SameDevmodeFormTray(const DEVMODEW* pdmNew, const DEVMODEW* pdmOld)
{
    if (pdmNew->dmDefaultSource != pdmOld->dmDefaultSource) return FALSE;
    if (Has(pdmNew, DM_PAPERLENGTH) && Has(pdmNew, DM_PAPERWIDTH)) {
        return Has(pdmOld, DM_PAPERLENGTH) && Has(pdmOld, DM_PAPERWIDTH) &&
               pdmNew->dmPaperLength == pdmOld->dmPaperLength && pdmNew->dmPaperWidth == pdmOld->dmPaperWidth;
    }
    if (!Has(pdmNew, DM_FORMNAME)) {
        return Has(pdmNew, DM_PAPERSIZE) && Has(pdmOld, DM_PAPERSIZE) && pdmNew->dmPaperSize == pdmOld->dmPaperSize;
    }
    if (!Has(pdmOld, DM_FORMNAME)) return FALSE;
    // Names compare up to their NUL, never past the field.
    for (int i = 0; i < CCHFORMNAME; ++i) {
        if (pdmNew->dmFormName[i] != pdmOld->dmFormName[i]) return FALSE;
        if (pdmNew->dmFormName[i] == 0) break;
    }
    return TRUE;
}

BOOL DrvResetPDEV(DHPDEV dhpdevOld, DHPDEV dhpdevNew)
{
    PPDEV pOld = reinterpret_cast<PPDEV>(dhpdevOld);
    PPDEV pNew = reinterpret_cast<PPDEV>(dhpdevNew);
    if (!bValidatePDEV(pOld) || !bValidatePDEV(pNew)) {
        EngSetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (pOld->flPdev & PDEVF_DOCSTARTED) {
        pNew->cPages = pOld->cPages;
        pNew->flPdev |= PDEVF_DOCSTARTED;
        if (SameDevmodeFormTray(&pNew->dm.dmPublic, &pOld->dm.dmPublic)) pNew->flPdev |= PDEVF_SAMEFORM;
    }
    return FlushChannel(pOld);
}
