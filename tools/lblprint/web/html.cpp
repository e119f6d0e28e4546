#include "html.h"

#include "base/codepage.h"

namespace lblweb {

std::string Escape(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Escape(std::u16string_view utf16) { return Escape(platform::Narrow(utf16)); }

std::u16string WithoutMnemonic(std::u16string_view text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') out += u'&', ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

bool IsUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t n = 0;
        char32_t v = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1, v = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2, v = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3, v = c & 0x07;
        } else {
            return false;
        }
        for (size_t k = 1; k <= n; ++k) {
            if (i + k >= s.size()) return false;
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            v = (v << 6) | (d & 0x3F);
        }
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (v < least[n] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
        i += n + 1;
    }
    return true;
}

}  // namespace lblweb
