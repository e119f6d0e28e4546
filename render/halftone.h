// Halftoning: turns a 24-bit band (blue, green, red bytes; top-down) into the
// 1-bit ink planes of the PDEV (0 black or black spot, 1 magenta, 2 cyan,
// 3 yellow), by ordered dither or serpentine error diffusion, with spot-colour
// substitution, landscape rotation and black generation.
#pragma once

#include "base/wintypes.h"
#include "pdev.h"

// Value scale of the pixel readers.
constexpr INT GETLINE_DITHER = 'A';       // ordered dither: values mapped through ColorTbl (0..64)
constexpr INT GETLINE_DIFFUSION = 0x100;  // error diffusion: raw ink amounts (0..255)

// Driver-wide level table of the ordered dither: ColorTbl[i] = (i + 1) >> 2.
// Rebuilt by every Dither call.
extern LONG ColorTbl[256];

// The two 8x8 threshold matrices, indexed [row][column]; each holds 0..63 once.
extern const LONG Dither1[8][8];
extern const LONG Dither2[8][8];

// Ordered dither of one band. Reads cx x cy pixels at pBits (lDelta bytes per
// line); writes the halftoned planes of pPDev through apPlaneCursor, which it
// advances. The planes must hold ((w + 7) >> 3) x h zeroed bytes, where (w, h)
// is (cx, cy), or (cy, cx) when bLandscape is set (the band is then turned 90
// degrees clockwise). Rebuilds ColorTbl. FALSE when a line buffer cannot be
// allocated or an argument is invalid; the planes are then incomplete.
BOOL Dither(PDEV* pPDev, const BYTE* pBits, LONG cx, LONG cy, LONG lDelta, BOOL bLandscape);

// Serpentine error diffusion of one band; arguments, planes and result as Dither.
BOOL FloydSteinberg(PDEV* pPDev, const BYTE* pBits, LONG cx, LONG cy, LONG lDelta, BOOL bLandscape);

// Reads cPixels consecutive pixels (3 bytes apart) from pSrc and stores each
// pixel's ink amount at positions 0, 1, 2, ... of the plane line buffers
// apLine[0..3] (monochrome: apLine[0] only; colour: 1 magenta, 2 cyan,
// 3 yellow always, 0 only what SpotColor writes). iMode is GETLINE_DITHER or
// GETLINE_DIFFUSION.
void Get1LineP(PDEV* pPDev, const BYTE* pSrc, LONG* const apLine[4], LONG cPixels, INT iMode);

// As Get1LineP, but the pixels are lStep bytes apart (one band column) and are
// stored at positions cPixels - 1, cPixels - 2, ..., 0.
void Get1LineL(PDEV* pPDev, const BYTE* pSrc, LONG* const apLine[4], LONG cPixels, LONG lStep, INT iMode);

// Applies the spot-colour entries of pPDev->pSpotColor to the pixel (r, g, b).
// Writes *plBlack (255 or 0) only when the black entry is active (bFourColor 1
// and its bSpotColor set). Returns the resulting colour as r | g << 8 | b << 16.
DWORD SpotColor(PDEV* pPDev, BYTE r, BYTE g, BYTE b, LONG* plBlack);

// Black generation over the first cb bytes of apPlane[0..3]: the dots that
// cyan, magenta and yellow share move into the black plane.
void CreateBlackPlane(PDEV* pPDev, DWORD cb);
