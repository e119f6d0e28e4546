// A job's IPP settings as the changes a person makes in the document sheet.
#pragma once

#include <pappl/pappl.h>

#include <string>

#include "frontend/doc_sheet.h"

namespace lblprint {

// The changes for the job's copies, orientation, colour, resolution and vendor
// options, on the label of this name. A vendor value that the printer does not
// offer is a Failure naming what it offers.
frontend::SheetChanges JobChanges(const pappl_pr_options_t& options, const std::u16string& label);

}  // namespace lblprint
