// Truncated, mutated and random streams: the decoder reports a fault or a listing,
// never crashes, never reads outside its input (run under ASan), and every plane it
// hands out is well formed.
#include <gtest/gtest.h>

#include <random>

#include "inspect/inspect.h"
#include "tools/stream_builder.h"

namespace {

using lbltest::Bytes;
using lbltest::Stream;

// A job using every kind of block: set-up, raw rows over bands, both compressed
// formats, a test feed.
Bytes SampleJob()
{
    Stream s;
    s.Nul(30).Cmd("U2;0100").Cmd("D0800,1000,0750").Cmd("AX;+000,+000,+00,-0300");
    s.Cmd("AY;+00,0,0").Cmd("AZ;0,+000,+000").Cmd("RN;00").Cmd("RM;9,+00+000").Cmd("C");
    s.Header("0;0000,0000,0020,0004,").Block('9', {0x02, 0x01, 0x02, 0x30, 0xFE, 0x40});
    s.Header("1;0000,0000,0020,0004,").Text("1,").Raw({1, 2, 3, 4, 5, 6});
    s.Block('9', {0xFE, 0x07, 0xFE, 0x08});
    s.Raw({7, 8, 9, 10, 11, 12}).LfNul();
    s.Cmd("XS;I,0001,0001C8310");
    s.Header("2;0000,0000,0016,0006,").Block('A', {0xFF, 0x11, 0x7F, 0x04, 0x01, 0x22, 0x33});
    s.Cmd("XS;I,0001,0001C8310").Cmd("IB").Cmd("U1;0100").Cmd("T10C81");
    return s.bytes;
}

void CheckWellFormed(const lblinspect::Result& r, std::size_t size)
{
    if (r.error) {
        ASSERT_LE(r.error->offset, size);
        ASSERT_FALSE(r.error->message.empty());
    }
    for (const auto& c : r.commands) ASSERT_LT(c.offset, size);
    for (const auto& page : r.pages) {
        for (const auto& plane : page.planes) {
            ASSERT_EQ(plane.bits.size(), plane.RowBytes() * plane.height);
            const unsigned used = plane.width % 8;
            if (used == 0) continue;
            for (std::uint32_t y = 0; y < plane.height; ++y)
                ASSERT_EQ(plane.bits[(y + 1) * plane.RowBytes() - 1] & (0xFF >> used), 0);
        }
    }
    // The listings of whatever was decoded can always be produced.
    ASSERT_FALSE(lblinspect::JsonListing(r).empty());
    ASSERT_FALSE(lblinspect::TextListing(r).empty() && !r.commands.empty());
}

TEST(InspectRobustness, SampleJobDecodesWhole)
{
    const Bytes job = SampleJob();
    const auto r = lblinspect::decode(job);
    ASSERT_FALSE(r.error) << r.error->offset << ": " << r.error->message;
    ASSERT_EQ(r.pages.size(), 2u);
    // 20 dots: the low four bits of each row's last byte are padding.
    EXPECT_EQ(r.pages[0].planes[0].bits,
              (Bytes{0x01, 0x02, 0x30, 0x40, 0x40, 0x40, 7, 7, 0, 8, 8, 0}));
    EXPECT_EQ(r.pages[0].planes[1].bits, (Bytes{1, 2, 0, 4, 5, 0, 7, 8, 0, 10, 11, 0}));
    EXPECT_EQ(r.pages[1].planes[0].colour, lblinspect::kCyan);
    EXPECT_EQ(r.pages[1].planes[0].bits,
              (Bytes{0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x22, 0x33}));
    CheckWellFormed(r, job.size());
}

TEST(InspectRobustness, EveryTruncationIsReportedWithinTheInput)
{
    const Bytes job = SampleJob();
    for (std::size_t n = 0; n < job.size(); ++n) {
        const Bytes cut(job.begin(), job.begin() + static_cast<std::ptrdiff_t>(n));
        const auto r = lblinspect::decode(cut);
        CheckWellFormed(r, n);
    }
}

TEST(InspectRobustness, MutatedAndRandomStreamsNeverCrash)
{
    const Bytes job = SampleJob();
    std::mt19937 rng(20261208);
    const std::uint8_t alphabet[] = {0x1B, 0x0A, 0x00, ',', ';', '0', '1', '9', 'A', 'S', 'G',
                                     'X', 'D', 'C', 0x7F, 0x80, 0xFF, 0xFE};
    for (int round = 0; round < 3000; ++round) {
        Bytes b = job;
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = rng() % b.size();
            switch (rng() % 3) {
            case 0: b[at] = static_cast<std::uint8_t>(rng()); break;
            case 1: b[at] = alphabet[rng() % sizeof alphabet]; break;
            default: b.erase(b.begin() + static_cast<std::ptrdiff_t>(at)); break;
            }
        }
        CheckWellFormed(lblinspect::decode(b), b.size());
    }
    for (int round = 0; round < 2000; ++round) {
        Bytes b(rng() % 200);
        for (auto& x : b) x = alphabet[rng() % sizeof alphabet];
        CheckWellFormed(lblinspect::decode(b), b.size());
    }
}

}  // namespace
