// Loading render libraries: dlopen, DrvEnableDriver and the entry table.
#include "engine/engine_driver.h"

#include <dlfcn.h>

#include <map>
#include <memory>
#include <mutex>

namespace platform {
namespace {

struct DriverCache {
    std::mutex lock;
    std::map<std::string, std::unique_ptr<RenderDriver>> drivers;
};

DriverCache& Cache()
{
    static DriverCache cache;
    return cache;
}

template <class F>
bool Take(const DRVENABLEDATA& ded, ULONG index, F& slot)
{
    for (ULONG i = 0; i < ded.c; ++i)
        if (ded.pdrvfn[i].iFunc == index && ded.pdrvfn[i].pfn) {
            slot = reinterpret_cast<F>(ded.pdrvfn[i].pfn);
            return true;
        }
    return false;
}

}  // namespace

const RenderDriver* LoadRenderDriver(const std::string& path, std::string& why)
{
    DriverCache& cache = Cache();
    std::lock_guard guard(cache.lock);
    if (auto it = cache.drivers.find(path); it != cache.drivers.end()) return it->second.get();

    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* e = ::dlerror();
        why = "cannot load the render library " + path + (e ? std::string(": ") + e : std::string());
        return nullptr;
    }
    auto enable = reinterpret_cast<PFN_DrvEnableDriver>(::dlsym(module, "DrvEnableDriver"));
    DRVENABLEDATA ded{};
    if (!enable || !enable(DDI_DRIVER_VERSION_NT4, sizeof ded, &ded) || !ded.pdrvfn) {
        why = "the render library " + path + " did not enable";
        ::dlclose(module);
        return nullptr;
    }
    auto d = std::make_unique<RenderDriver>();
    d->path = path;
    d->module = module;
    const bool complete = Take(ded, INDEX_DrvEnablePDEV, d->DrvEnablePDEV) &&
                          Take(ded, INDEX_DrvResetPDEV, d->DrvResetPDEV) &&
                          Take(ded, INDEX_DrvCompletePDEV, d->DrvCompletePDEV) &&
                          Take(ded, INDEX_DrvDisablePDEV, d->DrvDisablePDEV) &&
                          Take(ded, INDEX_DrvEnableSurface, d->DrvEnableSurface) &&
                          Take(ded, INDEX_DrvDisableSurface, d->DrvDisableSurface) &&
                          Take(ded, INDEX_DrvStartDoc, d->DrvStartDoc) && Take(ded, INDEX_DrvEndDoc, d->DrvEndDoc) &&
                          Take(ded, INDEX_DrvStartPage, d->DrvStartPage) &&
                          Take(ded, INDEX_DrvSendPage, d->DrvSendPage) && Take(ded, INDEX_DrvEscape, d->DrvEscape) &&
                          Take(ded, INDEX_DrvStartBanding, d->DrvStartBanding) &&
                          Take(ded, INDEX_DrvNextBand, d->DrvNextBand);
    if (!complete) {
        why = "the render library " + path + " lacks entry points";
        ::dlclose(module);
        return nullptr;
    }
    return cache.drivers.emplace(path, std::move(d)).first->second.get();
}

void UnloadRenderDrivers()
{
    DriverCache& cache = Cache();
    std::lock_guard guard(cache.lock);
    for (auto& [path, d] : cache.drivers) ::dlclose(d->module);
    cache.drivers.clear();
}

}  // namespace platform
