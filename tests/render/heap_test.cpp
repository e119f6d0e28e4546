// The render heap, the device record check and the unit conversion.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "base/memory.h"
#include "pdev.h"

namespace {

TEST(RenderHeap, FreesWhatItFindsAndIgnoresTheRest)
{
    const long base = platform::LivePoolBlocks(RENDER_HEAP_TAG);
    HHEAP h = HEAPCREATE();
    ASSERT_NE(h, nullptr);
    void* a = HEAPALLOC(h, 10);
    void* b = HEAPALLOC(h, 100);
    void* c = HEAPALLOC(h, 0);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b) % alignof(std::max_align_t), 0u);
    std::memset(b, 0xAB, 100);
    EXPECT_EQ(platform::LivePoolBlocks(RENDER_HEAP_TAG), base + 4);

    HEAPFREE(h, b);  // a middle block
    EXPECT_EQ(platform::LivePoolBlocks(RENDER_HEAP_TAG), base + 3);
    int stranger = 0;
    HEAPFREE(h, &stranger);  // never allocated here
    HEAPFREE(h, b);          // already freed
    HEAPFREE(h, nullptr);
    EXPECT_EQ(platform::LivePoolBlocks(RENDER_HEAP_TAG), base + 3);
    HEAPFREE(h, c);  // the newest
    HEAPFREE(h, a);  // the oldest
    EXPECT_EQ(platform::LivePoolBlocks(RENDER_HEAP_TAG), base + 1);
    HEAPDESTROY(h);
    EXPECT_EQ(platform::LivePoolBlocks(RENDER_HEAP_TAG), base);
}

TEST(RenderHeap, DestroyFreesEveryBlockThePdevIncluded)
{
    const long base = platform::LivePoolBlocks(RENDER_HEAP_TAG);
    HHEAP h = HEAPCREATE();
    auto* pdev = static_cast<PDEV*>(HEAPALLOC(h, sizeof(PDEV)));
    ASSERT_NE(pdev, nullptr);
    pdev->hHeap = h;
    for (int i = 0; i < 50; ++i) ASSERT_NE(HEAPALLOC(h, 64 * i + 1), nullptr);
    EXPECT_EQ(platform::LivePoolBlocks(RENDER_HEAP_TAG), base + 52);
    HEAPDESTROY(pdev->hHeap);
    EXPECT_EQ(platform::LivePoolBlocks(RENDER_HEAP_TAG), base);
}

TEST(RenderHeap, AllocationFailuresGiveNull)
{
    const long base = platform::LivePoolBlocks(RENDER_HEAP_TAG);
    platform::FailNthAllocation(1);
    EXPECT_EQ(HEAPCREATE(), nullptr);
    HHEAP h = HEAPCREATE();
    ASSERT_NE(h, nullptr);
    platform::FailNthAllocation(1);
    EXPECT_EQ(HEAPALLOC(h, 8), nullptr);
    EXPECT_EQ(HEAPALLOC(h, 0xFFFFFFFFu), nullptr);
    EXPECT_EQ(HEAPALLOC(nullptr, 8), nullptr);
    HEAPDESTROY(h);
    platform::FailNthAllocation(0);
    EXPECT_EQ(platform::LivePoolBlocks(RENDER_HEAP_TAG), base);
}

TEST(DeviceRecord, BothSignaturesMustHold)
{
    auto pdev = std::make_unique<PDEV>();
    EXPECT_FALSE(bValidatePDEV(nullptr));
    EXPECT_FALSE(bValidatePDEV(pdev.get()));
    pdev->dwSignature = DRVEXTRA_SIGNATURE;
    pdev->dwSignature2 = DRVEXTRA_SIGNATURE;
    EXPECT_TRUE(bValidatePDEV(pdev.get()));
    pdev->dwSignature2 = 0x30343139;  // the last field overwritten, the first intact
    EXPECT_FALSE(bValidatePDEV(pdev.get()));
    pdev->dwSignature2 = DRVEXTRA_SIGNATURE;
    pdev->dwSignature = 0;
    EXPECT_FALSE(bValidatePDEV(pdev.get()));

    SURFOBJ so{};
    EngSetLastError(0);
    EXPECT_EQ(PdevOfSurface(nullptr), nullptr);
    EXPECT_EQ(EngGetLastError(), ERROR_INVALID_PARAMETER);
    EngSetLastError(0);
    so.dhpdev = reinterpret_cast<DHPDEV>(pdev.get());
    EXPECT_EQ(PdevOfSurface(&so), nullptr);
    EXPECT_EQ(EngGetLastError(), ERROR_INVALID_PARAMETER);
    pdev->dwSignature = DRVEXTRA_SIGNATURE;
    EXPECT_EQ(PdevOfSurface(&so), pdev.get());
}

TEST(DeviceRecord, MicronsToDotsRoundHalfAwayFromZero)
{
    EXPECT_EQ(MillionToPixel(100000, 203), 799);    // 799.2
    EXPECT_EQ(MillionToPixel(25400, 300), 300);
    EXPECT_EQ(MillionToPixel(127, 100), 1);         // 0.5
    EXPECT_EQ(MillionToPixel(-127, 100), -1);       // -0.5
    EXPECT_EQ(MillionToPixel(126, 100), 0);         // 0.496
    EXPECT_EQ(MillionToPixel(2000000000, 600), 47244094);  // needs a 64-bit product
}

}  // namespace
