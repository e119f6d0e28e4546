// Bands of a page: the band walk over the page surface, and the raster output
// of each band (halftone, compress, frame).
#pragma once

#include "engine/gdi.h"
#include "pdev.h"

// Band budget of models whose plane data is never compressed.
constexpr ULONG BAND_BUDGET_LIMIT = 0x800000;

BOOL DrvStartBanding(SURFOBJ* pso, POINTL* pptl);
BOOL DrvNextBand(SURFOBJ* pso, POINTL* pptl);

// Sends one band of cx x cy pixels at pBits (lDelta bytes per line, 0 for 3 x cx)
// as raster data of every plane of the job. Always TRUE: a band that cannot be
// halftoned is sent blank and the page goes on.
BOOL RasterOut(PDEV* pPDev, const BYTE* pBits, LONG cx, LONG cy, LONG lDelta);

// Compresses plane iPlane (w dots per line, h lines, cbPlane bytes) where the
// model allows; returns the bytes to send, below cbPlane when the plane buffer
// now holds compressed data.
DWORD ddfn_CalcDataSize(PDEV* pPDev, INT iPlane, DWORD cbPlane, LONG w, LONG h);

// Byte budget of the band surface: the whole page, capped at BAND_BUDGET_LIMIT
// for models whose planes are sent uncompressed.
ULONG ddfn_CalcBandSize(const PDEV* pPDev, BOOL bLandscape, ULONG cbRow);
