// Shared helpers of the lblctl commands: opening a printer by name, owning the
// buffers the settings and description libraries hand back, and the conversions
// between command-line text and the driver's wide strings.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "owners.h"

namespace lblctl {

// The registered printer of that name; a Failure "no printer named ..." otherwise.
platform::PrinterRecord FindPrinterOrFail(const std::string& name);

// Opens the printer; a Failure when it is unknown or cannot be opened.
std::unique_ptr<PrinterHandle> OpenPrinterOrFail(const std::string& name);

// The description record of the printer's description file, or null when the file
// cannot be read.
PpdPtr LoadDescription(const std::string& path);

// The printer-properties record as the printer sheet works on it: 36 bytes, version
// 0x0110, at most wSize bytes of the stored (or default) record kept. Without a
// description the stored record is used as it is; a Failure when there is neither.
PRINTERPROP ReadPrinterProperties(HANDLE h, const PPDDATA* pPpd, const std::string& printerName);

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
