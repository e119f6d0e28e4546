// Engine bitmaps and surfaces: the band surface a printer driver hands the
// engine, the association with its device and the locks the engine takes to
// pass it to the driver.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

#include "base/memory.h"
#include "engine/engine.h"
#include "engine_internal.h"

namespace platform {
namespace {

constexpr ULONG kBitsTag = 0x706d6247;  // the bytes "Gbmp"
constexpr std::size_t kDefaultByteLimit = std::size_t{256} << 20;

std::atomic<long> liveSurfaces{0};
std::atomic<long> lockedSurfaces{0};
std::atomic<std::size_t> byteLimit{kDefaultByteLimit};

struct EngineSurface : EngineObject {
    EngineSurface() { ++liveSurfaces; }
    ~EngineSurface() override
    {
        lockedSurfaces -= locks;
        if (ownsBits) EngFreeMem(bits);
        --liveSurfaces;
    }
    std::mutex lock;
    SURFOBJ so{};
    PBYTE bits = nullptr;
    bool ownsBits = false;
    HDEV hdev = nullptr;
    bool banding = false;
    long locks = 0;
};

std::shared_ptr<EngineSurface> LookupSurface(HSURF hsurf)
{
    return LookupHandle<EngineSurface>(reinterpret_cast<HANDLE>(hsurf));
}

// The surface a SURFOBJ pointer belongs to, only when it is that surface's own record.
std::shared_ptr<EngineSurface> SurfaceOf(const SURFOBJ* pso)
{
    if (!pso) return nullptr;
    auto surface = LookupSurface(pso->hsurf);
    return surface && &surface->so == pso ? surface : nullptr;
}

ULONG BitsPerPixel(ULONG iFormat)
{
    switch (iFormat) {
    case BMF_1BPP: return 1;
    case BMF_4BPP: return 4;
    case BMF_8BPP: return 8;
    case BMF_16BPP: return 16;
    case BMF_24BPP: return 24;
    case BMF_32BPP: return 32;
    default: return 0;
    }
}

// Stores the low bits of iColor into pixel x of a scan line.
void PutPixel(PBYTE line, LONG x, ULONG bpp, ULONG iColor)
{
    switch (bpp) {
    case 1: {
        BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
        line[x / 8] = static_cast<BYTE>((iColor & 1) ? (line[x / 8] | mask) : (line[x / 8] & ~mask));
        break;
    }
    case 4: {
        BYTE& b = line[x / 2];
        b = (x & 1) ? static_cast<BYTE>((b & 0xF0) | (iColor & 0x0F))
                    : static_cast<BYTE>((b & 0x0F) | ((iColor & 0x0F) << 4));
        break;
    }
    default:
        for (ULONG i = 0; i < bpp / 8; ++i) line[static_cast<std::size_t>(x) * (bpp / 8) + i] = static_cast<BYTE>(iColor >> (8 * i));
        break;
    }
}

}  // namespace

bool IsBandingSurface(HSURF hsurf)
{
    auto surface = LookupSurface(hsurf);
    if (!surface) return false;
    std::lock_guard guard(surface->lock);
    return surface->banding;
}

long LiveSurfaces() { return liveSurfaces; }
long LockedSurfaces() { return lockedSurfaces; }

void SetBitmapByteLimit(std::size_t cb) { byteLimit = cb ? cb : kDefaultByteLimit; }

}  // namespace platform

