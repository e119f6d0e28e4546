// The test feed: a short RAW document of printer commands that makes the printer
// feed one label with the label settings shown in a sheet.
#include <cstdlib>

#include "uidrv.h"
#include "user/wsprintf.h"

namespace {

constexpr LONG kPow10[] = {1, 10, 100, 1000, 10000};

// Digit `place` of a zero-filled field; a negative value goes out as 0.
INT Digit(LONG v, int place) { return v < 0 ? 0 : static_cast<INT>((v / kPow10[place]) % 10); }
// Sign character and digits of a signed field.
INT SignOf(LONG v) { return v < 0 ? '-' : '+'; }
INT MagDigit(LONG v, int place)
{
    return static_cast<INT>((std::llabs(static_cast<long long>(v)) / kPow10[place]) % 10);
}

// The model's speed code for the label's speed index; an index outside the
// model's speed list is brought to its nearest end rather than read past the table.
LONG SpeedCode(DWORD dwModel, INT iIssueSpeed)
{
    const DEVSPEC& row = devspec[dwModel < MODEL_COUNT ? dwModel : MODEL_COUNT - 1];
    INT cSpeeds = 1;
    while (cSpeeds < 4 && row.alIssueSpeed[cSpeeds] != 0) ++cSpeeds;
    const INT i = iIssueSpeed < 0 ? 0 : (iIssueSpeed >= cSpeeds ? cSpeeds - 1 : iIssueSpeed);
    return row.alSpeedCode[i];
}

// Writes one formatted command with its terminating NUL. The length comes from
// the formatted text, so a field wider than one character still leaves the
// command whole, ending in LF NUL.
BOOL WriteCommand(HANDLE hPrinter, const CHAR* pCommand, INT cch)
{
    DWORD cbWritten = 0;
    const DWORD cb = static_cast<DWORD>(cch) + 1;
    if (!WritePrinter(hPrinter, const_cast<CHAR*>(pCommand), cb, &cbWritten) || cbWritten != cb) {
        GetLastError();
        return FALSE;
    }
    return TRUE;
}

// After a failed write the document is still ended, so that the handle can start
// the next feed; the spooler delivers nothing of a document whose write failed.
BOOL AbandonFeed(HANDLE hPrinter)
{
    EndDocPrinter(hPrinter);
    return FALSE;
}

}  // namespace

BOOL SendFeed(HANDLE hPrinter, LPWSTR pwstrOutputFile, const LABELDATA* pLabel, const DRVDEVMODE* pdm)
{
    if (!pLabel || !pdm) return FALSE;
    WCHAR wszDocName[] = u"Varnel PrinterDriver";
    WCHAR wszDatatype[] = u"RAW";
    DOC_INFO_1W docInfo{wszDocName, pwstrOutputFile, wszDatatype};
    if (StartDocPrinterW(hPrinter, 1, reinterpret_cast<LPBYTE>(&docInfo)) == 0) {
        GetLastError();
        return FALSE;
    }

    const DWORD dwModel = pdm->dmPrivate.dwModel;
    const LABELDATA& l = *pLabel;
    const RIBBONADJ& r = l.aRibbon[0];
    CHAR szCmd[1024];
    INT cch;
    const LONG p = l.lPitch, w = l.lWidth / 100, h = l.lHeight / 100;
    if (dwModel == 9)
        cch = wsprintfA(szCmd, "\033D%d%d%d%d%d,%d%d%d%d,%d%d%d%d%d\n", Digit(p, 4), Digit(p, 3), Digit(p, 2),
                        Digit(p, 1), Digit(p, 0), Digit(w, 3), Digit(w, 2), Digit(w, 1), Digit(w, 0), Digit(h, 4),
                        Digit(h, 3), Digit(h, 2), Digit(h, 1), Digit(h, 0));
    else
        cch = wsprintfA(szCmd, "\033D%d%d%d%d,%d%d%d%d,%d%d%d%d\n", Digit(p, 3), Digit(p, 2), Digit(p, 1), Digit(p, 0),
                        Digit(w, 3), Digit(w, 2), Digit(w, 1), Digit(w, 0), Digit(h, 3), Digit(h, 2), Digit(h, 1),
                        Digit(h, 0));
    if (!WriteCommand(hPrinter, szCmd, cch)) return AbandonFeed(hPrinter);

    const LONG f = l.lFeedAdj, c = l.lCutPosAdj, b = l.lBackFeedAdj;
    cch = wsprintfA(szCmd, "\033AX;%c%d%d%d,%c%d%d%d,%c%d%d\n", SignOf(f), MagDigit(f, 2), MagDigit(f, 1),
                    MagDigit(f, 0), SignOf(c), MagDigit(c, 2), MagDigit(c, 1), MagDigit(c, 0), SignOf(b),
                    MagDigit(b, 1), MagDigit(b, 0));
    if (!WriteCommand(hPrinter, szCmd, cch)) return AbandonFeed(hPrinter);

    cch = wsprintfA(szCmd, "\033RM;-%d%d-%d%d\n", MagDigit(r.lRewindAdj, 1), MagDigit(r.lRewindAdj, 0),
                    MagDigit(r.lBackTensionAdj, 1), MagDigit(r.lBackTensionAdj, 0));
    if (!WriteCommand(hPrinter, szCmd, cch)) return AbandonFeed(hPrinter);

    cch = wsprintfA(szCmd, "\033RN;0%d\n", r.dwRibbonSel2);
    if (!WriteCommand(hPrinter, szCmd, cch)) return AbandonFeed(hPrinter);

    const INT iRibbon = r.dwRibbonSel1 != 0 ? 0 : (pdm->dmPrivate.bRibbonSaver == 1 ? 1 : 2);
    cch = wsprintfA(szCmd, "\033T%d%d%c%d%d\n", l.iSensor, l.iCutInterval != 0 ? 1 : 0, l.iIssueMode != 0 ? 'D' : 'C',
                    SpeedCode(dwModel, l.iIssueSpeed), iRibbon);
    if (!WriteCommand(hPrinter, szCmd, cch)) return AbandonFeed(hPrinter);

    if (pdm->dmPrivate.bAutoFeed == 1) {
        const LONG a = (dwModel == 7 || dwModel == 10) ? l.lAutoFeed2 : l.lAutoFeed;
        cch = wsprintfA(szCmd, "\033U1;%d%d%d%d\n", Digit(a, 3), Digit(a, 2), Digit(a, 1), Digit(a, 0));
        if (!WriteCommand(hPrinter, szCmd, cch)) return AbandonFeed(hPrinter);
    }

    if (!EndDocPrinter(hPrinter)) {
        GetLastError();
        return FALSE;
    }
    return TRUE;
}
