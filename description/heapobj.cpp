// The block pool from which a whole description is allocated and freed at once.
#include "common/drvmem.h"
#include "reader.h"

BLOCKOBJ* BLOCKOBJ_Create(DWORD dwSize)
{
    auto* pBlock = static_cast<BLOCKOBJ*>(DrvAllocMem(sizeof(BLOCKOBJ) + std::size_t{dwSize}));
    if (!pBlock) return nullptr;
    pBlock->dwSize = dwSize;
    pBlock->dwFree = dwSize;
    pBlock->pNextFree = reinterpret_cast<BYTE*>(pBlock + 1);
    pBlock->pNext = nullptr;
    return pBlock;
}

void BLOCKOBJ_Delete(BLOCKOBJ* pBlock)
{
    DrvFreeMem(pBlock);
}

namespace {

void* BLOCKOBJ_Take(BLOCKOBJ* pBlock, std::size_t cb)
{
    BYTE* p = pBlock->pNextFree;
    std::size_t taken = (cb + POOL_ALIGN - 1) & ~std::size_t{POOL_ALIGN - 1};
    if (taken >= pBlock->dwFree) taken = pBlock->dwFree;
    pBlock->pNextFree += taken;
    pBlock->dwFree -= static_cast<DWORD>(taken);
    return p;
}

}  // namespace

HEAPOBJ HEAPOBJ_Create()
{
    BLOCKOBJ* pBlock = BLOCKOBJ_Create(DEFAULT_BLOCK_SIZE);
    if (!pBlock) return nullptr;
    auto hPool = static_cast<HEAPOBJ>(BLOCKOBJ_Take(pBlock, sizeof(BLOCKOBJ*)));
    *hPool = pBlock;
    return hPool;
}

void* HEAPOBJ_Alloc(HEAPOBJ hPool, std::size_t cb)
{
    if (!hPool || cb > 0xFFFFFFFFu - POOL_ALIGN) return nullptr;
    for (BLOCKOBJ* pBlock = *hPool; pBlock; pBlock = pBlock->pNext)
        if (pBlock->dwFree >= cb) return BLOCKOBJ_Take(pBlock, cb);
    BLOCKOBJ* pBlock = BLOCKOBJ_Create(cb > DEFAULT_BLOCK_SIZE ? static_cast<DWORD>(cb) : DEFAULT_BLOCK_SIZE);
    if (!pBlock) return nullptr;
    pBlock->pNext = *hPool;
    *hPool = pBlock;
    return BLOCKOBJ_Take(pBlock, cb);
}

// Frees every block; the first block, which holds the handle's cell, last.
void HEAPOBJ_Delete(HEAPOBJ hPool)
{
    if (!hPool) return;
    BLOCKOBJ* pBlock = *hPool;
    BLOCKOBJ* pFirst = nullptr;
    while (pBlock) {
        BLOCKOBJ* pNext = pBlock->pNext;
        if (pNext == nullptr)
            pFirst = pBlock;  // the oldest block holds the cell
        else
            BLOCKOBJ_Delete(pBlock);
        pBlock = pNext;
    }
    BLOCKOBJ_Delete(pFirst);
}
