// lblctl feed PRINTER [--label NAME] [--output FILE]: the printer sheet's Feed
// button pressed with that label selected in its list. The job goes to the
// printer's port, or to FILE.
#include <memory>
#include <string>

#include "base/codepage.h"
#include "commands.h"
#include "frontend/printer_sheet.h"
#include "spooler/spooler.h"

namespace lblctl {

namespace {

struct FeedArgs {
    std::string name;
    std::string label;
    std::string output;
};

// Undoes the redirection of raw documents when the command ends.
struct Redirect {
    explicit Redirect(const std::string& output) { platform::RedirectRawDocuments(output); }
    ~Redirect() { platform::RedirectRawDocuments({}); }
    Redirect(const Redirect&) = delete;
    Redirect& operator=(const Redirect&) = delete;
};

void Feed(const FeedArgs& args)
{
    PrinterSheet sheet = OpenPrinterSheet(args.name);
    Redirect redirect(args.output);
    platform::ClearLastRawDocument();
    std::string error;
    RunPrinterSheet(sheet, [&](user::Desk& d) {
        if (d.What() != user::Waiting::CommonSheet) return;
        const auto items = d.Items();
        const int list = FindFieldItem(sheet, items, "labels");
        const int feed = FindFieldItem(sheet, items, "feed");
        if (feed < 0) {
            error = "printer \"" + args.name + "\" (model " + std::to_string(sheet.model) + ") has no test feed";
        } else if (!args.label.empty()) {
            const auto& choices = list >= 0 ? items.items[list].choices : std::vector<std::u16string>{};
            const std::u16string wanted = platform::Widen(args.label);
            LONG index = -1;
            std::string names;
            for (size_t i = 0; i < choices.size(); ++i) {
                if (choices[i] == wanted) index = static_cast<LONG>(i);
                names += (names.empty() ? "\"" : ", \"") + platform::Narrow(choices[i]) + "\"";
            }
            if (index < 0)
                error = "printer \"" + args.name + "\" has no label \"" + args.label + "\"; its labels are " + names;
            else if (items.items[list].selection != index && !d.Select(list, index))
                error = "the label \"" + args.label + "\" could not be selected";
        }
        if (error.empty() && !d.PushItem(feed)) error = "the Feed button could not be pressed";
        d.Cancel();
    });
    if (!error.empty()) throw Failure{error};
    auto doc = platform::LastRawDocument();
    if (!doc) throw Failure{"the driver sent no test feed to printer \"" + args.name + "\""};
    if (!doc->delivered) throw Failure{"the test feed did not reach " + doc->output + ": " + doc->why};
}

}  // namespace

void AddFeedCommand(CLI::App& app)
{
    auto args = std::make_shared<FeedArgs>();
    CLI::App* feed = app.add_subcommand("feed", "Feed one label on the printer with a label's settings (test feed)");
    feed->add_option("PRINTER", args->name, "Printer name")->required();
    feed->add_option("--label", args->label, "The label to feed (default: the first)");
    feed->add_option("--output", args->output, "Write the job to this file instead of the printer's port");
    feed->callback([args] { Feed(*args); });
}

}  // namespace lblctl
