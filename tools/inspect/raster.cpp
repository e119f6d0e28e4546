// Raster framing: graphic headers, compressed and raw data blocks, bands, and the
// assembly of each page's planes.
//
// The first band of a page sends, plane after plane, a graphic header and the plane's
// first block: a compressed block ("9," or "A,", 4-byte big-endian length, ",", data,
// LF NUL) or raw rows after "1,". Later bands send only each plane's block or raw rows,
// without header or marker. Raw rows end with LF NUL after a plane's last row. The
// band height is not on the wire: it is the line count of the first plane's first
// block, found for raw rows as the row boundary where the next plane's header starts.
#include <algorithm>
#include <cstdio>

#include "inspect/decoder.h"

namespace lblinspect::detail {

namespace {

struct Header {
    std::size_t length = 0;
    int plane = -1;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool wide = false;
    std::string tail;  // from ";" to the closing ","
};

constexpr std::size_t kShortestHeader = 24;  // "\eSG;0000,0000,wwww,hhhh,"
constexpr std::size_t kLongestHeader = 27;   // "\eSGp;0000,00000,wwww,hhhhh,"
constexpr std::size_t kBlockFraming = 7;     // marker, ",", length, ","

std::optional<Header> ParseHeader(Bytes in, std::size_t at, std::string& why)
{
    const std::size_t available = std::min(in.size() - at, kLongestHeader);
    FieldScanner s{std::string_view(reinterpret_cast<const char*>(in.data() + at), available)};
    Header h;
    bool ok = s.Literal("\x1bSG");
    if (ok && s.pos < s.text.size() && s.text[s.pos] >= '0' && s.text[s.pos] <= '9')
        h.plane = s.text[s.pos++] - '0';
    const std::size_t tailStart = s.pos;
    ok = ok && s.Literal(";0000,");
    if (ok) {
        if (s.Literal("0000,")) {
            h.wide = false;
        } else if (s.Literal("00000,")) {
            h.wide = true;
        } else {
            ok = false;
        }
    }
    std::optional<long> width, height;
    if (ok) width = s.Digits(4);
    ok = ok && width && s.Literal(",");
    if (ok) height = s.Digits(h.wide ? 5 : 4);
    ok = ok && height && s.Literal(",");
    if (!ok) {
        why = in.size() - at < kShortestHeader + (h.plane >= 0 ? 1 : 0)
                  ? "unterminated graphic header: the stream ends inside it"
                  : "malformed graphic header " +
                        EscapeBytes(in.subspan(at, std::min<std::size_t>(available, 24)));
        return std::nullopt;
    }
    h.length = s.pos;
    h.width = static_cast<std::uint32_t>(*width);
    h.height = static_cast<std::uint32_t>(*height);
    h.tail.assign(s.text.substr(tailStart, s.pos - tailStart));
    return h;
}

std::string PlaneLabel(const PlaneState& p, std::size_t index)
{
    if (p.number >= 0) return std::to_string(p.number) + " (" + ColourName(p.number) + ")";
    return "#" + std::to_string(index + 1) + " of the page";
}

std::string LineRange(std::uint32_t first, std::uint32_t count)
{
    if (count == 0) return "none";
    return std::to_string(first) + " to " + std::to_string(first + count - 1);
}

std::uint32_t ReadBigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

}  // namespace

bool PageState::Incomplete() const
{
    return std::any_of(planes.begin(), planes.end(),
                       [](const PlaneState& p) { return p.lines < p.height; });
}

bool Decoder::Fail(std::size_t offset, std::string message)
{
    result.error = Error{offset, std::move(message)};
    return false;
}

bool Decoder::StartsWith(std::size_t at, std::string_view text) const
{
    return at <= in.size() && in.size() - at >= text.size() &&
           std::equal(text.begin(), text.end(), in.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

namespace {

// A graphic header of the open page's size (any plane digit) starts at `at`.
bool HeaderFollows(const Decoder& d, std::size_t at)
{
    if (!d.StartsWith(at, "\x1bSG")) return false;
    std::size_t tail = at + 3;
    if (tail < d.in.size() && d.in[tail] >= '0' && d.in[tail] <= '9') ++tail;
    return d.StartsWith(tail, d.page.headerTail);
}

// Lines of the first plane's first raw band: up to the first row boundary where the
// next plane's header starts, else the whole plane.
std::uint32_t FirstRawBand(const Decoder& d, std::size_t start, const PlaneState& p)
{
    for (std::uint32_t k = 1; k < p.height; ++k) {
        const std::size_t at = start + k * p.rowBytes;
        if (at >= d.in.size()) break;
        if (HeaderFollows(d, at)) return k;
    }
    return p.height;
}

// A well-formed compressed block of exactly `lines` lines starts at `at`. Used where a
// later band may be either compressed or raw.
bool BlockFollows(const Decoder& d, std::size_t at, const PlaneState& p, std::uint32_t lines)
{
    if (!(d.StartsWith(at, "9,") || d.StartsWith(at, "A,"))) return false;
    if (d.in.size() - at < kBlockFraming || d.in[at + 6] != ',') return false;
    const std::size_t length = ReadBigEndian32(&d.in[at + 2]);
    if (length > d.in.size() - at - kBlockFraming) return false;
    const std::size_t end = at + kBlockFraming + length;
    if (!d.StartsWith(end, std::string_view("\n\0", 2))) return false;
    std::vector<std::uint8_t> scratch;
    const auto r = DecodeRunLength(d.in.subspan(at + kBlockFraming, length), at + kBlockFraming,
                                   d.in[at] == '9' ? RunFormat::kPlain : RunFormat::kLineRepeat,
                                   p.width, lines, scratch);
    return !r.error && r.lines == lines;
}

}  // namespace

// Compressed block at `pos` for plane `index`: at most `maxLines` lines, and exactly
// `exactLines` of them unless that is 0.
static bool CompressedBlock(Decoder& d, std::size_t index, std::uint32_t maxLines,
                            std::uint32_t exactLines)
{
    PlaneState& p = d.page.planes[index];
    const std::size_t at = d.pos;
    if (p.number < 0)
        return d.Fail(at, "compressed block after a graphic header without a plane number");
    if (d.in.size() - at < kBlockFraming || d.in[at + 6] != ',')
        return d.Fail(at, "unterminated compressed block: no length");
    const std::size_t length = ReadBigEndian32(&d.in[at + 2]);
    const std::size_t dataAt = at + kBlockFraming;
    if (length > d.in.size() - dataAt)
        return d.Fail(at, "block length " + std::to_string(length) +
                              " runs past the end of the stream (" +
                              std::to_string(d.in.size() - dataAt) + " bytes left)");
    const std::uint32_t first = p.lines;
    const auto r = DecodeRunLength(d.in.subspan(dataAt, length), dataAt,
                                   d.in[at] == '9' ? RunFormat::kPlain : RunFormat::kLineRepeat,
                                   p.width, maxLines, p.bits);
    p.lines += r.lines;
    if (r.error) return d.Fail(r.error->offset, r.error->message);
    if (r.lines == 0) return d.Fail(at, "compressed block holds no line");
    if (exactLines != 0 && r.lines != exactLines)
        return d.Fail(at, "compressed block holds " + std::to_string(r.lines) +
                              " lines where the band has " + std::to_string(exactLines));
    const std::size_t end = dataAt + length;
    if (!d.StartsWith(end, std::string_view("\n\0", 2)))
        return d.Fail(end, "compressed block not followed by LF NUL");

    Command c;
    c.offset = at;
    c.name = "compressed block";
    c.raw.assign(d.in.begin() + static_cast<std::ptrdiff_t>(at),
                 d.in.begin() + static_cast<std::ptrdiff_t>(dataAt));
    c.fields = {{"format", d.in[at] == '9' ? "run-length" : "run-length with line repeats"},
                {"plane", PlaneLabel(p, index)},
                {"band", std::to_string(d.page.band)},
                {"length", std::to_string(length) + " bytes"},
                {"lines", LineRange(first, r.lines)}};
    if (r.paddedLines)
        c.fields.push_back({"padding bits set", std::to_string(r.paddedLines) + " lines"});
    d.result.commands.push_back(std::move(c));
    p.compressed = p.compressed || first == 0;
    if (d.in[at] == '9') d.hints.model0 = true;  // "9," blocks come from model 0 only
    d.pos = end + 2;
    return true;
}

// `lines` raw rows at `pos` (after "1," when `marker`), then LF NUL when the plane is
// complete.
static bool RawRows(Decoder& d, std::size_t index, std::uint32_t lines, bool marker)
{
    PlaneState& p = d.page.planes[index];
    const std::size_t at = d.pos;
    const std::size_t dataAt = at + (marker ? 2 : 0);
    const std::size_t need = lines * p.rowBytes;
    if (need > d.in.size() - dataAt)
        return d.Fail(at, "raw raster of " + std::to_string(need) +
                              " bytes runs past the end of the stream (" +
                              std::to_string(d.in.size() - dataAt) + " bytes left)");
    std::uint32_t padded = 0;
    for (std::uint32_t k = 0; k < lines; ++k) {
        const auto row = d.in.subspan(dataAt + k * p.rowBytes, p.rowBytes);
        p.bits.insert(p.bits.end(), row.begin(), row.end());
        if (ClearPadding(p.bits.data() + p.bits.size() - p.rowBytes, p.width)) ++padded;
    }
    const std::uint32_t first = p.lines;
    p.lines += lines;
    std::size_t end = dataAt + need;
    const bool last = p.lines == p.height;
    if (last) {
        if (!d.StartsWith(end, std::string_view("\n\0", 2)))
            return d.Fail(end, "raw raster of plane " + PlaneLabel(p, index) +
                                   " not followed by LF NUL after its last line");
    }

    Command c;
    c.offset = at;
    c.name = "raw raster";
    if (marker) c.raw = {'1', ','};
    c.fields = {{"plane", PlaneLabel(p, index)},
                {"band", std::to_string(d.page.band)},
                {"length", std::to_string(need) + " bytes"},
                {"lines", LineRange(first, lines)}};
    if (padded) c.fields.push_back({"padding bits set", std::to_string(padded) + " lines"});
    d.result.commands.push_back(std::move(c));
    d.pos = end + (last ? 2 : 0);
    return true;
}

bool Decoder::GraphicHeader()
{
    const std::size_t at = pos;
    std::string why;
    const auto h = ParseHeader(in, at, why);
    if (!h) return Fail(at, why);
    if (h->plane > 3)
        return Fail(at, "graphic header for plane " + std::to_string(h->plane) +
                            " (planes are 0 to 3)");
    if (h->width == 0 || h->height == 0)
        return Fail(at, "graphic header of an empty page (" + std::to_string(h->width) + " x " +
                            std::to_string(h->height) + " dots)");
    const std::size_t planeBytes = (static_cast<std::size_t>(h->width) + 7) / 8 * h->height;
    if (planeBytes > kMaxPlaneBytes - planeBytesTotal)
        return Fail(at, "the stream's planes exceed " + std::to_string(kMaxPlaneBytes >> 20) +
                            " MiB; not rebuilt");
    planeBytesTotal += planeBytes;

    if (page.open) {
        const PlaneState& last = page.planes.back();
        const bool numbered = h->plane >= 0;
        const bool samePage = page.firstBand && h->tail == page.headerTail &&
                              numbered == (last.number >= 0) &&
                              (numbered ? h->plane > last.number : page.planes.size() < 4);
        if (!samePage) {
            if (page.Incomplete()) {
                if (h->tail != page.headerTail)
                    return Fail(at, "graphic header of another size inside a page");
                return Fail(at, "graphic header out of plane order inside a page");
            }
            ClosePage(true);
        }
    }
    if (!page.open) {
        page = PageState{};
        page.open = true;
        page.headerTail = h->tail;
    }

    Command c;
    c.offset = at;
    c.name = "graphic header";
    c.raw.assign(in.begin() + static_cast<std::ptrdiff_t>(at),
                 in.begin() + static_cast<std::ptrdiff_t>(at + h->length));
    if (h->plane >= 0) c.fields.push_back({"plane", std::to_string(h->plane) + " (" +
                                                        ColourName(h->plane) + ")"});
    c.fields.push_back({"width", std::to_string(h->width) + " dots"});
    c.fields.push_back({"height", std::to_string(h->height) + " dots"});
    if (h->wide) c.fields.push_back({"form", "model 9"});
    result.commands.push_back(std::move(c));
    pos = at + h->length;

    PlaneState plane;
    plane.number = h->plane;
    plane.width = h->width;
    plane.height = h->height;
    plane.rowBytes = (static_cast<std::size_t>(h->width) + 7) / 8;
    page.planes.push_back(std::move(plane));
    const std::size_t index = page.planes.size() - 1;
    const bool first = index == 0;

    if (StartsWith(pos, "9,") || StartsWith(pos, "A,")) {
        if (!CompressedBlock(*this, index, first ? h->height : page.bandLines,
                             first ? 0 : page.bandLines))
            return false;
        if (first) page.bandLines = page.planes[index].lines;
        return true;
    }
    if (StartsWith(pos, "1,")) {
        const std::uint32_t lines =
            first ? FirstRawBand(*this, pos + 2, page.planes[index]) : page.bandLines;
        if (first) page.bandLines = lines;
        return RawRows(*this, index, lines, true);
    }
    return Fail(pos, "graphic header not followed by a data block (\"9,\", \"A,\" or \"1,\")");
}

bool Decoder::NextBand()
{
    page.firstBand = false;
    ++page.band;
    for (std::size_t index = 0; index < page.planes.size(); ++index) {
        PlaneState& p = page.planes[index];
        if (p.lines >= p.height) continue;
        const std::uint32_t lines = std::min(page.bandLines, p.height - p.lines);
        if (pos >= in.size() || StartsWith(pos, "\x1bXS;I,"))
            return Fail(pos, "page ends before plane " + PlaneLabel(p, index) + " is complete (" +
                                 std::to_string(p.lines) + " of " + std::to_string(p.height) +
                                 " lines)");
        const bool compressed =
            p.number >= 0 && (p.compressed ? (StartsWith(pos, "9,") || StartsWith(pos, "A,"))
                                           : BlockFollows(*this, pos, p, lines));
        if (compressed) {
            if (!CompressedBlock(*this, index, lines, lines)) return false;
        } else if (!RawRows(*this, index, lines, false)) {
            return false;
        }
    }
    return true;
}

void Decoder::ClosePage(bool complete)
{
    if (!page.open) return;
    Page out;
    out.complete = complete && !page.Incomplete();
    const std::size_t count = page.planes.size();
    const int firstColour = count == 3 ? kMagenta : kBlack;
    for (std::size_t i = 0; i < count; ++i) {
        PlaneState& p = page.planes[i];
        Plane plane;
        plane.colour = p.number >= 0 ? p.number : firstColour + static_cast<int>(i);
        plane.width = p.width;
        plane.height = p.height;
        // A plane cut off by the end of the stream or an error keeps the lines it got.
        plane.height = p.lines;
        plane.bits = std::move(p.bits);
        out.planes.push_back(std::move(plane));
    }
    result.pages.push_back(std::move(out));
    page = PageState{};
}

}  // namespace lblinspect::detail
