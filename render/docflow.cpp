// Document flow: document start and end, page start and page end, and the
// job status they keep in the device record.
#include <cstring>

#include "channel.h"
#include "commands.h"
#include "driver.h"

namespace {

bool PassThrough(const PDEV* pPDev) { return pPDev->pPrinterProp && pPDev->pPrinterProp->bPassThrough; }

// A copy of the document name, NUL included, in the device's render heap.
LPWSTR CopyDocName(HHEAP hHeap, LPCWSTR pwszDocName)
{
    std::size_t cch = 0;
    while (pwszDocName[cch]) ++cch;
    auto* pCopy = static_cast<LPWSTR>(HEAPALLOC(hHeap, (cch + 1) * sizeof(WCHAR)));
    if (pCopy) std::memcpy(pCopy, pwszDocName, (cch + 1) * sizeof(WCHAR));
    return pCopy;
}

}  // namespace

BOOL DrvStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD /*dwJobId*/)
{
    PPDEV pPDev = PdevOfSurface(pso);
    if (!pPDev) return FALSE;
    pPDev->flPdev |= PDEVF_DOCSTARTED;
    pPDev->cPages = 0;

    if (pPDev->pwszDocName) {
        HEAPFREE(pPDev->hHeap, pPDev->pwszDocName);
        pPDev->pwszDocName = nullptr;
    }
    if (pwszDocName) {
        pPDev->pwszDocName = CopyDocName(pPDev->hHeap, pwszDocName);
        if (!pPDev->pwszDocName) return FALSE;
    }
    if (!PassThrough(pPDev)) InitDevice(pPDev);
    return TRUE;
}

BOOL DrvStartPage(SURFOBJ* pso)
{
    PPDEV pPDev = PdevOfSurface(pso);
    if (!pPDev || (pPDev->flPdev & PDEVF_ABORT)) return FALSE;
    if (PassThrough(pPDev) || (pPDev->flPdev & PDEVF_PAGESTARTED)) return TRUE;
    pPDev->flPdev |= PDEVF_PAGESTARTED;
    ++pPDev->cPages;
    BeginPage(pPDev);
    return TRUE;
}

BOOL DrvSendPage(SURFOBJ* pso)
{
    PPDEV pPDev = PdevOfSurface(pso);
    if (!pPDev || (pPDev->flPdev & PDEVF_ABORT)) return FALSE;
    // A page the bands did not finish is closed here.
    if (pPDev->flPdev & PDEVF_PAGESTARTED) {
        ClosePage(pPDev);
        FlushChannel(pPDev);
        pPDev->flPdev &= ~PDEVF_PAGESTARTED;
    }
    return TRUE;
}

BOOL DrvEndDoc(SURFOBJ* pso, FLONG /*fl*/)
{
    PPDEV pPDev = PdevOfSurface(pso);
    if (!pPDev || (pPDev->flPdev & PDEVF_ABORT)) return FALSE;
    if (!PassThrough(pPDev)) TermDevice(pPDev);
    FlushChannel(pPDev);
    pPDev->flPdev &= ~(PDEVF_DOCSTARTED | PDEVF_PAGESTARTED);
    return TRUE;
}
