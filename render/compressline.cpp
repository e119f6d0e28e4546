// One line of run-length coding. A literal stops one byte before a pair of
// equal bytes and never takes in the last byte of a line; the run after a
// literal always starts as a repeat run. Scans a 64-bit word at a time.
#include "compressline.h"

#include "pdev.h"

#include <bit>
#include <cstring>

namespace rle {
namespace {

inline std::uint64_t Load64(const BYTE* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    return v;
}

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// Bits set at (at least) the lowest zero byte of v; exact for the lowest one.
inline std::uint64_t ZeroBytes(std::uint64_t v) { return (v - kOnes) & ~v & kHighs; }

// First p in [from, lim) with L[p] != b, or lim.
inline DWORD ScanEqual(const BYTE* L, DWORD from, DWORD lim, BYTE b)
{
    DWORD p = from;
    const std::uint64_t pattern = kOnes * b;
    while (p + 8 <= lim) {
        const std::uint64_t diff = Load64(L + p) ^ pattern;
        if (diff) return p + static_cast<DWORD>(std::countr_zero(diff) >> 3);
        p += 8;
    }
    while (p < lim && L[p] == b) ++p;
    return p;
}

// First p in [from, lim) with L[p + 1] == L[p], or lim. Reads up to L[lim].
inline DWORD ScanLiteral(const BYTE* L, DWORD from, DWORD lim)
{
    DWORD p = from;
    while (p + 8 <= lim) {
        const std::uint64_t z = ZeroBytes(Load64(L + p) ^ Load64(L + p + 1));
        if (z) return p + static_cast<DWORD>(std::countr_zero(z) >> 3);
        p += 8;
    }
    while (p < lim && L[p + 1] != L[p]) ++p;
    return p;
}

inline bool Count(Output& out, DWORD cb)
{
    out.total += cb;
    return out.total < out.limit;
}

// Copies a literal. Short ones move as two 8-byte words when both sides have
// room: the bytes beyond the literal are scratch, overwritten by what follows.
inline void CopyLiteral(const BYTE* pSrc, std::uint64_t cbSrcAvail, DWORD cb, Output& out)
{
    BYTE* pDst = out.pBuf + out.pos;
    if (cb <= 16 && cbSrcAvail >= 16 && out.pos + 16 <= out.limit) {
        std::uint64_t a, b;
        std::memcpy(&a, pSrc, 8);
        std::memcpy(&b, pSrc + 8, 8);
        std::memcpy(pDst, &a, 8);
        std::memcpy(pDst + 8, &b, 8);
    } else {
        std::memcpy(pDst, pSrc, cb);
    }
}

}  // namespace

bool EncodeLine(const BYTE* L, DWORD n, DWORD maxLit, Output& out, std::uint64_t cbReadable)
{
    DWORD s = 0;
    bool bLiteral = n >= 2 && L[1] != L[0];
    while (s < n) {
        DWORD p;
        if (bLiteral) {
            // Take L[p] while the literal is below its maximum, p is not the
            // last byte and L[p + 1] differs from L[p].
            const DWORD lim = (n - 1 < s + maxLit) ? n - 1 : s + maxLit;
            p = ScanLiteral(L, s + 1, lim);
            const DWORD cb = p - s;
            if (!Count(out, cb + 1)) return false;
            out.pBuf[out.pos++] = static_cast<BYTE>(cb - 1);
            CopyLiteral(L + s, cbReadable - s, cb, out);
            out.pos += cb;
            s = p;
            bLiteral = false;
        } else {
            const DWORD lim = (n < s + 128) ? n : s + 128;
            p = ScanEqual(L, s + 1, lim, L[s]);
            if (!Count(out, 2)) return false;
            out.pBuf[out.pos] = static_cast<BYTE>(-static_cast<int>(p - s - 1));
            out.pBuf[out.pos + 1] = L[s];
            out.pos += 2;
            s = p;
            bLiteral = s + 1 < n && L[s + 1] != L[s];
        }
    }
    return true;
}

bool CountEncoded(const BYTE* pEnc, DWORD cb, Output& out)
{
    if (out.total + cb < out.limit) {
        out.total += cb;
        return true;
    }
    for (DWORD i = 0; i < cb;) {
        const DWORD run = pEnc[i] < 0x80 ? pEnc[i] + 2u : 2u;
        if (!Count(out, run)) return false;
        i += run;
    }
    return true;
}

namespace {
constexpr std::uint64_t kMaxRaw = 0x7FFFFFFF;  // larger blocks are no plane of this driver
}  // namespace

bool BeginBlock(PDEV* pPDev, const BYTE* pPlane, DWORD cbLine, DWORD cLines, Output& out, DWORD* pcbResult)
{
    const std::uint64_t raw = static_cast<std::uint64_t>(cbLine) * cLines;
    *pcbResult = raw == 0 ? 0 : raw > kMaxRaw ? 0xFFFFFFFFu : static_cast<DWORD>(raw);
    if (raw == 0 || raw > kMaxRaw || !pPDev || !pPDev->hHeap || !pPlane) return false;
    PBYTE pWork = static_cast<PBYTE>(HEAPALLOC(pPDev->hHeap, static_cast<SIZE_T>(raw)));
    if (!pWork) return false;
    out = Output{pWork, 0, 0, raw};
    return true;
}

DWORD EndBlock(PDEV* pPDev, PBYTE pPlane, Output& out, bool bAbandoned, DWORD cbEncoded)
{
    DWORD result = cbEncoded;
    if (bAbandoned)
        result = out.total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(out.total);
    else
        std::memcpy(pPlane, out.pBuf, cbEncoded);
    HEAPFREE(pPDev->hHeap, out.pBuf);
    return result;
}

}  // namespace rle
