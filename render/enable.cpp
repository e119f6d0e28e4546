// The driver's entry: the table of entry points handed to the engine, the
// description semaphore and the one-time start-of-job marker.
#include "banding.h"
#include "commands.h"
#include "driver.h"
#include "engine/engine.h"

namespace {

// An entry of the table; the entry point must have the engine's signature.
template <class P>
PFN Fn(P f)
{
    return reinterpret_cast<PFN>(f);
}

}  // namespace

const DRVFN gadrvfn[DRVFN_COUNT] = {
    {INDEX_DrvEnablePDEV, Fn<PFN_DrvEnablePDEV>(DrvEnablePDEV)},
    {INDEX_DrvResetPDEV, Fn<PFN_DrvResetPDEV>(DrvResetPDEV)},
    {INDEX_DrvCompletePDEV, Fn<PFN_DrvCompletePDEV>(DrvCompletePDEV)},
    {INDEX_DrvDisablePDEV, Fn<PFN_DrvDisablePDEV>(DrvDisablePDEV)},
    {INDEX_DrvEnableSurface, Fn<PFN_DrvEnableSurface>(DrvEnableSurface)},
    {INDEX_DrvDisableSurface, Fn<PFN_DrvDisableSurface>(DrvDisableSurface)},
    {INDEX_DrvStartDoc, Fn<PFN_DrvStartDoc>(DrvStartDoc)},
    {INDEX_DrvEndDoc, Fn<PFN_DrvEndDoc>(DrvEndDoc)},
    {INDEX_DrvStartPage, Fn<PFN_DrvStartPage>(DrvStartPage)},
    {INDEX_DrvSendPage, Fn<PFN_DrvSendPage>(DrvSendPage)},
    {INDEX_DrvEscape, Fn<PFN_DrvEscape>(DrvEscape)},
    {INDEX_DrvStartBanding, Fn<PFN_DrvStartBanding>(DrvStartBanding)},
    {INDEX_DrvNextBand, Fn<PFN_DrvNextBand>(DrvNextBand)},
};

HSEMAPHORE hPpdSemaphore = nullptr;

// The size check uses the record's size on this machine: a caller's record
// shorter than that would have the table pointer written past its end.
extern "C" BOOL DrvEnableDriver(ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded)
{
    if (iEngineVersion < DDI_DRIVER_VERSION_NT4 || cj < sizeof(DRVENABLEDATA) || !pded) {
        EngSetLastError(ERROR_BAD_DRIVER_LEVEL);
        return FALSE;
    }
    pded->iDriverVersion = DRIVER_VERSION;
    pded->c = DRVFN_COUNT;
    pded->pdrvfn = const_cast<DRVFN*>(gadrvfn);
    dwInitPrint = INITPRINT_PENDING;
    // The semaphore lives as long as the library: a second enable keeps the first.
    if (!hPpdSemaphore) hPpdSemaphore = EngCreateSemaphore();
    return TRUE;
}
