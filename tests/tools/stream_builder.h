// Printer streams assembled by hand from the wire format, for the inspector's tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace lbltest {

using Bytes = std::vector<std::uint8_t>;

struct Stream {
    Bytes bytes;

    std::size_t size() const { return bytes.size(); }

    // ESC, the command text, LF NUL.
    Stream& Cmd(std::string_view text)
    {
        bytes.push_back(0x1B);
        Text(text);
        return Raw({0x0A, 0x00});
    }
    Stream& Text(std::string_view text)
    {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    Stream& Raw(std::initializer_list<std::uint8_t> b) { return Raw(Bytes(b)); }
    Stream& Raw(const Bytes& b)
    {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
    Stream& Nul(std::size_t n)
    {
        bytes.insert(bytes.end(), n, 0);
        return *this;
    }
    Stream& LfNul() { return Raw({0x0A, 0x00}); }
    // Graphic header (no LF NUL): "\eSG" + plane + tail.
    Stream& Header(std::string_view planeAndTail)
    {
        bytes.push_back(0x1B);
        return Text("SG").Text(planeAndTail);
    }
    // Compressed block: marker ("9," or "A,"), big-endian length, ",", data, LF NUL.
    Stream& Block(char marker, const Bytes& data)
    {
        const auto n = static_cast<std::uint32_t>(data.size());
        Raw({static_cast<std::uint8_t>(marker), ',', static_cast<std::uint8_t>(n >> 24),
             static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 8),
             static_cast<std::uint8_t>(n), ','});
        return Raw(data).LfNul();
    }
};

inline Bytes Repeat(std::size_t n, std::uint8_t value) { return Bytes(n, value); }

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace lbltest
