// Module loading: lookup by name, reference counts, DllInitialize, own exports.
#include <gtest/gtest.h>
#include <stdio.h>

#include <array>
#include <cstdlib>
#include <string>

#include "compstui/compstui.h"
#include "module_fixture.h"
#include "base/codepage.h"
#include "user/resources.h"

ModuleEvents& TestModuleEvents()
{
    static ModuleEvents events;
    return events;
}

extern "C" __attribute__((visibility("default"))) BOOL UserTestModuleEvent(HINSTANCE h, DWORD reason)
{
    ModuleEvents& e = TestModuleEvents();
    e.calls.emplace_back(h, reason);
    return e.answer ? e.answer(h, reason) : TRUE;
}

namespace {

class ModulesTest : public ::testing::Test {
protected:
    void SetUp() override { TestModuleEvents() = {}; }
    void TearDown() override { TestModuleEvents() = {}; }
};

TEST_F(ModulesTest, CompstuiIsFoundByItsWindowsNameInAnyCase)
{
    HMODULE a = LoadLibraryA("compstui.dll");
    ASSERT_NE(a, nullptr);
    HMODULE b = LoadLibraryW(u"COMPSTUI.DLL");
    EXPECT_EQ(a, b);
    EXPECT_EQ(user::ModuleReferenceCount(a), 2u);
    EXPECT_EQ(GetModuleHandleA("compstui.dll"), a);

    auto fn = reinterpret_cast<decltype(&CommonPropertySheetUIW)>(GetProcAddress(a, "CommonPropertySheetUIW"));
    EXPECT_NE(fn, nullptr);
    EXPECT_TRUE(FreeLibrary(b));
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_EQ(GetModuleHandleA("compstui.dll"), nullptr);
}

TEST_F(ModulesTest, UnknownModulesAreNotFound)
{
    for (const char* name : {"nosuch.dll", "liblblplatform.so", "/no/such/module.so", "", "../ui/liblblui.so"}) {
        SetLastError(0);
        EXPECT_EQ(LoadLibraryA(name), nullptr) << name;
        EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND) << name;
    }
    EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
}

TEST_F(ModulesTest, AttachOnFirstLoadAndDetachOnLastFree)
{
    HMODULE h = LoadLibraryA(USER_TESTMODULE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(LoadLibraryA(USER_TESTMODULE), h);
    ASSERT_EQ(TestModuleEvents().calls.size(), 1u);
    EXPECT_EQ(TestModuleEvents().calls[0], std::make_pair(HINSTANCE(h), DLL_PROCESS_ATTACH));

    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_EQ(TestModuleEvents().calls.size(), 1u);
    EXPECT_TRUE(FreeLibrary(h));
    ASSERT_EQ(TestModuleEvents().calls.size(), 2u);
    EXPECT_EQ(TestModuleEvents().calls[1], std::make_pair(HINSTANCE(h), DLL_PROCESS_DETACH));

    // The handle is gone with the module: it is refused, not reused.
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(h));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetProcAddress(h, "TestModuleAnswer"), nullptr);
    WCHAR text[8];
    EXPECT_EQ(LoadStringW(h, 1, text, 8), 0);
}

TEST_F(ModulesTest, RefusedAttachFailsTheLoadAndDetachesAtOnce)
{
    TestModuleEvents().answer = [](HINSTANCE, DWORD reason) { return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE; };
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA(USER_TESTMODULE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_DLL_INIT_FAILED);
    ASSERT_EQ(TestModuleEvents().calls.size(), 2u);
    EXPECT_EQ(TestModuleEvents().calls[1].second, DLL_PROCESS_DETACH);
    EXPECT_EQ(GetModuleHandleA(USER_TESTMODULE), nullptr);
}

