// Graphics-engine handle types and records shared by the engine stand-in and the
// render library. Filled out further as the engine stand-in grows.
#pragma once

#include "platform/wintypes.h"

struct HDEV__;
struct HSURF__;
struct HPALETTE__;
struct HSEMAPHORE__;
struct DHPDEV__;
struct DHSURF__;
using HDEV = HDEV__*;
using HSURF = HSURF__*;
using HBITMAP = HSURF__*;
using HPALETTE = HPALETTE__*;
using HSEMAPHORE = HSEMAPHORE__*;
using DHPDEV = DHPDEV__*;
using DHSURF = DHSURF__*;

// Bitmap formats (iBitmapFormat)
constexpr ULONG BMF_1BPP = 1;
constexpr ULONG BMF_4BPP = 2;
constexpr ULONG BMF_8BPP = 3;
constexpr ULONG BMF_16BPP = 4;
constexpr ULONG BMF_24BPP = 5;
constexpr ULONG BMF_32BPP = 6;

// A drawing surface as the engine hands it to a driver: the band bitmap of a
// printer device. pvScan0 is the first scan line; lDelta the bytes from one scan
// line to the next (negative for bottom-up bitmaps).
struct SURFOBJ {
    DHSURF dhsurf;
    HSURF hsurf;
    DHPDEV dhpdev;  // the driver's device record
    HDEV hdev;
    SIZEL sizlBitmap;
    ULONG cjBits;
    PVOID pvBits;
    PVOID pvScan0;
    LONG lDelta;
    ULONG iUniq;
    ULONG iBitmapFormat;
    USHORT iType;
    USHORT fjBitmap;
};
using PSURFOBJ = SURFOBJ*;
