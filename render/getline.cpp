// Pixel readers: one band line (portrait) or one band column read bottom-up
// (landscape) into per-plane line buffers of ink amounts.
#include <cstddef>
#include <cstring>

#include "halftone.h"
#include "planeutil.h"

namespace {

// Reads n pixels step bytes apart; pixel i goes to position i, or n - 1 - i
// when Reverse is set.
template <bool Reverse>
void ReadPixels(PDEV* pPDev, const BYTE* pSrc, std::ptrdiff_t step, LONG* const apLine[4], LONG n, INT iMode)
{
    if (!pPDev || !pSrc || !apLine || n <= 0) return;
    const bool bMapped = iMode == GETLINE_DITHER;
    const LONG* const pTbl = ColorTbl;
    auto at = [n](LONG i) { return Reverse ? n - 1 - i : i; };

    if (!planes::IsColour(pPDev)) {
        LONG* pK = apLine[0];
        if (!pK) return;
        const BYTE* p = pSrc;
        for (LONG i = 0; i < n; ++i, p += step) {
            const LONG v = 255 - ((2 * p[0] + 5 * p[2] + 9 * p[1]) >> 4);
            pK[at(i)] = bMapped ? pTbl[v] : v;
        }
        return;
    }

    LONG* pK = apLine[0];
    LONG* pM = apLine[1];
    LONG* pC = apLine[2];
    LONG* pY = apLine[3];
    if (!pM || !pC || !pY) return;
    const bool bBlack = planes::BlackSpotActive(pPDev);
    const bool bAnySpot = planes::AnySpotActive(pPDev);
    // Plane 0 receives only what SpotColor writes; without a black spot it is empty.
    if (pK && !bBlack) std::memset(pK, 0, static_cast<std::size_t>(n) * sizeof(LONG));

    const BYTE* p = pSrc;
    if (!bAnySpot) {
        for (LONG i = 0; i < n; ++i, p += step) {
            const LONG c = 255 - p[2], m = 255 - p[1], y = 255 - p[0];
            const LONG x = at(i);
            pC[x] = bMapped ? pTbl[c] : c;
            pM[x] = bMapped ? pTbl[m] : m;
            pY[x] = bMapped ? pTbl[y] : y;
        }
        return;
    }
    for (LONG i = 0; i < n; ++i, p += step) {
        LONG lBlack = 0;
        const DWORD rgb = SpotColor(pPDev, p[2], p[1], p[0], &lBlack);
        const LONG c = 255 - static_cast<LONG>(rgb & 0xFF);
        const LONG m = 255 - static_cast<LONG>((rgb >> 8) & 0xFF);
        const LONG y = 255 - static_cast<LONG>((rgb >> 16) & 0xFF);
        const LONG x = at(i);
        pC[x] = bMapped ? pTbl[c] : c;
        pM[x] = bMapped ? pTbl[m] : m;
        pY[x] = bMapped ? pTbl[y] : y;
        if (bBlack && pK) pK[x] = lBlack;  // 255 or 0, never mapped
    }
}

}  // namespace

void Get1LineP(PDEV* pPDev, const BYTE* pSrc, LONG* const apLine[4], LONG cPixels, INT iMode)
{
    ReadPixels<false>(pPDev, pSrc, 3, apLine, cPixels, iMode);
}

void Get1LineL(PDEV* pPDev, const BYTE* pSrc, LONG* const apLine[4], LONG cPixels, LONG lStep, INT iMode)
{
    ReadPixels<true>(pPDev, pSrc, lStep, apLine, cPixels, iMode);
}
