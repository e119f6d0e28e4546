// Failed jobs: one line on standard error, a non-zero exit and nothing at the
// port; and delivery to a socket port.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "e2e/print/print_env.h"

namespace print_test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

bool NoSpoolFilesLeft()
{
    for (const auto& entry : fs::directory_iterator(e2e::SpoolDir()))
        if (entry.path().filename().string().rfind("job-", 0) == 0) return false;
    return true;
}

void ExpectOneLineFailure(const e2e::RunResult& r, const std::string& reason)
{
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(e2e::LineCount(r.err), 1) << r.err;
    EXPECT_THAT(r.err, HasSubstr(reason));
}

std::string SmallPng()
{
    const std::string png = TestPath("small.png");
    if (!fs::exists(png)) WritePng(png, RgbPicture(40, 30, [](int x, int y) { return (x + y) % 2 ? 0u : 0xFFFFFFu; }));
    return png;
}

TEST(PrintFailure, UnknownPrinterOrLabel)
{
    EnsurePrinter(kMono, 1);
    ExpectOneLineFailure(e2e::Lblctl({"print", "No Such Printer", SmallPng()}), "No Such Printer");
    e2e::RunResult label = e2e::Lblctl({"print", kMono, SmallPng(), "--label", "Nope"});
    ExpectOneLineFailure(label, "Nope");
    EXPECT_THAT(label.err, HasSubstr("Standard Label"));  // the printer's labels are listed
    ExpectOneLineFailure(e2e::Lblctl({"print", kMono, SmallPng(), "--color", "4color"}), "monochrome");
    ExpectOneLineFailure(e2e::Lblctl({"print", kMono, SmallPng(), "--resolution", "600"}), "600 dpi");
    ExpectOneLineFailure(e2e::Lblctl({"print", kMono, SmallPng(), "--set", "bFancy=1"}), "bFancy");
}

TEST(PrintFailure, UnreadablePageSendsNothing)
{
    EnsurePrinter(kMono, 1);
    const std::string broken = TestPath("broken.png"), out = TestPath("broken.prn");
    // A PNG signature followed by garbage: recognised as PNG, not decodable.
    WriteBytes(broken, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 1, 2, 3, 4, 5, 6, 7, 8});
    ExpectOneLineFailure(e2e::Lblctl({"print", kMono, SmallPng(), broken, "--output", out}), "broken.png");
    EXPECT_FALSE(fs::exists(out));

    const std::string text = TestPath("notes.txt");
    WriteBytes(text, {'h', 'e', 'l', 'l', 'o'});
    ExpectOneLineFailure(e2e::Lblctl({"print", kMono, text, "--output", out}), "not a PNG, PNM or PDF");
    const std::string pdf = TestPath("broken.pdf");
    WriteBytes(pdf, {'%', 'P', 'D', 'F', '-', '1', '.', '4', '\n', 'x'});
    ExpectOneLineFailure(e2e::Lblctl({"print", kMono, pdf, "--output", out}), "broken.pdf");
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(NoSpoolFilesLeft());
}

// Runs lblctl print with a limit on the size of the files it writes, so that the
// job fails part way through.
int RunWithFileSizeLimit(const std::vector<std::string>& args, rlim_t limit)
{
    std::vector<std::string> all = {LBLCTL_PATH, "--spool", e2e::SpoolDir()};
    all.insert(all.end(), args.begin(), args.end());
    const pid_t pid = fork();
    if (pid == 0) {
        rlimit rl{limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        signal(SIGXFSZ, SIG_IGN);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> argv;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PrintFailure, WriteFailureInTheMiddleLeavesNoOutputFile)
{
    EnsurePrinter(kMono, 1);
    const std::string png = TestPath("big.png"), out = TestPath("limited.prn");
    WritePng(png, RgbPicture(kMonoCx, kMonoCy, [](int x, int y) { return (x * 7 + y * 13) % 3 ? 0u : 0xFFFFFFu; }));
    EXPECT_NE(RunWithFileSizeLimit({"print", kMono, png, "--output", out}, 20000), 0);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(NoSpoolFilesLeft());
    for (const auto& entry : fs::directory_iterator(fs::path(out).parent_path()))
        EXPECT_EQ(entry.path().filename().string().rfind("limited.prn", 0), std::string::npos) << entry.path();
}

TEST(PrintFailure, DevicePortThatFailsIsAnError)
{
    EnsurePrinter(kMono, 1);
    ExpectOneLineFailure(e2e::Lblctl({"print", kMono, SmallPng(), "--output", "/dev/full"}), "/dev/full");
}

// A listener on 127.0.0.1 that the test owns; Received() collects what one client sends.
struct Listener {
    int fd = -1;
    int port = 0;
    Listener()
    {
        fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        EXPECT_EQ(listen(fd, 1), 0);
        socklen_t len = sizeof a;
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Listener() { close(fd); }
    // Accepts one client and reads until it closes; gives up after 20 seconds.
    std::vector<std::uint8_t> Received()
    {
        std::vector<std::uint8_t> bytes;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 20000) != 1) return bytes;
        const int c = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::uint8_t buf[65536];
        while (c >= 0 && std::chrono::steady_clock::now() < deadline) {
            pollfd q{c, POLLIN, 0};
            if (poll(&q, 1, 1000) < 0) break;
            const ssize_t n = read(c, buf, sizeof buf);
            if (n <= 0 && !(n < 0 && errno == EINTR)) {
                if (n == 0 || errno != EAGAIN) break;
            }
            if (n > 0) bytes.insert(bytes.end(), buf, buf + n);
        }
        if (c >= 0) close(c);
        return bytes;
    }
};

TEST(PrintPort, SocketReceivesTheWholeJob)
{
    const std::string name = "Print Socket";
    EnsurePrinter(kMono, 1);
    Listener listener;
    const std::string port = "socket://127.0.0.1:" + std::to_string(listener.port);
    ASSERT_EQ(e2e::Lblctl({"printer", "add", name, "--ppd", e2e::TestPpd(1), "--port", port}).status, 0);
    auto received = std::async(std::launch::async, [&] { return listener.Received(); });
    e2e::RunResult r = e2e::Lblctl({"print", name, SmallPng()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::uint8_t> bytes = received.get();
    // The same document sent to a file is the same stream.
    const std::string out = TestPath("socket-copy.prn");
    ASSERT_EQ(e2e::Lblctl({"print", name, SmallPng(), "--output", out}).status, 0);
    EXPECT_FALSE(bytes.empty());
    EXPECT_TRUE(bytes == ReadBytes(out));
}

TEST(PrintPort, UnreachableSocketIsAnError)
{
    const std::string name = "Print Refused";
    int port = 0;
    {
        Listener closed;  // a port that was free a moment ago, now closed again
        port = closed.port;
    }
    ASSERT_EQ(e2e::Lblctl({"printer", "add", name, "--ppd", e2e::TestPpd(1), "--port",
                           "socket://127.0.0.1:" + std::to_string(port)})
                  .status,
              0);
    ExpectOneLineFailure(e2e::Lblctl({"print", name, SmallPng()}), "127.0.0.1:" + std::to_string(port));
    EXPECT_TRUE(NoSpoolFilesLeft());
}

}  // namespace
}  // namespace print_test
