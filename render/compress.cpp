// Plain per-line run-length coding of a plane (model 0).
#include <cstdint>
#include <cstring>

#include "compress.h"
#include "compressline.h"

DWORD Compress(PDEV* pPDev, PBYTE pPlane, DWORD cbLine, DWORD cLines)
{
    rle::Output out{};
    DWORD cbResult = 0;
    if (!rle::BeginBlock(pPDev, pPlane, cbLine, cLines, out, &cbResult)) return cbResult;
    const std::uint64_t raw = out.limit;
    PBYTE pWork = out.pBuf;
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
    return rle::EndBlock(pPDev, pPlane, out, out.total >= raw, out.pos);
}
