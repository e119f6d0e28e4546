// The spooler database: one SQLite file in the spool directory, opened lazily
// once per process, in WAL mode with a busy timeout so that several processes
// can read and write it at once. Every write runs in BEGIN IMMEDIATE, or in a
// savepoint of the process's open spool transaction. A database that fails
// SQLite's quick check is not used (and never written) until it is repaired.
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#include "base/codepage.h"
#include "spool_internal.h"
#include "spooler/spooler.h"

namespace platform::spool {
namespace {

constexpr int kBusyTimeoutMs = 30000;
constexpr int kSchemaVersion = 3;  // 2: drivers, 3: default device modes
constexpr int kFaultExitStatus = 86;

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
    bool chosen = false;    // directory set or defaulted (empty then means none could be found)
    sqlite3* db = nullptr;
    unsigned generation = 1;
    std::string error;      // why the database could not be opened or a spool transaction failed
    // The open spool transaction: its depth (0 none), the connection it runs on
    // (lost when that connection was closed) and the lock held while it is open.
    int batchDepth = 0;
    bool batchLost = false;
    std::unique_lock<std::recursive_mutex> batchLock;
    long long writes = 0;
    long long exitAtWrite = 0;  // test hook: _exit before this write (0: never)
};

// LBL_SPOOL_EXIT_AT_WRITE=n (a test hook) ends the process with status 86 just
// before its n-th database write, the commit of a spool transaction included.
State& S()
{
    static auto* state = [] {
        auto* s = new State;
        if (const char* n = std::getenv("LBL_SPOOL_EXIT_AT_WRITE")) s->exitAtWrite = std::atoll(n);
        return s;
    }();
    return *state;
}

// Empty when neither XDG_DATA_HOME nor HOME names an absolute directory: the
// working directory is never a default.
std::string DefaultDirectory()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/lbl/spool";
    const char* home = std::getenv("HOME");
    if (home && *home == '/') return std::string(home) + "/.local/share/lbl/spool";
    return {};
}

void ChooseDirectory(State& s)
{
    if (s.chosen) return;
    s.directory = DefaultDirectory();
    s.chosen = true;
}

std::string DatabasePath(const State& s) { return s.directory + "/spool.db"; }

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

// Closing the connection rolls back an open spool transaction: it is marked lost,
// so that its commit fails instead of reporting writes that are gone.
void CloseLocked(State& s)
{
    if (s.db) sqlite3_close_v2(s.db);
    s.db = nullptr;
    if (s.batchDepth > 0) s.batchLost = true;
}

// Runs SQLite's quick check on an existing database; false with the reason when
// it cannot be read or is damaged.
bool Healthy(sqlite3* db, std::string& why)
{
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &q, nullptr) != SQLITE_OK) {
        why = sqlite3_errmsg(db);
        return false;
    }
    int rc = sqlite3_step(q);
    if (rc == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
        why = text ? text : "";
        if (why != "ok") rc = SQLITE_CORRUPT;
    } else {
        why = sqlite3_errmsg(db);
    }
    sqlite3_finalize(q);
    return rc == SQLITE_ROW;
}

sqlite3* OpenLocked(State& s)
{
    ChooseDirectory(s);
    s.error.clear();
    if (s.directory.empty()) {
        s.error = "no spool directory: neither XDG_DATA_HOME nor HOME is set to an absolute directory";
        return nullptr;
    }
    if (!MakeDirectories(s.directory)) {
        s.error = s.directory + ": cannot create the spool directory: " + std::strerror(errno);
        return nullptr;
    }
    std::string path = DatabasePath(s);
    struct stat st {};
    bool existing = ::stat(path.c_str(), &st) == 0;
    if (existing && !S_ISREG(st.st_mode)) {
        s.error = path + ": not a regular file, so not a spool database";
        return nullptr;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        s.error = path + ": " + (db ? sqlite3_errmsg(db) : "cannot open");
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // A damaged database is left exactly as it is: no journal mode, no schema.
    if (std::string why; existing && st.st_size > 0 && !Healthy(db, why)) {
        s.error = path + ": the spool database is damaged: " + why;
        sqlite3_close_v2(db);
        return nullptr;
    }
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
        s.error = path + ": " + sqlite3_errmsg(db);
        sqlite3_close_v2(db);
        return nullptr;
    }
    return db;
}

// A connection must not cross fork(): close it before, and let both processes
// reopen on their next call.
// An open spool transaction stays with the parent; the child forgets the
// connection without closing it (closing could touch the parent's locks).
void BeforeFork()
{
    S().lock.lock();
    if (S().batchDepth == 0) CloseLocked(S());
}
void AfterForkInParent() { S().lock.unlock(); }
// The child's only thread does not own the parent's lock: it gets a fresh one.
void AfterForkInChild()
{
    State& s = S();
    new (&s.lock) std::recursive_mutex;
    s.batchLock.release();
    s.batchLock = std::unique_lock<std::recursive_mutex>();
    s.db = nullptr;
    s.batchDepth = 0;
    s.batchLost = false;
}

// Counts a write about to be made; the test hook ends the process before the chosen one.
void CountWrite()
{
    State& s = S();
    if (++s.writes == s.exitAtWrite) ::_exit(kFaultExitStatus);
}

