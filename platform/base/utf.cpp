// Strict UTF-8 decoding (no overlong forms, no surrogates, nothing above U+10FFFF)
// and UTF-8 encoding of UTF-16 with unpaired surrogates replaced.
#include "base/utf.h"

#include "base/codepage.h"

namespace platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::u16string DecodeUtf8(std::string_view in, bool* invalid)
{
    std::u16string out;
    out.reserve(in.size());
    bool bad = false;
    size_t i = 0;
    while (i < in.size()) {
        auto b = static_cast<unsigned char>(in[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra;
        char32_t c, min;
        if ((b & 0xE0) == 0xC0) { extra = 1; c = b & 0x1F; min = 0x80; }
        else if ((b & 0xF0) == 0xE0) { extra = 2; c = b & 0x0F; min = 0x800; }
        else if ((b & 0xF8) == 0xF0) { extra = 3; c = b & 0x07; min = 0x10000; }
        else { out.push_back(kReplacement); bad = true; ++i; continue; }
        size_t j = 1;
        for (; j <= static_cast<size_t>(extra) && i + j < in.size(); ++j) {
            auto t = static_cast<unsigned char>(in[i + j]);
            if ((t & 0xC0) != 0x80) break;
            c = (c << 6) | (t & 0x3F);
        }
        if (j <= static_cast<size_t>(extra) || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(kReplacement);
            bad = true;
            i += j;  // skip the lead byte and the continuation bytes that were consumed
            continue;
        }
        AppendUtf16(out, c);
        i += j;
    }
    if (invalid) *invalid = bad;
    return out;
}

std::string EncodeUtf8(std::u16string_view in, bool* invalid)
{
    std::string out;
    out.reserve(in.size());
    bool bad = false;
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t c = in[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
            bad = true;
        }
        AppendUtf8(out, c);
    }
    if (invalid) *invalid = bad;
    return out;
}

std::u16string Widen(std::string_view utf8) { return DecodeUtf8(utf8); }

std::string Narrow(std::u16string_view utf16) { return EncodeUtf8(utf16); }

}  // namespace platform
