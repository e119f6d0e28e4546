// Page previews: the planes drawn in their ink colours on white, one pixel per dot.
// Inks mix by multiplication, as layers of transparent ink on paper do: each printed
// dot multiplies the pixel's red, green and blue by those of its ink.
#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "inspect/inspect.h"

namespace lblinspect {

InkColours DefaultInks()
{
    return {0x000000, 0xFF00FF, 0x00FFFF, 0xFFFF00};
}

namespace {

// The size of the picture a page draws (width, height): the largest plane.
std::pair<std::uint32_t, std::uint32_t> PictureSize(const Page& page)
{
    std::uint32_t width = 0, height = 0;
    for (const Plane& plane : page.planes) {
        width = std::max(width, plane.width);
        height = std::max(height, plane.height);
    }
    return {width, height};
}

// Draws row y of the page into out (width × 3 bytes, RGB).
void DrawRow(const Page& page, const InkColours& inks, std::uint32_t y, std::uint32_t width, std::uint8_t* out)
{
    std::fill(out, out + static_cast<std::size_t>(width) * 3, 0xFF);
    for (const Plane& plane : page.planes) {
        if (y >= plane.height) continue;
        const std::uint32_t ink = inks[static_cast<std::size_t>(plane.colour) & 3];
        const unsigned channel[3] = {(ink >> 16) & 0xFF, (ink >> 8) & 0xFF, ink & 0xFF};
        const std::uint8_t* row = plane.bits.data() + static_cast<std::size_t>(y) * plane.RowBytes();
        for (std::uint32_t x = 0; x < plane.width; ++x) {
            if (!(row[x / 8] & (0x80 >> (x % 8)))) continue;
            for (int c = 0; c < 3; ++c) {
                std::uint8_t& v = out[static_cast<std::size_t>(x) * 3 + c];
                v = static_cast<std::uint8_t>((v * channel[c] + 127) / 255);
            }
        }
    }
}

}  // namespace

Picture RenderPreview(const Page& page, const InkColours& inks)
{
    Picture pic;
    std::tie(pic.width, pic.height) = PictureSize(page);
    pic.rgb.resize(static_cast<std::size_t>(pic.width) * pic.height * 3);
    for (std::uint32_t y = 0; y < pic.height; ++y)
        DrawRow(page, inks, y, pic.width, pic.rgb.data() + static_cast<std::size_t>(y) * pic.width * 3);
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
    // Drawn and written a row at a time: a preview needs no more memory than one row,
    // however large a page the stream declares.
    const auto [width, height] = PictureSize(page);
    if (width == 0 || height == 0) {
        why = "the page has no raster to draw";
        return false;
    }
    // Created with the umask's mode, an existing file keeps its mode, and a
    // symbolic link is never written through.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    std::unique_ptr<std::FILE, FileCloser> file(fd >= 0 ? ::fdopen(fd, "wb") : nullptr);
    if (!file) {
        const int err = errno;
        if (fd >= 0) ::close(fd);
        why = "cannot write " + path + (err == ELOOP ? ": a symbolic link" : std::string(": ") + std::strerror(err));
        return false;
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
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
    png_set_IHDR(w.png, w.info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(w.png, w.info);
    for (std::uint32_t y = 0; y < height; ++y) {
        DrawRow(page, inks, y, width, row.data());
        png_write_row(w.png, row.data());
    }
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
