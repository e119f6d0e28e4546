// The spooler reaches the module loader of the user-interface stand-ins at run
// time, as the real spooler calls the system loader: the loader lives in a
// library above this one, present in every process that loads UI libraries.
#include "driver_module.h"

#include <dlfcn.h>

#include "base/codepage.h"

namespace platform {
namespace {

using LoadLibraryWFn = HMODULE (*)(LPCWSTR);
using GetProcAddressFn = void* (*)(HMODULE, LPCSTR);
using FreeLibraryFn = BOOL (*)(HMODULE);

struct Loader {
    LoadLibraryWFn load = nullptr;
    GetProcAddressFn proc = nullptr;
    FreeLibraryFn free = nullptr;
    bool ok() const { return load && proc && free; }
};

Loader FindLoader()
{
    Loader l;
    l.load = reinterpret_cast<LoadLibraryWFn>(::dlsym(RTLD_DEFAULT, "LoadLibraryW"));
    l.proc = reinterpret_cast<GetProcAddressFn>(::dlsym(RTLD_DEFAULT, "GetProcAddress"));
    l.free = reinterpret_cast<FreeLibraryFn>(::dlsym(RTLD_DEFAULT, "FreeLibrary"));
    return l;
}

std::string FileNamePart(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::unique_ptr<DriverModule> DriverModule::Load(const std::string& file, DWORD& error)
{
    error = ERROR_SUCCESS;
    const Loader loader = FindLoader();
    const std::string name = FileNamePart(file);
    if (!loader.ok() || name.empty()) {
        error = kErrorModNotFound;
        return nullptr;
    }
    const std::u16string wname = Widen(name);
    HMODULE h = loader.load(wname.c_str());
    if (!h) {
        error = kErrorModNotFound;
        return nullptr;
    }
    std::unique_ptr<DriverModule> m(new DriverModule);
    m->module_ = h;
    return m;
}

DriverModule::~DriverModule()
{
    if (module_) FindLoader().free(module_);
}

void* DriverModule::RawProc(const char* name) const { return FindLoader().proc(module_, name); }

}  // namespace platform
