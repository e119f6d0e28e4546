// Page rasters of the graphics-engine stand-in: pictures read from PNG, PNM and
// PDF files, and their placement on a page of the device. Pictures hold blue,
// green, red bytes per pixel, top row first, as the band surface does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

struct BgrImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> bgr;  // width * height * 3 bytes

    std::size_t Stride() const { return static_cast<std::size_t>(width) * 3; }
};

// Largest picture accepted from a file, in pixels (a 16 x 16 inch page at 600 dpi
// has 92 million); keeps a hostile header from asking for gigabytes.
constexpr std::uint64_t kMaxPicturePixels = 100'000'000;

enum class PageFileKind { Png, Pnm, Pdf, Unknown };

// The kind of a page file by its first bytes; Unknown when it cannot be read.
PageFileKind SniffPageFile(const std::string& path);

// Readers: true and the picture, or false and a short reason. Grey, palette,
// 16-bit and alpha PNG pictures come out as 8-bit colour, alpha composited on white.
bool ReadPng(const std::string& path, BgrImage& out, std::string& why);
bool ReadPngBytes(std::span<const std::uint8_t> bytes, BgrImage& out, std::string& why);
// PNM: P4 (bitmap, a set bit is black), P5 (grey) and P6 (colour), maxval 1..65535.
bool ReadPnm(const std::string& path, BgrImage& out, std::string& why);
bool ReadPnmBytes(std::span<const std::uint8_t> bytes, BgrImage& out, std::string& why);

// PDF: the number of pages (-1 and a reason when the file cannot be opened), and one
// page rendered at dpi on white. When the page at that resolution is within a dot of
// cxPage x cyPage dots, it is rendered at exactly that size.
int PdfPageCount(const std::string& path, std::string& why);
bool RenderPdfPage(const std::string& path, int index, int dpi, std::uint32_t cxPage, std::uint32_t cyPage,
                   BgrImage& out, std::string& why);

// The page of cx x cy dots showing the picture: one to one when the sizes match,
// otherwise scaled to fit with its aspect kept, centred on white.
BgrImage PlaceOnPage(BgrImage picture, std::uint32_t cx, std::uint32_t cy);

}  // namespace platform