extern "C" {

HBITMAP EngCreateBitmap(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl, PVOID pvBits)
{
    using platform::EngineSurface;
    ULONG bpp = platform::BitsPerPixel(iFormat);
    if (bpp == 0 || sizl.cx <= 0 || sizl.cy <= 0 || lWidth < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::uint64_t cbLine = (static_cast<std::uint64_t>(sizl.cx) * bpp + 7) / 8;
    const std::uint64_t stride =
        lWidth ? static_cast<std::uint64_t>(lWidth) : (static_cast<std::uint64_t>(sizl.cx) * bpp + 31) / 32 * 4;
    if (stride < cbLine || stride > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::uint64_t cbBits = stride * static_cast<std::uint64_t>(sizl.cy);
    if (!pvBits && (cbBits > platform::byteLimit.load() || cbBits > 0xFFFFFFFFull)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }

    auto surface = std::shared_ptr<EngineSurface>(new (std::nothrow) EngineSurface);
    if (!surface) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (pvBits) {
        surface->bits = static_cast<PBYTE>(pvBits);
    } else {
        ULONG flAlloc = (fl & BMF_NOZEROINIT) ? 0 : FL_ZERO_MEMORY;
        surface->bits = static_cast<PBYTE>(EngAllocMem(flAlloc, static_cast<ULONG>(cbBits), platform::kBitsTag));
        if (!surface->bits) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        surface->ownsBits = true;
    }

    HANDLE h = platform::RegisterHandle(surface);
    if (!h) return nullptr;
    SURFOBJ& so = surface->so;
    so.hsurf = reinterpret_cast<HSURF>(h);
    so.sizlBitmap = sizl;
    so.cjBits = static_cast<ULONG>(cbBits);
    so.pvBits = surface->bits;
    if (fl & BMF_TOPDOWN) {
        so.pvScan0 = surface->bits;
        so.lDelta = static_cast<LONG>(stride);
    } else {
        so.pvScan0 = surface->bits + stride * static_cast<std::uint64_t>(sizl.cy - 1);
        so.lDelta = -static_cast<LONG>(stride);
    }
    so.iBitmapFormat = iFormat;
    so.iType = STYPE_BITMAP;
    so.fjBitmap = static_cast<USHORT>(fl & (BMF_TOPDOWN | BMF_NOZEROINIT | BMF_DONTCACHE | BMF_USERMEM));
    return reinterpret_cast<HBITMAP>(h);
}

BOOL EngAssociateSurface(HSURF hsurf, HDEV hdev, FLONG /*flHooks*/)
{
    auto surface = platform::LookupSurface(hsurf);
    if (!surface || !platform::LookupEngineDevice(hdev)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard guard(surface->lock);
    surface->hdev = hdev;
    surface->so.hdev = hdev;
    return TRUE;
}

BOOL EngMarkBandingSurface(HSURF hsurf)
{
    auto surface = platform::LookupSurface(hsurf);
    if (!surface) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard guard(surface->lock);
    surface->banding = true;
    return TRUE;
}

BOOL EngEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor)
{
    auto surface = platform::SurfaceOf(pso);
    if (!surface || !prcl) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const SURFOBJ& so = surface->so;
    const LONG left = std::max<LONG>(prcl->left, 0);
    const LONG top = std::max<LONG>(prcl->top, 0);
    const LONG right = std::min<LONG>(prcl->right, so.sizlBitmap.cx);
    const LONG bottom = std::min<LONG>(prcl->bottom, so.sizlBitmap.cy);
    const ULONG bpp = platform::BitsPerPixel(so.iBitmapFormat);
    for (LONG y = top; y < bottom; ++y) {
        PBYTE line = static_cast<PBYTE>(so.pvScan0) + static_cast<std::ptrdiff_t>(y) * so.lDelta;
        if (bpp == 24 && right > left) {
            const BYTE bgr[3] = {static_cast<BYTE>(iColor), static_cast<BYTE>(iColor >> 8), static_cast<BYTE>(iColor >> 16)};
            if (bgr[0] == bgr[1] && bgr[1] == bgr[2]) {
                std::memset(line + static_cast<std::size_t>(left) * 3, bgr[0], static_cast<std::size_t>(right - left) * 3);
                continue;
            }
        }
        for (LONG x = left; x < right; ++x) platform::PutPixel(line, x, bpp, iColor);
    }
    return TRUE;
}

BOOL EngDeleteSurface(HSURF hsurf)
{
    if (!platform::ReleaseHandleOf<platform::EngineSurface>(reinterpret_cast<HANDLE>(hsurf))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

SURFOBJ* EngLockSurface(HSURF hsurf)
{
    auto surface = platform::LookupSurface(hsurf);
    if (!surface) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    std::lock_guard guard(surface->lock);
    surface->so.dhpdev = surface->hdev ? platform::EngineDeviceDriverData(surface->hdev) : nullptr;
    ++surface->locks;
    ++platform::lockedSurfaces;
    return &surface->so;
}

void EngUnlockSurface(SURFOBJ* pso)
{
    auto surface = platform::SurfaceOf(pso);
    if (!surface) return;
    std::lock_guard guard(surface->lock);
    if (surface->locks == 0) return;
    --surface->locks;
    --platform::lockedSurfaces;
}

}  // extern "C"
