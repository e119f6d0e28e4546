// Small string helpers of the shared code.
#include <cstring>

#include "common/strings.h"

#if defined(LBL_UI_BUILD)
#include "base/codepage.h"
#endif

const WCHAR* FileNamePart(const WCHAR* pPath)
{
    if (!pPath) return nullptr;
    const WCHAR* pName = pPath;
    for (const WCHAR* p = pPath; *p; ++p) {
        if (*p == u'/' || *p == u'\\') pName = p + 1;
    }
    return pName;
}

LPWSTR StripDirPrefixW(LPWSTR pPath)
{
    return const_cast<LPWSTR>(FileNamePart(pPath));
}

void CopyStringW(LPWSTR pDest, LPCWSTR pSrc, INT cchDest)
{
    if (!pDest || cchDest <= 0) return;
    INT i = 0;
    if (pSrc) {
        for (; i < cchDest - 1 && pSrc[i]; ++i) pDest[i] = pSrc[i];
    }
    for (; i < cchDest; ++i) pDest[i] = 0;
}

#if defined(LBL_UI_BUILD)

INT lmemcmp(const void* a, const void* b, INT n)
{
    if (n < 1) return 0;
    return std::memcmp(a, b, static_cast<std::size_t>(n)) == 0 ? 0 : 1;
}

namespace {

// Length of the longest prefix of pSrc (cbSrc bytes) whose conversion fits in
// cchMax wide characters.
int FittingPrefix(LPCSTR pSrc, int cbSrc, int cchMax)
{
    int lo = 0, hi = cbSrc;
    while (lo < hi) {
        int mid = lo + (hi - lo + 1) / 2;
        int cch = MultiByteToWideChar(CP_ACP, 0, pSrc, mid, nullptr, 0);
        if (cch > 0 && cch <= cchMax) lo = mid; else hi = mid - 1;
    }
    return lo;
}

int FittingPrefixW(LPCWSTR pSrc, int cchSrc, int cbMax)
{
    int lo = 0, hi = cchSrc;
    while (lo < hi) {
        int mid = lo + (hi - lo + 1) / 2;
        int cb = WideCharToMultiByte(CP_ACP, 0, pSrc, mid, nullptr, 0, nullptr, nullptr);
        if (cb > 0 && cb <= cbMax) lo = mid; else hi = mid - 1;
    }
    return lo;
}

int WideLength(LPCWSTR p)
{
    int n = 0;
    while (p[n]) ++n;
    return n;
}

}  // namespace

// Converts with the ANSI code page; what does not fit is cut, and the last
// character of the buffer is always 0. Returns the characters written before
// the terminator.
INT SJIS2Unicode(LPWSTR pDest, LPCSTR pSrc, INT cchDest)
{
    if (!pDest || !pSrc) return 0;
    const int cbSrc = static_cast<int>(std::strlen(pSrc));
    if (cchDest < 1) cchDest = cbSrc + 1;
    const int cbTake = FittingPrefix(pSrc, cbSrc, cchDest - 1);
    int cch = cbTake > 0 ? MultiByteToWideChar(CP_ACP, 0, pSrc, cbTake, pDest, cchDest - 1) : 0;
    if (cch < 0) cch = 0;
    pDest[cch] = 0;
    pDest[cchDest - 1] = 0;
    return cch;
}

// The reverse of SJIS2Unicode; cbDest is in bytes.
INT Unicode2SJIS(LPSTR pDest, LPCWSTR pSrc, INT cbDest)
{
    if (!pDest || !pSrc) return 0;
    const int cchSrc = WideLength(pSrc);
    if (cbDest < 1) cbDest = cchSrc + 1;
    const int cchTake = FittingPrefixW(pSrc, cchSrc, cbDest - 1);
    int cb = cchTake > 0 ? WideCharToMultiByte(CP_ACP, 0, pSrc, cchTake, pDest, cbDest - 1, nullptr, nullptr) : 0;
    if (cb < 0) cb = 0;
    pDest[cb] = 0;
    pDest[cbDest - 1] = 0;
    return cb;
}

#endif  // LBL_UI_BUILD
