// The command-line options of the changes a person makes in the document sheet.
#pragma once

#include "commands.h"
#include "frontend/doc_sheet.h"

namespace lblctl {

// Adds --label, --copies, --collate, --color, --halftone, --resolution, --orientation and --set.
void AddSheetOptions(CLI::App* command, SheetChanges& changes);

}  // namespace lblctl
