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
