// A print job's attributes as any IPP client may send them: what the printer
// application reads of the job's media (a kept or a set-aside media or
// media-col) must take any message without reading past it.
#include <cups/cups.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "media_request.h"

namespace {

struct Source {
    const std::uint8_t* data;
    std::size_t size;
};

ssize_t Read(void* context, ipp_uchar_t* buffer, size_t bytes)
{
    Source* source = static_cast<Source*>(context);
    const std::size_t n = bytes < source->size ? bytes : source->size;
    std::memcpy(buffer, source->data, n);
    source->data += n;
    source->size -= n;
    return static_cast<ssize_t>(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Source source{data, size};
    ipp_t* ipp = ippNew();
    ippReadIO(&source, Read, 1, nullptr, ipp);
    // Every name the application looks for, in any group, as the job's attributes.
    const lblprint::RequestedMedia asked = lblprint::ReadRequestedMedia(
        [ipp](const char* name) { return ippFindAttribute(ipp, name, IPP_TAG_ZERO); }, pappl_media_col_t{});
    if (std::memchr(asked.col.size_name, 0, sizeof asked.col.size_name) == nullptr) __builtin_trap();
    if (asked.col.size_width < 0 || asked.col.size_length < 0) __builtin_trap();
    ippDelete(ipp);
    return 0;
}
