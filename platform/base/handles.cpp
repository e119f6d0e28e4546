// The process-wide handle table.
#include "base/handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace platform {
namespace {

std::mutex& TableLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_map<std::uintptr_t, std::shared_ptr<HandleObject>>& Table()
{
    static auto* table = new std::unordered_map<std::uintptr_t, std::shared_ptr<HandleObject>>;
    return *table;
}

std::uintptr_t nextHandle = 0x1000;

}  // namespace

HANDLE RegisterHandle(std::shared_ptr<HandleObject> object)
{
    if (!object) return nullptr;
    std::lock_guard guard(TableLock());
    std::uintptr_t value = nextHandle;
    nextHandle += 4;
    Table().emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<HandleObject> LookupHandleObject(HANDLE h)
{
    std::lock_guard guard(TableLock());
    auto it = Table().find(reinterpret_cast<std::uintptr_t>(h));
    return it == Table().end() ? nullptr : it->second;
}

bool ReleaseHandle(HANDLE h)
{
    std::shared_ptr<HandleObject> object;  // destroyed outside the lock
    std::lock_guard guard(TableLock());
    auto it = Table().find(reinterpret_cast<std::uintptr_t>(h));
    if (it == Table().end()) return false;
    object = std::move(it->second);
    Table().erase(it);
    return true;
}

}  // namespace platform
