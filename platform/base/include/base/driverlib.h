// Where driver libraries are loaded from: the directory that holds
// liblblplatform.so (the lib folder of an installed tree, build/<preset>/lib in a
// build tree). A printer's driver record names its libraries; only the file name
// of what it stores is used, so a spool database never decides what gets loaded.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The directory of liblblplatform.so, without a trailing '/'.
std::string DriverLibraryDirectory();
// The driver directory joined with the file-name part of `recorded` (the text after
// its last '/' or '\'); empty when that part is empty, "." or "..".
std::string DriverLibraryPath(std::string_view recorded);

}  // namespace platform
