// Test support for the UI library: a private spool directory with the model
// descriptions copied into it, the UI code's own entry initialised with the
// module handle of the built liblblui.so (so its string table resolves), and
// printers made per test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/codepage.h"
#include "uidrv.h"

namespace uitest {

// The test process's directory (removed at exit).
const std::string& TestDir();
// A copy of ppd/modelN.ppd in the test directory.
std::string ModelPpd(int model);
// Writes a description file into the test directory and returns its path.
std::string WritePpd(const std::string& name, const std::string& text);
// The built liblblui.so, loaded once for the process.
HMODULE UiModule();

// A printer handle closed on destruction.
struct Printer {
    HANDLE h = nullptr;
    Printer() = default;
    explicit Printer(HANDLE handle) : h(handle) {}
    ~Printer()
    {
        if (h) ClosePrinter(h);
    }
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;
    operator HANDLE() const { return h; }
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new printer of this description with nothing stored (no install event).
    std::u16string AddBarePrinter(const std::string& ppdPath);
    // A new printer set up by the install event of the UI code under test.
    std::u16string AddInstalledPrinter(const std::string& ppdPath);
    HANDLE Open(const std::u16string& name);
    // Raw printer data of a printer (empty when absent).
    std::vector<BYTE> Value(HANDLE h, const char16_t* name, DWORD* pType = nullptr);
    void SetValue(HANDLE h, const char16_t* name, const void* data, DWORD cb, DWORD type = REG_BINARY);

    std::vector<std::u16string> printers_;
    std::vector<HANDLE> handles_;
    long liveGlobalAtStart_ = 0;
    long liveHeapsAtStart_ = 0;
    bool checkLeaks_ = true;
};

// The machine's forms in order, read through the spooler.
struct Form {
    std::u16string name;
    DWORD flags;
    SIZEL size;
    RECTL area;
};
std::vector<Form> Forms();
// Form number (position + 1) of a form, 0 when there is none.
DWORD FormNumber(const std::u16string& name);

}  // namespace uitest
