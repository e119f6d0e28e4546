// lblctl: the command line of the label printer driver.
#include <cstdio>
#include <exception>

#include "platform/spooler.h"
#include "tools/lblctl/commands.h"

namespace lblctl {

void ApplyGlobals(const Globals& globals)
{
    if (!globals.spoolDir.empty()) platform::SetSpoolDirectory(globals.spoolDir);
}

}  // namespace lblctl

int main(int argc, char** argv)
{
    CLI::App app{"lblctl: set up label printers, manage their labels, print and inspect printer streams"};
    app.require_subcommand(1);
    lblctl::Globals globals;
    app.add_option("--spool", globals.spoolDir, "Spool directory holding the spooler's database");

    lblctl::AddPrinterCommand(app, globals);
    lblctl::AddLabelsCommand(app, globals);
    lblctl::AddPpdCommand(app, globals);
    lblctl::AddInspectCommand(app, globals);
    lblctl::AddPrintCommand(app, globals);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    } catch (const lblctl::Failure& f) {
        std::fprintf(stderr, "lblctl: %s\n", f.message.c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lblctl: %s\n", e.what());
        return 1;
    }
    return 0;
}
