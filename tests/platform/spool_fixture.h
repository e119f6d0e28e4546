// A fresh spool directory per test, with one printer opened on it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "base/codepage.h"
#include "spooler/spooler.h"

// A directory under the build tree, removed with everything in it.
struct TempDir {
    std::string path;
    TempDir()
    {
        std::string pattern = std::string(LBL_BINARY_DIR) + "/tmp-platform-XXXXXX";
        path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempDir()
    {
        if (!path.empty()) std::filesystem::remove_all(path);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
};

class SpoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dir.path.empty());
        platform::SetSpoolDirectory(dir.path + "/spool");
        ASSERT_EQ(platform::AddPrinter(Record("Label One")), ERROR_SUCCESS);
        ASSERT_TRUE(OpenPrinterW(name.data(), &printer, nullptr));
    }
    void TearDown() override
    {
        if (printer) ClosePrinter(printer);
        platform::CloseSpoolDatabase();
    }

    static platform::PrinterRecord Record(const std::string& printerName)
    {
        return {printerName, "Label Driver", "/opt/lbl/model3.ppd", "/opt/lbl/help.hlp", "/tmp/out.prn",
                "/opt/lbl/liblblrender.so", "/opt/lbl/liblblui.so"};
    }

    TempDir dir;
    std::u16string name = u"Label One";
    HANDLE printer = nullptr;
};
