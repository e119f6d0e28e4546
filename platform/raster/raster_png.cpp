// PNG pictures. The common forms (8-bit or less grey, palette and 8-bit colour,
// opaque, not interlaced, sRGB or no gamma) are read row by row straight into the
// picture with chunk CRC and zlib checksum checks off; everything else goes through
// libpng's simplified reader, which composites alpha on white and corrects gamma.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include "raster/raster.h"
#include "raster_file.h"
#include "raster_png.h"

namespace platform {
namespace {

struct MemoryInput {
    std::span<const std::uint8_t> bytes;
    std::size_t pos = 0;
    char error[128] = {};  // a copy: libpng may format its message on its own stack
};

void ReadFromMemory(png_structp png, png_bytep data, png_size_t n)
{
    auto* in = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (n > in->bytes.size() - in->pos) png_error(png, "PNG data is cut short");
    std::memcpy(data, in->bytes.data() + in->pos, n);
    in->pos += n;
}

void OnError(png_structp png, png_const_charp message)
{
    auto* in = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (in) std::snprintf(in->error, sizeof in->error, "%s", message ? message : "");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Whether libpng's simplified reader would give exactly the stored samples for
// this picture, so that the direct read gives the same bytes.
bool DirectReadable(png_structp png, png_infop info)
{
    const int depth = png_get_bit_depth(png, info);
    const int type = png_get_color_type(png, info);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE) return false;
    if (png_get_valid(png, info, PNG_INFO_tRNS)) return false;
    if (!(type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_PALETTE ||
          (type == PNG_COLOR_TYPE_RGB && depth == 8)))
        return false;
    if (depth > 8) return false;
    if (png_get_valid(png, info, PNG_INFO_sRGB)) return true;
    double gamma = 0;
    if (png_get_gAMA(png, info, &gamma) && (gamma < 0.45454 || gamma > 0.45456)) return false;
    return true;
}

enum class Direct { Done, Failed, NotApplicable };

// Everything between setjmp and the end has trivial destructors, so that an
// error's longjmp leaves nothing behind but what png_destroy_read_struct frees.
// Rows y of the picture go to scan0 + y * delta; the picture must be w x h.
Direct ReadDirect(std::span<const std::uint8_t> bytes, std::uint32_t w, std::uint32_t h, std::uint8_t* scan0,
                  std::ptrdiff_t delta, std::string& why)
{
    MemoryInput in{bytes};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png) return Direct::NotApplicable;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return Direct::NotApplicable;
    }
    png_set_read_fn(png, &in, ReadFromMemory);
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        why = in.error[0] ? in.error : "not a readable PNG picture";
        std::free(rows);
        png_destroy_read_struct(&png, &info, nullptr);
        return Direct::Failed;
    }
    // The zlib checksum covers the picture data; chunk CRCs only repeat that check.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_set_user_limits(png, 1u << 24, 1u << 24);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (static_cast<std::uint64_t>(width) * height > kMaxPicturePixels) {
        why = "picture too large";
        png_destroy_read_struct(&png, &info, nullptr);
        return Direct::Failed;
    }
    if (!DirectReadable(png, info)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return Direct::NotApplicable;
    }
    const int type = png_get_color_type(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY) {
        png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * 3) {
        png_destroy_read_struct(&png, &info, nullptr);
        return Direct::NotApplicable;
    }
    if (width != w || height != h) {
        why = "not a readable PNG picture";
        png_destroy_read_struct(&png, &info, nullptr);
        return Direct::Failed;
    }
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!rows) {
        why = "out of memory";
        png_destroy_read_struct(&png, &info, nullptr);
        return Direct::Failed;
    }
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = scan0 + static_cast<std::ptrdiff_t>(y) * delta;
    png_read_image(png, rows);
    std::free(rows);
    rows = nullptr;
    png_destroy_read_struct(&png, &info, nullptr);
    return Direct::Done;
}

// Whether a file of cb bytes can hold a picture of w x h pixels: deflate expands at
// most 1032 times, and each row holds at least a filter byte and one bit per pixel.
// A damaged header claiming far more is refused before any storage is taken.
bool Plausible(std::size_t cb, std::uint32_t w, std::uint32_t h)
{
    const std::uint64_t minRaw = static_cast<std::uint64_t>(h) * (1 + (static_cast<std::uint64_t>(w) + 7) / 8);
    return minRaw <= static_cast<std::uint64_t>(cb) * 1032 + 1032;
}

// The picture's size from its header, to size the storage before the direct read.
bool PeekSize(std::span<const std::uint8_t> bytes, std::uint32_t& w, std::uint32_t& h)
{
    if (bytes.size() < 24 || std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) != 0 ||
        std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
        return false;
    auto be32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at]) << 24 | static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
               static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
    };
    w = be32(16);
    h = be32(20);
    return w > 0 && h > 0 && w <= (1u << 24) && h <= (1u << 24) &&
           static_cast<std::uint64_t>(w) * h <= kMaxPicturePixels && Plausible(bytes.size(), w, h);
}

}  // namespace

