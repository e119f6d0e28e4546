// lblctl options, devmode and print: one set of settings gives one stream,
// whether it came from a saved device mode, the printer's defaults or print's
// own command line; devmode decodes what options saved and refuses anything else.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "e2e/lblctl_run.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;
using Json = nlohmann::json;
using Bytes = std::vector<char>;

Bytes Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Spool(const std::string& name) { return SpoolDir() + "/" + name; }

// A 16 x 16 netpbm grey picture with a dark diagonal band.
std::string Picture()
{
    std::string pgm = "P5\n16 16\n255\n";
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) pgm += (x + y) % 5 < 2 ? '\x20' : '\xE0';
    return WriteFile("opts.pgm", pgm);
}

void Ok(const RunResult& r) { ASSERT_EQ(r.status, 0) << r.err; }

TEST(LblctlOptions, OneSettingGivesOneStreamWhereverItCameFrom)
{
    Ok(Lblctl({"printer", "add", "Opts Colour", "--ppd", TestPpd(0)}));
    const std::vector<std::string> settings = {"--color", "3color", "--orientation", "landscape", "--copies", "2",
                                               "--set", "bBottomUp=0", "--set", "iHalftone=2",
                                               "--set", "bBackFeed=0"};
    const std::string picture = Picture(), saved = Spool("opts.devmode");

    std::vector<std::string> save = {"options", "Opts Colour", "--save", saved};
    save.insert(save.end(), settings.begin(), settings.end());
    Ok(Lblctl(save));
    EXPECT_EQ(Read(saved).size(), 304u);

    std::vector<std::string> direct = {"print", "Opts Colour", picture, "--output", Spool("direct.prn")};
    direct.insert(direct.end(), settings.begin(), settings.end());
    Ok(Lblctl(direct));
    Ok(Lblctl({"print", "Opts Colour", picture, "--output", Spool("saved.prn"), "--devmode", saved}));
    Ok(Lblctl({"print", "Opts Colour", picture, "--output", Spool("plain.prn")}));

    std::vector<std::string> defaults = {"options", "Opts Colour", "--defaults"};
    defaults.insert(defaults.end(), settings.begin(), settings.end());
    Ok(Lblctl(defaults));
    Ok(Lblctl({"print", "Opts Colour", picture, "--output", Spool("defaults.prn")}));

    const Bytes stream = Read(Spool("direct.prn"));
    ASSERT_FALSE(stream.empty());
    EXPECT_TRUE(Read(Spool("saved.prn")) == stream);
    EXPECT_TRUE(Read(Spool("defaults.prn")) == stream);
    EXPECT_FALSE(Read(Spool("plain.prn")) == stream);  // the settings do change the stream

    // The sheet opens on the stored defaults.
    const Json items = Json::parse(Lblctl({"options", "Opts Colour", "--json"}).out);
    bool sawColour = false;
    for (const auto& it : items)
        if (it["UserData"] == 4) {
            sawColour = true;
            EXPECT_EQ(it["selection"], 2);
            EXPECT_EQ(it["choices"][2], "3 color");
        }
    EXPECT_TRUE(sawColour);
}

TEST(LblctlOptions, DevmodeDecodesWhatOptionsSaved)
{
    Ok(Lblctl({"printer", "add", "Opts Tag", "--ppd", TestPpd(7)}));
    const std::string saved = Spool("tag.devmode");
    Ok(Lblctl({"options", "Opts Tag", "--save", saved, "--set", "bCompression=1", "--set", "bAutoFeed=1",
               "--orientation", "landscape"}));
    RunResult r = Lblctl({"devmode", saved, "--json"});
    Ok(r);
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["public"]["dmSize"], 220);
    EXPECT_EQ(j["public"]["dmDriverExtra"], 84);
    EXPECT_EQ(j["public"]["dmOrientation"], 2);
    EXPECT_EQ(j["public"]["dmFormName"], "Opts Tag Standard Label");
    EXPECT_EQ(j["private"]["dwSignature"], 0x30343138);
    EXPECT_EQ(j["private"]["dwModel"], 7);
    EXPECT_EQ(j["private"]["bCompression"], 1);
    EXPECT_EQ(j["private"]["bAutoFeed"], 1);
    EXPECT_EQ(j["private"]["coloradj"]["caSize"], 24);
    RunResult text = Lblctl({"devmode", saved});
    EXPECT_THAT(text.out, HasSubstr("  bCompression: 1\n"));
}

