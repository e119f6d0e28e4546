// Delivery of a spooled job to its port: file, raw TCP socket or device node.
#include "spooler/port.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace platform {
namespace {

constexpr const char kSocketPrefix[] = "socket://";

struct Fd {
    int fd = -1;
    explicit Fd(int f = -1) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Close(); }
    int Close()
    {
        int rc = 0;
        if (fd >= 0) rc = ::close(fd);
        fd = -1;
        return rc;
    }
};

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

using Clock = std::chrono::steady_clock;

std::string Seconds(int ms) { return std::to_string((ms + 999) / 1000) + " s"; }

// The end of the whole job's delivery.
struct Deadline {
    Clock::time_point end;
    int totalMs;
    explicit Deadline(int ms) : end(Clock::now() + std::chrono::milliseconds(ms)), totalMs(ms) {}
    int RemainingMs() const
    {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        return left > 0 ? static_cast<int>(left) : 0;
    }
};

// Waits until fd is ready for `events`, at most stepMs and never past the job's
// deadline: 1 ready, 0 timed out, -1 error.
int Wait(int fd, short events, int stepMs, const Deadline& job)
{
    for (;;) {
        const int ms = std::min(stepMs, job.RemainingMs());
        pollfd pfd{fd, events, 0};
        const int rc = ::poll(&pfd, 1, ms);
        if (rc < 0 && errno == EINTR) continue;
        return rc > 0 ? 1 : rc;
    }
}

// The reason for a wait that ran out: the job's deadline or the stall limit.
std::string TimedOut(const Deadline& job, int stallMs, const char* what)
{
    if (job.RemainingMs() == 0) return "the job was not delivered within " + Seconds(job.totalMs);
    return std::string(what) + " took no data for " + Seconds(stallMs);
}

// Writes all bytes to fd; when the descriptor (non-blocking) cannot take more,
// waits at most stallMs each time (stallMs < 0: the descriptor blocks).
bool WriteAll(int fd, const std::uint8_t* p, std::size_t cb, int stallMs, const Deadline& job, bool socket,
              std::string& why)
{
    while (cb > 0) {
        const ssize_t n = socket ? ::send(fd, p, cb, MSG_NOSIGNAL) : ::write(fd, p, cb);
        if (n > 0) {
            p += n;
            cb -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && stallMs >= 0) {
            const int rc = Wait(fd, POLLOUT, stallMs, job);
            if (rc == 0) {
                why = TimedOut(job, stallMs, socket ? "the printer" : "the device");
                return false;
            }
            if (rc < 0) {
                why = Errno("write");
                return false;
            }
            continue;
        }
        why = n == 0 ? std::string("write: no progress") : Errno("write");
        return false;
    }
    return true;
}

// Copies the spool file to fd in pieces.
bool CopyFile(int in, int out, int stallMs, const Deadline& job, bool socket, std::string& why)
{
    std::vector<std::uint8_t> buf(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = Errno("reading the spool file");
            return false;
        }
        if (n == 0) return true;
        if (!WriteAll(out, buf.data(), static_cast<std::size_t>(n), stallMs, job, socket, why)) return false;
    }
}

// The process's umask, read without changing it (umask() would, for every thread).
mode_t CurrentUmask()
{
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f)) found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(f);
        if (found) return static_cast<mode_t>(mask);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// The temporary files of a delivery to `path` are "<path>.tmp-<pid>-XXXXXX";
// those of processes that no longer run are removed.
void RemoveStaleTemporaries(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp-";
    std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), ::closedir);
    if (!d) return;
    while (dirent* e = ::readdir(d.get())) {
        const std::string name = e->d_name;
        if (name.rfind(prefix, 0) != 0) continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (pid <= 0 || *end != '-' || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlinkat(::dirfd(d.get()), name.c_str(), 0);
    }
}

