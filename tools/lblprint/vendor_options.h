// The device options of the document sheet as IPP vendor attributes: each
// attribute is one sheet item, its keywords the item's choices in order.
#pragma once

#include <array>
#include <string>

#include "base/wintypes.h"

namespace lblprint {

struct VendorOption {
    const char* attribute;               // IPP name, "-supported"/"-default" added
    ULONG_PTR item;                      // the sheet item's identity
    const char* field;                   // the device-mode field, as FIELD=VALUE takes it
    std::array<const char*, 3> keywords;  // choice i of the item; null past the last
    std::array<const char*, 3> values;    // the field's value for choice i
};

inline constexpr std::array<VendorOption, 7> kVendorOptions{{
    {"tag-rotation", 13, "bBottomUp", {"bottom-up", "top-down", nullptr}, {"1", "0", nullptr}},
    {"ribbon-saver", 17, "bRibbonSaver", {"off", "on", nullptr}, {"0", "1", nullptr}},
    {"back-feed", 18, "bBackFeed", {"off", "on", nullptr}, {"0", "1", nullptr}},
    {"auto-feed", 19, "bAutoFeed", {"off", "on", nullptr}, {"0", "1", nullptr}},
    {"data-compression", 20, "bCompression", {"off", "on", nullptr}, {"0", "1", nullptr}},
    {"mirror-print", 12, "bMirror", {"off", "on", nullptr}, {"0", "1", nullptr}},
    {"halftone", 24, "iHalftone", {"dither1", "dither2", "error-diffusion"}, {"dither1", "dither2", "diffusion"}},
}};

// The 4- or 3-colour choice of colour printing (the colour item's choices 1 and 2).
inline constexpr const char* kColorInks = "color-inks";
inline constexpr ULONG_PTR kColorItem = 4, kResolutionItem = 9, kLabelItem = 11;

}  // namespace lblprint
