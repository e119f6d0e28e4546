// Engine palettes: the driver's default palette handed to the engine.
#include <atomic>
#include <new>
#include <vector>

#include "engine/engine.h"
#include "engine_internal.h"

namespace platform {
namespace {

std::atomic<long> livePalettes{0};

struct EnginePalette : EngineObject {
    EnginePalette() { ++livePalettes; }
    ~EnginePalette() override { --livePalettes; }
    ULONG iMode = 0;
    std::vector<ULONG> colors;
    FLONG masks[3] = {};
};

}  // namespace

long LivePalettes() { return livePalettes; }

}  // namespace platform

extern "C" {

HPALETTE EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors, FLONG flRed, FLONG flGreen, FLONG flBlue)
{
    constexpr ULONG kMaxColors = 0x10000;
    if (iMode != PAL_INDEXED && iMode != PAL_BITFIELDS && iMode != PAL_RGB && iMode != PAL_BGR) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (iMode == PAL_INDEXED && (cColors == 0 || cColors > kMaxColors)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto pal = std::shared_ptr<platform::EnginePalette>(new (std::nothrow) platform::EnginePalette);
    if (!pal) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    pal->iMode = iMode;
    if (iMode == PAL_INDEXED) {
        pal->colors.assign(cColors, 0);
        if (pulColors) pal->colors.assign(pulColors, pulColors + cColors);
    } else if (iMode == PAL_BITFIELDS) {
        pal->masks[0] = flRed;
        pal->masks[1] = flGreen;
        pal->masks[2] = flBlue;
    }
    return reinterpret_cast<HPALETTE>(platform::RegisterHandle(pal));
}

BOOL EngDeletePalette(HPALETTE hpal)
{
    if (!platform::ReleaseHandleOf<platform::EnginePalette>(reinterpret_cast<HANDLE>(hpal))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
