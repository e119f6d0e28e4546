// The spool files of jobs: named after the process that writes them, so that the
// next job can remove the files of processes that were killed.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "spool_internal.h"
#include "spooler/job.h"
#include "spooler/spooler.h"

namespace platform {

int CreateJobFile(std::string& path, std::string& why)
{
    const std::string dir = SpoolDirectory();
    if (dir.empty() || !spool::MakeDirectories(dir)) {
        why = "no spool directory for the job";
        return -1;
    }
    if (std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir); d) {
        while (dirent* e = ::readdir(d.get())) {
            const char* name = e->d_name;
            if (std::strncmp(name, "job-", 4) != 0) continue;
            char* end = nullptr;
            const long pid = std::strtol(name + 4, &end, 10);
            if (pid <= 0 || *end != '-' || pid == ::getpid()) continue;
            if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlinkat(::dirfd(d.get()), name, 0);
        }
    }
    std::string pattern = dir + "/job-" + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    const int fd = ::mkostemp(buf.data(), O_CLOEXEC);
    if (fd < 0) {
        why = "cannot create a spool file in " + dir + ": " + std::strerror(errno);
        return -1;
    }
    path = buf.data();
    return fd;
}

}  // namespace platform
