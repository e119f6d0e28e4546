// lblctl labels fields PRINTER [--json]: the fields the label editor offers on
// the printer's model, found by opening the editor on the first label and
// looking at its pages as a person would, every check box tried both ways so
// that a control it enables counts. Nothing is changed: the sheet is cancelled.
#include <cstdio>
#include <map>
#include <memory>

#include "base/codepage.h"
#include "label_json.h"
#include "labels_commands.h"
#include "spool_scope.h"

namespace lblctl {

namespace {

struct FieldsArgs {
    std::string printer;
    bool json = false;
};

struct SeenControl {
    user::ControlState state;  // as the page first showed it
    bool enabled = false;      // in any state of the page's check boxes
};

// Every page's controls by (page template, control).
using PageControls = std::map<std::pair<WORD, WORD>, SeenControl>;
struct SeenPages {
    PageControls controls;
    std::map<WORD, std::u16string> titles;
};

void Look(user::Desk& d, WORD page, SeenPages& seen)
{
    const user::SheetState sheet = d.Sheet();
    for (const auto& c : sheet.pages[static_cast<size_t>(sheet.active)].controls) {
        auto [it, added] = seen.controls.try_emplace({page, c.id}, SeenControl{c, false});
        it->second.enabled = it->second.enabled || (c.visible && c.enabled);
    }
}

SeenPages Explore(user::Desk& d)
{
    SeenPages seen;
    const user::SheetState sheet = d.Sheet();
    for (size_t i = 0; i < sheet.pages.size(); ++i) {
        if (static_cast<int>(i) != d.Sheet().active && !d.SwitchPage(static_cast<int>(i))) continue;
        const WORD page = sheet.pages[i].templateId;
        seen.titles[page] = sheet.pages[i].title;
        Look(d, page, seen);
        const user::SheetState now = d.Sheet();
        for (const auto& c : now.pages[static_cast<size_t>(now.active)].controls) {
            if (c.kind != user::ControlClass::CheckBox || !c.visible || !c.enabled) continue;
            d.Check(c.id, !c.checked);
            Look(d, page, seen);
            d.Check(c.id, c.checked);
        }
    }
    return seen;
}

const char* KindName(user::ControlClass kind)
{
    switch (kind) {
    case user::ControlClass::Edit: return "number";
    case user::ControlClass::ComboBox: return "choice";
    case user::ControlClass::CheckBox: return "switch";
    case user::ControlClass::Trackbar: return "slider";
    default: return "other";
    }
}

// The field's unit as lblctl writes it.
std::string UnitText(const EditorField& f) { return f.unit == "-" ? "" : f.unit == "um" ? "µm" : f.unit; }

void LabelsFields(const FieldsArgs& args)
{
    PrinterSheet sheet = OpenPrinterSheet(args.printer);
    const std::vector<EditorField> fields = EditorFields(sheet);
    SeenPages seen;
    RunLabelVisits(sheet, fields,
                   {LabelVisit{[](const std::vector<std::u16string>&) { return 0; },
                               [&](LabelEditor& editor) {
                                   seen = Explore(editor.desk());
                                   return std::string();
                               }}},
                   false);

    Json list = Json::array();
    std::vector<std::string> done;
    for (const auto& f : fields) {
        if (!f.ForModel(sheet.model)) continue;
        if (std::find(done.begin(), done.end(), f.field) != done.end()) continue;
        auto it = seen.controls.find({f.page, f.control});
        if (it == seen.controls.end() || !it->second.enabled) continue;
        if (f.pickCombo) {
            auto pick = seen.controls.find({f.page, f.pickCombo});
            if (pick == seen.controls.end() || !pick->second.enabled ||
                f.pickIndex >= static_cast<int>(pick->second.state.items.size()))
                continue;
        }
        done.push_back(f.field);
        const user::ControlState& c = it->second.state;
        const auto range = f.range ? seen.controls.find({f.page, f.range}) : seen.controls.end();
        Json entry = Json::object();
        entry["field"] = f.field;
        entry["meaning"] = f.meaning;
        entry["unit"] = UnitText(f);
        entry["page"] = platform::Narrow(seen.titles[f.page]);
        entry["control"] = KindName(c.kind);
        if (c.kind == user::ControlClass::ComboBox) {
            Json choices = Json::array();
            for (const auto& item : c.items) choices.push_back(platform::Narrow(item));
            entry["choices"] = choices;
        } else if (c.kind == user::ControlClass::Trackbar) {
            entry["min"] = static_cast<std::int64_t>(c.low) * f.step;
            entry["max"] = static_cast<std::int64_t>(c.high) * f.step;
        } else if (c.kind == user::ControlClass::Edit && range != seen.controls.end()) {
            entry["min"] = static_cast<std::int64_t>(range->second.state.low) * f.step;
            entry["max"] = static_cast<std::int64_t>(range->second.state.high) * f.step;
        }
        if (f.step != 1) entry["step"] = f.step;
        entry["allowed"] = AllowedText(f, c, range != seen.controls.end() ? &range->second.state : nullptr);
        list.push_back(entry);
    }

    if (args.json) {
        std::printf("%s\n", DumpLabels(list).c_str());
        return;
    }
    std::printf("Label editor of printer \"%s\", model %u\n", sheet.printer.name.c_str(),
                static_cast<unsigned>(sheet.model));
    for (const auto& e : list) {
        std::string unit = e["unit"].get<std::string>();
        std::string allowed = e["allowed"].get<std::string>();
        if (e.contains("step")) allowed += ", in steps of " + std::to_string(e["step"].get<long>());
            // Padded by characters, not bytes: "µm" is two bytes of UTF-8.
        if (unit.empty()) unit = "-";
        const size_t width = platform::Widen(unit).size();
        unit.append(width < 7 ? 7 - width : 0, ' ');
        std::printf("%-27s %-18s %s %s\n    %s\n", e["field"].get<std::string>().c_str(),
                    e["page"].get<std::string>().c_str(), unit.c_str(), e["meaning"].get<std::string>().c_str(),
                    allowed.c_str());
    }
}

}  // namespace

void AddLabelsFieldsCommand(CLI::App& labels)
{
    auto args = std::make_shared<FieldsArgs>();
    CLI::App* f = labels.add_subcommand(
        "fields", "List the fields the label editor offers on the printer's model, with units and allowed values");
    f->add_option("PRINTER", args->printer, "Printer name")->required();
    f->add_flag("--json", args->json, "Write the list as JSON");
    f->callback([args] { LabelsFields(*args); });
}

}  // namespace lblctl
