// The stream walk: NUL runs, LF NUL terminated commands, and pages of raster.
#include <cstdio>

#include "inspect/decoder.h"

namespace lblinspect {

const char* ColourName(int colour)
{
    static const char* const kNames[] = {"black", "magenta", "cyan", "yellow"};
    return colour >= 0 && colour <= 3 ? kNames[colour] : "unknown";
}

namespace detail {

namespace {

bool NulRun(Decoder& d)
{
    const std::size_t at = d.pos;
    while (d.pos < d.in.size() && d.in[d.pos] == 0) ++d.pos;
    Command c;
    c.offset = at;
    c.name = "NUL run";
    c.fields = {{"count", std::to_string(d.pos - at) + " bytes"}};
    d.result.commands.push_back(std::move(c));
    return true;
}

// ESC, printable text, LF NUL.
bool TextCommand(Decoder& d)
{
    const std::size_t at = d.pos;
    std::size_t i = at + 1;
    while (i < d.in.size() && d.in[i] != '\n') {
        const std::uint8_t b = d.in[i];
        if (b < 0x20 || b > 0x7E) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", b);
            return d.Fail(at, "unterminated command: byte " + std::string(hex) + " at offset " +
                                  std::to_string(i) + " comes before LF NUL");
        }
        ++i;
    }
    if (i >= d.in.size()) return d.Fail(at, "unterminated command: the stream ends before LF NUL");
    if (i + 1 >= d.in.size() || d.in[i + 1] != 0)
        return d.Fail(at, "command ends in LF without NUL");

    Command c;
    c.offset = at;
    const std::string_view text(reinterpret_cast<const char*>(d.in.data() + at + 1), i - at - 1);
    std::string why;
    if (!DecodeCommandText(text, d.hints, c, why)) return d.Fail(at, why);
    c.raw.assign(d.in.begin() + static_cast<std::ptrdiff_t>(at),
                 d.in.begin() + static_cast<std::ptrdiff_t>(i + 2));
    d.result.commands.push_back(std::move(c));
    d.pos = i + 2;
    return true;
}

bool Step(Decoder& d)
{
    if (d.page.open && d.page.Incomplete()) {
        if (d.page.firstBand && d.StartsWith(d.pos, "\x1bSG")) return d.GraphicHeader();
        return d.NextBand();
    }
    const std::uint8_t b = d.in[d.pos];
    if (b == 0) return NulRun(d);
    if (b == kEsc) {
        if (d.StartsWith(d.pos, "\x1bSG")) return d.GraphicHeader();
        d.ClosePage(true);
        return TextCommand(d);
    }
    if (d.StartsWith(d.pos, "9,") || d.StartsWith(d.pos, "A,") || d.StartsWith(d.pos, "1,"))
        return d.Fail(d.pos, "raster data for a plane with no graphic header");
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", b);
    return d.Fail(d.pos, "unexpected byte " + std::string(hex) + " outside a command");
}

}  // namespace

}  // namespace detail

Result decode(std::span<const std::uint8_t> stream)
{
    detail::Decoder d;
    d.in = stream;
    while (d.pos < stream.size()) {
        if (!detail::Step(d)) break;
    }
    if (!d.result.error && d.page.open && d.page.Incomplete()) {
        for (std::size_t i = 0; i < d.page.planes.size(); ++i) {
            const auto& p = d.page.planes[i];
            if (p.lines >= p.height) continue;
            d.Fail(stream.size(), "the stream ends inside a page: plane " + std::to_string(i + 1) +
                                      " of the page has " + std::to_string(p.lines) + " of " +
                                      std::to_string(p.height) + " lines");
            break;
        }
    }
    d.ClosePage(!d.result.error);
    return std::move(d.result);
}

}  // namespace lblinspect
