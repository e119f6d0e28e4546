// Shared halftoner helpers: which planes to halftone, argument checks, line buffers.
#include "planeutil.h"

#include "base/memory.h"
#include "common/drvmem.h"
#include "halftone.h"

namespace planes {

unsigned HalftonedPlanes(const PDEV* pPDev)
{
    if (!IsColour(pPDev)) return 1u;
    unsigned n = pPDev->cPlanes < 4 ? pPDev->cPlanes : 4;
    unsigned mask = 0;
    for (unsigned p = 1; p < n; ++p) mask |= 1u << p;
    const SPOTCOLOR* pBlack = BlackSpot(pPDev);
    if (pBlack && pBlack->bSpotColor != 0) mask |= 1u;
    return mask;
}

bool BlackGenerationDue(const PDEV* pPDev)
{
    const SPOTCOLOR* pBlack = BlackSpot(pPDev);
    return pPDev->cPlanes == 4 && pPDev->dm.dmPrivate.bFourColor == 1 && !(pBlack && pBlack->bSpotColor != 0);
}

bool PrepareBand(const PDEV* pPDev, const BYTE* pBits, LONG cx, LONG cy, BOOL bLandscape, LONG* pw, LONG* ph)
{
    if (!pPDev || !pBits || cx < 0 || cy < 0) return false;
    *pw = bLandscape ? cy : cx;
    *ph = bLandscape ? cx : cy;
    unsigned mask = HalftonedPlanes(pPDev);
    if (BlackGenerationDue(pPDev)) mask |= 0xFu;
    for (int p = 0; p < 4; ++p) {
        if ((mask & (1u << p)) && (!pPDev->apPlane[p] || !pPDev->apPlaneCursor[p])) return false;
    }
    return true;
}

LineBuffers::~LineBuffers() { Free(); }

void LineBuffers::Free()
{
    for (LONG*& p : apAll) {
        if (p) EngFreeMem(p);
        p = nullptr;
    }
}

bool LineBuffers::Allocate(LONG cValues, int cBuffers)
{
    Free();
    if (cValues <= 0 || cBuffers < 0 || cBuffers > 12) return false;
    const std::uint64_t cb = static_cast<std::uint64_t>(cValues) * sizeof(LONG);
    if (cb > 0x7FFFFFFFu) return false;
    for (int i = 0; i < cBuffers; ++i) {
        apAll[i] = static_cast<LONG*>(EngAllocMem(FL_ZERO_MEMORY, static_cast<ULONG>(cb), DRV_POOL_TAG));
        if (!apAll[i]) {
            Free();
            return false;
        }
    }
    return true;
}

void FinishBand(PDEV* pPDev, LONG w, LONG h)
{
    if (!BlackGenerationDue(pPDev)) return;
    const std::uint64_t cb = RowBytes(w) * static_cast<std::uint64_t>(h);
    CreateBlackPlane(pPDev, cb > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(cb));
}

}  // namespace planes
