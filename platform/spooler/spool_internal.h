// Internal to the spooler stand-in: the database connection, statement and
// transaction helpers, printer handles, and packing of records with strings.
#pragma once

#include <sqlite3.h>

#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/handles.h"
#include "base/wintypes.h"

namespace platform::spool {

// Holds the process's spooler lock and its database connection for one operation.
class Session {
public:
    Session();
    // Null when the database cannot be opened or created.
    sqlite3* db() const { return db_; }

private:
    std::unique_lock<std::recursive_mutex> lock_;
    sqlite3* db_ = nullptr;
};

// The spool generation: advanced when the spool directory changes, which
// invalidates every printer handle opened on the old one.
unsigned Generation();

class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    Statement& Bind(int index, std::string_view text);
    Statement& Bind(int index, long long value);
    Statement& BindBlob(int index, const void* data, size_t size);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    std::string Text(int column) const;
    long long Int(int column) const;
    std::vector<BYTE> Blob(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE ... COMMIT, or a savepoint inside an open spool transaction;
// rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool ok() const { return begun_; }
    bool Commit();

private:
    sqlite3* db_;
    bool nested_ = false;
    bool begun_ = false;
    bool done_ = false;
};

// An open printer handle; the server handle (OpenPrinterW with no name) has an empty name.
struct PrinterHandle : HandleObject {
    std::string name;
    unsigned generation = 0;
    bool ClosedByCloseHandle() const override { return false; }
};

// Drops the unfinished raw document of a printer handle that is being closed.
void AbandonRawDocument(HANDLE h);

// The printer a handle names. ERROR_SUCCESS, or ERROR_INVALID_HANDLE for a handle
// that is not a printer handle of the current spool directory. The server handle
// passes only when allowServer is set.
DWORD ResolveHandle(HANDLE h, std::string& name, bool allowServer = false);

// Creates a directory and its missing parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);

// Whether a printer of this name exists now.
bool PrinterExists(sqlite3* db, const std::string& name);

// The stored default device mode of a printer, empty when it has none.
std::vector<BYTE> StoredDevMode(sqlite3* db, const std::string& printer);

// UTF-16 form and value names <-> their stored forms.
std::string ValueKey(LPCWSTR name);
std::u16string FromUtf8(const std::string& s);

// Lays out a fixed-size record followed by its strings in a caller buffer.
// First pass (buffer null) measures; the second writes strings and returns their addresses.
class Packer {
public:
    Packer(BYTE* buffer, size_t fixedSize) : buffer_(buffer), offset_(fixedSize) {}
    // Places a NUL-terminated copy (or a double-NUL list when multi is set).
    LPWSTR Add(const std::u16string& s, bool multi = false)
    {
        size_t units = s.size() + (multi ? 2 : 1);
        LPWSTR where = buffer_ ? reinterpret_cast<LPWSTR>(buffer_ + offset_) : nullptr;
        if (buffer_) {
            std::memcpy(buffer_ + offset_, s.data(), s.size() * sizeof(WCHAR));
            std::memset(buffer_ + offset_ + s.size() * sizeof(WCHAR), 0, (units - s.size()) * sizeof(WCHAR));
        }
        offset_ += units * sizeof(WCHAR);
        return where;
    }
    // Places a copy of raw bytes at the next 8-byte boundary.
    BYTE* AddBytes(const std::vector<BYTE>& bytes)
    {
        offset_ = (offset_ + 7) & ~size_t{7};
        BYTE* where = buffer_ ? buffer_ + offset_ : nullptr;
        if (buffer_ && !bytes.empty()) std::memcpy(where, bytes.data(), bytes.size());
        offset_ += bytes.size();
        return where;
    }
    size_t size() const { return offset_; }

private:
    BYTE* buffer_;
    size_t offset_;
};

}  // namespace platform::spool
