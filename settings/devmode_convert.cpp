// Device-mode versions and conversion between device modes of other sizes.
#include <algorithm>
#include <cstring>

#include "settings/settings.h"

namespace {

// Bytes of a device mode needed to read its version and size fields.
constexpr DWORD kHeaderSize = offsetof(DEVMODEW, dmFields);

DWORD FullSize(const DEVMODEW* pdm)
{
    return pdm ? static_cast<DWORD>(pdm->dmSize) + pdm->dmDriverExtra : 0;
}

}  // namespace

WORD CheckDevmodeVersion(const DEVMODEW* pdm)
{
    if (!pdm) return 0;
    switch (pdm->dmSize) {
    case 188: return 0x0320;
    case 212: return 0x0400;
    case 220: return 0x0401;
    default: return pdm->dmSpecVersion;
    }
}

LONG ConvertDevmodeSized(const DEVMODEW* pdmIn, DWORD cbIn, DEVMODEW* pdmOut, DWORD cbOut)
{
    if (!pdmIn || !pdmOut || cbIn < kHeaderSize || cbOut < kHeaderSize) return -1;
    const WORD wVersionIn = CheckDevmodeVersion(pdmIn);
    const WORD wVersionOut = CheckDevmodeVersion(pdmOut);
    if (wVersionIn == 0 || wVersionOut == 0) return -1;

    const WORD wSizeIn = pdmIn->dmSize, wExtraIn = pdmIn->dmDriverExtra;
    const WORD wDriverVersion = pdmOut->dmDriverVersion, wSizeOut = pdmOut->dmSize;
    const WORD wExtraOut = pdmOut->dmDriverExtra;

    const DWORD cbPublic = std::min<DWORD>({wSizeIn, wSizeOut, cbIn, cbOut});
    std::memmove(pdmOut, pdmIn, cbPublic);
    pdmOut->dmSpecVersion = wVersionOut;
    pdmOut->dmDriverVersion = wDriverVersion;
    pdmOut->dmSize = wSizeOut;
    pdmOut->dmDriverExtra = wExtraOut;

    // Private parts start at dmSize of each record; copy only what both buffers really hold.
    const DWORD cbAvailIn = cbIn > wSizeIn ? cbIn - wSizeIn : 0;
    const DWORD cbAvailOut = cbOut > wSizeOut ? cbOut - wSizeOut : 0;
    const DWORD cbPrivate = std::min<DWORD>({wExtraIn, wExtraOut, cbAvailIn, cbAvailOut});
    if (cbPrivate)
        std::memmove(reinterpret_cast<BYTE*>(pdmOut) + wSizeOut, reinterpret_cast<const BYTE*>(pdmIn) + wSizeIn,
                     cbPrivate);
    return static_cast<LONG>(cbPublic + cbPrivate);
}

LONG ConvertDevmode(const DEVMODEW* pdmIn, DEVMODEW* pdmOut)
{
    if (!pdmIn || !pdmOut) return -1;
    // Without known buffer sizes, the size fields are all there is to go by.
    return ConvertDevmodeSized(pdmIn, std::max(FullSize(pdmIn), kHeaderSize), pdmOut,
                               std::max(FullSize(pdmOut), kHeaderSize));
}

BOOL ConvertDevmodeOut(const DEVMODEW* pdmSrc, const DEVMODEW* pdmIn, DEVMODEW* pdmOut)
{
    if (!pdmSrc || !pdmOut) return FALSE;
    if (!pdmIn) {
        std::memcpy(pdmOut, pdmSrc, FullSize(pdmSrc));
        return TRUE;
    }
    const DEVMODEW* pPublic = pdmIn->dmSize < pdmSrc->dmSize ? pdmIn : pdmSrc;
    const DEVMODEW* pPrivate = pdmIn->dmDriverExtra < pdmSrc->dmDriverExtra ? pdmIn : pdmSrc;
    pdmOut->dmSpecVersion = pPublic->dmSpecVersion;
    pdmOut->dmSize = pPublic->dmSize;
    pdmOut->dmDriverVersion = pPrivate->dmDriverVersion;
    pdmOut->dmDriverExtra = pPrivate->dmDriverExtra;
    return ConvertDevmode(pdmSrc, pdmOut) > 0;
}

INT CommonDrvConvertDevmode(LPCWSTR, const DEVMODEW* pdmIn, DEVMODEW* pdmOut, LONG* pcbNeeded, DWORD fMode,
                            const DRIVER_VERSION_INFO* pVersions)
{
    if (!pcbNeeded) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!pVersions) pVersions = &DriverVersions;
    const LONG cbBuffer = *pcbNeeded;

    switch (fMode) {
    case CDM_CONVERT:
        // pcbNeeded is the real size of pdmOut: never look past it.
        if (pdmOut && cbBuffer >= static_cast<LONG>(kHeaderSize) &&
            static_cast<LONG>(FullSize(pdmOut)) <= cbBuffer &&
            ConvertDevmodeSized(pdmIn, std::max(FullSize(pdmIn), kHeaderSize), pdmOut,
                                static_cast<DWORD>(cbBuffer)) > 0) {
            *pcbNeeded = static_cast<LONG>(FullSize(pdmOut));
            return 1;
        }
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;

    case CDM_CONVERT351: {
        const LONG cbNeeded = 188 + pVersions->dmDriverExtra351;
        if (pdmOut && cbBuffer >= cbNeeded) {
            pdmOut->dmSpecVersion = 0x0320;
            pdmOut->dmSize = 188;
            pdmOut->dmDriverVersion = pVersions->dmDriverVersion351;
            pdmOut->dmDriverExtra = pVersions->dmDriverExtra351;
            if (!pdmIn || ConvertDevmodeSized(pdmIn, std::max(FullSize(pdmIn), kHeaderSize), pdmOut,
                                              static_cast<DWORD>(cbNeeded)) <= 0) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            *pcbNeeded = cbNeeded;
            return 1;
        }
        *pcbNeeded = cbNeeded;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }

    case CDM_DRIVER_DEFAULT: {
        const LONG cbNeeded = DM_PUBLIC_SIZE + pVersions->dmDriverExtra;
        *pcbNeeded = cbNeeded;
        if (pdmOut && cbBuffer >= cbNeeded) return 2;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }

    default:
        return 2;
    }
}
