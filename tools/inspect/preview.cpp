// Page previews: the planes drawn in their ink colours on white, one pixel per dot.
// Inks mix by multiplication, as layers of transparent ink on paper do: each printed
// dot multiplies the pixel's red, green and blue by those of its ink.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "tools/inspect/inspect.h"

namespace lblinspect {

InkColours DefaultInks()
{
    return {0x000000, 0xFF00FF, 0x00FFFF, 0xFFFF00};
}

Picture RenderPreview(const Page& page, const InkColours& inks)
{
    Picture pic;
    for (const Plane& plane : page.planes) {
        pic.width = std::max(pic.width, plane.width);
        pic.height = std::max(pic.height, plane.height);
    }
    pic.rgb.assign(static_cast<std::size_t>(pic.width) * pic.height * 3, 0xFF);
    for (const Plane& plane : page.planes) {
        const std::uint32_t ink = inks[static_cast<std::size_t>(plane.colour) & 3];
        const unsigned channel[3] = {(ink >> 16) & 0xFF, (ink >> 8) & 0xFF, ink & 0xFF};
        const std::size_t rowBytes = plane.RowBytes();
        for (std::uint32_t y = 0; y < plane.height; ++y) {
            const std::uint8_t* row = plane.bits.data() + y * rowBytes;
            std::uint8_t* out = pic.rgb.data() + static_cast<std::size_t>(y) * pic.width * 3;
            for (std::uint32_t x = 0; x < plane.width; ++x) {
                if (!(row[x / 8] & (0x80 >> (x % 8)))) continue;
                for (int c = 0; c < 3; ++c) {
                    std::uint8_t& v = out[x * 3 + c];
                    v = static_cast<std::uint8_t>((v * channel[c] + 127) / 255);
                }
            }
        }
    }
    return pic;
}

namespace {

struct PngWriter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriter() { png_destroy_write_struct(&png, &info); }
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool WritePreviewPng(const Page& page, const InkColours& inks, const std::string& path,
                     std::string& why)
{
    const Picture pic = RenderPreview(page, inks);
    if (pic.width == 0 || pic.height == 0) {
        why = "the page has no raster to draw";
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        why = "cannot write " + path;
        return false;
    }
    PngWriter w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (w.png) w.info = png_create_info_struct(w.png);
    if (!w.png || !w.info) {
        why = "out of memory for the PNG writer";
        return false;
    }
    if (setjmp(png_jmpbuf(w.png))) {
        why = "cannot write " + path;
        return false;
    }
    png_init_io(w.png, file.get());
    png_set_IHDR(w.png, w.info, pic.width, pic.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(w.png, w.info);
    for (std::uint32_t y = 0; y < pic.height; ++y)
        png_write_row(w.png, pic.rgb.data() + static_cast<std::size_t>(y) * pic.width * 3);
    png_write_end(w.png, nullptr);
    if (std::fflush(file.get()) != 0) {
        why = "cannot write " + path;
        return false;
    }
    return true;
}

std::string PreviewPath(const std::string& out, std::size_t index)
{
    if (index == 0) return out;
    const std::string suffix = "-" + std::to_string(index + 1);
    const std::size_t slash = out.find_last_of('/');
    const std::size_t dot = out.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1))
        return out + suffix;
    return out.substr(0, dot) + suffix + out.substr(dot);
}

}  // namespace lblinspect
