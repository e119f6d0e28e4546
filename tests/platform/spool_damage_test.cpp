// A damaged spool database is reported with its path and SQLite's reason, every
// spooler call fails, and the file is left exactly as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/spool_fixture.h"

namespace {

using ::testing::HasSubstr;

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class SpoolDamage : public SpoolTest {
protected:
    void SetUp() override
    {
        SpoolTest::SetUp();
        for (int i = 0; i < 40; ++i) {  // enough rows for several pages
            std::u16string value = platform::Widen("Value" + std::to_string(i));
            std::vector<BYTE> bytes(900, static_cast<BYTE>(i));
            ASSERT_EQ(SetPrinterDataW(printer, value.data(), REG_BINARY, bytes.data(), 900), ERROR_SUCCESS);
        }
        ClosePrinter(printer);
        printer = nullptr;
        platform::CloseSpoolDatabase();
        // Fold the log into the database file so that damage to it is seen.
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }

    // The database is refused, the reason names the file, and nothing changed it.
    void ExpectRefused(const std::string& reason)
    {
        std::string before = ReadAll(path);
        EXPECT_EQ(platform::OpenSpoolDatabase(), ERROR_READ_FAULT);
        EXPECT_THAT(platform::SpoolDatabaseError(), HasSubstr(path));
        EXPECT_THAT(platform::SpoolDatabaseError(), HasSubstr(reason));
        EXPECT_FALSE(OpenPrinterW(name.data(), &printer, nullptr));
        EXPECT_EQ(platform::AddPrinter(Record("Another")), ERROR_WRITE_FAULT);
        EXPECT_EQ(platform::BeginSpoolTransaction(), ERROR_READ_FAULT);
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
    }

    std::string path = dir.path + "/spool/spool.db";
};

TEST_F(SpoolDamage, RandomBytes)
{
    std::string noise(8192, '\0');
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919 + 13) % 251);
    WriteAll(path, noise);
    ExpectRefused("not a database");
}

TEST_F(SpoolDamage, TruncatedFile)
{
    std::string bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 4 * 4096u);
    WriteAll(path, bytes.substr(0, bytes.size() / 2));
    ExpectRefused("damaged");
}

TEST_F(SpoolDamage, GarbledPage)
{
    std::string bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 4 * 4096u);
    for (size_t i = 2 * 4096; i < 2 * 4096 + 200; ++i) bytes[i] = static_cast<char>(0xA5);
    WriteAll(path, bytes);
    ExpectRefused("damaged");
}

TEST_F(SpoolDamage, DirectoryInItsPlace)
{
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(platform::OpenSpoolDatabase(), ERROR_READ_FAULT);
    EXPECT_THAT(platform::SpoolDatabaseError(), HasSubstr(path + ": not a regular file"));
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST_F(SpoolDamage, RepairedDatabaseIsUsedAgain)
{
    std::string good = ReadAll(path);
    WriteAll(path, std::string(4096, 'x'));
    EXPECT_EQ(platform::OpenSpoolDatabase(), ERROR_READ_FAULT);
    WriteAll(path, good);
    EXPECT_EQ(platform::OpenSpoolDatabase(), ERROR_SUCCESS);
    EXPECT_TRUE(platform::SpoolDatabaseError().empty());
    EXPECT_TRUE(OpenPrinterW(name.data(), &printer, nullptr));
}

}  // namespace
