// Any bytes as the input of a printer escape: DrvEscape with QUERYESCSUPPORT,
// SETCOPYCOUNT, PASSTHROUGH or any other escape number, an input of exactly the
// given size and an output of any size, on a device whose channel collects what
// it sends.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "channel.h"
#include "driver.h"
#include "engine/engine.h"
#include "pdev.h"
#include "spooler/job.h"

namespace {

struct Device {
    HANDLE hPrinter = reinterpret_cast<HANDLE>(0x7000);
    HHEAP hHeap = nullptr;
    PDEV* pdev = nullptr;
    std::vector<BYTE> bits = std::vector<BYTE>(3 * 8 * 8);
    HSURF hsurf = nullptr;
    SURFOBJ* pso = nullptr;

    Device()
    {
        platform::AttachJobSink(hPrinter, platform::JobSink::Mode::FailAfter, 1u << 16);
        hHeap = HEAPCREATE();
        pdev = static_cast<PDEV*>(HEAPALLOC(hHeap, sizeof(PDEV)));
        std::memset(pdev, 0, sizeof(PDEV));
        pdev->dwSignature = pdev->dwSignature2 = DRVEXTRA_SIGNATURE;
        pdev->hHeap = hHeap;
        pdev->hPrinter = hPrinter;
        pdev->dm = dmDefault;
        pdev->cCopies = 1;
        InitSendBuffer(pdev);
        hsurf = reinterpret_cast<HSURF>(EngCreateBitmap(SIZEL{8, 8}, 24, BMF_24BPP, BMF_TOPDOWN, bits.data()));
        pso = EngLockSurface(hsurf);
        pso->dhpdev = reinterpret_cast<DHPDEV>(pdev);
    }
    ~Device()
    {
        EngUnlockSurface(pso);
        EngDeleteSurface(hsurf);
        HEAPDESTROY(hHeap);
        platform::DetachJobSink(hPrinter);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    static const ULONG kEscapes[] = {QUERYESCSUPPORT, SETCOPYCOUNT, PASSTHROUGH, 0, 0xFFFFFFFFu, 4115, 19};
    const ULONG iEsc = kEscapes[data[0] % (sizeof kEscapes / sizeof kEscapes[0])];
    const ULONG cjOut = data[1] % 9;
    const bool noInput = (data[0] & 0x80) && size == 2;
    std::vector<uint8_t> in(data + 2, data + size);
    std::vector<uint8_t> out(cjOut);
    Device device;
    for (int repeat = 0; repeat < 1 + (data[0] >> 5 & 3); ++repeat) {
        ULONG rc = DrvEscape(device.pso, iEsc, static_cast<ULONG>(in.size()), noInput ? nullptr : (in.empty() ? nullptr : in.data()),
                             cjOut, out.empty() ? nullptr : out.data());
        if (iEsc == SETCOPYCOUNT && rc == 1 && (device.pdev->cCopies < 1 || device.pdev->cCopies > 9999)) std::abort();
    }
    return 0;
}
