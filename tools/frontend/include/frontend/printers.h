// Printers of the spooler as the front ends find, add and remove them: added as
// the platform installs a printer (its description as the driver's data file,
// the driver record, then AddPrinterW and the UI library's install event), and
// removed with the forms of its labels.
#pragma once

#include <memory>
#include <string>

#include "frontend/owners.h"

namespace frontend {

// The registered printer of that name; a Failure "no printer named ..." otherwise.
platform::PrinterRecord FindPrinterOrFail(const std::string& name);

// Opens the printer; a Failure when it is unknown or cannot be opened.
std::unique_ptr<PrinterHandle> OpenPrinterOrFail(const std::string& name);

// The description record of a printer's description file, or null when the
// file cannot be read.
PpdPtr LoadDescription(const std::string& path);

// Adds printer `name` of the description file `ppd`, whose jobs go to `port`
// (a file, socket://host[:port] or a device). A description the UI library
// cannot use for a model 0 to 10 undoes all of it. A Failure says why nothing
// was added.
void AddPrinterFromDescription(const std::string& name, const std::string& ppd, const std::string& port);

// Removes the printer and the forms of its labels that no other printer's label
// bears. A Failure when it is unknown, or when a form stayed.
void RemovePrinterAndForms(const std::string& name);

}  // namespace frontend
