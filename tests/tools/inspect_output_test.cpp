// What the inspector hands out: the text and JSON listings, plane hashes and the PNG
// previews (read back with libpng).
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "inspect/inspect.h"
#include "tools/stream_builder.h"

namespace {

using lbltest::Bytes;
using lbltest::Stream;

// A colour page 24 x 2 dots: black "abc" on row 0; cyan and yellow overlap in the first
// byte of row 1, magenta alone in its second byte.
Stream ColourPage()
{
    Stream s;
    s.Cmd("D0800,1000,0750").Cmd("C");
    s.Header("0;0000,0000,0024,0002,").Text("1,").Raw({'a', 'b', 'c', 0, 0, 0}).LfNul();
    s.Header("1;0000,0000,0024,0002,").Block('A', {0xFE, 0x00, 0x02, 0x00, 0xFF, 0x00});
    s.Header("2;0000,0000,0024,0002,").Block('A', {0xFE, 0x00, 0x00, 0xFF, 0xFF, 0x00});
    s.Header("3;0000,0000,0024,0002,").Block('A', {0xFE, 0x00, 0x00, 0xFF, 0xFF, 0x00});
    s.Cmd("XS;I,0001,0001C8100");
    return s;
}

TEST(InspectOutput, JsonListsCommandsFieldsAndPlaneHashes)
{
    const auto r = lblinspect::decode(ColourPage().bytes);
    ASSERT_FALSE(r.error) << r.error->message;
    const auto doc = nlohmann::json::parse(lblinspect::JsonListing(r));

    ASSERT_EQ(doc["commands"].size(), r.commands.size());
    EXPECT_EQ(doc["commands"][0]["offset"], 0);
    EXPECT_EQ(doc["commands"][0]["name"], "label size");
    EXPECT_EQ(doc["commands"][0]["raw"], "\\eD0800,1000,0750\\n\\0");
    EXPECT_EQ(doc["commands"][0]["fields"]["lPitch"], "80.0 mm");
    EXPECT_EQ(doc["commands"].back()["fields"]["iIssueMode"], "batch");
    EXPECT_TRUE(doc["error"].is_null());

    ASSERT_EQ(doc["pages"].size(), 1u);
    const auto& planes = doc["pages"][0]["planes"];
    ASSERT_EQ(planes.size(), 4u);
    EXPECT_EQ(planes[0]["colour"], "black");
    EXPECT_EQ(planes[0]["width"], 24);
    EXPECT_EQ(planes[0]["height"], 2);
    // SHA-256 of the packed rows: "abc" and three zero bytes.
    EXPECT_EQ(planes[0]["sha256"], "dd0b251b2bf91037a1e4fc8416a24ae00bcb9a8c252dc7e2361f2fc015f51c16");
    lblinspect::Plane abc;
    abc.width = 24;
    abc.height = 1;
    abc.bits = {'a', 'b', 'c'};
    EXPECT_EQ(lblinspect::PlaneSha256(abc),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(planes[3]["colour"], "yellow");
}

TEST(InspectOutput, JsonAndTextCarryTheError)
{
    Stream s;
    s.Cmd("C").Text("\x1b" "Q");
    const auto r = lblinspect::decode(s.bytes);
    const auto doc = nlohmann::json::parse(lblinspect::JsonListing(r));
    EXPECT_EQ(doc["error"]["offset"], 4);
    EXPECT_EQ(doc["commands"].size(), 1u);
    const std::string text = lblinspect::TextListing(r);
    EXPECT_NE(text.find("         0  end of page set-up\n"), std::string::npos) << text;
    EXPECT_NE(text.find("error at offset 4: unterminated command"), std::string::npos) << text;
}

TEST(InspectOutput, TextListingShowsFieldsInWords)
{
    const std::string text = lblinspect::TextListing(lblinspect::decode(ColourPage().bytes));
    EXPECT_NE(text.find("         0  label size: lPitch 80.0 mm, width 100.0 mm, height 75.0 mm\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("page 1, cyan: 24 x 2 dots, sha256 "), std::string::npos) << text;
}

struct PngImage {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    std::uint32_t At(std::uint32_t x, std::uint32_t y) const
    {
        const std::uint8_t* p = &rgb[(y * width + x) * 3];
        return std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
    }
};

PngImage ReadPng(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    PngImage out;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) return {};
    out.width = image.width;
    out.height = image.height;
    return out;
}

class InspectPreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        // ctest runs each test in its own process, in parallel: one directory per test.
        dir_ = std::filesystem::path(LBL_BINARY_DIR) / "inspect-preview-test" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(InspectPreview, InksMixOnWhiteOnePixelPerDot)
{
    const auto r = lblinspect::decode(ColourPage().bytes);
    ASSERT_EQ(r.pages.size(), 1u);
    const std::string path = (dir_ / "page.png").string();
    std::string why;
    ASSERT_TRUE(lblinspect::WritePreviewPng(r.pages[0], lblinspect::DefaultInks(), path, why)) << why;
    const PngImage png = ReadPng(path);
    ASSERT_EQ(png.width, 24u);
    ASSERT_EQ(png.height, 2u);
    // 'a' = 0x61 = 0110 0001: dots 1, 2 and 7 of row 0 are black.
    EXPECT_EQ(png.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(png.At(1, 0), 0x000000u);
    EXPECT_EQ(png.At(7, 0), 0x000000u);
    EXPECT_EQ(png.At(0, 1), 0x00FF00u);  // cyan over yellow
    EXPECT_EQ(png.At(8, 1), 0xFF00FFu);  // magenta alone
    EXPECT_EQ(png.At(16, 1), 0xFFFFFFu);

    // A spot colour replaces the ink of its plane.
    lblinspect::InkColours inks = lblinspect::DefaultInks();
    inks[lblinspect::kCyan] = 0x3366CC;
    ASSERT_TRUE(lblinspect::WritePreviewPng(r.pages[0], inks, path, why)) << why;
    EXPECT_EQ(ReadPng(path).At(0, 1), 0x3366CCu & 0xFFFF00u);
}

TEST_F(InspectPreview, MagentaPlaneDrawsMagenta)
{
    Stream s;
    s.Header("1;0000,0000,0008,0001,").Block('A', {0x00, 0x80});
    const auto r = lblinspect::decode(s.bytes);
    ASSERT_EQ(r.pages.size(), 1u);
    const auto pic = lblinspect::RenderPreview(r.pages[0], lblinspect::DefaultInks());
    ASSERT_EQ(pic.rgb.size(), 8u * 3);
    EXPECT_EQ((Bytes{pic.rgb[0], pic.rgb[1], pic.rgb[2]}), (Bytes{0xFF, 0x00, 0xFF}));
    EXPECT_EQ((Bytes{pic.rgb[3], pic.rgb[4], pic.rgb[5]}), (Bytes{0xFF, 0xFF, 0xFF}));
    std::string why;
    EXPECT_FALSE(lblinspect::WritePreviewPng(r.pages[0], lblinspect::DefaultInks(),
                                             (dir_ / "missing" / "x.png").string(), why));
    EXPECT_NE(why.find("cannot write"), std::string::npos);
}

TEST(InspectOutput, PreviewFileNamesNumberTheLaterPages)
{
    EXPECT_EQ(lblinspect::PreviewPath("out.png", 0), "out.png");
    EXPECT_EQ(lblinspect::PreviewPath("out.png", 1), "out-2.png");
    EXPECT_EQ(lblinspect::PreviewPath("a.d/out.png", 2), "a.d/out-3.png");
    EXPECT_EQ(lblinspect::PreviewPath("a.d/out", 1), "a.d/out-2");
}

}  // namespace
