// Document start and end, and the driver-wide job state they keep.
#include "channel.h"
#include "commands.h"

DWORD dwInitPrint = INITPRINT_PENDING;
BYTE autofeed = 0;

namespace {

constexpr ULONG kNulRunWrites = 60;
constexpr ULONG kNulRunChunk = 50;

LONG AutoFeedLength(const PDEV* pPDev, const LABELDATA* pLabel)
{
    const DWORD dwModel = pPDev->dm.dmPrivate.dwModel;
    return dwModel == 7 || dwModel == 10 ? pLabel->lAutoFeed2 : pLabel->lAutoFeed;
}

}  // namespace

BOOL InitDevice(PDEV* pPDev)
{
    if (dwInitPrint == INITPRINT_PENDING) {
        static const BYTE zeros[kNulRunChunk] = {};
        for (ULONG i = 0; i < kNulRunWrites; ++i) WriteChannel(pPDev, zeros, kNulRunChunk);
        dwInitPrint = 0;
    }
    if (pPDev->dm.dmPrivate.bAutoFeed == 1 && autofeed == 0) {
        const LONG l = AutoFeedLength(pPDev, ddfn_JobLabel(pPDev));
        WriteString(pPDev, "\033U2;%d%d%d%d", Digit(l, 3), Digit(l, 2), Digit(l, 1), Digit(l, 0));
        WriteTerminator(pPDev);
        autofeed = 1;
    }
    return TRUE;
}

BOOL TermDevice(PDEV* pPDev)
{
    const LABELDATA* pLabel = ddfn_JobLabel(pPDev);
    if (pLabel->iCutInterval == CUT_EVERY_TIME) {
        WriteString(pPDev, "\033IB");
        WriteTerminator(pPDev);
    }
    if (pPDev->dm.dmPrivate.bAutoFeed == 1 && autofeed == 1) {
        const LONG l = AutoFeedLength(pPDev, pLabel);
        WriteString(pPDev, "\033U1;%d%d%d%d", Digit(l, 3), Digit(l, 2), Digit(l, 1), Digit(l, 0));
        WriteTerminator(pPDev);
        autofeed = 0;
    }
    return TRUE;
}
