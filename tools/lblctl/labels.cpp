// lblctl labels export and import: the label database as JSON.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>

#include "base/codepage.h"
#include "commands.h"
#include "label_forms.h"
#include "label_json.h"
#include "names.h"
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

// Replaces the database and brings the forms into line as applying the printer sheet
// does: every label's form added or replaced at its exact size, then the database
// stored, then the forms of labels no longer in it deleted.
void LabelsImport(const ImportArgs& args)
{
    auto printer = OpenPrinterOrFail(args.name);
    HANDLE h = printer->h;

    std::vector<LABELDATA> labels;
    if (auto why = LabelDatabaseFromText(ReadText(args.file), StandardLabel(args.name), labels); !why.empty())
        throw Failure{Quoted(args.file, kMaxQuotedPath) + ": " + why + "; nothing was written"};

    std::u16string wname = platform::Widen(args.name);
    LabelDbPtr old(GetLabelDatabase(h, wname.c_str()));
    if (!old) throw Failure{"out of memory reading the label database"};

    auto block = std::make_unique<LabelBlock>();
    block->count = static_cast<DWORD>(labels.size());
    std::copy(labels.begin(), labels.end(), block->labels);
    std::span<const LABELDATA> fresh(block->labels, block->count);

    std::vector<std::string> failed = ReplaceLabelForms(h, fresh);
    StoreLabelDatabase(h, *block, args.name);

    std::set<std::u16string> gone;
    for (DWORD i = 0; i < GetLabelNum(old.get()); ++i) {
        std::u16string oldName = platform::Widen(LabelName(old.get()[i]));
        if (!FindLabelData(block->labels, oldName.c_str())) gone.insert(oldName);
    }
    for (auto& name : DeleteLabelForms(h, gone, args.name)) failed.push_back(name);
    if (!failed.empty())
        throw Failure{"labels stored, but the form \"" + failed.front() + "\" could not be written or deleted"};
}

}  // namespace

void AddLabelsCommand(CLI::App& app)
{
    CLI::App* labels = app.add_subcommand("labels", "Export and import a printer's label database as JSON");
    labels->require_subcommand(1);

    auto exportName = std::make_shared<std::string>();
    CLI::App* exp = labels->add_subcommand("export", "Write the label database as JSON to standard output");
    exp->add_option("NAME", *exportName, "Printer name")->required();
    exp->callback([exportName] { LabelsExport(*exportName); });

    auto importArgs = std::make_shared<ImportArgs>();
    CLI::App* imp = labels->add_subcommand("import", "Replace the label database with the labels of a JSON file");
    imp->add_option("NAME", importArgs->name, "Printer name")->required();
    imp->add_option("FILE", importArgs->file, "JSON file (- for standard input)")->required();
    imp->callback([importArgs] { LabelsImport(*importArgs); });
    ChangesSpool(imp);
}

}  // namespace lblctl
