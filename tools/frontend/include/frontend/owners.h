// RAII owners of the platform handles and driver buffers the front ends hold: printer
// handles, loaded driver modules, description records, heaps, global memory
// and the buffers the settings library hands out.
#pragma once

#include <memory>

#include "description/ppd.h"
#include "base/memory.h"
#include "spooler/spooler.h"
#include "settings/settings.h"
#include "user/modules.h"

namespace frontend {

// An open spooler handle, closed when it goes out of scope.
struct PrinterHandle {
    HANDLE h = nullptr;
    PrinterHandle() = default;
    explicit PrinterHandle(HANDLE handle) : h(handle) {}
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    ~PrinterHandle()
    {
        if (h) ClosePrinter(h);
    }
};

struct PpdDeleter {
    void operator()(PPDDATA* p) const { PpdDelete(p); }
};
using PpdPtr = std::unique_ptr<PPDDATA, PpdDeleter>;

struct DrvMemDeleter {
    void operator()(void* p) const
    {
        if (p) DrvFreeMem(p);
    }
};
template <class T>
using DrvPtr = std::unique_ptr<T, DrvMemDeleter>;

struct LabelDbDeleter {
    void operator()(LABELDATA* p) const { FreeLabelDatabase(p); }
};
using LabelDbPtr = std::unique_ptr<LABELDATA, LabelDbDeleter>;

struct HeapDeleter {
    void operator()(void* h) const
    {
        if (h) HeapDestroy(h);
    }
};
using HeapPtr = std::unique_ptr<void, HeapDeleter>;

struct GlobalDeleter {
    void operator()(void* p) const
    {
        if (p) GlobalFree(p);
    }
};
using GlobalPtr = std::unique_ptr<void, GlobalDeleter>;

// A module loaded with LoadLibrary, freed when it goes out of scope.
struct ModuleHandle {
    HMODULE h = nullptr;
    ModuleHandle() = default;
    ModuleHandle(ModuleHandle&& o) noexcept : h(o.h) { o.h = nullptr; }
    ModuleHandle(const ModuleHandle&) = delete;
    ModuleHandle& operator=(const ModuleHandle&) = delete;
    ~ModuleHandle()
    {
        if (h) FreeLibrary(h);
    }
};

}  // namespace frontend
