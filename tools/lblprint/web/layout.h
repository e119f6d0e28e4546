// How a dialog page's controls, in template order, fall into the rows a person
// reads: a group box heads a section; a caption ("Width:"), a check box or the
// first of a run of push buttons starts a row; everything else joins the row
// before it (an edit, its up-down and unit, a slider and its value text). A
// group holds the rows after its box until the next box, or until a captioned
// row follows one without a caption (the group's own wording has ended).
#pragma once

#include <string>
#include <vector>

#include "user/driving.h"

namespace lblweb {

struct Row {
    bool heading = false;          // a group box's caption
    bool inGroup = false;          // the row belongs to the group box above it
    std::vector<size_t> controls;  // indexes into the page's controls
};

std::vector<Row> PageRows(const user::PageState& page);

// What a person calls a control: its own text for buttons and check boxes,
// else the caption its row starts with, else "the control ID".
std::string ControlName(const user::PageState& page, size_t index);

// The control of a page by identifier, null when there is none.
const user::ControlState* FindControl(const user::PageState& page, WORD id);

}  // namespace lblweb
