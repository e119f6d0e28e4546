// Memory services with live-block accounting. Every block carries a header that
// names its kind and owner; a registry of live blocks lets frees of unknown or
// already freed pointers be refused instead of corrupting the allocator.
#include "base/memory.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace {

enum class Kind : std::uint32_t { Pool = 1, Global = 2, Heap = 3 };

struct alignas(16) BlockHeader {
    Kind kind;
    ULONG tag;      // pool tag (pool blocks)
    void* heap;     // owning heap (heap blocks)
};
static_assert(sizeof(BlockHeader) % 16 == 0);

struct Heap {
    std::unordered_set<void*> blocks;  // user pointers
};

struct Registry {
    std::mutex lock;
    std::unordered_map<void*, Kind> blocks;          // live pool and global blocks
    std::unordered_map<ULONG, long> poolPerTag;
    long poolTotal = 0;
    long global = 0;
    std::unordered_map<void*, Heap> heaps;
    std::uintptr_t nextHeap = 0x7E000000;
};

Registry& Reg()
{
    static auto* registry = new Registry;  // outlives every static destructor
    return *registry;
}

std::atomic<long> failCountdown{0};
std::atomic<long> allocations{0};

// Counts one allocation; true when the test switch says this one must fail.
bool AllocationShouldFail()
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    long current = failCountdown.load();
    while (current > 0) {
        if (failCountdown.compare_exchange_weak(current, current - 1)) return current == 1;
    }
    return false;
}

constexpr std::uintptr_t kPage = 4096;
constexpr SIZE_T kHugeFrom = SIZE_T{4} << 20;

void* RawAlloc(SIZE_T bytes, bool zero, Kind kind, ULONG tag, void* heap)
{
    if (bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
    SIZE_T total = sizeof(BlockHeader) + (bytes ? bytes : 1);
    auto* header = static_cast<BlockHeader*>(zero ? std::calloc(1, total) : std::malloc(total));
    if (!header) return nullptr;
    // Large blocks (band surfaces) take huge pages where they cover whole ones:
    // a few faults instead of thousands when the block is first written.
    if (total >= kHugeFrom) {
        const auto first = (reinterpret_cast<std::uintptr_t>(header) + kPage - 1) / kPage * kPage;
        const auto last = (reinterpret_cast<std::uintptr_t>(header) + total) / kPage * kPage;
        if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
    header->kind = kind;
    header->tag = tag;
    header->heap = heap;
    return header + 1;
}

void RawFree(void* user) { std::free(static_cast<BlockHeader*>(user) - 1); }

const BlockHeader& HeaderOf(void* user) { return *(static_cast<BlockHeader*>(user) - 1); }

}  // namespace

extern "C" {

PVOID EngAllocMem(ULONG fl, ULONG cj, ULONG tag)
{
    if (AllocationShouldFail()) return nullptr;
    void* p = RawAlloc(cj, (fl & FL_ZERO_MEMORY) != 0, Kind::Pool, tag, nullptr);
    if (!p) return nullptr;
    Registry& r = Reg();
    std::lock_guard guard(r.lock);
    r.blocks.emplace(p, Kind::Pool);
    ++r.poolPerTag[tag];
    ++r.poolTotal;
    return p;
}

void EngFreeMem(PVOID pv)
{
    if (!pv) return;
    Registry& r = Reg();
    {
        std::lock_guard guard(r.lock);
        auto it = r.blocks.find(pv);
        if (it == r.blocks.end() || it->second != Kind::Pool) return;
        r.blocks.erase(it);
        if (--r.poolPerTag[HeaderOf(pv).tag] == 0) r.poolPerTag.erase(HeaderOf(pv).tag);
        --r.poolTotal;
    }
    RawFree(pv);
}

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes)
{
    if (AllocationShouldFail()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* p = RawAlloc(dwBytes, (uFlags & GMEM_ZEROINIT) != 0, Kind::Global, 0, nullptr);
    if (!p) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Registry& r = Reg();
    std::lock_guard guard(r.lock);
    r.blocks.emplace(p, Kind::Global);
    ++r.global;
    return p;
}

HGLOBAL GlobalFree(HGLOBAL hMem)
{
    if (!hMem) return nullptr;
    Registry& r = Reg();
    {
        std::lock_guard guard(r.lock);
        auto it = r.blocks.find(hMem);
        if (it == r.blocks.end() || it->second != Kind::Global) {
            SetLastError(ERROR_INVALID_HANDLE);
            return hMem;
        }
        r.blocks.erase(it);
        --r.global;
    }
    RawFree(hMem);
    return nullptr;
}

HANDLE HeapCreate(DWORD, SIZE_T, SIZE_T)
{
    if (AllocationShouldFail()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // Heap handles are never reused, so a destroyed heap's handle stays invalid.
    Registry& r = Reg();
    std::lock_guard guard(r.lock);
    HANDLE id = reinterpret_cast<HANDLE>(r.nextHeap);
    r.nextHeap += 16;
    r.heaps.emplace(id, Heap{});
    return id;
}

LPVOID HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes)
{
    Registry& r = Reg();
    {
        std::lock_guard guard(r.lock);
        if (!r.heaps.count(hHeap)) return nullptr;
    }
    if (AllocationShouldFail()) return nullptr;
    void* p = RawAlloc(dwBytes, (dwFlags & HEAP_ZERO_MEMORY) != 0, Kind::Heap, 0, hHeap);
    if (!p) return nullptr;
    std::lock_guard guard(r.lock);
    auto it = r.heaps.find(hHeap);
    if (it == r.heaps.end()) {  // destroyed meanwhile by another thread
        RawFree(p);
        return nullptr;
    }
    it->second.blocks.insert(p);
    return p;
}

BOOL HeapFree(HANDLE hHeap, DWORD, LPVOID lpMem)
{
    if (!lpMem) return TRUE;
    Registry& r = Reg();
    {
        std::lock_guard guard(r.lock);
        auto it = r.heaps.find(hHeap);
        if (it == r.heaps.end() || it->second.blocks.erase(lpMem) == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    RawFree(lpMem);
    return TRUE;
}

BOOL HeapDestroy(HANDLE hHeap)
{
    Heap heap;
    Registry& r = Reg();
    {
        std::lock_guard guard(r.lock);
        auto it = r.heaps.find(hHeap);
        if (it == r.heaps.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        heap = std::move(it->second);
        r.heaps.erase(it);
    }
    for (void* block : heap.blocks) RawFree(block);
    return TRUE;
}

}  // extern "C"

namespace platform {

long LivePoolBlocks(ULONG tag)
{
    Registry& r = Reg();
    std::lock_guard guard(r.lock);
    if (tag == 0) return r.poolTotal;
    auto it = r.poolPerTag.find(tag);
    return it == r.poolPerTag.end() ? 0 : it->second;
}

long LiveGlobalBlocks()
{
    Registry& r = Reg();
    std::lock_guard guard(r.lock);
    return r.global;
}

long LiveHeapBlocks(HANDLE heap)
{
    Registry& r = Reg();
    std::lock_guard guard(r.lock);
    if (!heap) return static_cast<long>(r.heaps.size());
    auto it = r.heaps.find(heap);
    return it == r.heaps.end() ? 0 : static_cast<long>(it->second.blocks.size());
}

void FailNthAllocation(long n) { failCountdown.store(n > 0 ? n : 0); }

long AllocationCount() { return allocations.load(); }

}  // namespace platform
