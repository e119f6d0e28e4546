// Critical sections over std::recursive_mutex, built in the record's storage.
#include "user/critsec.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

namespace {

constexpr DWORD kLive = 0x43534543;  // "CESC"

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::storage));
static_assert(alignof(std::recursive_mutex) <= alignof(std::max_align_t));

std::recursive_mutex& Mutex(LPCRITICAL_SECTION cs, const char* caller)
{
    if (!cs || cs->dwMagic != kLive) {
        std::fprintf(stderr, "%s: critical section %p is not initialised\n", caller, static_cast<void*>(cs));
        std::abort();
    }
    return *std::launder(reinterpret_cast<std::recursive_mutex*>(cs->storage));
}

}  // namespace

extern "C" {

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    if (!lpCriticalSection) return;
    new (lpCriticalSection->storage) std::recursive_mutex;
    lpCriticalSection->dwMagic = kLive;
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    Mutex(lpCriticalSection, "EnterCriticalSection").lock();
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    Mutex(lpCriticalSection, "LeaveCriticalSection").unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    Mutex(lpCriticalSection, "DeleteCriticalSection").~recursive_mutex();
    lpCriticalSection->dwMagic = 0;
}

}  // extern "C"
