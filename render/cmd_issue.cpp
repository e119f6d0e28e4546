// Page end: the issue command with copies, cut value, sensor, speed and
// ribbon settings.
#include "channel.h"
#include "commands.h"

BOOL ClosePage(PDEV* pPDev)
{
    const LABELDATA* pLabel = ddfn_JobLabel(pPDev);
    LONG lInterval = pLabel->iCutInterval == CUT_EVERY_TIME ? 0 : pLabel->iCutInterval;
    LONG lCut = lInterval;
    // With one copy per label the driver counts labels and cuts every
    // interval-th one; with several copies the printer is given the interval.
    if (pPDev->cCopies == 1 && lInterval > 0) lCut = pPDev->cPages % static_cast<ULONG>(lInterval) == 0 ? 1 : 0;
    return ddfn_IssueCommand(pPDev, pLabel, lCut, ddfn_SpeedCode(pPDev, pLabel));
}

BOOL ddfn_IssueCommand(PDEV* pPDev, const LABELDATA* pLabel, LONG lCut, LONG lSpeedCode)
{
    const DRVEXTRA& x = pPDev->dm.dmPrivate;
    const LONG n = pPDev->cCopies;
    WriteString(pPDev, "\033XS;I,%d%d%d%d,", Digit(n, 3), Digit(n, 2), Digit(n, 1), Digit(n, 0));
    WriteString(pPDev, "%d%d%d%d", Digit(lCut, 2), Digit(lCut, 1), Digit(lCut, 0), pLabel->iSensor);
    const LONG lTopDown = x.bBottomUp == 0 ? 1 : 0;
    if (x.dwModel == 0) {
        WriteString(pPDev, "%c%d%d%d0", x.bBackFeed == 1 ? 'C' : 'E', lSpeedCode, x.bRibbonSaver == 1 ? 3 : 2,
                    lTopDown);
    } else {
        const LONG lRibbon = pLabel->aRibbon[0].dwRibbonSel1 != 0 ? 0 : (x.bRibbonSaver == 1 ? 1 : 2);
        WriteString(pPDev, "%c%d%d%d0", pLabel->iIssueMode != 0 ? 'D' : 'C', lSpeedCode, lRibbon,
                    lTopDown + 2 * static_cast<LONG>(x.bMirror));
    }
    WriteTerminator(pPDev);
    return TRUE;
}
