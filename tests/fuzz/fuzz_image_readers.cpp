// Any bytes as a PNG and as a PNM picture, and a picture read from them placed on
// a small page.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "raster/raster.h"

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

// Pictures larger than this are read but not scaled (scaling visits every pixel).
constexpr std::uint64_t kMaxPlacedPixels = 4u << 20;

void CheckPicture(const platform::BgrImage& image)
{
    Check(image.width > 0 && image.height > 0);
    Check(static_cast<std::uint64_t>(image.width) * image.height <= platform::kMaxPicturePixels);
    Check(image.bgr.size() == image.Stride() * image.height);
    if (static_cast<std::uint64_t>(image.width) * image.height > kMaxPlacedPixels) return;
    const platform::BgrImage page = platform::PlaceOnPage(image, 37, 23);
    Check(page.width == 37 && page.height == 23 && page.bgr.size() == page.Stride() * page.height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    platform::BgrImage image;
    std::string why;
    if (platform::ReadPngBytes(bytes, image, why))
        CheckPicture(image);
    else
        Check(!why.empty());
    why.clear();
    if (platform::ReadPnmBytes(bytes, image, why))
        CheckPicture(image);
    else
        Check(!why.empty());
    return 0;
}
