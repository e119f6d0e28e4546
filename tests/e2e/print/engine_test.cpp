// The engine stand-in's document flow in this process: loads of the driver,
// a device-mode change between pages, pictures in memory, and clean-up.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/codepage.h"
#include "base/memory.h"
#include "description/ppd.h"
#include "e2e/print/print_env.h"
#include "engine/engine.h"
#include "engine/engine_driver.h"
#include "settings/settings.h"

namespace print_test {
namespace {

using ::testing::HasSubstr;

std::vector<BYTE> DefaultDevMode(const std::string& printer, short orientation = DMORIENT_PORTRAIT)
{
    auto rec = platform::FindPrinter(printer);
    EXPECT_TRUE(rec);
    if (!rec) return {};
    std::u16string wppd = platform::Widen(rec->dataFile), wname = platform::Widen(printer);
    PPDDATA* ppd = PpdCreate(wppd.c_str(), nullptr);
    EXPECT_NE(ppd, nullptr);
    DRVDEVMODE dm{};
    EXPECT_TRUE(SetDefaultDevMode(&dm, wname.c_str(), ppd, FALSE));
    dm.dmPublic.dmOrientation = orientation;
    PpdDelete(ppd);
    const auto* p = reinterpret_cast<const BYTE*>(&dm);
    return std::vector<BYTE>(p, p + sizeof dm);
}

platform::BgrImage Solid(std::uint32_t w, std::uint32_t h, std::uint8_t v)
{
    return platform::BgrImage{w, h, platform::PixelBytes(static_cast<std::size_t>(w) * h * 3, v)};
}

platform::DocumentJob Job(const platform::BgrImage& picture, const std::string& out)
{
    platform::DocumentJob job;
    job.printer = kMono;
    job.devMode = DefaultDevMode(kMono);
    job.pages.push_back(platform::DocumentPage{});
    job.pages.back().picture = &picture;
    job.output = out;
    job.keepStream = true;
    return job;
}

bool StartsWithNulRun(const std::vector<BYTE>& stream)
{
    const lblinspect::Result r = lblinspect::decode(stream);
    return !r.commands.empty() && r.commands[0].name == "NUL run";
}

// A PNG file placed one to one is decoded straight into the band; its stream must
// equal that of the same pixels handed over in memory: exactly the page's size,
// a dot short (padded), a dot over (cropped), and a 16-bit picture that needs the
// general reader, on the monochrome and the colour model.
TEST(EngineDocument, PngFilesDecodedIntoTheBandPrintAsTheirPixels)
{
    struct Case {
        const char* printer;
        int model, cx, cy;
    };
    for (const Case c : {Case{kMono, 1, kMonoCx, kMonoCy}, Case{kColour, 0, kColourCx, kColourCy}}) {
        EnsurePrinter(c.printer, c.model);
        const platform::BgrImage white = Solid(8, 8, 255);
        ASSERT_TRUE(platform::PrintDocument(Job(white, TestPath("warm.prn"))).ok);  // past the load's NUL run
        for (const auto& [dx, depth] : {std::pair{0, 8}, std::pair{-1, 8}, std::pair{1, 8}, std::pair{0, 16}}) {
            const int w = c.cx + dx, h = c.cy + dx;
            const Picture png = RgbPicture(w, h, [](int x, int y) {
                return static_cast<std::uint32_t>(((x * 7) ^ (y * 13)) & 0xFF) << 16 | ((x + y) & 0xFF) << 8 |
                       ((x / 5) % 2 ? 0xFF : 0x20);
            });
            const std::string file = TestPath("band.png");
            WritePng(file, png, depth);
            platform::BgrImage memory{static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), {}};
            memory.bgr.resize(memory.Stride() * h);
            std::string why;
            if (depth == 16)  // the general reader turns 16-bit samples to 8-bit its own way
                ASSERT_TRUE(platform::ReadPng(file, memory, why)) << why;
            else
                for (int i = 0; i < w * h; ++i) {
                    memory.bgr[3 * i] = png.pixels[3 * i + 2];
                    memory.bgr[3 * i + 1] = png.pixels[3 * i + 1];
                    memory.bgr[3 * i + 2] = png.pixels[3 * i];
                }
            platform::DocumentJob fromMemory = Job(memory, TestPath("memory.prn"));
            fromMemory.printer = c.printer;
            fromMemory.devMode = DefaultDevMode(c.printer);
            platform::DocumentJob fromFile = fromMemory;
            fromFile.output = TestPath("file.prn");
            fromFile.pages[0].picture = nullptr;
            fromFile.pages[0].path = file;
            fromFile.pages.push_back(fromFile.pages[0]);  // the second page reuses the storage
            fromMemory.pages.push_back(fromMemory.pages[0]);
            const platform::DocumentResult a = platform::PrintDocument(fromMemory);
            const platform::DocumentResult b = platform::PrintDocument(fromFile);
            ASSERT_TRUE(a.ok) << a.reason;
            ASSERT_TRUE(b.ok) << b.reason;
            EXPECT_TRUE(a.stream == b.stream) << c.printer << " " << w << " x " << h << ", " << depth << " bit";
        }
    }
}

TEST(EngineDocument, NulRunOnlyInTheFirstDocumentOfALoad)
{
    EnsurePrinter(kMono, 1);
    const platform::BgrImage grey = Solid(64, 64, 128);
    const std::string out = TestPath("load.prn");
    platform::UnloadRenderDrivers();
    platform::DocumentResult first = platform::PrintDocument(Job(grey, out));
    ASSERT_TRUE(first.ok) << first.reason;
    platform::DocumentResult second = platform::PrintDocument(Job(grey, out));
    ASSERT_TRUE(second.ok) << second.reason;
    EXPECT_TRUE(StartsWithNulRun(first.stream));
    EXPECT_FALSE(StartsWithNulRun(second.stream));
    EXPECT_TRUE(second.stream == ReadBytes(out));  // the port got exactly the job

    platform::UnloadRenderDrivers();
    platform::DocumentResult reloaded = platform::PrintDocument(Job(grey, out));
    ASSERT_TRUE(reloaded.ok) << reloaded.reason;
    EXPECT_TRUE(StartsWithNulRun(reloaded.stream));
}

TEST(EngineDocument, DeviceModeChangeBetweenPagesUsesANewDevice)
{
    EnsurePrinter(kMono, 1);
    const platform::BgrImage black = Solid(10, 10, 0);
    const long devices = platform::LiveEngineDevices(), surfaces = platform::LiveSurfaces();
    platform::DocumentJob job = Job(black, TestPath("reset.prn"));
    job.pages.push_back(job.pages.back());
    job.pages.back().devMode = DefaultDevMode(kMono, DMORIENT_LANDSCAPE);
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    job.progress = [&](std::size_t done, std::size_t total) { progress.emplace_back(done, total); };
    platform::DocumentResult result = platform::PrintDocument(job);
    ASSERT_TRUE(result.ok) << result.reason;

    const lblinspect::Result decoded = lblinspect::decode(result.stream);
    ASSERT_FALSE(decoded.error);
    ASSERT_EQ(decoded.pages.size(), 2u);
    int nulRuns = 0;
    for (const auto& c : decoded.commands) nulRuns += c.name == "NUL run";
    EXPECT_LE(nulRuns, 1);  // the document start is not sent again
    // The second device is landscape: its page is the label turned.
    EXPECT_EQ(result.gdiInfo.ulHorzRes, static_cast<ULONG>(kMonoCy));
    EXPECT_EQ(result.gdiInfo.ulVertRes, static_cast<ULONG>(kMonoCx));
    EXPECT_EQ(progress, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 2}, {2, 2}}));
    EXPECT_EQ(platform::LiveEngineDevices(), devices);
    EXPECT_EQ(platform::LiveSurfaces(), surfaces);
    EXPECT_EQ(platform::LockedSurfaces(), 0);
}

