// LoadStringA/LoadStringW over the resource text a module carries in its
// ".lblres" section.
#include "user/resources.h"

#include <algorithm>
#include <string>

#include "module_registry.h"
#include "base/codepage.h"

namespace user {
namespace {

constexpr std::string_view kSection = ".lblres";

// The string of a module's table, or null with the last error set.
const std::u16string* FindString(HINSTANCE hInstance, UINT uID)
{
    auto module = FindLoadedModule(hInstance);
    if (!module) return nullptr;
    const ResourceText* text = ModuleResources(*module);
    if (!text) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    auto it = uID <= 0xFFFF ? text->strings.find(static_cast<WORD>(uID)) : text->strings.end();
    if (it == text->strings.end() || it->second.empty()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    // The table lives as long as the module; the module object outlives this call
    // because the caller holds the module loaded.
    return &it->second;
}

}  // namespace

const ResourceText* ModuleResources(LoadedModule& module)
{
    std::call_once(module.resourcesOnce, [&module] {
        std::string bytes, why;
        if (!ReadElfSection(module.path, kSection, bytes)) return;
        bytes.resize(std::min(bytes.size(), bytes.find('\0')));  // the section ends in a NUL, maybe padding
        auto text = std::make_unique<ResourceText>();
        if (ParseResourceText(bytes, *text, why)) module.resources = std::move(text);
    });
    return module.resources.get();
}

}  // namespace user

extern "C" {

int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax)
{
    if (!lpBuffer || cchBufferMax < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string* s = user::FindString(hInstance, uID);
    if (cchBufferMax == 0) {
        *reinterpret_cast<LPCWSTR*>(lpBuffer) = s ? s->c_str() : nullptr;
        return s ? static_cast<int>(s->size()) : 0;
    }
    if (!s) {
        lpBuffer[0] = 0;
        return 0;
    }
    size_t n = std::min(s->size(), static_cast<size_t>(cchBufferMax - 1));
    std::copy_n(s->begin(), n, lpBuffer);
    lpBuffer[n] = 0;
    return static_cast<int>(n);
}

int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    if (!lpBuffer || cchBufferMax <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    lpBuffer[0] = 0;
    const std::u16string* s = user::FindString(hInstance, uID);
    if (!s) return 0;
    // Whole characters only: a double-byte character that does not fit is left out.
    int used = 0;
    for (size_t i = 0; i < s->size();) {
        size_t units = (i + 1 < s->size() && (*s)[i] >= 0xD800 && (*s)[i] < 0xDC00) ? 2 : 1;
        char bytes[8];
        int n = WideCharToMultiByte(CP_ACP, 0, s->data() + i, static_cast<int>(units), bytes, sizeof bytes, nullptr,
                                    nullptr);
        if (n <= 0 || used + n > cchBufferMax - 1) break;
        std::copy_n(bytes, n, lpBuffer + used);
        used += n;
        i += units;
    }
    lpBuffer[used] = 0;
    return used;
}

}  // extern "C"
