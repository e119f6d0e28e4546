// Plain per-line run-length coding of a plane (model 0).
#include <cstdint>
#include <cstring>

#include "render/compress.h"
#include "render/compressline.h"

namespace {
// Larger blocks are no plane of this driver; they are left alone.
constexpr std::uint64_t kMaxRaw = 0x7FFFFFFF;
}  // namespace

DWORD Compress(PDEV* pPDev, PBYTE pPlane, DWORD cbLine, DWORD cLines)
{
    const std::uint64_t raw = static_cast<std::uint64_t>(cbLine) * cLines;
    if (raw == 0) return 0;
    if (raw > kMaxRaw) return 0xFFFFFFFFu;
    if (!pPDev || !pPDev->hHeap || !pPlane) return static_cast<DWORD>(raw);
    PBYTE pWork = static_cast<PBYTE>(HEAPALLOC(pPDev->hHeap, static_cast<SIZE_T>(raw)));
    if (!pWork) return static_cast<DWORD>(raw);

    rle::Output out{pWork, 0, 0, raw};
    DWORD prevPos = 0, prevLen = 0;
    for (DWORD i = 0; i < cLines; ++i) {
        const BYTE* pLine = pPlane + static_cast<std::size_t>(i) * cbLine;
        // A line equal to the one before has the same encoding: copy it.
        if (i > 0 && std::memcmp(pLine, pLine - cbLine, cbLine) == 0) {
            if (!rle::CountEncoded(pWork + prevPos, prevLen, out)) break;
            std::memcpy(pWork + out.pos, pWork + prevPos, prevLen);
            prevPos = out.pos;
            out.pos += prevLen;
            continue;
        }
        const DWORD start = out.pos;
        if (!rle::EncodeLine(pLine, cbLine, rle::MAXLIT_COMPRESS, out, raw - std::uint64_t(i) * cbLine)) break;
        prevPos = start;
        prevLen = out.pos - start;
    }
    if (out.total >= raw) {
        HEAPFREE(pPDev->hHeap, pWork);
        return out.total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(out.total);
    }
    std::memcpy(pPlane, pWork, out.pos);
    HEAPFREE(pPDev->hHeap, pWork);
    return out.pos;
}
