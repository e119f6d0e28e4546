// Raw output of a print job: the engine's EngWritePrinter, and the byte sinks
// that receive what a printer handle writes. A sink spools the bytes to a file
// (a real job) or collects them in memory; for tests it can also fail after a
// number of bytes, or report success while taking nothing, as a broken spooler would.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string>
#include <vector>

#include "base/wintypes.h"

extern "C" {

// Hands cjBuf bytes to the job of hPrinter. *pcWritten receives the bytes taken.
// FALSE (last error ERROR_INVALID_HANDLE) when the handle has no job attached,
// FALSE (ERROR_WRITE_FAULT) when the sink refuses the bytes.
BOOL EngWritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cjBuf, LPDWORD pcWritten);

}  // extern "C"

namespace platform {

struct JobSink {
    enum class Mode {
        Collect,      // take every byte
        FailAfter,    // take bytes up to cbLimit in total; the write that reaches past it fails
        TakeNothing,  // report success but take 0 bytes
        Spool,        // write every byte to the file descriptor `fd`; a failed write fails
    };

    // Bytes taken so far (Spool keeps none in memory).
    std::vector<BYTE> Bytes() const;
    // Number of bytes taken so far, in every mode.
    std::size_t BytesTaken() const;
    // Spool: the errno of the first write that failed, 0 when none did.
    int SpoolError() const;
    // EngWritePrinter calls made on the sink, and the size of each.
    std::vector<DWORD> Writes() const;

    // Used by EngWritePrinter: returns success and sets *pcTaken.
    bool Take(const BYTE* pb, DWORD cb, DWORD* pcTaken);

    Mode mode = Mode::Collect;
    std::size_t cbLimit = 0;
    int fd = -1;  // Spool: the open spool file (owned by whoever attached the sink)

private:
    mutable std::mutex lock_;
    std::vector<BYTE> bytes_;
    std::vector<DWORD> writes_;
    std::size_t cbTaken_ = 0;
    int spoolError_ = 0;
};

// Attaches a new sink to a printer handle (replacing any earlier one) and returns it.
std::shared_ptr<JobSink> AttachJobSink(HANDLE hPrinter, JobSink::Mode mode = JobSink::Mode::Collect,
                                       std::size_t cbLimit = 0);
// Attaches a sink that spools to the open file descriptor fd (not closed by the sink).
std::shared_ptr<JobSink> AttachSpoolSink(HANDLE hPrinter, int fd);
// The sink attached to a printer handle, or null.
std::shared_ptr<JobSink> FindJobSink(HANDLE hPrinter);
// Detaches the sink of a printer handle; later writes to the handle fail.
void DetachJobSink(HANDLE hPrinter);

// Creates the spool file of a new job, "job-<pid>-XXXXXX" in the spool directory,
// and first removes the job files of processes that no longer run (a killed
// job's file does not stay for long). The open descriptor, or -1 with the reason.
int CreateJobFile(std::string& path, std::string& why);

struct PrinterRecord;
// Asks the printer's UI library (DevQueryPrintEx) whether a job of this device mode
// can print. False with the driver's message in `reason` when it refuses; true when
// it accepts, or when the UI library or its query cannot be reached.
bool QueryJob(HANDLE hPrinter, const PrinterRecord& printer, std::vector<BYTE>& devMode, std::string& reason);

}  // namespace platform
