#include "frontend/label_editor.h"

#include <algorithm>
#include <sstream>

#include "base/codepage.h"

namespace frontend {

namespace {

// The UI library's editor table: strings 9100 upward.
constexpr UINT kEditorTableFirst = 9100;
constexpr UINT kEditorTableMax = 200;
constexpr WORD kGeneralPage = 228;

// One row "FIELD PAGE CONTROL RANGE UNIT STEP MODELS PICK MEANING"; nullopt when malformed.
std::optional<EditorField> ParseRow(const std::string& row)
{
    std::istringstream in(row);
    EditorField f;
    std::string models, pick;
    unsigned page = 0, control = 0, range = 0;
    if (!(in >> f.field >> page >> control >> range >> f.unit >> f.step >> models >> pick)) return std::nullopt;
    if (page > 0xFFFF || control > 0xFFFF || range > 0xFFFF || f.step <= 0) return std::nullopt;
    f.page = static_cast<WORD>(page);
    f.control = static_cast<WORD>(control);
    f.range = static_cast<WORD>(range);
    if (models != "*") {
        std::istringstream list(models);
        for (std::string m; std::getline(list, m, ',');) {
            if (m.empty() || m.find_first_not_of("0123456789") != std::string::npos || m.size() > 3)
                return std::nullopt;
            f.models.push_back(static_cast<DWORD>(std::stoul(m)));
        }
    }
    if (pick != "-") {
        const size_t colon = pick.find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 == pick.size() || pick.size() > 12 ||
            pick.find_first_not_of("0123456789:") != std::string::npos)
            return std::nullopt;
        f.pickCombo = static_cast<WORD>(std::stoul(pick.substr(0, colon)));
        f.pickIndex = std::stoi(pick.substr(colon + 1));
    }
    std::getline(in >> std::ws, f.meaning);
    return f;
}

std::u16string WithoutMnemonic(std::u16string text)
{
    text.erase(std::remove(text.begin(), text.end(), u'&'), text.end());
    return text;
}

}  // namespace

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

bool EditorField::ForModel(DWORD model) const
{
    return models.empty() || std::find(models.begin(), models.end(), model) != models.end();
}

LONG EditorField::Micrometres() const
{
    if (unit == "um") return 1;
    if (unit == "0.1mm") return 100;
    if (unit == "0.01mm") return 10;
    return 0;
}

std::vector<EditorField> EditorFields(const PrinterSheet& sheet)
{
    std::vector<EditorField> fields;
    for (UINT id = kEditorTableFirst; id < kEditorTableFirst + kEditorTableMax; ++id) {
        const std::string row = platform::Narrow(LoadUiText(sheet.ui.module.h, id));
        if (row.empty()) break;
        if (auto f = ParseRow(row)) fields.push_back(std::move(*f));
    }
    if (fields.empty())
        throw Failure{"the UI library of printer \"" + sheet.printer.name + "\" names no fields of its label editor"};
    return fields;
}

const EditorField* FindEditorField(const std::vector<EditorField>& fields, const std::string& name, DWORD model)
{
    for (const auto& f : fields)
        if (f.field == name && f.ForModel(model)) return &f;
    return nullptr;
}

std::string AllowedText(const EditorField& f, const user::ControlState& c, const user::ControlState* range)
{
    using user::ControlClass;
    switch (c.kind) {
    case ControlClass::ComboBox: {
        std::string list;
        for (size_t i = 0; i < c.items.size(); ++i)
            list += (i ? ", " : "") + std::to_string(i) + " (" + platform::Narrow(c.items[i]) + ")";
        return list.empty() ? "none" : list;
    }
    case ControlClass::CheckBox:
        return "0 or 1 (1: " + platform::Narrow(WithoutMnemonic(c.text)) + ")";
    case ControlClass::Trackbar:
        return std::to_string(static_cast<std::int64_t>(c.low) * f.step) + ".." +
               std::to_string(static_cast<std::int64_t>(c.high) * f.step);
    case ControlClass::Edit:
        if (f.field == "szLabelName") return "1 to " + std::to_string(c.limit) + " characters";
        if (range)
            return std::to_string(static_cast<std::int64_t>(range->low) * f.step) + ".." +
                   std::to_string(static_cast<std::int64_t>(range->high) * f.step);
        return "up to " + std::to_string(c.limit) + " digits";
    default: return "none";
    }
}

