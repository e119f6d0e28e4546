// The printer escapes: QUERYESCSUPPORT, SETCOPYCOUNT and PASSTHROUGH.
// Every value is read only when the input holds it whole; a short input is
// refused with result 0.
#include <cstring>

#include "channel.h"
#include "driver.h"

namespace {

constexpr ULONG kMaxCopies = 9999;
constexpr ULONG kNoInput = static_cast<ULONG>(-1);

template <class T>
bool ReadInput(ULONG cjIn, const void* pvIn, T* pValue)
{
    if (!pvIn || cjIn < sizeof(T)) return false;
    std::memcpy(pValue, pvIn, sizeof(T));
    return true;
}

ULONG SetCopyCount(PDEV* pPDev, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut)
{
    if (!pvIn) return kNoInput;
    DWORD dwCopies = 0;
    if (!ReadInput(cjIn, pvIn, &dwCopies)) return 0;
    // Compared unsigned: negative counts are above the largest count too.
    if (dwCopies >= kMaxCopies) dwCopies = kMaxCopies;
    if (dwCopies == 0) dwCopies = 1;
    pPDev->cCopies = static_cast<LONG>(dwCopies);
    if (pvOut && cjOut >= sizeof(DWORD)) std::memcpy(pvOut, &dwCopies, sizeof(DWORD));
    return 1;
}

ULONG PassThrough(PDEV* pPDev, ULONG cjIn, PVOID pvIn)
{
    WORD cb = 0;
    if (!ReadInput(cjIn, pvIn, &cb)) return 0;
    if (cjIn - sizeof(WORD) < cb) return 0;
    if (!(pPDev->flPdev & PDEVF_ABORT)) WriteChannel(pPDev, static_cast<const BYTE*>(pvIn) + sizeof(WORD), cb);
    return cb;
}

}  // namespace

BOOL isSupported(ULONG iEsc)
{
    return iEsc == QUERYESCSUPPORT || iEsc == SETCOPYCOUNT || iEsc == PASSTHROUGH;
}

ULONG DrvEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut)
{
    if (!isSupported(iEsc)) return 0;
    if (iEsc == QUERYESCSUPPORT) {
        WORD wEsc = 0;
        if (!ReadInput(cjIn, pvIn, &wEsc)) return 0;
        if (wEsc == SETCOPYCOUNT) return kMaxCopies;
        return isSupported(wEsc);
    }
    PPDEV pPDev = PdevOfSurface(pso);
    if (!pPDev) return 0;
    if (iEsc == SETCOPYCOUNT) return SetCopyCount(pPDev, cjIn, pvIn, cjOut, pvOut);
    return PassThrough(pPDev, cjIn, pvIn);
}
