// Halftone records of the graphics engine: the device's colour description
// (COLORINFO) and halftone set-up (DEVHTINFO). Fixed-point values are LDECI4,
// the value times 10000.
#pragma once

#include "base/wintypes.h"

using LDECI4 = LONG;

struct CIECHROMA {
    LDECI4 x;
    LDECI4 y;
    LDECI4 Y;
};
static_assert(sizeof(CIECHROMA) == 12);

struct COLORINFO {
    CIECHROMA Red;
    CIECHROMA Green;
    CIECHROMA Blue;
    CIECHROMA Cyan;
    CIECHROMA Magenta;
    CIECHROMA Yellow;
    CIECHROMA AlignmentWhite;
    LDECI4 RedGamma;
    LDECI4 GreenGamma;
    LDECI4 BlueGamma;
    LDECI4 MagentaInCyanDye;
    LDECI4 YellowInCyanDye;
    LDECI4 CyanInMagentaDye;
    LDECI4 YellowInMagentaDye;
    LDECI4 CyanInYellowDye;
    LDECI4 MagentaInYellowDye;
};
static_assert(sizeof(COLORINFO) == 7 * 12 + 9 * 4);

struct DEVHTINFO {
    DWORD HTFlags;
    DWORD HTPatternSize;
    DWORD DevPelsDPI;
    COLORINFO ColorInfo;
};
using PDEVHTINFO = DEVHTINFO*;
static_assert(sizeof(DEVHTINFO) == 12 + sizeof(COLORINFO));

// Halftone constants of GDIINFO / DEVHTINFO.
constexpr DWORD HT_FLAG_HAS_BLACK_DYE = 0x00000002;
constexpr DWORD HT_PATSIZE_6x6 = 4;
constexpr DWORD HT_FORMAT_24BPP = 6;
constexpr DWORD PRIMARY_ORDER_CBA = 4;