TEST(EngineDocument, MissingRenderLibraryFailsBeforeAnyOutput)
{
    EnsurePrinter(kMono, 1);
    platform::PrinterRecord rec;
    rec.name = "Print Broken Driver";
    rec.dataFile = e2e::TestPpd(1);
    rec.renderLibrary = TestPath("no-such-library.so");
    rec.port = TestPath("broken-driver.prn");
    ASSERT_EQ(platform::AddPrinter(rec), static_cast<DWORD>(ERROR_SUCCESS));
    const platform::BgrImage white = Solid(4, 4, 255);
    platform::DocumentJob job = Job(white, "");
    job.printer = rec.name;
    platform::DocumentResult result = platform::PrintDocument(job);
    EXPECT_FALSE(result.ok);
    EXPECT_THAT(result.reason, HasSubstr("no-such-library.so"));
    EXPECT_FALSE(std::filesystem::exists(rec.port));
}

// A driver record's library path comes from the spool database, which anyone with
// the spool directory can write: only its file name counts, looked up in the driver
// directory.
TEST(EngineDocument, RenderLibraryIsLoadedByNameFromTheDriverDirectory)
{
    EnsurePrinter(kMono, 1);
    const std::string planted = TestPath("planted");
    std::filesystem::create_directories(planted);
    std::ofstream(planted + "/liblblrender.so") << "not a library";

    platform::PrinterRecord rec = *platform::FindPrinter(kMono);
    rec.name = "Print Planted Driver";
    rec.renderLibrary = planted + "/liblblrender.so";
    rec.port = TestPath("planted.prn");
    ASSERT_EQ(platform::AddPrinter(rec), static_cast<DWORD>(ERROR_SUCCESS));
    const platform::BgrImage white = Solid(4, 4, 255);
    platform::DocumentJob job = Job(white, "");
    job.printer = rec.name;
    platform::DocumentResult result = platform::PrintDocument(job);
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_TRUE(std::filesystem::exists(rec.port));

    int n = 0;
    for (const char* stored : {"", "/opt/lbl/", "/opt/lbl/..", "C:\\drivers\\"}) {
        rec.renderLibrary = stored;
        rec.name = "Print No Driver Name " + std::to_string(++n);
        rec.port = TestPath("no-driver-name.prn");
        ASSERT_EQ(platform::AddPrinter(rec), static_cast<DWORD>(ERROR_SUCCESS));
        job.printer = rec.name;
        result = platform::PrintDocument(job);
        EXPECT_FALSE(result.ok) << stored;
        EXPECT_THAT(result.reason, HasSubstr("names no render library")) << stored;
        EXPECT_FALSE(std::filesystem::exists(rec.port)) << stored;
    }
}

}  // namespace
}  // namespace print_test
