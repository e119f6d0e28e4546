// Document flow and escapes through the driver's entry points, with the bytes
// the spooler receives.
#include <cstring>
#include <vector>

#include "banding.h"
#include "base/memory.h"
#include "commands.h"
#include "render/driver/driver_fixture.h"

namespace lbltest {
namespace {

using DocFlowTest = DriverTest;

constexpr std::size_t kNulRun = 3000;

std::string IssueCommand(const std::string& sent)
{
    const std::size_t at = sent.find("\x1bXS;I,");
    return at == std::string::npos ? std::string() : sent.substr(at, 11);
}

// PASSTHROUGH input: the 16-bit count, then the bytes.
std::vector<BYTE> PassInput(const std::string& bytes)
{
    std::vector<BYTE> in(2 + bytes.size());
    const WORD n = static_cast<WORD>(bytes.size());
    std::memcpy(in.data(), &n, 2);
    std::memcpy(in.data() + 2, bytes.data(), bytes.size());
    return in;
}

// Bands a whole page with the engine's calls.
bool BandPage(SURFOBJ* pso)
{
    POINTL pt{};
    if (!DrvStartBanding(pso, &pt)) return false;
    while (pt.x != -1 || pt.y != -1) {
        if (!DrvNextBand(pso, &pt)) return false;
    }
    return true;
}

TEST_F(DocFlowTest, WholeDocumentWithCopies)
{
    dwInitPrint = INITPRINT_PENDING;
    SURFOBJ* pso = EnableWithSurface();
    ASSERT_NE(pso, nullptr);
    std::u16string name = u"Labels";
    // No room for the document name: nothing is sent, the start-of-job run stays due.
    platform::FailNthAllocation(1);
    EXPECT_FALSE(DrvStartDoc(pso, name.data(), 7));
    platform::FailNthAllocation(0);
    EXPECT_EQ(dwInitPrint, INITPRINT_PENDING);
    ASSERT_TRUE(DrvStartDoc(pso, name.data(), 7));
    EXPECT_EQ(std::u16string(pdev_->pwszDocName), u"Labels");

    DWORD copies = 5, inForce = 0;
    EXPECT_EQ(DrvEscape(pso, SETCOPYCOUNT, 4, &copies, 4, &inForce), 1u);
    EXPECT_EQ(inForce, 5u);
    ASSERT_TRUE(DrvStartPage(pso));
    ASSERT_TRUE(BandPage(pso));
    ASSERT_TRUE(DrvSendPage(pso));
    ASSERT_TRUE(DrvStartPage(pso));
    ASSERT_TRUE(BandPage(pso));
    ASSERT_TRUE(DrvSendPage(pso));
    EXPECT_EQ(pdev_->cPages, 2u);
    ASSERT_TRUE(DrvEndDoc(pso, 0));
    EXPECT_EQ(pdev_->flPdev & (PDEVF_DOCSTARTED | PDEVF_PAGESTARTED), 0u);

    const std::string sent = Sent();
    ASSERT_GT(sent.size(), kNulRun);
    EXPECT_EQ(sent.substr(0, kNulRun), std::string(kNulRun, '\0'));
    EXPECT_NE(sent[kNulRun], '\0');
    EXPECT_EQ(IssueCommand(sent), "\x1bXS;I,0005,");
    std::size_t issues = 0;
    for (std::size_t at = sent.find("\x1bXS;I,"); at != std::string::npos; at = sent.find("\x1bXS;I,", at + 1))
        ++issues;
    EXPECT_EQ(issues, 2u);

    // The next document of this load sends no NUL run.
    const std::size_t cbFirst = sent.size();
    ASSERT_TRUE(DrvStartDoc(pso, nullptr, 8));
    EXPECT_EQ(pdev_->pwszDocName, nullptr);
    ASSERT_TRUE(DrvStartPage(pso));
    ASSERT_TRUE(BandPage(pso));
    ASSERT_TRUE(DrvEndDoc(pso, 0));
    const std::string second = Sent().substr(cbFirst);
    EXPECT_NE(second[0], '\0');
    EXPECT_EQ(IssueCommand(second), "\x1bXS;I,0005,");
}

TEST_F(DocFlowTest, PageWithoutBandsIsClosedBySendPage)
{
    SURFOBJ* pso = EnableWithSurface();
    ASSERT_NE(pso, nullptr);
    ASSERT_TRUE(DrvStartDoc(pso, nullptr, 1));
    ASSERT_TRUE(DrvStartPage(pso));
    ASSERT_TRUE(DrvStartPage(pso));  // no second set-up
    EXPECT_EQ(pdev_->cPages, 1u);
    const std::size_t cbBefore = sink_->Bytes().size();
    ASSERT_TRUE(DrvSendPage(pso));
    // The page end is flushed at once.
    const std::string sent = Sent();
    EXPECT_GT(sent.size(), cbBefore);
    EXPECT_EQ(IssueCommand(sent), "\x1bXS;I,0001,");
    EXPECT_EQ(pdev_->flPdev & PDEVF_PAGESTARTED, 0u);
    ASSERT_TRUE(DrvEndDoc(pso, 0));
}

TEST_F(DocFlowTest, Escapes)
{
    SURFOBJ* pso = EnableWithSurface();
    ASSERT_NE(pso, nullptr);
    auto query = [&](WORD esc) { return DrvEscape(pso, QUERYESCSUPPORT, 2, &esc, 0, nullptr); };
    EXPECT_EQ(query(SETCOPYCOUNT), 9999u);
    EXPECT_EQ(query(PASSTHROUGH), 1u);
    EXPECT_EQ(query(QUERYESCSUPPORT), 1u);
    EXPECT_EQ(query(4), 0u);
    EXPECT_EQ(DrvEscape(pso, 4, 0, nullptr, 0, nullptr), 0u);

    const std::pair<LONG, LONG> counts[] = {{0, 1}, {5, 5}, {9998, 9998}, {12000, 9999}, {-3, 9999}};
    for (auto [asked, stored] : counts) {
        LONG out = 0;
        EXPECT_EQ(DrvEscape(pso, SETCOPYCOUNT, 4, &asked, 4, &out), 1u);
        EXPECT_EQ(pdev_->cCopies, stored);
        EXPECT_EQ(out, stored);
    }
    EXPECT_EQ(DrvEscape(pso, SETCOPYCOUNT, 0, nullptr, 0, nullptr), static_cast<ULONG>(-1));
    EXPECT_EQ(pdev_->cCopies, 9999);

    // Inputs shorter than what an escape reads are refused, never read past.
    const BYTE one[1] = {SETCOPYCOUNT};
    EXPECT_EQ(DrvEscape(pso, QUERYESCSUPPORT, 1, const_cast<BYTE*>(one), 0, nullptr), 0u);
    LONG three = 3;
    EXPECT_EQ(DrvEscape(pso, SETCOPYCOUNT, 3, &three, 0, nullptr), 0u);
    EXPECT_EQ(pdev_->cCopies, 9999);
    // An output too small for the count is not written.
    WORD small = 0xAAAA;
    EXPECT_EQ(DrvEscape(pso, SETCOPYCOUNT, 4, &three, 2, &small), 1u);
    EXPECT_EQ(small, 0xAAAA);

    ASSERT_TRUE(DrvStartDoc(pso, nullptr, 1));
    const std::size_t cbStart = pdev_->cbSendUsed;
    std::vector<BYTE> in = PassInput("ABCDEFGHIJ");
    EXPECT_EQ(DrvEscape(pso, PASSTHROUGH, static_cast<ULONG>(in.size()) - 1, in.data(), 0, nullptr), 0u);
    EXPECT_EQ(DrvEscape(pso, PASSTHROUGH, 1, in.data(), 0, nullptr), 0u);
    EXPECT_EQ(pdev_->cbSendUsed, cbStart);
    EXPECT_EQ(DrvEscape(pso, PASSTHROUGH, static_cast<ULONG>(in.size()), in.data(), 0, nullptr), 10u);
    EXPECT_EQ(pdev_->cbSendUsed, cbStart + 10);
    std::vector<BYTE> none = PassInput("");
    EXPECT_EQ(DrvEscape(pso, PASSTHROUGH, 2, none.data(), 0, nullptr), 0u);
    ASSERT_TRUE(DrvEndDoc(pso, 0));
}

TEST_F(DocFlowTest, PassThroughModeSendsOnlyTheEscapes)
{
    WritePassThrough(true);
    SURFOBJ* pso = EnableWithSurface();
    ASSERT_NE(pso, nullptr);
    std::vector<BYTE> early = PassInput("early");
    EXPECT_EQ(DrvEscape(pso, PASSTHROUGH, static_cast<ULONG>(early.size()), early.data(), 0, nullptr), 5u);

    ASSERT_TRUE(DrvStartDoc(pso, nullptr, 1));
    std::vector<BYTE> in = PassInput("0123456789");
    EXPECT_EQ(DrvEscape(pso, PASSTHROUGH, static_cast<ULONG>(in.size()), in.data(), 0, nullptr), 10u);
    ASSERT_TRUE(DrvStartPage(pso));
    ASSERT_TRUE(BandPage(pso));
    ASSERT_TRUE(DrvSendPage(pso));
    ASSERT_TRUE(DrvEndDoc(pso, 0));
    EXPECT_EQ(Sent(), "0123456789");
    EXPECT_EQ(DrvEscape(pso, PASSTHROUGH, static_cast<ULONG>(early.size()), early.data(), 0, nullptr), 5u);
    EXPECT_EQ(Sent(), "0123456789");
}

TEST_F(DocFlowTest, FailedSpoolerWriteIsSticky)
{
    sink_ = platform::AttachJobSink(hPrinter_, platform::JobSink::Mode::FailAfter, 100);
    dwInitPrint = INITPRINT_PENDING;
    SURFOBJ* pso = EnableWithSurface();
    ASSERT_NE(pso, nullptr);
    ASSERT_TRUE(DrvStartDoc(pso, nullptr, 1));
    ASSERT_TRUE(DrvStartPage(pso));
    EXPECT_TRUE(DrvSendPage(pso));  // its flush overflows the sink
    EXPECT_TRUE(pdev_->flPdev & PDEVF_ABORT);
    EXPECT_FALSE(DrvStartPage(pso));
    EXPECT_FALSE(DrvSendPage(pso));
    std::vector<BYTE> in = PassInput("xyz");
    EXPECT_EQ(DrvEscape(pso, PASSTHROUGH, static_cast<ULONG>(in.size()), in.data(), 0, nullptr), 3u);
    DWORD copies = 2;
    EXPECT_EQ(DrvEscape(pso, SETCOPYCOUNT, 4, &copies, 0, nullptr), 1u);
    EXPECT_TRUE(DrvStartDoc(pso, nullptr, 2));
    EXPECT_FALSE(DrvEndDoc(pso, 0));
    EXPECT_TRUE(pdev_->flPdev & PDEVF_DOCSTARTED);
    EXPECT_LE(sink_->Bytes().size(), 100u);
}

}  // namespace
}  // namespace lbltest
