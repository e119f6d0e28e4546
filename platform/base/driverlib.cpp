// The driver directory, found from this library's own location.
#include "base/driverlib.h"

#include <dlfcn.h>

#include <filesystem>

namespace platform {

std::string DriverLibraryDirectory()
{
    static const std::string dir = [] {
        Dl_info info{};
        if (!::dladdr(reinterpret_cast<void*>(&DriverLibraryDirectory), &info) || !info.dli_fname) return std::string(".");
        std::error_code ec;
        std::filesystem::path lib = std::filesystem::canonical(info.dli_fname, ec);
        if (ec) lib = std::filesystem::absolute(info.dli_fname, ec);
        std::string parent = lib.parent_path().string();
        return parent.empty() ? std::string(".") : parent;
    }();
    return dir;
}

std::string DriverLibraryPath(std::string_view recorded)
{
    const std::size_t cut = recorded.find_last_of("/\\");
    const std::string_view name = cut == std::string_view::npos ? recorded : recorded.substr(cut + 1);
    if (name.empty() || name == "." || name == "..") return {};
    return DriverLibraryDirectory() + "/" + std::string(name);
}

}  // namespace platform
