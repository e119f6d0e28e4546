// Thread-local last error, shared by the Win32 and engine spellings.
#include "base/wintypes.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

extern "C" {

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }
ULONG EngGetLastError() { return lastError; }
void EngSetLastError(ULONG iError) { lastError = iError; }

}
