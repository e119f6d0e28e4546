// Page set-up: label size, position adjustment, density, colour position,
// ribbon type and ribbon motor, end of set-up.
#include "channel.h"
#include "commands.h"

BOOL BeginPage(PDEV* pPDev)
{
    for (int i = 0; i < 4; ++i) {
        pPDev->apPlane[i] = nullptr;
        pPDev->apPlaneCursor[i] = nullptr;
    }
    const LABELDATA* pLabel = ddfn_JobLabel(pPDev);
    // The label's own width and height, whatever the page orientation.
    LONG cx = pPDev->cxPaper;
    LONG cy = pPDev->cyPaper;
    if (pPDev->formInfo.bLandscape == 1) {
        const LONG t = cx;
        cx = cy;
        cy = t;
    }
    const LONG p = pLabel->lPitch;
    if (pPDev->dm.dmPrivate.dwModel == 9) {
        WriteString(pPDev, "\033D%d%d%d%d%d,%d%d%d%d,%d%d%d%d%d", Digit(p, 4), Digit(p, 3), Digit(p, 2), Digit(p, 1),
                    Digit(p, 0), Digit(cx, 3), Digit(cx, 2), Digit(cx, 1), Digit(cx, 0), Digit(cy, 4), Digit(cy, 3),
                    Digit(cy, 2), Digit(cy, 1), Digit(cy, 0));
    } else {
        WriteString(pPDev, "\033D%d%d%d%d,%d%d%d%d,%d%d%d%d", Digit(p, 3), Digit(p, 2), Digit(p, 1), Digit(p, 0),
                    Digit(cx, 3), Digit(cx, 2), Digit(cx, 1), Digit(cx, 0), Digit(cy, 3), Digit(cy, 2), Digit(cy, 1),
                    Digit(cy, 0));
    }
    WriteTerminator(pPDev);
    ddfn_PosAdjustCommand(pPDev, pLabel);
    ddfn_OthersAdjustCommand(pPDev, pLabel);
    WriteString(pPDev, "\033C");
    WriteTerminator(pPDev);
    return TRUE;
}

BOOL ddfn_PosAdjustCommand(PDEV* pPDev, const LABELDATA* pLabel)
{
    const LONG f = pLabel->lFeedAdj;
    const LONG c = pLabel->lCutPosAdj;
    const LONG b = pLabel->lBackFeedAdj;
    WriteString(pPDev, "\033AX;%c%d%d%d,%c%d%d%d,%c%d%d", SignOf(f), MagDigit(f, 2), MagDigit(f, 1), MagDigit(f, 0),
                SignOf(c), MagDigit(c, 2), MagDigit(c, 1), MagDigit(c, 0), SignOf(b), MagDigit(b, 1), MagDigit(b, 0));
    if (pPDev->dm.dmPrivate.dwModel == 0) {
        const LONG s = pLabel->lStopPosAdj;
        WriteString(pPDev, ",%c%d%d%d%d", SignOf(s), MagDigit(s, 3), MagDigit(s, 2), MagDigit(s, 1), MagDigit(s, 0));
    }
    WriteTerminator(pPDev);
    return TRUE;
}

BOOL ddfn_OthersAdjustCommand(PDEV* pPDev, const LABELDATA* pLabel)
{
    const RIBBONADJ& r0 = pLabel->aRibbon[0];
    if (pPDev->dm.dmPrivate.dwModel != 0) {
        // One density value whatever the number of planes; the rewind and back
        // tension settings range from -15 to 0 here, so their sign is always "-".
        const LONG d = pLabel->alDensAdj[0];
        WriteString(pPDev, "\033AY;%c%d%d,%d", SignOf(d), MagDigit(d, 1), MagDigit(d, 0), r0.dwRibbonSel1);
        WriteTerminator(pPDev);
        WriteString(pPDev, "\033RM;-%d%d%-%d%d", MagDigit(r0.lRewindAdj, 1), MagDigit(r0.lRewindAdj, 0),
                    MagDigit(r0.lBackTensionAdj, 1), MagDigit(r0.lBackTensionAdj, 0));
        WriteTerminator(pPDev);
        WriteString(pPDev, "\033RN;0%d", r0.dwRibbonSel2);
        WriteTerminator(pPDev);
        return TRUE;
    }
    const ULONG first = ddfn_FirstPlane(pPDev);
    const ULONG cPlanes = ddfn_PlaneCount(pPDev);
    for (ULONG p = first; p < cPlanes; ++p) {
        const LONG d = pLabel->alDensAdj[p];
        WriteString(pPDev, "\033AY;%c%d%d,0,%d", SignOf(d), MagDigit(d, 1), MagDigit(d, 0), p);
        WriteTerminator(pPDev);
    }
    for (ULONG p = first; p < cPlanes; ++p) {
        const LONG x = pLabel->alPosAdj[2 * p];
        const LONG y = pLabel->alPosAdj[2 * p + 1];
        WriteString(pPDev, "\033AZ;%d,%c%d%d%d,%c%d%d%d", p, SignOf(x), MagDigit(x, 2), MagDigit(x, 1), MagDigit(x, 0),
                    SignOf(y), MagDigit(y, 2), MagDigit(y, 1), MagDigit(y, 0));
        WriteTerminator(pPDev);
    }
    WriteString(pPDev, "\033RN;0%d", r0.dwRibbonSel1);
    WriteTerminator(pPDev);
    if (r0.bMotorAdj != 0) {
        for (ULONG p = first; p < cPlanes; ++p) {
            const RIBBONADJ& r = pLabel->aRibbon[p];
            WriteString(pPDev, "\033RM;9,%c%d%d%c%d%d%d", SignOf(r.lRewindAdj), MagDigit(r.lRewindAdj, 1),
                        MagDigit(r.lRewindAdj, 0), SignOf(r.lBackTensionAdj), MagDigit(r.lBackTensionAdj, 1),
                        MagDigit(r.lBackTensionAdj, 0), p);
            WriteTerminator(pPDev);
        }
    } else {
        // Preset 1..4: ribbon type (0, 1) and ribbon width (0 109 mm, 1 68 mm).
        WriteString(pPDev, "\033RM;%d", 2 * r0.dwRibbonSel1 + r0.dwRibbonSel2 + 1);
        WriteTerminator(pPDev);
    }
    return TRUE;
}
