// Page files read whole into the caller's buffer.
#include "raster_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace platform {

bool ReadFileBytes(const std::string& path, PixelBytes& bytes, std::string& why)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        why = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        why = "is a directory";
        return false;
    }
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > kMaxFileBytes) {
        why = "file too large";
        return false;
    }
    try {
        // One byte more than the size shows whether the file grew; pipes grow as read.
        std::size_t cap = static_cast<std::size_t>(st.st_size) + 1;
        bytes.resize(cap);
        std::size_t n = 0;
        for (;;) {
            if (n == cap) {
                if (cap >= kMaxFileBytes) {
                    why = "file too large";
                    return false;
                }
                cap = std::min(kMaxFileBytes, cap * 2);
                bytes.resize(cap);
            }
            const ssize_t got = ::read(fd, bytes.data() + n, cap - n);
            if (got < 0) {
                if (errno == EINTR) continue;
                why = std::strerror(errno);
                return false;
            }
            if (got == 0) break;
            n += static_cast<std::size_t>(got);
        }
        bytes.resize(n);
    } catch (const std::bad_alloc&) {
        why = "out of memory";
        return false;
    }
    return true;
}

}  // namespace platform
