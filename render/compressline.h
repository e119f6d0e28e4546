// The line encoder shared by Compress and Compress2, and the running total that
// abandons an encoding as soon as it reaches the raw size.
#pragma once

#include <cstdint>

#include "base/wintypes.h"

struct PDEV;

namespace rle {

constexpr DWORD MAXLIT_COMPRESS = 128;
constexpr DWORD MAXLIT_COMPRESS2 = 127;

struct Output {
    PBYTE pBuf;      // work buffer of at least `limit` bytes
    DWORD pos;       // next write position
    std::uint64_t total;  // bytes of every run counted so far
    std::uint64_t limit;  // the raw size: reaching it abandons the encoding
};

// Encodes one line of n bytes at out.pos, counting each run before writing it.
// Returns false (out.total then at least out.limit) when the total reached the
// limit. Bytes past out.pos may be scratched, never past out.limit. cbReadable
// (at least n) is how many bytes may be read from pLine on.
bool EncodeLine(const BYTE* pLine, DWORD n, DWORD maxLit, Output& out, std::uint64_t cbReadable);

// Counts the runs of an encoding of cb bytes already in the work buffer, as if
// it were written again; false when the total reached the limit on the way.
bool CountEncoded(const BYTE* pEnc, DWORD cb, Output& out);

// Starts the encoding of a block of cLines lines of cbLine bytes: sets `out` up
// over a work buffer of the raw size from the device's render heap. When the
// block is not encoded (empty, larger than any plane, no device, plane or work
// buffer) returns false with *pcbResult the size to report: 0 for an empty
// block, 0xFFFFFFFF for an oversized one, the raw size otherwise.
bool BeginBlock(PDEV* pPDev, const BYTE* pPlane, DWORD cbLine, DWORD cLines, Output& out, DWORD* pcbResult);

// Ends a block: copies cbEncoded bytes of the work buffer over the plane unless
// the encoding was abandoned, frees the work buffer, and returns the size to
// report (the encoded size, or the running total of an abandoned encoding).
DWORD EndBlock(PDEV* pPDev, PBYTE pPlane, Output& out, bool bAbandoned, DWORD cbEncoded);

}  // namespace rle
