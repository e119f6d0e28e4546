// Run-length compression of a halftoned plane, in place. A block is cLines
// lines of cbLine bytes; runs never span two lines.
//   header n (signed byte) 0..127: literal of n + 1 bytes follows;
//   -1..-127: the next byte repeated 1 - n times; -128 is never produced.
// Compress2 limits literals to 127 bytes and uses 0x7F c (c = 1..255) for
// "the previous line again, c more times".
#pragma once

#include "base/wintypes.h"
#include "pdev.h"

// Both encoders take their work buffer from pPDev->hHeap. They return the
// length of the encoding, which then replaces the start of pPlane; or, when the
// encoding would not be smaller than cbLine x cLines (or no work buffer could be
// had), a value not smaller than cbLine x cLines, and pPlane is left unchanged.
// cLines of 0 gives 0.
DWORD Compress(PDEV* pPDev, PBYTE pPlane, DWORD cbLine, DWORD cLines);   // model 0
DWORD Compress2(PDEV* pPDev, PBYTE pPlane, DWORD cbLine, DWORD cLines);  // later models
