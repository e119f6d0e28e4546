// FIELD=VALUE assignments of the labels commands: a field of the editor's table
// and its value in the field's unit. Lengths may carry a unit (um, mm, cm, in).
#pragma once

#include <string>
#include <vector>

#include "frontend/label_editor.h"

namespace lblctl {

using namespace frontend;

// The value of one field; a Failure naming the field when the text is not a
// number, or a length not a whole number of the field's unit.
std::int64_t ParseFieldValue(const EditorField& field, const std::string& text);

// Reads the assignments against the editor's table of this model. A field that
// labels export knows but no control of this model edits is refused, naming the
// model, as is an unknown field.
std::vector<ControlValue> ParseAssignments(const std::vector<std::string>& assignments,
                                           const std::vector<EditorField>& fields, DWORD model);

}  // namespace lblctl
