// The whole print path for one 1200 x 1800-dot label (4 x 6 inches at 300 dpi):
// PNG decode, banding, halftoning, compression, spooling and delivery to a file,
// monochrome and colour.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <png.h>

#include "base/codepage.h"
#include "description/ppd.h"
#include "engine/engine_driver.h"
#include "settings/settings.h"
#include "spooler/spooler.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kPrinter = "Bench Colour";
constexpr const char* kLabel = "Bench 4x6";

struct Setup {
    fs::path dir;
    std::string png;
    std::string out;
};

void Run(const std::string& command)
{
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "bench_print: failed: %s\n", command.c_str());
        std::exit(1);
    }
}

// A busy label: text-like strokes, bars, a ramp and colour fields.
void WriteLabelPng(const std::string& path, int w, int h)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            std::uint8_t r = 255, g = 255, b = 255;
            if (y < h / 4) {
                if (((x / 6) * 7 + (y / 9) * 3) % 5 == 0) r = g = b = 0;
            } else if (y < h / 2) {
                if (((x / 4) * 2654435761u >> 7) % 3 == 0) r = g = b = 0;
            } else if (y < 5 * h / 8) {
                r = g = b = static_cast<std::uint8_t>(255 * x / (w - 1));
            } else {
                const int band = x * 6 / w;
                static const std::uint8_t kColours[6][3] = {{0, 255, 255}, {255, 0, 255}, {255, 255, 0},
                                                            {255, 0, 0},   {0, 160, 0},   {0, 0, 255}};
                r = kColours[band][0];
                g = kColours[band][1];
                b = kColours[band][2];
            }
            p[0] = r;
            p[1] = g;
            p[2] = b;
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr)) std::exit(1);
}

const Setup& Prepared()
{
    static const Setup setup = [] {
        Setup s;
        std::string pattern = (fs::temp_directory_path() / "lbl-bench-print.XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::exit(1);
        s.dir = pattern;
        const std::string spool = (s.dir / "spool").string();
        fs::copy_file(fs::path(LBL_SOURCE_DIR) / "ppd" / "model0.ppd", s.dir / "model0.ppd");
        const std::string lblctl = std::string("'") + LBLCTL_PATH + "' --spool '" + spool + "' ";
        Run(lblctl + "printer add '" + kPrinter + "' --ppd '" + (s.dir / "model0.ppd").string() + "' --port '" +
            (s.dir / "port.prn").string() + "' >/dev/null");
        // A 4 x 6 inch label beside the standard one.
        const std::string labels = (s.dir / "labels.json").string();
        Run(lblctl + "labels export '" + kPrinter + "' > '" + labels + "'");
        std::ifstream in(labels);
        std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto open = json.find('{'), close = json.rfind('}');
        std::string label = json.substr(open, close - open + 1);
        auto replace = [&](const std::string& key, const std::string& value) {
            const auto at = label.find("\"" + key + "\"");
            const auto colon = label.find(':', at), end = label.find_first_of(",\n", colon);
            label.replace(colon + 1, end - colon - 1, " " + value);
        };
        replace("szLabelName", std::string("\"") + kLabel + "\"");
        replace("lWidth", "101600");
        replace("lHeight", "152400");
        replace("lPitch", "1554");
        json.insert(close + 1, ",\n" + label);
        std::ofstream(labels) << json;
        Run(lblctl + "labels import '" + kPrinter + "' '" + labels + "'");
        platform::SetSpoolDirectory(spool);
        s.png = (s.dir / "label.png").string();
        WriteLabelPng(s.png, 1200, 1800);
        s.out = (s.dir / "out.prn").string();
        return s;
    }();
    // The temporary folder goes when the program ends.
    static const struct Remover {
        fs::path dir;
        ~Remover()
        {
            platform::CloseSpoolDatabase();
            std::error_code ec;
            fs::remove_all(dir, ec);
        }
    } remover{setup.dir};
    return setup;
}

std::vector<BYTE> DevMode(bool colour, INT iHalftone)
{
    auto rec = platform::FindPrinter(kPrinter);
    std::u16string wname = platform::Widen(kPrinter), wppd = platform::Widen(rec->dataFile);
    std::u16string wlabel = platform::Widen(kLabel);
    PPDDATA* ppd = PpdCreate(wppd.c_str(), nullptr);
    HANDLE h = nullptr;
    OpenPrinterW(wname.data(), &h, nullptr);
    DRVDEVMODE def{};
    SetDefaultDevMode(&def, wname.c_str(), ppd, FALSE);
    DRVDEVMODE in = def, out = def;
    CopyStringW(in.dmPublic.dmFormName, wlabel.c_str(), CCHFORMNAME);
    in.dmPublic.dmPaperSize = static_cast<short>(GetFormIndex(h, wlabel.c_str()));
    in.dmPublic.dmFields |= DM_FORMNAME | DM_PAPERSIZE | DM_COLOR;
    in.dmPublic.dmColor = colour ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
    in.dmPrivate.iHalftone = iHalftone;
    ValidateSetDevMode(h, &out, &in.dmPublic, ppd);
    ClosePrinter(h);
    PpdDelete(ppd);
    const auto* p = reinterpret_cast<const BYTE*>(&out);
    return std::vector<BYTE>(p, p + sizeof out);
}

void BM_PrintLabel(benchmark::State& state, bool colour, INT iHalftone)
{
    const Setup& s = Prepared();
    platform::DocumentJob job;
    job.printer = kPrinter;
    job.devMode = DevMode(colour, iHalftone);
    job.pages.push_back(platform::DocumentPage{s.png, platform::PageFileKind::Png});
    job.output = s.out;
    std::size_t cb = 0;
    for (auto _ : state) {
        platform::DocumentResult r = platform::PrintDocument(job);
        if (!r.ok || r.gdiInfo.ulHorzRes != 1200 || r.gdiInfo.ulVertRes != 1800) {
            state.SkipWithError(r.ok ? "the page is not 1200 x 1800 dots" : r.reason.c_str());
            break;
        }
        cb = r.cbJob;
    }
    state.counters["job_bytes"] = static_cast<double>(cb);
}

// The picture part alone: PNG decode and placement on the page.
void BM_DecodePng(benchmark::State& state)
{
    const Setup& s = Prepared();
    for (auto _ : state) {
        platform::BgrImage picture;
        std::string why;
        if (!platform::ReadPng(s.png, picture, why)) {
            state.SkipWithError(why.c_str());
            break;
        }
        benchmark::DoNotOptimize(platform::PlaceOnPage(std::move(picture), 1200, 1800));
    }
}

BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrintLabel, mono_dither1, false, HALFTONE_DITHER1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrintLabel, mono_diffusion, false, HALFTONE_DIFFUSION)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrintLabel, colour_dither1, true, HALFTONE_DITHER1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrintLabel, colour_diffusion, true, HALFTONE_DIFFUSION)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
