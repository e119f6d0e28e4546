// Internal helpers shared by the file, mapping and module stand-ins.
#pragma once

#include <cstddef>
#include <string>

#include "base/handles.h"
#include "base/wintypes.h"

namespace platform {

// An open file (CreateFileW).
struct FileObject : HandleObject {
    int fd = -1;
    ~FileObject() override;
};

// The Windows error code for an errno value.
DWORD ErrorFromErrno(int err);

// A read-only snapshot of a file's bytes in private pages: later changes to the
// file (even truncation) cannot make the snapshot fault or change under a reader.
struct Snapshot {
    void* base = nullptr;
    size_t size = 0;
};
// Reads `size` bytes at `offset` of the open file; false (last error set) on failure.
bool TakeSnapshot(int fd, unsigned long long offset, size_t size, Snapshot& out);
void ReleaseSnapshot(const Snapshot& snapshot);

}  // namespace platform
