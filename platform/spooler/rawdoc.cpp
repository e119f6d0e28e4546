// Raw documents: StartDocPrinterW, WritePrinter and EndDocPrinter on the job
// machinery of EngWritePrinter. A document spools into a file of the spool
// directory (or into a job sink a test attached) and is delivered to its output
// whole when it ends well; nothing of a failed document reaches the output.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "base/codepage.h"
#include "spool_internal.h"
#include "spooler/job.h"
#include "spooler/port.h"
#include "spooler/spooler.h"

namespace {

using platform::JobSink;

struct RawDocument {
    platform::RawDocumentRecord record;
    std::shared_ptr<JobSink> sink;
    bool ownSink = false;       // spooling to spoolPath; otherwise a sink attached beforehand
    std::size_t cbAtStart = 0;  // bytes the attached sink held when the document started
    std::string spoolPath;
    int fd = -1;
    bool failed = false;
};

struct DocumentTable {
    std::mutex lock;
    std::map<HANDLE, RawDocument> docs;
    std::optional<platform::RawDocumentRecord> last;
    std::string redirect;
    DWORD nextJob = 1;
};

DocumentTable& Table()
{
    static DocumentTable table;
    return table;
}

// Closes and removes the spool file of a document and releases its sink.
void Discard(HANDLE h, RawDocument& doc)
{
    if (doc.ownSink) platform::DetachJobSink(h);
    if (doc.fd >= 0) ::close(doc.fd);
    doc.fd = -1;
    if (!doc.spoolPath.empty()) ::unlink(doc.spoolPath.c_str());
    doc.spoolPath.clear();
}

bool IsRaw(LPCWSTR type)
{
    if (!type || !*type) return true;
    std::string t = platform::Narrow(type);
    for (char& c : t) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return t == "RAW";
}

// Writes bytes to a new spool file; its path, or empty with the reason.
std::string SpoolBytes(const std::vector<BYTE>& bytes, std::string& why)
{
    std::string name;
    const int fd = platform::CreateJobFile(name, why);
    if (fd < 0) return {};
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 || done != bytes.size()) {
        why = "cannot write the spool file";
        ::unlink(name.c_str());
        return {};
    }
    return name;
}

// Ends a document: delivers it unless it failed; records how it went.
bool Finish(HANDLE h, RawDocument& doc)
{
    platform::RawDocumentRecord& rec = doc.record;
    rec.cbData = doc.sink->BytesTaken() - (doc.ownSink ? 0 : doc.cbAtStart);
    bool ok = !doc.failed;
    if (!ok) rec.why = "a write to the document failed";
    if (ok && doc.ownSink) {
        if (doc.sink->SpoolError() != 0 || ::fsync(doc.fd) != 0) {
            rec.why = "cannot write the spool file";
            ok = false;
        }
        ::close(doc.fd);
        doc.fd = -1;
    } else if (ok) {
        std::vector<BYTE> all = doc.sink->Bytes();
        std::vector<BYTE> mine(all.begin() + static_cast<std::ptrdiff_t>(std::min(doc.cbAtStart, all.size())), all.end());
        doc.spoolPath = SpoolBytes(mine, rec.why);
        ok = !doc.spoolPath.empty();
    }
    if (ok) ok = platform::DeliverToPort(rec.output, doc.spoolPath, rec.why);
    rec.delivered = ok;
    Discard(h, doc);
    return ok;
}

}  // namespace

namespace platform {

std::optional<RawDocumentRecord> LastRawDocument()
{
    DocumentTable& t = Table();
    std::lock_guard guard(t.lock);
    return t.last;
}

void RedirectRawDocuments(const std::string& output)
{
    DocumentTable& t = Table();
    std::lock_guard guard(t.lock);
    t.redirect = output;
}

void ClearLastRawDocument()
{
    DocumentTable& t = Table();
    std::lock_guard guard(t.lock);
    t.last.reset();
}

namespace spool {

void AbandonRawDocument(HANDLE h)
{
    DocumentTable& t = Table();
    std::lock_guard guard(t.lock);
    auto it = t.docs.find(h);
    if (it == t.docs.end()) return;
    it->second.record.why = "the printer was closed before the document ended";
    t.last = it->second.record;
    Discard(h, it->second);
    t.docs.erase(it);
}

}  // namespace spool
}  // namespace platform

extern "C" {

DWORD StartDocPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo)
{
    std::string name;
    if (platform::spool::ResolveHandle(hPrinter, name) != ERROR_SUCCESS) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (Level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return 0;
    }
    const auto* info = reinterpret_cast<const DOC_INFO_1W*>(pDocInfo);
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!IsRaw(info->pDatatype)) {
        SetLastError(ERROR_INVALID_DATATYPE);
        return 0;
    }
    std::optional<platform::PrinterRecord> printer = platform::FindPrinter(name);
    if (!printer) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }

    DocumentTable& t = Table();
    std::lock_guard guard(t.lock);
    if (t.docs.count(hPrinter)) {
        SetLastError(ERROR_INVALID_PRINTER_STATE);
        return 0;
    }
    RawDocument doc;
    doc.record.printer = name;
    doc.record.docName = info->pDocName ? platform::Narrow(info->pDocName) : std::string();
    doc.record.output = info->pOutputFile && *info->pOutputFile ? platform::Narrow(info->pOutputFile) : printer->port;
    if (!t.redirect.empty()) doc.record.output = t.redirect;
    doc.sink = platform::FindJobSink(hPrinter);
    if (doc.sink && doc.sink->mode != JobSink::Mode::Spool) {
        doc.cbAtStart = doc.sink->BytesTaken();
    } else {
        std::string why;
        doc.fd = platform::CreateJobFile(doc.spoolPath, why);
        if (doc.fd < 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return 0;
        }
        doc.sink = platform::AttachSpoolSink(hPrinter, doc.fd);
        doc.ownSink = true;
    }
    t.docs.emplace(hPrinter, std::move(doc));
    return t.nextJob++;
}

BOOL WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten)
{
    if (pcWritten) *pcWritten = 0;
    DocumentTable& t = Table();
    std::lock_guard guard(t.lock);
    auto it = t.docs.find(hPrinter);
    if (it == t.docs.end()) {
        SetLastError(ERROR_SPL_NO_STARTDOC);
        return FALSE;
    }
    if (cbBuf > 0 && !pBuf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD cTaken = 0;
    if (!it->second.sink->Take(static_cast<const BYTE*>(pBuf), cbBuf, &cTaken)) {
        it->second.failed = true;
        if (pcWritten) *pcWritten = cTaken;
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    if (pcWritten) *pcWritten = cTaken;
    return TRUE;
}

BOOL EndDocPrinter(HANDLE hPrinter)
{
    DocumentTable& t = Table();
    std::lock_guard guard(t.lock);
    auto it = t.docs.find(hPrinter);
    if (it == t.docs.end()) {
        SetLastError(ERROR_SPL_NO_STARTDOC);
        return FALSE;
    }
    const bool ok = Finish(hPrinter, it->second);
    t.last = it->second.record;
    t.docs.erase(it);
    if (!ok) SetLastError(ERROR_WRITE_FAULT);
    return ok ? TRUE : FALSE;
}

}  // extern "C"
