#include "common/drvmem.h"

#include "base/memory.h"

void* DrvAllocMem(std::size_t cb, bool zero)
{
#if defined(LBL_RENDER_BUILD)
    if (cb > 0xFFFFFFFFu) return nullptr;
    return EngAllocMem(zero ? FL_ZERO_MEMORY : 0, static_cast<ULONG>(cb), DRV_POOL_TAG);
#else
    return GlobalAlloc(zero ? GPTR : GMEM_FIXED, cb);
#endif
}

void DrvFreeMem(void* p)
{
    if (!p) return;
#if defined(LBL_RENDER_BUILD)
    EngFreeMem(p);
#else
    GlobalFree(p);
#endif
}
