// Files for the print tests: pictures written with libpng or by hand, a minimal
// PDF, and reading a file back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace print_test {

// An 8-bit picture: channels 1 (grey), 2 (grey, alpha), 3 (RGB) or 4 (RGBA).
struct Picture {
    int width = 0, height = 0, channels = 3;
    std::vector<std::uint8_t> pixels;
};

// A picture whose pixel (x, y) is fn(x, y) as 0xRRGGBB.
Picture RgbPicture(int width, int height, const std::function<std::uint32_t(int, int)>& fn);

// Writes the picture as PNG; bit depth 16 doubles each sample (v * 257).
void WritePng(const std::string& path, const Picture& picture, int bitDepth = 8);
// A palette PNG of the picture (at most 256 distinct RGB colours).
void WritePalettePng(const std::string& path, const Picture& picture);

// A PDF of pages widthPt x heightPt points; page i fills the rectangle rects[i]
// (x, y, w, h in points from the bottom left) with black.
struct PdfRect {
    double x, y, w, h;
};
void WritePdf(const std::string& path, double widthPt, double heightPt, const std::vector<PdfRect>& rects);
// The same with any number of black rectangles per page.
void WritePdfPages(const std::string& path, double widthPt, double heightPt,
                   const std::vector<std::vector<PdfRect>>& pages);

std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace print_test
