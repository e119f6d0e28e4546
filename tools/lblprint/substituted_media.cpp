// PAPPL 1.3 answers a Print-Job or Create-Job that asks for media its printer
// does not list by deleting that media from the request (the client is told the
// media was substituted): the job would then print on the loaded label, and no
// callback of the application sees the request first. This program's own
// ippDeleteAttribute stands in for libcups' one (the executable's definition
// comes first for the libraries it loads): the media of such a request is kept
// under another name, so that the job reaches the driver and is refused there
// with the reason. Every other deletion is libcups' own.
#include <dlfcn.h>

#include <cstring>

#include "media_request.h"

namespace {

using DeleteFn = void (*)(ipp_t*, ipp_attribute_t*);

DeleteFn LibcupsDelete()
{
    static const DeleteFn fn = reinterpret_cast<DeleteFn>(::dlsym(RTLD_NEXT, "ippDeleteAttribute"));
    return fn;
}

bool IsJobCreation(ipp_t* ipp)
{
    // Requests only: a response's status code shares the field, so one with the
    // same number is told apart by its state (PAPPL deletes media while it
    // checks a request it has read whole).
    const ipp_op_t op = ippGetOperation(ipp);
    return (op == IPP_OP_PRINT_JOB || op == IPP_OP_CREATE_JOB) && ippGetState(ipp) == IPP_STATE_DATA;
}

}  // namespace

extern "C" void ippDeleteAttribute(ipp_t* ipp, ipp_attribute_t* attr)
{
    if (ipp && attr && ippGetGroupTag(attr) == IPP_TAG_JOB && IsJobCreation(ipp)) {
        const char* name = ippGetName(attr);
        if (name && std::strcmp(name, "media") == 0) {
            ippSetName(ipp, &attr, lblprint::kSubstitutedMedia);
            return;
        }
        if (name && std::strcmp(name, "media-col") == 0) {
            ippSetName(ipp, &attr, lblprint::kSubstitutedMediaCol);
            return;
        }
    }
    if (DeleteFn fn = LibcupsDelete()) fn(ipp, attr);
}