bool ReadPngSimplified(std::span<const std::uint8_t> bytes, BgrImage& out, std::string& why)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        why = image.message[0] ? image.message : "not a PNG picture";
        png_image_free(&image);
        return false;
    }
    if (image.width == 0 || image.height == 0 ||
        static_cast<std::uint64_t>(image.width) * image.height > kMaxPicturePixels) {
        png_image_free(&image);
        why = "picture too large";
        return false;
    }
    if (!Plausible(bytes.size(), image.width, image.height)) {
        png_image_free(&image);
        why = "PNG data is cut short";
        return false;
    }
    image.format = PNG_FORMAT_BGR;
    try {
        out.bgr.resize(PNG_IMAGE_SIZE(image));
    } catch (const std::bad_alloc&) {
        png_image_free(&image);
        why = "out of memory";
        return false;
    }
    out.width = image.width;
    out.height = image.height;
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, out.bgr.data(), 0, nullptr)) {
        why = image.message[0] ? image.message : "not a readable PNG picture";
        png_image_free(&image);
        out.width = out.height = 0;
        out.bgr.clear();
        return false;
    }
    return true;
}

bool ReadPngBytes(std::span<const std::uint8_t> bytes, BgrImage& out, std::string& why)
{
    std::uint32_t w = 0, h = 0;
    if (PeekSize(bytes, w, h)) {  // otherwise the simplified reader says what is wrong
        try {
            out.bgr.resize(static_cast<std::size_t>(w) * h * 3);
        } catch (const std::bad_alloc&) {
            why = "out of memory";
            return false;
        }
        switch (ReadDirect(bytes, w, h, out.bgr.data(), static_cast<std::ptrdiff_t>(w) * 3, why)) {
        case Direct::Done:
            out.width = w;
            out.height = h;
            return true;
        case Direct::Failed:
            out = {};
            return false;
        case Direct::NotApplicable:
            break;
        }
    }
    return ReadPngSimplified(bytes, out, why);
}

bool PngSize(std::span<const std::uint8_t> bytes, std::uint32_t& w, std::uint32_t& h) { return PeekSize(bytes, w, h); }

int ReadPngInto(std::span<const std::uint8_t> bytes, std::uint32_t w, std::uint32_t h, std::uint8_t* scan0,
                std::ptrdiff_t delta, std::string& why)
{
    std::uint32_t cx = 0, cy = 0;
    if (!scan0 || !PeekSize(bytes, cx, cy) || cx != w || cy != h) return -1;
    switch (ReadDirect(bytes, w, h, scan0, delta, why)) {
    case Direct::Done:
        return 1;
    case Direct::Failed:
        return 0;
    case Direct::NotApplicable:
        break;
    }
    return -1;
}

bool ReadPng(const std::string& path, BgrImage& out, std::string& why)
{
    PixelBytes bytes;
    if (!ReadFileBytes(path, bytes, why)) return false;
    return ReadPngBytes(bytes, out, why);
}

bool LoadPngPage(const std::string& path, std::uint32_t cx, std::uint32_t cy, const PageOptions& options,
                 PlacedPage& out, std::string& why)
{
    PixelBytes bytes = std::move(out.encoded);
    BgrImage picture = std::move(out.pixels);
    picture.width = picture.height = 0;
    out.name = path;
    if (!ReadFileBytes(path, bytes, why)) return false;
    std::uint32_t w = 0, h = 0;
    if (!options.lineArt && PngSize(bytes, w, h)) {
        // One to one needs no look at the pixels: they are decoded when drawn.
        const Placement plan = PlanPlacement(w, h, cx, cy, false, options.scale);
        if (plan.filter == ScaleFilter::None) {
            out.placement = plan;
            out.encoded = std::move(bytes);
            picture.bgr.clear();
            out.pixels = std::move(picture);
            return true;
        }
    }
    if (!ReadPngBytes(bytes, picture, why)) return false;
    bytes.clear();
    out = PlacePicture(std::move(picture), cx, cy, options);
    out.encoded = std::move(bytes);
    out.name = path;
    return true;
}

bool DecodePlacedPage(PlacedPage& page, std::string& why)
{
    if (page.encoded.empty()) return true;
    if (!ReadPngBytes(page.encoded, page.pixels, why) || page.pixels.width != page.placement.cxPicture ||
        page.pixels.height != page.placement.cyPicture) {
        if (why.empty()) why = "not a readable PNG picture";
        page.pixels = {};
        return false;
    }
    page.encoded.clear();
    return true;
}

PageFileKind SniffPageFile(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return PageFileKind::Unknown;
    char head[1024] = {};
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    if (n >= 8 && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0) return PageFileKind::Png;
    if (n >= 2 && head[0] == 'P' && (head[1] == '4' || head[1] == '5' || head[1] == '6')) return PageFileKind::Pnm;
    // A PDF header may follow some leading bytes within the first kilobyte.
    for (std::size_t i = 0; i + 5 <= n; ++i)
        if (std::memcmp(head + i, "%PDF-", 5) == 0) return PageFileKind::Pdf;
    return PageFileKind::Unknown;
}

}  // namespace platform
