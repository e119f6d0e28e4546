#include "ui_fixture.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "base/codepage.h"

namespace uitest {
namespace {

namespace fs = std::filesystem;

struct DirGuard {
    std::string dir;
    ~DirGuard()
    {
        std::error_code ec;
        if (!dir.empty()) fs::remove_all(dir, ec);
    }
};

DirGuard g_dir;
std::once_flag g_once;
HMODULE g_module = nullptr;
int g_serial = 0;

void InitProcess()
{
    fs::path base = fs::path(LBL_BINARY_DIR) / "test-tmp";
    fs::create_directories(base);
    std::string tmpl = (base / "ui-XXXXXX").string();
    g_dir.dir = mkdtemp(tmpl.data()) ? tmpl : base.string();
    platform::SetSpoolDirectory(g_dir.dir + "/spool");
    g_module = LoadLibraryA("liblblui.so");
    DllInitialize(g_module, DLL_PROCESS_ATTACH, nullptr);
}

}  // namespace

const std::string& TestDir()
{
    std::call_once(g_once, InitProcess);
    return g_dir.dir;
}

HMODULE UiModule()
{
    TestDir();
    return g_module;
}

std::string ModelPpd(int model)
{
    const std::string name = "model" + std::to_string(model) + ".ppd";
    const fs::path copy = fs::path(TestDir()) / name;
    std::error_code ec;
    if (!fs::exists(copy, ec)) fs::copy_file(fs::path(LBL_SOURCE_DIR) / "ppd" / name, copy, ec);
    return copy.string();
}

std::string WritePpd(const std::string& name, const std::string& text)
{
    const std::string path = TestDir() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

void UiTest::SetUp()
{
    TestDir();
    FlushPpdCache();
    liveGlobalAtStart_ = platform::LiveGlobalBlocks();
    liveHeapsAtStart_ = platform::LiveHeapBlocks(nullptr);
}

void UiTest::TearDown()
{
    for (HANDLE h : handles_) ClosePrinter(h);
    FlushPpdCache();
    for (const auto& name : printers_) platform::DeletePrinter(platform::Narrow(name));
    if (checkLeaks_) {
        EXPECT_EQ(platform::LiveGlobalBlocks(), liveGlobalAtStart_);
        EXPECT_EQ(platform::LiveHeapBlocks(nullptr), liveHeapsAtStart_);
    }
}

std::u16string UiTest::AddBarePrinter(const std::string& ppdPath)
{
    const std::string name = "UI Printer " + std::to_string(++g_serial);
    platform::PrinterRecord record{name, "LBL Test Driver", ppdPath, "", TestDir() + "/" + name + ".prn",
                                   "liblblrender.so", "liblblui.so"};
    EXPECT_EQ(platform::AddPrinter(record), ERROR_SUCCESS);
    printers_.push_back(platform::Widen(name));
    return printers_.back();
}

std::u16string UiTest::AddInstalledPrinter(const std::string& ppdPath)
{
    std::u16string name = AddBarePrinter(ppdPath);
    EXPECT_TRUE(DrvPrinterEvent(name.data(), PRINTER_EVENT_INITIALIZE, 0, 0));
    return name;
}

HANDLE UiTest::Open(const std::u16string& name)
{
    std::u16string n = name;
    HANDLE h = nullptr;
    EXPECT_TRUE(OpenPrinterW(n.data(), &h, nullptr));
    if (h) handles_.push_back(h);
    return h;
}

std::vector<BYTE> UiTest::Value(HANDLE h, const char16_t* name, DWORD* pType)
{
    std::u16string n = name;
    DWORD type = 0, cbNeeded = 0;
    BYTE probe = 0;
    DWORD rc = GetPrinterDataW(h, n.data(), &type, &probe, 0, &cbNeeded);
    if (rc != ERROR_MORE_DATA && rc != ERROR_SUCCESS) return {};
    std::vector<BYTE> data(cbNeeded);
    GetPrinterDataW(h, n.data(), &type, data.data(), cbNeeded, &cbNeeded);
    if (pType) *pType = type;
    return data;
}

void UiTest::SetValue(HANDLE h, const char16_t* name, const void* data, DWORD cb, DWORD type)
{
    std::u16string n = name;
    ASSERT_EQ(SetPrinterDataW(h, n.data(), type, static_cast<LPBYTE>(const_cast<void*>(data)), cb), ERROR_SUCCESS);
}

std::vector<Form> Forms()
{
    HANDLE server = nullptr;
    OpenPrinterW(nullptr, &server, nullptr);
    DWORD cbNeeded = 0, count = 0;
    EnumFormsW(server, 1, nullptr, 0, &cbNeeded, &count);
    std::vector<BYTE> buf(cbNeeded);
    std::vector<Form> forms;
    if (EnumFormsW(server, 1, buf.data(), cbNeeded, &cbNeeded, &count)) {
        auto* f = reinterpret_cast<FORM_INFO_1W*>(buf.data());
        for (DWORD i = 0; i < count; ++i) forms.push_back({f[i].pName, f[i].Flags, f[i].Size, f[i].ImageableArea});
    }
    ClosePrinter(server);
    return forms;
}

DWORD FormNumber(const std::u16string& name)
{
    auto forms = Forms();
    for (size_t i = 0; i < forms.size(); ++i)
        if (forms[i].name == name) return static_cast<DWORD>(i + 1);
    return 0;
}

}  // namespace uitest
