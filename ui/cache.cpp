// The process-wide cache of one description record, shared by every sheet and
// query of the process, with the number of users that hold it.
#include "uidrv.h"

CRITICAL_SECTION psuiSemaphore;
PPDDATA* cachedPpdData = nullptr;
WORD cacheRefCount = 0;

namespace {

// Case-insensitive comparison of two paths (ASCII letters fold).
bool SamePathIgnoringCase(const WCHAR* a, const WCHAR* b)
{
    if (!a || !b) return false;
    auto fold = [](WCHAR c) { return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c - u'A' + u'a') : c; };
    for (; *a && *b; ++a, ++b)
        if (fold(*a) != fold(*b)) return false;
    return *a == *b;
}

struct CacheLock {
    CacheLock() { EnterCriticalSection(&psuiSemaphore); }
    ~CacheLock() { LeaveCriticalSection(&psuiSemaphore); }
    CacheLock(const CacheLock&) = delete;
    CacheLock& operator=(const CacheLock&) = delete;
};

}  // namespace

void InitPpdCache()
{
    cachedPpdData = nullptr;
    cacheRefCount = 0;
}

void FlushPpdCache()
{
    CacheLock lock;
    if (cachedPpdData) {
        cacheRefCount = 0;
        PpdDelete(cachedPpdData);
        cachedPpdData = nullptr;
    }
}

PPDDATA* LoadPpdFile(HANDLE hPrinter)
{
    auto* pDriver = static_cast<PDRIVER_INFO_2W>(MyGetPrinterDriver(hPrinter, 2));
    if (!pDriver) return nullptr;
    PPDDATA* pPpdData = nullptr;
    {
        CacheLock lock;
        if (cachedPpdData && SamePathIgnoringCase(PpdFileName(cachedPpdData), pDriver->pDataFile) &&
            cacheRefCount < 0xFFFF) {
            ++cacheRefCount;
            pPpdData = cachedPpdData;
        } else {
            pPpdData = PpdCreate(pDriver->pDataFile, ghInstance);
            if (pPpdData && cacheRefCount == 0) {
                PpdDelete(cachedPpdData);
                cachedPpdData = pPpdData;
                cacheRefCount = 1;
            }
        }
    }
    DrvFreeMem(pDriver);
    return pPpdData;
}

void UnloadPpdFile(PPDDATA* pPpdData)
{
    if (!pPpdData) return;
    CacheLock lock;
    if (pPpdData == cachedPpdData) {
        if (cacheRefCount > 0) --cacheRefCount;
    } else {
        PpdDelete(pPpdData);
    }
}
