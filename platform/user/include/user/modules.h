// Module loading: LoadLibrary by name or path, one reference count per module,
// the module's DllInitialize called on first load and on last free (and at
// process exit for modules still loaded).
#pragma once

#include <string>
#include <string_view>

#include "user/usertypes.h"

constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;
constexpr DWORD DLL_THREAD_ATTACH = 2;
constexpr DWORD DLL_THREAD_DETACH = 3;

// The entry point a module may export under the name "DllInitialize". FALSE on
// process attach makes the load fail (the module gets its detach call at once).
using PFN_DllInitialize = BOOL (*)(HINSTANCE hModule, DWORD ulReason, LPVOID pContext);

extern "C" {

// A bare name ("compstui.dll", "liblblui.so") is looked up in the driver
// directories; a name with a '/' is a path. Loading a loaded module adds a
// reference and returns the same handle. NULL with ERROR_MOD_NOT_FOUND when no
// such module exists, ERROR_DLL_INIT_FAILED when its DllInitialize refused.
HMODULE LoadLibraryA(LPCSTR lpLibFileName);
HMODULE LoadLibraryW(LPCWSTR lpLibFileName);
// Drops one reference; the last one detaches and unloads the module.
BOOL FreeLibrary(HMODULE hLibModule);
// The module's own exports only (not those of libraries it links); names only.
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
// The loaded module of that name or path, without adding a reference.
HMODULE GetModuleHandleA(LPCSTR lpModuleName);
HMODULE GetModuleHandleW(LPCWSTR lpModuleName);
// The module's full path (NULL: the program's). Returns the characters written
// without the terminator; a short buffer gets a truncated, terminated path, the
// result nSize and ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

}  // extern "C"

namespace user {

// The reference count of a loaded module, 0 for anything else (for tests).
unsigned ModuleReferenceCount(HMODULE hModule);
// The file path of a loaded module, empty for anything else.
std::string ModulePath(HMODULE hModule);

}  // namespace user
