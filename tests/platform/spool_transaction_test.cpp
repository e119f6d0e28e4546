// Spool transactions: writes grouped by one change commit or vanish together,
// two processes doing read-modify-write lose neither's change, and a process
// killed at any write leaves the old state or the new one, whole.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/spool_fixture.h"

namespace {

class SpoolTransactions : public SpoolTest {
protected:
    std::optional<DWORD> Value(const char* name)
    {
        std::u16string w = platform::Widen(name);
        DWORD value = 0, type = 0, needed = 0;
        if (GetPrinterDataW(printer, w.data(), &type, reinterpret_cast<BYTE*>(&value), 4, &needed) != ERROR_SUCCESS)
            return std::nullopt;
        return value;
    }
    DWORD Set(const char* name, DWORD value)
    {
        std::u16string w = platform::Widen(name);
        return SetPrinterDataW(printer, w.data(), REG_DWORD, reinterpret_cast<BYTE*>(&value), 4);
    }
    bool HasForm(const std::string& name)
    {
        DWORD needed = 0, count = 0;
        EnumFormsW(printer, 1, nullptr, 0, &needed, &count);
        std::vector<BYTE> buffer(needed);
        if (!EnumFormsW(printer, 1, buffer.data(), needed, &needed, &count)) return false;
        auto* forms = reinterpret_cast<FORM_INFO_1W*>(buffer.data());
        std::u16string w = platform::Widen(name);
        for (DWORD i = 0; i < count; ++i)
            if (w == forms[i].pName) return true;
        return false;
    }
    BOOL AddForm(const std::string& name)
    {
        std::u16string w = platform::Widen(name);
        FORM_INFO_1W info{FORM_PRINTER, w.data(), {40000, 20000}, {0, 0, 40000, 20000}};
        return AddFormW(printer, 1, reinterpret_cast<BYTE*>(&info));
    }
    static int ExitStatus(pid_t pid)
    {
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }
};

TEST_F(SpoolTransactions, ValuesAndFormsCommitOrVanishTogether)
{
    {
        platform::SpoolTransaction tx;
        ASSERT_EQ(tx.Status(), ERROR_SUCCESS);
        ASSERT_EQ(Set("A", 1), ERROR_SUCCESS);
        ASSERT_TRUE(AddForm("Gone"));
        EXPECT_EQ(Value("A"), 1u);  // visible inside the transaction
    }  // rolled back
    EXPECT_FALSE(Value("A"));
    EXPECT_FALSE(HasForm("Gone"));

    platform::SpoolTransaction tx;
    ASSERT_EQ(Set("A", 2), ERROR_SUCCESS);
    ASSERT_TRUE(AddForm("Kept"));
    // A failing operation undoes only itself; the transaction goes on.
    EXPECT_FALSE(AddForm("Kept"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    {
        platform::SpoolTransaction inner;  // nested: a savepoint
        ASSERT_EQ(Set("B", 3), ERROR_SUCCESS);
    }
    EXPECT_FALSE(Value("B"));
    ASSERT_EQ(tx.Commit(), ERROR_SUCCESS);
    EXPECT_EQ(Value("A"), 2u);
    EXPECT_TRUE(HasForm("Kept"));
}

TEST_F(SpoolTransactions, ClosedConnectionFailsTheCommit)
{
    platform::SpoolTransaction tx;
    ASSERT_EQ(Set("A", 1), ERROR_SUCCESS);
    platform::CloseSpoolDatabase();
    EXPECT_NE(Set("B", 1), ERROR_SUCCESS);  // nothing is written outside the lost transaction
    EXPECT_EQ(tx.Commit(), ERROR_WRITE_FAULT);
    EXPECT_FALSE(platform::SpoolDatabaseError().empty());
    EXPECT_FALSE(Value("A"));
    EXPECT_FALSE(Value("B"));
}

// Each child adds 1 to "Counter" many times, reading and writing it inside one
// transaction; without the transaction's write lock increments get lost.
TEST_F(SpoolTransactions, ConcurrentReadModifyWriteLosesNothing)
{
    constexpr int kRounds = 40;
    ASSERT_EQ(Set("Counter", 0), ERROR_SUCCESS);
    platform::CloseSpoolDatabase();
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0; i < kRounds; ++i) {
                platform::SpoolTransaction tx;
                std::optional<DWORD> v = Value("Counter");
                if (tx.Status() != ERROR_SUCCESS || !v) ::_exit(1);
                if (Set("Counter", *v + 1) != ERROR_SUCCESS || tx.Commit() != ERROR_SUCCESS) ::_exit(2);
            }
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) EXPECT_EQ(ExitStatus(pid), 0);
    EXPECT_EQ(Value("Counter"), static_cast<DWORD>(2 * kRounds));
}

// A change of two values and a form, killed before each of its writes in turn.
TEST_F(SpoolTransactions, KillAtEveryWriteLeavesOldOrNewState)
{
    ASSERT_EQ(Set("A", 1), ERROR_SUCCESS);
    ASSERT_EQ(Set("B", 1), ERROR_SUCCESS);
    platform::CloseSpoolDatabase();
    bool finished = false;
    for (int n = 1; n < 50 && !finished; ++n) {
        pid_t pid = ::fork();
        if (pid == 0) {
            platform::ExitAtSpoolWrite(n);
            platform::SpoolTransaction tx;
            bool ok = Set("A", 2) == ERROR_SUCCESS && AddForm("New") && Set("B", 2) == ERROR_SUCCESS;
            ::_exit(ok && tx.Commit() == ERROR_SUCCESS ? 0 : 1);
        }
        int status = ExitStatus(pid);
        ASSERT_TRUE(status == 0 || status == 86) << "write " << n << ": " << status;
        finished = status == 0;
        bool isNew = Value("A") == 2u;
        EXPECT_EQ(Value("B"), isNew ? 2u : 1u) << "write " << n;
        EXPECT_EQ(HasForm("New"), isNew) << "write " << n;
        EXPECT_EQ(isNew, finished) << "write " << n;
        platform::CloseSpoolDatabase();
    }
    EXPECT_TRUE(finished);
}

}  // namespace
