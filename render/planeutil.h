// Helpers shared by the halftoners: output size, the set of planes to halftone,
// and the per-band line buffers (kernel pool, tag "Dpsm").
#pragma once

#include <cstdint>

#include "base/wintypes.h"
#include "pdev.h"

namespace planes {

// Black entry of the spot colours, or null when there is none.
inline const SPOTCOLOR* BlackSpot(const PDEV* pPDev)
{
    return pPDev->pSpotColor ? &pPDev->pSpotColor[0] : nullptr;
}

// The black entry takes part in the separation: four-colour mode and its
// bSpotColor set.
inline bool BlackSpotActive(const PDEV* pPDev)
{
    const SPOTCOLOR* pBlack = BlackSpot(pPDev);
    return pPDev->dm.dmPrivate.bFourColor == 1 && pBlack && pBlack->bSpotColor != 0;
}

inline bool IsColour(const PDEV* pPDev) { return pPDev->cPlanes >= 2; }

// Some spot-colour entry changes the separation of a colour job: the active
// black entry, or the magenta, cyan or yellow entry.
inline bool AnySpotActive(const PDEV* pPDev)
{
    const SPOTCOLOR* pSpot = pPDev->pSpotColor;
    return pSpot && (BlackSpotActive(pPDev) || pSpot[1].bSpotColor || pSpot[2].bSpotColor || pSpot[3].bSpotColor);
}

// Bit i set: plane i is halftoned. Monochrome: plane 0. Colour: planes 1..3
// (as far as cPlanes reaches), plane 0 only when the black entry's bSpotColor
// is set (otherwise black generation fills it, or it stays empty).
unsigned HalftonedPlanes(const PDEV* pPDev);

// Black generation runs after halftoning: four planes, bFourColor 1, no black spot.
bool BlackGenerationDue(const PDEV* pPDev);

// The 32-bit line buffers of one band, each its own kernel-pool block (tag
// "Dpsm"); freed on destruction.
struct LineBuffers {
    LineBuffers() = default;
    LineBuffers(const LineBuffers&) = delete;
    LineBuffers& operator=(const LineBuffers&) = delete;
    ~LineBuffers();
    // Allocates cBuffers (at most 12) buffers of cValues zero-filled values
    // each, one pool block apiece; on failure frees those already allocated and
    // returns false.
    bool Allocate(LONG cValues, int cBuffers);
    LONG* Buffer(int i) const { return apAll[i]; }

private:
    void Free();
    LONG* apAll[12] = {};
};

// Validates the common halftoner arguments and computes the output size.
// False for a null record or band, negative sizes, or planes whose cursors are
// missing.
bool PrepareBand(const PDEV* pPDev, const BYTE* pBits, LONG cx, LONG cy, BOOL bLandscape, LONG* pw, LONG* ph);

// Bytes per plane row.
inline std::uint64_t RowBytes(LONG w) { return (static_cast<std::uint64_t>(w) + 7) >> 3; }

// Writes one row of decisions (bit set where lit(x)) through the cursor and
// advances it past the row's (w + 7) >> 3 bytes.
template <typename Lit>
inline void WriteRowBits(PBYTE& pCursor, LONG w, Lit lit)
{
    LONG x = 0;
    for (; x + 8 <= w; x += 8) {
        unsigned b = 0;
        for (int j = 0; j < 8; ++j) b |= static_cast<unsigned>(lit(x + j)) << (7 - j);
        *pCursor++ |= static_cast<BYTE>(b);
    }
    if (x < w) {
        unsigned b = 0;
        for (int j = 0; x + j < w; ++j) b |= static_cast<unsigned>(lit(x + j)) << (7 - j);
        *pCursor++ |= static_cast<BYTE>(b);
    }
}

// Runs black generation over the band's planes when it is due.
void FinishBand(PDEV* pPDev, LONG w, LONG h);

}  // namespace planes
