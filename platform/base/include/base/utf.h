// UTF-8 <-> UTF-16 conversion used by the code-page functions, Widen and Narrow.
// Malformed input becomes U+FFFD; *invalid (when given) reports that it happened.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::u16string DecodeUtf8(std::string_view utf8, bool* invalid = nullptr);
std::string EncodeUtf8(std::u16string_view utf16, bool* invalid = nullptr);

}  // namespace platform
