#include "lblprint/app_run.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <thread>

namespace lblprint_test {
namespace fs = std::filesystem;

std::string Request(const std::string& operation, const std::string& uriAttribute)
{
    return "{\nOPERATION " + operation +
           "\nGROUP operation-attributes-tag\n"
           "ATTR charset attributes-charset utf-8\n"
           "ATTR naturalLanguage attributes-natural-language en\n"
           "ATTR uri " + uriAttribute + " $uri\n";
}

Run RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env)
{
    Run r;
    int fds[2];
    if (::pipe(fds) != 0) return r;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        ::close(fds[0]);
        ::close(fds[1]);
        for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) r.out.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::vector<char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

App::App()
{
    std::string tmpl = (fs::temp_directory_path() / "lblprint-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data())) dir_ = tmpl;
    fs::create_directories(dir_ + "/tmp");
    // A scheduler's filters run as another user and read its files below this directory.
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    port_ = 20000 + static_cast<int>(::getpid() % 20000);
    // PAPPL names the socket of a server and its subcommands after the program: run
    // as root it is /run/NAME.sock, shared by every server of that name. The test's
    // own name keeps it off an installed server's socket and other tests' servers.
    program_ = dir_ + "/lblprint-test-" + std::to_string(port_);
    std::error_code ec;
    fs::create_symlink(LBLPRINT_PATH, program_, ec);
}

App::~App()
{
    Stop();
    std::error_code ec;
    // The server's socket when run as root (see App()).
    if (::geteuid() == 0) fs::remove("/run/" + fs::path(program_).filename().string() + ".sock", ec);
    if (!dir_.empty()) fs::remove_all(dir_, ec);
}

bool App::Start()
{
    pid_ = ::fork();
    if (pid_ == 0) {
        // The server ends with the test, even when the test is killed.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        const std::string log = dir_ + "/app.log";
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        const std::string tmp = "TMPDIR=" + dir_ + "/tmp";
        ::putenv(const_cast<char*>(tmp.c_str()));
        const std::string spool = "spool-directory=" + dir_ + "/state", port = "server-port=" + std::to_string(port_);
        ::execl(program_.c_str(), program_.c_str(), "server", "-o", spool.c_str(), "-o", port.c_str(), "-o",
                "log-level=info", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 200; ++i) {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(port_));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool up = ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        ::close(s);
        if (up) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // The port takes connections before the server answers them, and before it
    // listens on the socket its subcommands use.
    for (int i = 0; i < 200; ++i) {
        const Run r = Ipp("ipp://localhost:" + std::to_string(port_) + "/ipp/system", Request("Get-System-Attributes", "system-uri") + R"(ATTR keyword requested-attributes system-state
STATUS successful-ok
}
)");
        if (r.status == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void App::Stop()
{
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string App::PrinterUri(const std::string& name) const
{
    std::string path;
    for (char c : name) path += c == ' ' ? std::string("%20") : std::string(1, c);
    return "ipp://localhost:" + std::to_string(port_) + "/ipp/print/" + path;
}

Run App::Ipp(const std::string& uri, const std::string& text, const std::map<std::string, std::string>& vars)
{
    const std::string file = dir_ + "/request-" + std::to_string(++jobs_) + ".test";
    std::ofstream(file) << text;
    std::vector<std::string> argv = {"ipptool", "-tv", "-T", "30"};
    for (const auto& [name, value] : vars) {
        argv.push_back("-d");
        argv.push_back(name + "=" + value);
    }
    argv.push_back(uri);
    argv.push_back(file);
    return RunProgram(argv);
}

std::string App::AddPrinter(const std::string& name, const std::string& driver, Run* result)
{
    const std::string output = dir_ + "/" + driver + ".prn";
    std::ofstream(output).close();  // PAPPL takes file devices that exist
    const Run r = Ipp("ipp://localhost:" + std::to_string(port_) + "/ipp/system", Request("Create-Printer", "system-uri") + R"(ATTR keyword printer-service-type print
ATTR keyword smi55357-driver $driver
ATTR uri smi55357-device-uri $device
GROUP printer-attributes-tag
ATTR name printer-name $name
STATUS successful-ok
}
)",
                      {{"driver", driver}, {"device", "file://" + output}, {"name", name}});
    if (result) *result = r;
    // The application makes a new printer again under its number within a second
    // and takes jobs again after that.
    for (int i = 0; r.status == 0 && i < 100; ++i) {
        const Run id = Ipp(PrinterUri(name), Request("Get-Printer-Attributes") + R"(ATTR keyword requested-attributes printer-id,printer-is-accepting-jobs
STATUS successful-ok
EXPECT printer-id WITH-VALUE >0
EXPECT printer-is-accepting-jobs WITH-VALUE true
}
)");
        if (id.status == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return output;
}

std::string App::Print(const std::string& printer, const std::string& device, const std::string& file,
                       const std::string& format, const std::string& attrs, std::vector<char>& output)
{
    std::error_code ec;
    fs::remove(device, ec);
    output.clear();
    const Run r = Ipp(PrinterUri(printer), Request("Print-Job") + R"(ATTR name requesting-user-name test
ATTR mimeMediaType document-format $format
GROUP job-attributes-tag
)" + attrs + R"(
FILE $filename
STATUS successful-ok
}
)",
                      {{"format", format}, {"filename", file}});
    std::smatch m;
    if (!std::regex_search(r.out, m, std::regex("job-id \\(integer\\) = ([0-9]+)"))) return "not accepted: " + r.out;
    const std::string id = m[1];
    const std::string getJob = Request("Get-Job-Attributes") + R"(ATTR integer job-id $job
ATTR keyword requested-attributes job-state,job-state-message
STATUS successful-ok
}
)";
    for (int i = 0; i < 600; ++i) {
        const Run s = Ipp(PrinterUri(printer), getJob, {{"job", id}});
        if (s.out.find("job-state (enum) = completed") != std::string::npos) {
            output = ReadFile(device);
            return "";
        }
        if (s.out.find("job-state (enum) = aborted") != std::string::npos ||
            s.out.find("job-state (enum) = canceled") != std::string::npos) {
            if (std::regex_search(s.out, m, std::regex("job-state-message \\([^)]*\\) = ([^\n]*)"))) return m[1];
            return "aborted";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "the job did not end";
}

Run App::Lblctl(const std::vector<std::string>& args)
{
    std::vector<std::string> argv = {LBLCTL_PATH, "--spool", Spool()};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv);
}

std::vector<char> App::Reference(const std::string& printer, const std::string& file,
                                 const std::vector<std::string>& options)
{
    const std::string out = dir_ + "/reference.prn";
    std::error_code ec;
    fs::remove(out, ec);
    std::vector<std::string> args = {"print", printer, file, "--output", out};
    args.insert(args.end(), options.begin(), options.end());
    const Run r = Lblctl(args);
    if (r.status != 0) return std::vector<char>(r.out.begin(), r.out.end());
    return ReadFile(out);
}

}  // namespace lblprint_test
