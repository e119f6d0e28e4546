// Critical sections: recursive locks, as on Windows (the owning thread may enter
// again and must leave as often as it entered).
#pragma once

#include <cstddef>

#include "user/usertypes.h"

struct CRITICAL_SECTION {
    DWORD dwMagic;  // set by InitializeCriticalSection, cleared by DeleteCriticalSection
    alignas(std::max_align_t) unsigned char storage[64];
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;
using PCRITICAL_SECTION = CRITICAL_SECTION*;

// A section used before InitializeCriticalSection or after DeleteCriticalSection
// ends the process with a message: locking nothing would lose its protection.
extern "C" {
void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
}
