// Fixed-width command fields and their wording.
#include <cstdio>
#include <cstdlib>

#include "inspect/decoder.h"

namespace lblinspect::detail {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Scaled(long value, long scale, int decimals, bool sign)
{
    const long magnitude = std::labs(value);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%s%ld.%0*ld mm",
                  value < 0 ? "-" : (sign ? "+" : ""), magnitude / scale, decimals,
                  magnitude % scale);
    return buffer;
}

}  // namespace

bool FieldScanner::Literal(std::string_view lit)
{
    if (text.substr(pos, lit.size()) != lit) return false;
    pos += lit.size();
    return true;
}

std::optional<long> FieldScanner::Digits(std::size_t n)
{
    if (text.size() - pos < n) return std::nullopt;
    long value = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[pos + i];
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    pos += n;
    return value;
}

std::optional<long> FieldScanner::Signed(std::size_t n)
{
    if (pos >= text.size() || (text[pos] != '+' && text[pos] != '-')) return std::nullopt;
    const bool negative = text[pos] == '-';
    ++pos;
    const auto magnitude = Digits(n);
    if (!magnitude) {
        --pos;
        return std::nullopt;
    }
    return negative ? -*magnitude : *magnitude;
}

std::optional<long> FieldScanner::Decimal()
{
    std::size_t n = 0;
    while (pos + n < text.size() && IsDigit(text[pos + n])) ++n;
    if (n == 0 || n > 9) return std::nullopt;
    return Digits(n);
}

std::string Tenths(long value, bool sign) { return Scaled(value, 10, 1, sign); }

std::string Hundredths(long value, bool sign) { return Scaled(value, 100, 2, sign); }

std::string SignedNumber(long value)
{
    return (value >= 0 ? "+" : "") + std::to_string(value);
}

std::string EscapeBytes(Bytes bytes)
{
    std::string out;
    for (const std::uint8_t b : bytes) {
        if (b == kEsc) {
            out += "\\e";
        } else if (b == '\n') {
            out += "\\n";
        } else if (b == 0) {
            out += "\\0";
        } else if (b == '\\') {
            out += "\\\\";
        } else if (b >= 0x20 && b < 0x7F) {
            out += static_cast<char>(b);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out;
}

}  // namespace lblinspect::detail
