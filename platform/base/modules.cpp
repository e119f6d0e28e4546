// Engine modules: EngLoadModule reads a file into read-only private pages,
// EngMapModule hands out those bytes and their count, EngFreeModule drops them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/files.h"

namespace {

struct ModuleObject : platform::HandleObject {
    platform::Snapshot image;  // empty for a file of length 0
    ~ModuleObject() override { platform::ReleaseSnapshot(image); }
    bool ClosedByCloseHandle() const override { return false; }
};

}  // namespace

extern "C" {

HANDLE EngLoadModule(LPWSTR pwsz)
{
    if (!pwsz || !*pwsz) return nullptr;
    std::string path = platform::Narrow(pwsz);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(platform::ErrorFromErrno(errno));
        return nullptr;
    }
    auto module = std::make_shared<ModuleObject>();
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok && st.st_size > 0) {
        if (static_cast<unsigned long long>(st.st_size) > SIZE_MAX / 2) ok = false;
        else ok = platform::TakeSnapshot(fd, 0, static_cast<size_t>(st.st_size), module->image);
    }
    ::close(fd);
    if (!ok) return nullptr;
    return platform::RegisterHandle(module);
}

PVOID EngMapModule(HANDLE h, PULONG pSize)
{
    if (pSize) *pSize = 0;
    auto module = platform::LookupHandle<ModuleObject>(h);
    if (!module || !module->image.base || module->image.size > 0xFFFFFFFFu) return nullptr;
    if (pSize) *pSize = static_cast<ULONG>(module->image.size);
    return module->image.base;
}

void EngFreeModule(HANDLE h) { platform::ReleaseHandleOf<ModuleObject>(h); }

}  // extern "C"
