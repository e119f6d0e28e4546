#include "input_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "commands.h"
#include "frontend/names.h"

namespace lblctl {

std::vector<std::uint8_t> ReadInputFile(const std::string& path, std::size_t limit, const std::string& what)
{
    const bool stdinput = path == "-";
    const std::string shown = stdinput ? std::string("standard input") : Quoted(path, kMaxQuotedPath);
    int fd = stdinput ? 0 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Failure{shown + ": cannot be read (" + std::strerror(errno) + ")"};
    std::vector<std::uint8_t> bytes;
    std::uint8_t buf[65536];
    int error = 0;
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            break;
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > limit) {
            if (!stdinput) ::close(fd);
            throw Failure{shown + ": larger than " + std::to_string(limit) + " bytes, the limit for " + what};
        }
        bytes.insert(bytes.end(), buf, buf + n);
    }
    if (!stdinput) ::close(fd);
    if (error) throw Failure{shown + ": cannot be read (" + std::strerror(error) + ")"};
    return bytes;
}

}  // namespace lblctl
