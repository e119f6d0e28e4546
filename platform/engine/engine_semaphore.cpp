// Engine semaphores: recursive locks behind checked handles.
#include <atomic>
#include <mutex>
#include <new>

#include "engine/engine.h"
#include "engine_internal.h"

namespace platform {
namespace {

std::atomic<long> liveSemaphores{0};

struct EngineSemaphore : EngineObject {
    EngineSemaphore() { ++liveSemaphores; }
    ~EngineSemaphore() override { --liveSemaphores; }
    std::recursive_mutex lock;
};

std::shared_ptr<EngineSemaphore> LookupSemaphore(HSEMAPHORE hsem)
{
    return LookupHandle<EngineSemaphore>(reinterpret_cast<HANDLE>(hsem));
}

}  // namespace

long LiveSemaphores() { return liveSemaphores; }

}  // namespace platform

extern "C" {

HSEMAPHORE EngCreateSemaphore()
{
    auto sem = std::shared_ptr<platform::EngineSemaphore>(new (std::nothrow) platform::EngineSemaphore);
    if (!sem) return nullptr;
    return reinterpret_cast<HSEMAPHORE>(platform::RegisterHandle(sem));
}

// The handle table keeps the object alive while it is registered; a lock taken
// through a deleted handle is refused rather than used.
void EngAcquireSemaphore(HSEMAPHORE hsem)
{
    if (auto sem = platform::LookupSemaphore(hsem)) sem->lock.lock();
}

void EngReleaseSemaphore(HSEMAPHORE hsem)
{
    if (auto sem = platform::LookupSemaphore(hsem)) sem->lock.unlock();
}

void EngDeleteSemaphore(HSEMAPHORE hsem)
{
    platform::ReleaseHandleOf<platform::EngineSemaphore>(reinterpret_cast<HANDLE>(hsem));
}

}  // extern "C"
