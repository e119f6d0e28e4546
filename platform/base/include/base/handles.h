// Checked handles: every HANDLE the stand-ins give out names an entry in one
// process-wide table, so a stale or foreign handle is recognised, never used.
#pragma once

#include <memory>

#include "base/wintypes.h"

namespace platform {

struct HandleObject {
    virtual ~HandleObject() = default;
    // False for objects that have their own close function (printers, modules).
    virtual bool ClosedByCloseHandle() const { return true; }
};

// Enters the object in the table and returns its new handle (never NULL or -1).
HANDLE RegisterHandle(std::shared_ptr<HandleObject> object);
// The object of a live handle, or null.
std::shared_ptr<HandleObject> LookupHandleObject(HANDLE h);
// Removes the handle; the object lives on while others hold it. False when unknown.
bool ReleaseHandle(HANDLE h);

template <class T>
std::shared_ptr<T> LookupHandle(HANDLE h)
{
    return std::dynamic_pointer_cast<T>(LookupHandleObject(h));
}

// Removes the handle only when it names an object of type T.
template <class T>
bool ReleaseHandleOf(HANDLE h)
{
    return LookupHandle<T>(h) != nullptr && ReleaseHandle(h);
}

}  // namespace platform
