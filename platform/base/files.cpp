// Win32 file functions over POSIX descriptors. Handles are checked objects;
// failures set the Windows error code that matches the errno.
#include "base/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/codepage.h"
#include "base/fileio.h"

namespace platform {

FileObject::~FileObject()
{
    if (fd >= 0) ::close(fd);
}

DWORD ErrorFromErrno(int err)
{
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EIO: return ERROR_WRITE_FAULT;
    default: return ERROR_ACCESS_DENIED;  // EACCES, EPERM, EROFS, EISDIR, EBUSY ...
    }
}

}  // namespace platform

namespace {

using platform::FileObject;

bool PathOf(LPCWSTR name, std::string& path)
{
    if (!name || !*name) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    path = platform::Narrow(name);
    return true;
}

void SetErrno(int err) { SetLastError(platform::ErrorFromErrno(err)); }

// FILETIME counts 100 ns units since 1601-01-01.
FILETIME ToFileTime(const struct timespec& ts)
{
    constexpr unsigned long long kEpochDelta = 11644473600ULL;
    unsigned long long t = (static_cast<unsigned long long>(ts.tv_sec) + kEpochDelta) * 10000000ULL +
                           static_cast<unsigned long long>(ts.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
}

}  // namespace

extern "C" {

HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                   DWORD dwCreationDisposition, DWORD, HANDLE)
{
    std::string path;
    if (!PathOf(lpFileName, path)) return INVALID_HANDLE_VALUE;
    bool read = dwDesiredAccess & GENERIC_READ, write = dwDesiredAccess & GENERIC_WRITE;
    int flags = O_CLOEXEC | (read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY);
    switch (dwCreationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL | O_NOFOLLOW; break;  // never through a link
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
    }
    if ((flags & O_TRUNC) && !write) {
        if (dwCreationDisposition == TRUNCATE_EXISTING) {  // needs GENERIC_WRITE, as on Windows
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        flags = (flags & ~O_ACCMODE) | O_RDWR;  // truncating needs a writable descriptor here
    }
    bool existed = (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS) &&
                   ::access(path.c_str(), F_OK) == 0;
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        int err = errno;
        // A missing directory on the way to a new file is a missing path.
        if (err == ENOENT && (flags & O_CREAT)) err = ENOTDIR;
        SetErrno(err);
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    auto file = std::make_shared<FileObject>();
    file->fd = fd;
    HANDLE h = platform::RegisterHandle(file);
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    auto file = platform::LookupHandle<FileObject>(hFile);
    struct stat st;
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    if (::fstat(file->fd, &st) != 0) {
        SetErrno(errno);
        return INVALID_FILE_SIZE;
    }
    auto size = static_cast<unsigned long long>(st.st_size);
    if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);  // lets callers tell a real 0xFFFFFFFF size from a failure
    return static_cast<DWORD>(size);
}

BOOL GetFileTime(HANDLE hFile, LPFILETIME lpCreationTime, LPFILETIME lpLastAccessTime, LPFILETIME lpLastWriteTime)
{
    auto file = platform::LookupHandle<FileObject>(hFile);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    struct stat st;
    if (::fstat(file->fd, &st) != 0) {
        SetErrno(errno);
        return FALSE;
    }
    // There is no birth time in struct stat; the status-change time stands in for it.
    if (lpCreationTime) *lpCreationTime = ToFileTime(st.st_ctim);
    if (lpLastAccessTime) *lpLastAccessTime = ToFileTime(st.st_atim);
    if (lpLastWriteTime) *lpLastWriteTime = ToFileTime(st.st_mtim);
    return TRUE;
}

LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2)
{
    if (!lpFileTime1 || !lpFileTime2) return 0;
    auto value = [](const FILETIME* t) {
        return (static_cast<unsigned long long>(t->dwHighDateTime) << 32) | t->dwLowDateTime;
    };
    unsigned long long a = value(lpFileTime1), b = value(lpFileTime2);
    return a < b ? -1 : a > b ? 1 : 0;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead, LPOVERLAPPED)
{
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    auto file = platform::LookupHandle<FileObject>(hFile);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpBuffer && nNumberOfBytesToRead) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD done = 0;
    while (done < nNumberOfBytesToRead) {
        ssize_t n = ::read(file->fd, static_cast<char*>(lpBuffer) + done, nNumberOfBytesToRead - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int err = errno;
            SetLastError(err == EIO ? ERROR_READ_FAULT : platform::ErrorFromErrno(err));
            return FALSE;
        }
        if (n == 0) break;  // end of file: success with fewer bytes
        done += static_cast<DWORD>(n);
    }
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
    return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               LPOVERLAPPED)
{
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    auto file = platform::LookupHandle<FileObject>(hFile);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpBuffer && nNumberOfBytesToWrite) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD done = 0;
    while (done < nNumberOfBytesToWrite) {
        ssize_t n = ::write(file->fd, static_cast<const char*>(lpBuffer) + done, nNumberOfBytesToWrite - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetErrno(n < 0 ? errno : EIO);
            if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
            return FALSE;
        }
        done += static_cast<DWORD>(n);
    }
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject)
{
    auto object = platform::LookupHandleObject(hObject);
    if (!object || !object->ClosedByCloseHandle() || !platform::ReleaseHandle(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR lpFileName)
{
    std::string path;
    if (!PathOf(lpFileName, path)) return FALSE;
    if (::unlink(path.c_str()) != 0) {
        SetErrno(errno == EISDIR ? EACCES : errno);
        return FALSE;
    }
    return TRUE;
}

// A rename is atomic: readers see the old file or the new one, never a mixture.
BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags)
{
    std::string from, to;
    if (!PathOf(lpExistingFileName, from)) return FALSE;
    if (!lpNewFileName) {  // deleting at reboot is not supported
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!PathOf(lpNewFileName, to)) return FALSE;
    int rc;
    if (dwFlags & MOVEFILE_REPLACE_EXISTING) {
        rc = ::rename(from.c_str(), to.c_str());
    } else {
        rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
        if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // File systems without RENAME_NOREPLACE: check, then rename.
            if (::access(to.c_str(), F_OK) == 0) {
                SetLastError(ERROR_ALREADY_EXISTS);
                return FALSE;
            }
            rc = ::rename(from.c_str(), to.c_str());
        }
        if (rc != 0 && errno == EEXIST) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return FALSE;
        }
    }
    if (rc != 0) {
        SetErrno(errno);
        return FALSE;
    }
    if (dwFlags & MOVEFILE_WRITE_THROUGH) {
        size_t slash = to.find_last_of('/');
        std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : to.substr(0, slash);
        int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
    }
    return TRUE;
}

}  // extern "C"
