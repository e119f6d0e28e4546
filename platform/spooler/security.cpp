// The calling thread's security context during printer events. A token names the
// context that RevertToPrinterSelf left; ImpersonatePrinterClient goes back to it.
#include "base/handles.h"
#include "spooler/spooler.h"

namespace {

struct RevertToken : platform::HandleObject {
    platform::SecurityContext saved = platform::SecurityContext::Client;
    const void* thread = nullptr;  // a token restores only the thread that took it
    bool ClosedByCloseHandle() const override { return false; }
};

thread_local platform::SecurityContext t_context = platform::SecurityContext::Client;
thread_local long t_outstanding = 0;
thread_local const char t_threadMark = 0;

}  // namespace

extern "C" {

HANDLE RevertToPrinterSelf()
{
    auto token = std::make_shared<RevertToken>();
    token->saved = t_context;
    token->thread = &t_threadMark;
    HANDLE h = platform::RegisterHandle(token);
    t_context = platform::SecurityContext::Spooler;
    ++t_outstanding;
    return h;
}

BOOL ImpersonatePrinterClient(HANDLE hToken)
{
    auto token = platform::LookupHandle<RevertToken>(hToken);
    if (!token || token->thread != &t_threadMark) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    platform::ReleaseHandle(hToken);
    t_context = token->saved;
    --t_outstanding;
    return TRUE;
}

}  // extern "C"

namespace platform {

SecurityContext CurrentSecurityContext() { return t_context; }
long OutstandingRevertTokens() { return t_outstanding; }

}  // namespace platform
