// Text for HTML: the model's UTF-16 texts as escaped UTF-8, and the display form
// of a control's text (its mnemonic marks removed).
#pragma once

#include <string>
#include <string_view>

namespace lblweb {

std::string Escape(std::string_view utf8);
std::string Escape(std::u16string_view utf16);
// "Label &Name:" -> "Label Name:"; "&&" stays one "&".
std::u16string WithoutMnemonic(std::u16string_view text);
// Whether `s` is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view s);

}  // namespace lblweb
