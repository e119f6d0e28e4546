// lblctl labels export and import: the label database as JSON, imported through
// the label editor.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>

#include "base/codepage.h"
#include "commands.h"
#include "frontend/label_editor.h"
#include "label_json.h"
#include "labels_commands.h"
#include "frontend/names.h"
#include "printer_access.h"
#include "spool_scope.h"
#include "input_file.h"

namespace lblctl {

namespace {

struct ImportArgs {
    std::string name;
    std::string file;
};

void LabelsExport(const std::string& name)
{
    auto printer = OpenPrinterOrFail(name);
    std::u16string wname = platform::Widen(name);
    LabelDbPtr db(GetLabelDatabase(printer->h, wname.c_str()));
    if (!db) throw Failure{"out of memory reading the label database"};
    std::string text = DumpLabels(LabelDatabaseToJson(db.get(), GetLabelNum(db.get())));
    std::printf("%s\n", text.c_str());
}

// The file's text; "-" reads standard input.
std::string ReadText(const std::string& file)
{
    std::vector<std::uint8_t> bytes = ReadInputFile(file, kMaxLabelsFile, "a label database");
    return std::string(bytes.begin(), bytes.end());
}

// The first difference between the stored label and the file's, as "FIELD=V ... (it keeps W)".
std::string FirstDifference(const LABELDATA& wanted, const LABELDATA& stored)
{
    for (const std::string& field : LabelWordNames()) {
        const LabelWord word = *FindLabelWord(field);
        const std::int64_t a = ReadLabelWord(wanted, word), b = ReadLabelWord(stored, word);
        if (a != b) return field + "=" + std::to_string(a) + " cannot be set (it keeps " + std::to_string(b) + ")";
    }
    return "";
}

// Replaces the database in the label editor, as a person would: deletes every
// label but the first, makes the first the file's first label with Update, and
// adds the others in order, each set from the starting point of the first. The
// editor checks each; Apply stores the database and brings the forms into line.
// The stored database is then compared with the file: a field the editor could
// not set refuses the file, and the command's transaction keeps nothing.
void LabelsImport(const ImportArgs& args)
{
    std::vector<LABELDATA> labels;
    {
        auto printer = OpenPrinterOrFail(args.name);
        if (auto why = LabelDatabaseFromText(ReadText(args.file), StandardLabel(args.name), labels); !why.empty())
            throw Failure{Quoted(args.file, kMaxQuotedPath) + ": " + why + "; nothing was written"};
    }
    const std::vector<LABELDATA> old = StoredLabels(args.name);

    PrinterSheet sheet = OpenPrinterSheet(args.name);
    const std::vector<EditorField> fields = EditorFields(sheet);
    auto prefix = [](const LABELDATA& l) { return "label \"" + Quoted(LabelName(l)) + "\": "; };
    std::vector<LabelVisit> visits;
    for (size_t i = 1; i < old.size(); ++i) {
        const std::string p = prefix(old[i]);
        visits.push_back({[](const std::vector<std::u16string>&) { return 1; },
                          [p](LabelEditor& editor) {
                              auto why = editor.Press(u"Delete");
                              return why.empty() ? why : p + why;
                          }});
    }
    for (size_t i = 0; i < labels.size(); ++i) {
        const std::string p = prefix(labels[i]);
        std::vector<ControlValue> values = AllValues(labels[i], fields, sheet.model);
        const std::u16string button = i == 0 ? u"Update" : u"Add";
        visits.push_back({[](const std::vector<std::u16string>&) { return 0; },
                          [p, values, button](LabelEditor& editor) {
                              if (auto why = editor.Set(values); !why.empty()) return p + why;
                              auto why = editor.Press(button);
                              return why.empty() ? why : p + why;
                          }});
    }
    RunLabelVisits(sheet, fields, visits, true);

    const std::vector<LABELDATA> stored = StoredLabels(args.name);
    for (size_t i = 0; i < labels.size(); ++i) {
        if (i >= stored.size() || LabelName(stored[i]) != LabelName(labels[i]))
            throw Failure{prefix(labels[i]) + "the label editor did not store it in its place; nothing was stored"};
        if (auto why = FirstDifference(labels[i], stored[i]); !why.empty())
            throw Failure{prefix(labels[i]) + why + " in the label editor on model " + std::to_string(sheet.model) +
                          "; nothing was stored"};
    }
    if (stored.size() != labels.size())
        throw Failure{"the label editor kept " + std::to_string(stored.size() - labels.size()) +
                      " label(s) the file does not have; nothing was stored"};
}

}  // namespace

std::vector<LABELDATA> StoredLabels(const std::string& printerName)
{
    auto printer = OpenPrinterOrFail(printerName);
    const std::u16string wname = platform::Widen(printerName);
    LabelDbPtr db(GetLabelDatabase(printer->h, wname.c_str()));
    if (!db) throw Failure{"out of memory reading the label database"};
    return std::vector<LABELDATA>(db.get(), db.get() + GetLabelNum(db.get()));
}

int IndexOfName(const std::vector<std::u16string>& names, const std::u16string& name)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

std::vector<ControlValue> AllValues(const LABELDATA& label, const std::vector<EditorField>& fields, DWORD model)
{
    std::vector<ControlValue> values;
    for (const auto& f : fields) {
        if (!f.ForModel(model)) continue;
        bool seen = false;
        for (const auto& v : values) seen = seen || v.field->field == f.field;
        if (seen) continue;  // the first row for a field is the model's
        ControlValue v{&f, 0, {}, true};
        if (f.field == "szLabelName") v.text = label.szLabelName;
        else if (auto word = FindLabelWord(f.field)) v.value = ReadLabelWord(label, *word);
        else continue;
        values.push_back(v);
    }
    return values;
}

void AddLabelsCommand(CLI::App& app)
{
    CLI::App* labels = app.add_subcommand("labels", "Manage a printer's labels in its label editor; export and import them as JSON");
    labels->require_subcommand(1);

    auto exportName = std::make_shared<std::string>();
    CLI::App* exp = labels->add_subcommand("export", "Write the label database as JSON to standard output");
    exp->add_option("NAME", *exportName, "Printer name")->required();
    exp->callback([exportName] { LabelsExport(*exportName); });

    auto importArgs = std::make_shared<ImportArgs>();
    CLI::App* imp = labels->add_subcommand("import", "Replace the label database with the labels of a JSON file, through the label editor");
    imp->add_option("NAME", importArgs->name, "Printer name")->required();
    imp->add_option("FILE", importArgs->file, "JSON file (- for standard input)")->required();
    imp->callback([importArgs] { LabelsImport(*importArgs); });
    ChangesSpool(imp);

    AddLabelsEditCommands(*labels);
    AddLabelsFieldsCommand(*labels);
}

}  // namespace lblctl
