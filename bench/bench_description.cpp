// Description reading: parsing a description file (checksum included) against
// loading the same description from a valid binary description file.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "description/ppd.h"

namespace {

// A description of about 1 MB in the shape of large vendor files: a model
// description followed by many option groups with long multi-line invocation
// code, translations, comments, query keywords and CR LF line ends.
std::string BigDescription()
{
    std::ifstream in(std::string(LBL_SOURCE_DIR) + "/ppd/model3.ppd", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    for (int i = 0; s.size() < (1u << 20); ++i) {
        s += "*% ---- option group " + std::to_string(i) + " ------------------------------------\r\n";
        s += "*OpenUI *Opt" + std::to_string(i) + "/Vendor Option " + std::to_string(i) + ": PickOne\r\n";
        s += "*OrderDependency: 50 AnySetup *Opt" + std::to_string(i) + "\r\n";
        s += "*DefaultOpt" + std::to_string(i) + ": Off\r\n";
        for (const char* v : {"Off", "On", "Auto"}) {
            s += "*Opt" + std::to_string(i) + " " + v + "/Setting <4F>" + v + ": \"\r\n";
            s += "  << /DeviceRenderingInfo << /Type 2 /ValuesPerColorComponent 256 >> >> setpagedevice\r\n";
            s += "  userdict /lblsetting known { lblsetting } if 0 1 255 { pop } for\r\n\"\r\n*End\r\n";
        }
        s += "*CloseUI: *Opt" + std::to_string(i) + "\r\n";
        s += "*?Opt" + std::to_string(i) + ": \"save currentpagedevice /Opt get == restore\"\r\n*End\r\n";
    }
    return s;
}

struct Files {
    std::string ppd;
    std::u16string wppd;
    std::size_t bytes = 0;
};

const Files& Prepared()
{
    static const Files files = [] {
        Files f;
        auto dir = std::filesystem::path(LBL_BINARY_DIR) / "bench-description";
        std::filesystem::create_directories(dir);
        f.ppd = (dir / "big.ppd").string();
        std::string text = BigDescription();
        std::ofstream(f.ppd, std::ios::binary) << text;
        f.bytes = text.size();
        f.wppd = platform::Widen(f.ppd);
        // The binary file as the UI library writes it: the packed record.
        PPDDATA* p = PpdParse(f.wppd.c_str());
        std::vector<char> bytes(reinterpret_cast<char*>(p), reinterpret_cast<char*>(p) + p->dwSize);
        std::memset(bytes.data() + 44, 0, 20);
        std::ofstream((dir / "big.BPD").string(), std::ios::binary).write(bytes.data(), bytes.size());
        PpdDelete(p);
        return f;
    }();
    return files;
}

void BM_ParseDescription(benchmark::State& state)
{
    const Files& f = Prepared();
    for (auto _ : state) {
        PPDDATA* p = PpdParse(f.wppd.c_str());
        benchmark::DoNotOptimize(p);
        PpdDelete(p);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes));
}
BENCHMARK(BM_ParseDescription)->Unit(benchmark::kMillisecond);

void BM_LoadBinaryDescription(benchmark::State& state)
{
    const Files& f = Prepared();
    DWORD source = 0;
    for (auto _ : state) {
        PPDDATA* p = PpdCreateEx(f.wppd.c_str(), &source);
        benchmark::DoNotOptimize(p);
        PpdDelete(p);
    }
    if (source != PPDSRC_BINARY) state.SkipWithError("the binary description file was not used");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.bytes));
}
BENCHMARK(BM_LoadBinaryDescription)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
