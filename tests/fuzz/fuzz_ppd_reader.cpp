// Any bytes as a description file: read, packed, validated and queried.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "base/codepage.h"
#include "description/ppd.h"

namespace {

std::string ScratchFile()
{
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/lbl-fuzz-ppd-" + std::to_string(::getpid()) + ".ppd";
}

void Walk(const PPDDATA* p)
{
    volatile std::size_t sink = 0;
    if (const char* s = PpdNickName(p)) sink = sink + std::strlen(s);
    for (const UIGROUP* g = PpdFirstGroup(p); g; g = PpdNextGroup(p, g)) {
        sink = sink + std::strlen(PpdGroupName(p, g));
        for (const UIOPTION* o = PpdFirstOption(p, g); o; o = PpdNextOption(p, o)) {
            sink = sink + std::strlen(PpdOptionName(p, o));
            if (const char* t = PpdOptionTranslation(p, o)) sink = sink + std::strlen(t);
            if (const char* t = PpdOptionInvocation(p, o)) sink = sink + std::strlen(t);
        }
    }
    sink = sink + PpdDefaultResolution(p);
    sink = sink + (PpdFindResolution(p, 300) != nullptr) + PpdSupportDuplex(p);
    sink = sink + (PpdFindCollateCode(p, TRUE) != nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string file = ScratchFile();
    static const std::u16string wfile = platform::Widen(file);
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    if (PPDDATA* p = PpdParse(wfile.c_str())) {
        Walk(p);
        PpdDelete(p);
    }
    return 0;
}
