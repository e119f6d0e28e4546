// The command formatter: %c %d %l %u %x %X %f %s %w, no width or flags.
#include <cstring>

#include "base/codepage.h"
#include "channel.h"

const char DigitString[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

namespace {

// Output cursor that never writes past its buffer and keeps room for the NUL.
struct Out {
    PSTR p;
    std::size_t cbMax;  // bytes available before the NUL
    std::size_t cb = 0;

    void Put(char c)
    {
        if (cb < cbMax) p[cb++] = c;
    }
    void Put(const char* s, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i) Put(s[i]);
    }
};

// Reads argument slots in order; a missing slot reads as 0 or the empty string.
struct Args {
    std::span<const VSARG> slots;
    std::size_t next = 0;

    const VSARG* Take() { return next < slots.size() ? &slots[next++] : nullptr; }
    DWORD Value()
    {
        const VSARG* a = Take();
        return a && a->kind == VSARG::Kind::Value ? a->dwValue : 0;
    }
};

void PutUnsigned(Out& out, DWORD v, DWORD base, int minDigits)
{
    char digits[32];
    int n = 0;
    do {
        digits[n++] = DigitString[v % base];
        v /= base;
    } while (v != 0);
    while (n < minDigits) digits[n++] = '0';
    while (n > 0) out.Put(digits[--n]);
}

void PutSigned(Out& out, DWORD v)
{
    const LONG l = static_cast<LONG>(v);
    if (l < 0) {
        out.Put('-');
        v = 0u - v;  // magnitude, also for the most negative value
    }
    PutUnsigned(out, v, 10, 1);
}

// 24.8 fixed point: integer part, then up to three decimals without trailing zeros.
void PutFixed(Out& out, DWORD v)
{
    if (static_cast<LONG>(v) < 0) {
        out.Put('-');
        v = 0u - v;
    }
    PutUnsigned(out, v >> 8, 10, 1);
    const DWORD f = v & 0xFF;
    if (f == 0) return;
    out.Put('.');
    DWORD d = (((f * 100000u) >> 8) + 50) / 100;
    for (DWORD div = 100; div > 0; div /= 10) {
        out.Put(DigitString[d / div]);
        d %= div;
        if (d == 0) break;
    }
}

// A wide string in the ANSI code page, cut to fit the 100-byte work area.
void PutWide(Out& out, PCWSTR pwsz)
{
    if (!pwsz) return;
    char area[VSPRINTF_WIDE_AREA];
    std::size_t cbArea = 0;
    const UINT codePage = MyGetACP();
    for (std::size_t i = 0; pwsz[i] != 0;) {
        // A surrogate pair is converted as one character.
        INT cch = 1;
        if (pwsz[i] >= 0xD800 && pwsz[i] < 0xDC00 && pwsz[i + 1] >= 0xDC00 && pwsz[i + 1] < 0xE000) cch = 2;
        WCHAR wc[2] = {pwsz[i], cch == 2 ? pwsz[i + 1] : WCHAR(0)};
        char mb[8];
        INT cb = EngWideCharToMultiByte(codePage, wc, cch * static_cast<INT>(sizeof(WCHAR)), mb, sizeof(mb));
        if (cb <= 0) break;
        if (cbArea + static_cast<std::size_t>(cb) > sizeof(area) - 1) break;
        std::memcpy(area + cbArea, mb, static_cast<std::size_t>(cb));
        cbArea += static_cast<std::size_t>(cb);
        i += static_cast<std::size_t>(cch);
    }
    out.Put(area, cbArea);
}

}  // namespace

int VSPRINTF(PSTR pBuf, std::size_t cbBuf, PCSTR pszTemplate, std::span<const VSARG> args)
{
    if (!pBuf || cbBuf == 0) return 0;
    Out out{pBuf, cbBuf - 1};
    Args in{args};
    for (PCSTR p = pszTemplate; p && *p; ++p) {
        if (*p != '%') {
            out.Put(*p);
            continue;
        }
        const char conv = *++p;
        if (conv == 0) break;
        switch (conv) {
        case 'c':
            out.Put(static_cast<char>(in.Value() & 0xFF));
            break;
        case 'd':
        case 'l':
            PutSigned(out, in.Value());
            break;
        case 'u':
            PutUnsigned(out, in.Value(), 10, 1);
            break;
        case 'x':
        case 'X':
            PutUnsigned(out, in.Value(), 16, 2);
            break;
        case 'f':
            PutFixed(out, in.Value());
            break;
        case 's': {
            const VSARG* a = in.Take();
            if (a && a->kind == VSARG::Kind::String && a->psz) out.Put(a->psz, std::strlen(a->psz));
            break;
        }
        case 'w': {
            const VSARG* a = in.Take();
            if (a && a->kind == VSARG::Kind::WideString) PutWide(out, a->pwsz);
            if (p[1] == 's' || p[1] == 'S') ++p;
            break;
        }
        default:
            out.Put(conv);
            break;
        }
    }
    pBuf[out.cb] = 0;
    return static_cast<int>(out.cb);
}
