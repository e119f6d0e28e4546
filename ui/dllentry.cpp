// The library entry: the module handle, a self-reference that keeps the library
// loaded for the life of the process, the cache lock and the empty cache.
#include "uidrv.h"

HINSTANCE ghInstance = nullptr;

namespace {

constexpr DWORD kMaxModulePath = 260;

}  // namespace

LBLUI_EXPORT BOOL DllInitialize(HINSTANCE hModule, DWORD ulReason, LPVOID)
{
    switch (ulReason) {
    case DLL_PROCESS_ATTACH: {
        ghInstance = hModule;
        WCHAR wszPath[kMaxModulePath];
        if (GetModuleFileNameW(hModule, wszPath, kMaxModulePath) > 0) LoadLibraryW(wszPath);
        InitializeCriticalSection(&psuiSemaphore);
        InitPpdCache();
        break;
    }
    case DLL_PROCESS_DETACH:
        FlushPpdCache();
        DeleteCriticalSection(&psuiSemaphore);
        break;
    default:
        break;
    }
    return TRUE;
}
