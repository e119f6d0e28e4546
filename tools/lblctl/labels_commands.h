// The labels subcommands beside export and import, each in its own file.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "frontend/label_editor.h"

namespace lblctl {

using namespace frontend;

void AddLabelsFieldsCommand(CLI::App& labels);
void AddLabelsEditCommands(CLI::App& labels);

// The stored database of the printer, read back after the sheet was applied.
std::vector<LABELDATA> StoredLabels(const std::string& printerName);
// The index of the name in a label list, -1 when it is not there.
int IndexOfName(const std::vector<std::u16string>& names, const std::u16string& name);
// The values of the editor's fields for one whole label, for setting every control the model shows.
std::vector<ControlValue> AllValues(const LABELDATA& label, const std::vector<EditorField>& fields, DWORD model);

}  // namespace lblctl