TEST(LblctlOptions, DamagedDeviceModesAreRefusedClearly)
{
    Ok(Lblctl({"printer", "add", "Opts Damaged", "--ppd", TestPpd(1)}));
    const std::string good = Spool("good.devmode");
    Ok(Lblctl({"options", "Opts Damaged", "--save", good}));
    const Bytes bytes = Read(good);
    ASSERT_EQ(bytes.size(), 304u);
    auto write = [](const std::string& name, Bytes b) {
        return WriteFile(name, std::string(b.begin(), b.end()));
    };
    Bytes longer = bytes;
    longer.push_back(0);
    Bytes sizes = bytes;
    sizes[68] = 10;  // dmSize low byte
    Bytes version = bytes;
    version[64] = 0;  // dmSpecVersion low byte
    Bytes signature = bytes;
    signature[220] = 'X';
    const std::vector<std::pair<std::string, std::string>> cases = {
        {write("short.devmode", Bytes(bytes.begin(), bytes.begin() + 100)), "100 bytes"},
        {write("long.devmode", longer), "longer than"},
        {write("sizes.devmode", sizes), "size fields"},
        {write("version.devmode", version), "version"},
        {write("signature.devmode", signature), "signature"},
    };
    for (const auto& [path, why] : cases) {
        RunResult r = Lblctl({"devmode", path});
        EXPECT_EQ(r.status, 1) << path;
        EXPECT_THAT(r.err, HasSubstr("not a device mode of this driver")) << path;
        EXPECT_THAT(r.err, HasSubstr(why)) << path;
        EXPECT_EQ(LineCount(r.err), 1) << path;
    }
    // A file shorter than its size fields say is refused before the driver sees it.
    RunResult r = Lblctl({"print", "Opts Damaged", Picture(), "--output", Spool("x.prn"), "--devmode",
                          write("cut.devmode", Bytes(bytes.begin(), bytes.begin() + 250))});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("shorter than its device mode says"));
}

TEST(LblctlOptions, ChoicesTheSheetDoesNotOfferAreRefusedWithWhatItOffers)
{
    Ok(Lblctl({"printer", "add", "Opts M0", "--ppd", TestPpd(0)}));
    Ok(Lblctl({"printer", "add", "Opts M10", "--ppd", TestPpd(10)}));
    Ok(Lblctl({"printer", "add", "Opts Mono", "--ppd", TestPpd(1)}));
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"options", "Opts M0", "--set", "bMirror=1"}, "Tag Rotation, Ribbon Saver, Back Feed, Halftone"},
        {{"options", "Opts M10", "--halftone", "diffusion"}, "offers Dither1, Dither2"},
        {{"options", "Opts Mono", "--color", "4color"}, "monochrome"},
        {{"options", "Opts Mono", "--label", "Nope"}, "\"Opts Mono Standard Label\""},
        {{"options", "Opts Mono", "--resolution", "600"}, "offers 203 dpi"},
        {{"options", "Opts Mono", "--copies", "10000"}, "1 to 9999"},
        {{"print", "Opts M10", Picture(), "--set", "iHalftone=2"}, "offers Dither1, Dither2"},
    };
    for (const Case& c : cases) {
        RunResult r = Lblctl(c.args);
        EXPECT_EQ(r.status, 1) << c.args[1];
        EXPECT_THAT(r.err, HasSubstr(c.says));
        EXPECT_EQ(LineCount(r.err), 1);
    }
}

TEST(LblctlOptions, TheTestFeedUsesThePrintingDefaults)
{
    Ok(Lblctl({"printer", "add", "Opts Feed", "--ppd", TestPpd(1)}));
    Ok(Lblctl({"options", "Opts Feed", "--defaults", "--set", "bRibbonSaver=0"}));
    Ok(Lblctl({"feed", "Opts Feed", "--output", Spool("feed.prn")}));
    RunResult r = Lblctl({"inspect", Spool("feed.prn")});
    Ok(r);
    EXPECT_THAT(r.out, HasSubstr("ribbon saver off"));
}

TEST(LblctlOptions, ListingShowsTheSheetInItsOrderAndWords)
{
    Ok(Lblctl({"printer", "add", "Opts List", "--ppd", TestPpd(10)}));
    RunResult r = Lblctl({"options", "Opts List"});
    Ok(r);
    EXPECT_EQ(r.out,
              "Orientation: *Portrait, Landscape\n"
              "Copies: 1 (1 to 9999)\n"
              "Form Name: *Opts List Standard Label\n"
              "Feed: (push button)\n"
              "Resolution: *203\n"
              "Tag Rotation: *Bottom Up, Top Down\n"
              "Auto Feed: *Without, With\n"
              "Halftone: *Dither1, Dither2\n"
              "Help: (push button)\n");
}

}  // namespace
}  // namespace e2e
