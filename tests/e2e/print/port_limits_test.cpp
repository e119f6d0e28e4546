// Ports that must not take a job or that stop taking it: block devices and
// directories are refused, a FIFO nobody reads and a printer that reads nothing
// end the job within the time limits with a clear reason, a socket job counts
// only once the printer has read it, and file ports keep modes and never follow
// links.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <thread>

#include "e2e/print/print_files.h"
#include "spooler/port.h"

namespace print_test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

class PortLimits : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "lbl-port-limits.XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        dir = pattern;
        spool = (dir / "job").string();
        job.resize(300000);
        for (std::size_t i = 0; i < job.size(); ++i) job[i] = static_cast<std::uint8_t>(i * 7);
        WriteBytes(spool, job);
        quick.openMs = quick.writeMs = quick.drainMs = 300;
        quick.connectMs = 1000;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Delivers and measures how long it took.
    bool Deliver(const std::string& port, std::string& why, double& seconds)
    {
        auto start = Clock::now();
        bool ok = platform::DeliverToPort(port, spool, why, quick);
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        return ok;
    }

    // A loopback listener; a small receive buffer makes a printer that reads
    // nothing unable to take the whole job into its kernel's buffers.
    int Listen(int& port, int rcvbuf = 0)
    {
        int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (rcvbuf) ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        EXPECT_EQ(::listen(s, 4), 0);
        socklen_t len = sizeof a;
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
        return s;
    }

    fs::path dir;
    std::string spool;
    std::vector<std::uint8_t> job;
    platform::PortTimeouts quick;
};

TEST_F(PortLimits, BlockDevicesAndDirectoriesAreRefused)
{
    std::string why;
    platform::PortAddress a;
    EXPECT_FALSE(platform::ParsePort(dir.string(), a, why));
    EXPECT_THAT(why, HasSubstr("a directory"));
    EXPECT_FALSE(platform::CheckPort(dir.string(), why));
    EXPECT_FALSE(platform::DeliverToPort(dir.string(), spool, why));
    EXPECT_FALSE(platform::CheckPort((dir / "none" / "out.prn").string(), why));
    EXPECT_TRUE(platform::CheckPort((dir / "out.prn").string(), why)) << why;

    std::string block;
    for (const auto& e : fs::directory_iterator("/dev")) {
        struct stat st {};
        if (::stat(e.path().c_str(), &st) == 0 && S_ISBLK(st.st_mode)) {
            block = e.path().string();
            break;
        }
    }
    if (block.empty()) GTEST_SKIP() << "no block device under /dev to try";
    EXPECT_FALSE(platform::CheckPort(block, why));
    EXPECT_THAT(why, HasSubstr("block device"));
    EXPECT_FALSE(platform::DeliverToPort(block, spool, why));
    EXPECT_THAT(why, HasSubstr("block device"));
}

TEST_F(PortLimits, StalledFifoEndsTheJob)
{
    const std::string fifo = (dir / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string why;
    double seconds = 0;
    EXPECT_FALSE(Deliver(fifo, why, seconds));  // nobody opens it
    EXPECT_THAT(why, HasSubstr("nobody read from it"));
    EXPECT_LT(seconds, 3.0);

    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // opened, never read
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(Deliver(fifo, why, seconds));
    EXPECT_THAT(why, HasSubstr("took no data"));
    EXPECT_LT(seconds, 3.0);
    ::close(reader);
}

TEST_F(PortLimits, SlowReaderMeetsTheJobDeadline)
{
    const std::string fifo = (dir / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        int fd = ::open(fifo.c_str(), O_RDONLY);
        char buf[1024];
        while (!stop && ::read(fd, buf, sizeof buf) > 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::close(fd);
    });
    quick.writeMs = 5000;
    quick.jobMs = 500;  // never stalls for long, but would take seconds in all
    std::string why;
    double seconds = 0;
    EXPECT_FALSE(Deliver(fifo, why, seconds));
    EXPECT_THAT(why, HasSubstr("not delivered within"));
    EXPECT_LT(seconds, 3.0);
    stop = true;
    reader.join();
}

TEST_F(PortLimits, SocketJobCountsOnlyWhenThePrinterReadsIt)
{
    int port = 0;
    int listener = Listen(port, 4096);  // accepts in the kernel, never reads
    job.resize(100000);
    WriteBytes(spool, job);
    std::string why;
    double seconds = 0;
    EXPECT_FALSE(Deliver("socket://127.0.0.1:" + std::to_string(port), why, seconds));
    EXPECT_THAT(why, HasSubstr("127.0.0.1:" + std::to_string(port)));
    EXPECT_THAT(why, testing::AnyOf(HasSubstr("did not read the whole job"), HasSubstr("took no data")));
    EXPECT_LT(seconds, 3.0);
    ::close(listener);
}

TEST_F(PortLimits, SocketJobThatThePrinterReadsIsDelivered)
{
    for (bool closes : {true, false}) {
        int port = 0;
        int listener = Listen(port);
        std::vector<std::uint8_t> got;
        std::thread printer([&] {
            int c = ::accept(listener, nullptr, nullptr);
            std::uint8_t buf[65536];
            ssize_t n;
            while ((n = ::read(c, buf, sizeof buf)) > 0) got.insert(got.end(), buf, buf + n);
            if (!closes) std::this_thread::sleep_for(std::chrono::milliseconds(100));
            ::close(c);
        });
        std::string why;
        double seconds = 0;
        EXPECT_TRUE(Deliver("socket://127.0.0.1:" + std::to_string(port), why, seconds)) << why;
        printer.join();
        EXPECT_TRUE(got == job);
        ::close(listener);
    }
}

TEST_F(PortLimits, FilePortsKeepModesAndNeverFollowLinks)
{
    std::string why;
    const std::string fresh = (dir / "new.prn").string();
    const mode_t old = ::umask(027);
    EXPECT_TRUE(platform::DeliverToPort(fresh, spool, why)) << why;
    ::umask(old);
    EXPECT_EQ(fs::status(fresh).permissions(), fs::perms(0640));

    const std::string kept = (dir / "kept.prn").string();
    WriteBytes(kept, {'x'});
    ::chmod(kept.c_str(), 0604);
    EXPECT_TRUE(platform::DeliverToPort(kept, spool, why)) << why;
    EXPECT_EQ(fs::status(kept).permissions(), fs::perms(0604));
    EXPECT_TRUE(ReadBytes(kept) == job);

    const std::string victim = (dir / "victim").string();
    WriteBytes(victim, {'v'});
    const std::string link = (dir / "link.prn").string();
    fs::create_symlink(victim, link);
    EXPECT_FALSE(platform::DeliverToPort(link, spool, why));
    EXPECT_THAT(why, HasSubstr("symbolic link"));
    EXPECT_EQ(ReadBytes(victim), std::vector<std::uint8_t>{'v'});
    EXPECT_TRUE(fs::is_symlink(link));

    // A temporary left by a delivery killed before its rename is removed by the next.
    pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string stale = kept + ".tmp-" + std::to_string(dead) + "-abcdef";
    WriteBytes(stale, job);
    EXPECT_TRUE(platform::DeliverToPort(kept, spool, why)) << why;
    EXPECT_FALSE(fs::exists(stale));
}

}  // namespace
}  // namespace print_test
