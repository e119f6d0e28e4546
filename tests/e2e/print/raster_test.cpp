// Page rasters: the PNG and PNM readers and the placement of pictures on a page.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include <png.h>

#include "e2e/print/print_files.h"
#include "raster/raster.h"
#include "raster_png.h"

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

// A grey or palette PNG of 1, 2, 4 or 8 bits per sample, samples given one per byte,
// every row filtered as libpng's writer chooses.
void WritePackedPng(const std::string& path, int width, int height, int type, int depth,
                    const std::vector<std::uint8_t>& samples, const std::vector<png_color>& palette = {})
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, width, height, depth, type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, 0, PNG_ALL_FILTERS);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    png_set_packing(png);
    const int perPixel = type == PNG_COLOR_TYPE_RGB ? 3 : 1;
    for (int y = 0; y < height; ++y)
        png_write_row(png, samples.data() + static_cast<std::size_t>(y) * width * perPixel);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

// The direct row reader gives exactly what libpng's simplified reader gives, for
// every form it takes, with noise and smooth areas so that every filter is chosen.
TEST(Png, DirectReadEqualsTheSimplifiedReader)
{
    std::mt19937 rng(99);
    struct Form {
        int type, depth;
    };
    for (const Form form : {Form{PNG_COLOR_TYPE_GRAY, 1}, Form{PNG_COLOR_TYPE_GRAY, 2}, Form{PNG_COLOR_TYPE_GRAY, 4},
                            Form{PNG_COLOR_TYPE_GRAY, 8}, Form{PNG_COLOR_TYPE_PALETTE, 2},
                            Form{PNG_COLOR_TYPE_PALETTE, 8}, Form{PNG_COLOR_TYPE_RGB, 8}}) {
        const int w = 37, h = 23, perPixel = form.type == PNG_COLOR_TYPE_RGB ? 3 : 1;
        const int levels = 1 << form.depth;
        std::vector<std::uint8_t> samples;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w * perPixel; ++x)
                samples.push_back(static_cast<std::uint8_t>(y < h / 2 ? (x * 7 + y) % levels : rng() % levels));
        std::vector<png_color> palette;
        if (form.type == PNG_COLOR_TYPE_PALETTE)
            for (int i = 0; i < levels; ++i)
                palette.push_back({static_cast<png_byte>(rng()), static_cast<png_byte>(rng()), static_cast<png_byte>(i)});
        const std::string path = TempPath("direct.png");
        WritePackedPng(path, w, h, form.type, form.depth, samples, palette);
        const std::vector<std::uint8_t> bytes = ReadBytes(path);
        BgrImage direct, simplified;
        std::string why;
        ASSERT_TRUE(platform::ReadPngBytes(bytes, direct, why)) << why;
        ASSERT_TRUE(platform::ReadPngSimplified(bytes, simplified, why)) << why;
        EXPECT_EQ(direct.width, 37u);
        EXPECT_EQ(direct.height, 23u);
        EXPECT_TRUE(direct.bgr == simplified.bgr) << "colour type " << form.type << ", depth " << form.depth;
        // The storage of one picture serves the next.
        ASSERT_TRUE(platform::ReadPng(path, direct, why)) << why;
        EXPECT_TRUE(direct.bgr == simplified.bgr);
    }
    // A header that claims far more pixels than the data can hold is refused
    // before any storage is taken.
    std::vector<std::uint8_t> bytes = ReadBytes(TempPath("direct.png"));
    for (int i = 16; i < 24; ++i) bytes[i] = i % 4 == 0 ? 0 : 0x7F;
    BgrImage img;
    std::string why;
    EXPECT_FALSE(platform::ReadPngBytes(bytes, img, why));
    EXPECT_FALSE(why.empty());
}

