// The device capabilities the engine asks for when it enables a device.
#include <algorithm>
#include <cstring>

#include "driver.h"

namespace {
constexpr ULONG kColorAdjOffset = COLORADJ_RECORD_SIZE - sizeof(COLORADJUSTMENT);
}

void FillDevcap(PDEV* pPDev, ULONG cjCaps, ULONG* pdevcaps)
{
    const LONG lDpi = pPDev->dm.dmPublic.dmPrintQuality;
    const RECTL& rcl = pPDev->formInfo.rclImageArea;
    const SIZEL& szl = pPDev->formInfo.szlPaper;

    GDIINFO gi{};
    gi.ulVersion = GDIINFO_VERSION;
    gi.ulTechnology = DT_RASPRINTER;
    gi.ulHorzSize = static_cast<ULONG>((rcl.right - rcl.left) / 1000);
    gi.ulVertSize = static_cast<ULONG>((rcl.bottom - rcl.top) / 1000);
    gi.ulHorzRes = static_cast<ULONG>(pPDev->cxPixels);
    gi.ulVertRes = static_cast<ULONG>(pPDev->cyPixels);
    gi.cBitsPixel = 24;
    gi.cPlanes = 1;
    gi.ulNumColors = 256;
    gi.flRaster = 0;
    gi.flTextCaps = 0;
    gi.ulLogPixelsX = static_cast<ULONG>(pPDev->lLogPixels);
    gi.ulLogPixelsY = static_cast<ULONG>(pPDev->lLogPixels);
    gi.ulAspectX = static_cast<ULONG>(lDpi);
    gi.ulAspectY = static_cast<ULONG>(lDpi);
    gi.ulAspectXY = static_cast<ULONG>(lDpi * 1414 / 1000);
    gi.xStyleStep = 1;
    gi.yStyleStep = 1;
    gi.denStyleStep = 6;
    gi.ptlPhysOffset = {MillionToPixel(rcl.left, lDpi), MillionToPixel(rcl.top, lDpi)};
    gi.szlPhysSize = {MillionToPixel(szl.cx, lDpi), MillionToPixel(szl.cy, lDpi)};
    gi.ulNumPalReg = 0;
    gi.ciDevice = DefDevHTInfo.ColorInfo;
    gi.ulDevicePelsDPI = static_cast<ULONG>(lDpi);
    gi.ulPrimaryOrder = PRIMARY_ORDER_CBA;
    gi.ulHTPatternSize = HT_PATSIZE_6x6;
    gi.ulHTOutputFormat = HT_FORMAT_24BPP;
    gi.flHTFlags = HT_FLAG_HAS_BLACK_DYE;
    gi.ulVRefresh = 0;
    gi.ulBltAlignment = 0;
    gi.ulPanningHorzRes = static_cast<ULONG>(pPDev->cxPixels);
    gi.ulPanningVertRes = static_cast<ULONG>(pPDev->cyPixels);

    if (pdevcaps) std::memcpy(pdevcaps, &gi, std::min<ULONG>(cjCaps, sizeof(gi)));
    if (pPDev->pColorAdj)
        std::memcpy(pPDev->pColorAdj + kColorAdjOffset, &pPDev->dm.dmPrivate.coloradj, sizeof(COLORADJUSTMENT));
}
