#include "tools/lblctl/commands.h"

namespace lblctl {

void AddInspectCommand(CLI::App& app, Globals& globals)
{
    (void)app;
    (void)globals;
}

}  // namespace lblctl
