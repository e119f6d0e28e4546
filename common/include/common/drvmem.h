// Memory of the shared driver code: the kernel pool (tag "Dpsm") in the render
// build, fixed global memory in the UI build. Blocks are not zeroed unless asked.
#pragma once

#include <cstddef>

#include "base/wintypes.h"

// Pool tag of the shared code and the halftoners in the render build: the bytes "Dpsm".
constexpr ULONG DRV_POOL_TAG = 0x6D737044;

void* DrvAllocMem(std::size_t cb, bool zero = false);
void DrvFreeMem(void* p);
