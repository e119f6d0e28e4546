// The printer's document property sheet as the front ends use it: opened through
// the spooler's DocumentPropertiesW, as a print dialog does, with the person's
// changes made on its items. A front end decides nothing about the settings itself.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "frontend/failure.h"
#include "user/driving.h"

namespace frontend {

// Changes a person makes in the sheet, by the command line's names.
struct SheetChanges {
    std::string label;
    std::optional<int> copies;
    bool collate = false;
    std::string color;        // mono, 4color, 3color
    std::string halftone;     // dither1, dither2, diffusion
    std::optional<int> resolution;
    std::string orientation;  // portrait, landscape
    std::vector<std::string> sets;  // FIELD=VALUE of the device options
    bool Any() const;
};

// The sheet of the printer opened on `input` (the printer's defaults when empty):
// its items as the person sees them, then closed with Cancel.
user::CommonSheetState ReadDocumentSheet(HANDLE hPrinter, const std::string& printer,
                                         const std::vector<BYTE>& input);

// The device mode the sheet gives after the changes and OK; a Failure naming
// what the sheet offers when it does not offer a change.
std::vector<BYTE> DeviceModeFromSheet(HANDLE hPrinter, const std::string& printer, const std::vector<BYTE>& input,
                                      const SheetChanges& changes);

}  // namespace frontend
