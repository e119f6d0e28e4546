// SQLite's integrity check of the spool database, on a read-only connection of
// its own so that checking never writes to the file it checks.
#include <sys/stat.h>

#include <sqlite3.h>

#include <cstdio>

#include "spooler/spooler.h"

namespace platform {

DWORD CheckSpoolDatabase(std::vector<std::string>& findings)
{
    findings.clear();
    std::string dir = SpoolDirectory();
    if (dir.empty()) {
        findings.push_back("no spool directory: neither XDG_DATA_HOME nor HOME is set to an absolute directory");
        return ERROR_PATH_NOT_FOUND;
    }
    std::string path = dir + "/spool.db";
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        findings.push_back(path + ": no spool database yet");
        return ERROR_FILE_NOT_FOUND;
    }
    if (!S_ISREG(st.st_mode)) {
        findings.push_back(path + ": not a regular file, so not a spool database");
        return ERROR_FILE_INVALID;
    }
    // Reached through a URI so that the name is taken literally: '%' and '?' are escaped.
    std::string uri = "file:";
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            uri += hex;
        } else {
            uri += c;
        }
    }
    uri += "?mode=ro";
    sqlite3* db = nullptr;
    DWORD result = ERROR_SUCCESS;
    if (sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
        findings.push_back(path + ": " + (db ? sqlite3_errmsg(db) : "cannot open"));
        sqlite3_close_v2(db);
        return ERROR_FILE_INVALID;
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check(100)", -1, &q, nullptr) != SQLITE_OK) {
        findings.push_back(path + ": " + sqlite3_errmsg(db));
        result = ERROR_FILE_INVALID;
    } else {
        int rc;
        while ((rc = sqlite3_step(q)) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
            std::string line = text ? text : "";
            if (line != "ok") {
                findings.push_back(path + ": " + line);
                result = ERROR_FILE_INVALID;
            }
        }
        if (rc != SQLITE_DONE) {
            findings.push_back(path + ": " + sqlite3_errmsg(db));
            result = ERROR_FILE_INVALID;
        }
    }
    sqlite3_finalize(q);
    sqlite3_close_v2(db);
    return result;
}

}  // namespace platform
