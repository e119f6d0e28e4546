// Byte sinks of print jobs, keyed by printer handle, and EngWritePrinter.
#include "spooler/job.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>

namespace platform {
namespace {

struct SinkTable {
    std::mutex lock;
    std::map<HANDLE, std::shared_ptr<JobSink>> sinks;
};

SinkTable& Table()
{
    static SinkTable table;
    return table;
}

std::shared_ptr<JobSink> FindSink(HANDLE hPrinter)
{
    SinkTable& t = Table();
    std::lock_guard guard(t.lock);
    auto it = t.sinks.find(hPrinter);
    return it == t.sinks.end() ? nullptr : it->second;
}

}  // namespace

std::vector<BYTE> JobSink::Bytes() const
{
    std::lock_guard guard(lock_);
    return bytes_;
}

std::vector<DWORD> JobSink::Writes() const
{
    std::lock_guard guard(lock_);
    return writes_;
}

std::size_t JobSink::BytesTaken() const
{
    std::lock_guard guard(lock_);
    return cbTaken_;
}

int JobSink::SpoolError() const
{
    std::lock_guard guard(lock_);
    return spoolError_;
}

bool JobSink::Take(const BYTE* pb, DWORD cb, DWORD* pcTaken)
{
    std::lock_guard guard(lock_);
    writes_.push_back(cb);
    if (mode == Mode::Spool) {
        DWORD cDone = 0;
        while (cDone < cb) {
            const ssize_t n = ::write(fd, pb + cDone, cb - cDone);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (spoolError_ == 0) spoolError_ = n < 0 ? errno : EIO;
                break;
            }
            cDone += static_cast<DWORD>(n);
        }
        cbTaken_ += cDone;
        *pcTaken = cDone;
        return cDone == cb;
    }
    DWORD cTake = cb;
    bool ok = true;
    switch (mode) {
    case Mode::Collect:
    case Mode::Spool:  // handled above
        break;
    case Mode::FailAfter: {
        std::size_t room = cbLimit > bytes_.size() ? cbLimit - bytes_.size() : 0;
        if (cb > room) {
            cTake = static_cast<DWORD>(room);
            ok = false;
        }
        break;
    }
    case Mode::TakeNothing:
        cTake = 0;
        break;
    }
    if (cTake > 0) bytes_.insert(bytes_.end(), pb, pb + cTake);
    cbTaken_ += cTake;
    *pcTaken = cTake;
    return ok;
}

std::shared_ptr<JobSink> AttachJobSink(HANDLE hPrinter, JobSink::Mode mode, std::size_t cbLimit)
{
    auto sink = std::make_shared<JobSink>();
    sink->mode = mode;
    sink->cbLimit = cbLimit;
    SinkTable& t = Table();
    std::lock_guard guard(t.lock);
    t.sinks[hPrinter] = sink;
    return sink;
}

std::shared_ptr<JobSink> AttachSpoolSink(HANDLE hPrinter, int fd)
{
    auto sink = std::make_shared<JobSink>();
    sink->mode = JobSink::Mode::Spool;
    sink->fd = fd;
    SinkTable& t = Table();
    std::lock_guard guard(t.lock);
    t.sinks[hPrinter] = sink;
    return sink;
}

std::shared_ptr<JobSink> FindJobSink(HANDLE hPrinter) { return FindSink(hPrinter); }

void DetachJobSink(HANDLE hPrinter)
{
    SinkTable& t = Table();
    std::lock_guard guard(t.lock);
    t.sinks.erase(hPrinter);
}

}  // namespace platform

extern "C" BOOL EngWritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cjBuf, LPDWORD pcWritten)
{
    DWORD cTaken = 0;
    BOOL ok = FALSE;
    std::shared_ptr<platform::JobSink> sink = platform::FindSink(hPrinter);
    if (!sink) {
        EngSetLastError(ERROR_INVALID_HANDLE);
    } else if (cjBuf > 0 && !pBuf) {
        EngSetLastError(ERROR_INVALID_PARAMETER);
    } else if (sink->Take(static_cast<const BYTE*>(pBuf), cjBuf, &cTaken)) {
        ok = TRUE;
    } else {
        EngSetLastError(ERROR_WRITE_FAULT);
    }
    if (pcWritten) *pcWritten = cTaken;
    return ok;
}
