// A printer's UI library as the spooler uses it: loaded by its file name through
// the platform's module loader (which calls its DllInitialize and finds it in the
// driver directory), entry points looked up by name, freed when the owner goes.
#pragma once

#include <memory>
#include <string>

#include "base/wintypes.h"

namespace platform {

// The Windows codes of a missing module and a missing entry point.
constexpr DWORD kErrorModNotFound = 126;
constexpr DWORD kErrorProcNotFound = 127;

class DriverModule {
public:
    // The library of that file name (any directory part is dropped), or null with
    // the Windows error: ERROR_MOD_NOT_FOUND when it cannot be loaded, or when the
    // process has no module loader.
    static std::unique_ptr<DriverModule> Load(const std::string& file, DWORD& error);
    ~DriverModule();
    DriverModule(const DriverModule&) = delete;
    DriverModule& operator=(const DriverModule&) = delete;

    // The exported function of that name, or null.
    template <class F>
    F Proc(const char* name) const
    {
        return reinterpret_cast<F>(RawProc(name));
    }

private:
    DriverModule() = default;
    void* RawProc(const char* name) const;
    HMODULE module_ = nullptr;
};

}  // namespace platform
