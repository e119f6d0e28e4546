// The file:// device: a job's bytes go to a file, which appears whole when the
// job ends (written beside it and renamed), as a port file of the spooler does.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "lblprint.h"

namespace lblprint {
namespace {

struct FileDevice {
    std::string path, temp;
    int fd = -1;
    bool failed = false;
};

// The absolute path of file:///PATH; "" for anything else (hosts, relative paths, "..").
std::string FilePath(const char* uri)
{
    const std::string u = uri ? uri : "";
    if (u.rfind("file:///", 0) != 0) return "";
    std::string path = u.substr(7);
    if (const auto q = path.find_first_of("?#"); q != std::string::npos) path.resize(q);
    if (path.size() > 4000 || path.find("/../") != std::string::npos || path.back() == '/') return "";
    for (char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == '%') return "";
    return path;
}

bool Open(pappl_device_t* device, const char* uri, const char* name)
{
    std::string path = FilePath(uri);
    // A directory takes one file per job, named after it.
    if (struct stat st{}; !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::string file = name && *name ? name : "job";
        for (char& c : file)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.') c = '_';
        if (file.size() > 100) file.resize(100);
        path += "/" + file + ".prn";
    }
    if (path.empty()) {
        papplDeviceError(device, "Bad file device URI.");
        return false;
    }
    auto* d = new FileDevice;
    d->path = path;
    std::string temp = path + ".XXXXXX";
    d->fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (d->fd < 0) {
        papplDeviceError(device, "Unable to create '%s': %s", temp.c_str(), std::strerror(errno));
        delete d;
        return false;
    }
    ::fchmod(d->fd, 0644);
    d->temp = temp;
    papplDeviceSetData(device, d);
    return true;
}

void Close(pappl_device_t* device)
{
    auto* d = static_cast<FileDevice*>(papplDeviceGetData(device));
    if (!d) return;
    const bool ok = !d->failed && ::fsync(d->fd) == 0 && ::close(d->fd) == 0;
    if (!ok || std::rename(d->temp.c_str(), d->path.c_str()) != 0) ::unlink(d->temp.c_str());
    delete d;
    papplDeviceSetData(device, nullptr);
}

ssize_t Read(pappl_device_t*, void*, size_t) { return 0; }

ssize_t Write(pappl_device_t* device, const void* buffer, size_t bytes)
{
    auto* d = static_cast<FileDevice*>(papplDeviceGetData(device));
    if (!d) return -1;
    const char* p = static_cast<const char*>(buffer);
    size_t left = bytes;
    while (left > 0) {
        const ssize_t n = ::write(d->fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            d->failed = true;
            return -1;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(bytes);
}

pappl_preason_t Status(pappl_device_t*) { return PAPPL_PREASON_NONE; }

}  // namespace

void AddFileDevice()
{
    // PAPPL registers its own schemes on first use; ours comes after them.
    papplDeviceIsSupported("socket://localhost");
    papplDeviceAddScheme("file", PAPPL_DEVTYPE_FILE, nullptr, Open, Close, Read, Write, Status, nullptr);
}

}  // namespace lblprint