bool DeliverFile(const std::string& path, int in, std::string& why)
{
    struct stat st {};
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    if (exists && S_ISLNK(st.st_mode)) {
        why = path + ": a symbolic link; the port must name the file itself";
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        why = path + ": not a regular file";
        return false;
    }
    const mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    RemoveStaleTemporaries(path);
    // Temporary file beside the target, renamed over it once complete.
    std::string tmp = path + ".tmp-" + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    Fd out(::mkostemp(name.data(), O_CLOEXEC));
    if (out.fd < 0) {
        why = Errno(path);
        return false;
    }
    bool ok = ::fchmod(out.fd, mode) == 0;
    if (!ok) why = Errno(path);
    ok = ok && CopyFile(in, out.fd, -1, Deadline(INT_MAX / 2), false, why);
    if (ok && ::fsync(out.fd) != 0 && errno != EINVAL) {
        why = Errno(path);
        ok = false;
    }
    if (ok && out.Close() != 0) {
        why = Errno(path);
        ok = false;
    }
    if (ok && ::rename(name.data(), path.c_str()) != 0) {
        why = Errno(path);
        ok = false;
    }
    if (!ok) ::unlink(name.data());
    if (!ok && why.rfind(path, 0) != 0) why = path + ": " + why;
    return ok;
}

// A character device or FIFO: opened without blocking, so that a FIFO nobody
// reads or a device that takes nothing ends the job within the time limits.
bool DeliverDevice(const std::string& path, int in, const PortTimeouts& t, const Deadline& job, std::string& why)
{
    const Deadline opening(std::min(t.openMs, job.RemainingMs()));
    Fd out;
    for (;;) {
        out.fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (out.fd >= 0) break;
        if (errno != ENXIO) {  // ENXIO: a FIFO without a reader yet
            why = Errno(path);
            return false;
        }
        if (opening.RemainingMs() == 0) {
            why = path + ": nobody read from it within " + Seconds(opening.totalMs);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(20, opening.RemainingMs())));
    }
    struct stat st {};
    if (::fstat(out.fd, &st) != 0 || !(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
        why = path + ": not a character device or FIFO";
        return false;
    }
    if (!CopyFile(in, out.fd, t.writeMs, job, false, why) || out.Close() != 0) {
        if (why.empty()) why = Errno("write");
        why = path + ": " + why;
        return false;
    }
    return true;
}

// After the last byte: the sending side is shut down, then the printer must
// close the connection or acknowledge every queued byte within the time limit.
bool AwaitSocketDrain(int fd, const PortTimeouts& t, const Deadline& job, std::string& why)
{
    if (::shutdown(fd, SHUT_WR) != 0) {
        why = Errno("shutdown");
        return false;
    }
    const Deadline drain(std::min(t.drainMs, job.RemainingMs()));
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, SIOCOUTQ, &queued) != 0) {
            why = Errno("SIOCOUTQ");
            return false;
        }
        if (queued == 0) return true;
        const int rc = Wait(fd, POLLIN, 20, drain);
        if (rc < 0) {
            why = Errno("poll");
            return false;
        }
        if (rc > 0) {
            std::uint8_t buf[512];  // what the printer says back is not used
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n == 0) return true;  // the printer closed: it has read the job
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                why = Errno("receive");
                return false;
            }
        }
        if (drain.RemainingMs() == 0) {
            why = "the printer did not read the whole job within " + Seconds(drain.totalMs) + " (" +
                  std::to_string(queued) + " bytes not taken)";
            return false;
        }
    }
}

