// Halftoning and compression throughput on a 4 x 6 inch label at 300 dpi
// (1200 x 1800 dots) of a photograph-like image generated here: smooth tonal
// gradients, hard-edged shapes and fine sensor-like noise.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "compress.h"
#include "halftone.h"
#include "kernels.h"
#include "pdev.h"

namespace {

constexpr LONG kWidth = 1200;
constexpr LONG kHeight = 1800;
constexpr LONG kStride = kWidth * 3;
constexpr size_t kPlaneBytes = size_t((kWidth + 7) / 8) * kHeight;

const std::vector<BYTE>& Photo()
{
    static const std::vector<BYTE> image = [] {
        std::vector<BYTE> bits(size_t(kStride) * kHeight);
        std::mt19937 rng(7);
        std::normal_distribution<double> noise(0.0, 6.0);
        for (LONG y = 0; y < kHeight; ++y)
            for (LONG x = 0; x < kWidth; ++x) {
                const double u = double(x) / kWidth, v = double(y) / kHeight;
                // Sky-like gradient, a soft "subject" and a dark band of shadow.
                double r = 90 + 140 * v + 20 * std::sin(9 * u);
                double g = 120 + 100 * std::sin(3.1 * u + 2 * v);
                double b = 200 - 150 * v + 30 * std::cos(7 * v);
                const double dx = u - 0.5, dy = v - 0.45, d = std::sqrt(dx * dx + dy * dy);
                if (d < 0.22) {
                    const double f = 1.0 - d / 0.22;
                    r = r * (1 - f) + 220 * f;
                    g = g * (1 - f) + 170 * f;
                    b = b * (1 - f) + 140 * f;
                }
                if (v > 0.8 && u < 0.6) r *= 0.3, g *= 0.3, b *= 0.35;       // shadow, hard edge
                if (x % 300 < 4) r = g = b = 20;                              // fence posts
                const double n = noise(rng);
                auto clamp = [](double c) { return BYTE(c < 0 ? 0 : c > 255 ? 255 : c); };
                BYTE* p = &bits[size_t(y) * kStride + size_t(x) * 3];
                p[0] = clamp(b + n);
                p[1] = clamp(g + n);
                p[2] = clamp(r + n);
            }
        return bits;
    }();
    return image;
}

struct Device {
    std::unique_ptr<PDEV> pdev = std::make_unique<PDEV>();
    SPOTCOLOR aSpot[4] = {};
    std::vector<BYTE> aPlane[4];

    explicit Device(ULONG cPlanes, INT iHalftone)
    {
        pdev->dwSignature = pdev->dwSignature2 = 0x30343138;
        pdev->hHeap = HEAPCREATE();
        pdev->cPlanes = cPlanes;
        pdev->dm.dmPrivate.dwModel = 1;
        pdev->dm.dmPrivate.bFourColor = 1;
        pdev->dm.dmPrivate.iHalftone = iHalftone;
        pdev->pSpotColor = aSpot;
        for (auto& plane : aPlane) plane.resize(kPlaneBytes);
        ResetPlanes();
    }
    ~Device() { HEAPDESTROY(pdev->hHeap); }
    void ResetPlanes()
    {
        for (int p = 0; p < 4; ++p) {
            std::memset(aPlane[p].data(), 0, kPlaneBytes);
            pdev->apPlane[p] = pdev->apPlaneCursor[p] = aPlane[p].data();
        }
    }
    BOOL Halftone()
    {
        auto fn = pdev->dm.dmPrivate.iHalftone == 2 ? FloydSteinberg : Dither;
        return fn(pdev.get(), Photo().data(), kWidth, kHeight, kStride, FALSE);
    }
};

// Halftones with the given row kernels (skipped where the processor lacks them).
void Halftoning(benchmark::State& state, ULONG cPlanes, INT iHalftone, planes::KernelPath path)
{
    const planes::KernelPath previous = planes::ActiveKernelPath();
    if (!planes::SelectKernelPath(path)) {
        state.SkipWithError("the processor lacks these kernels");
        return;
    }
    Device dev(cPlanes, iHalftone);
    for (auto _ : state) {
        state.PauseTiming();
        dev.ResetPlanes();
        state.ResumeTiming();
        if (!dev.Halftone()) state.SkipWithError("halftoning failed");
        benchmark::DoNotOptimize(dev.aPlane[0].data());
    }
    state.counters["Mpx"] = benchmark::Counter(double(kWidth) * kHeight * state.iterations() / 1e6, benchmark::Counter::kIsRate);
    planes::SelectKernelPath(previous);
}

// Compresses every printed plane of the halftoned page, as one band.
void Compression(benchmark::State& state, ULONG cPlanes, INT iHalftone, bool bCompress2)
{
    Device dev(cPlanes, iHalftone);
    dev.Halftone();
    const int first = 0, last = cPlanes == 4 ? 4 : 1;
    std::vector<std::vector<BYTE>> original(dev.aPlane, dev.aPlane + 4);
    const DWORD cbLine = (kWidth + 7) / 8;
    double encoded = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int p = first; p < last; ++p) std::memcpy(dev.aPlane[p].data(), original[p].data(), kPlaneBytes);
        state.ResumeTiming();
        encoded = 0;
        for (int p = first; p < last; ++p) {
            const DWORD cb = bCompress2 ? Compress2(dev.pdev.get(), dev.aPlane[p].data(), cbLine, kHeight)
                                        : Compress(dev.pdev.get(), dev.aPlane[p].data(), cbLine, kHeight);
            encoded += cb < kPlaneBytes ? cb : double(kPlaneBytes);
        }
    }
    const double raw = double(kPlaneBytes) * (last - first);
    state.counters["MB"] = benchmark::Counter(raw * state.iterations() / 1e6, benchmark::Counter::kIsRate);
    state.counters["sent%"] = 100.0 * encoded / raw;
}

}  // namespace

using planes::KernelPath;
// On a shared machine the fastest repetition is the least disturbed one:
// run with --benchmark_repetitions=N and read the "min" rows.
#define HALFTONING(name, ...)                                                                   \
    BENCHMARK_CAPTURE(Halftoning, name, __VA_ARGS__)                                            \
        ->Unit(benchmark::kMillisecond)                                                         \
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
HALFTONING(mono_ordered_baseline, 1u, 0, KernelPath::Baseline);
HALFTONING(mono_ordered_avx2, 1u, 0, KernelPath::Avx2);
HALFTONING(four_colour_ordered_baseline, 4u, 0, KernelPath::Baseline);
HALFTONING(four_colour_ordered_avx2, 4u, 0, KernelPath::Avx2);
HALFTONING(mono_diffusion_baseline, 1u, 2, KernelPath::Baseline);
HALFTONING(mono_diffusion_avx2, 1u, 2, KernelPath::Avx2);
HALFTONING(four_colour_diffusion_baseline, 4u, 2, KernelPath::Baseline);
HALFTONING(four_colour_diffusion_avx2, 4u, 2, KernelPath::Avx2);
BENCHMARK_CAPTURE(Compression, compress_mono_ordered, 1u, 0, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compression, compress2_mono_ordered, 1u, 0, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compression, compress_four_colour_ordered, 4u, 0, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compression, compress2_four_colour_ordered, 4u, 0, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compression, compress_mono_diffusion, 1u, 2, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compression, compress2_mono_diffusion, 1u, 2, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Compression, compress2_four_colour_diffusion, 4u, 2, true)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
