// Decoder of the label printer's command stream, written from the wire format alone.
// It lists every command with its offset and fields, rebuilds the ink planes of each
// page from the raster blocks, and reports the first malformed byte it meets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lblinspect {

// One decoded field, in words ("lPitch", "80.0 mm").
struct Field {
    std::string key;
    std::string value;
};

// One command or raster block of the stream. For raster blocks `raw` holds only the
// framing (marker and length), not the raster bytes.
struct Command {
    std::size_t offset = 0;
    std::string name;
    std::vector<std::uint8_t> raw;
    std::vector<Field> fields;
};

// Ink planes in the order of the ribbon panels.
enum : int { kBlack = 0, kMagenta = 1, kCyan = 2, kYellow = 3 };

// One rebuilt ink plane: `height` rows of RowBytes() bytes, most significant bit
// first, a set bit prints a dot; bits past `width` in a row's last byte are 0.
struct Plane {
    int colour = kBlack;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> bits;

    std::size_t RowBytes() const { return (static_cast<std::size_t>(width) + 7) / 8; }
};

struct Page {
    std::vector<Plane> planes;
    bool complete = true;  // false when the stream broke off inside the page
};

struct Error {
    std::size_t offset = 0;
    std::string message;
};

struct Result {
    std::vector<Command> commands;
    std::vector<Page> pages;
    std::optional<Error> error;  // set when the stream is malformed; decoding stopped there
};

// Decodes a whole stream. Never reads outside `stream`; stops at the first fault.
Result decode(std::span<const std::uint8_t> stream);

// Name of an ink plane: "black", "magenta", "cyan", "yellow".
const char* ColourName(int colour);

// Lowercase hex SHA-256 of a plane's packed rows.
std::string PlaneSha256(const Plane& plane);

// The listing as text, one line per command, then one line per page plane, then the
// error if any.
std::string TextListing(const Result& result);

// The listing as JSON text (commands with fields; per page and plane the colour,
// width, height and SHA-256; the error or null).
std::string JsonListing(const Result& result);

// Ink colours of the preview, 0xRRGGBB per plane, in plane order.
using InkColours = std::array<std::uint32_t, 4>;
InkColours DefaultInks();

// Draws a page on white, one pixel per dot, as RGB rows (3 bytes per pixel). Each
// printed dot multiplies the pixel by its ink colour, so overlapping inks mix
// subtractively (cyan over yellow gives green, all three give near black).
struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;
};
Picture RenderPreview(const Page& page, const InkColours& inks);

// Writes RenderPreview of the page as an 8-bit RGB PNG. Returns false (with a reason
// in `why`) when the file cannot be written.
bool WritePreviewPng(const Page& page, const InkColours& inks, const std::string& path,
                     std::string& why);

// File name of the preview of page `index` (0-based): OUT.png, OUT-2.png, OUT-3.png...
std::string PreviewPath(const std::string& out, std::size_t index);

}  // namespace lblinspect
