// Enabling and disabling a device: the PDEV in its own render heap, the driver
// module, the description, and the release of all of it.
#include <cstring>

#include "base/files.h"
#include "channel.h"
#include "description/ppd.h"
#include "driver.h"
#include "engine/engine.h"

namespace {

PPDEV PdevOf(DHPDEV dhpdev)
{
    PPDEV pPDev = reinterpret_cast<PPDEV>(dhpdev);
    if (!bValidatePDEV(pPDev)) {
        EngSetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return pPDev;
}

// The description, read under the process-wide description semaphore.
PPDDATA* LoadDescription(HDEV hdev, HANDLE hModule)
{
    LPWSTR pwszDataFile = EngGetPrinterDataFileName(hdev);
    if (!pwszDataFile) return nullptr;
    EngAcquireSemaphore(hPpdSemaphore);
    PPDDATA* pPpd = PpdCreate(pwszDataFile, hModule);
    EngReleaseSemaphore(hPpdSemaphore);
    return pPpd;
}

}  // namespace

DHPDEV DrvEnablePDEV(DEVMODEW* pdm, LPWSTR pwszLogAddress, ULONG cPat, HSURF* phsurfPatterns, ULONG cjCaps,
                     ULONG* pdevcaps, ULONG cjDevInfo, DEVINFO* pdi, HDEV hdev, LPWSTR /*pwszDeviceName*/,
                     HANDLE hDriver)
{
    HHEAP hHeap = HEAPCREATE();
    if (!hHeap) return nullptr;
    auto* pPDev = static_cast<PPDEV>(HEAPALLOC(hHeap, sizeof(PDEV)));
    if (!pPDev) {
        HEAPDESTROY(hHeap);
        return nullptr;
    }
    std::memset(pPDev, 0, sizeof(PDEV));
    pPDev->hHeap = hHeap;
    pPDev->hPrinter = hDriver;

    bool ok = false;
    do {
        LPWSTR pwszDriver = EngGetDriverName(hdev);
        if (!pwszDriver) break;
        pPDev->hModule = EngLoadModule(pwszDriver);
        if (!pPDev->hModule) break;

        pPDev->pPpd = LoadDescription(hdev, pPDev->hModule);
        if (!pPDev->pPpd) break;

        InitSendBuffer(pPDev);
        pPDev->pColorAdj = static_cast<PBYTE>(HEAPALLOC(hHeap, COLORADJ_RECORD_SIZE));
        if (!pPDev->pColorAdj) break;
        std::memset(pPDev->pColorAdj, 0, COLORADJ_RECORD_SIZE);

        if (!FillPDEV(pPDev, pdm, pwszLogAddress)) break;
        FillDevcap(pPDev, cjCaps, pdevcaps);
        if (!FillDevinfo(pPDev, cjDevInfo, pdi)) break;
        ok = true;
    } while (false);

    if (!ok) {
        FreePdevMemory(pPDev);
        return nullptr;
    }
    // The driver supplies no patterns.
    if (phsurfPatterns) {
        for (ULONG i = 0; i < cPat; ++i) phsurfPatterns[i] = nullptr;
    }
    return reinterpret_cast<DHPDEV>(pPDev);
}

void DrvCompletePDEV(DHPDEV dhpdev, HDEV hdev)
{
    PPDEV pPDev = PdevOf(dhpdev);
    if (pPDev) pPDev->hdev = hdev;
}

void DrvDisablePDEV(DHPDEV dhpdev)
{
    PPDEV pPDev = PdevOf(dhpdev);
    if (!pPDev) return;
    if (pPDev->hpal) {
        EngDeletePalette(pPDev->hpal);
        pPDev->hpal = nullptr;
    }
    FreeLabelDatabase(pPDev->pLabelDb);
    pPDev->pLabelDb = nullptr;
    pPDev->formInfo.pLabel = nullptr;
    DrvFreeMem(pPDev->pSpotColor);
    pPDev->pSpotColor = nullptr;
    InitSendBuffer(pPDev);
    FreePdevMemory(pPDev);
}

void FreePdevMemory(PDEV* pPDev)
{
    if (!pPDev) return;
    // What a failed enable or a missed surface disable leaves behind goes too.
    if (pPDev->hsurfBand) EngDeleteSurface(pPDev->hsurfBand);
    if (pPDev->hpal) EngDeletePalette(pPDev->hpal);
    FreeLabelDatabase(pPDev->pLabelDb);
    DrvFreeMem(pPDev->pSpotColor);

    if (pPDev->hModule) EngFreeModule(pPDev->hModule);
    DrvFreeMem(pPDev->pPrinterProp);
    PpdDelete(pPDev->pPpd);
    // Clear the guards so a stale pointer to the record is refused, not used.
    pPDev->dwSignature = 0;
    pPDev->dwSignature2 = 0;
    HEAPDESTROY(pPDev->hHeap);
}
