// The ANSI code page and the conversions between it and UTF-16. Code page 1252
// is converted by table (exact, including its five unassigned bytes, which map
// to the C1 controls of the same value); 932 goes through iconv; 65001 is UTF-8.
#include "base/codepage.h"

#include <iconv.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <span>

#include "base/utf.h"

namespace {

constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_THREAD_ACP = 3;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;

std::atomic<UINT> ansiCodePage{1252};

constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

UINT OemCodePageFor(UINT ansi) { return ansi == 932 ? 932 : ansi == 65001 ? 65001 : 437; }

// The code page a caller's CodePage argument stands for; 0 when unknown.
UINT Resolve(UINT codePage)
{
    UINT acp = ansiCodePage.load();
    switch (codePage) {
    case CP_ACP:
    case CP_THREAD_ACP: return acp;
    case CP_OEMCP: return acp;  // code page 437 is not converted; OEM text is read as the ANSI page
    case 1252:
    case 932:
    case CP_UTF8: return codePage;
    default: return 0;
    }
}

struct Iconv {
    iconv_t cd;
    Iconv(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
    void Reset()
    {
        if (ok()) iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
};

// One converter per direction and thread, opened on first use.
Iconv& FromShiftJis()
{
    thread_local Iconv cv("UTF-16LE", "CP932");
    cv.Reset();
    return cv;
}

Iconv& ToShiftJis()
{
    thread_local Iconv cv("CP932", "UTF-16LE");
    cv.Reset();
    return cv;
}

// Decodes Shift-JIS (code page 932); an undecodable byte becomes U+30FB.
std::u16string Decode932(std::span<const char> in, bool& bad)
{
    std::u16string out;
    Iconv& cv = FromShiftJis();
    if (!cv.ok()) {
        bad = true;
        return out;
    }
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    std::array<char, 512> buf;
    while (srcLeft > 0) {
        char* dst = buf.data();
        size_t dstLeft = buf.size();
        size_t r = iconv(cv.cd, &src, &srcLeft, &dst, &dstLeft);
        size_t produced = buf.size() - dstLeft;
        for (size_t k = 0; k + 1 < produced; k += 2)
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(buf[k]) |
                                                (static_cast<unsigned char>(buf[k + 1]) << 8)));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out.push_back(0x30FB);
            bad = true;
            ++src;
            --srcLeft;
        }
    }
    return out;
}

// Encodes to Shift-JIS; a character without a mapping becomes the default byte.
std::string Encode932(std::u16string_view in, char defaultChar, bool& usedDefault)
{
    std::string out;
    Iconv& cv = ToShiftJis();
    if (!cv.ok()) {
        usedDefault = true;
        return out;
    }
    for (size_t i = 0; i < in.size(); ++i) {
        size_t units = (in[i] >= 0xD800 && in[i] <= 0xDBFF && i + 1 < in.size()) ? 2 : 1;
        char src16[4];
        for (size_t u = 0; u < units; ++u) {
            src16[2 * u] = static_cast<char>(in[i + u] & 0xFF);
            src16[2 * u + 1] = static_cast<char>(in[i + u] >> 8);
        }
        char* src = src16;
        size_t srcLeft = units * 2;
        char buf[8];
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        if (iconv(cv.cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
            cv.Reset();
            out.push_back(defaultChar);
            usedDefault = true;
            if (units == 2 && !(in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF)) units = 1;
        } else {
            out.append(buf, dst);
        }
        i += units - 1;
    }
    return out;
}

std::u16string Decode(UINT cp, std::span<const char> in, bool& bad)
{
    bad = false;
    if (cp == 932) return Decode932(in, bad);
    if (cp == CP_UTF8) return platform::DecodeUtf8(std::string_view(in.data(), in.size()), &bad);
    std::u16string out;
    out.reserve(in.size());
    for (char ch : in) {
        auto b = static_cast<unsigned char>(ch);
        out.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b));
    }
    return out;
}

std::string Encode(UINT cp, std::u16string_view in, char defaultChar, bool& usedDefault)
{
    usedDefault = false;
    if (cp == 932) return Encode932(in, defaultChar, usedDefault);
    if (cp == CP_UTF8) return platform::EncodeUtf8(in, &usedDefault);
    std::string out;
    out.reserve(in.size());
    for (char16_t c : in) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        int found = -1;
        for (int k = 0; k < 32; ++k)
            if (kCp1252High[k] == c) found = k;
        if (found >= 0) {
            out.push_back(static_cast<char>(0x80 + found));
        } else {
            out.push_back(defaultChar);
            usedDefault = true;
        }
    }
    return out;
}