// The UI library loads its own file once more while attaching, so that it stays
// loaded for the life of the process: that nested load must not deadlock or attach
// twice, and the caller's free must leave the module loaded.
TEST_F(ModulesTest, ModuleLoadingItselfWhileAttachingStaysLoaded)
{
    HMODULE self = nullptr;
    TestModuleEvents().answer = [&self](HINSTANCE h, DWORD reason) {
        if (reason == DLL_PROCESS_ATTACH) {
            std::array<WCHAR, 260> path{};
            if (GetModuleFileNameW(h, path.data(), path.size()) == 0) return FALSE;
            self = LoadLibraryW(path.data());
        }
        return TRUE;
    };
    HMODULE h = LoadLibraryA(USER_TESTMODULE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(self, h);
    EXPECT_EQ(user::ModuleReferenceCount(h), 2u);
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_EQ(TestModuleEvents().calls.size(), 1u);  // no detach
    EXPECT_EQ(GetModuleHandleA(USER_TESTMODULE), h);
    EXPECT_TRUE(FreeLibrary(self));
    EXPECT_EQ(TestModuleEvents().calls.size(), 2u);
}

TEST_F(ModulesTest, StillLoadedModulesAreDetachedAtExit)
{
    EXPECT_EXIT(
        {
            TestModuleEvents().answer = [](HINSTANCE, DWORD reason) {
                if (reason == DLL_PROCESS_DETACH) std::fputs("detached\n", stderr);
                return TRUE;
            };
            if (!LoadLibraryA(USER_TESTMODULE)) std::_Exit(3);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "detached");
}

TEST_F(ModulesTest, GetProcAddressFindsOnlyTheModulesOwnExports)
{
    TestModule m;
    ASSERT_NE(m.h, nullptr);
    auto answer = reinterpret_cast<int (*)()>(GetProcAddress(m.h, "TestModuleAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    // LoadStringW is reachable through the module's dependencies but is not its export.
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(m.h, "LoadStringW"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(GetProcAddress(m.h, reinterpret_cast<LPCSTR>(std::uintptr_t{1})), nullptr);  // ordinal
    EXPECT_EQ(GetProcAddress(m.h, "NoSuchFunction"), nullptr);
}

TEST_F(ModulesTest, ModuleFileNameIsTruncatedAndTerminatedInAShortBuffer)
{
    TestModule m;
    ASSERT_NE(m.h, nullptr);
    std::string path = user::ModulePath(m.h);
    ASSERT_FALSE(path.empty());

    std::array<WCHAR, 1024> full{};
    DWORD n = GetModuleFileNameW(m.h, full.data(), full.size());
    EXPECT_EQ(platform::Narrow(std::u16string(full.data(), n)), path);
    EXPECT_EQ(n, path.size());

    std::array<WCHAR, 5> small;
    small.fill(u'x');
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(m.h, small.data(), small.size()), 5u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(small.data()), platform::Widen(path.substr(0, 4)));

    char ansi[5];
    EXPECT_EQ(GetModuleFileNameA(m.h, ansi, sizeof ansi), 5u);
    EXPECT_EQ(std::string(ansi), path.substr(0, 4));
}

TEST_F(ModulesTest, ForeignAndStaleHandlesAreRefused)
{
    HANDLE notAModule = reinterpret_cast<HANDLE>(std::uintptr_t{0x12345});
    WCHAR buffer[16];
    EXPECT_FALSE(FreeLibrary(notAModule));
    EXPECT_EQ(GetProcAddress(notAModule, "DllInitialize"), nullptr);
    EXPECT_EQ(GetModuleFileNameW(notAModule, buffer, 16), 0u);
    EXPECT_EQ(LoadStringW(notAModule, 1, buffer, 16), 0);
    EXPECT_EQ(buffer[0], 0);
}

// The driver's exports are checked with nm -D; embedding resources must add none.
TEST_F(ModulesTest, ResourcesAddNoExportedSymbol)
{
    std::string command = std::string("nm -D --defined-only ") + USER_TESTMODULE;
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string s(line);
        if (s.find(" T ") != std::string::npos || s.find(" D ") != std::string::npos ||
            s.find(" R ") != std::string::npos || s.find(" B ") != std::string::npos)
            out += s.substr(s.rfind(' ') + 1);
    }
    ASSERT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(out, "DllInitialize\nTestModuleAnswer\n");
}

}  // namespace
