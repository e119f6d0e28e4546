// lblctl spool check: SQLite's integrity check of the spool database, read-only.
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "spool_scope.h"
#include "spooler/spooler.h"

namespace lblctl {

namespace {

void SpoolCheck()
{
    std::vector<std::string> findings;
    DWORD rc = platform::CheckSpoolDatabase(findings);
    if (rc == ERROR_SUCCESS) {
        std::printf("%s/spool.db: ok\n", platform::SpoolDirectory().c_str());
        return;
    }
    if (rc == ERROR_FILE_NOT_FOUND) {  // nothing to check is not damage
        std::printf("%s\n", findings.front().c_str());
        return;
    }
    if (rc == ERROR_PATH_NOT_FOUND) throw Failure{findings.front() + "; give one with --spool DIR"};
    for (const auto& finding : findings) std::printf("%s\n", finding.c_str());
    throw Failure{platform::SpoolDirectory() + "/spool.db: the spool database is damaged (" +
                  std::to_string(findings.size()) + (findings.size() == 1 ? " finding" : " findings") +
                  "); nothing was written to it"};
}

}  // namespace

void AddSpoolCommand(CLI::App& app)
{
    CLI::App* spool = app.add_subcommand("spool", "Check the spooler's database");
    spool->require_subcommand(1);
    LeavesSpoolAlone(spool);
    CLI::App* check = spool->add_subcommand("check", "Run SQLite's integrity check on the spool database (read-only)");
    check->callback([] { SpoolCheck(); });
}

}  // namespace lblctl
