// Black generation: dots that cyan, magenta and yellow would all print move
// into the black plane. Works a 64-bit word at a time, then byte by byte.
#include <cstdint>
#include <cstring>

#include "halftone.h"

void CreateBlackPlane(PDEV* pPDev, DWORD cb)
{
    if (!pPDev) return;
    PBYTE pK = pPDev->apPlane[0];
    PBYTE pM = pPDev->apPlane[1];
    PBYTE pC = pPDev->apPlane[2];
    PBYTE pY = pPDev->apPlane[3];
    if (!pK || !pM || !pC || !pY) return;

    DWORD i = 0;
    for (; i + 8 <= cb; i += 8) {
        std::uint64_t c, m, y;
        std::memcpy(&c, pC + i, 8);
        std::memcpy(&m, pM + i, 8);
        std::memcpy(&y, pY + i, 8);
        const std::uint64_t k = c & m & y;
        c &= ~k;
        m &= ~k;
        y &= ~k;
        std::memcpy(pK + i, &k, 8);
        std::memcpy(pC + i, &c, 8);
        std::memcpy(pM + i, &m, 8);
        std::memcpy(pY + i, &y, 8);
    }
    for (; i < cb; ++i) {
        const BYTE k = pC[i] & pM[i] & pY[i];
        pK[i] = k;
        pC[i] &= static_cast<BYTE>(~k);
        pM[i] &= static_cast<BYTE>(~k);
        pY[i] &= static_cast<BYTE>(~k);
    }
}
