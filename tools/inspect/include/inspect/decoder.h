// Internal pieces of the stream decoder, shared by its source files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/inspect.h"

namespace lblinspect::detail {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint8_t kEsc = 0x1B;

// What earlier commands told about the printer family; the issue command's letters
// mean different things on model 0.
struct ModelHints {
    bool model0 = false;
};

// ---- text fields (fields.cpp) ----

// Reads the fixed fields of one command's text, left to right.
struct FieldScanner {
    std::string_view text;
    std::size_t pos = 0;

    bool Literal(std::string_view lit);
    // n decimal digits, most significant first.
    std::optional<long> Digits(std::size_t n);
    // "+" or "-" then n digits.
    std::optional<long> Signed(std::size_t n);
    // One or more digits in plain decimal (at most 9).
    std::optional<long> Decimal();
    bool AtEnd() const { return pos == text.size(); }
    std::string_view Rest() const { return text.substr(pos); }
};

// 0.1 mm and 0.01 mm values in words: "80.0 mm", "-1.25 mm"; `sign` forces "+".
std::string Tenths(long value, bool sign = false);
std::string Hundredths(long value, bool sign = false);
std::string SignedNumber(long value);

// Printable form of bytes: ESC as \e, LF as \n, NUL as \0, others outside ASCII as \xNN.
std::string EscapeBytes(Bytes bytes);

// ---- commands (commands.cpp) ----

// Decodes the text of one LF NUL terminated command (the bytes after ESC, before LF)
// into its name and fields. False with a reason when the text fits no command.
bool DecodeCommandText(std::string_view text, ModelHints& hints, Command& command,
                       std::string& why);

// ---- run-length blocks (runlength.cpp) ----

enum class RunFormat {
    kPlain,       // "9," blocks: header 0x7F is a literal of 128 bytes
    kLineRepeat,  // "A," blocks: header 0x7F plus a count repeats the previous line
};

struct RunLengthOutcome {
    std::uint32_t lines = 0;        // whole lines appended to `out`
    std::uint32_t paddedLines = 0;  // lines whose bits past the width were set (now cleared)
    std::optional<Error> error;     // offsets are absolute stream offsets
};

// Decodes one compressed block into whole lines of (width + 7) / 8 bytes appended to
// `out`, at most `maxLines` lines. `blockOffset` is the stream offset of block[0]. On
// an error `out` keeps only the whole lines decoded before it.
RunLengthOutcome DecodeRunLength(Bytes block, std::size_t blockOffset, RunFormat format,
                                 std::uint32_t width, std::uint32_t maxLines,
                                 std::vector<std::uint8_t>& out);

// Clears the bits past `width` in the last byte of a line; true when any was set.
bool ClearPadding(std::uint8_t* line, std::uint32_t width);

// ---- raster framing and page assembly (raster.cpp) ----

struct PlaneState {
    int number = -1;  // plane digit of the graphic header, -1 when the header has none
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t rowBytes = 0;
    std::uint32_t lines = 0;
    bool compressed = false;  // the first band came as a compressed block
    std::vector<std::uint8_t> bits;
};

struct PageState {
    bool open = false;
    bool firstBand = true;          // graphic headers may still open planes
    std::uint32_t bandLines = 0;    // lines per band, from the first plane's first band
    std::uint32_t band = 0;         // index of the band being read
    std::string headerTail;         // header text after the plane digit
    std::vector<PlaneState> planes;

    bool Incomplete() const;
};

// Planes of one decoded stream are held in memory together; their declared sizes may
// add up to this much.
constexpr std::size_t kMaxPlaneBytes = std::size_t{1} << 30;

struct Decoder {
    Bytes in;
    std::size_t pos = 0;
    std::size_t planeBytesTotal = 0;
    Result result;
    ModelHints hints;
    PageState page;

    bool Fail(std::size_t offset, std::string message);
    bool StartsWith(std::size_t at, std::string_view text) const;

    // Graphic header at `pos` (ESC "SG") and the first-band data of its plane.
    bool GraphicHeader();
    // One band after the first: each plane's bytes in turn.
    bool NextBand();
    // Moves the open page to the result.
    void ClosePage(bool complete);
};

}  // namespace lblinspect::detail
