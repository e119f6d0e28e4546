// Spot-colour substitution of one pixel: a plane whose entry is set prints
// exactly the pixels of its spot colour, solid, and nothing else.
#include "halftone.h"
#include "planeutil.h"

DWORD SpotColor(PDEV* pPDev, BYTE r, BYTE g, BYTE b, LONG* plBlack)
{
    DWORD rr = r, gg = g, bb = b;
    if (!pPDev || !pPDev->pSpotColor) return rr | gg << 8 | bb << 16;
    const SPOTCOLOR* pSpot = pPDev->pSpotColor;
    // Every test compares the pixel's own colour, not the one already changed.
    const COLORREF k = rr | gg << 8 | bb << 16;

    if (planes::BlackSpotActive(pPDev)) {
        const bool match = k == pSpot[0].crSpotColor;
        if (plBlack) *plBlack = match ? 255 : 0;
        if (match) rr = gg = bb = 255;
    }
    if (pSpot[1].bSpotColor) {  // magenta
        gg = 255;
        if (k == pSpot[1].crSpotColor) {
            gg = 0;
            rr = bb = 255;
        }
    }
    if (pSpot[2].bSpotColor) {  // cyan
        rr = 255;
        if (k == pSpot[2].crSpotColor) {
            rr = 0;
            gg = bb = 255;
        }
    }
    if (pSpot[3].bSpotColor) {  // yellow
        bb = 255;
        if (k == pSpot[3].crSpotColor) {
            bb = 0;
            rr = gg = 255;
        }
    }
    return rr | gg << 8 | bb << 16;
}
