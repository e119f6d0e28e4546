// Malformed streams: each fault is reported at its byte offset, and the listing keeps
// the commands before it.
#include <gtest/gtest.h>

#include "inspect/inspect.h"
#include "tools/stream_builder.h"

namespace {

using lbltest::Bytes;
using lbltest::Stream;

struct Expected {
    std::size_t offset;
    std::string words;  // part of the message
};

void ExpectError(const Stream& s, const Expected& e)
{
    const auto r = lblinspect::decode(s.bytes);
    ASSERT_TRUE(r.error) << "no error; expected \"" << e.words << "\"";
    EXPECT_EQ(r.error->offset, e.offset) << r.error->message;
    EXPECT_NE(r.error->message.find(e.words), std::string::npos) << r.error->message;
}

TEST(InspectErrors, UnterminatedCommands)
{
    Stream s;
    s.Cmd("C").Text("\x1b" "D0800,1000,0750");
    ExpectError(s, {4, "unterminated command"});

    // Another command starts before the LF NUL of the first.
    Stream t;
    t.Cmd("C").Text("\x1b" "IB").Cmd("C");
    ExpectError(t, {4, "unterminated command"});

    Stream u;
    u.Text("\x1b" "C\n");
    ExpectError(u, {0, "LF without NUL"});

    Stream v;
    v.Text("\x1bSG0;0000,0000,00");
    ExpectError(v, {0, "unterminated graphic header"});
}

TEST(InspectErrors, UnknownCommandsAndFieldsOutsideTheirTemplates)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Q1", "unknown command \\eQ1"},
        {"D-080,1000,0750", "malformed command"},  // a negative pitch in a digit field
        {"D0800,1000,075", "malformed command"},
        {"AX;+000,+000", "malformed command"},
        {"AY;+00,0,7", "plane 7"},
        {"RM;5", "preset 5"},
        {"XS;I,0001,0001C8500", "ribbon digit 5"},
        {"XS;I,0001,0001D8140", "orientation digit 4"},
        {"XS;I,0001,0001X8100", "malformed command"},
        {"T12C81", "cut flag 2"},
    };
    for (const auto& [text, words] : cases) {
        Stream s;
        s.Cmd("C").Cmd(text);
        SCOPED_TRACE(text);
        ExpectError(s, {4, words});
    }
    Stream s;
    s.Cmd("C").Raw({0x41, 0x42});
    ExpectError(s, {4, "unexpected byte 0x41"});
}

TEST(InspectErrors, BlockLengthPastTheEndOfTheStream)
{
    Stream s;
    s.Cmd("C").Header("0;0000,0000,0016,0002,");
    const std::size_t block = s.size();
    s.Raw({'A', ',', 0x00, 0x00, 0x01, 0x00, ',', 0xFF, 0x00});
    ExpectError(s, {block, "block length 256 runs past the end of the stream"});

    // Raw rows that the header's size needs but the stream does not hold.
    Stream t;
    t.Header(";0000,0000,0016,0004,");
    const std::size_t rows = t.size();
    t.Text("1,").Raw({1, 2, 3, 4, 5});
    ExpectError(t, {rows, "raw raster of 8 bytes runs past the end"});
}

TEST(InspectErrors, RunPastTheEndOfItsLine)
{
    // 16 dots: lines of 2 bytes. A literal of 3 bytes, then a repeat of 3.
    for (const Bytes& data : {Bytes{0x02, 0x01, 0x02, 0x03}, Bytes{0x00, 0x01, 0xFE, 0x07}}) {
        Stream s;
        s.Header("0;0000,0000,0016,0002,");
        const std::size_t dataAt = s.size() + 7;
        s.Block('9', data);
        ExpectError(s, {dataAt + (data[0] == 0 ? 2 : 0), "past the end of its line"});
    }
    // A literal that runs past the block's own end.
    Stream s;
    s.Header("0;0000,0000,0032,0001,");
    const std::size_t dataAt = s.size() + 7;
    s.Block('9', {0x03, 0x01, 0x02});
    ExpectError(s, {dataAt, "past the end of the block"});
}

