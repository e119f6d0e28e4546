// One formatter for both widths: it works in UTF-16 units and narrows at the
// end for the A form through the ANSI code page.
#include "user/wsprintf.h"

#include <cstring>
#include <string>
#include <type_traits>

#include "base/codepage.h"

namespace user {
namespace {

std::u16string FromAnsi(const char* s, int maxChars)
{
    size_t n = std::strlen(s);
    int wide = MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(n), nullptr, 0);
    std::u16string out(static_cast<size_t>(wide > 0 ? wide : 0), u'\0');
    if (wide > 0) MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(n), out.data(), wide);
    if (maxChars >= 0 && out.size() > static_cast<size_t>(maxChars)) out.resize(static_cast<size_t>(maxChars));
    return out;
}

std::u16string FromWide(const WCHAR* s, int maxChars)
{
    size_t n = 0;
    while (s[n] && (maxChars < 0 || n < static_cast<size_t>(maxChars))) ++n;
    return std::u16string(s, n);
}

template <class Char>
std::u16string Format(const Char* fmt, va_list ap)
{
    constexpr bool wide = sizeof(Char) == 2;
    std::u16string out;
    auto next = [&fmt]() -> char16_t { return static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(*fmt)); };
    while (*fmt) {
        if (next() != u'%') {
            // A run of literal text, converted whole so double-byte characters stay together.
            std::basic_string<Char> run;
            while (*fmt && next() != u'%') run += *fmt++;
            if constexpr (sizeof(Char) == 1) out += FromAnsi(run.c_str(), -1);
            else out.append(run.begin(), run.end());
            continue;
        }
        ++fmt;
        bool left = false, zero = false, alt = false;
        for (;; ++fmt) {
            if (next() == u'-') left = true;
            else if (next() == u'0') zero = true;
            else if (next() == u'#') alt = true;
            else break;
        }
        int width = 0;
        while (next() >= u'0' && next() <= u'9') width = width * 10 + (next() - u'0'), ++fmt;
        int precision = -1;
        if (next() == u'.') {
            ++fmt;
            precision = 0;
            while (next() >= u'0' && next() <= u'9') precision = precision * 10 + (next() - u'0'), ++fmt;
        }
        enum { Default, Long, Short, Wide } size = Default;
        if (next() == u'l') size = Long, ++fmt;
        else if (next() == u'h') size = Short, ++fmt;
        else if (next() == u'w') size = Wide, ++fmt;
        if (size == Long && (next() == u's' || next() == u'c')) size = Wide;

        const char16_t conv = next();
        if (conv == 0) break;
        ++fmt;
        std::u16string body, prefix;
        switch (conv) {
        case u'd':
        case u'i':
        case u'u':
        case u'x':
        case u'X': {
            // LONG is 32 bits on Windows: %ld reads the same int as %d.
            const int raw = va_arg(ap, int);
            unsigned magnitude;
            if (conv == u'd' || conv == u'i') {
                if (raw < 0) prefix = u"-";
                magnitude = raw < 0 ? 0u - static_cast<unsigned>(raw) : static_cast<unsigned>(raw);
            } else {
                magnitude = static_cast<unsigned>(raw);
            }
            const unsigned base = (conv == u'x' || conv == u'X') ? 16 : 10;
            const char16_t* digits = conv == u'X' ? u"0123456789ABCDEF" : u"0123456789abcdef";
            while (magnitude) {
                body.insert(body.begin(), digits[magnitude % base]);
                magnitude /= base;
            }
            if (precision < 0 && body.empty()) body = u"0";
            if (precision >= 0 && body.size() < static_cast<size_t>(precision))
                body.insert(0, static_cast<size_t>(precision) - body.size(), u'0');
            if (alt && base == 16 && static_cast<unsigned>(raw) != 0) prefix = conv == u'X' ? u"0X" : u"0x";
            break;
        }
        case u'c':
        case u'C': {
            const int ch = va_arg(ap, int);
            const bool asWide = size == Wide || (size != Short && (wide != (conv == u'C')));
            if (asWide) body = std::u16string(1, static_cast<char16_t>(ch));
            else body = FromAnsi(std::string(1, static_cast<char>(ch)).c_str(), -1);
            zero = false;
            break;
        }
        case u's':
        case u'S': {
            const bool asWide = size == Wide || (size != Short && (wide != (conv == u'S')));
            if (asWide) {
                const WCHAR* s = va_arg(ap, const WCHAR*);
                body = s ? FromWide(s, precision) : std::u16string(u"(null)");
            } else {
                const char* s = va_arg(ap, const char*);
                body = s ? FromAnsi(s, precision) : std::u16string(u"(null)");
            }
            zero = false;
            break;
        }
        default:  // "%%" and anything unknown: the character itself
            body = std::u16string(1, conv);
            zero = false;
            break;
        }
        const size_t len = prefix.size() + body.size();
        const size_t pad = static_cast<size_t>(width) > len ? static_cast<size_t>(width) - len : 0;
        if (left) out += prefix + body + std::u16string(pad, u' ');
        else if (zero) out += prefix + std::u16string(pad, u'0') + body;
        else out += std::u16string(pad, u' ') + prefix + body;
        if (out.size() >= WSPRINTF_MAX) break;
    }
    return out;
}

}  // namespace
}  // namespace user

extern "C" {

int wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist)
{
    if (!lpOut || !lpFmt) return 0;
    std::u16string s = user::Format(lpFmt, arglist);
    if (s.size() > WSPRINTF_MAX - 1) s.resize(WSPRINTF_MAX - 1);
    std::memcpy(lpOut, s.data(), s.size() * sizeof(WCHAR));
    lpOut[s.size()] = 0;
    return static_cast<int>(s.size());
}

int wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist)
{
    if (!lpOut || !lpFmt) return 0;
    std::u16string s = user::Format(lpFmt, arglist);
    std::string ansi;
    for (char16_t c : s) {
        char bytes[8];
        int n = WideCharToMultiByte(CP_ACP, 0, &c, 1, bytes, sizeof bytes, nullptr, nullptr);
        if (n <= 0 || ansi.size() + static_cast<size_t>(n) > WSPRINTF_MAX - 1) break;
        ansi.append(bytes, static_cast<size_t>(n));
    }
    std::memcpy(lpOut, ansi.data(), ansi.size());
    lpOut[ansi.size()] = 0;
    return static_cast<int>(ansi.size());
}

int wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...)
{
    va_list ap;
    va_start(ap, lpFmt);
    int n = wvsprintfW(lpOut, lpFmt, ap);
    va_end(ap);
    return n;
}

int wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...)
{
    va_list ap;
    va_start(ap, lpFmt);
    int n = wvsprintfA(lpOut, lpFmt, ap);
    va_end(ap);
    return n;
}

}  // extern "C"
