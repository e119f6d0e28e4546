// Run-length coding with line repeats (models after 0): a line equal to the
// last kept line is dropped and counted; 0x7F c says "the previous line again,
// c more times". The running total still counts the runs of dropped lines, so
// a block gives up exactly where encoding every line would reach the raw size.
#include <cstdint>
#include <cstring>

#include "compress.h"
#include "compressline.h"

namespace {
constexpr BYTE REPEAT_MARKER = 0x7F;
constexpr DWORD MAX_REPEATS = 255;
}  // namespace

DWORD Compress2(PDEV* pPDev, PBYTE pPlane, DWORD cbLine, DWORD cLines)
{
    rle::Output out{};
    DWORD cbResult = 0;
    if (!rle::BeginBlock(pPDev, pPlane, cbLine, cLines, out, &cbResult)) return cbResult;
    const std::uint64_t raw = out.limit;
    PBYTE pWork = out.pBuf;
    const BYTE* pKeptLine = nullptr;  // raw bytes of the last kept line
    DWORD keptPos = 0, keptLen = 0;   // its encoding in the work buffer
    DWORD cRepeats = 0;
    bool bAbandoned = false;
    for (DWORD i = 0; i < cLines && !bAbandoned; ++i) {
        const BYTE* pLine = pPlane + static_cast<std::size_t>(i) * cbLine;
        // Equal lines have equal encodings, so comparing the lines decides the
        // repeat; the dropped encoding is still counted run by run.
        if (pKeptLine && cRepeats < MAX_REPEATS && std::memcmp(pLine, pKeptLine, cbLine) == 0) {
            if (!rle::CountEncoded(pWork + keptPos, keptLen, out)) {
                bAbandoned = true;
                break;
            }
            ++cRepeats;
            continue;
        }
        // Encode behind the last kept line, leaving room for a pending marker.
        // The room is covered by the counted runs of the dropped lines, so the
        // work buffer is never overrun.
        const DWORD keptEnd = keptPos + keptLen;
        out.pos = keptEnd + (cRepeats ? 2 : 0);
        const DWORD start = out.pos;
        if (!rle::EncodeLine(pLine, cbLine, rle::MAXLIT_COMPRESS2, out, raw - std::uint64_t(i) * cbLine)) {
            bAbandoned = true;
            break;
        }
        if (cRepeats) {
            pWork[keptEnd] = REPEAT_MARKER;
            pWork[keptEnd + 1] = static_cast<BYTE>(cRepeats);
            cRepeats = 0;
        }
        pKeptLine = pLine;
        keptPos = start;
        keptLen = out.pos - start;
    }
    DWORD len = keptPos + keptLen;
    if (!bAbandoned && cRepeats) {
        pWork[len] = REPEAT_MARKER;
        pWork[len + 1] = static_cast<BYTE>(cRepeats);
        len += 2;
    }
    return rle::EndBlock(pPDev, pPlane, out, bAbandoned, len);
}