TEST(Pnm, FileReadInPlaceEqualsTheBytesReader)
{
    std::mt19937 rng(5);
    for (const std::string head : {"P6\n# c\n7 5\n255\n", "P6 7 5 255 ", "P5 7 5 255\n", "P6 7 5 1000\n"}) {
        std::vector<std::uint8_t> bytes = Bytes(head);
        const int cb = 7 * 5 * (head[1] == '6' ? 3 : 1) * (head.find("1000") != std::string::npos ? 2 : 1);
        for (int i = 0; i < cb; ++i) bytes.push_back(static_cast<std::uint8_t>(rng() % 200));
        bytes.push_back('x');  // trailing bytes are ignored
        WriteBytes(TempPath("inplace.pnm"), bytes);
        BgrImage fromFile, fromBytes;
        std::string why;
        ASSERT_TRUE(platform::ReadPnm(TempPath("inplace.pnm"), fromFile, why)) << why;
        ASSERT_TRUE(platform::ReadPnmBytes(bytes, fromBytes, why)) << why;
        EXPECT_EQ(fromFile.width, 7u);
        EXPECT_TRUE(fromFile.bgr == fromBytes.bgr) << head;
    }
    // P6 samples (r, g, b) = (1, 2, 3) come out as blue, green, red.
    std::vector<std::uint8_t> one = Bytes("P6 1 1 255\n");
    one.insert(one.end(), {1, 2, 3});
    WriteBytes(TempPath("one.ppm"), one);
    BgrImage img;
    std::string why;
    ASSERT_TRUE(platform::ReadPnm(TempPath("one.ppm"), img, why)) << why;
    EXPECT_EQ(At(img, 0, 0), 0x010203u);
    one.pop_back();
    WriteBytes(TempPath("one.ppm"), one);
    EXPECT_FALSE(platform::ReadPnm(TempPath("one.ppm"), img, why));
}

