#include "e2e/lblctl_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/codepage.h"
#include "spooler/spooler.h"

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;

namespace {

struct TempDir {
    std::string path;
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "lblctl-e2e.XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path = pattern;
        platform::SetSpoolDirectory(path + "/spool");
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Printer {
    HANDLE h = nullptr;
    explicit Printer(const std::string& name)
    {
        SpoolDir();
        std::u16string wname = platform::Widen(name);
        if (!OpenPrinterW(wname.data(), &h, nullptr)) h = nullptr;
    }
    ~Printer()
    {
        if (h) ClosePrinter(h);
    }
};

}  // namespace

const std::string& SpoolDir()
{
    static TempDir dir;
    static std::string spool = dir.path + "/spool";
    return spool;
}

std::string TestPpd(int model)
{
    std::string name = "model" + std::to_string(model) + ".ppd";
    fs::path dir = fs::path(SpoolDir()).parent_path() / "ppd";
    fs::create_directories(dir);
    fs::path copy = dir / name;
    if (!fs::exists(copy)) fs::copy_file(fs::path(LBL_SOURCE_DIR) / "ppd" / name, copy);
    return copy.string();
}

std::string WriteFile(const std::string& name, const std::string& text)
{
    fs::path path = fs::path(SpoolDir()).parent_path() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

RunResult Lblctl(const std::vector<std::string>& args, const std::string& input)
{
    return LblctlWith({}, args, input);
}

RunResult LblctlWith(const RunOptions& options, const std::vector<std::string>& args, const std::string& input)
{
    static std::atomic<int> runs{0};
    std::string base = fs::path(SpoolDir()).parent_path().string() + "/run" + std::to_string(runs++);
    std::string inPath = base + ".stdin", outPath = base + ".stdout", errPath = base + ".stderr";
    std::ofstream(inPath, std::ios::binary) << input;

    std::vector<std::string> all = {LBLCTL_PATH};
    if (options.spool) all.insert(all.end(), {"--spool", SpoolDir()});
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    for (const std::string& change : options.env) {
        std::string key = change[0] == '-' ? change.substr(1) : change.substr(0, change.find('='));
        std::erase_if(env, [&](const std::string& e) { return e.rfind(key + "=", 0) == 0; });
        if (change[0] != '-') env.push_back(change);
    }
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!options.cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, options.cwd.c_str());
    RunResult result;
    pid_t pid = 0;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return result;
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    for (const std::string& path : {inPath, outPath, errPath}) fs::remove(path);
    return result;
}

std::optional<std::vector<BYTE>> PrinterValue(const std::string& printer, const std::string& value)
{
    Printer p(printer);
    if (!p.h) return std::nullopt;
    std::u16string wvalue = platform::Widen(value);
    DWORD type = 0, needed = 0;
    BYTE probe[1];
    DWORD rc = GetPrinterDataW(p.h, wvalue.data(), &type, probe, 0, &needed);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return std::nullopt;
    std::vector<BYTE> bytes(needed);
    if (needed == 0) return bytes;
    rc = GetPrinterDataW(p.h, wvalue.data(), &type, bytes.data(), needed, &needed);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return bytes;
}

std::optional<Form> FindForm(const std::string& name)
{
    SpoolDir();
    std::vector<platform::PrinterRecord> printers = platform::EnumPrinters();
    if (printers.empty()) return std::nullopt;
    Printer p(printers.front().name);
    if (!p.h) return std::nullopt;
    DWORD needed = 0, count = 0;
    EnumFormsW(p.h, 1, nullptr, 0, &needed, &count);
    std::vector<std::uint64_t> buffer(needed / 8 + 1);
    if (!EnumFormsW(p.h, 1, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed, &count)) return std::nullopt;
    const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
    std::u16string wname = platform::Widen(name);
    for (DWORD i = 0; i < count; ++i) {
        if (forms[i].pName && wname == forms[i].pName) return Form{forms[i].Flags, forms[i].Size, forms[i].ImageableArea};
    }
    return std::nullopt;
}

DWORD Dword(const std::vector<BYTE>& bytes, size_t offset)
{
    DWORD v = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

int LineCount(const std::string& text)
{
    int lines = 0;
    for (char c : text) lines += c == '\n';
    if (!text.empty() && text.back() != '\n') ++lines;
    return lines;
}

}  // namespace e2e