bool LabelEditor::ShowPage(WORD page)
{
    const user::SheetState sheet = desk_.Sheet();
    for (size_t i = 0; i < sheet.pages.size(); ++i) {
        if (sheet.pages[i].templateId != page) continue;
        return static_cast<int>(i) == sheet.active || desk_.SwitchPage(static_cast<int>(i));
    }
    return false;
}

std::string LabelEditor::SetOne(const ControlValue& v)
{
    using user::ControlClass;
    const EditorField& f = *v.field;
    const std::string where = " on model " + std::to_string(model_);
    const std::string none = v.ifShown ? "" : f.field + ": the label editor has no control for it" + where;
    if (!f.ForModel(model_) || !ShowPage(f.page)) return none;
    if (f.pickCombo) {
        const user::ControlState pick = desk_.Control(f.pickCombo);
        if (pick.id != f.pickCombo || !pick.visible || !pick.enabled || f.pickIndex >= static_cast<int>(pick.items.size()))
            return none;
        if (pick.selection != f.pickIndex && !desk_.Pick(f.pickCombo, f.pickIndex))
            return f.field + ": the label editor refused the choice of its ribbon";
    }
    const user::ControlState c = desk_.Control(f.control);
    if (c.id != f.control || !c.visible || (v.ifShown && !c.enabled)) return none;
    const user::ControlState r = f.range ? desk_.Control(f.range) : user::ControlState{};
    const std::string allowed = AllowedText(f, c, f.range && r.id == f.range ? &r : nullptr);

    if (c.kind == ControlClass::Edit && f.field == "szLabelName") {
        if (c.text == v.text) return "";
        if (!c.enabled) return f.field + ": the label editor does not let it be changed" + where;
        if (c.limit > 0 && v.text.size() > static_cast<size_t>(c.limit))
            return f.field + ": longer than the editor's " + std::to_string(c.limit) + " characters";
        return desk_.Type(f.control, v.text) ? "" : f.field + ": the label editor refused the text";
    }
    if (v.value % f.step != 0) {
        const LONG um = f.Micrometres() * f.step;
        const std::string unit = um == 100 ? "0.1 mm" : um == 10 ? "0.01 mm" : std::to_string(f.step) + " " + f.unit;
        return f.field + ": " + std::to_string(v.value) + " is not a whole " + unit +
               " (the editor shows whole steps of " + unit + "; allowed " + allowed + where + ")";
    }
    const std::int64_t n = v.value / f.step;
    const std::string refused = f.field + ": " + std::to_string(v.value) + " is not allowed; allowed " + allowed + where;
    switch (c.kind) {
    case ControlClass::Edit: {
        const std::u16string text = platform::Widen(std::to_string(n));
        if (c.text == text) return "";
        if (!c.enabled) return f.field + ": the label editor does not let it be changed" + where;
        if (c.limit > 0 && text.size() > static_cast<size_t>(c.limit)) return refused;
        return desk_.Type(f.control, text) ? "" : refused;
    }
    case ControlClass::ComboBox:
        if (n < 0 || n >= static_cast<std::int64_t>(c.items.size())) return refused;
        if (c.selection == n) return "";
        if (!c.enabled) return f.field + ": the label editor does not let it be changed" + where;
        return desk_.Pick(f.control, static_cast<int>(n)) ? "" : refused;
    case ControlClass::CheckBox:
        if (n != 0 && n != 1) return refused;
        if (c.checked == (n == 1)) return "";
        if (!c.enabled) return f.field + ": the label editor does not let it be changed" + where;
        return desk_.Check(f.control, n == 1) ? "" : refused;
    case ControlClass::Trackbar:
        if (n < c.low || n > c.high) return refused;
        if (c.pos == n) return "";
        if (!c.enabled) {
            // Name the check box that holds it, so that the user knows what to change first.
            const user::SheetState sheet = desk_.Sheet();
            for (const auto& other : sheet.pages[static_cast<size_t>(sheet.active)].controls)
                if (other.kind == ControlClass::CheckBox && other.enabled)
                    return f.field + ": the label editor disables it while \"" +
                           platform::Narrow(WithoutMnemonic(other.text)) + "\" is " +
                           (other.checked ? "checked" : "not checked") + where;
            return f.field + ": the label editor does not let it be changed" + where;
        }
        return desk_.Slide(f.control, static_cast<int>(n)) ? "" : refused;
    default: return f.field + ": the label editor has no control for it" + where;
    }
}

