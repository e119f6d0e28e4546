// Critical sections are recursive and exclude other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "user/critsec.h"

namespace {

TEST(CriticalSectionTest, OwnerMayEnterAgainOthersWait)
{
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EnterCriticalSection(&cs);  // a second entry on the same thread does not block

    std::atomic<bool> entered{false};
    std::thread other([&] {
        EnterCriticalSection(&cs);
        entered = true;
        LeaveCriticalSection(&cs);
    });
    LeaveCriticalSection(&cs);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(entered);  // still held once
    LeaveCriticalSection(&cs);
    other.join();
    EXPECT_TRUE(entered);
    DeleteCriticalSection(&cs);
}

TEST(CriticalSectionDeathTest, UseAfterDeleteEndsTheProcess)
{
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    DeleteCriticalSection(&cs);
    EXPECT_DEATH(EnterCriticalSection(&cs), "not initialised");
}

}  // namespace
