// Merging a device mode handed in by an application or the spooler into a valid one.
#include <cstring>

#include "description/ppd.h"
#include "settings/settings.h"

namespace {

// On/off switches of the private part are brought to 0 or 1.
DWORD Switch(DWORD v)
{
    return v ? 1 : 0;
}

// The label a device mode asks for: by form number, by form name, or (asking for
// neither) the label of the current form. The first label when none matches; null
// when the form list needed for a form number cannot be read.
PLABELDATA ChooseLabel(HANDLE hPrinter, PLABELDATA pDb, const DEVMODEW& work, DEVMODEW& out)
{
    PLABELDATA pLabel = nullptr;
    if (work.dmFields & DM_PAPERSIZE) {
        DWORD cForms = 0;
        PFORM_INFO_1W pForms = GetDatabaseForms(hPrinter, &cForms);
        if (!pForms || cForms == 0) {
            FreeDatabaseForms(pForms);
            return nullptr;
        }
        if (work.dmPaperSize >= 1 && static_cast<DWORD>(work.dmPaperSize) <= cForms)
            pLabel = FindLabelData(pDb, pForms[work.dmPaperSize - 1].pName);
        FreeDatabaseForms(pForms);
    } else if (work.dmFields & DM_FORMNAME) {
        out.dmFields |= DM_FORMNAME;
        pLabel = FindLabelData(pDb, work.dmFormName);
    } else {
        pLabel = FindLabelData(pDb, out.dmFormName);
    }
    return pLabel ? pLabel : pDb;
}

// Description queries that tolerate a missing description.
SHORT DefaultDpi(const PPDDATA* pPpd)
{
    return static_cast<SHORT>(pPpd ? PpdDefaultResolution(pPpd) : 300);
}

bool HasResolution(const PPDDATA* pPpd, LONG dpi)
{
    return pPpd && PpdFindResolution(pPpd, dpi);
}

bool HasDuplex(const PPDDATA* pPpd)
{
    return pPpd && PpdSupportDuplex(pPpd);
}

bool HasCollate(const PPDDATA* pPpd)
{
    return pPpd && PpdFindCollateCode(pPpd, TRUE);
}

}  // namespace

