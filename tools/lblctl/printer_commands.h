// The parts of "lblctl printer" that live in their own files.
#pragma once

#include <CLI/CLI.hpp>

#include "commands.h"

namespace lblctl {

void AddPrinterDataCommand(CLI::App& printer);
void AddPrinterShowCommand(CLI::App& printer);
void AddPrinterSetCommand(CLI::App& printer);

}  // namespace lblctl
