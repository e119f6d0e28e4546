// The common UI's standard strings.
#pragma once

namespace compstui {

// The standard text of a string identifier, or null when it is none of them.
const char16_t* StandardString(unsigned id);

}  // namespace compstui
