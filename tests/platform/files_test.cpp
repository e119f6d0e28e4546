// Files, mappings and engine modules: result codes, views that outlive their
// handles and the file's later changes, file times, atomic renames.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "base/codepage.h"
#include "base/files.h"
#include "platform/spool_fixture.h"

namespace {

class Files : public ::testing::Test {
protected:
    std::u16string Path(const std::string& leaf) { return platform::Widen(dir.path + "/" + leaf); }
    void Write(const std::string& leaf, const std::string& bytes)
    {
        std::ofstream(dir.path + "/" + leaf, std::ios::binary) << bytes;
    }
    TempDir dir;
};

TEST_F(Files, CreateWriteReadAndResultCodes)
{
    std::u16string path = Path("a.bin");
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, "hello", 5, &n, nullptr));
    EXPECT_EQ(n, 5u);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));

    EXPECT_EQ(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(CreateFileW(Path("none").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CreateFileW(Path("no/dir").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(h, &high), 5u);
    EXPECT_EQ(high, 0u);
    char buf[16] = {};
    EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));  // short read at the end is success
    EXPECT_EQ(n, 5u);
    EXPECT_STREQ(buf, "hello");
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(Files, ViewOutlivesHandlesAndLaterChangesOfTheFile)
{
    Write("desc.bpd", std::string(100000, 'k'));
    std::u16string path = Path("desc.bpd");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x12345)));
    auto* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
    Write("desc.bpd", "");  // truncated by a writer: the view must neither fault nor change
    EXPECT_EQ(view[0], 'k');
    EXPECT_EQ(view[99999], 'k');
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
}

TEST_F(Files, EmptyFileCannotBeMapped)
{
    Write("empty", "");
    std::u16string path = Path("empty");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_INVALID);
    EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 10, nullptr), nullptr);  // beyond the file
    CloseHandle(file);
    EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(Files, LastWriteTimesCompareWithNanosecondPrecision)
{
    Write("old", "1");
    Write("new", "2");
    struct timespec older[2] = {{1000, 100}, {1000, 100}}, newer[2] = {{1000, 200}, {1000, 200}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir.path + "/old").c_str(), older, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir.path + "/new").c_str(), newer, 0), 0);
    FILETIME t[2];
    int i = 0;
    for (const char* leaf : {"old", "new"}) {
        HANDLE h = CreateFileW(Path(leaf).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(GetFileTime(h, nullptr, nullptr, &t[i++]));
        CloseHandle(h);
    }
    unsigned long long expected = (1000ULL + 11644473600ULL) * 10000000ULL + 1;  // 100 ns -> 1 unit
    EXPECT_EQ((static_cast<unsigned long long>(t[0].dwHighDateTime) << 32) | t[0].dwLowDateTime, expected);
    EXPECT_EQ(CompareFileTime(&t[0], &t[1]), -1);
    EXPECT_EQ(CompareFileTime(&t[1], &t[0]), 1);
    EXPECT_EQ(CompareFileTime(&t[1], &t[1]), 0);
}

TEST_F(Files, MoveReplacesOnlyWhenAsked)
{
    Write("from", "new");
    Write("to", "old");
    EXPECT_FALSE(MoveFileExW(Path("from").c_str(), Path("to").c_str(), 0));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(MoveFileExW(Path("from").c_str(), Path("to").c_str(), MOVEFILE_REPLACE_EXISTING));
    std::ifstream in(dir.path + "/to");
    std::string content;
    in >> content;
    EXPECT_EQ(content, "new");
    EXPECT_FALSE(MoveFileExW(Path("from").c_str(), Path("x").c_str(), 0));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(Files, EngineModulesMapWholeFiles)
{
    Write("module.bin", "0123456789");
    Write("zero.bin", "");
    std::u16string path = Path("module.bin"), zero = Path("zero.bin"), missing = Path("missing.bin");
    HANDLE h = EngLoadModule(path.data());
    ASSERT_NE(h, nullptr);
    ULONG size = 0;
    auto* bytes = static_cast<const char*>(EngMapModule(h, &size));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(std::string(bytes, size), "0123456789");
    EXPECT_FALSE(CloseHandle(h));  // modules are freed with EngFreeModule only
    EngFreeModule(h);
    EXPECT_EQ(EngMapModule(h, &size), nullptr);
    EXPECT_EQ(EngLoadModule(missing.data()), nullptr);
    HANDLE empty = EngLoadModule(zero.data());
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(EngMapModule(empty, &size), nullptr);
    EXPECT_EQ(size, 0u);
    EngFreeModule(empty);
}

}  // namespace
