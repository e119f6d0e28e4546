// lblctl labels add, update and delete: one visit of the label editor from the
// printer sheet, as a person would make it, and Apply. What was asked is read
// back from the stored database; a change that did not take is refused, and the
// command's spool transaction keeps nothing of it.
#include <memory>

#include "base/codepage.h"
#include "label_json.h"
#include "label_values.h"
#include "labels_commands.h"
#include "frontend/names.h"
#include "printer_access.h"
#include "spool_scope.h"

namespace lblctl {

namespace {

struct EditArgs {
    std::string printer;
    std::string name;
    std::string from;    // add: the label to start from
    std::string rename;  // update: the new name
    std::vector<std::string> assignments;
};

std::string LabelPrefix(const std::string& name) { return "label \"" + Quoted(name) + "\": "; }

// Reads the stored label of that name back and checks every value given.
void CheckStored(const std::string& printer, const std::string& name, const std::vector<ControlValue>& values,
                 DWORD model)
{
    const std::u16string wname = platform::Widen(name);
    for (const LABELDATA& label : StoredLabels(printer)) {
        if (std::u16string(label.szLabelName) != wname) continue;
        for (const ControlValue& v : values) {
            if (v.field->field == "szLabelName") continue;
            const auto word = FindLabelWord(v.field->field);
            const std::int64_t stored = word ? ReadLabelWord(label, *word) : v.value;
            if (stored != v.value)
                throw Failure{LabelPrefix(name) + v.field->field + "=" + std::to_string(v.value) +
                              " did not take in the label editor on model " + std::to_string(model) + " (it keeps " +
                              std::to_string(stored) + ")"};
        }
        return;
    }
    throw Failure{LabelPrefix(name) + "the label editor did not store it"};
}

std::vector<ControlValue> Values(const PrinterSheet& sheet, const std::vector<EditorField>& fields,
                                 const EditArgs& args, const std::string& newName)
{
    std::vector<ControlValue> values = ParseAssignments(args.assignments, fields, sheet.model);
    for (const auto& v : values)
        if (v.field->field == "szLabelName") throw Failure{"szLabelName: give the name as NAME (or --rename NEW)"};
    if (!newName.empty()) {
        CheckName("label name", newName);
        const EditorField* f = FindEditorField(fields, "szLabelName", sheet.model);
        if (!f) throw Failure{"the label editor of model " + std::to_string(sheet.model) + " has no label name"};
        values.insert(values.begin(), ControlValue{f, 0, platform::Widen(newName)});
    }
    return values;
}

LabelVisit Visit(const std::string& select, const std::string& printer, EditorVisit act)
{
    const std::u16string wselect = platform::Widen(select);
    LabelVisit visit;
    visit.select = [wselect, select](const std::vector<std::u16string>& names) {
        return select.empty() ? 0 : IndexOfName(names, wselect);
    };
    visit.act = std::move(act);
    visit.missing = "printer \"" + Quoted(printer) + "\" has no label \"" + Quoted(select) + "\"";
    return visit;
}

void LabelsAdd(const EditArgs& args)
{
    CheckName("label name", args.name);
    PrinterSheet sheet = OpenPrinterSheet(args.printer);
    const std::vector<EditorField> fields = EditorFields(sheet);
    const std::vector<ControlValue> values = Values(sheet, fields, args, args.name);
    const std::string prefix = LabelPrefix(args.name);
    const std::u16string wname = platform::Widen(args.name);
    for (const LABELDATA& label : StoredLabels(args.printer))
        if (std::u16string(label.szLabelName) == wname)
            throw Failure{prefix + "printer \"" + Quoted(args.printer) + "\" has a label of that name"};
    RunLabelVisits(sheet, fields,
                   {Visit(args.from, args.printer,
                          [&](LabelEditor& editor) {
                              if (auto why = editor.Set(values); !why.empty()) return prefix + why;
                              auto why = editor.Press(u"Add");
                              return why.empty() ? why : prefix + why;
                          })},
                   true);
    CheckStored(args.printer, args.name, values, sheet.model);
}

void LabelsUpdate(const EditArgs& args)
{
    PrinterSheet sheet = OpenPrinterSheet(args.printer);
    const std::vector<EditorField> fields = EditorFields(sheet);
    const std::vector<ControlValue> values = Values(sheet, fields, args, args.rename);
    const std::string prefix = LabelPrefix(args.name);
    RunLabelVisits(sheet, fields,
                   {Visit(args.name, args.printer,
                          [&](LabelEditor& editor) {
                              if (auto why = editor.Set(values); !why.empty()) return prefix + why;
                              auto why = editor.Press(u"Update");
                              return why.empty() ? why : prefix + why;
                          })},
                   true);
    CheckStored(args.printer, args.rename.empty() ? args.name : args.rename, values, sheet.model);
}

void LabelsDelete(const EditArgs& args)
{
    PrinterSheet sheet = OpenPrinterSheet(args.printer);
    const std::vector<EditorField> fields = EditorFields(sheet);
    const std::string prefix = LabelPrefix(args.name);
    RunLabelVisits(sheet, fields,
                   {Visit(args.name, args.printer,
                          [&](LabelEditor& editor) {
                              auto why = editor.Press(u"Delete");
                              return why.empty() ? why : prefix + why;
                          })},
                   true);
    const std::u16string wname = platform::Widen(args.name);
    for (const LABELDATA& label : StoredLabels(args.printer))
        if (std::u16string(label.szLabelName) == wname) throw Failure{prefix + "the label editor did not delete it"};
}

}  // namespace

void AddLabelsEditCommands(CLI::App& labels)
{
    auto add = std::make_shared<EditArgs>();
    CLI::App* a = labels.add_subcommand("add", "Add a label in the label editor, starting from a label of the list");
    a->add_option("PRINTER", add->printer, "Printer name")->required();
    a->add_option("NAME", add->name, "Name of the new label")->required();
    a->add_option("--from", add->from, "The label to start from (default: the first)");
    a->add_option("FIELD=VALUE", add->assignments, "Fields to set (lblctl labels fields PRINTER lists them)");
    a->callback([add] { LabelsAdd(*add); });
    ChangesSpool(a);

    auto update = std::make_shared<EditArgs>();
    CLI::App* u = labels.add_subcommand("update", "Change a label in the label editor");
    u->add_option("PRINTER", update->printer, "Printer name")->required();
    u->add_option("NAME", update->name, "Name of the label")->required();
    u->add_option("--rename", update->rename, "A new name for the label");
    u->add_option("FIELD=VALUE", update->assignments, "Fields to set (lblctl labels fields PRINTER lists them)");
    u->callback([update] { LabelsUpdate(*update); });
    ChangesSpool(u);

    auto del = std::make_shared<EditArgs>();
    CLI::App* d = labels.add_subcommand("delete", "Delete a label in the label editor");
    d->add_option("PRINTER", del->printer, "Printer name")->required();
    d->add_option("NAME", del->name, "Name of the label")->required();
    d->callback([del] { LabelsDelete(*del); });
    ChangesSpool(d);
}

}  // namespace lblctl
