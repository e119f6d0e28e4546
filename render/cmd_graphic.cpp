// The graphic header that opens each colour plane of a page.
#include "channel.h"
#include "commands.h"

BOOL ddfn_FirstBand(PDEV* pPDev, INT iPlane, LONG cx, LONG cy)
{
    if (pPDev->dm.dmPrivate.dwModel == 9) {
        WriteString(pPDev, "\033SG%d;0000,00000,%d%d%d%d,%d%d%d%d%d,", iPlane, Digit(cx, 3), Digit(cx, 2),
                    Digit(cx, 1), Digit(cx, 0), Digit(cy, 4), Digit(cy, 3), Digit(cy, 2), Digit(cy, 1), Digit(cy, 0));
        return TRUE;
    }
    WriteString(pPDev, "\033SG");
    if (ddfn_MayCompress(pPDev)) WriteString(pPDev, "%d", iPlane);
    WriteString(pPDev, ";0000,0000,%d%d%d%d,%d%d%d%d,", Digit(cx, 3), Digit(cx, 2), Digit(cx, 1), Digit(cx, 0),
                Digit(cy, 3), Digit(cy, 2), Digit(cy, 1), Digit(cy, 0));
    return TRUE;
}
