// The built-in forms, first in the machine-wide form list in the standard order:
// form n is DMPAPER_ value n. Sizes in micrometres; the imageable area is the whole form.
#pragma once

#include <span>

#include "base/wintypes.h"

namespace platform::spool {

struct BuiltinForm {
    const char16_t* name;
    LONG cx;
    LONG cy;
};

std::span<const BuiltinForm> BuiltinForms();

}  // namespace platform::spool
