// The engine services the driver relies on: bitmaps and their scan lines,
// erasing, locks, stale handles, palettes, semaphores and the engine device.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "base/codepage.h"
#include "base/driverlib.h"
#include "engine/engine.h"
#include "base/memory.h"

namespace {

TEST(EngineSurface, ScanLinesAndErase)
{
    const long live = platform::LiveSurfaces();
    HBITMAP top = EngCreateBitmap({5, 4}, 16, BMF_24BPP, BMF_TOPDOWN, nullptr);
    HBITMAP bottom = EngCreateBitmap({5, 4}, 0, BMF_24BPP, 0, nullptr);
    ASSERT_NE(top, nullptr);
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(platform::LiveSurfaces(), live + 2);

    SURFOBJ* so = EngLockSurface(reinterpret_cast<HSURF>(top));
    ASSERT_NE(so, nullptr);
    EXPECT_EQ(so->pvScan0, so->pvBits);
    EXPECT_EQ(so->lDelta, 16);
    EXPECT_EQ(so->cjBits, 64u);
    // Clipped to the surface; bytes outside the rectangle stay as they were (zeroed).
    RECTL rcl{3, -2, 9, 2};
    ASSERT_TRUE(EngEraseSurface(so, &rcl, 0x00112233));
    auto* bits = static_cast<BYTE*>(so->pvBits);
    EXPECT_EQ(bits[9], 0x33);
    EXPECT_EQ(bits[10], 0x22);
    EXPECT_EQ(bits[11], 0x11);
    EXPECT_EQ(bits[14], 0x11);
    EXPECT_EQ(bits[15], 0x00);  // stride padding
    EXPECT_EQ(bits[8], 0x00);
    EXPECT_EQ(bits[2 * 16 + 9], 0x00);
    EXPECT_EQ(platform::LockedSurfaces(), 1);
    EngUnlockSurface(so);
    EngUnlockSurface(so);  // an extra unlock changes nothing
    EXPECT_EQ(platform::LockedSurfaces(), 0);

    SURFOBJ* sb = EngLockSurface(reinterpret_cast<HSURF>(bottom));
    EXPECT_EQ(sb->lDelta, -16);  // DWORD-aligned stride of 15 bytes
    EXPECT_EQ(static_cast<BYTE*>(sb->pvScan0), static_cast<BYTE*>(sb->pvBits) + 48);
    SURFOBJ copy = *sb;  // not the engine's record
    RECTL all{0, 0, 5, 4};
    EXPECT_FALSE(EngEraseSurface(&copy, &all, 0));
    EngUnlockSurface(sb);

    EXPECT_TRUE(EngDeleteSurface(reinterpret_cast<HSURF>(top)));
    EXPECT_TRUE(EngDeleteSurface(reinterpret_cast<HSURF>(bottom)));
    EXPECT_FALSE(EngDeleteSurface(reinterpret_cast<HSURF>(top)));
    EXPECT_EQ(EngLockSurface(reinterpret_cast<HSURF>(top)), nullptr);
    EXPECT_EQ(platform::LiveSurfaces(), live);
}

TEST(EngineSurface, RefusedBitmaps)
{
    const long pool = platform::LivePoolBlocks();
    EXPECT_EQ(EngCreateBitmap({0, 4}, 0, BMF_24BPP, 0, nullptr), nullptr);
    EXPECT_EQ(EngCreateBitmap({4, 4}, 0, 99, 0, nullptr), nullptr);
    EXPECT_EQ(EngCreateBitmap({4, 4}, 11, BMF_24BPP, 0, nullptr), nullptr);  // stride shorter than a line
    EXPECT_EQ(EngCreateBitmap({100000, 100000}, 0, BMF_24BPP, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    platform::SetBitmapByteLimit(1000);
    EXPECT_EQ(EngCreateBitmap({20, 20}, 0, BMF_24BPP, 0, nullptr), nullptr);
    // Caller-owned bits are not limited and not freed.
    std::vector<BYTE> bits(1200);
    HBITMAP user = EngCreateBitmap({20, 20}, 60, BMF_24BPP, BMF_TOPDOWN, bits.data());
    EXPECT_NE(user, nullptr);
    platform::SetBitmapByteLimit(0);
    platform::FailNthAllocation(1);
    EXPECT_EQ(EngCreateBitmap({4, 4}, 0, BMF_24BPP, 0, nullptr), nullptr);
    platform::FailNthAllocation(0);
    EXPECT_TRUE(EngDeleteSurface(reinterpret_cast<HSURF>(user)));
    EXPECT_EQ(platform::LivePoolBlocks(), pool);
}

TEST(EngineDevice, NamesAssociationPalettesAndSemaphores)
{
    const long devices = platform::LiveEngineDevices();
    HDEV hdev = platform::CreateEngineDevice({"p", "d", "/x/model1.ppd", "", "", "/x/liblblrender.so", ""});
    ASSERT_NE(hdev, nullptr);
    // The render library is found by its name where the platform keeps driver libraries.
    const std::u16string driver = EngGetDriverName(hdev);
    EXPECT_EQ(driver, platform::Widen(platform::DriverLibraryPath("liblblrender.so")));
    EXPECT_EQ(driver.find(u"/x/"), std::u16string::npos);
    EXPECT_EQ(std::u16string(EngGetPrinterDataFileName(hdev)), u"/x/model1.ppd");

    HBITMAP hbm = EngCreateBitmap({2, 2}, 0, BMF_24BPP, 0, nullptr);
    ASSERT_TRUE(EngAssociateSurface(reinterpret_cast<HSURF>(hbm), hdev, 0));
    int record = 0;
    ASSERT_TRUE(platform::SetEngineDeviceDriverData(hdev, reinterpret_cast<DHPDEV>(&record)));
    SURFOBJ* so = EngLockSurface(reinterpret_cast<HSURF>(hbm));
    EXPECT_EQ(so->hdev, hdev);
    EXPECT_EQ(so->dhpdev, reinterpret_cast<DHPDEV>(&record));
    EngUnlockSurface(so);
    platform::DeleteEngineDevice(hdev);
    EXPECT_EQ(EngGetDriverName(hdev), nullptr);
    EXPECT_FALSE(EngAssociateSurface(reinterpret_cast<HSURF>(hbm), hdev, 0));
    so = EngLockSurface(reinterpret_cast<HSURF>(hbm));
    EXPECT_EQ(so->dhpdev, nullptr);
    EngUnlockSurface(so);
    EngDeleteSurface(reinterpret_cast<HSURF>(hbm));
    EXPECT_EQ(platform::LiveEngineDevices(), devices);

    const long palettes = platform::LivePalettes();
    HPALETTE hpal = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
    ASSERT_NE(hpal, nullptr);
    EXPECT_EQ(EngCreatePalette(PAL_INDEXED, 0, nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(platform::LivePalettes(), palettes + 1);
    EXPECT_TRUE(EngDeletePalette(hpal));
    EXPECT_FALSE(EngDeletePalette(hpal));
    EXPECT_EQ(platform::LivePalettes(), palettes);

    // Recursive for its owner, exclusive against other threads.
    HSEMAPHORE hsem = EngCreateSemaphore();
    ASSERT_NE(hsem, nullptr);
    EngAcquireSemaphore(hsem);
    EngAcquireSemaphore(hsem);
    int shared = 0;
    std::thread other([&] {
        EngAcquireSemaphore(hsem);
        shared = 2;
        EngReleaseSemaphore(hsem);
    });
    shared = 1;
    EngReleaseSemaphore(hsem);
    EXPECT_EQ(shared, 1);
    EngReleaseSemaphore(hsem);
    other.join();
    EXPECT_EQ(shared, 2);
    const long sems = platform::LiveSemaphores();
    EngDeleteSemaphore(hsem);
    EXPECT_EQ(platform::LiveSemaphores(), sems - 1);
}

}  // namespace
