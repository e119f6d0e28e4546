#include "frontend/names.h"

#include <cstdint>

#include "frontend/failure.h"

namespace frontend {

namespace {

// Length of the UTF-8 sequence at text[i] and its code point; 0 when it is not
// a valid, shortest-form sequence of a scalar value.
size_t Decode(std::string_view text, size_t i, char32_t& cp)
{
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b = byte(i);
    size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > text.size()) return 0;
    cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    for (size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

bool IsControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp < 0xA0); }

}  // namespace

std::string Quoted(std::string_view text, size_t limit)
{
    std::string out;
    size_t shown = 0;
    for (size_t i = 0; i < text.size();) {
        if (shown == limit) return out + "...";
        char32_t cp = 0;
        size_t n = Decode(text, i, cp);
        if (n == 0 || IsControl(cp)) {
            out += '?';
            i += n ? n : 1;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
        ++shown;
    }
    return out;
}

std::string NameProblem(std::string_view name)
{
    for (size_t i = 0; i < name.size();) {
        char32_t cp = 0;
        size_t n = Decode(name, i, cp);
        if (n == 0) return "not valid UTF-8 (byte " + std::to_string(i + 1) + ")";
        if (IsControl(cp)) return "holds a control character (character " + std::to_string(i + 1) + ")";
        i += n;
    }
    return "";
}

void CheckName(std::string_view what, std::string_view name)
{
    if (auto why = NameProblem(name); !why.empty())
        throw Failure{std::string(what) + " \"" + Quoted(name) + "\": " + why};
}

}  // namespace frontend
