// Several processes on one spool database: concurrent writers lose nothing, and
// a writer killed in the middle of its writes leaves every earlier value whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <algorithm>
#include <vector>

#include "platform/spool_fixture.h"

namespace {

class SpoolerProcesses : public SpoolTest {
protected:
    // Forks a child that runs body (which returns its exit status); the child
    // waits until the parent releases the start barrier.
    pid_t Spawn(int startPipe[2], int readyPipe[2], int (*body)(HANDLE, int, int), int arg)
    {
        pid_t pid = ::fork();
        if (pid == 0) {
            char c;
            if (::read(startPipe[0], &c, 1) != 1) ::_exit(90);
            ::_exit(body(printer, arg, readyPipe ? readyPipe[1] : -1));
        }
        return pid;
    }

    std::u16string Name(const std::string& s) { return platform::Widen(s); }

    bool DatabaseIntact()
    {
        sqlite3* db = nullptr;
        std::string path = platform::SpoolDirectory() + "/spool.db";
        bool ok = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
        sqlite3_stmt* q = nullptr;
        ok = ok && sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &q, nullptr) == SQLITE_OK &&
             sqlite3_step(q) == SQLITE_ROW &&
             std::string(reinterpret_cast<const char*>(sqlite3_column_text(q, 0))) == "ok";
        sqlite3_finalize(q);
        sqlite3_close(db);
        return ok;
    }
};

constexpr int kValuesPerWriter = 60;
constexpr int kFormsPerWriter = 15;

int WriteManyValues(HANDLE printer, int writer, int)
{
    for (int i = 0; i < kValuesPerWriter; ++i) {
        std::u16string name = platform::Widen("W" + std::to_string(writer) + "_" + std::to_string(i));
        DWORD value = static_cast<DWORD>(writer * 1000 + i);
        if (SetPrinterDataW(printer, name.data(), REG_DWORD, reinterpret_cast<BYTE*>(&value), 4) != ERROR_SUCCESS)
            return 1;
        if (i < kFormsPerWriter) {
            std::u16string form = platform::Widen("Form " + std::to_string(writer) + "-" + std::to_string(i));
            FORM_INFO_1W info{FORM_PRINTER, form.data(), {40000, 20000}, {0, 0, 40000, 20000}};
            if (!AddFormW(printer, 1, reinterpret_cast<BYTE*>(&info))) return 2;
        }
    }
    return 0;
}

TEST_F(SpoolerProcesses, ConcurrentWritersLoseNothing)
{
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int writer = 1; writer <= 2; ++writer) children.push_back(Spawn(start, nullptr, WriteManyValues, writer));
    ASSERT_EQ(::write(start[1], "gg", 2), 2);  // both start at once
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    ::close(start[0]);
    ::close(start[1]);

    for (int writer = 1; writer <= 2; ++writer) {
        for (int i = 0; i < kValuesPerWriter; ++i) {
            std::u16string valueName = Name("W" + std::to_string(writer) + "_" + std::to_string(i));
            DWORD value = 0, type = 0, needed = 0;
            ASSERT_EQ(GetPrinterDataW(printer, valueName.data(), &type, reinterpret_cast<BYTE*>(&value), 4, &needed),
                      ERROR_SUCCESS);
            EXPECT_EQ(value, static_cast<DWORD>(writer * 1000 + i));
        }
    }
    DWORD needed = 0, count = 0;
    EnumFormsW(printer, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumFormsW(printer, 1, buffer.data(), needed, &needed, &count));
    int added = 0;
    auto* forms = reinterpret_cast<FORM_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) added += forms[i].Flags == FORM_PRINTER;
    EXPECT_EQ(added, 2 * kFormsPerWriter);
}

constexpr DWORD kChurnSize = 64 * 1024;

// Rewrites "Churn" (every byte the round number) and a form, forever; reports
// on the ready pipe once the first round is stored.
int ChurnUntilKilled(HANDLE printer, int, int ready)
{
    std::vector<BYTE> value(kChurnSize);
    WCHAR churn[] = u"Churn";
    for (unsigned round = 1;; ++round) {
        std::fill(value.begin(), value.end(), static_cast<BYTE>(round));
        if (SetPrinterDataW(printer, churn, REG_BINARY, value.data(), kChurnSize) != ERROR_SUCCESS) return 1;
        std::u16string form = platform::Widen("Churn " + std::to_string(round));
        FORM_INFO_1W info{FORM_USER, form.data(), {40000, 20000}, {0, 0, 40000, 20000}};
        AddFormW(printer, 1, reinterpret_cast<BYTE*>(&info));
        if (round == 1 && ::write(ready, "r", 1) != 1) return 2;
    }
}

TEST_F(SpoolerProcesses, KilledWriterLeavesEarlierValuesWhole)
{
    std::vector<BYTE> stable(1000);
    for (size_t i = 0; i < stable.size(); ++i) stable[i] = static_cast<BYTE>(i % 251);
    WCHAR stableName[] = u"Stable", churnName[] = u"Churn";
    ASSERT_EQ(SetPrinterDataW(printer, stableName, REG_BINARY, stable.data(), 1000), ERROR_SUCCESS);

    for (int delayMs : {5, 20, 60}) {
        int start[2], ready[2];
        ASSERT_EQ(::pipe(start), 0);
        ASSERT_EQ(::pipe(ready), 0);
        pid_t pid = Spawn(start, ready, ChurnUntilKilled, 0);
        ASSERT_EQ(::write(start[1], "g", 1), 1);
        char c;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ASSERT_EQ(::kill(pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status));
        for (int fd : {start[0], start[1], ready[0], ready[1]}) ::close(fd);

        std::vector<BYTE> out(kChurnSize);
        DWORD type = 0, needed = 0;
        ASSERT_EQ(GetPrinterDataW(printer, stableName, &type, out.data(), kChurnSize, &needed), ERROR_SUCCESS);
        EXPECT_EQ(needed, 1000u);
        EXPECT_TRUE(std::equal(stable.begin(), stable.end(), out.begin()));
        ASSERT_EQ(GetPrinterDataW(printer, churnName, &type, out.data(), kChurnSize, &needed), ERROR_SUCCESS);
        ASSERT_EQ(needed, kChurnSize);
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [&](BYTE b) { return b == out[0]; })) << "torn value";
        EXPECT_TRUE(DatabaseIntact());
        // The dead writer left no lock behind.
        DWORD one = 1;
        WCHAR after[] = u"After";
        EXPECT_EQ(SetPrinterDataW(printer, after, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4), ERROR_SUCCESS);
    }
}

}  // namespace