std::string LabelEditor::Set(const std::vector<ControlValue>& given)
{
    // A field may have a row per page design (the ribbon pages differ by model):
    // each value takes the row of a page this editor has.
    const user::SheetState sheet = desk_.Sheet();
    auto hasPage = [&](WORD page) {
        for (const auto& p : sheet.pages)
            if (p.templateId == page) return true;
        return false;
    };
    std::vector<ControlValue> values = given;
    for (ControlValue& v : values) {
        if (hasPage(v.field->page)) continue;
        for (const auto& row : fields_)
            if (row.field == v.field->field && row.ForModel(model_) && hasPage(row.page)) {
                v.field = &row;
                break;
            }
    }
    // Other pages first: leaving a page stores its controls, and the buttons are on "General".
    for (const ControlValue& v : values)
        if (v.field->page != kGeneralPage)
            if (auto why = SetOne(v); !why.empty()) return why;
    if (!ShowPage(kGeneralPage)) return "the label editor has no page \"General\"";
    for (const ControlValue& v : values)
        if (v.field->page == kGeneralPage)
            if (auto why = SetOne(v); !why.empty()) return why;
    return "";
}

std::string LabelEditor::Press(std::u16string_view label)
{
    if (!ShowPage(kGeneralPage)) return "the label editor has no page \"General\"";
    const user::SheetState sheet = desk_.Sheet();
    for (const auto& c : sheet.pages[static_cast<size_t>(sheet.active)].controls) {
        if (c.kind != user::ControlClass::PushButton || WithoutMnemonic(c.text) != label) continue;
        messages.clear();
        if (!desk_.Press(c.id)) return "the label editor's " + platform::Narrow(std::u16string(label)) + " button did not respond";
        return messages.empty() ? "" : OneLine(platform::Narrow(messages.front()));
    }
    return "the label editor has no " + platform::Narrow(std::u16string(label)) + " button";
}

void RunLabelVisits(PrinterSheet& sheet, const std::vector<EditorField>& fields, const std::vector<LabelVisit>& visits,
                    bool apply)
{
    std::string error;
    bool applied = false;
    LabelEditor* editor = nullptr;  // the open editor, while a visit acts in it
    size_t current = 0;

    // In the printer sheet: each visit selects its label and opens the editor.
    auto visitAll = [&](user::Desk& d) {
        const int list = FindFieldItem(sheet, d.Items(), "labels");
        if (list < 0) {
            error = "the printer sheet of printer \"" + sheet.printer.name + "\" has no label list";
            return;
        }
        for (current = 0; current < visits.size() && error.empty(); ++current) {
            const auto items = d.Items();
            const auto& item = items.items[static_cast<size_t>(list)];
            const int index = visits[current].select(item.choices);
            if (index < 0 || index >= static_cast<int>(item.choices.size())) {
                error = visits[current].missing;
                break;
            }
            if (item.selection != index && !d.Select(list, index)) {
                error = "the label list refused the selection";
                break;
            }
            if (!d.PushExt(list) && error.empty()) error = "the label editor could not be opened";
        }
        if (error.empty() && apply) applied = d.Ok();
    };

    RunPrinterSheet(sheet, [&](user::Desk& d) {
        try {
            switch (d.What()) {
            case user::Waiting::MessageBox: {
                // A question (OK and Cancel) is answered OK; any other box is the driver refusing.
                const auto& box = d.Box();
                const auto buttons = user::MessageBoxButtons(box.type);
                const bool question = std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end() &&
                                      std::find(buttons.begin(), buttons.end(), IDOK) != buttons.end();
                if (!question && editor) editor->messages.push_back(box.text);
                if (!question && !editor && error.empty()) error = OneLine(platform::Narrow(box.text));
                d.Answer(IDOK);
                return;
            }
            case user::Waiting::PropertySheet: {
                if (current < visits.size() && error.empty()) {
                    LabelEditor visit(d, fields, sheet.model);
                    editor = &visit;
                    error = visits[current].act(visit);
                    editor = nullptr;
                }
                // Leaving with Cancel keeps what Add, Update and Delete did in the working database.
                d.Cancel();
                return;
            }
            case user::Waiting::CommonSheet:
                visitAll(d);
                if (!applied) d.Cancel();
                return;
            default: return;
            }
        } catch (const Failure& f) {
            editor = nullptr;
            if (error.empty()) error = f.message;
            d.Cancel();
        } catch (const std::exception& e) {
            editor = nullptr;
            if (error.empty()) error = e.what();
            d.Cancel();
        }
    });
    if (!error.empty()) throw Failure{error};
    if (apply && !applied) throw Failure{"the printer sheet of printer \"" + sheet.printer.name + "\" was not applied"};
}

}  // namespace frontend
