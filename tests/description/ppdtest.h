// Helpers of the description tests: files in a scratch directory under the
// build tree, wide paths, and leak accounting for the driver's memory.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "base/memory.h"
#include "common/drvmem.h"
#include "pack.h"

namespace ppdtest {

inline std::u16string Wide(const std::string& s)
{
    return std::u16string(s.begin(), s.end());
}

// Live blocks of the driver's shared-code memory in this build.
inline long LiveDriverBlocks()
{
#if defined(LBL_RENDER_BUILD)
    return platform::LivePoolBlocks(DRV_POOL_TAG);
#else
    return platform::LiveGlobalBlocks();
#endif
}

// A scratch directory for one test, removed afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        static std::atomic<int> counter{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "x";
        path_ = std::filesystem::path(LBL_BINARY_DIR) / "test-scratch" /
                (name + "." + std::to_string(::getpid()) + "." + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::string file = (path_ / name).string();
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Owns a record from PpdCreate / PpdParse.
struct RecordDeleter {
    void operator()(PPDDATA* p) const { PpdDelete(p); }
};
using Record = std::unique_ptr<PPDDATA, RecordDeleter>;

struct ObjDeleter {
    void operator()(PPDOBJ* p) const { PPDOBJ_Delete(p); }
};
using Obj = std::unique_ptr<PPDOBJ, ObjDeleter>;

// Parses the text as a description file and returns the object (null on failure).
inline Obj ParseText(const ScratchDir& dir, const std::string& text, const std::string& name = "t.ppd")
{
    std::string file = dir.Write(name, text);
    return Obj(PPDOBJ_Create(Wide(file).c_str()));
}

inline Record ParseRecord(const ScratchDir& dir, const std::string& text, const std::string& name = "t.ppd")
{
    std::string file = dir.Write(name, text);
    return Record(PpdParse(Wide(file).c_str()));
}

inline UIGROUPOBJ* Group(PPDOBJ* p, const char* name)
{
    return reinterpret_cast<UIGROUPOBJ*>(LISTOBJ_Find(ListOf(p->pUiGroups), name));
}

inline UIOPTIONOBJ* Option(UIGROUPOBJ* g, const char* name)
{
    return g ? reinterpret_cast<UIOPTIONOBJ*>(LISTOBJ_Find(ListOf(g->pOptions), name)) : nullptr;
}

inline std::string Str(const char* s)
{
    return s ? std::string(s) : std::string("<null>");
}

}  // namespace ppdtest
