// A label made for one job whose size no label of the printer has: the printer's
// selected label with the job's width and height, added in the printer sheet's
// label editor and applied, as `lblctl labels add --from` adds a label, so that
// the driver validates it and registers its form. The caller holds the spool
// transaction that takes it away again.
#include <algorithm>

#include "base/codepage.h"
#include "frontend/doc_sheet.h"
#include "frontend/failure.h"
#include "frontend/label_editor.h"
#include "frontend/printers.h"
#include "lblprint.h"

namespace lblprint {

namespace {

frontend::ControlValue Value(const std::vector<frontend::EditorField>& fields, DWORD model, const char* name,
                             std::int64_t value)
{
    const frontend::EditorField* field = frontend::FindEditorField(fields, name, model);
    if (!field) throw frontend::Failure{std::string("the label editor of model ") + std::to_string(model) +
                                        " has no control for " + name};
    return frontend::ControlValue{field, value, {}};
}

}  // namespace

LabelMedia AddJobLabel(const std::string& printer, const std::vector<LabelMedia>& labels, long widthUm, long heightUm)
{
    // The editor takes whole 0.1 mm; IPP sizes come in 0.01 mm.
    widthUm = (widthUm + 50) / 100 * 100;
    heightUm = (heightUm + 50) / 100 * 100;
    const std::u16string name = CustomLabelName(widthUm, heightUm);

    user::CommonSheetState defaults;
    {
        auto handle = frontend::OpenPrinterOrFail(printer);
        defaults = frontend::ReadDocumentSheet(handle->h, printer, {});
    }
    const LabelMedia* from = SelectedLabel(defaults, labels);
    if (!from) throw frontend::Failure{"the printer has no label to start from"};

    frontend::PrinterSheet sheet = frontend::OpenPrinterSheet(printer);
    const std::vector<frontend::EditorField> fields = frontend::EditorFields(sheet);
    const frontend::EditorField* nameField = frontend::FindEditorField(fields, "szLabelName", sheet.model);
    if (!nameField) throw frontend::Failure{"the label editor of model " + std::to_string(sheet.model) + " has no label name"};
    // The copy keeps the gap of the label it starts from: its pitch grows and
    // shrinks with the height.
    const std::int64_t pitch = std::int64_t{from->pitch} - from->heightUm / 100 + heightUm / 100;
    const std::vector<frontend::ControlValue> values = {
        frontend::ControlValue{nameField, 0, name},
        Value(fields, sheet.model, "lWidth", widthUm),
        Value(fields, sheet.model, "lHeight", heightUm),
        Value(fields, sheet.model, "lPitch", pitch),
    };

    frontend::LabelVisit visit;
    visit.select = [from](const std::vector<std::u16string>& names) {
        const auto it = std::find(names.begin(), names.end(), from->name);
        return it == names.end() ? -1 : static_cast<int>(it - names.begin());
    };
    visit.act = [&values](frontend::LabelEditor& editor) {
        if (auto why = editor.Set(values); !why.empty()) return why;
        return editor.Press(u"Add");
    };
    visit.missing = "the label editor does not list the label \"" + platform::Narrow(from->name) + "\"";
    frontend::RunLabelVisits(sheet, fields, {visit}, true);

    // Apply stored it, or the editor would have said why not.
    for (const LabelMedia& label : PrinterLabels(printer))
        if (label.name == name && label.widthUm == widthUm && label.heightUm == heightUm) return label;
    throw frontend::Failure{"the label editor did not store the label \"" + platform::Narrow(name) + "\""};
}

}  // namespace lblprint
