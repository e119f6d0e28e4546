// The device information the engine asks for when it enables a device: the
// default fonts and the palette.
#include <algorithm>
#include <cstring>

#include "driver.h"
#include "engine/engine.h"

namespace {

// The Windows-1252 reading of the Shift-JIS face name bytes 82 6C 82 72 20 83 53 83 56 83 62 83 4E.
constexpr WCHAR kFaceName[] = {0x201A, 0x006C, 0x201A, 0x0072, 0x0020, 0x0192, 0x0053,
                               0x0192, 0x0056, 0x0192, 0x0062, 0x0192, 0x004E, 0};

// A 10-point font at the device's resolution.
LOGFONTW DefaultFont(LONG lDpi)
{
    LOGFONTW lf{};
    lf.lfHeight = -(10 * lDpi + 36) / 72;
    lf.lfWeight = 400;
    lf.lfPitchAndFamily = 0x31;
    static_assert(sizeof(kFaceName) <= sizeof(lf.lfFaceName));
    std::memcpy(lf.lfFaceName, kFaceName, sizeof(kFaceName));
    return lf;
}

}  // namespace

BOOL FillDevinfo(PDEV* pPDev, ULONG cjDevInfo, DEVINFO* pdi)
{
    DEVINFO di{};
    di.flGraphicsCaps = 0;
    di.lfDefaultFont = DefaultFont(pPDev->dm.dmPublic.dmPrintQuality);
    di.lfAnsiVarFont = di.lfDefaultFont;
    di.lfAnsiFixFont = di.lfDefaultFont;
    di.cFonts = 0;
    di.iDitherFormat = BMF_24BPP;
    di.cxDither = 0;
    di.cyDither = 0;

    if (pPDev->hpal) {
        EngDeletePalette(pPDev->hpal);
        pPDev->hpal = nullptr;
    }
    pPDev->hpal = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
    if (!pPDev->hpal) return FALSE;
    di.hpalDefault = pPDev->hpal;

    if (pdi) std::memcpy(pdi, &di, std::min<ULONG>(cjDevInfo, sizeof(di)));
    return TRUE;
}
