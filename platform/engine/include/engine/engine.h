// Graphics-engine services the render library calls: the engine device (HDEV)
// and its driver and data file names, semaphores, bitmaps and surfaces,
// palettes. Every object is a checked handle; stale or foreign handles are
// refused (ERROR_INVALID_HANDLE), and live objects are counted so tests can
// prove that nothing leaks.
#pragma once

#include <cstddef>

#include "base/wintypes.h"
#include "engine/gdi.h"
#include "spooler/spooler.h"

extern "C" {

// Path of the render library of the device's printer, and of its description
// file. The strings belong to the device and live as long as it does.
LPWSTR EngGetDriverName(HDEV hdev);
LPWSTR EngGetPrinterDataFileName(HDEV hdev);

// Engine semaphores are recursive: the owning thread may acquire again.
HSEMAPHORE EngCreateSemaphore();
void EngAcquireSemaphore(HSEMAPHORE hsem);
void EngReleaseSemaphore(HSEMAPHORE hsem);
void EngDeleteSemaphore(HSEMAPHORE hsem);

// A bitmap of sizl.cx x sizl.cy pixels in format iFormat (BMF_1BPP .. BMF_32BPP),
// lWidth bytes per scan line (0: the smallest DWORD-aligned stride). The engine
// allocates the bits when pvBits is NULL (zeroed unless BMF_NOZEROINIT), else
// uses pvBits, which the caller owns. BMF_TOPDOWN makes scan line 0 the top;
// otherwise pvScan0 is the last line in memory and lDelta is negative.
// NULL (ERROR_INVALID_PARAMETER) for an empty or unknown size or format, a
// stride shorter than a line, or (ERROR_NOT_ENOUGH_MEMORY) bits that cannot be had.
HBITMAP EngCreateBitmap(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl, PVOID pvBits);
// Ties a surface to a device; later locks of the surface carry the device and the
// driver's device record (platform::SetEngineDeviceDriverData).
BOOL EngAssociateSurface(HSURF hsurf, HDEV hdev, FLONG flHooks);
// Marks the surface as the band surface of its device.
BOOL EngMarkBandingSurface(HSURF hsurf);
// Fills the rectangle (clipped to the surface) with iColor: for 24 bpp the
// bytes B, G, R of 0x00RRGGBB; for other formats the low bits of iColor per pixel.
BOOL EngEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor);
// Deletes the surface and the bits the engine allocated for it. Outstanding
// locks become invalid.
BOOL EngDeleteSurface(HSURF hsurf);
// The surface's SURFOBJ, or NULL for an unknown handle. Each lock is released
// with EngUnlockSurface.
SURFOBJ* EngLockSurface(HSURF hsurf);
void EngUnlockSurface(SURFOBJ* pso);

// A palette: PAL_INDEXED with cColors entries from pulColors, PAL_BITFIELDS with
// the three masks, PAL_RGB or PAL_BGR with no further data.
HPALETTE EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors, FLONG flRed, FLONG flGreen, FLONG flBlue);
BOOL EngDeletePalette(HPALETTE hpal);

}  // extern "C"

namespace platform {

// An engine device for one printer: EngGetDriverName gives printer.renderLibrary,
// EngGetPrinterDataFileName gives printer.dataFile. NULL when out of memory.
HDEV CreateEngineDevice(const PrinterRecord& printer);
// Deletes the device. Surfaces still associated with it lose the association.
void DeleteEngineDevice(HDEV hdev);
// The device record the driver returned from DrvEnablePDEV: surfaces associated
// with the device carry it in SURFOBJ::dhpdev. FALSE for an unknown device.
BOOL SetEngineDeviceDriverData(HDEV hdev, DHPDEV dhpdev);
DHPDEV EngineDeviceDriverData(HDEV hdev);

// Whether EngMarkBandingSurface was called for the surface.
bool IsBandingSurface(HSURF hsurf);

// Live objects, for leak checks.
long LiveEngineDevices();
long LiveSemaphores();
long LiveSurfaces();
long LivePalettes();
long LockedSurfaces();

// Makes EngCreateBitmap fail (ERROR_NOT_ENOUGH_MEMORY) for bitmaps whose engine-
// allocated bits exceed cb bytes; 0 restores the default limit (256 MiB).
void SetBitmapByteLimit(std::size_t cb);

}  // namespace platform
