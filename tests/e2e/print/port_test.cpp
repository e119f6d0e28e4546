// Ports: how port strings are read, and delivery to files and device nodes.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/print/print_files.h"
#include "spooler/port.h"

namespace print_test {
namespace {

namespace fs = std::filesystem;

TEST(Port, ReadsSocketAddresses)
{
    platform::PortAddress a;
    std::string why;
    ASSERT_TRUE(platform::ParsePort("socket://printer.local", a, why));
    EXPECT_EQ(a.kind, platform::PortKind::Socket);
    EXPECT_EQ(a.host, "printer.local");
    EXPECT_EQ(a.port, 9100);
    ASSERT_TRUE(platform::ParsePort("socket://10.0.0.7:9101/", a, why));
    EXPECT_EQ(a.host, "10.0.0.7");
    EXPECT_EQ(a.port, 9101);
    ASSERT_TRUE(platform::ParsePort("socket://[::1]:515", a, why));
    EXPECT_EQ(a.host, "::1");
    EXPECT_EQ(a.port, 515);
    for (const char* bad : {"socket://", "socket://host:", "socket://host:0", "socket://host:70000",
                            "socket://host:12x", "socket://[::1", ""})
        EXPECT_FALSE(platform::ParsePort(bad, a, why)) << bad;
}

TEST(Port, PathsAreFilesOrDevices)
{
    platform::PortAddress a;
    std::string why;
    ASSERT_TRUE(platform::ParsePort("/dev/null", a, why));
    EXPECT_EQ(a.kind, platform::PortKind::Device);
    ASSERT_TRUE(platform::ParsePort("/tmp/some/label.prn", a, why));
    EXPECT_EQ(a.kind, platform::PortKind::File);
}

TEST(Port, FileDeliveryIsWholeOrNothing)
{
    std::string pattern = (fs::temp_directory_path() / "lbl-port.XXXXXX").string();
    ASSERT_TRUE(mkdtemp(pattern.data()));
    const fs::path dir = pattern;
    const std::string spool = (dir / "job").string();
    std::vector<std::uint8_t> job(300000);
    for (std::size_t i = 0; i < job.size(); ++i) job[i] = static_cast<std::uint8_t>(i * 31);
    WriteBytes(spool, job);

    std::string why;
    const std::string target = (dir / "out.prn").string();
    WriteBytes(target, {'o', 'l', 'd'});
    ASSERT_TRUE(platform::DeliverToPort(target, spool, why)) << why;
    EXPECT_TRUE(ReadBytes(target) == job);

    // A directory that does not exist: an error and no file.
    EXPECT_FALSE(platform::DeliverToPort((dir / "missing" / "out.prn").string(), spool, why));
    EXPECT_NE(why.find("missing"), std::string::npos);
    // A device that refuses the bytes.
    EXPECT_FALSE(platform::DeliverToPort("/dev/full", spool, why));
    EXPECT_NE(why.find("/dev/full"), std::string::npos);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 2u);  // the spool file and out.prn; no temporary left
    fs::remove_all(dir);
}

}  // namespace
}  // namespace print_test
