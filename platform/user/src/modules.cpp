// LoadLibrary and friends: one entry per module file with a reference count;
// DllInitialize on first load, last free and process exit.
#include "user/modules.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <vector>

#include "module_registry.h"
#include "base/codepage.h"
#include "base/driverlib.h"

namespace user {
namespace {

struct Registry {
    std::recursive_mutex lock;  // held across dlopen and DllInitialize, as a loader lock
    std::map<std::string, std::shared_ptr<LoadedModule>> byPath;
    std::vector<std::shared_ptr<LoadedModule>> loadOrder;
    bool exiting = false;
};

Registry& TheRegistry()
{
    static auto* registry = new Registry;  // never destroyed: modules are detached at exit
    return *registry;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The file a module name stands for: bare names are driver libraries (with
// "compstui.dll" the common property sheet UI), anything else is a path.
std::string ResolveModuleName(const std::string& name)
{
    if (name.empty()) return {};
    if (name.find('/') == std::string::npos) {
        if (EqualsIgnoringAsciiCase(name, "compstui.dll")) return platform::DriverLibraryPath("libcompstui.so");
        // The platform's own libraries share the driver directory but are no driver modules.
        if (name.rfind("liblblplatform.so", 0) == 0 || name.rfind("liblbluser.so", 0) == 0) return {};
        return platform::DriverLibraryPath(name);
    }
    return name;
}

std::string CanonicalPath(const std::string& path)
{
    if (path.empty()) return {};
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

// A symbol defined by the module itself, not by a library it links.
void* OwnSymbol(const LoadedModule& module, const char* name)
{
    void* sym = ::dlsym(module.dl, name);
    if (!sym) return nullptr;
    Dl_info info{};
    void* where = nullptr;
    if (::dladdr1(sym, &info, &where, RTLD_DL_LINKMAP) == 0 || where != module.linkMap) return nullptr;
    return sym;
}

BOOL CallInitialize(const LoadedModule& module, DWORD reason)
{
    auto init = reinterpret_cast<PFN_DllInitialize>(OwnSymbol(module, "DllInitialize"));
    return init ? init(module.handle, reason, nullptr) : TRUE;
}

void Forget(Registry& r, const std::shared_ptr<LoadedModule>& module)
{
    r.byPath.erase(module->path);
    std::erase(r.loadOrder, module);
    platform::ReleaseHandle(module->handle);
}

// At exit every module still loaded gets its detach call, latest first; the
// libraries stay mapped, since other exit code may still run in them.
void DetachAllAtExit()
{
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    r.exiting = true;
    while (!r.loadOrder.empty()) {
        std::shared_ptr<LoadedModule> module = r.loadOrder.back();
        r.loadOrder.pop_back();
        if (module->refs == 0) continue;
        module->refs = 0;
        CallInitialize(*module, DLL_PROCESS_DETACH);
    }
}

HMODULE Load(const std::string& name)
{
    const std::string path = CanonicalPath(ResolveModuleName(name));
    if (path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    if (r.exiting) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (auto it = r.byPath.find(path); it != r.byPath.end()) {
        ++it->second->refs;
        return it->second->handle;
    }
    void* dl = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!dl) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    auto module = std::make_shared<LoadedModule>();
    module->path = path;
    module->dl = dl;
    module->refs = 1;
    struct link_map* map = nullptr;
    if (::dlinfo(dl, RTLD_DI_LINKMAP, &map) == 0) module->linkMap = map;
    module->handle = platform::RegisterHandle(module);
    r.byPath.emplace(path, module);
    r.loadOrder.push_back(module);
    // Registered after the module's own static objects, so it runs before they go.
    std::atexit(DetachAllAtExit);

    if (!CallInitialize(*module, DLL_PROCESS_ATTACH)) {
        module->refs = 0;  // references taken during its attach go with it
        CallInitialize(*module, DLL_PROCESS_DETACH);
        Forget(r, module);
        ::dlclose(dl);
        SetLastError(ERROR_DLL_INIT_FAILED);
        return nullptr;
    }
    return module->handle;
}

DWORD CopyPath(const std::u16string& path, LPWSTR out, DWORD size)
{
    if (!out || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < size) {
        std::copy(path.begin(), path.end(), out);
        out[path.size()] = 0;
        return static_cast<DWORD>(path.size());
    }
    std::copy(path.begin(), path.begin() + (size - 1), out);
    out[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

std::string AnsiToUtf8(LPCSTR s)
{
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    if (n <= 0) return {};
    std::u16string wide(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n - 1));
    return platform::Narrow(wide);
}

HMODULE Find(const std::string& name)
{
    const std::string path = CanonicalPath(ResolveModuleName(name));
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto it = path.empty() ? r.byPath.end() : r.byPath.find(path);
    if (it == r.byPath.end() || it->second->refs == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return it->second->handle;
}

}  // namespace

std::shared_ptr<LoadedModule> FindLoadedModule(HMODULE h)
{
    auto module = platform::LookupHandle<LoadedModule>(h);
    if (!module) SetLastError(ERROR_INVALID_HANDLE);
    return module;
}

unsigned ModuleReferenceCount(HMODULE hModule)
{
    auto module = platform::LookupHandle<LoadedModule>(hModule);
    if (!module) return 0;
    std::lock_guard guard(TheRegistry().lock);
    return module->refs;
}

std::string ModulePath(HMODULE hModule)
{
    auto module = platform::LookupHandle<LoadedModule>(hModule);
    return module ? module->path : std::string();
}

}  // namespace user

extern "C" {

HMODULE LoadLibraryW(LPCWSTR lpLibFileName)
{
    if (!lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return user::Load(platform::Narrow(lpLibFileName));
}

HMODULE LoadLibraryA(LPCSTR lpLibFileName)
{
    if (!lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return user::Load(user::AnsiToUtf8(lpLibFileName));
}

BOOL FreeLibrary(HMODULE hLibModule)
{
    auto module = user::FindLoadedModule(hLibModule);
    if (!module) return FALSE;
    user::Registry& r = user::TheRegistry();
    std::lock_guard guard(r.lock);
    if (module->refs == 0) return TRUE;  // being detached: nothing more to drop
    if (--module->refs > 0 || r.exiting) return TRUE;
    user::CallInitialize(*module, DLL_PROCESS_DETACH);
    user::Forget(r, module);
    ::dlclose(module->dl);
    return TRUE;
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    auto module = user::FindLoadedModule(hModule);
    if (!module) return nullptr;
    // Names only: a value below 0x10000 would be an ordinal.
    if (reinterpret_cast<std::uintptr_t>(lpProcName) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* sym = user::OwnSymbol(*module, lpProcName);
    if (!sym) SetLastError(ERROR_PROC_NOT_FOUND);
    return reinterpret_cast<FARPROC>(sym);
}

HMODULE GetModuleHandleW(LPCWSTR lpModuleName)
{
    if (!lpModuleName) {
        SetLastError(ERROR_MOD_NOT_FOUND);  // the program itself is no module here
        return nullptr;
    }
    return user::Find(platform::Narrow(lpModuleName));
}

HMODULE GetModuleHandleA(LPCSTR lpModuleName)
{
    if (!lpModuleName) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return user::Find(user::AnsiToUtf8(lpModuleName));
}

DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize)
{
    std::string path;
    if (!hModule) {
        char buffer[PATH_MAX];
        ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return 0;
        }
        path.assign(buffer, static_cast<size_t>(n));
    } else {
        auto module = user::FindLoadedModule(hModule);
        if (!module) return 0;
        path = module->path;
    }
    return user::CopyPath(platform::Widen(path), lpFilename, nSize);
}

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize)
{
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::u16string wide(PATH_MAX, u'\0');
    DWORD n = GetModuleFileNameW(hModule, wide.data(), static_cast<DWORD>(wide.size()));
    if (n == 0) return 0;
    wide.resize(n);
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(std::max(bytes, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), bytes, nullptr, nullptr);
    DWORD len = static_cast<DWORD>(ansi.size());
    if (len < nSize) {
        std::copy(ansi.begin(), ansi.end(), lpFilename);
        lpFilename[len] = 0;
        return len;
    }
    std::copy(ansi.begin(), ansi.begin() + (nSize - 1), lpFilename);
    lpFilename[nSize - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

}  // extern "C"
