// Rebuilding planes from raster blocks: both run-length formats, raw rows over several
// bands, and pages of several planes.
#include <gtest/gtest.h>

#include "inspect/inspect.h"
#include "tools/stream_builder.h"

namespace {

using lbltest::Bytes;
using lbltest::Concat;
using lbltest::Repeat;
using lbltest::Stream;

// Decodes a stream that must be well formed and hold one page; returns its planes.
std::vector<lblinspect::Plane> OnePage(const Stream& s)
{
    const auto r = lblinspect::decode(s.bytes);
    EXPECT_FALSE(r.error) << r.error->offset << ": " << r.error->message;
    EXPECT_EQ(r.pages.size(), 1u);
    if (r.pages.empty()) return {};
    EXPECT_TRUE(r.pages[0].complete);
    return r.pages[0].planes;
}

// One plane of `width` x `lines` from one compressed block.
Bytes FromBlock(char marker, std::uint32_t width, std::uint32_t lines, const Bytes& block)
{
    char header[40];
    std::snprintf(header, sizeof header, "0;0000,0000,%04u,%04u,", width, lines);
    Stream s;
    // "9," blocks come from model 0, whose issue command has ribbon digit 2 or 3.
    s.Header(header).Block(marker, block).Cmd(marker == '9' ? "XS;I,0001,0001C8310"
                                                            : "XS;I,0001,0001C8100");
    const auto planes = OnePage(s);
    if (planes.size() != 1) return {};
    EXPECT_EQ(planes[0].width, width);
    EXPECT_EQ(planes[0].height, lines);
    return planes[0].bits;
}

TEST(InspectRaster, RunLengthBlocksOfBothFormats)
{
    const Bytes line = {0x01, 0x02, 0x03, 0x04, 0x04, 0x04, 0x04, 0x04};
    for (const char marker : {'9', 'A'}) {
        EXPECT_EQ(FromBlock(marker, 64, 1, {0x02, 0x01, 0x02, 0x03, 0xFC, 0x04}), line);
        EXPECT_EQ(FromBlock(marker, 64, 1, {0xF9, 0xAA}), Repeat(8, 0xAA));
        EXPECT_EQ(FromBlock(marker, 1600, 1, {0x81, 0x12, 0xB9, 0x12}), Repeat(200, 0x12));
        // A one-byte repeat run and a one-byte literal mean the same.
        EXPECT_EQ(FromBlock(marker, 16, 1, {0x00, 0x01, 0x00, 0x02}), (Bytes{0x01, 0x02}));
        // Lines are decoded one after the other; no run spans two.
        EXPECT_EQ(FromBlock(marker, 32, 2, {0x02, 0x01, 0x02, 0x03, 0x00, 0x04, 0xFD, 0x05}),
                  (Bytes{1, 2, 3, 4, 5, 5, 5, 5}));
    }
}

TEST(InspectRaster, HeaderByte7FIsALiteralInTheFirstFormatAndALineRepeatInTheSecond)
{
    Bytes ramp;
    for (int i = 0; i < 130; ++i) ramp.push_back(static_cast<std::uint8_t>(i));

    Bytes plain = {0x7F};
    plain.insert(plain.end(), ramp.begin(), ramp.begin() + 128);
    plain.insert(plain.end(), {0x00, 0x80, 0x00, 0x81});
    EXPECT_EQ(FromBlock('9', 1040, 1, plain), ramp);

    Bytes repeatFormat = {0x7E};
    repeatFormat.insert(repeatFormat.end(), ramp.begin(), ramp.begin() + 127);
    repeatFormat.insert(repeatFormat.end(), {0x00, 0x7F, 0x00, 0x80, 0x00, 0x81});
    EXPECT_EQ(FromBlock('A', 1040, 1, repeatFormat), ramp);

    const Bytes last = {0x01, 0x02, 0x03, 0x04, 0x04, 0x04, 0x04, 0x04};
    EXPECT_EQ(FromBlock('A', 64, 4, {0xF9, 0xAA, 0x7F, 0x02, 0x02, 0x01, 0x02, 0x03, 0xFC, 0x04}),
              Concat({Repeat(24, 0xAA), last}));

    Bytes lines300;
    for (int i = 0; i < 300; ++i) lines300.insert(lines300.end(), {0x10, 0x10, 0x10, 0x10});
    EXPECT_EQ(FromBlock('A', 32, 300, {0xFD, 0x10, 0x7F, 0xFF, 0xFD, 0x10, 0x7F, 0x2B}), lines300);
}

TEST(InspectRaster, UncompressedMonochromePageOverThreeBands)
{
    // 12 dots wide: rows of 2 bytes, the last 4 bits padding. 5 rows sent as 2 + 2 + 1.
    const Bytes rows = {0x80, 0x10, 0xFF, 0xF0, 0x12, 0x30, 0x45, 0x60, 0x00, 0x10};
    Stream s;
    s.Header(";0000,0000,0012,0005,").Text("1,").Raw(rows).LfNul().Cmd("XS;I,0001,0001C8100");
    const auto planes = OnePage(s);
    ASSERT_EQ(planes.size(), 1u);
    EXPECT_EQ(planes[0].colour, lblinspect::kBlack);
    EXPECT_EQ(planes[0].bits, rows);
}

TEST(InspectRaster, UncompressedColourPageOverSeveralBandsInterleavesPlanes)
{
    // Four planes, 12 x 5 dots, bands of 2 rows: the first band carries a header and
    // "1," per plane, later bands only the rows; each plane's last rows end in LF NUL.
    const std::string header = ";0000,0000,0012,0005,";
    auto rowsOf = [](int plane) {
        Bytes b;
        for (int i = 0; i < 10; ++i)
            b.push_back(static_cast<std::uint8_t>((plane * 0x40 + i * 7) & (i % 2 ? 0xF0 : 0xFF)));
        return b;
    };
    auto part = [&](int plane, int firstRow, int count) {
        const Bytes all = rowsOf(plane);
        return Bytes(all.begin() + firstRow * 2, all.begin() + (firstRow + count) * 2);
    };
    for (const int planeCount : {4, 3}) {
        Stream s;
        for (int p = 0; p < planeCount; ++p) s.Header(header).Text("1,").Raw(part(p, 0, 2));
        for (int p = 0; p < planeCount; ++p) s.Raw(part(p, 2, 2));
        for (int p = 0; p < planeCount; ++p) s.Raw(part(p, 4, 1)).LfNul();
        s.Cmd("XS;I,0001,0001C8100");
        const auto planes = OnePage(s);
        ASSERT_EQ(planes.size(), static_cast<std::size_t>(planeCount));
        for (int p = 0; p < planeCount; ++p) {
            // Three planes are magenta, cyan and yellow: the black plane is not sent.
            EXPECT_EQ(planes[p].colour, p + (planeCount == 3 ? 1 : 0));
            Bytes expected = rowsOf(p);
            for (std::size_t i = 1; i < expected.size(); i += 2) expected[i] &= 0xF0;
            EXPECT_EQ(planes[p].bits, expected) << planeCount << " planes, plane " << p;
        }
    }
}

TEST(InspectRaster, SingleBandColourPageEndsEachRawPlaneWithLfNul)
{
    Stream s;
    s.Header("1;0000,0000,0008,0002,").Text("1,").Raw({0x11, 0x22}).LfNul();
    s.Header("2;0000,0000,0008,0002,").Block('A', {0x00, 0x33, 0x7F, 0x01});
    s.Header("3;0000,0000,0008,0002,").Text("1,").Raw({0x44, 0x55}).LfNul();
    s.Cmd("XS;I,0001,0001C8100");
    const auto planes = OnePage(s);
    ASSERT_EQ(planes.size(), 3u);
    EXPECT_EQ(planes[0].colour, lblinspect::kMagenta);
    EXPECT_EQ(planes[0].bits, (Bytes{0x11, 0x22}));
    EXPECT_EQ(planes[1].colour, lblinspect::kCyan);
    EXPECT_EQ(planes[1].bits, (Bytes{0x33, 0x33}));
    EXPECT_EQ(planes[2].colour, lblinspect::kYellow);
    EXPECT_EQ(planes[2].bits, (Bytes{0x44, 0x55}));
}

TEST(InspectRaster, LaterBandsMayBeCompressedOrRaw)
{
    // Two planes, 16 x 5 dots, bands of 2 rows. Plane 0: compressed, raw, compressed;
    // plane 1: raw, compressed, raw.
    Stream s;
    s.Header("0;0000,0000,0016,0005,").Block('A', {0xFF, 0x01, 0x7F, 0x01});
    s.Header("1;0000,0000,0016,0005,").Text("1,").Raw({0xA0, 0xA1, 0xA2, 0xA3});
    s.Raw({0x02, 0x03, 0x04, 0x05});
    s.Block('A', {0xFF, 0x06, 0x7F, 0x01});
    s.Block('A', {0x01, 0x07, 0x08});
    s.Raw({0xA4, 0xA5}).LfNul();
    s.Cmd("XS;I,0001,0001C8100");
    const auto r = lblinspect::decode(s.bytes);
    ASSERT_FALSE(r.error) << r.error->offset << ": " << r.error->message;
    ASSERT_EQ(r.pages.size(), 1u);
    const auto& planes = r.pages[0].planes;
    ASSERT_EQ(planes.size(), 2u);
    EXPECT_EQ(planes[0].bits, (Bytes{1, 1, 1, 1, 2, 3, 4, 5, 7, 8}));
    EXPECT_EQ(planes[1].bits, (Bytes{0xA0, 0xA1, 0xA2, 0xA3, 6, 6, 6, 6, 0xA4, 0xA5}));
    int blocks = 0;
    for (const auto& c : r.commands) blocks += c.name == "compressed block";
    EXPECT_EQ(blocks, 3);
}

TEST(InspectRaster, PaddingBitsPastTheWidthAreCleared)
{
    // 10 dots: the second byte of each row keeps only its two top bits.
    EXPECT_EQ(FromBlock('9', 10, 2, {0xFF, 0xFF, 0x01, 0x0F, 0xC0}),
              (Bytes{0xFF, 0xC0, 0x0F, 0xC0}));
    Stream s;
    s.Header(";0000,0000,0010,0001,").Text("1,").Raw({0x55, 0x55}).LfNul();
    const auto r = lblinspect::decode(s.bytes);
    ASSERT_EQ(r.pages.size(), 1u);
    EXPECT_EQ(r.pages[0].planes[0].bits, (Bytes{0x55, 0x40}));
    EXPECT_EQ(r.commands.back().fields.back().key, "padding bits set");
}

TEST(InspectRaster, EachIssueEndsAPage)
{
    Stream s;
    s.Nul(50);
    for (std::uint8_t page = 1; page <= 3; ++page) {
        s.Cmd("D0800,1000,0750").Cmd("C");
        s.Header(";0000,0000,0008,0001,").Text("1,").Raw({page}).LfNul();
        s.Cmd("XS;I,0001,0001C8100");
    }
    const auto r = lblinspect::decode(s.bytes);
    ASSERT_FALSE(r.error);
    ASSERT_EQ(r.pages.size(), 3u);
    for (std::uint8_t page = 1; page <= 3; ++page)
        EXPECT_EQ(r.pages[page - 1].planes[0].bits, Bytes{page});
}

TEST(InspectRaster, Model9HeaderHasWiderFields)
{
    Stream s;
    s.Header("0;0000,00000,0008,00003,").Block('A', {0x00, 0x5A, 0x7F, 0x02}).Cmd("XS;I,0001,0001C8100");
    const auto r = lblinspect::decode(s.bytes);
    ASSERT_FALSE(r.error) << r.error->message;
    ASSERT_EQ(r.pages.size(), 1u);
    EXPECT_EQ(r.pages[0].planes[0].height, 3u);
    EXPECT_EQ(r.pages[0].planes[0].bits, (Bytes{0x5A, 0x5A, 0x5A}));
}

}  // namespace
