// Memory services: the kernel pool, the global heap and private heaps.
// Every live block is counted (per pool tag, per heap) so tests can prove that
// nothing leaks, and a test switch makes the n-th allocation fail.
#pragma once

#include "base/wintypes.h"

extern "C" {

// Kernel pool
constexpr ULONG FL_ZERO_MEMORY = 0x00000001;
PVOID EngAllocMem(ULONG fl, ULONG cj, ULONG tag);
void EngFreeMem(PVOID pv);

// Global memory
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
HGLOBAL GlobalFree(HGLOBAL hMem);  // NULL on success, the handle on failure

// Private heaps
constexpr DWORD HEAP_ZERO_MEMORY = 0x00000008;
HANDLE HeapCreate(DWORD flOptions, SIZE_T dwInitialSize, SIZE_T dwMaximumSize);
LPVOID HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes);
BOOL HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem);
BOOL HeapDestroy(HANDLE hHeap);  // frees every block still allocated from the heap

}  // extern "C"

// Test and diagnostic hooks (not Windows functions).
namespace platform {

// Live kernel-pool blocks carrying this tag (all tags when tag is 0).
long LivePoolBlocks(ULONG tag = 0);
// Live GlobalAlloc blocks.
long LiveGlobalBlocks();
// Live blocks of one private heap; live heaps when heap is null.
long LiveHeapBlocks(HANDLE heap = nullptr);

// Makes the n-th allocation from now (1 = the next one) fail, counting every
// EngAllocMem, GlobalAlloc, HeapCreate and HeapAlloc of every thread. 0 disarms.
void FailNthAllocation(long n);
// Allocations made since the process started (for choosing n).
long AllocationCount();

}  // namespace platform
