// The driver's default device mode for a description, and the user's measurement system.
#include <cstring>

#include "base/codepage.h"
#include "description/ppd.h"
#include "settings/settings.h"

BOOL SetDefaultDevMode(PDRVDEVMODE pdm, LPCWSTR pDeviceName, const PPDDATA* pPpd, BOOL)
{
    if (!pdm) return FALSE;
    std::memcpy(pdm, &dmDefault, sizeof(DRVDEVMODE));
    DEVMODEW& p = pdm->dmPublic;
    DRVEXTRA& x = pdm->dmPrivate;

    if (pDeviceName) CopyStringW(p.dmDeviceName, pDeviceName, CCHDEVICENAME);

    if (pPpd) {
        const SHORT dpi = static_cast<SHORT>(PpdDefaultResolution(pPpd));
        p.dmPrintQuality = dpi;
        p.dmYResolution = dpi;
    }

    if (pPpd && pPpd->bColorDevice) {
        p.dmFields |= DM_COLOR;
        p.dmColor = DMCOLOR_COLOR;
        p.dmDisplayFlags = 0;
    } else {
        p.dmColor = DMCOLOR_MONOCHROME;
        p.dmDisplayFlags = 1;
    }
    p.dmBitsPerPel = 24;

    if (pPpd && PpdSupportDuplex(pPpd)) p.dmFields |= DM_DUPLEX;
    if (pPpd && PpdFindCollateCode(pPpd, TRUE)) p.dmFields |= DM_COLLATE;

    x.dwSignature = DRVEXTRA_SIGNATURE;
    x.dwReserved1 = 0;
    x.coloradj = DefHTClrAdj;
    x.dwModel = pPpd ? pPpd->dwLanguageLevel : 0;
    x.bColorDevice = pPpd ? pPpd->bColorDevice : 0;

    // Without a device name the form is " Standard Label", the standard label of a
    // database read without a printer name.
    MakeStandardLabelName(p.dmFormName, pDeviceName ? p.dmDeviceName : nullptr);

    x.wPpdChecksum = pPpd ? pPpd->wChecksum : 0;
    return TRUE;
}

BOOL IsMetricCountry()
{
    WCHAR szCountry[16] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, szCountry, 16) <= 0) return FALSE;
    szCountry[15] = 0;
    long lCountry = 0;
    for (const WCHAR* p = szCountry; *p >= u'0' && *p <= u'9' && lCountry < 100000; ++p)
        lCountry = lCountry * 10 + (*p - u'0');
    if (lCountry == 1 || lCountry == 2) return FALSE;
    if (lCountry >= 50 && lCountry <= 59) return FALSE;
    if (lCountry >= 500 && lCountry <= 599) return FALSE;
    return TRUE;
}
