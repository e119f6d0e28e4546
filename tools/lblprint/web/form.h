// A posted form read against the view the page showed: the controls whose posted
// value differs from what was shown become actions, in the page's order, then
// the button pressed. Every value is checked first; a form with any value that
// the view could not have produced (a choice out of range, a text over the
// control's limit, a number that is not one) gives an error and no actions.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "session.h"

namespace lblweb {

using FormFields = std::map<std::string, std::string>;

struct Post {
    std::vector<Action> actions;
    std::string error;  // "" when the form is sound
};

Post ReadPost(const View& view, const FormFields& form);

// Texts longer than this are refused in any field, whatever the control.
constexpr size_t kMaxFieldBytes = 1024;

}  // namespace lblweb
