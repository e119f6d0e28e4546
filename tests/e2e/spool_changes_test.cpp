// One command, one change: what lblctl printer set and labels import write is
// kept whole or not at all, whether two commands race or one is killed at any
// of its writes; a damaged spool database is reported, never shown as empty.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>

#include <nlohmann/json.hpp>

#include "e2e/lblctl_run.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

class LblctlSpoolChanges : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunResult add = Lblctl({"printer", "add", name, "--ppd", TestPpd()});
        ASSERT_EQ(add.status, 0) << add.err;
    }
    void TearDown() override { Lblctl({"printer", "remove", name}); }

    RunResult KilledAt(int write, const std::vector<std::string>& args)
    {
        return LblctlWith({{"LBL_SPOOL_EXIT_AT_WRITE=" + std::to_string(write)}}, args);
    }
    std::vector<BYTE> Value(const char* value) { return PrinterValue(name, value).value_or(std::vector<BYTE>{}); }
    std::vector<std::string> LabelNames()
    {
        RunResult r = Lblctl({"labels", "export", name});
        std::vector<std::string> names;
        if (r.status != 0) return names;
        for (const auto& label : Json::parse(r.out)) names.push_back(label["szLabelName"]);
        return names;
    }

    std::string name = "Racer";
};

TEST_F(LblctlSpoolChanges, ConcurrentSetsOfDifferentFieldsBothStay)
{
    for (int round = 0; round < 12; ++round) {
        ASSERT_EQ(Lblctl({"printer", "set", name, "bExpansionRAM=0", "bPassThrough=0"}).status, 0);
        auto a = std::async(std::launch::async, [&] { return Lblctl({"printer", "set", name, "bExpansionRAM=1"}); });
        auto b = std::async(std::launch::async, [&] { return Lblctl({"printer", "set", name, "bPassThrough=1"}); });
        RunResult ra = a.get(), rb = b.get();
        ASSERT_EQ(ra.status, 0) << ra.err;
        ASSERT_EQ(rb.status, 0) << rb.err;
        std::vector<BYTE> prop = Value("PrinterData");
        EXPECT_EQ(Dword(prop, 8), 1u) << "round " << round << ": bExpansionRAM lost";
        EXPECT_EQ(Dword(prop, 12), 1u) << "round " << round << ": bPassThrough lost";
    }
}

TEST_F(LblctlSpoolChanges, ConcurrentImportsLeaveEveryLabelItsForm)
{
    std::string one = WriteFile("one.json", R"([{"szLabelName": "Race A1", "lWidth": 50000}, {"szLabelName": "Race A2"}])");
    std::string two = WriteFile("two.json", R"([{"szLabelName": "Race B1", "lWidth": 60000}])");
    for (int round = 0; round < 10; ++round) {
        auto a = std::async(std::launch::async, [&] { return Lblctl({"labels", "import", name, one}); });
        auto b = std::async(std::launch::async, [&] { return Lblctl({"labels", "import", name, two}); });
        RunResult ra = a.get(), rb = b.get();
        ASSERT_EQ(ra.status, 0) << ra.err;
        ASSERT_EQ(rb.status, 0) << rb.err;
        std::vector<std::string> labels = LabelNames();
        ASSERT_FALSE(labels.empty());
        for (const std::string& label : labels) EXPECT_TRUE(FindForm(label)) << "round " << round << ": " << label;
        bool isOne = labels.size() == 2;
        for (const char* other : {"Race A1", "Race A2", "Race B1"})
            if (std::find(labels.begin(), labels.end(), other) == labels.end())
                EXPECT_FALSE(FindForm(other)) << "round " << round << ": stray form " << other << (isOne ? " (one)" : " (two)");
    }
}

// What a set's Apply writes ("PrinterData", "PrinterHT", "SpotColor") is old
// together or new together at every kill.
TEST_F(LblctlSpoolChanges, SetKilledAtEveryWriteIsOldOrNewWhole)
{
    const std::vector<BYTE> oldProp = Value("PrinterData"), oldHt = Value("PrinterHT"), oldSpot = Value("SpotColor");
    const std::vector<std::string> set = {"printer", "set", name, "bExpansionRAM=1", "PP_HALFTONE=1"};
    int kills = 0;
    for (int write = 1; write < 200; ++write) {
        RunResult r = KilledAt(write, set);
        std::vector<BYTE> prop = Value("PrinterData"), ht = Value("PrinterHT"), spot = Value("SpotColor");
        if (r.status == 0) {
            EXPECT_EQ(Dword(prop, 8), 1u);
            EXPECT_EQ(Dword(ht, 0), 1u);
            break;
        }
        ASSERT_EQ(r.status, 86) << r.err;
        ++kills;
        EXPECT_EQ(prop, oldProp) << "write " << write;
        EXPECT_EQ(ht, oldHt) << "write " << write;
        EXPECT_EQ(spot, oldSpot) << "write " << write;
    }
    EXPECT_GE(kills, 3);
}

