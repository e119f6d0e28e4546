// The PNG reader's general path, for tests that compare the direct read with it.
#pragma once

#include <span>
#include <string>

#include "raster/raster.h"

namespace platform {

// libpng's simplified reader: every form, alpha composited on white.
bool ReadPngSimplified(std::span<const std::uint8_t> bytes, BgrImage& out, std::string& why);

}  // namespace platform
