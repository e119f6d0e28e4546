// The render heap: every block is a kernel-pool allocation carrying a link in
// front of the caller's bytes, pushed on a singly linked list, so that
// HEAPDESTROY can free everything a device allocated at once.
#include <cstddef>

#include "base/memory.h"
#include "pdev.h"

// The link in front of each block; aligned so the payload after it suits any record.
struct alignas(std::max_align_t) RENDERHEAPNODE {
    RENDERHEAPNODE* pNext;
};

namespace {

PVOID PayloadOf(RENDERHEAPNODE* pNode) { return pNode + 1; }

}  // namespace

HHEAP HEAPCREATE()
{
    auto* hHeap = static_cast<HHEAP>(EngAllocMem(FL_ZERO_MEMORY, sizeof(RENDERHEAP), RENDER_HEAP_TAG));
    if (hHeap) hHeap->pHead = nullptr;
    return hHeap;
}

PVOID HEAPALLOC(HHEAP hHeap, SIZE_T cb)
{
    if (!hHeap || cb > 0xFFFFFFFFu - sizeof(RENDERHEAPNODE)) return nullptr;
    auto* pNode = static_cast<RENDERHEAPNODE*>(
        EngAllocMem(FL_ZERO_MEMORY, static_cast<ULONG>(cb + sizeof(RENDERHEAPNODE)), RENDER_HEAP_TAG));
    if (!pNode) return nullptr;
    pNode->pNext = hHeap->pHead;
    hHeap->pHead = pNode;
    return PayloadOf(pNode);
}

void HEAPFREE(HHEAP hHeap, PVOID pBlock)
{
    if (!hHeap || !pBlock) return;
    for (RENDERHEAPNODE** ppLink = &hHeap->pHead; *ppLink; ppLink = &(*ppLink)->pNext) {
        RENDERHEAPNODE* pNode = *ppLink;
        if (PayloadOf(pNode) == pBlock) {
            *ppLink = pNode->pNext;
            EngFreeMem(pNode);
            return;
        }
    }
}

void HEAPDESTROY(HHEAP hHeap)
{
    if (!hHeap) return;
    RENDERHEAPNODE* pNode = hHeap->pHead;
    while (pNode) {
        RENDERHEAPNODE* pNext = pNode->pNext;
        EngFreeMem(pNode);
        pNode = pNext;
    }
    EngFreeMem(hHeap);
}
