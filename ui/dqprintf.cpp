// The formatter of the print query's answer: writes what fits, always terminated,
// and counts what the whole text needs.
#include <cstdio>

#include "uidrv.h"

namespace {

constexpr int kMaxResourceChars = 256;

struct Out {
    LPWSTR pBuf;
    DWORD cchBuf;
    DWORD cchWritten = 0;
    DWORD cchNeeded = 0;

    void Put(WCHAR c)
    {
        ++cchNeeded;
        if (pBuf && cchWritten + 1 < cchBuf) pBuf[cchWritten++] = c;
    }
    void Put(LPCWSTR s)
    {
        for (; s && *s; ++s) Put(*s);
    }
    void PutAscii(const char* s)
    {
        for (; *s; ++s) Put(static_cast<WCHAR>(static_cast<unsigned char>(*s)));
    }
};

}  // namespace

INT DQPvsprintf(HINSTANCE hModule, LPWSTR pBuf, DWORD cchBuf, PDWORD pcchNeeded, LPCWSTR pFormat, va_list args)
{
    Out out{pBuf, cchBuf};
    for (LPCWSTR f = pFormat; f && *f; ++f) {
        if (*f != u'%') {
            out.Put(*f);
            continue;
        }
        const WCHAR d = *++f;
        if (d == 0) break;
        char number[32];
        switch (d) {
        case u'!': {
            WCHAR text[kMaxResourceChars + 1] = {};
            LoadStringW(hModule, static_cast<UINT>(va_arg(args, int)), text, kMaxResourceChars + 1);
            out.Put(text);
            break;
        }
        case u'c': out.Put(static_cast<WCHAR>(va_arg(args, int))); break;
        case u's': out.Put(va_arg(args, LPCWSTR)); break;
        case u'd':
            std::snprintf(number, sizeof number, "%ld", static_cast<long>(va_arg(args, LONG)));
            out.PutAscii(number);
            break;
        case u'u':
            std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(va_arg(args, DWORD)));
            out.PutAscii(number);
            break;
        case u'x':
        case u'X':
            std::snprintf(number, sizeof number, d == u'x' ? "%lx" : "%lX", static_cast<unsigned long>(va_arg(args, DWORD)));
            out.PutAscii(number);
            break;
        default: out.Put(d); break;
        }
    }
    if (pBuf && cchBuf > 0) pBuf[out.cchWritten] = 0;
    if (pcchNeeded) *pcchNeeded = out.cchNeeded + 1;
    return static_cast<INT>(out.cchWritten);
}

INT DQPsprintf(HINSTANCE hModule, LPWSTR pBuf, DWORD cchBuf, PDWORD pcchNeeded, LPCWSTR pFormat, ...)
{
    va_list args;
    va_start(args, pFormat);
    const INT n = DQPvsprintf(hModule, pBuf, cchBuf, pcchNeeded, pFormat, args);
    va_end(args);
    return n;
}
