// Page rasters: the PNG and PNM readers and the placement of pictures on a page.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "e2e/print/print_files.h"
#include "raster/raster.h"

namespace print_test {
namespace {

using platform::BgrImage;

// A file in this test's temporary folder, removed when the program ends.
std::string TempPath(const std::string& name)
{
    static const struct TempDir {
        std::string path;
        TempDir()
        {
            path = (std::filesystem::temp_directory_path() / "lbl-raster.XXXXXX").string();
            if (!mkdtemp(path.data())) std::abort();
        }
        ~TempDir()
        {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    } dir;
    return dir.path + "/" + name;
}

std::vector<std::uint8_t> Bytes(const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); }

// Pixel (x, y) as 0xRRGGBB.
std::uint32_t At(const BgrImage& img, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = &img.bgr[(static_cast<std::size_t>(y) * img.width + x) * 3];
    return static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
}

TEST(Pnm, ReadsBitmapGreyAndColour)
{
    BgrImage img;
    std::string why;
    // P4 with a comment: a set bit is black; rows are padded to whole bytes.
    std::vector<std::uint8_t> p4 = Bytes("P4\n# made by hand\n10 2\n");
    p4.insert(p4.end(), {0b10000000, 0b01000000, 0xFF, 0xC0});
    ASSERT_TRUE(platform::ReadPnmBytes(p4, img, why)) << why;
    EXPECT_EQ(img.width, 10u);
    EXPECT_EQ(At(img, 0, 0), 0x000000u);
    EXPECT_EQ(At(img, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(At(img, 9, 0), 0x000000u);
    EXPECT_EQ(At(img, 9, 1), 0x000000u);

    // P5 with maxval 15 scales to 0..255.
    std::vector<std::uint8_t> p5 = Bytes("P5 2 1 15\n");
    p5.insert(p5.end(), {15, 5});
    ASSERT_TRUE(platform::ReadPnmBytes(p5, img, why)) << why;
    EXPECT_EQ(At(img, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(At(img, 1, 0), 0x555555u);

    // P6 with two-byte samples (big-endian).
    std::vector<std::uint8_t> p6 = Bytes("P6 1 1 65535\n");
    p6.insert(p6.end(), {0xFF, 0xFF, 0x00, 0x00, 0x80, 0x00});
    ASSERT_TRUE(platform::ReadPnmBytes(p6, img, why)) << why;
    EXPECT_EQ(At(img, 0, 0), 0xFF0080u);
}

TEST(Pnm, RefusesMalformedInput)
{
    BgrImage img;
    std::string why;
    for (const std::string& bad : {std::string("P3 1 1 255\n0 0 0"), std::string("P5 0 1 255\n"),
                                   std::string("P5 1 1 0\n\x01"), std::string("P5 1 1 70000\n\x01\x01"),
                                   std::string("P5 1 1 255"), std::string("P6 2 2 255\n\x01\x02"),
                                   std::string("P5 99999999 99999999 255\n"), std::string("P4 8 1")}) {
        EXPECT_FALSE(platform::ReadPnmBytes(Bytes(bad), img, why)) << bad;
        EXPECT_FALSE(why.empty());
    }
}

TEST(Png, EveryColourTypeComesOutAsColourOnWhite)
{
    const Picture rgb = RgbPicture(3, 2, [](int x, int y) { return x == 0 ? 0xFF0000u : y == 0 ? 0x00FF00u : 0x0000FFu; });
    BgrImage img;
    std::string why;

    WritePng(TempPath("rgb16.png"), rgb, 16);
    ASSERT_TRUE(platform::ReadPng(TempPath("rgb16.png"), img, why)) << why;
    EXPECT_EQ(At(img, 0, 0), 0xFF0000u);
    EXPECT_EQ(At(img, 1, 0), 0x00FF00u);
    EXPECT_EQ(At(img, 2, 1), 0x0000FFu);

    WritePalettePng(TempPath("palette.png"), rgb);
    ASSERT_TRUE(platform::ReadPng(TempPath("palette.png"), img, why)) << why;
    EXPECT_EQ(At(img, 1, 0), 0x00FF00u);
    EXPECT_EQ(At(img, 1, 1), 0x0000FFu);

    Picture grey{2, 1, 1, {0, 200}};
    WritePng(TempPath("grey.png"), grey);
    ASSERT_TRUE(platform::ReadPng(TempPath("grey.png"), img, why)) << why;
    EXPECT_EQ(At(img, 0, 0), 0x000000u);
    EXPECT_EQ(At(img, 1, 0), 0xC8C8C8u);

    // Transparent black shows the white under it; opaque black stays black.
    Picture alpha{2, 1, 4, {0, 0, 0, 0, 0, 0, 0, 255}};
    WritePng(TempPath("alpha.png"), alpha);
    ASSERT_TRUE(platform::ReadPng(TempPath("alpha.png"), img, why)) << why;
    EXPECT_EQ(At(img, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(At(img, 1, 0), 0x000000u);

    EXPECT_EQ(platform::SniffPageFile(TempPath("alpha.png")), platform::PageFileKind::Png);
    std::vector<std::uint8_t> cut = ReadBytes(TempPath("alpha.png"));
    cut.resize(40);
    WriteBytes(TempPath("cut.png"), cut);
    EXPECT_FALSE(platform::ReadPng(TempPath("cut.png"), img, why));
}

// Damaged files: every reader either refuses them or returns a whole picture,
// never reading outside the bytes (checked under the sanitizers).
TEST(Readers, SurviveDamagedFiles)
{
    std::vector<std::uint8_t> pnm = Bytes("P6 # c\n3 2 65535\n");
    for (int i = 0; i < 36; ++i) pnm.push_back(static_cast<std::uint8_t>(i * 37));
    WritePng(TempPath("fuzz.png"), RgbPicture(5, 4, [](int x, int y) { return static_cast<std::uint32_t>(x * 0x10203 + y); }));
    const std::vector<std::uint8_t> png = ReadBytes(TempPath("fuzz.png"));
    std::mt19937 rng(1234);
    for (int round = 0; round < 3000; ++round) {
        for (const std::vector<std::uint8_t>* original : {static_cast<const std::vector<std::uint8_t>*>(&pnm), &png}) {
            std::vector<std::uint8_t> bytes = *original;
            const int edits = 1 + static_cast<int>(rng() % 4);
            for (int e = 0; e < edits; ++e) bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
            if (rng() % 4 == 0) bytes.resize(rng() % bytes.size());
            BgrImage img;
            std::string why;
            const bool ok = original == &pnm ? platform::ReadPnmBytes(bytes, img, why)
                                             : platform::ReadPngBytes(bytes, img, why);
            if (ok)
                EXPECT_EQ(img.bgr.size(), img.Stride() * img.height);
            else
                EXPECT_FALSE(why.empty());
        }
    }
}

TEST(Placement, SameSizeIsOneToOne)
{
    BgrImage pic{3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}};
    const BgrImage page = platform::PlaceOnPage(pic, 3, 2);
    EXPECT_EQ(page.bgr, pic.bgr);
}

TEST(Placement, OtherSizesAreFittedAndCentredOnWhite)
{
    // A black 20 x 10 picture on a 40 x 40 page: scaled to 40 x 20, rows 10..29.
    BgrImage wide{20, 10, platform::PixelBytes(20 * 10 * 3, 0)};
    const BgrImage page = platform::PlaceOnPage(wide, 40, 40);
    ASSERT_EQ(page.width, 40u);
    ASSERT_EQ(page.height, 40u);
    EXPECT_EQ(At(page, 20, 9), 0xFFFFFFu);
    EXPECT_EQ(At(page, 0, 10), 0x000000u);
    EXPECT_EQ(At(page, 39, 29), 0x000000u);
    EXPECT_EQ(At(page, 20, 30), 0xFFFFFFu);

    // Shrinking a fine pattern smoothly averages it instead of picking one phase.
    BgrImage stripes{100, 100, {}};
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            for (int c = 0; c < 3; ++c) stripes.bgr.push_back(x % 2 ? 255 : 0);
    const BgrImage small = platform::PlaceOnPage(stripes, 10, 10, {platform::ScaleMode::Smooth});
    for (std::uint32_t x = 1; x < 9; ++x) EXPECT_NEAR(static_cast<int>(small.bgr[(5 * 10 + x) * 3]), 128, 20) << x;

    // A tall picture on a wide page: centred across, white at the sides.
    BgrImage tall{1, 4, platform::PixelBytes(12, 0)};
    const BgrImage side = platform::PlaceOnPage(tall, 8, 4);
    EXPECT_EQ(At(side, 0, 2), 0xFFFFFFu);
    EXPECT_EQ(At(side, 3, 2), 0x000000u);
    EXPECT_EQ(At(side, 7, 2), 0xFFFFFFu);
}

}  // namespace
}  // namespace print_test
