// How a command of lblctl meets the spooler: commands that change it run in one
// spool transaction, so that everything one command writes commits together and
// no other process's change slips in between its reads and its writes; commands
// that never touch the spool database are marked so that a damaged database does
// not stop them. Every other command checks the database before it starts.
#pragma once

#include <CLI/CLI.hpp>

namespace lblctl {

// The command writes to the spooler: it runs inside one spool transaction.
void ChangesSpool(CLI::App* command);
// The command does not use the spool database.
void LeavesSpoolAlone(CLI::App* command);

// Called once parsing is done: checks the spool directory and database for the
// chosen command and opens its transaction. A Failure when the database is
// missing a directory, damaged or busy.
void OpenSpoolFor(const CLI::App& app);
// After the command's callback returned: commits its transaction; a Failure
// (nothing saved) when the commit fails.
void FinishSpool();
// After the command failed: nothing it wrote is kept.
void AbandonSpool();

}  // namespace lblctl
