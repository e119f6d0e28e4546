#include "tools/lblctl/commands.h"

namespace lblctl {

void AddPpdCommand(CLI::App& app, Globals& globals)
{
    (void)app;
    (void)globals;
}

}  // namespace lblctl
