// A device record for the plane tests: zero-filled, with a render heap, the
// colour mode, spot colours and zeroed plane buffers the halftoners write to.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "pdev.h"

namespace planes_test {

struct TestDevice {
    std::unique_ptr<PDEV> pdev = std::make_unique<PDEV>();
    SPOTCOLOR aSpot[4] = {};
    std::vector<BYTE> aPlane[4];

    // cPlanes 1 (monochrome) or 4 (colour); bFourColor as given.
    explicit TestDevice(ULONG cPlanes = 1, DWORD bFourColor = 1, DWORD dwModel = 1, INT iHalftone = 0)
    {
        pdev->dwSignature = pdev->dwSignature2 = 0x30343138;
        pdev->hHeap = HEAPCREATE();
        pdev->cPlanes = cPlanes;
        pdev->dm.dmPrivate.bFourColor = bFourColor;
        pdev->dm.dmPrivate.dwModel = dwModel;
        pdev->dm.dmPrivate.iHalftone = iHalftone;
        pdev->pSpotColor = aSpot;
    }
    ~TestDevice() { HEAPDESTROY(pdev->hHeap); }
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    // Zeroed planes of ((w + 7) >> 3) x h bytes, cursors at their starts.
    void ResetPlanes(LONG w, LONG h)
    {
        const size_t cb = static_cast<size_t>((w + 7) >> 3) * h;
        for (int p = 0; p < 4; ++p) {
            aPlane[p].assign(cb + 1, 0);  // one guard byte, checked by the tests
            aPlane[p][cb] = 0xA5;
            pdev->apPlane[p] = pdev->apPlaneCursor[p] = aPlane[p].data();
        }
    }
    PDEV* operator->() { return pdev.get(); }
    PDEV* get() { return pdev.get(); }
};

// A band of cx x cy pixels (blue, green, red), lDelta bytes per line.
struct Band {
    LONG cx, cy, lDelta;
    std::vector<BYTE> bits;
    Band(LONG w, LONG h, BYTE fill = 255, LONG pad = 0) : cx(w), cy(h), lDelta(w * 3 + pad), bits(size_t(lDelta) * h, fill) {}
    BYTE* Px(LONG x, LONG y) { return &bits[size_t(y) * lDelta + size_t(x) * 3]; }
    void Set(LONG x, LONG y, BYTE r, BYTE g, BYTE b)
    {
        BYTE* p = Px(x, y);
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
};

// Random band; with a small palette when bPalette so that spot colours match.
inline Band RandomBand(std::mt19937& rng, LONG cx, LONG cy, bool bPalette)
{
    Band band(cx, cy, 255, 5);
    static const BYTE kPalette[][3] = {{0, 0, 255}, {255, 0, 0}, {0, 255, 0}, {10, 20, 30}, {255, 255, 255}, {0, 0, 0}, {128, 128, 128}};
    for (LONG y = 0; y < cy; ++y)
        for (LONG x = 0; x < cx; ++x) {
            if (bPalette && rng() % 2) {
                const BYTE* c = kPalette[rng() % 7];
                band.Set(x, y, c[2], c[1], c[0]);
            } else {
                band.Set(x, y, BYTE(rng()), BYTE(rng()), BYTE(rng()));
            }
        }
    return band;
}

}  // namespace planes_test
