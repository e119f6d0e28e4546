// The output channel: buffering, flushing, the document gate and write failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel.h"
#include "render/pdev_fixture.h"

namespace {

using lbltest::DeviceOptions;
using lbltest::TestDevice;
using Mode = platform::JobSink::Mode;

std::vector<BYTE> Pattern(std::size_t n)
{
    std::vector<BYTE> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<BYTE>(i * 7 + 3);
    return v;
}

void OpenDoc(TestDevice& d) { d.pdev()->flPdev |= PDEVF_DOCSTARTED; }

TEST(Channel, FillingTheBufferSendsItWithinTheCall)
{
    TestDevice d;
    OpenDoc(d);
    const std::vector<BYTE> a = Pattern(100);
    const std::vector<BYTE> b = Pattern(SEND_BUFFER_SIZE - 100);
    EXPECT_TRUE(WriteChannel(d.pdev(), a.data(), 100));
    EXPECT_TRUE(d.sink().Writes().empty());
    EXPECT_EQ(d.pdev()->cbSendUsed, 100u);
    EXPECT_EQ(d.pdev()->pSendPos, d.pdev()->abSendBuf + 100);
    EXPECT_TRUE(WriteChannel(d.pdev(), b.data(), static_cast<ULONG>(b.size())));  // exactly the free room
    EXPECT_EQ(d.sink().Writes(), std::vector<DWORD>{SEND_BUFFER_SIZE});
    EXPECT_EQ(d.pdev()->cbSendUsed, 0u);
    EXPECT_EQ(d.pdev()->pSendPos, d.pdev()->abSendBuf);
    std::vector<BYTE> both = a;
    both.insert(both.end(), b.begin(), b.end());
    EXPECT_EQ(d.sink().Bytes(), both);
}

TEST(Channel, LargeWritesGoOutInBufferSlices)
{
    TestDevice d;
    OpenDoc(d);
    const std::vector<BYTE> data = Pattern(10000);
    EXPECT_TRUE(WriteChannel(d.pdev(), data.data(), 10000));
    EXPECT_EQ(d.sink().Writes(), (std::vector<DWORD>{4096, 4096}));
    EXPECT_EQ(d.pdev()->cbSendUsed, 1808u);
    EXPECT_TRUE(FlushChannel(d.pdev()));
    EXPECT_TRUE(FlushChannel(d.pdev()));  // nothing waiting: no spooler call
    EXPECT_EQ(d.sink().Writes(), (std::vector<DWORD>{4096, 4096, 1808}));
    EXPECT_EQ(d.sink().Bytes(), data);
}

TEST(Channel, BytesOutsideADocumentAreDroppedAsWritten)
{
    TestDevice d;
    EXPECT_TRUE(WriteChannel(d.pdev(), "abc", 3));
    EXPECT_TRUE(WriteString(d.pdev(), "%d", 42));
    EXPECT_EQ(d.pdev()->cbSendUsed, 0u);
    OpenDoc(d);
    EXPECT_TRUE(WriteString(d.pdev(), "\x1b" "AY;%c%d%d,%d", '+', 0, 5, 1));
    d.pdev()->flPdev &= ~PDEVF_DOCSTARTED;  // the document ends without a flush
    EXPECT_TRUE(WriteChannel(d.pdev(), "zz", 2));
    OpenDoc(d);
    FlushChannel(d.pdev());
    EXPECT_EQ(d.Sent(), "\x1b" "AY;+05,1");
}

TEST(Channel, WriteStringStopsAtTheFirstNul)
{
    TestDevice d;
    OpenDoc(d);
    WriteString(d.pdev(), "%c%c", 'A', 0);
    WriteString(d.pdev(), "%s", std::string(2000, 'q').c_str());  // cut to 1023 bytes
    FlushChannel(d.pdev());
    EXPECT_EQ(d.Sent(), "A" + std::string(1023, 'q'));
}

TEST(Channel, FailedSpoolerWriteAbortsForGood)
{
    DeviceOptions o;
    o.sinkMode = Mode::FailAfter;
    o.cbSinkLimit = 5000;
    TestDevice d(o);
    OpenDoc(d);
    const std::vector<BYTE> data = Pattern(12000);
    EXPECT_TRUE(WriteChannel(d.pdev(), data.data(), 12000));  // the failure shows on the next call
    EXPECT_TRUE(d.pdev()->flPdev & PDEVF_ABORT);
    EXPECT_EQ(d.sink().Bytes(), std::vector<BYTE>(data.begin(), data.begin() + 5000));
    EXPECT_FALSE(WriteChannel(d.pdev(), "x", 1));
    EXPECT_FALSE(WriteString(d.pdev(), "x"));
    EXPECT_TRUE(FlushChannel(d.pdev()));
    const std::size_t cWrites = d.sink().Writes().size();
    d.pdev()->flPdev &= ~PDEVF_DOCSTARTED;  // the bit is sticky past the document's end
    EXPECT_FALSE(WriteChannel(d.pdev(), "x", 1));
    EXPECT_EQ(d.sink().Writes().size(), cWrites);
    EXPECT_EQ(d.pdev()->cbSendUsed, 0u);
}

TEST(Channel, SpoolerTakingNothingCountsAsFailure)
{
    DeviceOptions o;
    o.sinkMode = Mode::TakeNothing;
    TestDevice d(o);
    OpenDoc(d);
    const std::vector<BYTE> data = Pattern(9000);
    EXPECT_TRUE(WriteChannel(d.pdev(), data.data(), 9000));
    EXPECT_TRUE(d.pdev()->flPdev & PDEVF_ABORT);
    EXPECT_EQ(d.sink().Writes().size(), 1u);  // one try, no endless retry
    EXPECT_FALSE(WriteChannel(d.pdev(), "x", 1));
}

TEST(Channel, InitDropsWaitingBytes)
{
    TestDevice d;
    OpenDoc(d);
    WriteChannel(d.pdev(), "abc", 3);
    InitSendBuffer(d.pdev());
    EXPECT_EQ(d.pdev()->cbSendBuf, SEND_BUFFER_SIZE);
    EXPECT_EQ(d.pdev()->cbSendUsed, 0u);
    FlushChannel(d.pdev());
    EXPECT_TRUE(d.sink().Writes().empty());
}

TEST(JobSink, WritesToAHandleWithoutAJobFail)
{
    DWORD cb = 99;
    BYTE b = 1;
    EngSetLastError(0);
    EXPECT_FALSE(EngWritePrinter(reinterpret_cast<HANDLE>(0x42), &b, 1, &cb));
    EXPECT_EQ(cb, 0u);
    EXPECT_EQ(EngGetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
