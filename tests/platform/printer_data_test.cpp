// Printers and their printer data values: round trips, result codes, handle
// checks, and separate state per spool directory.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/spool_fixture.h"

namespace {

using PrinterData = SpoolTest;

TEST_F(PrinterData, TypedValuesRoundTrip)
{
    std::vector<BYTE> blob(300);
    for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<BYTE>(i * 7);
    DWORD dword = 0x01020304;
    WCHAR text[] = u"Label 10x5";
    WCHAR binName[] = u"LabelData", dwName[] = u"PrinterDataSize", szName[] = u"Note";
    ASSERT_EQ(SetPrinterDataW(printer, binName, REG_BINARY, blob.data(), 300), ERROR_SUCCESS);
    ASSERT_EQ(SetPrinterDataW(printer, dwName, REG_DWORD, reinterpret_cast<BYTE*>(&dword), 4), ERROR_SUCCESS);
    ASSERT_EQ(SetPrinterDataW(printer, szName, REG_SZ, reinterpret_cast<BYTE*>(text), sizeof text), ERROR_SUCCESS);

    std::vector<BYTE> out(400);
    DWORD type = 0, needed = 0;
    ASSERT_EQ(GetPrinterDataW(printer, binName, &type, out.data(), 400, &needed), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(needed, 300u);
    EXPECT_TRUE(std::equal(blob.begin(), blob.end(), out.begin()));
    ASSERT_EQ(EngGetPrinterData(printer, dwName, &type, out.data(), 4, &needed), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(std::memcmp(out.data(), &dword, 4), 0);
    WCHAR lower[] = u"note";  // value names ignore ASCII case
    ASSERT_EQ(GetPrinterDataW(printer, lower, &type, out.data(), 400, &needed), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(std::u16string(reinterpret_cast<WCHAR*>(out.data())), text);

    // Overwrite with a shorter value of another type, and with an empty one.
    ASSERT_EQ(SetPrinterDataW(printer, binName, REG_DWORD, reinterpret_cast<BYTE*>(&dword), 4), ERROR_SUCCESS);
    ASSERT_EQ(GetPrinterDataW(printer, binName, &type, out.data(), 400, &needed), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(needed, 4u);
    ASSERT_EQ(SetPrinterDataW(printer, binName, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    ASSERT_EQ(GetPrinterDataW(printer, binName, &type, nullptr, 0, &needed), ERROR_SUCCESS);
    EXPECT_EQ(needed, 0u);
}

TEST_F(PrinterData, ResultCodes)
{
    BYTE value[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, out[10] = {};
    WCHAR valueName[] = u"PrinterData", missing[] = u"SpotColor";
    ASSERT_EQ(SetPrinterDataW(printer, valueName, REG_BINARY, value, 10), ERROR_SUCCESS);
    DWORD type = 0, needed = 0;
    EXPECT_EQ(GetPrinterDataW(printer, valueName, &type, out, 9, &needed), ERROR_MORE_DATA);
    EXPECT_EQ(needed, 10u);
    EXPECT_EQ(out[0], 0);  // nothing copied into a short buffer
    EXPECT_EQ(GetPrinterDataW(printer, valueName, &type, nullptr, 0, &needed), ERROR_MORE_DATA);
    EXPECT_EQ(EngGetPrinterData(printer, valueName, &type, out, 9, &needed), ERROR_MORE_DATA);
    EXPECT_EQ(GetPrinterDataW(printer, missing, &type, out, 10, &needed), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetPrinterDataW(printer, valueName, &type, out, 10, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SetPrinterDataW(printer, valueName, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);

    HANDLE bogus = reinterpret_cast<HANDLE>(0x4242);
    EXPECT_EQ(GetPrinterDataW(bogus, valueName, &type, out, 10, &needed), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetPrinterDataW(bogus, valueName, REG_BINARY, value, 10), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetPrinterDataW(nullptr, valueName, &type, out, 10, &needed), ERROR_INVALID_HANDLE);
    HANDLE server = nullptr;
    ASSERT_TRUE(OpenPrinterW(nullptr, &server, nullptr));  // the server handle has no printer data
    EXPECT_EQ(GetPrinterDataW(server, valueName, &type, out, 10, &needed), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(ClosePrinter(server));
    EXPECT_FALSE(ClosePrinter(server));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    ASSERT_TRUE(ClosePrinter(printer));
    EXPECT_EQ(GetPrinterDataW(printer, valueName, &type, out, 10, &needed), ERROR_INVALID_HANDLE);
    printer = nullptr;
}

TEST_F(PrinterData, PrinterAdministration)
{
    EXPECT_EQ(platform::AddPrinter(Record("Label One")), ERROR_PRINTER_ALREADY_EXISTS);
    EXPECT_EQ(platform::AddPrinter(Record("")), ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(platform::AddPrinter(Record("a,b")), ERROR_INVALID_PRINTER_NAME);
    ASSERT_EQ(platform::AddPrinter(Record("Label Two")), ERROR_SUCCESS);
    auto all = platform::EnumPrinters();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].name, "Label Two");
    EXPECT_EQ(platform::FindPrinter("Label Two")->uiLibrary, "/opt/lbl/liblblui.so");
    EXPECT_EQ(platform::PrinterNameOf(printer), "Label One");

    HANDLE h = nullptr;
    WCHAR unknown[] = u"Nobody";
    EXPECT_FALSE(OpenPrinterW(unknown, &h, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);

    // Deleting a printer drops its values; a printer added again under the name starts empty.
    BYTE v = 1;
    WCHAR valueName[] = u"PrinterHT";
    ASSERT_EQ(SetPrinterDataW(printer, valueName, REG_BINARY, &v, 1), ERROR_SUCCESS);
    ASSERT_EQ(platform::DeletePrinter("Label One"), ERROR_SUCCESS);
    EXPECT_EQ(platform::DeletePrinter("Label One"), ERROR_INVALID_PRINTER_NAME);
    DWORD needed = 0;
    EXPECT_EQ(GetPrinterDataW(printer, valueName, nullptr, &v, 1, &needed), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetPrinterDataW(printer, valueName, REG_BINARY, &v, 1), ERROR_INVALID_HANDLE);
    ASSERT_EQ(platform::AddPrinter(Record("Label One")), ERROR_SUCCESS);
    EXPECT_EQ(GetPrinterDataW(printer, valueName, nullptr, &v, 1, &needed), ERROR_FILE_NOT_FOUND);
}

TEST_F(PrinterData, EachSpoolDirectoryHasItsOwnStateAndHandles)
{
    BYTE v = 7;
    WCHAR valueName[] = u"PrinterData";
    ASSERT_EQ(SetPrinterDataW(printer, valueName, REG_BINARY, &v, 1), ERROR_SUCCESS);
    std::string first = platform::SpoolDirectory();
    platform::SetSpoolDirectory(dir.path + "/other");
    EXPECT_TRUE(platform::EnumPrinters().empty());
    DWORD needed = 0;
    EXPECT_EQ(GetPrinterDataW(printer, valueName, nullptr, &v, 1, &needed), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(ClosePrinter(printer));  // a stale handle can still be closed
    printer = nullptr;

    platform::SetSpoolDirectory(first);
    ASSERT_TRUE(OpenPrinterW(name.data(), &printer, nullptr));
    v = 0;
    ASSERT_EQ(GetPrinterDataW(printer, valueName, nullptr, &v, 1, &needed), ERROR_SUCCESS);
    EXPECT_EQ(v, 7);
}

}  // namespace
