// The loaded modules of the process, shared by the module functions and the
// resource loader.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "base/handles.h"
#include "user/restext.h"
#include "user/usertypes.h"

namespace user {

struct LoadedModule : platform::HandleObject {
    std::string path;          // canonical path of the file
    void* dl = nullptr;        // dlopen handle
    void* linkMap = nullptr;   // its struct link_map, to tell its own symbols from others
    unsigned refs = 0;
    HMODULE handle = nullptr;
    bool ClosedByCloseHandle() const override { return false; }

    // The module's resource text, read from its file on first use.
    std::once_flag resourcesOnce;
    std::unique_ptr<const ResourceText> resources;  // null when it has none or it is malformed
};

// The loaded module of a handle, or null (last error ERROR_INVALID_HANDLE).
std::shared_ptr<LoadedModule> FindLoadedModule(HMODULE h);

// The resources of a loaded module (parsed on first use), or null.
const ResourceText* ModuleResources(LoadedModule& module);

// The bytes of the named section of an ELF file; false when the file cannot be
// read, is not a well-formed 64-bit little-endian ELF file or has no such section.
bool ReadElfSection(const std::string& path, std::string_view name, std::string& bytes);

}  // namespace user
