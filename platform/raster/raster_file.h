// Reading a page file whole, with read(2): a file that shrinks while it is read
// gives a short result rather than a fault.
#pragma once

#include <string>

#include "raster/raster.h"

namespace platform {

// The file's bytes in `bytes` (resized to the length read, up to kMaxFileBytes);
// false and the system's reason when it cannot be read.
bool ReadFileBytes(const std::string& path, PixelBytes& bytes, std::string& why);

// Larger page files are refused.
constexpr std::size_t kMaxFileBytes = std::size_t{1} << 31;

}  // namespace platform
