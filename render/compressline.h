// The line encoder shared by Compress and Compress2, and the running total that
// abandons an encoding as soon as it reaches the raw size.
#pragma once

#include <cstdint>

#include "platform/wintypes.h"

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

}  // namespace rle
