// lblctl inspect run as a user would, on a stream that lblctl print made from a
// picture whose plane is known dot for dot: listing, JSON, previews and faults.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "e2e/lblctl_run.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using Json = nlohmann::json;
using Bytes = std::vector<std::uint8_t>;

// Model 1 at 203 dpi: the standard label is 639 x 593 dots. The picture has that size,
// so it is printed one to one: a black square, centred so that it looks the same
// whichever way up the page is fed.
constexpr int kCx = 639, kCy = 593;
constexpr int kLeft = 200, kTop = 200, kRight = 439, kBottom = 393;

bool InSquare(int x, int y) { return x >= kLeft && x < kRight && y >= kTop && y < kBottom; }

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string TestPath(const std::string& name) { return (fs::path(SpoolDir()).parent_path() / name).string(); }

// SHA-256 of the black plane the square should give: rows of (width + 7) / 8 bytes.
std::string ExpectedPlaneSha256()
{
    const std::size_t rowBytes = (kCx + 7) / 8;
    Bytes plane(rowBytes * kCy, 0);
    for (int y = 0; y < kCy; ++y)
        for (int x = 0; x < kCx; ++x)
            if (InSquare(x, y)) plane[y * rowBytes + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(plane.data(), plane.size(), digest, &length, EVP_sha256(), nullptr);
    std::string hex;
    char two[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(two, sizeof(two), "%02x", digest[i]);
        hex += two;
    }
    return hex;
}

struct Rgb {
    std::uint32_t width = 0, height = 0;
    Bytes pixels;  // 3 bytes per pixel
    std::uint32_t At(std::uint32_t x, std::uint32_t y) const
    {
        const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
        return static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
    }
};

// Reads an 8-bit RGB PNG; width 0 when the file is missing or of another kind.
Rgb ReadPng(const std::string& path)
{
    Rgb out;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return Rgb{};
    }
    png_init_io(png, file.get());
    png_read_info(png, info);
    if (png_get_bit_depth(png, info) != 8 || png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB) {
        png_destroy_read_struct(&png, &info, nullptr);
        return out;
    }
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 3);
    std::vector<png_bytep> rows(out.height);
    for (std::uint32_t y = 0; y < out.height; ++y) rows[y] = &out.pixels[static_cast<std::size_t>(y) * out.width * 3];
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return out;
}

struct Line {
    std::size_t offset;
    std::string name;
};

// The command lines of a text listing: "<offset>  <name>: <fields>" or "<offset>  <name>".
std::vector<Line> CommandLines(const std::string& listing)
{
    std::vector<Line> lines;
    const std::regex line("^ *([0-9]+)  ([A-Za-z][A-Za-z -]*?)(:.*)?$");
    std::istringstream in(listing);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (std::regex_match(text, m, line)) lines.push_back({std::stoul(m[1]), m[2]});
    }
    return lines;
}

// One printer and one printed stream for the whole suite.
class InspectCli : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RunResult add = Lblctl({"printer", "add", "Inspect Mono", "--ppd", TestPpd(1)});
        ASSERT_EQ(add.status, 0) << add.err;
        std::string pgm = "P5\n" + std::to_string(kCx) + " " + std::to_string(kCy) + "\n255\n";
        for (int y = 0; y < kCy; ++y)
            for (int x = 0; x < kCx; ++x) pgm += InSquare(x, y) ? '\0' : '\xFF';
        const std::string picture = WriteFile("square.pgm", pgm);
        // This model's sheet offers no compression: the compressed stream comes from
        // a device mode with bCompression (byte 220 + 72 of the 304) set, as an
        // application may hand one over.
        const std::string plain = TestPath("square.devmode"), packed = TestPath("square-packed.devmode");
        RunResult save = Lblctl({"options", "Inspect Mono", "--save", plain});
        ASSERT_EQ(save.status, 0) << save.err;
        Bytes devmode = ReadBytes(plain);
        ASSERT_EQ(devmode.size(), 304u);
        devmode[292] = 1;
        WriteBytes(packed, devmode);
        for (const char* compression : {"0", "1"}) {
            const std::string out = TestPath(std::string("square-") + compression + ".prn");
            RunResult r = Lblctl({"print", "Inspect Mono", picture, "--output", out, "--devmode",
                                  *compression == '1' ? packed : plain});
            ASSERT_EQ(r.status, 0) << r.err;
        }
    }
    static std::string Stream(bool compressed) { return TestPath(compressed ? "square-1.prn" : "square-0.prn"); }

    // The error line: "lblctl: offset N: ..." alone on standard error; N, or -1.
    static long ErrorOffset(const RunResult& r)
    {
        std::smatch m;
        if (LineCount(r.err) != 1 || !std::regex_match(r.err, m, std::regex("lblctl: offset ([0-9]+): [^\n]+\n")))
            return -1;
        return std::stol(m[1]);
    }
};

