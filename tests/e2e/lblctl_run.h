// Running the built lblctl in a temporary spool directory, and reading what it left
// in the spooler through the spooler API of this process (same directory).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/wintypes.h"

namespace e2e {

struct RunResult {
    int status = -1;  // exit status; -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// The spool directory of this test process (created on first use, removed at exit).
const std::string& SpoolDir();

// A copy of a model's description file in the spool directory (its binary
// description file is written beside it, never into the source tree).
std::string TestPpd(int model = 1);

// Runs lblctl --spool SpoolDir() ARGS...; `input` is written to its standard input.
// Safe to call from several threads at once.
RunResult Lblctl(const std::vector<std::string>& args, const std::string& input = "");

// How a run differs: environment entries "NAME=VALUE" set and "-NAME" removed,
// without --spool when `spool` is false, in another working directory.
struct RunOptions {
    std::vector<std::string> env;
    bool spool = true;
    std::string cwd;
};
RunResult LblctlWith(const RunOptions& options, const std::vector<std::string>& args, const std::string& input = "");

// Writes text to a file in the spool directory and returns its path.
std::string WriteFile(const std::string& name, const std::string& text);

// The bytes of a printer data value, nullopt when it is missing.
std::optional<std::vector<BYTE>> PrinterValue(const std::string& printer, const std::string& value);

struct Form {
    DWORD flags = 0;
    SIZEL size{};
    RECTL area{};
};
// The spooler's form of that name, nullopt when there is none.
std::optional<Form> FindForm(const std::string& name);

DWORD Dword(const std::vector<BYTE>& bytes, size_t offset);

// Counts the lines of a message (a trailing newline ends the last line).
int LineCount(const std::string& text);

}  // namespace e2e
