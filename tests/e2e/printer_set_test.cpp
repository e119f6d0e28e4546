// lblctl printer set: printer properties and spot colours, checked in the stored bytes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "e2e/lblctl_run.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;

class LblctlPrinterSet : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunResult add = Lblctl({"printer", "add", name, "--ppd", TestPpd(model)});
        ASSERT_EQ(add.status, 0) << add.err;
    }
    void TearDown() override { Lblctl({"printer", "remove", name}); }

    RunResult Set(std::vector<std::string> assignments)
    {
        std::vector<std::string> args = {"printer", "set", name};
        args.insert(args.end(), assignments.begin(), assignments.end());
        return Lblctl(args);
    }
    std::vector<BYTE> Value(const char* value) { return PrinterValue(name, value).value_or(std::vector<BYTE>{}); }

    std::string name = "Setter";
    int model = 1;
};

// Spot colours need a colour description: model 0's.
class LblctlPrinterSetColour : public LblctlPrinterSet {
protected:
    void SetUp() override
    {
        name = "Colour Setter";
        model = 0;
        LblctlPrinterSet::SetUp();
    }
};

TEST_F(LblctlPrinterSet, PropertiesAreStoredWithPrinterHT)
{
    RunResult r = Set({"bExpansionRAM=1", "bPassThrough=on", "PP_HALFTONE=1", "PP_METRIC=0"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<BYTE> prop = Value("PrinterData");
    ASSERT_EQ(prop.size(), 36u);
    EXPECT_EQ(Dword(prop, 0), 0x0110u | (36u << 16));
    EXPECT_EQ(Dword(prop, 4), 2u);  // PP_HALFTONE without PP_METRIC
    EXPECT_EQ(Dword(prop, 8), 1u);
    EXPECT_EQ(Dword(prop, 12), 1u);
    EXPECT_EQ(Value("PrinterHT"), (std::vector<BYTE>{1, 0, 0, 0}));

    ASSERT_EQ(Set({"PP_HALFTONE=off", "PP_METRIC=1", "bPassThrough=0"}).status, 0);
    prop = Value("PrinterData");
    EXPECT_EQ(Dword(prop, 4), 1u);
    EXPECT_EQ(Dword(prop, 8), 1u);
    EXPECT_EQ(Dword(prop, 12), 0u);
    EXPECT_EQ(Value("PrinterHT"), (std::vector<BYTE>{0, 0, 0, 0}));
}

TEST_F(LblctlPrinterSetColour, SpotColoursAreStoredAsColorRef)
{
    RunResult r = Set({"spot.black=#FF0000", "spot.cyan=#00ff80", "spot.yellow=#123456"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<BYTE> spots = Value("SpotColor");
    ASSERT_EQ(spots.size(), 32u);
    EXPECT_EQ(Dword(spots, 0), 1u);
    EXPECT_EQ(Dword(spots, 4), 0x000000FFu);  // 0x00BBGGRR
    EXPECT_EQ(Dword(spots, 8), 0u);            // magenta untouched
    EXPECT_EQ(Dword(spots, 16), 1u);
    EXPECT_EQ(Dword(spots, 20), 0x0080FF00u);
    EXPECT_EQ(Dword(spots, 28), 0x00563412u);

    ASSERT_EQ(Set({"spot.black=off"}).status, 0);
    spots = Value("SpotColor");
    EXPECT_EQ(Dword(spots, 0), 0u);
    EXPECT_EQ(Dword(spots, 4), 0x000000FFu);  // the colour is kept
    EXPECT_THAT(Lblctl({"printer", "show", name}).out, HasSubstr("spot.black       off #FF0000"));
    // Turning a spot colour on keeps its colour; turning it on with a colour picks it in the dialog.
    ASSERT_EQ(Set({"spot.magenta=on", "spot.magenta=#0000FF"}).status, 0);
    spots = Value("SpotColor");
    EXPECT_EQ(Dword(spots, 8), 1u);
    EXPECT_EQ(Dword(spots, 12), 0x00FF0000u);
    ASSERT_EQ(Set({"spot.black=on"}).status, 0);
    EXPECT_EQ(Dword(Value("SpotColor"), 0), 1u);
}

TEST_F(LblctlPrinterSetColour, AnyBadAssignmentWritesNothing)
{
    ASSERT_EQ(Set({"spot.magenta=#00FF00"}).status, 0);
    std::vector<BYTE> prop = Value("PrinterData");
    std::vector<BYTE> spots = Value("SpotColor");
    std::vector<BYTE> ht = Value("PrinterHT");
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"bExpansionRAM=1", "bExpansionRAM=2"},
             {"PP_HALFTONE=1", "PP_HALFTONE"},
             {"bPassThrough=1", "dwFlags=3"},
             {"PP_HALFTONE=1", "spot.black=red"},
             {"spot.black=#12345"},
             {"spot.black=#GG0000"},
             {"spot.black=#1234567"},
             {"spot.white=#FFFFFF"},
             {"bPassThrough=1", "bExpansionRAM=1"}}) {  // model 0 has no expansion RAM
        RunResult r = Set(bad);
        EXPECT_EQ(r.status, 1) << bad.back();
        EXPECT_EQ(LineCount(r.err), 1) << r.err;
        EXPECT_THAT(r.err, HasSubstr(bad.back().substr(0, bad.back().find('='))));
    }
    EXPECT_EQ(Value("PrinterData"), prop);
    EXPECT_EQ(Value("SpotColor"), spots);
    EXPECT_EQ(Value("PrinterHT"), ht);
}

TEST_F(LblctlPrinterSet, FieldsTheSheetDoesNotOfferAreRefusedWithWhatItOffers)
{
    const std::vector<BYTE> prop = Value("PrinterData");
    RunResult r = Set({"bPassThrough=1", "spot.black=#FF0000"});  // a monochrome description
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(LineCount(r.err), 1) << r.err;
    EXPECT_THAT(r.err, HasSubstr("spot.black"));
    EXPECT_THAT(r.err, HasSubstr("model 1"));
    EXPECT_THAT(r.err, HasSubstr("bExpansionRAM, bPassThrough"));
    EXPECT_EQ(Value("PrinterData"), prop);
    EXPECT_FALSE(PrinterValue(name, "SpotColor").has_value() && Dword(Value("SpotColor"), 0) != 0);
}

TEST(LblctlFeed, FeedsTheSelectedLabelToTheOutputFile)
{
    const std::string name = "Feeder";
    ASSERT_EQ(Lblctl({"printer", "add", name, "--ppd", TestPpd(1)}).status, 0);
    const std::string out = WriteFile("feed.prn", "");
    RunResult r = Lblctl({"feed", name, "--output", out});
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(out, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    // The standard label: 80.0 x 74.2 mm, pitch 76.2 mm, no adjustments, sensor 0,
    // no cut, batch, model 1's first speed (code 8), ribbon with the saver on.
    auto cmd = [](const std::string& text) { return "\x1b" + text + std::string("\n\0", 2); };
    EXPECT_EQ(bytes, cmd("D0762,0800,0742") + cmd("AX;+000,+000,+00") + cmd("RM;-00-00") + cmd("RN;00") +
                         cmd("T00C81"));

    RunResult unknown = Lblctl({"feed", name, "--label", "Nope"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_THAT(unknown.err, HasSubstr("Standard Label"));
    Lblctl({"printer", "remove", name});
}

TEST(LblctlFeed, ModelZeroHasNoFeed)
{
    const std::string name = "Feeder Zero";
    ASSERT_EQ(Lblctl({"printer", "add", name, "--ppd", TestPpd(0)}).status, 0);
    RunResult r = Lblctl({"feed", name});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(LineCount(r.err), 1) << r.err;
    EXPECT_THAT(r.err, HasSubstr("model 0"));
    Lblctl({"printer", "remove", name});
}

}  // namespace
}  // namespace e2e
