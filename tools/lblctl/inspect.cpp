// lblctl inspect: lists and checks a printer command stream, previews its pages.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "commands.h"
#include "inspect/inspect.h"
#include "spool_scope.h"
#include "input_file.h"

namespace lblctl {

namespace {

struct InspectOptions {
    std::string file;
    bool json = false;
    std::string png;
    std::string spot;
    bool spotGiven = false;
};

// "black=#RRGGBB,cyan=#RRGGBB": replaces the ink colours of the named planes.
lblinspect::InkColours ParseSpot(const std::string& text)
{
    lblinspect::InkColours inks = lblinspect::DefaultInks();
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const std::size_t eq = item.find('=');
        const std::string name = item.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : item.substr(eq + 1);
        int plane = -1;
        for (int p = 0; p < 4; ++p)
            if (name == lblinspect::ColourName(p)) plane = p;
        bool ok = plane >= 0 && value.size() == 7 && value[0] == '#';
        for (std::size_t i = 1; ok && i < value.size(); ++i)
            ok = std::isxdigit(static_cast<unsigned char>(value[i])) != 0;
        if (!ok)
            throw Failure{"--spot: \"" + item +
                          "\" is not PLANE=#RRGGBB with PLANE black, magenta, cyan or yellow"};
        inks[static_cast<std::size_t>(plane)] =
            static_cast<std::uint32_t>(std::stoul(value.substr(1), nullptr, 16));
        start = comma + 1;
    }
    return inks;
}

std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    return ReadInputFile(path, kMaxStreamFile, "a printer stream");
}

void RunInspect(const InspectOptions& options)
{
    const lblinspect::InkColours inks =
        options.spotGiven ? ParseSpot(options.spot) : lblinspect::DefaultInks();
    const std::vector<std::uint8_t> bytes = ReadFile(options.file);
    lblinspect::Result result = lblinspect::decode(bytes);

    // The listing up to the error goes to standard output, the error itself to standard
    // error (and into the JSON document, for programs reading it).
    const std::optional<lblinspect::Error> error = result.error;
    if (!options.json) result.error.reset();
    const std::string listing =
        options.json ? lblinspect::JsonListing(result) + "\n" : lblinspect::TextListing(result);
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    std::fflush(stdout);

    // Pages cut short by an error are previewed with the rows they got.
    std::string writeFailure;
    if (!options.png.empty()) {
        for (std::size_t i = 0; i < result.pages.size(); ++i) {
            const auto& planes = result.pages[i].planes;
            if (std::none_of(planes.begin(), planes.end(),
                             [](const lblinspect::Plane& p) { return p.height > 0; }))
                continue;
            std::string why;
            if (!lblinspect::WritePreviewPng(result.pages[i], inks,
                                             lblinspect::PreviewPath(options.png, i), why) &&
                writeFailure.empty())
                writeFailure = why;
        }
    }
    if (error) throw Failure{"offset " + std::to_string(error->offset) + ": " + error->message};
    if (!writeFailure.empty()) throw Failure{writeFailure};
}

}  // namespace

void AddInspectCommand(CLI::App& app)
{
    auto options = std::make_shared<InspectOptions>();
    CLI::App* sub = app.add_subcommand(
        "inspect", "List and check a printer command stream; preview its pages as PNG");
    sub->add_option("FILE", options->file, "The printer command stream")->required();
    sub->add_flag("--json", options->json, "Print the listing as JSON");
    sub->add_option("--png", options->png,
                    "Write each page's preview: OUT.png, OUT-2.png, ... (one pixel per dot)");
    CLI::Option* spot = sub->add_option("--spot", options->spot,
                                        "Ink colours of planes, e.g. black=#RRGGBB,magenta=#RRGGBB");
    LeavesSpoolAlone(sub);
    sub->callback([options, spot] {
        options->spotGiven = spot->count() > 0;  // an empty --spot "" is an error, not the default
        RunInspect(*options);
    });
}

}  // namespace lblctl
