// The subcommands of lblctl, each in its own file.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace lblctl {

// Options shared by every subcommand.
struct Globals {
    std::string spoolDir;  // --spool; empty means the spooler's default
};

// Applies the global options (the spool directory) before a subcommand runs.
void ApplyGlobals(const Globals& globals);

// A failure reported to the user as one line on standard error, exit status 1.
struct Failure {
    std::string message;
};

void AddPrinterCommand(CLI::App& app, Globals& globals);
void AddLabelsCommand(CLI::App& app, Globals& globals);
void AddPpdCommand(CLI::App& app, Globals& globals);
void AddInspectCommand(CLI::App& app, Globals& globals);
void AddPrintCommand(CLI::App& app, Globals& globals);

}  // namespace lblctl