TEST_F(LblctlSpoolChanges, ImportKilledAtEveryWriteKeepsLabelsAndFormsTogether)
{
    const std::vector<std::string> oldLabels = LabelNames();
    ASSERT_EQ(oldLabels.size(), 1u);
    std::string file = WriteFile("kill.json", R"([{"szLabelName": "Kill K1", "lWidth": 50000}, {"szLabelName": "Kill K2"}])");
    int kills = 0;
    for (int write = 1; write < 200; ++write) {
        RunResult r = KilledAt(write, {"labels", "import", name, file});
        std::vector<std::string> labels = LabelNames();
        bool isNew = r.status == 0;
        if (!isNew) {
            ASSERT_EQ(r.status, 86) << r.err;
            ++kills;
        }
        const std::vector<std::string> fresh = {"Kill K1", "Kill K2"};
        EXPECT_EQ(labels, isNew ? fresh : oldLabels) << "write " << write;
        EXPECT_EQ(bool(FindForm("Kill K1")), isNew) << "write " << write;
        EXPECT_EQ(bool(FindForm("Kill K2")), isNew) << "write " << write;
        EXPECT_EQ(bool(FindForm(oldLabels[0])), !isNew) << "write " << write;
        if (isNew) break;
    }
    EXPECT_GE(kills, 3);
}

// A white 40 x 40 picture.
std::string Picture()
{
    std::string pnm = "P6\n40 40\n255\n" + std::string(40 * 40 * 3, '\xff');
    return WriteFile("white.ppm", pnm);
}

TEST_F(LblctlSpoolChanges, LabelWithoutItsFormIsNotPrintedOnAnother)
{
    std::string port = (fs::path(SpoolDir()).parent_path() / "formless.prn").string();
    ASSERT_EQ(Lblctl({"printer", "remove", name}).status, 0);
    ASSERT_EQ(Lblctl({"printer", "add", name, "--ppd", TestPpd(), "--port", port}).status, 0);
    std::string labels = WriteFile("formless.json", R"([{"szLabelName": "Form First", "lWidth": 50000, "lHeight": 30000},
                                                       {"szLabelName": "Form Alpha", "lWidth": 80000, "lHeight": 60000}])");
    ASSERT_EQ(Lblctl({"labels", "import", name, labels}).status, 0);
    ASSERT_EQ(Lblctl({"forms", "delete", "Form Alpha"}).status, 0);
    RunResult r = Lblctl({"print", name, "--label", "Form Alpha", Picture()});
    // Refused, or printed on its own label: never on the first label's size.
    if (r.status != 0) {
        EXPECT_EQ(LineCount(r.err), 1) << r.err;
        EXPECT_FALSE(fs::exists(port));
    } else {
        RunResult listing = Lblctl({"inspect", port});
        EXPECT_THAT(listing.out, HasSubstr("width 80.0 mm, height 60.0 mm"));
        EXPECT_THAT(listing.out, Not(HasSubstr("width 50.0 mm")));
    }
}

TEST_F(LblctlSpoolChanges, FilesOfKilledJobsAreRemovedByTheNextJob)
{
    pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const fs::path stale = fs::path(SpoolDir()) / ("job-" + std::to_string(dead) + "-abcdef");
    std::ofstream(stale) << "left by a killed job";
    RunResult r = Lblctl({"print", name, Picture()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists(stale));
    for (const auto& e : fs::directory_iterator(SpoolDir()))
        EXPECT_NE(e.path().filename().string().rfind("job-", 0), 0u) << e.path();
}

// A copy of the spool database, damaged, in a spool directory of its own.
class LblctlDamagedSpool : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::path(SpoolDir()).parent_path() / "damaged";
        fs::create_directories(dir);
        path = (dir / "spool.db").string();
    }
    void TearDown() override { fs::remove_all(dir); }
    RunResult Run(const std::vector<std::string>& args)
    {
        std::vector<std::string> all = {"--spool", dir.string()};
        all.insert(all.end(), args.begin(), args.end());
        return LblctlWith({.spool = false}, all);
    }
    static std::string Bytes(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir;
    std::string path;
};

TEST_F(LblctlDamagedSpool, IsReportedAndLeftAlone)
{
    std::ofstream(path, std::ios::binary) << std::string(3000, '\x5a');
    const std::string before = Bytes(path);
    for (auto args : std::vector<std::vector<std::string>>{{"printer", "list"},
                                                           {"printer", "add", "P", "--ppd", TestPpd()},
                                                           {"labels", "export", "P"}}) {
        RunResult r = Run(args);
        EXPECT_EQ(r.status, 1) << args[1];
        EXPECT_THAT(r.err, HasSubstr(path)) << args[1];
        EXPECT_THAT(r.err, HasSubstr("not a database")) << args[1];
        EXPECT_EQ(LineCount(r.err), 1);
    }
    RunResult check = Run({"spool", "check"});
    EXPECT_EQ(check.status, 1);
    EXPECT_THAT(check.out, HasSubstr(path + ": file is not a database"));
    EXPECT_THAT(check.err, HasSubstr("damaged"));
    EXPECT_EQ(Bytes(path), before);
    EXPECT_FALSE(fs::exists(path + "-wal"));
    // Descriptions need no spooler.
    EXPECT_EQ(Run({"ppd", "info", TestPpd()}).status, 0);
}

TEST_F(LblctlDamagedSpool, CheckOfAWholeDatabaseSaysOk)
{
    ASSERT_EQ(Run({"printer", "list"}).status, 0);
    RunResult check = Run({"spool", "check"});
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(check.out, path + ": ok\n");
}

TEST(LblctlNoHome, SaysHowToGiveASpoolDirectory)
{
    fs::path cwd = fs::path(SpoolDir()).parent_path() / "cwd";
    fs::create_directories(cwd);
    RunResult r = LblctlWith({.env = {"-HOME", "-XDG_DATA_HOME"}, .spool = false, .cwd = cwd.string()},
                             {"printer", "list"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("--spool DIR"));
    EXPECT_TRUE(fs::is_empty(cwd));
}

}  // namespace
}  // namespace e2e
