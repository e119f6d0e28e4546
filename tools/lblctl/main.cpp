// lblctl: the command line of the label printer driver.
#include <cstdio>
#include <exception>
#include <string>

#include "commands.h"
#include "spool_scope.h"
#include "spooler/spooler.h"

int main(int argc, char** argv)
{
    CLI::App app{"lblctl: set up label printers, manage their labels, print and inspect printer streams"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("lblctl ") + LBL_VERSION);
    std::string spoolDir;
    app.add_option("--spool", spoolDir, "Spool directory holding the spooler's database");
    // Runs once parsing is done and before any subcommand's callback.
    app.parse_complete_callback([&app, &spoolDir] {
        if (!spoolDir.empty()) platform::SetSpoolDirectory(spoolDir);
        lblctl::OpenSpoolFor(app);
    });

    lblctl::AddPrinterCommand(app);
    lblctl::AddLabelsCommand(app);
    lblctl::AddPpdCommand(app);
    lblctl::AddInspectCommand(app);
    lblctl::AddPrintCommand(app);
    lblctl::AddFormsCommand(app);
    lblctl::AddCapsCommand(app);
    lblctl::AddQueryCommand(app);
    lblctl::AddOptionsCommand(app);
    lblctl::AddDevmodeCommand(app);
    lblctl::AddFeedCommand(app);
    lblctl::AddSpoolCommand(app);

    // A command's changes are kept only when it succeeds.
    try {
        app.parse(argc, argv);
        lblctl::FinishSpool();
    } catch (const CLI::ParseError& e) {
        lblctl::AbandonSpool();
        return app.exit(e);
    } catch (const lblctl::Failure& f) {
        lblctl::AbandonSpool();
        std::fprintf(stderr, "lblctl: %s\n", f.message.c_str());
        return 1;
    } catch (const std::exception& e) {
        lblctl::AbandonSpool();
        std::fprintf(stderr, "lblctl: %s\n", e.what());
        return 1;
    }
    return 0;
}
