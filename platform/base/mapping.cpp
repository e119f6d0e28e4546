// File mappings. A view is a read-only snapshot of the file in private pages, so
// it stays valid after the file and mapping handles are closed (as on Windows)
// and cannot fault when another process truncates or rewrites the file.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <unordered_map>

#include "base/fileio.h"
#include "base/files.h"

namespace platform {

bool TakeSnapshot(int fd, unsigned long long offset, size_t size, Snapshot& out)
{
    if (size == 0) {
        SetLastError(ERROR_FILE_INVALID);
        return false;
    }
    void* base = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(fd, static_cast<char*>(base) + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int err = errno;
            ::munmap(base, size);
            SetLastError(ErrorFromErrno(err));
            return false;
        }
        if (n == 0) break;  // the file shrank meanwhile: the rest reads as zeros
        done += static_cast<size_t>(n);
    }
    ::mprotect(base, size, PROT_READ);
    out = Snapshot{base, size};
    return true;
}

void ReleaseSnapshot(const Snapshot& snapshot)
{
    if (snapshot.base) ::munmap(snapshot.base, snapshot.size);
}

}  // namespace platform

namespace {

constexpr unsigned long long kAllocationGranularity = 65536;

struct MappingObject : platform::HandleObject {
    int fd = -1;  // its own descriptor, independent of the file handle
    unsigned long long size = 0;
    ~MappingObject() override
    {
        if (fd >= 0) ::close(fd);
    }
};

std::mutex viewsLock;
std::unordered_map<const void*, platform::Snapshot>& Views()
{
    static auto* views = new std::unordered_map<const void*, platform::Snapshot>;
    return *views;
}

}  // namespace

extern "C" {

HANDLE CreateFileMappingW(HANDLE hFile, LPSECURITY_ATTRIBUTES, DWORD flProtect, DWORD dwMaximumSizeHigh,
                          DWORD dwMaximumSizeLow, LPCWSTR)
{
    auto file = platform::LookupHandle<platform::FileObject>(hFile);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (flProtect != PAGE_READONLY) {  // only read-only mappings are needed
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    struct stat st;
    if (::fstat(file->fd, &st) != 0) {
        SetLastError(platform::ErrorFromErrno(errno));
        return nullptr;
    }
    auto fileSize = static_cast<unsigned long long>(st.st_size);
    unsigned long long size = (static_cast<unsigned long long>(dwMaximumSizeHigh) << 32) | dwMaximumSizeLow;
    if (size == 0) size = fileSize;
    if (size == 0) {
        SetLastError(ERROR_FILE_INVALID);
        return nullptr;
    }
    if (size > fileSize) {  // a read-only mapping cannot grow the file
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto mapping = std::make_shared<MappingObject>();
    mapping->fd = ::fcntl(file->fd, F_DUPFD_CLOEXEC, 0);
    if (mapping->fd < 0) {
        SetLastError(platform::ErrorFromErrno(errno));
        return nullptr;
    }
    mapping->size = size;
    return platform::RegisterHandle(mapping);
}

LPVOID MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh, DWORD dwFileOffsetLow,
                     SIZE_T dwNumberOfBytesToMap)
{
    auto mapping = platform::LookupHandle<MappingObject>(hFileMappingObject);
    if (!mapping) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (dwDesiredAccess != FILE_MAP_READ) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    unsigned long long offset = (static_cast<unsigned long long>(dwFileOffsetHigh) << 32) | dwFileOffsetLow;
    if (offset % kAllocationGranularity != 0 || offset >= mapping->size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    unsigned long long available = mapping->size - offset;
    unsigned long long bytes = dwNumberOfBytesToMap ? dwNumberOfBytesToMap : available;
    if (bytes > available || bytes > SIZE_MAX) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    platform::Snapshot view;
    if (!platform::TakeSnapshot(mapping->fd, offset, static_cast<size_t>(bytes), view)) return nullptr;
    std::lock_guard guard(viewsLock);
    Views().emplace(view.base, view);
    return view.base;
}

BOOL UnmapViewOfFile(LPCVOID lpBaseAddress)
{
    platform::Snapshot view;
    {
        std::lock_guard guard(viewsLock);
        auto it = Views().find(lpBaseAddress);
        if (it == Views().end()) {
            SetLastError(ERROR_INVALID_ADDRESS);
            return FALSE;
        }
        view = it->second;
        Views().erase(it);
    }
    platform::ReleaseSnapshot(view);
    return TRUE;
}

}  // extern "C"
