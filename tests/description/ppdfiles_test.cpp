// The model description files of ppd/, and real-world description files
// installed by the system's printer driver packages.
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "description/ppdtest.h"

using namespace ppdtest;
namespace fs = std::filesystem;

namespace {

std::string ModelFile(int model)
{
    return std::string(LBL_SOURCE_DIR) + "/ppd/model" + std::to_string(model) + ".ppd";
}

bool HaveProgram(const char* name)
{
    std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

}  // namespace

TEST(ModelFiles, EachModelDescribesItself)
{
    for (int model = 0; model <= 10; ++model) {
        SCOPED_TRACE(model);
        Record r(PpdParse(Wide(ModelFile(model)).c_str()));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->dwLanguageLevel, static_cast<DWORD>(model));
        EXPECT_EQ(r->bColorDevice, model == 0 ? 1u : 0u);
        EXPECT_EQ(Str(PpdNickName(r.get())), "LBL Model " + std::to_string(model) + " Label Printer");
        EXPECT_EQ(r->wLsOrientation, 1);
        EXPECT_GT(r->dwMaxMediaWidth, 0u);
        EXPECT_GT(r->dwMaxMediaHeight, 0u);
        const UIGROUP* slots = PpdPredefGroup(r.get(), PPDGROUP_INPUTSLOT);
        ASSERT_NE(slots, nullptr);
        EXPECT_EQ(PpdOptionCount(r.get(), slots), 2u);
        const UIGROUP* res = PpdPredefGroup(r.get(), PPDGROUP_RESOLUTION);
        ASSERT_NE(res, nullptr);
        EXPECT_NE(PpdFindResolution(r.get(), static_cast<LONG>(PpdDefaultResolution(r.get()))), nullptr);
        for (const UIOPTION* o = PpdFirstOption(r.get(), res); o; o = PpdNextOption(r.get(), o))
            EXPECT_NE(PpdResOption(res, o)->pstrSetResolution, 0u);
    }
}

TEST(ModelFiles, AcceptedByCupsTestPpd)
{
    if (!HaveProgram("cupstestppd")) GTEST_SKIP() << "cupstestppd is not installed";
    for (int model = 0; model <= 10; ++model) {
        std::string cmd = "cupstestppd -q '" + ModelFile(model) + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << ModelFile(model);
    }
}

namespace {

bool Gunzip(const fs::path& file, std::string* out)
{
    gzFile gz = gzopen(file.c_str(), "rb");
    if (!gz) return false;
    char buf[65536];
    int n;
    while ((n = gzread(gz, buf, sizeof(buf))) > 0) out->append(buf, static_cast<std::size_t>(n));
    bool ok = n == 0;
    gzclose(gz);
    return ok && out->size() < (64u << 20);
}

}  // namespace

// Every installed description either builds or fails cleanly, and never leaks.
TEST(RealWorldFiles, InstalledDescriptionsBuildOrFailCleanly)
{
    std::vector<fs::path> files;
    std::vector<std::string> roots = {"/usr/share/ppd", "/usr/share/cups/model", "/usr/share/cups/drv"};
    if (const char* extra = std::getenv("LBL_EXTRA_PPD_DIR")) roots.push_back(extra);  // e.g. files extracted by hand
    for (const std::string& root : roots) {
        std::error_code ec;
        if (!fs::is_directory(root, ec)) continue;
        for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (ec) break;
            const std::string name = it->path().filename().string();
            if (it->is_regular_file(ec) && (name.ends_with(".ppd") || name.ends_with(".PPD") || name.ends_with(".ppd.gz")))
                files.push_back(it->path());
            if (files.size() >= 400) break;  // keeps the run short on machines with many drivers
        }
    }
    if (files.empty()) GTEST_SKIP() << "no printer description files are installed";

    ScratchDir dir;
    const long before = LiveDriverBlocks();
    int built = 0;
    for (const auto& file : files) {
        std::string path = file.string();
        if (path.ends_with(".gz")) {
            std::string text;
            if (!Gunzip(file, &text)) continue;
            path = dir.Write("unzipped.ppd", text);
        }
        PPDDATA* r = PpdParse(Wide(path).c_str());
        if (r) {
            ++built;
            // Walk everything the record offers.
            for (const UIGROUP* g = PpdFirstGroup(r); g; g = PpdNextGroup(r, g))
                for (const UIOPTION* o = PpdFirstOption(r, g); o; o = PpdNextOption(r, o))
                    EXPECT_NE(PpdOptionName(r, o), nullptr);
        }
        PpdDelete(r);
        EXPECT_EQ(LiveDriverBlocks(), before) << path;
    }
    // Descriptions with names or translations longer than 40 characters are
    // refused as a whole, so the share that builds varies with the packages.
    std::printf("%d of %zu installed descriptions built\n", built, files.size());
}

// Builds from several threads at once (the keyword table and its hash are
// process-wide) give the same records as one thread alone.
TEST(ModelFiles, ConcurrentBuildsAgree)
{
    std::vector<std::vector<BYTE>> expected;
    for (int model = 0; model <= 10; ++model) {
        Record r(PpdParse(Wide(ModelFile(model)).c_str()));
        ASSERT_TRUE(r);
        expected.emplace_back(reinterpret_cast<BYTE*>(r.get()), reinterpret_cast<BYTE*>(r.get()) + r->dwSize);
    }
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 22; ++i) {
                const int model = (t * 3 + i) % 11;
                PPDDATA* r = PpdParse(Wide(ModelFile(model)).c_str());
                const auto& want = expected[static_cast<std::size_t>(model)];
                if (!r || r->dwSize != want.size() || std::memcmp(r, want.data(), want.size()) != 0) ++mismatches;
                PpdDelete(r);
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(mismatches.load(), 0);
}
