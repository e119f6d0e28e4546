// Test support for the settings library: a private spool directory per test
// process, a fresh printer per test, small description files, and the live-block
// counter of the build under test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/memory.h"
#include "description/ppd.h"
#include "settings/settings.h"
#include "spooler/spooler.h"

namespace settings_test {

// Live blocks of the shared code's allocator in this build.
inline long LiveDrvBlocks()
{
#if defined(LBL_RENDER_BUILD)
    return platform::LivePoolBlocks(DRV_POOL_TAG);
#else
    return platform::LiveGlobalBlocks();
#endif
}

// Description file content: model number, colour, resolutions (the first is the
// default), duplex and collate groups.
struct PpdParams {
    int model = 3;
    bool color = false;
    std::vector<int> dpis = {300, 600};
    bool duplex = false;
    bool collate = false;
};

std::string PpdText(const PpdParams& params);

// A description record made by the description library from a file written to
// the test directory. Freed on destruction.
class Ppd {
public:
    explicit Ppd(const PpdParams& params = {});
    ~Ppd();
    Ppd(const Ppd&) = delete;
    Ppd& operator=(const Ppd&) = delete;
    const PPDDATA* get() const { return p_; }
    operator const PPDDATA*() const { return p_; }

private:
    PPDDATA* p_ = nullptr;
};

// The test's own directory (created once per process, removed at exit).
const std::string& TestDir();

// A fresh printer with an open handle; deleted at the end of the test.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Raw access to the printer data store, for both builds.
    DWORD SetValue(const char16_t* name, const void* data, DWORD cb, DWORD type = REG_BINARY);
    std::vector<BYTE> GetValue(const char16_t* name);
    // Adds a user form of this size (micrometres) to the machine-wide list.
    void AddForm(const std::u16string& name, LONG cx = 50000, LONG cy = 30000);
    DWORD FormCount();

    HANDLE h = nullptr;
    std::u16string printerName;
    long liveAtStart = 0;
};

}  // namespace settings_test
