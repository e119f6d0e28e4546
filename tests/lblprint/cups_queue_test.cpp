// The application's printer as an IPP Everywhere queue of a private CUPS
// scheduler on loopback: a PDF printed with lp comes out as lblctl prints it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "e2e/print/print_files.h"
#include "lblprint/app_run.h"

namespace lblprint_test {
namespace {
namespace fs = std::filesystem;

// cupsd in the foreground with its own configuration, directories and port.
class PrivateCups {
public:
    PrivateCups(const std::string& dir, int port) : dir_(dir), port_(port)
    {
        for (const char* sub : {"spool", "cache", "state", "log", "tmp"}) fs::create_directories(dir_ + "/" + sub);
        std::ofstream(dir_ + "/cupsd.conf") << "Listen 127.0.0.1:" << port_ << R"(
LogLevel info
WebInterface No
Browsing No
DefaultAuthType None
<Location />
Order allow,deny
Allow all
</Location>
<Location /admin>
Order allow,deny
Allow all
</Location>
<Policy default>
<Limit All>
Order deny,allow
</Limit>
</Policy>
)";
        std::ofstream(dir_ + "/cups-files.conf") << "ServerRoot " << dir_ << "\nRequestRoot " << dir_ << "/spool\n"
                                                 << "CacheDir " << dir_ << "/cache\nStateDir " << dir_ << "/state\n"
                                                 << "TempDir " << dir_ << "/tmp\nErrorLog " << dir_ << "/log/error_log\n"
                                                 << "AccessLog " << dir_ << "/log/access_log\nPageLog " << dir_
                                                 << "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n";
    }
    ~PrivateCups()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool Start()
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            const std::string conf = dir_ + "/cupsd.conf", files = dir_ + "/cups-files.conf";
            ::execlp("cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            if (RunProgram({"lpstat", "-h", Server(), "-r"}).out.find("is running") != std::string::npos) return true;
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    std::string Server() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Log() const
    {
        const std::vector<char> log = ReadFile(dir_ + "/log/error_log");
        return std::string(log.begin(), log.end());
    }

private:
    std::string dir_;
    int port_;
    pid_t pid_ = -1;
};

TEST(LblprintCups, AnEverywhereQueuePrintsAPdfAsLblctlDoes)
{
    if (RunProgram({"sh", "-c", "command -v cupsd && command -v lpadmin && command -v lp"}).status != 0)
        GTEST_SKIP() << "the cups and cups-client packages are not installed";
    App app;
    ASSERT_TRUE(app.Start());
    const std::string device = app.AddPrinter("Counter", "lbl-model1");
    PrivateCups cups(app.Dir() + "/cups", app.Port() + 1);
    if (!cups.Start()) GTEST_SKIP() << "cupsd does not run for this user here: " << cups.Log();

    // The label's own size: a page of 80 x 74.2 mm.
    const std::string pdf = app.Dir() + "/label.pdf";
    print_test::WritePdf(pdf, 80 / 25.4 * 72, 74.2 / 25.4 * 72, {{20, 20, 120, 60}, });
    const lblprint_test::Run added = RunProgram({"lpadmin", "-h", cups.Server(), "-p", "Counter", "-E", "-v",
                                  app.PrinterUri("Counter"), "-m", "everywhere"});
    ASSERT_EQ(added.status, 0) << added.out << cups.Log();
    const std::vector<char> want = app.Reference("Counter", pdf, {});
    ASSERT_GT(want.size(), 100u);
    // The queue's default page size is one of its sizes, the printer's label.
    const lblprint_test::Run options = RunProgram({"lpoptions", "-h", cups.Server(), "-p", "Counter", "-l"});
    EXPECT_THAT(options.out, ::testing::HasSubstr("*80x74.2mm ")) << options.out;
    // Printed on the queue's defaults, and with the label named as the application has it.
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{}, std::vector<std::string>{"-o", "media=om_counter-standard-label_80x74.2mm"}}) {
        fs::remove(device);
        std::vector<std::string> lp = {"lp", "-h", cups.Server(), "-d", "Counter"};
        lp.insert(lp.end(), extra.begin(), extra.end());
        lp.push_back(pdf);
        const lblprint_test::Run printed = RunProgram(lp);
        ASSERT_EQ(printed.status, 0) << printed.out;
        for (int i = 0; i < 300 && !fs::exists(device); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ASSERT_TRUE(fs::exists(device)) << cups.Log();
        // The device file is complete once the job is; give the last write a moment.
        std::vector<char> got;
        for (int i = 0; i < 50 && (got = ReadFile(device)) != want; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_TRUE(got == want) << (extra.empty() ? "queue defaults" : extra[1]) << ": " << got.size()
                                 << " bytes, lblctl " << want.size();
    }

    // A size no label has and beyond the model's limits: CUPS asks the application
    // first, which refuses it, and the job ends without a byte printed.
    fs::remove(device);
    const lblprint_test::Run big =
        RunProgram({"lp", "-h", cups.Server(), "-d", "Counter", "-o", "media=Custom.500x600mm", pdf});
    ASSERT_EQ(big.status, 0) << big.out;
    lblprint_test::Run pending;
    for (int i = 0; i < 100; ++i) {
        pending = RunProgram({"lpstat", "-h", cups.Server(), "-W", "not-completed", "-o", "Counter"});
        if (pending.out.find("Counter-") == std::string::npos) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(pending.out.find("Counter-"), std::string::npos) << pending.out;
    EXPECT_FALSE(fs::exists(device));
    EXPECT_THAT(cups.Log(), ::testing::HasSubstr("Printer cannot print with supplied options"));
}

}  // namespace
}  // namespace lblprint_test
