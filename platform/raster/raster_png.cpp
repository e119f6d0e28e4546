// PNG pictures through libpng's simplified reader: every colour type and depth
// comes out as 8-bit blue, green, red, with alpha composited on white.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "raster/raster.h"

namespace platform {
namespace {

bool FinishRead(png_image& image, BgrImage& out, std::string& why)
{
    if (image.width == 0 || image.height == 0 ||
        static_cast<std::uint64_t>(image.width) * image.height > kMaxPicturePixels) {
        png_image_free(&image);
        why = "picture too large";
        return false;
    }
    image.format = PNG_FORMAT_BGR;
    out.width = image.width;
    out.height = image.height;
    out.bgr.assign(PNG_IMAGE_SIZE(image), 0);
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, out.bgr.data(), 0, nullptr)) {
        why = image.message[0] ? image.message : "not a readable PNG picture";
        png_image_free(&image);
        out = {};
        return false;
    }
    return true;
}

}  // namespace

bool ReadPngBytes(std::span<const std::uint8_t> bytes, BgrImage& out, std::string& why)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        why = image.message[0] ? image.message : "not a PNG picture";
        png_image_free(&image);
        return false;
    }
    return FinishRead(image, out, why);
}

bool ReadPng(const std::string& path, BgrImage& out, std::string& why)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        why = std::strerror(errno);
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    bool ok = png_image_begin_read_from_stdio(&image, f) != 0;
    if (!ok) {
        why = image.message[0] ? image.message : "not a PNG picture";
        png_image_free(&image);
    } else {
        ok = FinishRead(image, out, why);
    }
    std::fclose(f);
    return ok;
}

PageFileKind SniffPageFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return PageFileKind::Unknown;
    char head[1024] = {};
    in.read(head, sizeof head);
    const std::size_t n = static_cast<std::size_t>(in.gcount());
    if (n >= 8 && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0) return PageFileKind::Png;
    if (n >= 2 && head[0] == 'P' && (head[1] == '4' || head[1] == '5' || head[1] == '6')) return PageFileKind::Pnm;
    // A PDF header may follow some leading bytes within the first kilobyte.
    for (std::size_t i = 0; i + 5 <= n; ++i)
        if (std::memcmp(head + i, "%PDF-", 5) == 0) return PageFileKind::Pdf;
    return PageFileKind::Unknown;
}

}  // namespace platform
