// A picture read from any bytes (PNG or PNM), placed on pages of sizes and with
// options taken from the input's last bytes: one to one, cropped, padded, and
// scaled up and down with every filter. The page must come out whole.
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

// Pages and pictures are kept small enough that each run stays fast.
constexpr std::uint64_t kMaxPixels = 1u << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5) return 0;
    // The last five bytes: page width and height (1..1024) and the options.
    const std::uint8_t* tail = data + size - 5;
    const std::uint32_t cx = 1 + ((tail[0] << 8 | tail[1]) & 1023);
    const std::uint32_t cy = 1 + ((tail[2] << 8 | tail[3]) & 1023);
    platform::PageOptions options;
    options.scale = static_cast<platform::ScaleMode>(tail[4] % 3);
    options.lineArt = (tail[4] & 4) != 0;
    const std::span<const std::uint8_t> bytes(data, size - 5);

    platform::BgrImage picture;
    std::string why;
    const bool ok = (tail[4] & 8) ? platform::ReadPnmBytes(bytes, picture, why)
                                  : platform::ReadPngBytes(bytes, picture, why);
    if (!ok) {
        Check(!why.empty());
        return 0;
    }
    Check(picture.Whole());
    if (static_cast<std::uint64_t>(picture.width) * picture.height > kMaxPixels) return 0;

    const std::uint32_t w = picture.width, h = picture.height;
    const platform::PlacedPage placed = platform::PlacePicture(picture, cx, cy, options);
    const platform::Placement& p = placed.placement;
    Check(p.cx == cx && p.cy == cy && p.cxPicture == w && p.cyPicture == h);
    Check(placed.pixels.width == p.cxPlaced && placed.pixels.height == p.cyPlaced && placed.pixels.Whole());
    // Scaled pictures fit (give or take the one-to-one margin); the description names the sizes.
    Check(p.cxPlaced <= cx + 2 && p.cyPlaced <= cy + 2);
    Check(!platform::DescribePlacement(p).empty());
    if (options.lineArt) Check(platform::IsBilevel(placed.pixels));

    const platform::BgrImage page = platform::PlaceOnPage(std::move(picture), cx, cy, options);
    Check(page.width == cx && page.height == cy && page.Whole());
    return 0;
}
