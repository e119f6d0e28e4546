// String helpers of the shared driver code (settings and description). Compiled
// into both driver builds; the code-page conversions exist only in the UI build.
#pragma once

#include "base/wintypes.h"

// The text after the last '/' or '\' (the whole path when there is none).
LPWSTR StripDirPrefixW(LPWSTR pPath);
const WCHAR* FileNamePart(const WCHAR* pwstrPath);
// Copies at most cchDest - 1 characters, terminates and zero-fills the rest.
void CopyStringW(LPWSTR pDest, LPCWSTR pSrc, INT cchDest);
#if defined(LBL_UI_BUILD)
INT lmemcmp(const void* a, const void* b, INT n);
INT SJIS2Unicode(LPWSTR pDest, LPCSTR pSrc, INT cchDest);
INT Unicode2SJIS(LPSTR pDest, LPCWSTR pSrc, INT cbDest);
#endif
