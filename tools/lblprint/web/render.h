// The HTML of a view: the innermost sheet as a form (a property sheet's active
// page with its tabs, or a common sheet's items), a message box or the colour
// dialog as a dialog over it, and the buttons that end them. Rendering is
// generic per control and item kind; what a control means is the driver's.
#pragma once

#include <string>

#include "session.h"

namespace lblweb {

struct PageContext {
    std::string action;      // where the form posts
    std::string csrf;        // PAPPL's session token
    std::string error;       // why the last post was refused, "" when it was not
    std::string reopen;      // label of the button that opens the sheet again once it ended
};

// The body of the page (no header or footer).
std::string RenderView(const View& view, const PageContext& context);

}  // namespace lblweb
