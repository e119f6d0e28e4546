// Where driver libraries are found: by file name, beside the platform library
// (an installation) or where the build tree makes them. A path read from
// anywhere else (the spool database, a caller) is never used to load code.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The full path of the driver library of that file name ("liblblrender.so",
// "liblblui.so", "libcompstui.so"): the copy beside the platform library when
// there is one, else the build tree's. Empty for a name that is neither, or
// that is not a bare file name.
std::string DriverLibraryPath(std::string_view file);

}  // namespace platform