TEST(InspectErrors, LineRepeatMarkerBeforeAnyLineOrInsideOne)
{
    Stream s;
    s.Header("0;0000,0000,0016,0003,");
    const std::size_t dataAt = s.size() + 7;
    s.Block('A', {0x7F, 0x02, 0xFF, 0x00});
    ExpectError(s, {dataAt, "line-repeat marker before any line"});

    Stream t;
    t.Header("0;0000,0000,0016,0003,");
    const std::size_t tAt = t.size() + 7;
    t.Block('A', {0x00, 0x01, 0x7F, 0x02});
    ExpectError(t, {tAt + 2, "line-repeat marker inside a line"});

    // More repeated lines than the header's height.
    Stream u;
    u.Header("0;0000,0000,0016,0003,");
    const std::size_t uAt = u.size() + 7;
    u.Block('A', {0xFF, 0x00, 0x7F, 0x03});
    ExpectError(u, {uAt + 2, "past the plane's height"});
}

TEST(InspectErrors, RasterWithoutAGraphicHeader)
{
    for (const std::string marker : {"A,", "9,", "1,"}) {
        Stream s;
        s.Cmd("D0800,1000,0750").Cmd("C").Text(marker).Raw({0, 0, 0, 2, ',', 0xFE, 0x00});
        const auto r = lblinspect::decode(s.bytes);
        ASSERT_TRUE(r.error);
        EXPECT_EQ(r.error->offset, 22u);
        EXPECT_EQ(r.error->message, "raster data for a plane with no graphic header");
        // The listing holds the commands before the fault.
        ASSERT_EQ(r.commands.size(), 2u);
        EXPECT_EQ(r.commands[1].name, "end of page set-up");
    }
}

TEST(InspectErrors, PagesThatEndTooEarly)
{
    // The first band covered 1 of 2 lines; the issue command comes where band 2 belongs.
    Stream s;
    s.Header("0;0000,0000,0016,0002,").Block('A', {0xFF, 0x00});
    const std::size_t issue = s.size();
    s.Cmd("XS;I,0001,0001C8100");
    ExpectError(s, {issue, "page ends before plane 0 (black) is complete (1 of 2 lines)"});

    Stream t;
    t.Header("0;0000,0000,0016,0002,").Block('A', {0xFF, 0x00});
    ExpectError(t, {t.size(), "the stream ends inside a page"});
    const auto r = lblinspect::decode(t.bytes);
    ASSERT_EQ(r.pages.size(), 1u);
    EXPECT_FALSE(r.pages[0].complete);
    EXPECT_EQ(r.pages[0].planes[0].height, 1u);

    Stream u;
    u.Header("0;0000,0000,0016,0002,").Raw({'A', ',', 0, 0, 0, 4, ',', 0xFF, 0x00, 0xFF, 0x00});
    u.Raw({0x0A, 0x0A});
    ExpectError(u, {u.size() - 2, "compressed block not followed by LF NUL"});
}

TEST(InspectErrors, BlockFramingFaults)
{
    // A compressed block needs the plane number in its header.
    Stream s;
    s.Header(";0000,0000,0016,0001,");
    ExpectError(Stream(s).Block('A', {0xFF, 0x00}), {s.size(), "without a plane number"});

    Stream t;
    t.Header("0;0000,0000,0016,0001,");
    const std::size_t dataAt = t.size() + 7;
    t.Block('9', {0x80, 0x00});
    ExpectError(t, {dataAt, "run header 0x80"});

    Stream u;
    u.Header("0;0000,0000,0016,0001,").Text("B,");
    ExpectError(u, {u.size() - 2, "not followed by a data block"});

    Stream v;
    v.Header("5;0000,0000,0016,0001,");
    ExpectError(v, {0, "plane 5"});

    Stream w;
    w.Header("0;0000,0000,0000,0001,");
    ExpectError(w, {0, "empty page"});
}

}  // namespace
