// The label editor as the front ends drive it: opened from the printer sheet's
// label list, its pages' controls set as a person would, Add, Update or Delete pressed.
// Which control edits which label field, in what unit, comes from the UI
// library's own table; the choices and ranges from the controls themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frontend/printer_sheet.h"
#include "settings/records.h"

namespace frontend {

// One row of the UI library's editor table.
struct EditorField {
    std::string field;    // as labels export names it: lWidth, alDensAdj[0], aRibbon[2].lRewindAdj
    WORD page = 0;        // dialog template of the page
    WORD control = 0;
    WORD range = 0;       // up-down control bounding an edit box, 0 for none
    std::string unit;     // "um", "0.1mm", "0.01mm" or "-"
    LONG step = 1;        // field units per unit of the control
    std::vector<DWORD> models;  // empty: every model
    WORD pickCombo = 0;   // a choice to make on the page first
    int pickIndex = -1;
    std::string meaning;

    bool ForModel(DWORD model) const;
    // Micrometres per field unit; 0 when the field is not a length.
    LONG Micrometres() const;
};

// The editor table of the printer sheet's UI library; a Failure when it has none.
std::vector<EditorField> EditorFields(const PrinterSheet& sheet);

// The editor row that edits a field on this model, or null.
const EditorField* FindEditorField(const std::vector<EditorField>& fields, const std::string& name, DWORD model);

// A value to put into a field's control: a number in the control's unit, or the name's text.
struct ControlValue {
    const EditorField* field = nullptr;
    std::int64_t value = 0;   // in field units
    std::u16string text;      // szLabelName only
    bool ifShown = false;     // skipped, not refused, where the model shows no control for it
};

// What a person does in one visit of the editor. Returns "" when done, else why
// not; a message box the driver shows while it acts is answered and recorded.
using EditorVisit = std::function<std::string(class LabelEditor&)>;

// The editor of one visit, over the driving interface.
class LabelEditor {
public:
    LabelEditor(user::Desk& desk, const std::vector<EditorField>& fields, DWORD model)
        : desk_(desk), fields_(fields), model_(model) {}

    // Sets the controls of these values, page by page with "General" last; "" or why not.
    std::string Set(const std::vector<ControlValue>& values);
    // Presses the push button of page "General" labelled `label` (Add, Update,
    // Delete); "" or the driver's message.
    std::string Press(std::u16string_view label);
    user::Desk& desk() { return desk_; }
    DWORD Model() const { return model_; }
    const std::vector<EditorField>& Fields() const { return fields_; }

    // Filled in by the agent while the editor waits for an answer.
    std::vector<std::u16string> messages;

private:
    bool ShowPage(WORD page);
    std::string SetOne(const ControlValue& v);

    user::Desk& desk_;
    const std::vector<EditorField>& fields_;
    DWORD model_;
};

// A message box's text as one line of a message: line breaks as blanks, no trailing blanks.
std::string OneLine(std::string text);

// The allowed values of a field's control on the active page, as text for a message.
std::string AllowedText(const EditorField& f, const user::ControlState& c, const user::ControlState* range);

// One visit of the editor: which label of the list to select (its index, -1 when
// there is none to select, which fails with `missing`) and what to do in it.
struct LabelVisit {
    std::function<int(const std::vector<std::u16string>& names)> select;
    EditorVisit act;
    std::string missing = "the label is not in the list";
};

// Runs the printer sheet: each visit selects its label and opens the editor,
// which is left with Cancel (keeping what its buttons did); after the last
// visit the sheet is applied when `apply` is set, otherwise cancelled. A
// Failure carries the first refusal.
void RunLabelVisits(PrinterSheet& sheet, const std::vector<EditorField>& fields, const std::vector<LabelVisit>& visits,
                    bool apply);

}  // namespace frontend