[[maybe_unused]] const bool forkHandlersInstalled = [] {
    pthread_atfork(BeforeFork, AfterForkInParent, AfterForkInChild);
    return true;
}();

}  // namespace

Session::Session() : lock_(S().lock)
{
    State& s = S();
    if (s.batchDepth > 0 && s.batchLost) return;  // never write outside the transaction that was lost
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

int Statement::Step()
{
    if (!stmt_) return SQLITE_ERROR;
    if (!sqlite3_stmt_readonly(stmt_)) CountWrite();
    return sqlite3_step(stmt_);
}

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

// Inside an open spool transaction an operation is a savepoint: a failed
// operation undoes only its own writes, and nothing is durable before the
// spool transaction commits.
Transaction::Transaction(sqlite3* db) : db_(db)
{
    nested_ = db && !sqlite3_get_autocommit(db);
    begun_ = db && Exec(db, nested_ ? "SAVEPOINT op" : "BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (begun_ && !done_) Exec(db_, nested_ ? "ROLLBACK TO op; RELEASE op" : "ROLLBACK");
}

bool Transaction::Commit()
{
    if (!begun_ || done_) return false;
    CountWrite();
    if (!Exec(db_, nested_ ? "RELEASE op" : "COMMIT")) return false;  // the destructor rolls back
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
    if (s.chosen && dir == s.directory) return;
    spool::CloseLocked(s);
    s.directory = dir;
    s.chosen = true;
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
    spool::ChooseDirectory(s);
    return s.directory;
}

DWORD OpenSpoolDatabase()
{
    spool::Session session;
    return session.db() ? ERROR_SUCCESS : ERROR_READ_FAULT;
}

std::string SpoolDatabaseError()
{
    auto& s = spool::S();
    std::lock_guard guard(s.lock);
    return s.error;
}

// ---- spool transactions ---------------------------------------------------------

DWORD BeginSpoolTransaction()
{
    auto& s = spool::S();
    std::unique_lock lock(s.lock);
    if (s.batchDepth > 0) {
        if (s.batchLost || !s.db) return ERROR_WRITE_FAULT;
        if (!spool::Exec(s.db, ("SAVEPOINT batch" + std::to_string(s.batchDepth)).c_str())) {
            s.error = spool::DatabasePath(s) + ": " + sqlite3_errmsg(s.db);
            return ERROR_WRITE_FAULT;
        }
        ++s.batchDepth;
        return ERROR_SUCCESS;
    }
    if (!s.db) s.db = spool::OpenLocked(s);
    if (!s.db) return ERROR_READ_FAULT;
    int rc = sqlite3_exec(s.db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        bool busy = rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
        s.error = spool::DatabasePath(s) + ": " + (busy ? "the spool database is busy: another program is "
                                                          "changing it; try again"
                                                        : sqlite3_errmsg(s.db));
        return busy ? ERROR_BUSY : ERROR_WRITE_FAULT;
    }
    s.batchDepth = 1;
    s.batchLost = false;
    s.batchLock = std::move(lock);
    return ERROR_SUCCESS;
}

DWORD CommitSpoolTransaction()
{
    auto& s = spool::S();
    std::lock_guard guard(s.lock);
    if (s.batchDepth == 0) return ERROR_INVALID_FUNCTION;
    DWORD result = ERROR_SUCCESS;
    if (s.batchLost || !s.db) {
        s.error = "the spool database was closed before the changes were saved; nothing was saved";
        result = ERROR_WRITE_FAULT;
    } else {
        spool::CountWrite();
        std::string sql = s.batchDepth > 1 ? "RELEASE batch" + std::to_string(s.batchDepth - 1) : "COMMIT";
        if (!spool::Exec(s.db, sql.c_str())) {
            s.error = spool::DatabasePath(s) + ": " + sqlite3_errmsg(s.db);
            result = ERROR_WRITE_FAULT;
            if (s.batchDepth == 1) spool::Exec(s.db, "ROLLBACK");
            else spool::Exec(s.db, ("ROLLBACK TO batch" + std::to_string(s.batchDepth - 1) + "; RELEASE batch" +
                                    std::to_string(s.batchDepth - 1)).c_str());
        }
    }
    if (--s.batchDepth == 0) {
        s.batchLost = false;
        if (s.batchLock.owns_lock()) s.batchLock.unlock();
    }
    return result;
}

void RollbackSpoolTransaction()
{
    auto& s = spool::S();
    std::lock_guard guard(s.lock);
    if (s.batchDepth == 0) return;
    if (!s.batchLost && s.db) {
        if (s.batchDepth == 1) spool::Exec(s.db, "ROLLBACK");
        else spool::Exec(s.db, ("ROLLBACK TO batch" + std::to_string(s.batchDepth - 1) + "; RELEASE batch" +
                                std::to_string(s.batchDepth - 1)).c_str());
    }
    if (--s.batchDepth == 0) {
        s.batchLost = false;
        if (s.batchLock.owns_lock()) s.batchLock.unlock();
    }
}

void ExitAtSpoolWrite(long long n)
{
    auto& s = spool::S();
    std::lock_guard guard(s.lock);
    s.writes = 0;
    s.exitAtWrite = n;
}

}  // namespace platform
