// Page rasters of the graphics-engine stand-in: pictures read from PNG, PNM and
// PDF files, and their placement on a page of the device. Pictures hold blue,
// green, red bytes per pixel, top row first, as the band surface does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace platform {

// Pixel storage. Growing it does not zero-fill (every reader writes each byte it
// keeps), and large blocks ask the kernel for huge pages, so that a page picture
// costs a few page faults rather than thousands.
struct PixelAllocatorBase {
    static void* Allocate(std::size_t cb);
    static void Free(void* p, std::size_t cb) noexcept;
};
template <class T>
struct PixelAllocator : PixelAllocatorBase {
    using value_type = T;
    PixelAllocator() = default;
    template <class U>
    PixelAllocator(const PixelAllocator<U>&) noexcept
    {
    }
    T* allocate(std::size_t n) { return static_cast<T*>(Allocate(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { Free(p, n * sizeof(T)); }
    template <class U, class... Args>
    void construct(U* p, Args&&... args)
    {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void*>(p)) U;
        else
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    friend bool operator==(const PixelAllocator&, const PixelAllocator&) { return true; }
};
using PixelBytes = std::vector<std::uint8_t, PixelAllocator<std::uint8_t>>;

struct BgrImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    PixelBytes bgr;  // width * height * 3 bytes

    std::size_t Stride() const { return static_cast<std::size_t>(width) * 3; }
    bool Whole() const { return bgr.size() == Stride() * height; }
};

// Largest picture accepted from a file, in pixels (a 16 x 16 inch page at 600 dpi
// has 92 million); keeps a hostile header from asking for gigabytes.
constexpr std::uint64_t kMaxPicturePixels = 100'000'000;

enum class PageFileKind { Png, Pnm, Pdf, Unknown };

// The kind of a page file by its first bytes; Unknown when it cannot be read.
PageFileKind SniffPageFile(const std::string& path);

// Readers: true and the picture, or false and a short reason. Grey, palette,
// 16-bit and alpha PNG pictures come out as 8-bit colour, alpha composited on white.
// `out` keeps its storage from one picture to the next.
bool ReadPng(const std::string& path, BgrImage& out, std::string& why);
bool ReadPngBytes(std::span<const std::uint8_t> bytes, BgrImage& out, std::string& why);
// The size a PNG header gives, when it is plausible for the file's length.
bool PngSize(std::span<const std::uint8_t> bytes, std::uint32_t& w, std::uint32_t& h);
// Decodes a PNG picture of w x h pixels straight into rows of 3 * w bytes at
// scan0 + y * delta (a band surface's memory): 1 when done, 0 when it failed (the
// reason in why; rows may be partly written), -1 when the picture needs the
// general reader or is not w x h, before anything was written.
int ReadPngInto(std::span<const std::uint8_t> bytes, std::uint32_t w, std::uint32_t h, std::uint8_t* scan0,
                std::ptrdiff_t delta, std::string& why);
// PNM: P4 (bitmap, a set bit is black), P5 (grey) and P6 (colour), maxval 1..65535.
bool ReadPnm(const std::string& path, BgrImage& out, std::string& why);
bool ReadPnmBytes(std::span<const std::uint8_t> bytes, BgrImage& out, std::string& why);

// How a picture is brought to the page when it is not one to one.
enum class ScaleMode {
    Auto,    // sharp for pictures of only black and white pixels, smooth otherwise
    Smooth,  // area averaging
    Sharp,   // whole-pixel replication when the factor is whole, else nearest neighbour
};

struct PageOptions {
    ScaleMode scale = ScaleMode::Auto;
    bool lineArt = false;    // every pixel to black or white (threshold at half) first
    bool antialias = false;  // PDF vector and text anti-aliasing
};

// Rendered: a PDF page drawn at the size it is placed at.
enum class ScaleFilter { None, Replicate, Nearest, Area, Rendered };

// What is done to a picture of cxPicture x cyPicture pixels on a page of cx x cy
// dots. The (possibly scaled) picture of cxPlaced x cyPlaced sits with its top
// left corner at (x0, y0) on the page; negative offsets crop it, the rest of the
// page is white.
struct Placement {
    std::uint32_t cxPicture = 0, cyPicture = 0;
    std::uint32_t cx = 0, cy = 0;
    ScaleFilter filter = ScaleFilter::None;
    double factor = 1.0;
    std::uint32_t cxPlaced = 0, cyPlaced = 0;
    long x0 = 0, y0 = 0;
};

// Whether a size in pixels is close enough to a size in dots to be placed one to
// one: within 1 % of it and at most 2 dots away.
bool NearSize(std::uint32_t pixels, std::uint32_t dots);
// Whether every pixel is black (0, 0, 0) or white (255, 255, 255).
bool IsBilevel(const BgrImage& picture);
// Every pixel to black or white: white when its luminance is above half (128 of
// 255), so that middle grey prints black.
void ThresholdToBilevel(BgrImage& picture);

// The placement of a picture: one to one when both sides are near the page's,
// otherwise scaled to fit with the aspect kept and centred.
Placement PlanPlacement(std::uint32_t cxPicture, std::uint32_t cyPicture, std::uint32_t cx, std::uint32_t cy,
                        bool bilevel, ScaleMode mode);
// One line for a person: the label's and the picture's sizes and what is done.
std::string DescribePlacement(const Placement& p);

// A picture placed on a page: `pixels` (the picture itself when one to one,
// otherwise the scaled picture) at placement.x0, placement.y0.
struct PlacedPage {
    Placement placement;
    BgrImage pixels;
    // A PNG picture placed one to one and not decoded yet (then `pixels` is empty):
    // its file's bytes, decoded when the page is drawn, straight into the band
    // when one band holds the whole page. `name` is the file's, for messages.
    PixelBytes encoded;
    std::string name;
};

// Places the picture on a page of cx x cy dots (see PlanPlacement); the picture's
// storage becomes the page's when no scaling is needed.
PlacedPage PlacePicture(BgrImage picture, std::uint32_t cx, std::uint32_t cy, const PageOptions& options = {});
// The whole page as one picture, white where the picture does not reach.
BgrImage PlaceOnPage(BgrImage picture, std::uint32_t cx, std::uint32_t cy, const PageOptions& options = {});

// A PNG page file, placed on a page of cx x cy dots: one to one it stays encoded
// (see PlacedPage), otherwise it is decoded and placed. `out` keeps its storage.
bool LoadPngPage(const std::string& path, std::uint32_t cx, std::uint32_t cy, const PageOptions& options,
                 PlacedPage& out, std::string& why);
// Decodes a page that is still encoded into its `pixels`.
bool DecodePlacedPage(PlacedPage& page, std::string& why);

// PDF: the number of pages (-1 and a reason when the file cannot be opened), a
// page's size in points, and one page rendered on white at the size it is placed
// at on a page of cx x cy dots at dpi: at dpi when the page is near the label's size
// (then placed one to one), otherwise at the resolution that fits it on the label.
// The PDF library is loaded on the first PDF; the last document opened stays open
// for the next call on the same unchanged file.
int PdfPageCount(const std::string& path, std::string& why);
bool PdfPageSize(const std::string& path, int index, double& widthPt, double& heightPt, std::string& why);
bool RenderPdfPage(const std::string& path, int index, int dpi, std::uint32_t cx, std::uint32_t cy,
                   const PageOptions& options, PlacedPage& out, std::string& why);
// The placement of a PDF page of widthPt x heightPt points at dpi on a page of
// cx x cy dots, and the factor it is rendered at (1: at dpi); false for an unusable size.
bool PlanPdfPage(double widthPt, double heightPt, int dpi, std::uint32_t cx, std::uint32_t cy, Placement& p,
                 double& scale);
// Closes the document kept open.
void ClosePdfDocuments();

}  // namespace platform