bool DeliverSocket(const PortAddress& addr, int in, const PortTimeouts& t, const Deadline& job, std::string& why)
{
    const std::string where = addr.host + ":" + std::to_string(addr.port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    const int gai = ::getaddrinfo(addr.host.c_str(), std::to_string(addr.port).c_str(), &hints, &res);
    if (gai != 0) {
        why = where + ": " + ::gai_strerror(gai);
        return false;
    }
    std::unique_ptr<addrinfo, void (*)(addrinfo*)> list(res, ::freeaddrinfo);
    std::string last = "cannot connect";
    for (addrinfo* ai = res; ai; ai = ai->ai_next) {
        Fd s(::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol));
        if (s.fd < 0) {
            last = std::strerror(errno);
            continue;
        }
        if (::connect(s.fd, ai->ai_addr, ai->ai_addrlen) != 0) {
            if (errno != EINPROGRESS) {
                last = std::strerror(errno);
                continue;
            }
            const int rc = Wait(s.fd, POLLOUT, t.connectMs, job);
            if (rc == 0) {
                last = "connection timed out";
                continue;
            }
            int err = 0;
            socklen_t len = sizeof err;
            if (rc < 0 || ::getsockopt(s.fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0) {
                last = std::strerror(err ? err : errno);
                continue;
            }
        }
        if (!CopyFile(in, s.fd, t.writeMs, job, true, why) || !AwaitSocketDrain(s.fd, t, job, why)) {
            why = where + ": " + why;
            return false;
        }
        if (s.Close() != 0) {
            why = Errno(where);
            return false;
        }
        return true;
    }
    why = where + ": " + last;
    return false;
}

}  // namespace

bool ParsePort(const std::string& port, PortAddress& out, std::string& why)
{
    out = {};
    if (port.empty()) {
        why = "the printer has no port";
        return false;
    }
    if (port.rfind(kSocketPrefix, 0) == 0) {
        std::string rest = port.substr(sizeof kSocketPrefix - 1);
        while (!rest.empty() && rest.back() == '/') rest.pop_back();
        std::string host = rest;
        std::string portText;
        if (!rest.empty() && rest[0] == '[') {  // [IPv6 address]:port
            const auto close = rest.find(']');
            if (close == std::string::npos) {
                why = "bad socket address: " + port;
                return false;
            }
            host = rest.substr(1, close - 1);
            if (close + 1 < rest.size()) {
                if (rest[close + 1] != ':') {
                    why = "bad socket address: " + port;
                    return false;
                }
                portText = rest.substr(close + 2);
            }
        } else if (const auto colon = rest.rfind(':'); colon != std::string::npos) {
            host = rest.substr(0, colon);
            portText = rest.substr(colon + 1);
        }
        if (host.empty() || host.find_first_of("/ ") != std::string::npos) {
            why = "bad socket address: " + port;
            return false;
        }
        if (!portText.empty() || (rest.size() && rest.back() == ':')) {
            char* end = nullptr;
            errno = 0;
            const long n = std::strtol(portText.c_str(), &end, 10);
            if (portText.empty() || *end != '\0' || errno != 0 || n < 1 || n > 65535) {
                why = "bad port number in " + port;
                return false;
            }
            out.port = static_cast<std::uint16_t>(n);
        }
        out.kind = PortKind::Socket;
        out.host = host;
        return true;
    }
    struct stat st {};
    out.path = port;
    out.kind = PortKind::File;
    if (::stat(port.c_str(), &st) != 0) return true;  // a file yet to be made
    if (S_ISBLK(st.st_mode)) {
        why = port + ": a block device (a disk), not a printer";
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        why = port + ": a directory, not a file or a device";
        return false;
    }
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) out.kind = PortKind::Device;
    return true;
}

bool CheckPort(const std::string& port, std::string& why)
{
    PortAddress addr;
    if (!ParsePort(port, addr, why)) return false;
    if (addr.kind != PortKind::File) return true;
    const auto slash = addr.path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : addr.path.substr(0, slash));
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        why = addr.path + ": its directory does not exist";
        return false;
    }
    return true;
}

bool DeliverToPort(const std::string& port, const std::string& spoolFile, std::string& why,
                   const PortTimeouts& timeouts)
{
    PortAddress addr;
    if (!ParsePort(port, addr, why)) return false;
    Fd in(::open(spoolFile.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0) {
        why = Errno(spoolFile);
        return false;
    }
    const Deadline job(timeouts.jobMs);
    switch (addr.kind) {
    case PortKind::File:
        return DeliverFile(addr.path, in.fd, why);
    case PortKind::Device:
        return DeliverDevice(addr.path, in.fd, timeouts, job, why);
    case PortKind::Socket:
        return DeliverSocket(addr, in.fd, timeouts, job, why);
    }
    return false;
}

}  // namespace platform
