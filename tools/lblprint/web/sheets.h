// The driver's calls behind the pages, run on a session's worker: each opens a
// sheet of one printer of the spooler and returns, once it closes, a sentence
// saying how it ended. A driver that cannot be reached gives that reason instead.
#pragma once

#include <string>

namespace lblweb {

// The printer's property sheet (DrvDevicePropertySheets through the common
// property sheet UI), as the spooler opens it; its Apply stores the changes,
// and the label editor opens from its label list.
std::string RunPrinterSheet(const std::string& printer);

// The document sheet on the printer's default device mode (DocumentPropertiesW);
// OK stores what it gives as the printer's new default, in one spool transaction.
std::string RunDefaultsSheet(const std::string& printer);

}  // namespace lblweb
