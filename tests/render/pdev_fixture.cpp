#include "render/pdev_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

#include "banding.h"
#include "channel.h"
#include "commands.h"
#include "engine/engine.h"

namespace lbltest {

namespace {

HANDLE NextPrinterHandle()
{
    static ULONG_PTR next = 0x5000;
    next += 0x10;
    return reinterpret_cast<HANDLE>(next);
}

}  // namespace

void ResetDriverState()
{
    dwInitPrint = INITPRINT_PENDING;
    autofeed = 0;
}

TestDevice::TestDevice(const DeviceOptions& o) : hPrinter_(NextPrinterHandle())
{
    sink_ = platform::AttachJobSink(hPrinter_, o.sinkMode, o.cbSinkLimit);
    hHeap_ = HEAPCREATE();
    pdev_ = static_cast<PDEV*>(HEAPALLOC(hHeap_, sizeof(PDEV)));
    std::memset(pdev_, 0, sizeof(PDEV));
    pdev_->dwSignature = DRVEXTRA_SIGNATURE;
    pdev_->dwSignature2 = DRVEXTRA_SIGNATURE;
    pdev_->hHeap = hHeap_;
    pdev_->hPrinter = hPrinter_;
    pdev_->dm = dmDefault;
    DRVEXTRA& x = pdev_->dm.dmPrivate;
    x.dwModel = o.dwModel;
    x.bColorDevice = o.bColor ? 1 : 0;
    pdev_->dm.dmPublic.dmColor = o.bColor ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
    pdev_->dm.dmPublic.dmOrientation = o.bLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    pdev_->cPlanes = o.bColor ? 4 : 1;
    pdev_->cCopies = 1;
    pdev_->formInfo.bLandscape = o.bLandscape ? 1 : 0;
    pdev_->cxPaper = o.cxPaper;
    pdev_->cyPaper = o.cyPaper;
    pdev_->cxPixels = o.cxPixels;
    pdev_->cyPixels = o.cyPixels;

    label_.cbSize = sizeof(LABELDATA);
    label_.lPitch = 800;
    label_.iSensor = 1;
    pdev_->formInfo.pLabel = &label_;
    prop_.wVersion = PRINTERPROP_VERSION;
    prop_.wSize = sizeof(PRINTERPROP);
    pdev_->pPrinterProp = &prop_;
    pdev_->pSpotColor = spot_;
    InitSendBuffer(pdev_);

    // Portrait bands span the page width, landscape bands the page height.
    // The engine's bitmap over bits_, whose stride has padding, as real surfaces may have.
    const SIZEL szl{o.cxBand ? o.cxBand : o.cxPixels, o.cyBand ? o.cyBand : o.cyPixels};
    const LONG lDelta = 3 * szl.cx + 5;
    bits_.assign(static_cast<std::size_t>(lDelta) * szl.cy, 0x55);
    hsurf_ = reinterpret_cast<HSURF>(EngCreateBitmap(szl, lDelta, BMF_24BPP, BMF_TOPDOWN, bits_.data()));
    pso_ = EngLockSurface(hsurf_);
    pso_->dhpdev = reinterpret_cast<DHPDEV>(pdev_);
}

TestDevice::~TestDevice()
{
    EngUnlockSurface(pso_);
    EngDeleteSurface(hsurf_);
    HEAPDESTROY(hHeap_);
    platform::DetachJobSink(hPrinter_);
}

std::string TestDevice::Sent() const
{
    const std::vector<BYTE> b = sink_->Bytes();
    return std::string(b.begin(), b.end());
}

void TestDevice::StartDoc()
{
    pdev_->flPdev |= PDEVF_DOCSTARTED;
    pdev_->cPages = 0;
    InitDevice(pdev_);
}

void TestDevice::EndDoc()
{
    TermDevice(pdev_);
    FlushChannel(pdev_);
    pdev_->flPdev &= ~(PDEVF_DOCSTARTED | PDEVF_PAGESTARTED);
}

void TestDevice::PaintBand(const PagePainter& paint, POINTL origin)
{
    // The surface may show stale bytes outside the band; the driver erased the
    // band to white, and the page content is drawn over it.
    const LONG cx = pdev_->rclBand.right - pdev_->rclBand.left;
    const LONG cy = pdev_->rclBand.bottom - pdev_->rclBand.top;
    for (LONG y = 0; y < cy; ++y) {
        BYTE* line = bits_.data() + static_cast<std::size_t>(y) * pso_->lDelta;
        for (LONG x = 0; x < cx; ++x) {
            BYTE* px = line + 3 * x;
            EXPECT_EQ(px[0] & px[1] & px[2], 0xFF) << "band not erased at " << x << "," << y;
            const DWORD rgb = paint(origin.x + x, origin.y + y);
            px[0] = BYTE(rgb);        // blue
            px[1] = BYTE(rgb >> 8);   // green
            px[2] = BYTE(rgb >> 16);  // red
        }
    }
}

bool TestDevice::PrintPage(const PagePainter& paint)
{
    POINTL pt{};
    bandsDone = 0;
    if (!DrvStartBanding(pso_, &pt)) return false;
    while (pt.x != -1 || pt.y != -1) {
        if (!(prop_.bPassThrough)) PaintBand(paint, pt);
        if (!DrvNextBand(pso_, &pt)) return false;
        ++bandsDone;
    }
    return true;
}

std::string Cmd(const std::string& body) { return "\x1b" + body + std::string("\n\0", 2); }

std::string Bytes(std::size_t n, BYTE b) { return std::string(n, static_cast<char>(b)); }

std::string BigEndian32(DWORD v)
{
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
}

}  // namespace lbltest
