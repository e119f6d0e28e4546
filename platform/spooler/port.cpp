// Delivery of a spooled job to its port: file, raw TCP socket or device node.
#include "spooler/port.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
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

// Writes all bytes to fd; with timeoutMs >= 0 waits at most that long each time
// the descriptor (non-blocking) cannot take more.
bool WriteAll(int fd, const std::uint8_t* p, std::size_t cb, int timeoutMs, bool socket, std::string& why)
{
    while (cb > 0) {
        const ssize_t n = socket ? ::send(fd, p, cb, MSG_NOSIGNAL) : ::write(fd, p, cb);
        if (n > 0) {
            p += n;
            cb -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && timeoutMs >= 0) {
            pollfd pfd{fd, POLLOUT, 0};
            int rc;
            do rc = ::poll(&pfd, 1, timeoutMs);
            while (rc < 0 && errno == EINTR);
            if (rc == 0) {
                why = "timed out writing to the printer";
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
bool CopyFile(int in, int out, int timeoutMs, bool socket, std::string& why)
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
        if (!WriteAll(out, buf.data(), static_cast<std::size_t>(n), timeoutMs, socket, why)) return false;
    }
}

bool DeliverFile(const std::string& path, int in, std::string& why)
{
    // Temporary file beside the target, renamed over it once complete.
    std::string tmp = path + ".XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    Fd out(::mkstemp(name.data()));
    if (out.fd < 0) {
        why = Errno(path);
        return false;
    }
    ::fchmod(out.fd, 0644);
    bool ok = CopyFile(in, out.fd, -1, false, why);
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

bool DeliverDevice(const std::string& path, int in, std::string& why)
{
    Fd out(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (out.fd < 0) {
        why = Errno(path);
        return false;
    }
    if (!CopyFile(in, out.fd, -1, false, why) || out.Close() != 0) {
        if (why.empty()) why = Errno("write");
        why = path + ": " + why;
        return false;
    }
    return true;
}

bool DeliverSocket(const PortAddress& addr, int in, const PortTimeouts& t, std::string& why)
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
            pollfd pfd{s.fd, POLLOUT, 0};
            int rc;
            do rc = ::poll(&pfd, 1, t.connectMs);
            while (rc < 0 && errno == EINTR);
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
        if (!CopyFile(in, s.fd, t.writeMs, true, why)) {
            why = where + ": " + why;
            return false;
        }
        ::shutdown(s.fd, SHUT_WR);
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
    if (::stat(port.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISFIFO(st.st_mode)))
        out.kind = PortKind::Device;
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
    switch (addr.kind) {
    case PortKind::File:
        return DeliverFile(addr.path, in.fd, why);
    case PortKind::Device:
        return DeliverDevice(addr.path, in.fd, why);
    case PortKind::Socket:
        return DeliverSocket(addr, in.fd, timeouts, why);
    }
    return false;
}

}  // namespace platform