BOOL ValidateSetDevModeSized(HANDLE hPrinter, PDRVDEVMODE pdmOut, const DEVMODEW* pdmIn, DWORD cbIn,
                             const PPDDATA* pPpd)
{
    if (!pdmIn) return TRUE;
    if (!pdmOut) return FALSE;

    auto* pWork = static_cast<PDRVDEVMODE>(DrvAllocMem(sizeof(DRVDEVMODE), false));
    if (!pWork) return FALSE;
    std::memcpy(pWork, pdmOut, sizeof(DRVDEVMODE));
    if (ConvertDevmodeSized(pdmIn, cbIn, &pWork->dmPublic, sizeof(DRVDEVMODE)) <= 0) {
        DrvFreeMem(pWork);
        return FALSE;
    }
    DEVMODEW& work = pWork->dmPublic;
    // Names are read as strings: each ends within its field.
    work.dmDeviceName[CCHDEVICENAME - 1] = 0;
    work.dmFormName[CCHFORMNAME - 1] = 0;

    // Changes go to a copy that replaces pdmOut only when everything succeeded.
    DRVDEVMODE result;
    std::memcpy(&result, pdmOut, sizeof(DRVDEVMODE));
    DEVMODEW& out = result.dmPublic;

    if (work.dmFields & DM_DEFAULTSOURCE) {
        out.dmFields |= DM_DEFAULTSOURCE;
        out.dmDefaultSource = work.dmDefaultSource;
    }
    if (work.dmFields & DM_ORIENTATION) {
        out.dmFields |= DM_ORIENTATION;
        out.dmOrientation = (work.dmOrientation == DMORIENT_PORTRAIT || work.dmOrientation == DMORIENT_LANDSCAPE)
                                ? work.dmOrientation
                                : DMORIENT_PORTRAIT;
    }

    PLABELDATA pDb = GetLabelDatabase(hPrinter, work.dmDeviceName);
    if (!pDb) {
        DrvFreeMem(pWork);
        return FALSE;
    }
    PLABELDATA pLabel = ChooseLabel(hPrinter, pDb, work, out);
    if (!pLabel) {
        FreeLabelDatabase(pDb);
        DrvFreeMem(pWork);
        return FALSE;
    }
    out.dmPaperSize = static_cast<SHORT>(GetFormIndex(hPrinter, pLabel->szLabelName));
    out.dmPaperWidth = static_cast<SHORT>(pLabel->lWidth / 100);
    out.dmPaperLength = static_cast<SHORT>(pLabel->lHeight / 100);
    CopyStringW(out.dmFormName, pLabel->szLabelName, CCHFORMNAME);
    FreeLabelDatabase(pDb);

    if (work.dmFields & DM_SCALE) {
        out.dmFields |= DM_SCALE;
        out.dmScale = 100;
    }
    if (work.dmFields & DM_COPIES) {
        out.dmFields |= DM_COPIES;
        out.dmCopies = (work.dmCopies >= 1 && work.dmCopies <= 9999) ? work.dmCopies : 1;
    }
    if (work.dmFields & DM_PRINTQUALITY) {
        out.dmFields |= DM_PRINTQUALITY;
        SHORT dpi = DefaultDpi(pPpd);
        if (work.dmPrintQuality > 0 && HasResolution(pPpd, work.dmPrintQuality)) dpi = work.dmPrintQuality;
        out.dmPrintQuality = dpi;
        out.dmYResolution = dpi;
    }
    if (work.dmFields & DM_COLOR) {
        out.dmFields |= DM_COLOR;
        out.dmColor = (work.dmColor == DMCOLOR_COLOR && pPpd && pPpd->bColorDevice) ? DMCOLOR_COLOR
                                                                                     : DMCOLOR_MONOCHROME;
        out.dmBitsPerPel = 24;
        out.dmDisplayFlags = 0;
    }
    if (work.dmFields & DM_DUPLEX) {
        if (HasDuplex(pPpd) && work.dmDuplex >= DMDUP_SIMPLEX && work.dmDuplex <= DMDUP_HORIZONTAL) {
            out.dmDuplex = work.dmDuplex;
            out.dmFields |= DM_DUPLEX;
        } else {
            out.dmDuplex = DMDUP_SIMPLEX;
        }
    }
    if (work.dmFields & DM_COLLATE) {
        if (HasCollate(pPpd) &&
            (work.dmCollate == DMCOLLATE_FALSE || work.dmCollate == DMCOLLATE_TRUE)) {
            out.dmCollate = work.dmCollate;
            out.dmFields |= DM_COLLATE;
        } else {
            out.dmCollate = DMCOLLATE_FALSE;
        }
    }

    if (pWork->dmPrivate.dwSignature == DRVEXTRA_SIGNATURE) {
        DRVEXTRA& x = result.dmPrivate;
        x = pWork->dmPrivate;
        x.bBottomUp = Switch(x.bBottomUp);
        x.bBackFeed = Switch(x.bBackFeed);
        x.bRibbonSaver = Switch(x.bRibbonSaver);
        x.bFourColor = Switch(x.bFourColor);
        x.bAutoFeed = Switch(x.bAutoFeed);
        x.bCompression = Switch(x.bCompression);
        x.bMirror = Switch(x.bMirror);
        if (pPpd) x.wPpdChecksum = pPpd->wChecksum;
    }

    DrvFreeMem(pWork);
    std::memcpy(pdmOut, &result, sizeof(DRVDEVMODE));
    return TRUE;
}

BOOL ValidateSetDevMode(HANDLE hPrinter, PDRVDEVMODE pdmOut, const DEVMODEW* pdmIn, const PPDDATA* pPpd)
{
    if (!pdmIn) return TRUE;
    // The record handed in is as long as its size fields say.
    constexpr DWORD kHeaderSize = offsetof(DEVMODEW, dmFields);
    const DWORD cbIn = static_cast<DWORD>(pdmIn->dmSize) + pdmIn->dmDriverExtra;
    return ValidateSetDevModeSized(hPrinter, pdmOut, pdmIn, cbIn < kHeaderSize ? kHeaderSize : cbIn, pPpd);
}