// Length of a NUL-terminated string plus its terminator, bounded by INT_MAX.
template <class C>
int TerminatedLength(const C* s)
{
    size_t n = std::char_traits<C>::length(s) + 1;
    return n > static_cast<size_t>(INT32_MAX) ? -1 : static_cast<int>(n);
}

// Copies all of `out` into a caller buffer of `capacity` units, or reports the size.
template <class S>
int Deliver(const S& out, typename S::value_type* dst, int capacity)
{
    if (out.size() > static_cast<size_t>(INT32_MAX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int needed = static_cast<int>(out.size());
    if (capacity == 0) return needed;
    if (needed > capacity) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, out.data(), out.size() * sizeof(typename S::value_type));
    return needed;
}

}  // namespace

extern "C" {

UINT GetACP() { return ansiCodePage.load(); }

void EngGetCurrentCodePage(PUSHORT OemCodePage, PUSHORT AnsiCodePage)
{
    UINT acp = ansiCodePage.load();
    if (OemCodePage) *OemCodePage = static_cast<USHORT>(OemCodePageFor(acp));
    if (AnsiCodePage) *AnsiCodePage = static_cast<USHORT>(acp);
}

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar)
{
    UINT cp = Resolve(CodePage);
    if (!cp || !lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int length = cbMultiByte == -1 ? TerminatedLength(lpMultiByteStr) : cbMultiByte;
    if (length < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    bool bad = false;
    std::u16string out = Decode(cp, std::span(lpMultiByteStr, static_cast<size_t>(length)), bad);
    if (bad && (dwFlags & MB_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    return Deliver(out, lpWideCharStr, cchWideChar);
}

int WideCharToMultiByte(UINT CodePage, DWORD, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, BOOL* lpUsedDefaultChar)
{
    UINT cp = Resolve(CodePage);
    if (!cp || !lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr) ||
        (cp == CP_UTF8 && (lpDefaultChar || lpUsedDefaultChar))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int length = cchWideChar == -1 ? TerminatedLength(lpWideCharStr) : cchWideChar;
    if (length < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    bool usedDefault = false;
    std::string out = Encode(cp, std::u16string_view(lpWideCharStr, static_cast<size_t>(length)),
                             lpDefaultChar ? *lpDefaultChar : '?', usedDefault);
    if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    return Deliver(out, lpMultiByteStr, cbMultiByte);
}

// The engine's conversions fill as much of the output as holds whole characters
// and return the bytes written.
INT EngWideCharToMultiByte(UINT CodePage, LPWSTR WideCharString, INT BytesInWideCharString, LPSTR MultiByteString,
                           INT BytesInMultiByteString)
{
    UINT cp = Resolve(CodePage);
    if (!cp || !WideCharString || !MultiByteString || BytesInWideCharString < 0 || BytesInMultiByteString < 0)
        return -1;
    std::u16string_view in(WideCharString, static_cast<size_t>(BytesInWideCharString) / 2);
    std::string out;
    bool usedDefault = false;
    for (size_t i = 0; i < in.size();) {
        size_t units = (in[i] >= 0xD800 && in[i] <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
                        in[i + 1] <= 0xDFFF) ? 2 : 1;
        std::string piece = Encode(cp, in.substr(i, units), '?', usedDefault);
        if (out.size() + piece.size() > static_cast<size_t>(BytesInMultiByteString)) break;
        out += piece;
        i += units;
    }
    std::memcpy(MultiByteString, out.data(), out.size());
    return static_cast<INT>(out.size());
}

INT EngMultiByteToWideChar(UINT CodePage, LPWSTR WideCharString, INT BytesInWideCharString, LPSTR MultiByteString,
                           INT BytesInMultiByteString)
{
    UINT cp = Resolve(CodePage);
    if (!cp || !WideCharString || !MultiByteString || BytesInWideCharString < 0 || BytesInMultiByteString < 0)
        return -1;
    bool bad = false;
    std::u16string out = Decode(cp, std::span(MultiByteString, static_cast<size_t>(BytesInMultiByteString)), bad);
    size_t units = std::min(out.size(), static_cast<size_t>(BytesInWideCharString) / 2);
    if (units > 0 && units < out.size() && out[units - 1] >= 0xD800 && out[units - 1] <= 0xDBFF) --units;
    std::memcpy(WideCharString, out.data(), units * 2);
    return static_cast<INT>(units * 2);
}

}  // extern "C"

namespace platform {

BOOL SetAnsiCodePage(UINT codePage)
{
    if (codePage != 1252 && codePage != 932 && codePage != CP_UTF8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ansiCodePage.store(codePage);
    return TRUE;
}

}  // namespace platform
