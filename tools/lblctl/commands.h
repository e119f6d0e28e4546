// The subcommands of lblctl, each in its own file.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace lblctl {

// A failure reported to the user as one line on standard error, exit status 1.
struct Failure {
    std::string message;
};

void AddPrinterCommand(CLI::App& app);
void AddLabelsCommand(CLI::App& app);
void AddPpdCommand(CLI::App& app);
void AddInspectCommand(CLI::App& app);
void AddPrintCommand(CLI::App& app);

}  // namespace lblctl
