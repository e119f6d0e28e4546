// Allocation accounting: live blocks per tag and per heap, heap destruction,
// refused frees, and the switch that makes the n-th allocation fail.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "base/memory.h"

namespace {

constexpr ULONG kTagA = 0x6D737044;  // "Dpsm"
constexpr ULONG kTagB = 0x68737044;  // "Dpsh"

TEST(Memory, PoolCountsLiveBlocksPerTag)
{
    long baseA = platform::LivePoolBlocks(kTagA), baseAll = platform::LivePoolBlocks();
    void* a1 = EngAllocMem(FL_ZERO_MEMORY, 64, kTagA);
    void* a2 = EngAllocMem(0, 0, kTagA);
    void* b1 = EngAllocMem(0, 16, kTagB);
    ASSERT_TRUE(a1 && a2 && b1);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(static_cast<BYTE*>(a1)[i], 0);
    EXPECT_EQ(platform::LivePoolBlocks(kTagA), baseA + 2);
    EXPECT_EQ(platform::LivePoolBlocks(), baseAll + 3);
    EngFreeMem(a1);
    EngFreeMem(a1);  // a second free of the same block is ignored
    EngFreeMem(a2);
    EngFreeMem(b1);
    EXPECT_EQ(platform::LivePoolBlocks(kTagA), baseA);
    EXPECT_EQ(platform::LivePoolBlocks(), baseAll);
}

TEST(Memory, GlobalBlocksAreCountedAndFreedOnce)
{
    long base = platform::LiveGlobalBlocks();
    auto* p = static_cast<BYTE*>(GlobalAlloc(GPTR, 32));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(p[i], 0);
    EXPECT_EQ(platform::LiveGlobalBlocks(), base + 1);
    EXPECT_EQ(GlobalFree(p), nullptr);
    EXPECT_EQ(GlobalFree(p), p);  // already freed: refused, handle returned
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(platform::LiveGlobalBlocks(), base);
}

TEST(Memory, HeapBlocksBelongToTheirHeapAndDestroyFreesAll)
{
    long heaps = platform::LiveHeapBlocks();
    HANDLE h1 = HeapCreate(0, 0, 0), h2 = HeapCreate(0, 0, 0);
    ASSERT_TRUE(h1 && h2);
    EXPECT_EQ(platform::LiveHeapBlocks(), heaps + 2);
    void* blocks[5];
    for (auto& b : blocks) b = HeapAlloc(h1, HEAP_ZERO_MEMORY, 100);
    void* other = HeapAlloc(h2, 0, 8);
    EXPECT_EQ(platform::LiveHeapBlocks(h1), 5);
    EXPECT_FALSE(HeapFree(h2, 0, blocks[0]));  // not a block of h2
    EXPECT_TRUE(HeapFree(h1, 0, blocks[0]));
    EXPECT_FALSE(HeapFree(h1, 0, blocks[0]));
    EXPECT_EQ(platform::LiveHeapBlocks(h1), 4);
    EXPECT_TRUE(HeapDestroy(h1));  // frees the four left (ASan reports a leak otherwise)
    EXPECT_EQ(platform::LiveHeapBlocks(h1), 0);
    EXPECT_EQ(HeapAlloc(h1, 0, 8), nullptr);
    EXPECT_FALSE(HeapDestroy(h1));
    EXPECT_EQ(platform::LiveHeapBlocks(h2), 1);
    EXPECT_TRUE(HeapFree(h2, 0, other));
    EXPECT_TRUE(HeapDestroy(h2));
    EXPECT_EQ(platform::LiveHeapBlocks(), heaps);
}

TEST(Memory, NthAllocationFailsOnceAcrossAllKinds)
{
    platform::FailNthAllocation(4);
    long before = platform::AllocationCount();
    void* pool = EngAllocMem(0, 8, kTagA);     // 1
    void* global = GlobalAlloc(GPTR, 8);       // 2
    HANDLE heap = HeapCreate(0, 0, 0);         // 3
    void* failed = HeapAlloc(heap, 0, 8);      // 4: fails
    void* after = HeapAlloc(heap, 0, 8);       // switch disarmed again
    EXPECT_TRUE(pool && global && heap && after);
    EXPECT_EQ(failed, nullptr);
    EXPECT_EQ(platform::AllocationCount() - before, 5);
    EXPECT_EQ(platform::LiveHeapBlocks(heap), 1);

    platform::FailNthAllocation(1);
    EXPECT_EQ(HeapCreate(0, 0, 0), nullptr);
    platform::FailNthAllocation(1);
    platform::FailNthAllocation(0);  // disarmed before it fires
    void* ok = EngAllocMem(0, 8, kTagA);
    EXPECT_NE(ok, nullptr);

    EngFreeMem(pool);
    EngFreeMem(ok);
    GlobalFree(global);
    HeapDestroy(heap);
}

TEST(Memory, CountsStayExactUnderThreads)
{
    long pool = platform::LivePoolBlocks(kTagB), global = platform::LiveGlobalBlocks();
    HANDLE heap = HeapCreate(0, 0, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([heap] {
            for (int i = 0; i < 2000; ++i) {
                void* a = EngAllocMem(0, 24, kTagB);
                void* b = GlobalAlloc(GPTR, 24);
                void* c = HeapAlloc(heap, 0, 24);
                EngFreeMem(a);
                GlobalFree(b);
                HeapFree(heap, 0, c);
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(platform::LivePoolBlocks(kTagB), pool);
    EXPECT_EQ(platform::LiveGlobalBlocks(), global);
    EXPECT_EQ(platform::LiveHeapBlocks(heap), 0);
    HeapDestroy(heap);
}

}  // namespace
