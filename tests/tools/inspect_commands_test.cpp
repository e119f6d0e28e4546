// The command listing: offsets, names and fields of every command of the language.
#include <gtest/gtest.h>

#include "inspect/inspect.h"
#include "tools/stream_builder.h"

namespace {

using lbltest::Stream;

std::string FieldOf(const lblinspect::Command& c, const std::string& key)
{
    for (const auto& f : c.fields)
        if (f.key == key) return f.value;
    return "<missing " + key + ">";
}

// The single command of a one-command stream.
lblinspect::Command One(std::string_view text)
{
    Stream s;
    s.Cmd(text);
    const auto r = lblinspect::decode(s.bytes);
    EXPECT_FALSE(r.error) << text << ": " << (r.error ? r.error->message : "");
    EXPECT_EQ(r.commands.size(), 1u) << text;
    return r.commands.empty() ? lblinspect::Command{} : r.commands[0];
}

TEST(InspectCommands, FirstDocumentOfModel1ListsEachCommandAtItsOffset)
{
    Stream s;
    s.Nul(3000)
        .Cmd("D0800,1000,0750")
        .Cmd("AX;+000,+000,+00")
        .Cmd("AY;+00,0")
        .Cmd("RM;-00-00")
        .Cmd("RN;00")
        .Cmd("C")
        .Header(";0000,0000,0016,0002,")
        .Text("1,")
        .Raw({0xF0, 0x0F, 0x81, 0x18})
        .LfNul()
        .Cmd("XS;I,0001,0001C8100");
    const auto r = lblinspect::decode(s.bytes);
    ASSERT_FALSE(r.error) << r.error->message;

    const std::vector<std::pair<std::size_t, std::string>> expected = {
        {0, "NUL run"},           {3000, "label size"},         {3018, "position adjustment"},
        {3037, "density"},        {3048, "ribbon motor"},       {3060, "ribbon type"},
        {3068, "end of page set-up"}, {3072, "graphic header"}, {3096, "raw raster"},
        {3104, "issue"}};
    ASSERT_EQ(r.commands.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(r.commands[i].offset, expected[i].first) << i;
        EXPECT_EQ(r.commands[i].name, expected[i].second) << i;
    }
    EXPECT_EQ(FieldOf(r.commands[0], "count"), "3000 bytes");
    EXPECT_EQ(FieldOf(r.commands[1], "lPitch"), "80.0 mm");
    EXPECT_EQ(FieldOf(r.commands[1], "width"), "100.0 mm");
    EXPECT_EQ(FieldOf(r.commands[1], "height"), "75.0 mm");
    EXPECT_EQ(FieldOf(r.commands[3], "dwRibbonSel1"), "0 (with ribbon)");
    EXPECT_EQ(FieldOf(r.commands[7], "width"), "16 dots");
    EXPECT_EQ(FieldOf(r.commands[7], "height"), "2 dots");

    const auto& issue = r.commands[9];
    EXPECT_EQ(FieldOf(issue, "cCopies"), "1");
    EXPECT_EQ(FieldOf(issue, "cut"), "0");
    EXPECT_EQ(FieldOf(issue, "iSensor"), "1");
    EXPECT_EQ(FieldOf(issue, "iIssueMode"), "batch");
    EXPECT_EQ(FieldOf(issue, "speed code"), "8");
    EXPECT_EQ(FieldOf(issue, "ribbon"), "saver on");
    EXPECT_EQ(FieldOf(issue, "orientation"), "bottom up");
    EXPECT_EQ(FieldOf(issue, "bMirror"), "off");
    EXPECT_EQ(std::string(issue.raw.begin(), issue.raw.end()),
              std::string("\x1bXS;I,0001,0001C8100\n\0", 22));

    ASSERT_EQ(r.pages.size(), 1u);
    ASSERT_EQ(r.pages[0].planes.size(), 1u);
    EXPECT_EQ(r.pages[0].planes[0].bits, (lbltest::Bytes{0xF0, 0x0F, 0x81, 0x18}));
}

TEST(InspectCommands, SignedAndWideFieldsKeepTheirSignsAndDigits)
{
    auto c = One("AX;+130,+000,-05");
    EXPECT_EQ(FieldOf(c, "lFeedAdj"), "+13.0 mm");
    EXPECT_EQ(FieldOf(c, "lCutPosAdj"), "+0.0 mm");
    EXPECT_EQ(FieldOf(c, "lBackFeedAdj"), "-0.5 mm");
    EXPECT_EQ(c.fields.size(), 3u);

    c = One("AX;+000,+000,+00,-0300");
    EXPECT_EQ(FieldOf(c, "lStopPosAdj"), "-30.0 mm");

    c = One("D12345,1000,00750");
    EXPECT_EQ(FieldOf(c, "lPitch"), "1234.5 mm");
    EXPECT_EQ(FieldOf(c, "height"), "75.0 mm");
    EXPECT_EQ(FieldOf(c, "form"), "model 9");

    c = One("U2;0167");
    EXPECT_EQ(c.name, "auto feed on");
    EXPECT_EQ(FieldOf(c, "lAutoFeed"), "16.7 mm");
    EXPECT_EQ(One("U1;0167").name, "auto feed off");
    EXPECT_EQ(One("IB").name, "end of cut-every-time job");
}

TEST(InspectCommands, Model0PerPlaneCommandsAndIssueLetters)
{
    Stream s;
    s.Cmd("AY;-03,0,1")
        .Cmd("AZ;2,+125,-010")
        .Cmd("RN;01")
        .Cmd("RM;9,-05+031")
        .Cmd("RM;4")
        .Cmd("XS;I,0005,0031C5310");
    const auto r = lblinspect::decode(s.bytes);
    ASSERT_FALSE(r.error) << r.error->message;
    ASSERT_EQ(r.commands.size(), 6u);
    EXPECT_EQ(FieldOf(r.commands[0], "alDensAdj"), "-3");
    EXPECT_EQ(FieldOf(r.commands[0], "plane"), "1 (magenta)");
    EXPECT_EQ(FieldOf(r.commands[1], "plane"), "2 (cyan)");
    EXPECT_EQ(FieldOf(r.commands[1], "x"), "+1.25 mm");
    EXPECT_EQ(FieldOf(r.commands[1], "y"), "-0.10 mm");
    EXPECT_EQ(FieldOf(r.commands[2], "ribbon type"), "1");
    EXPECT_EQ(FieldOf(r.commands[3], "lRewindAdj"), "-5");
    EXPECT_EQ(FieldOf(r.commands[3], "lBackTensionAdj"), "+3");
    EXPECT_EQ(FieldOf(r.commands[3], "plane"), "1 (magenta)");
    EXPECT_EQ(r.commands[4].name, "ribbon motor preset");
    EXPECT_EQ(FieldOf(r.commands[4], "ribbon type"), "1");
    EXPECT_EQ(FieldOf(r.commands[4], "ribbon width"), "68 mm");
    // On model 0 "C" is back feed, the ribbon digit 3 the ribbon saver, 1 top down.
    const auto& issue = r.commands[5];
    EXPECT_EQ(FieldOf(issue, "cCopies"), "5");
    EXPECT_EQ(FieldOf(issue, "cut"), "3");
    EXPECT_EQ(FieldOf(issue, "bBackFeed"), "on");
    EXPECT_EQ(FieldOf(issue, "speed code"), "5");
    EXPECT_EQ(FieldOf(issue, "bRibbonSaver"), "on");
    EXPECT_EQ(FieldOf(issue, "orientation"), "top down");

    const auto e = One("XS;I,0001,0001E4200");
    EXPECT_EQ(FieldOf(e, "bBackFeed"), "off");
    EXPECT_EQ(FieldOf(e, "bRibbonSaver"), "off");
}

TEST(InspectCommands, IssueOfLaterModelsCarriesStripRibbonAndMirror)
{
    auto c = One("XS;I,0002,0012D12230");
    EXPECT_EQ(FieldOf(c, "cCopies"), "2");
    EXPECT_EQ(FieldOf(c, "cut"), "1");
    EXPECT_EQ(FieldOf(c, "iSensor"), "2");
    EXPECT_EQ(FieldOf(c, "iIssueMode"), "strip");
    EXPECT_EQ(FieldOf(c, "speed code"), "12");
    EXPECT_EQ(FieldOf(c, "ribbon"), "saver off");
    EXPECT_EQ(FieldOf(c, "orientation"), "top down");
    EXPECT_EQ(FieldOf(c, "bMirror"), "on");

    c = One("XS;I,0001,0001C8010");
    EXPECT_EQ(FieldOf(c, "ribbon"), "none");
    EXPECT_EQ(FieldOf(c, "orientation"), "top down");
    EXPECT_EQ(FieldOf(c, "bMirror"), "off");
}

TEST(InspectCommands, TestFeedJob)
{
    Stream s;
    s.Cmd("D0800,1000,0750")
        .Cmd("AX;+000,+000,+00")
        .Cmd("RM;-00-00")
        .Cmd("RN;00")
        .Cmd("T11D81")
        .Cmd("U1;0167");
    const auto r = lblinspect::decode(s.bytes);
    ASSERT_FALSE(r.error) << r.error->message;
    ASSERT_EQ(r.commands.size(), 6u);
    const auto& feed = r.commands[4];
    EXPECT_EQ(feed.name, "feed");
    EXPECT_EQ(feed.offset, 18u + 19 + 12 + 8);
    EXPECT_EQ(FieldOf(feed, "iSensor"), "1");
    EXPECT_EQ(FieldOf(feed, "cut"), "on");
    EXPECT_EQ(FieldOf(feed, "iIssueMode"), "strip");
    EXPECT_EQ(FieldOf(feed, "speed code"), "8");
    EXPECT_EQ(FieldOf(feed, "ribbon"), "saver on");

    const auto plain = One("T10C80");
    EXPECT_EQ(FieldOf(plain, "cut"), "off");
    EXPECT_EQ(FieldOf(plain, "iIssueMode"), "batch");
    EXPECT_EQ(FieldOf(plain, "ribbon"), "none");
}

}  // namespace
