// The printer application run for a test: a private state directory, a
// loopback port of its own, stopped when the test ends (also when it fails);
// requests sent with ipptool, reference streams made with lblctl.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace lblprint_test {

struct Run {
    int status = -1;
    std::string out;  // standard output and standard error together
};

// The start of an ipptool test of an IPP operation on $uri (given as
// `uriAttribute`): the operation attributes every request has.
std::string Request(const std::string& operation, const std::string& uriAttribute = "printer-uri");

// Runs a program (argv[0] looked up in PATH) and waits for it.
Run RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});

std::vector<char> ReadFile(const std::string& path);

class App {
public:
    App();
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    bool Start();  // false when it did not answer on its port in time
    void Stop();

    const std::string& Dir() const { return dir_; }
    std::string Spool() const { return dir_ + "/state/spool"; }
    int Port() const { return port_; }
    // The application under the test's own name, for its subcommands.
    const std::string& Program() const { return program_; }
    std::string PrinterUri(const std::string& name) const;

    // ipptool on a test file written from `text`, with -d NAME=VALUE variables.
    Run Ipp(const std::string& uri, const std::string& text, const std::map<std::string, std::string>& vars = {});
    // Create-Printer of a driver with a file:// device; the printer's output file.
    std::string AddPrinter(const std::string& name, const std::string& driver, Run* result = nullptr);
    // Print-Job of a file with extra job attributes (ipptool ATTR lines): "" and
    // the bytes of the printer's device file when the job completed, else the
    // job's state message.
    std::string Print(const std::string& printer, const std::string& device, const std::string& file,
                      const std::string& format, const std::string& attrs, std::vector<char>& output);
    // lblctl --spool Spool() ARGS...
    Run Lblctl(const std::vector<std::string>& args);
    // The bytes `lblctl print` makes of the file with these options.
    std::vector<char> Reference(const std::string& printer, const std::string& file,
                                const std::vector<std::string>& options);

private:
    std::string dir_, program_;
    int port_ = 0;
    pid_t pid_ = -1;
    int jobs_ = 0;
};

}  // namespace lblprint_test
