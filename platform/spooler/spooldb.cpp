// The spooler database: one SQLite file in the spool directory, opened lazily
// once per process, in WAL mode with a busy timeout so that several processes
// can read and write it at once. Every write runs in BEGIN IMMEDIATE.
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <thread>

#include "base/codepage.h"
#include "spool_internal.h"
#include "spooler/spooler.h"

namespace platform::spool {
namespace {

constexpr int kBusyTimeoutMs = 30000;
constexpr int kSchemaVersion = 3;  // 2: drivers, 3: default device modes

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS printers(
    name TEXT PRIMARY KEY COLLATE NOCASE,
    driver_name TEXT NOT NULL,
    data_file TEXT NOT NULL,
    help_file TEXT NOT NULL,
    port TEXT NOT NULL,
    render_library TEXT NOT NULL,
    ui_library TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS printer_data(
    printer TEXT NOT NULL COLLATE NOCASE,
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    value BLOB NOT NULL,
    PRIMARY KEY(printer, name));
CREATE TABLE IF NOT EXISTS drivers(
    name TEXT PRIMARY KEY COLLATE NOCASE,
    data_file TEXT NOT NULL,
    help_file TEXT NOT NULL,
    render_library TEXT NOT NULL,
    ui_library TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS printer_devmodes(
    printer TEXT PRIMARY KEY COLLATE NOCASE,
    devmode BLOB NOT NULL);
CREATE TABLE IF NOT EXISTS forms(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name BLOB NOT NULL UNIQUE,
    flags INTEGER NOT NULL,
    cx INTEGER NOT NULL,
    cy INTEGER NOT NULL,
    left INTEGER NOT NULL,
    top INTEGER NOT NULL,
    right INTEGER NOT NULL,
    bottom INTEGER NOT NULL);
)sql";

struct State {
    std::recursive_mutex lock;
    std::string directory;  // empty: not chosen yet
    sqlite3* db = nullptr;
    unsigned generation = 1;
};

State& S()
{
    static auto* state = new State;
    return *state;
}

std::string DefaultDirectory()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/lbl/spool";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/lbl/spool";
}

}  // namespace

bool MakeDirectories(const std::string& path)
{
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') continue;
        std::string part = path.substr(0, pos);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

bool Exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

void CloseLocked(State& s)
{
    if (s.db) sqlite3_close_v2(s.db);
    s.db = nullptr;
}

sqlite3* OpenLocked(State& s)
{
    if (s.directory.empty()) s.directory = DefaultDirectory();
    if (!MakeDirectories(s.directory)) return nullptr;
    std::string path = s.directory + "/spool.db";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Switching to WAL takes a lock the busy handler does not always wait for; retry while busy.
    bool wal = false;
    for (int attempt = 0; attempt < 300; ++attempt) {
        Statement mode(db, "PRAGMA journal_mode=WAL");
        int rc = mode.Step();
        wal = rc == SQLITE_ROW && mode.Text(0) == "wal";
        if (wal || (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    bool ok = wal && Exec(db, "PRAGMA synchronous=NORMAL");
    long long version = -1;
    if (ok) {
        Statement q(db, "PRAGMA user_version");
        if (q.Step() == SQLITE_ROW) version = q.Int(0);
        ok = version >= 0;
    }
    if (ok && version < kSchemaVersion) {  // CREATE ... IF NOT EXISTS: safe when two processes race here
        Transaction tx(db);
        ok = tx.ok() && Exec(db, kSchema) &&
             Exec(db, ("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str()) && tx.Commit();
    }
    if (!ok) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    return db;
}

// A connection must not cross fork(): close it before, and let both processes
// reopen on their next call.
void BeforeFork()
{
    S().lock.lock();
    CloseLocked(S());
}
void AfterForkInParent() { S().lock.unlock(); }
// The child's only thread does not own the parent's lock: it gets a fresh one.
void AfterForkInChild() { new (&S().lock) std::recursive_mutex; }

[[maybe_unused]] const bool forkHandlersInstalled = [] {
    pthread_atfork(BeforeFork, AfterForkInParent, AfterForkInChild);
    return true;
}();

}  // namespace

Session::Session() : lock_(S().lock)
{
    State& s = S();
    if (!s.db) s.db = OpenLocked(s);
    db_ = s.db;
}

unsigned Generation()
{
    std::lock_guard guard(S().lock);
    return S().generation;
}

// ---- statements and transactions ---------------------------------------------

Statement::Statement(sqlite3* db, const char* sql)
{
    if (db && sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Bind(int index, std::string_view text)
{
    if (stmt_) sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::Bind(int index, long long value)
{
    if (stmt_) sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Statement& Statement::BindBlob(int index, const void* data, size_t size)
{
    if (!stmt_) return *this;
    if (size == 0) sqlite3_bind_zeroblob(stmt_, index, 0);  // an empty value, not NULL
    else sqlite3_bind_blob64(stmt_, index, data, size, SQLITE_TRANSIENT);
    return *this;
}

int Statement::Step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }

std::string Statement::Text(int column) const
{
    const auto* text = sqlite3_column_text(stmt_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(stmt_, column)) : std::string();
}

long long Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::vector<BYTE> Statement::Blob(int column) const
{
    const auto* data = static_cast<const BYTE*>(sqlite3_column_blob(stmt_, column));
    int size = sqlite3_column_bytes(stmt_, column);
    return data && size > 0 ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>();
}

Transaction::Transaction(sqlite3* db) : db_(db) { begun_ = db && Exec(db, "BEGIN IMMEDIATE"); }

Transaction::~Transaction()
{
    if (begun_ && !done_) Exec(db_, "ROLLBACK");
}

bool Transaction::Commit()
{
    if (!begun_ || done_) return false;
    if (!Exec(db_, "COMMIT")) return false;  // the destructor rolls back
    done_ = true;
    return true;
}

// ---- handles and names ------------------------------------------------------------

DWORD ResolveHandle(HANDLE h, std::string& name, bool allowServer)
{
    auto printer = LookupHandle<PrinterHandle>(h);
    if (!printer || printer->generation != Generation() || (printer->name.empty() && !allowServer))
        return ERROR_INVALID_HANDLE;
    name = printer->name;
    return ERROR_SUCCESS;
}

bool PrinterExists(sqlite3* db, const std::string& name)
{
    Statement q(db, "SELECT 1 FROM printers WHERE name=?1");
    return q.Bind(1, name).Step() == SQLITE_ROW;
}

std::string ValueKey(LPCWSTR name) { return Narrow(name); }

std::u16string FromUtf8(const std::string& s) { return Widen(s); }

}  // namespace platform::spool

namespace platform {

void SetSpoolDirectory(const std::string& dir)
{
    auto& s = spool::S();
    std::lock_guard guard(s.lock);
    if (dir == s.directory) return;
    spool::CloseLocked(s);
    s.directory = dir;
    ++s.generation;
}

void CloseSpoolDatabase()
{
    auto& s = spool::S();
    std::lock_guard guard(s.lock);
    spool::CloseLocked(s);
}

std::string SpoolDirectory()
{
    auto& s = spool::S();
    std::lock_guard guard(s.lock);
    if (s.directory.empty()) s.directory = spool::DefaultDirectory();
    return s.directory;
}

}  // namespace platform
