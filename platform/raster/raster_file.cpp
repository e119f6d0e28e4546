// Page files read into the caller's buffer.
#include "raster_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace platform {

PageFile::~PageFile()
{
    if (fd_ >= 0) ::close(fd_);
}

bool PageFile::Open(const std::string& path, std::string& why)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        why = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        why = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        why = "is a directory";
        return false;
    }
    size_ = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    return true;
}

bool PageFile::ReadTo(PixelBytes& bytes, std::size_t upTo, std::string& why)
{
    atEnd_ = false;
    std::size_t n = bytes.size();
    try {
        bytes.resize(std::max(n, upTo));
    } catch (const std::bad_alloc&) {
        why = "out of memory";
        return false;
    }
    while (n < upTo) {
        const ssize_t got = ::read(fd_, bytes.data() + n, upTo - n);
        if (got < 0) {
            if (errno == EINTR) continue;
            why = std::strerror(errno);
            return false;
        }
        if (got == 0) {
            atEnd_ = true;
            break;
        }
        n += static_cast<std::size_t>(got);
    }
    bytes.resize(n);
    return true;
}

bool ReadFileBytes(const std::string& path, PixelBytes& bytes, std::string& why)
{
    PageFile file;
    if (!file.Open(path, why)) return false;
    if (file.Size() > kMaxFileBytes) {
        why = "file too large";
        return false;
    }
    bytes.clear();
    // One byte more than the size shows whether the file grew; pipes grow as read.
    std::size_t cap = static_cast<std::size_t>(file.Size()) + 1;
    for (;;) {
        if (!file.ReadTo(bytes, cap, why)) return false;
        if (file.AtEnd()) return true;
        if (cap > kMaxFileBytes) {
            why = "file too large";
            return false;
        }
        cap = std::min(kMaxFileBytes + 1, std::max<std::size_t>(cap * 2, 4096));
    }
}

}  // namespace platform