TEST_F(InspectCli, ListsEveryCommandAtItsOffset)
{
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "raw");
        const Bytes bytes = ReadBytes(Stream(compressed));
        ASSERT_FALSE(bytes.empty());
        RunResult r = Lblctl({"inspect", Stream(compressed)});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");

        const std::vector<Line> lines = CommandLines(r.out);
        ASSERT_GE(lines.size(), 4u) << r.out;
        std::vector<std::string> names;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Line& l = lines[i];
            names.push_back(l.name);
            ASSERT_LT(l.offset, bytes.size()) << l.name;
            if (i > 0) {
                EXPECT_GT(l.offset, lines[i - 1].offset) << l.name;
            }
            // Each offset is where the command starts: ESC for commands, the block
            // marker for compressed data.
            if (l.name == "compressed block") {
                EXPECT_THAT(std::string(1, static_cast<char>(bytes[l.offset])), ::testing::AnyOf("9", "A"));
            } else if (l.name != "raw raster" && l.name != "NUL run") {
                EXPECT_EQ(bytes[l.offset], 0x1B) << l.name << " at " << l.offset;
            }
        }
        EXPECT_THAT(names, ::testing::IsSupersetOf({"label size", "end of page set-up", "graphic header", "issue"}));
        EXPECT_THAT(names, ::testing::Contains(compressed ? "compressed block" : "raw raster"));
        EXPECT_EQ(names.back(), "issue");
        EXPECT_THAT(r.out, HasSubstr("\npage 1, black: 639 x 593 dots, sha256 " + ExpectedPlaneSha256() + "\n"));
    }
}

