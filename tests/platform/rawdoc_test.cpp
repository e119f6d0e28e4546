// Raw documents: bytes reach the output whole and only when the document ends
// well; a failed write, a failed delivery or a closed handle leave no output and
// no spool file behind.
#include <fstream>
#include <iterator>

#include "spool_fixture.h"
#include "spooler/job.h"

namespace {

namespace fs = std::filesystem;

class RawDocTest : public SpoolTest {
protected:
    DWORD Start(const std::string& output, const char16_t* type = u"RAW")
    {
        outName = platform::Widen(output);
        typeName = type ? std::u16string(type) : std::u16string();
        DOC_INFO_1W info{docName.data(), outName.data(), type ? typeName.data() : nullptr};
        return StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    }
    BOOL Write(const std::string& text)
    {
        DWORD written = 0;
        std::string copy = text;
        return WritePrinter(printer, copy.data(), static_cast<DWORD>(copy.size()), &written);
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool NoSpoolFiles() const
    {
        for (const auto& e : fs::directory_iterator(dir.path + "/spool"))
            if (e.path().filename().string().rfind("job-", 0) == 0) return false;
        return true;
    }

    std::u16string docName = u"Test Feed", outName, typeName;
};

TEST_F(RawDocTest, BytesReachTheOutputFileWholeAtTheEnd)
{
    const std::string out = dir.path + "/feed.prn";
    platform::ClearLastRawDocument();
    ASSERT_NE(Start(out), 0u);
    ASSERT_TRUE(Write(std::string("\x1b" "D0800\n\0", 8)));
    ASSERT_TRUE(Write("second"));
    EXPECT_FALSE(fs::exists(out));  // nothing before the end
    ASSERT_TRUE(EndDocPrinter(printer));
    EXPECT_EQ(Read(out), std::string("\x1b" "D0800\n\0second", 14));
    EXPECT_TRUE(NoSpoolFiles());
    auto last = platform::LastRawDocument();
    ASSERT_TRUE(last);
    EXPECT_TRUE(last->delivered);
    EXPECT_EQ(last->cbData, 14u);
    EXPECT_EQ(last->output, out);
    EXPECT_EQ(last->docName, "Test Feed");
}

TEST_F(RawDocTest, AnEmptyOutputFileMeansThePrintersPort)
{
    // The fixture's printer has the port /tmp/out.prn; point it into the test directory.
    platform::CloseSpoolDatabase();
    ClosePrinter(printer);
    ASSERT_EQ(platform::DeletePrinter("Label One"), ERROR_SUCCESS);
    auto record = Record("Label One");
    record.port = dir.path + "/port.prn";
    ASSERT_EQ(platform::AddPrinter(record), ERROR_SUCCESS);
    ASSERT_TRUE(OpenPrinterW(name.data(), &printer, nullptr));
    ASSERT_NE(Start(""), 0u);
    ASSERT_TRUE(Write("abc"));
    ASSERT_TRUE(EndDocPrinter(printer));
    EXPECT_EQ(Read(record.port), "abc");
}

TEST_F(RawDocTest, RefusedStartsAndCallsWithoutADocument)
{
    EXPECT_EQ(Start(dir.path + "/x.prn", u"EMF"), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATATYPE);
    EXPECT_EQ(StartDocPrinterW(printer, 2, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
    EXPECT_EQ(StartDocPrinterW(printer, 1, nullptr), 0u);
    EXPECT_FALSE(Write("x"));
    EXPECT_EQ(GetLastError(), ERROR_SPL_NO_STARTDOC);
    EXPECT_FALSE(EndDocPrinter(printer));
    EXPECT_EQ(GetLastError(), ERROR_SPL_NO_STARTDOC);

    HANDLE server = nullptr;
    ASSERT_TRUE(OpenPrinterW(nullptr, &server, nullptr));
    DOC_INFO_1W info{docName.data(), nullptr, nullptr};
    EXPECT_EQ(StartDocPrinterW(server, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    ClosePrinter(server);

    ASSERT_NE(Start(dir.path + "/x.prn", nullptr), 0u);  // no data type is RAW
    EXPECT_EQ(Start(dir.path + "/x.prn"), 0u);           // one document at a time
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_STATE);
    EXPECT_TRUE(EndDocPrinter(printer));
}

TEST_F(RawDocTest, AFailedWriteDeliversNothing)
{
    const std::string out = dir.path + "/failed.prn";
    auto sink = platform::AttachJobSink(printer, platform::JobSink::Mode::FailAfter, 5);
    ASSERT_NE(Start(out), 0u);
    ASSERT_TRUE(Write("abc"));
    EXPECT_FALSE(Write("defg"));
    EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
    EXPECT_FALSE(EndDocPrinter(printer));
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(NoSpoolFiles());
    ASSERT_TRUE(platform::LastRawDocument());
    EXPECT_FALSE(platform::LastRawDocument()->delivered);
    platform::DetachJobSink(printer);
}

TEST_F(RawDocTest, AnAttachedSinkSeesTheBytesAndTheOutputGetsThem)
{
    const std::string out = dir.path + "/tapped.prn";
    auto sink = platform::AttachJobSink(printer);
    ASSERT_TRUE(Write("x") == FALSE);  // no document yet
    ASSERT_NE(Start(out), 0u);
    ASSERT_TRUE(Write("abc"));
    ASSERT_TRUE(EndDocPrinter(printer));
    EXPECT_EQ(sink->Writes(), (std::vector<DWORD>{3}));
    EXPECT_EQ(Read(out), "abc");
    platform::DetachJobSink(printer);
}

TEST_F(RawDocTest, FailedDeliveryAndClosingMidDocumentLeaveNothing)
{
    ASSERT_NE(Start(dir.path + "/no/such/dir/out.prn"), 0u);
    ASSERT_TRUE(Write("abc"));
    EXPECT_FALSE(EndDocPrinter(printer));
    EXPECT_FALSE(platform::LastRawDocument()->why.empty());
    EXPECT_TRUE(NoSpoolFiles());

    const std::string out = dir.path + "/closed.prn";
    ASSERT_NE(Start(out), 0u);
    ASSERT_TRUE(Write("abc"));
    ASSERT_TRUE(ClosePrinter(printer));
    printer = nullptr;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(NoSpoolFiles());
}

}  // namespace
