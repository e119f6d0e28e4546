#include "tools/lblctl/commands.h"

namespace lblctl {

void AddPrinterCommand(CLI::App& app, Globals& globals)
{
    (void)app;
    (void)globals;
}

}  // namespace lblctl
