// A module as the platform loads it: DllInitialize asks the test program what
// to answer (the test program exports UserTestModuleEvent), and one export.
#include <dlfcn.h>

#include "user/modules.h"

extern "C" {

__attribute__((visibility("default"))) BOOL DllInitialize(HINSTANCE hModule, DWORD ulReason, LPVOID)
{
    using Hook = BOOL (*)(HINSTANCE, DWORD);
    auto hook = reinterpret_cast<Hook>(::dlsym(RTLD_DEFAULT, "UserTestModuleEvent"));
    return hook ? hook(hModule, ulReason) : TRUE;
}

__attribute__((visibility("default"))) int TestModuleAnswer() { return 42; }

}  // extern "C"
