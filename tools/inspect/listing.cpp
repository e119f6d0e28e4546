// The listing as text: one line per command, then the pages, then the error.
#include <cstdio>

#include "inspect/inspect.h"

namespace lblinspect {

std::string TextListing(const Result& result)
{
    std::string out;
    char line[64];
    for (const Command& c : result.commands) {
        std::snprintf(line, sizeof line, "%10zu  ", c.offset);
        out += line;
        out += c.name;
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            out += i == 0 ? ": " : ", ";
            out += c.fields[i].key;
            out += ' ';
            out += c.fields[i].value;
        }
        out += '\n';
    }
    for (std::size_t n = 0; n < result.pages.size(); ++n) {
        const Page& page = result.pages[n];
        for (const Plane& plane : page.planes) {
            std::snprintf(line, sizeof line, "page %zu, %s: %u x %u dots, sha256 ", n + 1,
                          ColourName(plane.colour), plane.width, plane.height);
            out += line;
            out += PlaneSha256(plane);
            if (!page.complete) out += " (incomplete)";
            out += '\n';
        }
    }
    if (result.error) {
        std::snprintf(line, sizeof line, "error at offset %zu: ", result.error->offset);
        out += line;
        out += result.error->message;
        out += '\n';
    }
    return out;
}

}  // namespace lblinspect
