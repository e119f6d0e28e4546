// The subcommands of lblctl, each in its own file.
#pragma once

#include <string>
#include <vector>

#include "base/wintypes.h"
#include "frontend/failure.h"

namespace frontend {
struct UiDriver;
}

#include <CLI/CLI.hpp>

namespace lblctl {

// The front ends' shared code (tools/frontend) is used as lblctl's own; its
// Failure is reported as one line on standard error, exit status 1.
using namespace frontend;

void AddPrinterCommand(CLI::App& app);
void AddLabelsCommand(CLI::App& app);
void AddPpdCommand(CLI::App& app);
void AddPpdListCommand(CLI::App& ppd);
void AddInspectCommand(CLI::App& app);
void AddPrintCommand(CLI::App& app);
void AddFormsCommand(CLI::App& app);
void AddCapsCommand(CLI::App& app);
void AddQueryCommand(CLI::App& app);
void AddOptionsCommand(CLI::App& app);
void AddDevmodeCommand(CLI::App& app);
void AddFeedCommand(CLI::App& app);
void AddSpoolCommand(CLI::App& app);

// A device mode read from a file: as long as its size fields say, never less than
// the public part; a Failure otherwise.
std::vector<BYTE> ReadDevModeFile(const std::string& path);
// The form a device mode names (DM_FORMNAME), empty when it names none.
std::string FormNameOf(const std::vector<BYTE>& devmode);
// A public device mode (no private part) naming this device; the driver merges it into its default.
std::vector<BYTE> PublicDevMode(const std::string& deviceName);
// Names a form, by its number in the spooler's form list when it has one, as applications do.
void ChooseForm(std::vector<BYTE>& devmode, const std::string& formName);
void ChooseResolution(std::vector<BYTE>& devmode, int dpi);

// The driver's reason when it refuses a job of this device mode (DevQueryPrintEx); empty when it prints.
std::string AskDriver(const UiDriver& ui, HANDLE hPrinter, std::vector<BYTE>& devmode);

}  // namespace lblctl