TEST(Pnm, ReadsNoMoreThanItsHeaderAnnounces)
{
    // A 2 x 1 grey picture followed by 3 GB of (sparse) nothing: read in a moment,
    // where a whole-file read would be refused or take the memory.
    std::vector<std::uint8_t> bytes = Bytes("P5 2 1 255\n");
    bytes.insert(bytes.end(), {0, 255});
    WriteBytes(TempPath("huge.pgm"), bytes);
    std::filesystem::resize_file(TempPath("huge.pgm"), std::uintmax_t{3} << 30);
    BgrImage img;
    std::string why;
    ASSERT_TRUE(platform::ReadPnm(TempPath("huge.pgm"), img, why)) << why;
    EXPECT_EQ(img.width, 2u);
    EXPECT_EQ(At(img, 0, 0), 0x000000u);
    EXPECT_EQ(At(img, 1, 0), 0xFFFFFFu);
    std::filesystem::remove(TempPath("huge.pgm"));

    // A header that is all comment is refused once it passes 64 KiB.
    std::string longHead = "P5\n";
    while (longHead.size() < 70'000) longHead += "# ........................................\n";
    WriteBytes(TempPath("comment.pgm"), Bytes(longHead + "2 1 255\n\x01\x02"));
    EXPECT_FALSE(platform::ReadPnm(TempPath("comment.pgm"), img, why));
    EXPECT_EQ(why, "PNM header too long");
}

TEST(Placement, NearSizeIsWithinOnePercentAndTwoDots)
{
    EXPECT_TRUE(platform::NearSize(800, 799));
    EXPECT_TRUE(platform::NearSize(799, 800));
    EXPECT_TRUE(platform::NearSize(1202, 1200));
    EXPECT_FALSE(platform::NearSize(1203, 1200));  // 3 dots
    EXPECT_TRUE(platform::NearSize(101, 100));
    EXPECT_FALSE(platform::NearSize(100, 99));     // over 1 %
    EXPECT_FALSE(platform::NearSize(51, 50));
    EXPECT_TRUE(platform::NearSize(50, 50));
}

TEST(Placement, FilterFollowsTheContentAndTheMode)
{
    using platform::ScaleFilter;
    using platform::ScaleMode;
    // Line art at a whole factor: replicated; at another factor: nearest neighbour.
    platform::Placement p = platform::PlanPlacement(400, 600, 1200, 1800, true, ScaleMode::Auto);
    EXPECT_EQ(p.filter, ScaleFilter::Replicate);
    EXPECT_EQ(p.factor, 3);
    EXPECT_EQ(p.cxPlaced, 1200u);
    // The fit factor is 2.997; 3 x 601 = 1803 is near 1801: whole factor, cropped by
    // 2 rows and padded by 2 columns, centred.
    p = platform::PlanPlacement(400, 601, 1202, 1801, true, ScaleMode::Auto);
    EXPECT_EQ(p.filter, ScaleFilter::Replicate);
    EXPECT_EQ(p.y0, -1);
    EXPECT_EQ(p.x0, 1);
    // Fit factor 3.05, nowhere near whole at the page's size: nearest neighbour.
    p = platform::PlanPlacement(380, 590, 1200, 1800, true, ScaleMode::Auto);
    EXPECT_EQ(p.filter, ScaleFilter::Nearest);
    EXPECT_EQ(p.cyPlaced, 1800u);
    // Tones: area averaging, unless sharp is asked for; line art smooth when asked.
    EXPECT_EQ(platform::PlanPlacement(400, 600, 1200, 1800, false, ScaleMode::Auto).filter, ScaleFilter::Area);
    EXPECT_EQ(platform::PlanPlacement(400, 600, 1200, 1800, false, ScaleMode::Sharp).filter, ScaleFilter::Replicate);
    EXPECT_EQ(platform::PlanPlacement(400, 600, 1200, 1800, true, ScaleMode::Smooth).filter, ScaleFilter::Area);
    // Near the page's size: one to one whatever the mode, centred.
    p = platform::PlanPlacement(800, 600, 799, 600, false, ScaleMode::Smooth);
    EXPECT_EQ(p.filter, ScaleFilter::None);
    EXPECT_EQ(p.x0, 0);
    EXPECT_EQ(platform::DescribePlacement(p), "label 799 x 600 dots, picture 800 x 600: one to one, cropped by 1 dot across");
    p = platform::PlanPlacement(796, 600, 798, 600, false, ScaleMode::Auto);
    EXPECT_EQ(p.x0, 1);
}

TEST(Placement, SharpScalingKeepsEdgesAndSmoothAverages)
{
    // Columns 0..4 black, 5..9 white, scaled by 2.5: nearest neighbour takes the
    // pixel under each output centre, so the edge falls at 12 with nothing between;
    // area averaging gives column 12 (half over each) a middle grey.
    BgrImage half{10, 10, {}};
    for (int i = 0; i < 100; ++i)
        for (int c = 0; c < 3; ++c) half.bgr.push_back(i % 10 < 5 ? 0 : 255);
    const BgrImage sharp = platform::PlaceOnPage(half, 25, 25);
    for (std::uint32_t x = 0; x < 25; ++x) EXPECT_EQ(At(sharp, x, 12), x < 12 ? 0u : 0xFFFFFFu) << x;
    const BgrImage smooth = platform::PlaceOnPage(half, 25, 25, {platform::ScaleMode::Smooth});
    EXPECT_EQ(At(smooth, 11, 12), 0u);
    EXPECT_EQ(At(smooth, 12, 12), 0x808080u);
    EXPECT_EQ(At(smooth, 13, 12), 0xFFFFFFu);
}

TEST(Placement, LineArtThresholdsAtHalf)
{
    // Middle grey 128 is dark; 129 is light.
    BgrImage img{4, 1, {128, 128, 128, 129, 129, 129, 0, 0, 255, 255, 255, 0}};
    platform::ThresholdToBilevel(img);
    EXPECT_EQ(At(img, 0, 0), 0u);
    EXPECT_EQ(At(img, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(At(img, 2, 0), 0u);         // pure red is dark
    EXPECT_EQ(At(img, 3, 0), 0xFFFFFFu);  // cyan is light
    EXPECT_TRUE(platform::IsBilevel(img));

    // Line art scaled smoothly on request still prints black and white: a 2 x 2
    // checker blown up to 41 x 41 averages to greys at its edges before the threshold.
    BgrImage checker{2, 2, {0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0}};
    platform::PageOptions lineArt;
    lineArt.lineArt = true;
    lineArt.scale = platform::ScaleMode::Smooth;
    const platform::PlacedPage placed = platform::PlacePicture(checker, 41, 41, lineArt);
    EXPECT_EQ(placed.placement.filter, platform::ScaleFilter::Area);
    EXPECT_TRUE(platform::IsBilevel(placed.pixels));
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
