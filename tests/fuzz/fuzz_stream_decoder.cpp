// Any bytes as a printer command stream: decoded, listed as text and JSON, and
// previewed, checking what the decoder promises about its result.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/inspect.h"

namespace {

// Pages larger than this are decoded and listed but not drawn (the preview holds
// three bytes per dot).
constexpr std::uint64_t kMaxPreviewDots = 4u << 20;

void Check(bool ok)
{
    if (!ok) std::abort();
}

void CheckPlane(const lblinspect::Plane& plane)
{
    Check(plane.colour >= 0 && plane.colour <= 3);
    Check(plane.bits.size() == plane.RowBytes() * plane.height);
    const unsigned used = plane.width % 8;
    if (used == 0) return;
    const std::uint8_t unused = static_cast<std::uint8_t>(0xFFu >> used);
    for (std::uint32_t y = 0; y < plane.height; ++y) Check((plane.bits[(y + 1) * plane.RowBytes() - 1] & unused) == 0);
}

}  // namespace

// Every decoded line feeds many counters, and the entropic schedule then spends most
// of its time updating feature frequencies (twenty runs a second instead of
// hundreds). The plain schedule is used unless the command line chooses.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static std::vector<char*> args;
    static char plain[] = "-entropic=0";
    args.assign(*argv, *argv + *argc);
    for (char* a : args)
        if (std::string_view(a).starts_with("-entropic=")) return 0;
    args.insert(args.begin() + 1, plain);
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size() - 1);
    *argv = args.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const std::uint8_t> stream(data, size);
    const lblinspect::Result result = lblinspect::decode(stream);

    std::size_t previous = 0;
    for (std::size_t i = 0; i < result.commands.size(); ++i) {
        const lblinspect::Command& c = result.commands[i];
        Check(c.offset < size && (i == 0 || c.offset > previous));
        Check(c.raw.size() <= size - c.offset);
        previous = c.offset;
    }
    if (result.error) Check(result.error->offset <= size && !result.error->message.empty());

    // Listings of any stream, whatever bytes its commands hold (the JSON writer
    // would throw on bytes that are not UTF-8 if they reached it unescaped).
    volatile std::size_t sink = lblinspect::TextListing(result).size();
    const std::string json = lblinspect::JsonListing(result);
    Check(json.size() > 2 && json.front() == '{' && json.back() == '}');

    const lblinspect::InkColours inks = lblinspect::DefaultInks();
    for (const lblinspect::Page& page : result.pages) {
        std::uint64_t width = 0, height = 0;
        for (const lblinspect::Plane& plane : page.planes) {
            CheckPlane(plane);
            width = std::max<std::uint64_t>(width, plane.width);
            height = std::max<std::uint64_t>(height, plane.height);
        }
        if (width * height > kMaxPreviewDots) continue;
        const lblinspect::Picture picture = lblinspect::RenderPreview(page, inks);
        Check(picture.rgb.size() == static_cast<std::size_t>(picture.width) * picture.height * 3);
        sink = sink + picture.rgb.size();
    }
    (void)sink;
    return 0;
}
