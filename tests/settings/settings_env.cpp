#include "settings/settings_env.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "base/codepage.h"

namespace settings_test {

namespace {

std::string MakeTestDir()
{
    std::filesystem::path base = std::filesystem::path(LBL_BINARY_DIR) / "test-tmp";
    std::filesystem::create_directories(base);
    std::string tmpl = (base / "settings-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return base.string();
    return tmpl;
}

// Removes the test directory when the process ends.
struct DirGuard {
    std::string dir;
    ~DirGuard()
    {
        std::error_code ec;
        if (!dir.empty()) std::filesystem::remove_all(dir, ec);
    }
};

DirGuard g_dir;
std::once_flag g_once;
int g_printerSerial = 0;
int g_ppdSerial = 0;

void InitProcess()
{
    g_dir.dir = MakeTestDir();
    platform::SetSpoolDirectory(g_dir.dir + "/spool");
}

bool g_warm = false;

}  // namespace

const std::string& TestDir()
{
    std::call_once(g_once, InitProcess);
    return g_dir.dir;
}

std::string PpdText(const PpdParams& params)
{
    std::string t = "*PPD-Adobe: \"4.3\"\n*NickName: \"Test Label Printer\"\n";
    t += "*LanguageLevel: \"" + std::to_string(params.model) + "\"\n";
    t += std::string("*ColorDevice: ") + (params.color ? "True" : "False") + "\n";
    if (!params.dpis.empty()) {
        t += "*OpenUI *Resolution: PickOne\n";
        t += "*DefaultResolution: " + std::to_string(params.dpis.front()) + "dpi\n";
        for (int dpi : params.dpis)
            t += "*Resolution " + std::to_string(dpi) + "dpi: \"res" + std::to_string(dpi) + "\"\n";
        t += "*CloseUI: *Resolution\n";
    }
    if (params.duplex) t += "*OpenUI *Duplex: PickOne\n*DefaultDuplex: None\n*Duplex None: \"simplex\"\n*CloseUI: *Duplex\n";
    if (params.collate)
        t += "*OpenUI *Collate: Boolean\n*DefaultCollate: False\n*Collate True: \"on\"\n*Collate False: \"off\"\n"
             "*CloseUI: *Collate\n";
    return t;
}

Ppd::Ppd(const PpdParams& params)
{
    const std::string path = TestDir() + "/model" + std::to_string(++g_ppdSerial) + ".ppd";
    std::ofstream(path, std::ios::binary) << PpdText(params);
    const std::u16string wpath = platform::Widen(path);
    p_ = PpdCreate(wpath.c_str(), nullptr);
    EXPECT_NE(p_, nullptr) << "description " << path;
}

Ppd::~Ppd()
{
    PpdDelete(p_);
}

void SettingsTest::SetUp()
{
    const std::string& dir = TestDir();
    if (!g_warm) {
        // The description library's process-wide tables are made once; they are
        // not live blocks of any test.
        g_warm = true;
        Ppd warm;
    }
    const std::string name = "Label Printer " + std::to_string(++g_printerSerial);
    platform::PrinterRecord rec;
    rec.name = name;
    rec.driverName = "Label Driver";
    rec.dataFile = dir + "/model.ppd";
    rec.port = dir + "/out.prn";
    ASSERT_EQ(platform::AddPrinter(rec), ERROR_SUCCESS);
    printerName = platform::Widen(name);
    ASSERT_TRUE(OpenPrinterW(printerName.data(), &h, nullptr));
    liveAtStart = LiveDrvBlocks();
}

void SettingsTest::TearDown()
{
    platform::FailNthAllocation(0);
    EXPECT_EQ(LiveDrvBlocks(), liveAtStart) << "blocks of the shared code left live";
    if (h) ClosePrinter(h);
    platform::DeletePrinter(platform::Narrow(printerName));
}

DWORD SettingsTest::SetValue(const char16_t* name, const void* data, DWORD cb, DWORD type)
{
    return SetPrinterDataW(h, const_cast<LPWSTR>(name), type, static_cast<LPBYTE>(const_cast<void*>(data)), cb);
}

std::vector<BYTE> SettingsTest::GetValue(const char16_t* name)
{
    DWORD type = 0, cbNeeded = 0;
    BYTE probe[1];
    DWORD err = GetPrinterDataW(h, const_cast<LPWSTR>(name), &type, probe, 0, &cbNeeded);
    if (err != ERROR_MORE_DATA && err != ERROR_SUCCESS) return {};
    std::vector<BYTE> v(cbNeeded);
    if (cbNeeded == 0) return v;
    err = GetPrinterDataW(h, const_cast<LPWSTR>(name), &type, v.data(), cbNeeded, &cbNeeded);
    EXPECT_EQ(err, ERROR_SUCCESS);
    return v;
}

void SettingsTest::AddForm(const std::u16string& name, LONG cx, LONG cy)
{
    FORM_INFO_1W fi{};
    std::u16string n = name;
    fi.Flags = FORM_USER;
    fi.pName = n.data();
    fi.Size = {cx, cy};
    fi.ImageableArea = {0, 0, cx, cy};
    ASSERT_TRUE(AddFormW(h, 1, reinterpret_cast<LPBYTE>(&fi)));
}

DWORD SettingsTest::FormCount()
{
    DWORD cForms = 0;
    PFORM_INFO_1W p = GetDatabaseForms(h, &cForms);
    FreeDatabaseForms(p);
    return cForms;
}

}  // namespace settings_test