TEST_F(InspectCli, JsonHoldsTheSameListing)
{
    RunResult text = Lblctl({"inspect", Stream(true)});
    RunResult r = Lblctl({"inspect", Stream(true), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json doc = Json::parse(r.out, nullptr, false);
    ASSERT_TRUE(doc.is_object()) << r.out;
    EXPECT_TRUE(doc["error"].is_null());

    const std::vector<Line> lines = CommandLines(text.out);
    ASSERT_TRUE(doc["commands"].is_array());
    ASSERT_EQ(doc["commands"].size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(doc["commands"][i]["offset"], lines[i].offset);
        EXPECT_EQ(doc["commands"][i]["name"], lines[i].name);
    }
    ASSERT_EQ(doc["pages"].size(), 1u);
    const Json& planes = doc["pages"][0]["planes"];
    ASSERT_EQ(planes.size(), 1u);
    EXPECT_EQ(planes[0]["colour"], "black");
    EXPECT_EQ(planes[0]["width"], kCx);
    EXPECT_EQ(planes[0]["height"], kCy);
    EXPECT_EQ(planes[0]["sha256"], ExpectedPlaneSha256());
}

TEST_F(InspectCli, PreviewDrawsTheDotsInTheirInk)
{
    struct Case {
        std::vector<std::string> spot;
        std::uint32_t ink;
    };
    const Case cases[] = {
        {{}, 0x000000},
        {{"--spot", "black=#FF0000"}, 0xFF0000},
        {{"--spot", "cyan=#00FF00,black=#1a2B3c"}, 0x1A2B3C},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string png = TestPath("preview-" + std::to_string(n++) + ".png");
        std::vector<std::string> args = {"inspect", Stream(true), "--png", png};
        args.insert(args.end(), c.spot.begin(), c.spot.end());
        RunResult r = Lblctl(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_FALSE(fs::exists(TestPath("preview-" + std::to_string(n - 1) + "-2.png")));

        const Rgb picture = ReadPng(png);
        ASSERT_EQ(picture.width, static_cast<std::uint32_t>(kCx)) << png;
        ASSERT_EQ(picture.height, static_cast<std::uint32_t>(kCy));
        int wrong = 0;
        for (int y = 0; y < kCy; ++y)
            for (int x = 0; x < kCx; ++x)
                wrong += picture.At(x, y) != (InSquare(x, y) ? c.ink : 0xFFFFFFu);
        EXPECT_EQ(wrong, 0) << "ink " << std::hex << c.ink;
    }
}

TEST_F(InspectCli, PreviewKeepsModesAndNeverFollowsALink)
{
    const std::string victim = TestPath("victim.txt");
    std::ofstream(victim) << "keep";
    const std::string link = TestPath("linked.png");
    fs::remove(link);
    fs::create_symlink(victim, link);
    RunResult r = Lblctl({"inspect", Stream(true), "--png", link});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("symbolic link"));
    EXPECT_EQ(fs::file_size(victim), 4u);

    const std::string kept = TestPath("kept.png");
    std::ofstream(kept) << "old";
    fs::permissions(kept, fs::perms(0604));
    ASSERT_EQ(Lblctl({"inspect", Stream(true), "--png", kept}).status, 0);
    EXPECT_EQ(fs::status(kept).permissions(), fs::perms(0604));
    EXPECT_GT(fs::file_size(kept), 3u);
}

TEST_F(InspectCli, EachPageHasItsOwnPreview)
{
    const std::string picture = TestPath("square.pgm");
    const std::string stream = TestPath("two-pages.prn");
    RunResult print = Lblctl({"print", "Inspect Mono", picture, picture, "--output", stream});
    ASSERT_EQ(print.status, 0) << print.err;

    const std::string png = TestPath("pages.png");
    RunResult r = Lblctl({"inspect", stream, "--png", png});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("\npage 2, black: 639 x 593 dots, sha256 " + ExpectedPlaneSha256() + "\n"));
    for (const std::string& path : {png, TestPath("pages-2.png")}) {
        const Rgb page = ReadPng(path);
        ASSERT_EQ(page.width, static_cast<std::uint32_t>(kCx)) << path;
        EXPECT_EQ(page.At(kLeft, kTop), 0u);
        EXPECT_EQ(page.At(kLeft - 1, kTop), 0xFFFFFFu);
    }
    EXPECT_FALSE(fs::exists(TestPath("pages-3.png")));
}

TEST_F(InspectCli, TruncatedStreamStopsAtItsOffset)
{
    const Bytes whole = ReadBytes(Stream(true));
    const std::vector<Line> lines = CommandLines(Lblctl({"inspect", Stream(true)}).out);
    // Cut inside a command's text, inside the compressed block, and inside the final LF NUL.
    std::vector<std::pair<std::size_t, std::string>> cuts;
    for (const Line& l : lines) {
        if (l.name == "label size" || l.name == "compressed block" || l.name == "graphic header")
            cuts.push_back({l.offset + 5, l.name});
    }
    cuts.push_back({whole.size() - 1, "last byte"});
    ASSERT_EQ(cuts.size(), 4u);

    for (const auto& [cut, where] : cuts) {
        SCOPED_TRACE(where + ", " + std::to_string(cut) + " bytes");
        const std::string file = TestPath("cut.prn");
        WriteBytes(file, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
        RunResult r = Lblctl({"inspect", file});
        EXPECT_EQ(r.status, 1);
        const long offset = ErrorOffset(r);
        ASSERT_GE(offset, 0) << r.err;
        EXPECT_LE(static_cast<std::size_t>(offset), cut);
        // The listing before the fault is kept: every line lies before the fault.
        for (const Line& l : CommandLines(r.out)) {
            EXPECT_LT(l.offset, static_cast<std::size_t>(offset)) << l.name;
        }
        EXPECT_THAT(r.out, HasSubstr("NUL run"));

        RunResult j = Lblctl({"inspect", file, "--json"});
        EXPECT_EQ(j.status, 1);
        const Json doc = Json::parse(j.out, nullptr, false);
        ASSERT_TRUE(doc.is_object()) << j.out;
        ASSERT_TRUE(doc["error"].is_object());
        EXPECT_EQ(doc["error"]["offset"], offset);
        EXPECT_EQ(ErrorOffset(j), offset);
    }
}

TEST_F(InspectCli, BadArgumentsAreClearErrors)
{
    const std::string png = TestPath("never.png");
    for (const char* spot : {"black=red", "black=#FF00", "black=#FF00000", "grey=#FF0000", "black=#GG0000",
                             "black=#FF0000,", "black", "=#FF0000", ""}) {
        SCOPED_TRACE(spot);
        RunResult r = Lblctl({"inspect", Stream(true), "--png", png, "--spot", spot});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(LineCount(r.err), 1) << r.err;
        EXPECT_THAT(r.err, StartsWith("lblctl: --spot: "));
        EXPECT_FALSE(fs::exists(png));
    }

    RunResult missing = Lblctl({"inspect", TestPath("no-such.prn")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(LineCount(missing.err), 1) << missing.err;
    EXPECT_THAT(missing.err, HasSubstr("no-such.prn"));

    RunResult unwritable = Lblctl({"inspect", Stream(true), "--png", TestPath("no-such-dir/out.png")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(LineCount(unwritable.err), 1) << unwritable.err;
}

}  // namespace
}  // namespace e2e
