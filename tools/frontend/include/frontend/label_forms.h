// The spooler forms of a label database: every label with a size is a printer form
// (FORM_PRINTER) of its name and exact size.
#pragma once

#include <set>
#include <span>
#include <string>
#include <vector>

#include "settings/records.h"

namespace frontend {

// Brings every label's form to the label's size: replaced when a form of that name
// exists, added otherwise. Returns the names whose form could not be written.
std::vector<std::string> ReplaceLabelForms(HANDLE h, std::span<const LABELDATA> labels);

// Deletes the printer forms of these names, except names that a label of another
// printer still uses (forms are machine-wide). Returns the names that could not be deleted.
std::vector<std::string> DeleteLabelForms(HANDLE h, const std::set<std::u16string>& names,
                                          const std::string& printerName);

// The label names of every printer other than this one.
std::set<std::u16string> LabelNamesOfOtherPrinters(const std::string& printerName);

}  // namespace frontend
