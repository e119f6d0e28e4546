#include "spool_scope.h"

#include <set>

#include "commands.h"
#include "spooler/spooler.h"

namespace lblctl {

namespace {

std::set<const CLI::App*>& Changing()
{
    static std::set<const CLI::App*> commands;
    return commands;
}

std::set<const CLI::App*>& SpoolFree()
{
    static std::set<const CLI::App*> commands;
    return commands;
}

bool open = false;

}  // namespace

void ChangesSpool(CLI::App* command) { Changing().insert(command); }

void LeavesSpoolAlone(CLI::App* command) { SpoolFree().insert(command); }

void OpenSpoolFor(const CLI::App& app)
{
    bool changes = false;
    for (const CLI::App* cmd = &app;;) {
        if (SpoolFree().count(cmd)) return;
        changes = changes || Changing().count(cmd) > 0;
        auto chosen = cmd->get_subcommands();
        if (chosen.empty()) break;
        cmd = chosen.front();
    }
    if (platform::SpoolDirectory().empty())
        throw Failure{"no spool directory: HOME and XDG_DATA_HOME are not set; give one with --spool DIR"};
    if (platform::OpenSpoolDatabase() != ERROR_SUCCESS)
        throw Failure{platform::SpoolDatabaseError() + " (lblctl spool check tells more)"};
    if (!changes) return;
    DWORD rc = platform::BeginSpoolTransaction();
    if (rc == ERROR_BUSY) throw Failure{"the printer is busy: another lblctl is changing the spooler; try again"};
    if (rc != ERROR_SUCCESS) throw Failure{platform::SpoolDatabaseError()};
    open = true;
}

void FinishSpool()
{
    if (!open) return;
    open = false;
    if (platform::CommitSpoolTransaction() != ERROR_SUCCESS)
        throw Failure{"could not save the changes, nothing was changed: " + platform::SpoolDatabaseError()};
}

void AbandonSpool()
{
    if (!open) return;
    open = false;
    platform::RollbackSpoolTransaction();
}

}  // namespace lblctl
