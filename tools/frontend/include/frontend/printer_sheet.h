// The printer's property sheet as the front ends use it: opened through the
// printer's UI library and the common property sheet UI, as the spooler opens it
// when a person asks for the printer's properties, and driven through the
// platform's driving interface. Which item edits which field comes from the UI
// library's own table.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "frontend/failure.h"
#include "frontend/printers.h"
#include "frontend/ui_driver.h"
#include "user/driving.h"

namespace frontend {

struct PrinterSheet {
    platform::PrinterRecord printer;
    UiDriver ui;
    DWORD model = 0;
    // The UI library's table: field name -> the text of the item that edits it.
    std::map<std::string, std::u16string> fields;
};

PrinterSheet OpenPrinterSheet(const std::string& printerName);

// The item of the sheet that edits a field, -1 when the printer's sheet has none.
int FindFieldItem(const PrinterSheet& sheet, const user::CommonSheetState& items, const std::string& field);

// Runs the sheet; `agent` is called at every wait (the sheet itself, and any
// message box or colour dialog it opens). Returns the common UI's result.
LONG RunPrinterSheet(PrinterSheet& sheet, user::Agent agent);

}  // namespace frontend
