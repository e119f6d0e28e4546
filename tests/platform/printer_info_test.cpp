// PRINTER_INFO_2, DRIVER_INFO_2/3 and the driver directory: sizing and content.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "platform/spool_fixture.h"

namespace {

using PrinterInfo = SpoolTest;

template <class F>
std::vector<BYTE> Fetch(F call)
{
    DWORD needed = 0;
    EXPECT_FALSE(call(nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    std::vector<BYTE> small(needed - 1);
    DWORD again = 0;
    EXPECT_FALSE(call(small.data(), needed - 1, &again));
    EXPECT_EQ(again, needed);
    std::vector<BYTE> buffer(needed);
    EXPECT_TRUE(call(buffer.data(), needed, &again));
    return buffer;
}

std::string S(LPCWSTR s) { return s ? platform::Narrow(s) : "(null)"; }

TEST_F(PrinterInfo, PrinterLevel2)
{
    auto buf = Fetch([&](BYTE* b, DWORD cb, DWORD* n) { return GetPrinterW(printer, 2, b, cb, n); });
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buf.data());
    EXPECT_EQ(S(info->pPrinterName), "Label One");
    EXPECT_EQ(S(info->pPortName), "/tmp/out.prn");
    EXPECT_EQ(S(info->pDriverName), "Label Driver");
    EXPECT_EQ(info->pDevMode, nullptr);
    auto* last = reinterpret_cast<BYTE*>(info->pParameters);
    EXPECT_TRUE(last > buf.data() && last < buf.data() + buf.size());
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(printer, 1, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
    EXPECT_FALSE(GetPrinterW(reinterpret_cast<HANDLE>(0x99), 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(PrinterInfo, DriverLevels2And3)
{
    auto buf2 = Fetch([&](BYTE* b, DWORD cb, DWORD* n) { return GetPrinterDriverW(printer, nullptr, 2, b, cb, n); });
    auto* d2 = reinterpret_cast<DRIVER_INFO_2W*>(buf2.data());
    EXPECT_EQ(S(d2->pName), "Label Driver");
    EXPECT_EQ(S(d2->pDriverPath), "/opt/lbl/liblblrender.so");
    EXPECT_EQ(S(d2->pConfigFile), "/opt/lbl/liblblui.so");
    EXPECT_EQ(S(d2->pDataFile), "/opt/lbl/model3.ppd");

    auto buf3 = Fetch([&](BYTE* b, DWORD cb, DWORD* n) { return GetPrinterDriverW(printer, nullptr, 3, b, cb, n); });
    auto* d3 = reinterpret_cast<DRIVER_INFO_3W*>(buf3.data());
    EXPECT_EQ(S(d3->pHelpFile), "/opt/lbl/help.hlp");
    EXPECT_EQ(S(d3->pDataFile), "/opt/lbl/model3.ppd");
    EXPECT_EQ(d3->pDependentFiles[0], u'\0');
    EXPECT_EQ(d3->pDependentFiles[1], u'\0');
    EXPECT_GT(buf3.size(), buf2.size());

    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterDriverW(printer, nullptr, 4, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
}

TEST_F(PrinterInfo, DriverDirectoryIsInTheSpoolDirectory)
{
    auto buf = Fetch([](BYTE* b, DWORD cb, DWORD* n) {
        return GetPrinterDriverDirectoryW(nullptr, nullptr, 1, b, cb, n);
    });
    std::string path = S(reinterpret_cast<LPCWSTR>(buf.data()));
    EXPECT_EQ(path, platform::SpoolDirectory() + "/drivers");
    EXPECT_EQ(buf.size(), (path.size() + 1) * 2);
    struct stat st;
    EXPECT_TRUE(::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

// Names that do not convert exactly would alias each other once widened.
TEST_F(PrinterInfo, NamesMustBeExactUtf8WithoutControlCharacters)
{
    for (std::string bad : {std::string("Bad\xFF"), std::string("Bad\xFE"), std::string("Cut\xC3"),
                            std::string("Del\x7F"), std::string("C1\xC2\x85"), std::string("Sur\xED\xA0\x80")})
        EXPECT_EQ(platform::AddPrinter(Record(bad)), ERROR_INVALID_PRINTER_NAME) << bad;
    EXPECT_EQ(platform::AddPrinter(Record("\xC3\xA9tiquettes \xE2\x82\xAC")), ERROR_SUCCESS);
}

}  // namespace
