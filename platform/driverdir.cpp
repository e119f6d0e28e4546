// The driver-library lookup shared by the module loader, the engine and lblctl.
#include "platform/driverdir.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

// The libraries the build makes, as full paths separated by '|'.
#ifndef LBL_BUILD_DRIVER_FILES
#define LBL_BUILD_DRIVER_FILES ""
#endif

std::string BuildTreeFile(std::string_view file)
{
    std::string_view list = LBL_BUILD_DRIVER_FILES;
    while (!list.empty()) {
        size_t end = list.find('|');
        fs::path path(list.substr(0, end));
        if (path.filename() == file) return path.string();
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    }
    return {};
}

fs::path OwnDirectory()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&DriverLibraryPath), &info) == 0 || !info.dli_fname) return {};
    std::error_code ec;
    fs::path self = fs::canonical(info.dli_fname, ec);
    return ec ? fs::path() : self.parent_path();
}

}  // namespace

std::string DriverLibraryPath(std::string_view file)
{
    if (file.empty() || file.find('/') != std::string_view::npos || file.find('\\') != std::string_view::npos ||
        file.find('\0') != std::string_view::npos)
        return {};
    std::string built = BuildTreeFile(file);
    if (built.empty()) return {};
    std::error_code ec;
    if (fs::path own = OwnDirectory(); !own.empty()) {
        fs::path installed = own / file;
        if (installed != fs::path(built) && fs::is_regular_file(installed, ec)) return installed.string();
    }
    return built;
}

}  // namespace platform
