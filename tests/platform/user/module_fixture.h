// The test module's DllInitialize calls reach the test program through
// UserTestModuleEvent; a test says what it answers and sees what it was called with.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "user/modules.h"

struct ModuleEvents {
    std::vector<std::pair<HINSTANCE, DWORD>> calls;
    std::function<BOOL(HINSTANCE, DWORD)> answer;  // empty: TRUE
};
ModuleEvents& TestModuleEvents();

// Loads the test module for one test and frees it at the end.
struct TestModule {
    HMODULE h;
    TestModule() : h(LoadLibraryA(USER_TESTMODULE)) {}
    ~TestModule()
    {
        if (h) FreeLibrary(h);
    }
    TestModule(const TestModule&) = delete;
    TestModule& operator=(const TestModule&) = delete;
};
