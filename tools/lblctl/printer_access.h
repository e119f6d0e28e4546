// Shared helpers of the lblctl commands: opening a printer by name, owning the
// buffers the settings and description libraries hand back, and the conversions
// between command-line text and the driver's wide strings.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "frontend/owners.h"
#include "frontend/printers.h"

namespace lblctl {

using namespace frontend;

// The printer-properties record as stored ("PrinterData", its first 36 bytes; zeros
// where the stored record is shorter or missing). The driver's install event and
// upgrade keep it current; lblctl shows and edits it as stored.
PRINTERPROP StoredPrinterProperties(HANDLE h, const std::string& printerName);

// The database block as the settings library hands it around: a count and then the records.
struct LabelBlock {
    DWORD count = 0;
    LABELDATA labels[MAX_LABELS] = {};
};
static_assert(offsetof(LabelBlock, labels) == 4);

// The standard label of a database made from nothing for this printer name.
LABELDATA StandardLabel(const std::string& printerName);

// Stores the database as "LabelData" and reads it back: a Failure when the stored value
// is not exactly the block (SaveLabelData itself reports success even when the write fails).
void StoreLabelDatabase(HANDLE h, LabelBlock& block, const std::string& printerName);

// "#RRGGBB" of a COLORREF 0x00BBGGRR.
std::string ColorText(COLORREF cr);

}  // namespace lblctl
